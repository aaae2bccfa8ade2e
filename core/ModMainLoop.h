// The main loop's module state.
#pragma once
#include <cstdint>
#include <memory>

#include "HistogramCls.h"

// The connection probes simulate a connection and its traffic (development runs).
extern bool TestMode;
// A dial-up connection start has not been handled yet.
extern bool ConnectionPending;
// The leased-line start has not been handled yet.
extern bool LanStartPending;
// Traffic-rate histories, self-scaling: receive, send, total and their averages.
extern std::unique_ptr<HistogramCls> NetSpeedHist[6];

// Runs the program until IsExiting is set.
void MainLoop();
