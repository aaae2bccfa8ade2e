// Library-wide state of the COM server: the module handle and the counts that
// decide whether the library may be unloaded.
#pragma once
#include <windows.h>

namespace pellmon {

// The module that holds this code (the DLL, or a test program linking it directly),
// where the dialog templates and the type library live.
HINSTANCE ModuleInstance();

void ObjectCreated();
void ObjectDestroyed();
void LockModule(bool lock);
// Open windows keep their window procedures in this module: the library must stay
// loaded as long as one is open, even when no object is left.
void WindowOpened();
void WindowClosed();
bool CanUnload();
long OpenWindowCount();

}  // namespace pellmon
