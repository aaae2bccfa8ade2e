// The GDI objects this process holds, for leak checks. Header-only, so the
// benchmarks, which have mains of their own, use it without the test library.
#pragma once
#include <windows.h>
#include <winternl.h>

namespace testsupport {

// GetGuiResources is a stub under Wine; the shared handle table of the PEB is not:
// its 24-byte entries are in use while their type byte (offset 14) is not 0. Needs
// ntdll.
inline int LiveGdiObjects() {
  PROCESS_BASIC_INFORMATION process = {};
  if (NtQueryInformationProcess(GetCurrentProcess(), ProcessBasicInformation, &process, sizeof process, nullptr) != 0)
    return -1;
  const BYTE* peb = reinterpret_cast<const BYTE*>(process.PebBaseAddress);
  const BYTE* table = *reinterpret_cast<const BYTE* const*>(peb + (sizeof(void*) == 8 ? 0xF8 : 0x94));
  if (!table) return -1;
  int used = 0;
  for (int i = 0; i < 0x10000; ++i) used += table[i * 24 + 14] != 0;
  return used;
}

}  // namespace testsupport
