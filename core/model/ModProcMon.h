// The program monitor's start: its log folder and the outside hook that records
// what monitored programs call.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "HistogramCls.h"

// One CPU history per program put under the monitor during the run, its ExtraInfo the
// program's path (emptied when the program is taken off the monitor), and their count.
extern std::vector<std::unique_ptr<HistogramCls>> MonitoredProgHist;
extern int16_t MonitoredProgCount;

// The folder the monitor logs go to: the program folder & "\Risk Monitor Logs\".
std::string RiskMonitorLogFolder();
// Empties section "tmpcpu", stores the log folder as its "path" and, on the NT
// family, starts the hook library when it is present. Failures are not reported.
void InitRiskMonitor();

// The program's risk rating, 0 to 100. Until the risk model is in place every
// program rates 0 (not harmful).
int16_t GetRiskRating(const std::string& path);

// Gives this module's state its start values again.
void ResetProcMonState();
