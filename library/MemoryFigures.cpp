#include "MemoryFigures.h"

#include <windows.h>

namespace pellmon {

int32_t KbFigure(uint64_t bytes) {
  uint64_t kb = bytes >> 10;
  return kb > 0x7FFFFFFFull ? 0x7FFFFFFF : static_cast<int32_t>(kb);
}

int32_t PercentUsed(uint64_t total, uint64_t avail) {
  // Signed: free can exceed total. Counts this large do not exist, but scaling them
  // down keeps the product below 2^63 whatever the system reports.
  while (total > (1ull << 56) || avail > (1ull << 56)) {
    total >>= 1;
    avail >>= 1;
  }
  if (total == 0) return 0;
  int64_t percent = (static_cast<int64_t>(total) - static_cast<int64_t>(avail)) * 100 /
                    static_cast<int64_t>(total);
  if (percent < 0) return 0;
  if (percent > 100) return 100;
  return static_cast<int32_t>(percent);
}

MemoryFigures ReadMemoryFigures() {
  typedef BOOL(WINAPI * StatusExFn)(LPMEMORYSTATUSEX);
  static StatusExFn statusEx = reinterpret_cast<StatusExFn>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "GlobalMemoryStatusEx"));
  uint64_t availPhys = 0, totalPhys = 0, availVirtual = 0, totalVirtual = 0, availPage = 0,
           totalPage = 0;
  MEMORYSTATUSEX ex = {};
  ex.dwLength = sizeof ex;
  if (statusEx && statusEx(&ex)) {
    availPhys = ex.ullAvailPhys;
    totalPhys = ex.ullTotalPhys;
    availVirtual = ex.ullAvailVirtual;
    totalVirtual = ex.ullTotalVirtual;
    availPage = ex.ullAvailPageFile;
    totalPage = ex.ullTotalPageFile;
  } else {
    MEMORYSTATUS ms = {};
    ms.dwLength = sizeof ms;
    GlobalMemoryStatus(&ms);
    availPhys = ms.dwAvailPhys;
    totalPhys = ms.dwTotalPhys;
    availVirtual = ms.dwAvailVirtual;
    totalVirtual = ms.dwTotalVirtual;
    availPage = ms.dwAvailPageFile;
    totalPage = ms.dwTotalPageFile;
  }
  MemoryFigures f;
  f.pageFilePercent = PercentUsed(totalPage, availPage);
  f.availPhysKb = KbFigure(availPhys);
  f.totalPhysKb = KbFigure(totalPhys);
  f.availVirtualKb = KbFigure(availVirtual);
  f.totalVirtualKb = KbFigure(totalVirtual);
  f.availPageKb = KbFigure(availPage);
  f.totalPageKb = KbFigure(totalPage);
  return f;
}

}  // namespace pellmon
