/* The thread runtime linked into every shipped file asks kernel32 for
   GetTickCount64, which Windows has only since Vista (the first 64-bit Windows, XP
   x64, lacks it too); importing it would keep the files from loading on the older
   systems the program supports. This definition of the import slot takes the place
   of kernel32's: it uses the system's call where there is one and otherwise widens
   GetTickCount across its 49.7-day wrap. */
#include <windows.h>

typedef ULONGLONG(WINAPI* TickCount64Proc)(void);

static ULONGLONG WINAPI TickCount64(void) {
  static TickCount64Proc system;
  static BOOL looked;
  static DWORD last, wraps;
  DWORD now;
  if (!looked) {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    system = kernel ? (TickCount64Proc)(void*)GetProcAddress(kernel, "GetTickCount64") : NULL;
    looked = TRUE;
  }
  if (system) return system();
  now = GetTickCount();
  if (now < last) ++wraps;
  last = now;
  return ((ULONGLONG)wraps << 32) | now;
}

/* The slot's name as the linker sees it: 32-bit names carry the stdcall decoration. */
#ifdef _WIN64
TickCount64Proc qp_imp_GetTickCount64 __asm__("__imp_GetTickCount64") = TickCount64;
#else
TickCount64Proc qp_imp_GetTickCount64 __asm__("__imp__GetTickCount64@0") = TickCount64;
#endif
