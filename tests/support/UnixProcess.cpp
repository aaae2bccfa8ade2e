#include "UnixProcess.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

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

int UnixPidOf(const std::string& windowsPath) {
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA("Z:\\proc\\*", &found);
  if (find == INVALID_HANDLE_VALUE) return 0;
  int pid = 0;
  do {
    const int candidate = std::atoi(found.cFileName);
    if (candidate <= 0) continue;
    std::string line = ReadUnixFile("Z:\\proc\\" + std::string(found.cFileName) + "\\cmdline");
    line = line.substr(0, line.find('\0'));
    while (!line.empty() && line.back() == ' ') line.pop_back();
    if (vb::LCase(line) == vb::LCase(windowsPath)) pid = candidate;
  } while (!pid && FindNextFileA(find, &found));
  FindClose(find);
  return pid;
}

}  // namespace testsupport
