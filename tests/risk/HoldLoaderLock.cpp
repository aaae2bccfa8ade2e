// Loaded into a process by a test, it keeps that process's loader busy until the test
// sets the named event: every thread started there meanwhile waits, as in a process
// that does not answer. It sets "QuillonLoaderHeld" once it holds the loader.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, "QuillonReleaseLoader");
    if (HANDLE held = OpenEventA(EVENT_MODIFY_STATE, FALSE, "QuillonLoaderHeld")) {
      SetEvent(held);
      CloseHandle(held);
    }
    if (release) {
      WaitForSingleObject(release, 30000);
      CloseHandle(release);
    }
  }
  return TRUE;
}
