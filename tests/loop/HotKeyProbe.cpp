// Plays another program that wants a global hot key.
//   hotkey_probe try MODIFIERS KEY   exit code 0 when the key could be registered
//   hotkey_probe hold MODIFIERS KEY  registers it, signals "QuillonHotKeyHeld-<pid>"
//                                    and keeps it until ended
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  const UINT modifiers = static_cast<UINT>(std::strtoul(argv[2], nullptr, 0));
  const UINT key = static_cast<UINT>(std::strtoul(argv[3], nullptr, 0));
  if (!RegisterHotKey(nullptr, 1, modifiers, key)) return 1;
  if (std::strcmp(argv[1], "hold") != 0) {
    UnregisterHotKey(nullptr, 1);
    return 0;
  }
  char name[64];
  std::snprintf(name, sizeof name, "QuillonHotKeyHeld-%lu", GetCurrentProcessId());
  if (HANDLE held = OpenEventA(EVENT_MODIFY_STATE, FALSE, name)) SetEvent(held);
  Sleep(INFINITE);
  return 0;
}
