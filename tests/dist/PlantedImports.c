/* Never shipped: a library importing what the shipped files must not, so the tests
   can see the import check refuse it. RegGetValueA is missing from 32-bit XP, and
   GetTickCount64 from every system before Vista, the first 64-bit one included. */
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0600
#include <windows.h>

__declspec(dllexport) LONG WINAPI PlantedRead(char* text, DWORD* size) {
  return RegGetValueA(HKEY_CURRENT_USER, "Software", "Planted", RRF_RT_REG_SZ, NULL, text, size);
}

__declspec(dllexport) ULONGLONG WINAPI PlantedTicks(void) { return GetTickCount64(); }
