#include "ModPopHook.h"

#include <windows.h>

#include "ViewBindings.h"
#include "Window.h"

namespace {

bool installed = false;

using InstallMainHookFn = LONG(WINAPI*)(LONG window, LONG onOff);

// The hook library is loaded by name at its first call; a missing one never stops
// the program.
InstallMainHookFn HookEntry() {
  static HMODULE library = LoadLibraryA("Moskin.dll");
  return reinterpret_cast<InstallMainHookFn>(library ? GetProcAddress(library, "InstallMainHook") : nullptr);
}

}  // namespace

void InstallPopUpHook() {
  if (Views.status.form) Views.status.form->Load();
  if (InstallMainHookFn install = HookEntry()) {
    install(static_cast<LONG>(reinterpret_cast<LONG_PTR>(BoundHwnd(Views.status.form))), 1);
    installed = true;
  }
}

void RemovePopUpHook() {
  if (!installed) return;
  if (InstallMainHookFn install = HookEntry())
    install(static_cast<LONG>(reinterpret_cast<LONG_PTR>(BoundHwnd(Views.status.form))), 0);
  installed = false;
}

// The decisions over browser windows arrive with the blocker itself.
void ScanPopUps() {}

bool PopUpHookInstalled() { return installed; }
