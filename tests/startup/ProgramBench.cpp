// What the program costs at rest, run by hand under Wine with a display, not as a test:
//   program_bench [seconds] [starts]
// 1. the start to the hidden main frame, over several starts (the first answers the
//    first-run question on a fresh prefix);
// 2. processor time at rest in the tray, with the tracker bar off and docked: the
//    program's Linux process (utime + stime of /proc/PID/stat) and the wineserver's
//    share, beside a bare fixture over the same span (the server serves everyone: its
//    time with only the fixture running is the floor subtracted);
// 3. resident memory (VmRSS, RssAnon of /proc/PID/status) against the bare fixture.
// Wine names its processes by their Windows path, which finds the Linux process; a
// file opened by the server under /proc/self is the server's own. The network table
// is read through a driver in winedevice.exe: the devices of this prefix are counted
// as the server is.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "BenchClock.h"
#include "Fixture.h"
#include "UiWait.h"
#include "UnixProcess.h"

namespace {

using testsupport::UnixPidOf;

// user + system time in ms of a Linux process ("self" is the server).
double CpuMs(const std::string& pid) {
  const std::string stat = testsupport::ReadUnixFile("Z:\\proc\\" + pid + "\\stat");
  const size_t close = stat.rfind(')');
  if (close == std::string::npos) return -1;
  unsigned long long utime = 0, stime = 0;
  if (std::sscanf(stat.c_str() + close + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu", &utime, &stime) !=
      2)
    return -1;
  return static_cast<double>(utime + stime) * 10.0;
}

long StatusKb(int pid, const char* field) {
  const std::string status = testsupport::ReadUnixFile("Z:\\proc\\" + std::to_string(pid) + "\\status");
  const size_t at = status.find(field);
  return at == std::string::npos ? -1 : std::atol(status.c_str() + at + std::strlen(field) + 1);
}

std::string WholeUnixFile(const std::string& path) {
  std::string text;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    char buffer[8192];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
    std::fclose(f);
  }
  return text;
}

// The winedevice.exe processes that serve this prefix.
std::vector<std::string> DevicePids() {
  char prefix[1024] = {};
  GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix);
  const std::string wanted = std::string("WINEPREFIX=") + prefix + '\0';
  std::vector<std::string> pids;
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA("Z:\\proc\\*", &found);
  if (find == INVALID_HANDLE_VALUE) return pids;
  do {
    if (std::atoi(found.cFileName) <= 0) continue;
    const std::string dir = "Z:\\proc\\" + std::string(found.cFileName);
    const std::string line = testsupport::ReadUnixFile(dir + "\\cmdline");
    if (line.compare(0, 34, "C:\\windows\\system32\\winedevice.exe") != 0) continue;
    if (prefix[0] && WholeUnixFile(dir + "\\environ").find(wanted) == std::string::npos) continue;
    pids.push_back(found.cFileName);
  } while (FindNextFileA(find, &found));
  FindClose(find);
  return pids;
}

double DevicesMs(const std::vector<std::string>& pids) {
  double total = 0;
  for (const std::string& pid : pids) total += CpuMs(pid);
  return total;
}

struct Cost {
  double process = 0, server = 0, devices = 0;
};

Cost Measure(int pid, int seconds) {
  const std::vector<std::string> devices = DevicePids();
  const double p0 = CpuMs(std::to_string(pid)), s0 = CpuMs("self"), d0 = DevicesMs(devices);
  Sleep(static_cast<DWORD>(seconds) * 1000);
  return {CpuMs(std::to_string(pid)) - p0, CpuMs("self") - s0, DevicesMs(devices) - d0};
}

void SetToolbar(bool on) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Quillon Pro\\General", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return;
  const char* text = on ? "True" : "False";
  RegSetValueExA(key, "Toolbar", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), static_cast<DWORD>(strlen(text) + 1));
  RegCloseKey(key);
}

HWND FrameOf(DWORD pid) {
  for (HWND hwnd : testsupport::TopLevelWindowsOf(pid)) {
    char text[64] = {};
    GetWindowTextA(hwnd, text, sizeof text);
    if (std::string(text) == "Quillon Pro" && GetMenu(hwnd)) return hwnd;
  }
  return nullptr;
}

// Starts the program; the milliseconds to its hidden frame, -1 when it never came.
double StartProgram(PROCESS_INFORMATION& pi) {
  const double t0 = testsupport::NowMs();
  const std::string exe = testsupport::BinDir() + "\\QuillonPro.exe";
  if (!testsupport::StartQuietly(exe, "\"" + exe + "\"", testsupport::BinDir(), pi)) return -1;
  double ms = -1;
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < 60000) {
    if (ms < 0 && FrameOf(pi.dwProcessId)) ms = testsupport::NowMs() - t0;
    // The first-run question is answered No (its default); the start-up goes on after it.
    bool asked = false;
    for (HWND hwnd : testsupport::TopLevelWindowsOf(pi.dwProcessId)) {
      char cls[16] = {};
      GetClassNameA(hwnd, cls, sizeof cls);
      if (std::string(cls) == "#32770" && IsWindowVisible(hwnd)) {
        PostMessageA(hwnd, WM_COMMAND, IDNO, 0);
        asked = true;
      }
    }
    if (ms >= 0 && !asked && GetTickCount() - start > 3000) break;
    Sleep(1);
  }
  return ms;
}

void End(PROCESS_INFORMATION& pi) {
  testsupport::EndProcess(pi);
  Sleep(500);
}

void PrintCost(const char* what, const Cost& c, const Cost& floor, int seconds) {
  const double serverShare = c.server - floor.server, deviceShare = c.devices - floor.devices;
  const double total = c.process + (serverShare > 0 ? serverShare : 0) + (deviceShare > 0 ? deviceShare : 0);
  std::printf("%-26s process %6.0f ms  server %6.0f ms (%5.0f above the fixture's)  devices %5.0f ms (%5.0f above)"
              "  = %.3f %% of a core\n",
              what, c.process, c.server, serverShare, c.devices, deviceShare, total / (seconds * 10.0));
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
  const int starts = argc > 2 ? std::atoi(argv[2]) : 5;

  testsupport::FixtureFolder folder("progbench");
  const std::string fixtureName = "bare" + std::to_string(GetCurrentProcessId()) + ".exe";
  folder.Start(fixtureName, "hidden");
  const int fixturePid = UnixPidOf(folder.PathOf(fixtureName));
  Sleep(3000);
  const Cost floor = Measure(fixturePid, seconds);
  const long fixtureRss = StatusKb(fixturePid, "VmRSS:"), fixtureAnon = StatusKb(fixturePid, "RssAnon:");

  SetToolbar(false);
  std::vector<double> times;
  PROCESS_INFORMATION pi = {};
  for (int i = 0; i < starts; ++i) {
    times.push_back(StartProgram(pi));
    if (i + 1 < starts) End(pi);
  }
  std::printf("start to the hidden frame (ms):");
  for (double t : times) std::printf(" %.0f", t);
  std::printf("\n");

  const int pid = UnixPidOf(testsupport::BinDir() + "\\QuillonPro.exe");
  Sleep(5000);  // the start-up's own work ends
  const Cost tray = Measure(pid, seconds);
  const long rss = StatusKb(pid, "VmRSS:"), anon = StatusKb(pid, "RssAnon:");
  End(pi);

  SetToolbar(true);
  StartProgram(pi);
  const int barPid = UnixPidOf(testsupport::BinDir() + "\\QuillonPro.exe");
  Sleep(5000);
  const Cost bar = Measure(barPid, seconds);
  const long barRss = StatusKb(barPid, "VmRSS:");
  End(pi);

  std::printf("over %d s each:\n", seconds);
  PrintCost("bare fixture", floor, Cost{0, 0}, seconds);
  PrintCost("in the tray, bar off", tray, floor, seconds);
  PrintCost("in the tray, bar docked", bar, floor, seconds);
  std::printf("resident: fixture %ld KB (%ld anonymous), program %ld KB (%ld anonymous), with the bar %ld KB\n",
              fixtureRss, fixtureAnon, rss, anon, barRss);
  return 0;
}
