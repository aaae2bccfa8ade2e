// Plays a program that hooked another and then ends: brackel_probe PID. It starts the
// hook library's service, hooks the process, sets "QuillonBrackelProbe-<own id>" and
// waits to be ended.
#include <windows.h>

#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  HMODULE lib = LoadLibraryA("Brackel.dll");
  if (!lib) return 1;
  using Install = LONG(WINAPI*)(LONG, LONG);
  using Call = LONG(WINAPI*)(LONG);
  auto install = reinterpret_cast<Install>(GetProcAddress(lib, "InstallHook"));
  auto refHook = reinterpret_cast<Call>(GetProcAddress(lib, "RefHook"));
  if (!install || !refHook) return 1;
  install(-1, 0);
  refHook(std::atol(argv[1]));
  std::string name = "QuillonBrackelProbe-" + std::to_string(GetCurrentProcessId());
  if (HANDLE event = OpenEventA(EVENT_MODIFY_STATE, FALSE, name.c_str())) {
    SetEvent(event);
    CloseHandle(event);
  }
  Sleep(INFINITE);
  return 0;
}
