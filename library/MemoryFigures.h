// The memory figures shown by the library: page-file use in percent and the free
// and total physical, virtual and page-file memory in KB.
#pragma once
#include <cstdint>

namespace pellmon {

struct MemoryFigures {
  int32_t pageFilePercent = 0;
  int32_t availPhysKb = 0;
  int32_t totalPhysKb = 0;
  int32_t availVirtualKb = 0;
  int32_t totalVirtualKb = 0;
  int32_t availPageKb = 0;
  int32_t totalPageKb = 0;
};

// Bytes to KB, held to the 32-bit range the figures travel in.
int32_t KbFigure(uint64_t bytes);
// Share of the total in use, truncated; 0..100 even when the system reports more
// free than total, and 0 for a total of 0.
int32_t PercentUsed(uint64_t total, uint64_t avail);

// From GlobalMemoryStatusEx where it exists (the older call stops at 2 GB and can
// report more free page file than total), else GlobalMemoryStatus.
MemoryFigures ReadMemoryFigures();

}  // namespace pellmon
