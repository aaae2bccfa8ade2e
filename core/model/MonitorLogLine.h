// One line of a program monitor log: "hh:mm:ss CODE rest". The program and the hook
// library both compile this file, so what one writes the other reads; it depends on
// nothing but the standard library.
#pragma once
#include <cstdint>
#include <string>

// Every append to a monitor log, and the clearing of one, holds this named mutex:
// appends from several processes otherwise lose and tear lines.
#define MONITOR_LOG_MUTEX_NAME "QuillonRiskMonitorLogs"

// The line with its CR LF. CR, LF and other control characters in `rest` become
// blanks, so one record is always one line and never a blank one.
std::string FormatMonitorLogLine(int hour, int minute, int second, int code, const std::string& rest);

// Splits a line (without its end) at " " into at most three parts: the time text,
// the code and the rest. A part that is missing leaves its output as it was, and a
// code that is not a 16-bit number leaves `code` as it was.
void SplitMonitorLogLine(const std::string& line, std::string& timeText, int16_t& code, std::string& rest);
