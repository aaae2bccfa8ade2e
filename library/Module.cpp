#include "Module.h"

// Provided by the linker: the base address of the image this code was linked into,
// which is its instance handle. Unlike GetModuleHandleEx it exists on every Windows.
extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace pellmon {
namespace {
volatile LONG g_objects = 0;
volatile LONG g_locks = 0;
volatile LONG g_windows = 0;
}  // namespace

HINSTANCE ModuleInstance() { return reinterpret_cast<HINSTANCE>(&__ImageBase); }

void ObjectCreated() { InterlockedIncrement(&g_objects); }
void ObjectDestroyed() { InterlockedDecrement(&g_objects); }
void LockModule(bool lock) {
  if (lock)
    InterlockedIncrement(&g_locks);
  else
    InterlockedDecrement(&g_locks);
}
void WindowOpened() { InterlockedIncrement(&g_windows); }
void WindowClosed() { InterlockedDecrement(&g_windows); }
bool CanUnload() { return g_objects == 0 && g_locks == 0 && g_windows == 0; }
long OpenWindowCount() { return g_windows; }

}  // namespace pellmon
