// What one lists-page refresh costs over many programs and windows: an automatic
// refresh with the process set unchanged, one after a program started, and a forced
// refresh of both lists, beside a plain listing of the same processes in-process.
// Not a test; run it by hand under Wine with a display (scripts/bench-lists names the
// server for it):
//   lists_bench [fixtures] [windows per fixture]
// Each figure is given three ways: elapsed time, this thread's processor time and the
// wineserver's processor time. On a machine shared with other work the elapsed time
// swells with the load; the two processor times much less.
#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "BenchClock.h"
#include "ApplyGlobalSettings.h"
#include "Fixture.h"
#include "Mainfrm.h"
#include "ModProcMon.h"
#include "ModProgInfo.h"
#include "ModSProgs.h"
#include "ModSettings.h"
#include "ModStartup.h"
#include "Seams.h"
#include "UiWait.h"
#include "ModStartupPlatform.h"
#include "ModWndOpr.h"
#include "VbRules.h"

namespace {

// Nanoseconds of processor time from a Linux schedstat file; -1 when it cannot be read.
double SchedNs(const std::string& file) {
  FILE* f = std::fopen(file.c_str(), "rb");
  if (!f) return -1;
  unsigned long long ns = 0;
  const bool read = std::fscanf(f, "%llu", &ns) == 1;
  std::fclose(f);
  return read ? static_cast<double>(ns) : -1;
}

std::string ReadWhole(const std::string& file) {
  std::string text;
  if (FILE* f = std::fopen(file.c_str(), "rb")) {
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) text.append(buffer, n);
    std::fclose(f);
  }
  return text;
}

bool HasEntry(const std::string& nulSeparated, const std::string& wanted, bool whole) {
  for (size_t at = 0; at < nulSeparated.size();) {
    const size_t end = std::min(nulSeparated.find('\0', at), nulSeparated.size());
    const std::string entry = nulSeparated.substr(at, end - at);
    if (whole ? entry == wanted : entry.find(wanted) != std::string::npos) return true;
    at = end + 1;
  }
  return false;
}

// This program's Linux process: the server opens files for Wine, so /proc/self
// would name the server. It is the process whose command names this file and whose
// environment holds this prefix (other benchmarks may run in other prefixes).
std::string OwnUnixPid() {
  char exe[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  std::string name = exe;
  name = name.substr(name.find_last_of('\\') + 1);
  const char* prefix = std::getenv("WINEPREFIX");
  if (!prefix) return "";
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA("Z:\\proc\\*", &entry);
  if (find == INVALID_HANDLE_VALUE) return "";
  std::string found;
  do {
    const std::string pid = entry.cFileName;
    if (pid.find_first_not_of("0123456789") != std::string::npos) continue;
    const std::string dir = "Z:\\proc\\" + pid + "\\";
    if (HasEntry(ReadWhole(dir + "cmdline"), name, false) &&
        HasEntry(ReadWhole(dir + "environ"), std::string("WINEPREFIX=") + prefix, true))
      found = pid;
  } while (found.empty() && FindNextFileA(find, &entry));
  FindClose(find);
  return found;
}

// The main thread's processor time: Linux counts the main thread under the process's
// own id, and Wine runs the program's first thread there.
double OwnNs() {
  static const std::string pid = OwnUnixPid();
  return pid.empty() ? -1 : SchedNs("Z:\\proc\\" + pid + "\\schedstat");
}

// The server's processor time (it runs one thread); -1 without QP_WINESERVER_PID.
double ServerNs() {
  const char* pid = std::getenv("QP_WINESERVER_PID");
  return pid && *pid ? SchedNs(std::string("Z:\\proc\\") + pid + "\\schedstat") : -1;
}

// What a span of work cost: elapsed, own and server milliseconds.
struct Cost {
  double wall = 0, own = 0, server = 0;
};

class Meter {
 public:
  Meter() : wall_(testsupport::NowMs()), own_(OwnNs()), server_(ServerNs()) {}
  Cost Per(int rounds) const {
    Cost c;
    c.wall = (testsupport::NowMs() - wall_) / rounds;
    c.own = own_ >= 0 ? (OwnNs() - own_) / 1e6 / rounds : -1;
    const double server = ServerNs();
    c.server = server_ >= 0 && server >= 0 ? (server - server_) / 1e6 / rounds : -1;
    return c;
  }

 private:
  double wall_, own_, server_;
};

void PrintCost(const char* what, const Cost& c) {
  std::printf("%-36s %9.2f ms   own cpu %8.2f ms   server cpu %8.2f ms\n", what, c.wall, c.own, c.server);
}

DWORD g_clock = 1000000;

// Name, id and memory of every process, as a task list shows them.
size_t PlainListing() {
  size_t n = 0;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 0;
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    PROCESS_MEMORY_COUNTERS pmc = {};
    if (HANDLE p = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, entry.th32ProcessID)) {
      GetProcessMemoryInfo(p, &pmc, sizeof pmc);
      CloseHandle(p);
    }
    n += pmc.WorkingSetSize != 0;
  }
  CloseHandle(snapshot);
  return n;
}

BOOL CALLBACK CountWindow(HWND, LPARAM counted) {
  ++*reinterpret_cast<long*>(counted);
  return TRUE;
}

void Refresh(bool timed) {
  g_clock += 2000;
  if (timed && GetForegroundWindow() != Mainfrm.hwnd()) SetForegroundWindow(Mainfrm.hwnd());
  Mainfrm.FastRef = timed;
  Mainfrm.RefreshMe();
}

}  // namespace

int main(int argc, char** argv) {
  const int fixtures = argc > 1 ? std::atoi(argv[1]) : 50;
  const int windows = argc > 2 ? std::atoi(argv[2]) : 4;
  IsWinNTFlag = IsWinNT();
  seams::TickCountFn = [] { return g_clock; };
  seams::KeepShellQuiet();
  BuildColumnTables();
  AppList = "111111111111";
  WndList = "1111111111";
  ColumnsPending = true;
  ApplyPendingColumns();
  Mainfrm.Load();
  Mainfrm.Show();
  testsupport::FixtureFolder folder("listsbench");
  for (int i = 0; i < fixtures; ++i)
    folder.Start("bench" + std::to_string(i) + ".exe", "many:" + std::to_string(windows));

  Meter m;
  Refresh(false);
  const Cost forced = m.Per(1);
  Refresh(true);  // the first timed one after the reload

  const int rounds = 20;
  m = Meter();
  for (int i = 0; i < rounds; ++i) Refresh(true);
  const Cost unchanged = m.Per(rounds);

  auto time = [&](const char* what, auto call) {
    Meter part;
    for (int i = 0; i < 5; ++i) call();
    PrintCost((std::string("  part: ") + what).c_str(), part.Per(5));
  };
  // What each read costs over every row: the platform's share of a refresh.
  auto perRow = [&](const char* what, auto read) {
    time(what, [&] {
      for (int16_t i = 0; i <= WndTableLast; ++i) read(WndTable[static_cast<size_t>(i)]);
    });
  };
  time("window table", [] { GetWndInfo(kWndRebuildTable, ""); });
  long topLevel = 0;
  time("  enumeration alone", [&] {
    topLevel = 0;
    EnumWindows(CountWindow, reinterpret_cast<LPARAM>(&topLevel));
  });
  std::printf("  top-level windows: %ld\n", topLevel);
  perRow("  style", [](HWND h) { GetWindowLongA(h, GWL_STYLE); });
  time("process table, automatic", [] { g_clock += 2000; DoProcessListOp(kProcRebuild, vb::BoolText(true)); });
  ProcessOpensForTest = 0;
  time("process table, auto again", [] { g_clock += 2000; DoProcessListOp(kProcRebuild, vb::BoolText(true)); });
  std::printf("  opens during it: %ld; ProcChanged %s\n", ProcessOpensForTest, GetSetting("Quillon", "tmp", "ProcChanged", "").c_str());
  time("process table, auto, marked", [] {
    g_clock += 2000;
    SaveSetting("Quillon", "tmp", "ProcChanged", "1");
    DoProcessListOp(kProcRebuild, vb::BoolText(true));
  });
  time("  special-program lookups", [] {
    for (const std::string& path : ProcPathList) DoSProgOp(3, path);
  });
  time("  system-file tests", [] {
    for (const std::string& path : ProcPathList) IsSystemFile(path);
  });
  time("process CPU", [] { UpdateProcessCpu(); });
  time("window facts, every row", [] {
    for (int16_t i = 0; i <= WndTableLast; ++i) {
      HWND h = WndTable[static_cast<size_t>(i)];
      GetWndTitle(h);
      GetWndPosition(h);
      IsWndResponding(h, false);
    }
  });
  perRow("  text", [](HWND h) { GetWndTitle(h); });
  perRow("  rectangle", [](HWND h) { GetWndPosition(h); });
  perRow("  answers a message", [](HWND h) { IsWndResponding(h, false); });
  perRow("  hung flag", [](HWND h) { IsHungAppWindow(h); });
  perRow("  enabled, visible, styles", [](HWND h) {
    IsWindowEnabled(h);
    IsWindowVisible(h);
    GetWindowLongA(h, GWL_EXSTYLE);
  });
  perRow("  owner process", [](HWND h) {
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
  });
  time("window records, every row", [] {
    for (int16_t i = 0; i <= WndTableLast; ++i) GetWndInfo(kWndFillCurWnd, WndHandleText(WndTable[static_cast<size_t>(i)]));
  });

  time("redraw guard, nothing written", [] { ui::ListView::RedrawGuard quiet(Mainfrm.WndLst); });
  time("painting the lists once", [] {
    InvalidateRect(Mainfrm.AppLst.hwnd(), nullptr, TRUE);
    InvalidateRect(Mainfrm.WndLst.hwnd(), nullptr, TRUE);
    UpdateWindow(Mainfrm.AppLst.hwnd());
    UpdateWindow(Mainfrm.WndLst.hwnd());
  });

  Mainfrm.FastRef = true;
  time("timed merge, programs", [] { g_clock += 2000; Mainfrm.RefAppList(); });
  time("timed merge, windows", [] { Mainfrm.RefWinList(); });
  Mainfrm.FastRef = false;
  time("full program list", [] { g_clock += 2000; Mainfrm.RefAppList(); });
  time("full window list", [] { Mainfrm.RefWinList(); });
  time("risk ratings", [] {
    for (int16_t i = 0; i <= ProgTableLast; ++i) GetRiskRating(ProgTable[static_cast<size_t>(i)][0]);
  });
  time("forced process table", [] { g_clock += 2000; DoProcessListOp(kProcRebuild, ""); });

  folder.Start("benchnew.exe", "plain");
  m = Meter();
  Refresh(true);
  const Cost oneNew = m.Per(1);

  // The same with a second new program, list by list.
  folder.Start("benchnew2.exe", "plain");
  Mainfrm.FastRef = true;
  g_clock += 2000;
  m = Meter();
  Mainfrm.RefAppList();
  PrintCost("  one new: program list", m.Per(1));
  m = Meter();
  Mainfrm.RefWinList();
  PrintCost("  one new: window list", m.Per(1));

  // What a program seen for the first time costs on its own: each fact read on copies
  // never asked before, so no cache answers.
  auto firstTime = [&](const char* what, auto read) {
    Cost spent;
    for (int i = 0; i < 5; ++i) {
      const std::string copy = folder.PathOf(std::string("facts") + what[0] + std::to_string(i) + ".exe");
      CopyFileA(testsupport::FixturePath().c_str(), copy.c_str(), FALSE);
      folder.Keep(copy);
      Meter one;
      read(copy);
      const Cost c = one.Per(5);
      spent.wall += c.wall;
      spent.own += c.own;
      spent.server += c.server;
    }
    PrintCost((std::string("  new program: ") + what).c_str(), spent);
  };
  firstTime("version texts", [](const std::string& path) { GetFileInfoField(1, path); });
  firstTime("risk rating", [](const std::string& path) { GetRiskRating(path); });
  firstTime("shell icon", [](const std::string& path) {
    if (HICON icon = GetFileIcon(path, false)) DestroyIcon(icon);
  });

  m = Meter();
  size_t listed = 0;
  for (int i = 0; i < rounds; ++i) listed = PlainListing();
  const Cost listing = m.Per(rounds);

  std::printf("fixtures %d, windows %d, program rows %d, window rows %d, processes listed %u\n", fixtures,
              fixtures * windows, Mainfrm.AppLst.ItemCount(), Mainfrm.WndLst.ItemCount(),
              static_cast<unsigned>(listed));
  PrintCost("forced refresh, both lists", forced);
  PrintCost("timed refresh, set unchanged", unchanged);
  PrintCost("timed refresh, one new", oneNew);
  PrintCost("plain listing in-process", listing);
  Mainfrm.Hide();
  return 0;
}
