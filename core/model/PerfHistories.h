// The CPU and memory usage histories of the run and their sampling. The performance
// page, the tracker's graphs and the memory figures all read the same histories, so
// they belong to none of those windows.
#pragma once
#include <memory>

#include "HistogramCls.h"

// Percentages, created at start-up counting from then; null before.
extern std::unique_ptr<HistogramCls> CpuHistory;
// Physical, virtual and paging-file load, in that order.
extern std::unique_ptr<HistogramCls> MemHistory[3];

// Adds the CPU figure and the three memory loads of the last performance figures to
// the histories. A memory kind without a total (no paging file) gets no sample.
void SamplePerfHistories();
