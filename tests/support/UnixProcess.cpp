#include "UnixProcess.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "UiWait.h"
#include "VbRules.h"

namespace testsupport {

std::string ReadUnixFile(const std::string& path) {
  std::string text;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    char buffer[8192];
    size_t n = std::fread(buffer, 1, sizeof buffer, f);
    text.assign(buffer, n);
    std::fclose(f);
  }
  return text;
}

std::vector<int> UnixPidsOf(const std::string& windowsPath) {
  std::vector<int> pids;
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA("Z:\\proc\\*", &found);
  if (find == INVALID_HANDLE_VALUE) return pids;
  do {
    const int candidate = std::atoi(found.cFileName);
    if (candidate <= 0) continue;
    std::string line = ReadUnixFile("Z:\\proc\\" + std::string(found.cFileName) + "\\cmdline");
    line = line.substr(0, line.find('\0'));
    while (!line.empty() && line.back() == ' ') line.pop_back();
    if (vb::LCase(line) == vb::LCase(windowsPath)) pids.push_back(candidate);
  } while (FindNextFileA(find, &found));
  FindClose(find);
  return pids;
}

int UnixPidOf(const std::string& windowsPath) {
  const std::vector<int> pids = UnixPidsOf(windowsPath);
  return pids.empty() ? 0 : pids.front();
}

bool SignalUnix(int unixPid, const char* signal) {
  if (unixPid <= 0) return false;
  PROCESS_INFORMATION pi = {};
  if (!StartQuietly("Z:\\bin\\kill", std::string("kill -") + signal + " " + std::to_string(unixPid), "C:\\", pi))
    return false;
  WaitForSingleObject(pi.hProcess, 5000);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return true;
}

}  // namespace testsupport
