// What one lists-page refresh costs over many programs and windows: an automatic
// refresh with the process set unchanged, one after a program started, and a forced
// refresh of both lists, beside a plain listing of the same processes in-process.
// Not a test; run it by hand under Wine with a display:
//   lists_bench [fixtures] [windows per fixture]
#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

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

double Now() {
  LARGE_INTEGER f, c;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&c);
  return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
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

  double t = Now();
  Refresh(false);
  const double forced = (Now() - t) * 1000;
  Refresh(true);  // the first timed one after the reload

  const int rounds = 20;
  t = Now();
  for (int i = 0; i < rounds; ++i) Refresh(true);
  const double unchanged = (Now() - t) * 1000 / rounds;

  auto time = [&](const char* what, auto call) {
    double s0 = Now();
    for (int i = 0; i < 5; ++i) call();
    std::printf("  part: %-28s %9.2f ms\n", what, (Now() - s0) * 1000 / 5);
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
  t = Now();
  Refresh(true);
  const double oneNew = (Now() - t) * 1000;

  // The same with a second new program, list by list.
  folder.Start("benchnew2.exe", "plain");
  Mainfrm.FastRef = true;
  g_clock += 2000;
  t = Now();
  Mainfrm.RefAppList();
  std::printf("  one new: program list            %9.2f ms\n", (Now() - t) * 1000);
  t = Now();
  Mainfrm.RefWinList();
  std::printf("  one new: window list             %9.2f ms\n", (Now() - t) * 1000);

  // What a program seen for the first time costs on its own: each fact read on copies
  // never asked before, so no cache answers.
  auto firstTime = [&](const char* what, auto read) {
    double spent = 0;
    for (int i = 0; i < 5; ++i) {
      const std::string copy = folder.PathOf(std::string("facts") + what[0] + std::to_string(i) + ".exe");
      CopyFileA(testsupport::FixturePath().c_str(), copy.c_str(), FALSE);
      folder.Keep(copy);
      const double s0 = Now();
      read(copy);
      spent += Now() - s0;
    }
    std::printf("  new program: %-22s %9.2f ms\n", what, spent * 1000 / 5);
  };
  firstTime("version texts", [](const std::string& path) { GetFileInfoField(1, path); });
  firstTime("risk rating", [](const std::string& path) { GetRiskRating(path); });
  firstTime("shell icon", [](const std::string& path) {
    if (HICON icon = GetFileIcon(path, false)) DestroyIcon(icon);
  });

  t = Now();
  size_t listed = 0;
  for (int i = 0; i < rounds; ++i) listed = PlainListing();
  const double listing = (Now() - t) * 1000 / rounds;

  std::printf("fixtures %d, windows %d, program rows %d, window rows %d, processes listed %u\n", fixtures,
              fixtures * windows, Mainfrm.AppLst.ItemCount(), Mainfrm.WndLst.ItemCount(),
              static_cast<unsigned>(listed));
  std::printf("forced refresh, both lists   %9.2f ms\n", forced);
  std::printf("timed refresh, set unchanged %9.2f ms\n", unchanged);
  std::printf("timed refresh, one new       %9.2f ms\n", oneNew);
  std::printf("plain listing in-process     %9.2f ms\n", listing);
  Mainfrm.Hide();
  return 0;
}
