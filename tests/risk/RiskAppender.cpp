// Plays the hook library for the log tests: appends `count` numbered lines to a log,
// through the same line format and lock, as fast as it can.
//   risk_appender <log path> <writer id> <count>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "MonitorLogLine.h"
#include "ProcMonCls.h"

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  const std::string writer = argv[2];
  const int count = std::atoi(argv[3]);
  for (int i = 0; i < count; ++i) {
    std::string rest = "writer " + writer + " line " + std::to_string(i) + " padding to make the line long enough to tear";
    if (!AppendMonitorLogLine(argv[1], FormatMonitorLogLine(12, 0, 0, 201, rest))) return 1;
  }
  return 0;
}
