#include "ModExitWin.h"

#include <windows.h>

void EnableDebugPrivilege() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return;
  TOKEN_PRIVILEGES privileges = {};
  if (LookupPrivilegeValueA("", "SeDebugPrivilege", &privileges.Privileges[0].Luid)) {
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    TOKEN_PRIVILEGES previous = {};
    DWORD length = 0;
    AdjustTokenPrivileges(token, FALSE, &privileges, sizeof previous, &previous, &length);
  }
  CloseHandle(token);
}
