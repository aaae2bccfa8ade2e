#include "ProcMonCls.h"

#include "ModMainPlatform.h"
#include "ModProcMon.h"
#include "MonitorLogLine.h"
#include "OwnedHandle.h"
#include "ViewBindings.h"
#include "VbRules.h"

namespace {

const DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Holds the logs' mutex for a scope. A mutex abandoned by a crashed writer is ours
// all the same.
class LogLock {
 public:
  LogLock() : mutex_(CreateMutexA(nullptr, FALSE, MONITOR_LOG_MUTEX_NAME)) {
    if (mutex_) WaitForSingleObject(mutex_.get(), 5000);
  }
  ~LogLock() {
    if (mutex_) ReleaseMutex(mutex_.get());
  }
  LogLock(const LogLock&) = delete;
  LogLock& operator=(const LogLock&) = delete;

 private:
  OwnedHandle mutex_;
};

// The first line of a file, without its end.
std::string FirstLine(const std::string& path) {
  const OwnedHandle file(CreateFileA(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) return "";
  char buffer[512];
  DWORD read = 0;
  std::string text;
  if (ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr)) text.assign(buffer, read);
  return text.substr(0, text.find_first_of("\r\n"));
}

bool WriteMark(const std::string& path, int code) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  vb::Date date = vb::Now();
  CreateDirectoryA(RiskMonitorLogFolder().c_str(), nullptr);
  return AppendMonitorLogLine(ProcMonCls::LogPathOf(path),
                              FormatMonitorLogLine(now.wHour, now.wMinute, now.wSecond, code,
                                                   "Time: " + vb::CStrDate(date)));
}

}  // namespace

bool AppendMonitorLogLine(const std::string& logPath, const std::string& line) {
  LogLock lock;
  const OwnedHandle file(CreateFileA(logPath.c_str(), FILE_APPEND_DATA, kShareAll, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  BOOL ok = WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  return ok && written == line.size();
}

ProcMonCls::~ProcMonCls() { CloseLogFile(); }

std::string ProcMonCls::LogPathOf(const std::string& path) {
  size_t slash = path.find_last_of('\\');
  return RiskMonitorLogFolder() + (slash == std::string::npos ? path : path.substr(slash + 1)) + ".log";
}

bool ProcMonCls::WriteStartToLogFile(const std::string& path) {
  const std::string log = LogPathOf(path);
  if (FileExists(log) && !FirstLine(log).empty() &&
      MsgBox("A log file for this process already exists, would like to clear the data in it first?",
             MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, FrameHwnd()) == IDYES) {
    DWORD error = 0;
    bool cleared = false;
    {
      LogLock lock;
      const OwnedHandle file(CreateFileA(log.c_str(), GENERIC_WRITE, kShareAll, nullptr, TRUNCATE_EXISTING, 0, nullptr));
      error = GetLastError();
      cleared = static_cast<bool>(file);
    }
    if (!cleared)  // a Yes that did nothing must not pass for done
      MsgBox("The log file " + log + " can't be cleared (" + SystemErrorText(error) + "); its old lines are kept.",
             MB_OK | MB_ICONEXCLAMATION, FrameHwnd());
  }
  return WriteMark(path, 101);
}

bool ProcMonCls::WriteStopToLogFile(const std::string& path) { return WriteMark(path, 102); }

void ProcMonCls::OpenLogFile(const std::string& path) {
  CloseLogFile();
  LogFileNum.Reset(CreateFileA(LogPathOf(path).c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr));
}

void ProcMonCls::CloseLogFile() {
  LogFileNum.Reset();
  pending_.clear();
  ended_ = false;
}

bool ProcMonCls::NextCompleteLine(std::string& line) {
  for (;;) {
    size_t end = pending_.find('\n');
    if (end != std::string::npos) {
      line = pending_.substr(0, end);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      pending_.erase(0, end + 1);
      return true;
    }
    // The writer may still be adding to the file: read what has arrived since.
    char buffer[4096];
    DWORD read = 0;
    if (!ReadFile(LogFileNum.get(), buffer, sizeof buffer, &read, nullptr) || read == 0) return false;
    pending_.append(buffer, read);
  }
}

bool ProcMonCls::GetNextLine(int16_t& code, std::string& timeText, std::string& rest) {
  if (!LogFileNum || ended_) return false;
  std::string line;
  if (!NextCompleteLine(line)) return false;
  if (line.empty()) {
    if (!NextCompleteLine(line)) return false;
    if (line.empty()) {
      // Two blank lines end the reading as the end of the file would.
      ended_ = true;
      return false;
    }
  }
  SplitMonitorLogLine(line, timeText, code, rest);
  return true;
}
