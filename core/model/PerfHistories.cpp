#include "PerfHistories.h"

#include <cstdint>

#include "SysInfoLink.h"
#include "VbRules.h"

std::unique_ptr<HistogramCls> CpuHistory;
std::unique_ptr<HistogramCls> MemHistory[3];

namespace {
// The load of one memory kind in percent: 1 - available / total. A kind without a
// total (no paging file) or without figures has no load.
bool MemoryLoad(size_t available, size_t total, int32_t& load) {
  const int64_t totalKb = MemoryFigureKb(PerfInfoData, total);
  if (totalKb <= 0) return false;
  load = static_cast<int32_t>(vb::RoundHalfEven(
      (1.0 - static_cast<double>(MemoryFigureKb(PerfInfoData, available)) / static_cast<double>(totalKb)) * 100.0));
  return true;
}
}  // namespace

void SamplePerfHistories() {
  if (CpuHistory && !PerfInfoData.empty()) CpuHistory->AddPoint(ClampPercent(PerfInfoData[0]));
  // The figures' available and total elements of each memory kind.
  const size_t pairs[3][2] = {{2, 3}, {4, 5}, {6, 7}};
  for (int i = 0; i < 3; ++i) {
    int32_t load = 0;
    if (MemHistory[i] && MemoryLoad(pairs[i][0], pairs[i][1], load)) MemHistory[i]->AddPoint(ClampPercent(load));
  }
}
