// The per-program monitor logs: "Risk Monitor Logs\<file name>.log" under the program
// folder, one line per event. Instances are short-lived: one write, or one read pass
// (OpenLogFile, GetNextLine until false, CloseLogFile).
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "OwnedHandle.h"

class ProcMonCls {
 public:
  ProcMonCls() = default;
  ~ProcMonCls();
  ProcMonCls(const ProcMonCls&) = delete;
  ProcMonCls& operator=(const ProcMonCls&) = delete;

  // The log of a program: programs that share a file name share a log.
  static std::string LogPathOf(const std::string& path);

  // Offers to clear a log that holds data, then appends the start mark (101). False
  // when the mark could not be written.
  bool WriteStartToLogFile(const std::string& path);
  // Appends the stop mark (102). False when it could not be written.
  bool WriteStopToLogFile(const std::string& path);
  void OpenLogFile(const std::string& path);
  // The next record. A line without its line end yet is left for a later call, so a
  // line still being written is read once, whole. One blank line is skipped; two end
  // the reading.
  bool GetNextLine(int16_t& code, std::string& timeText, std::string& rest);
  void CloseLogFile();

  OwnedHandle LogFileNum;

 private:
  bool NextCompleteLine(std::string& line);
  bool ended_ = false;
  std::string pending_;  // read but not yet a whole line
};

// Appends one line (with its CR LF) to a log while holding the logs' mutex; creates
// the file when missing. False when it could not be written whole.
bool AppendMonitorLogLine(const std::string& logPath, const std::string& line);
