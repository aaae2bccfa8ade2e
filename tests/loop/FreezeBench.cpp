// Where the program used to freeze: how long the longest single message or loop
// step of each case keeps the user-interface thread, and how long the whole case
// takes. Launch All of 10 programs, the tracker bar's rest at the edge, the activity
// list of a 100,000-line monitor log (first display, filter switches, close), a
// sizing drag of the main frame, its first show, a maximise and a restore, the
// terminate-and-restart hot key, a full refresh of the details window, the lists
// page's first full refresh as the frame asks for it, and F5 pressed while the page
// reloads for a view mode. Each user
// action goes in as a message, as a click would, and the messages are pumped here
// with every dispatch timed. Run by hand.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

#include "ApplyGlobalSettings.h"
#include "BenchClock.h"
#include "CancelEvent.h"
#include "ConInfoFrm.h"
#include "DetailsFrm.h"
#include "Fixture.h"
#include "InfoBarFrm.h"
#include "InterfaceFrm.h"
#include "Mainfrm.h"
#include "ModAppBar.h"
#include "ModMain.h"
#include "ModMainLoop.h"
#include "ModProcMon.h"
#include "ModSettings.h"
#include "ModStartup.h"
#include "ModStartupPlatform.h"
#include "MoreToolsFrm.h"
#include "ProcCPUFrm.h"
#include "PopUpFrm.h"
#include "ProcMonCls.h"
#include "ProgramState.h"
#include "Seams.h"
#include "UiWait.h"
#include "Window.h"
#include "frmOptions.h"

namespace {

// The longest single piece of work the case gave the thread, and the whole case.
struct Timing {
  double longest = 0, total = 0;
  void Add(double ms) { longest = std::max(longest, ms); }
};

double Timed(Timing& t, const std::function<void()>& work) {
  const double start = testsupport::NowMs();
  work();
  const double ms = testsupport::NowMs() - start;
  t.Add(ms);
  return ms;
}

// No question box may wait for a click here: a box left open holds the case forever.
void QuietSeams() {
  seams::KeepShellQuiet();
  seams::MessageBoxFn = [](HWND, const std::string& text, const std::string&, UINT) {
    std::printf("(a box was answered No: %s)\n", text.c_str());
    return IDNO;
  };
}

// Pumps until done() or the time-out, timing each dispatched message.
void Pump(Timing& t, const std::function<bool()>& done, double timeoutMs = 60000) {
  const double start = testsupport::NowMs();
  while (!done() && testsupport::NowMs() - start < timeoutMs) {
    MSG m;
    if (!PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
      continue;
    }
    Timed(t, [&] { ui::DispatchOne(m); });
  }
}

void Report(const char* what, const Timing& t) {
  std::printf("%-52s longest %8.1f ms   whole %9.1f ms\n", what, t.longest, t.total);
  std::fflush(stdout);
}

void Click(ui::Control& button) {
  PostMessageA(GetParent(button.hwnd()), WM_COMMAND, MAKEWPARAM(button.id(), BN_CLICKED),
               reinterpret_cast<LPARAM>(button.hwnd()));
}

void LaunchAll() {
  for (int i = 1; i <= 10; ++i) SaveSetting(ProgramTitle, "Internet", "IntProg" + std::to_string(i),
                                            "c:\\tools\\prog" + std::to_string(i) + ".exe;1");
  SaveSetting(ProgramTitle, "Internet", "IntProgCount", "10");
  IntProgCount = 10;
  int launched = 0;
  seams::ShellExecuteFn = [&](const seams::ShellRequest&) {
    ++launched;
    return true;
  };
  ConInfoFrm.Load();
  Timing t;
  const double start = testsupport::NowMs();
  Click(ConInfoFrm.LaunchAllBtn);
  Pump(t, [&] { return launched == 10 && !CancelEvent.Visible(); });
  // The last start's pause is part of the command.
  Pump(t, [&] { return testsupport::NowMs() - start > 5100; });
  t.total = testsupport::NowMs() - start;
  Report("Launch All, 10 programs", t);
  ConInfoFrm.Unload();
  seams::Reset();
  QuietSeams();
}

void TrackerEdge() {
  Position = 0;  // left
  AutoHide = true;
  InfoBarFrm.ShowFirstTime = [](int, HWND) { return false; };
  if (!InfoBarFrm.Load()) return;
  SetCursorPos(500, 400);
  InfoBarFrm.Timer1_Timer();
  Timing t;
  SetCursorPos(0, 400);
  const double start = testsupport::NowMs();
  // The main loop's tick, every 100 ms while the bar runs.
  while (!IsWindowVisible(InfoBarFrm.hwnd()) && testsupport::NowMs() - start < 5000) {
    Timed(t, [] { InfoBarFrm.Timer1_Timer(); });
    Pump(t, [&] { return true; });
    Sleep(100);
  }
  t.total = testsupport::NowMs() - start;
  Report("tracker bar, rest at the left edge until shown", t);
  InfoBarFrm.Unload();
  AutoHide = false;
}

void RiskLog() {
  const std::string path = "c:\\windows\\notepad.exe";
  // The log folder is made here; the log written before it would be lost.
  CreateDirectoryA(RiskMonitorLogFolder().c_str(), nullptr);
  {
    std::ofstream out(ProcMonCls::LogPathOf(path), std::ios::binary | std::ios::trunc);
    const char* codes[] = {"201", "202", "301", "302", "401"};
    for (int i = 0; i < 100000; ++i)
      out << "10:" << (i / 60) % 60 / 10 << (i / 60) % 10 << ":" << (i % 60) / 10 << i % 10 << " " << codes[i % 5]
          << " C:\\data\\file" << (i % 700) << ".txt\r\n";
  }
  InitRiskMonitor();
  ProcCPUFrm.AddProcess("notepad", path, true);
  DetailsFrm.Load();
  DetailsFrm.Show();
  DetailsFrm.RefFrm(path, false);
  DetailsFrm.ShowPage("riskmon");
  {
    Timing t;
    const double start = testsupport::NowMs();
    Timed(t, [] {
      DetailsFrm.RiskMon.RiskMonSTab.SetTab(1);
      DetailsFrm.RefreshMe();
    });
    Pump(t, [] { return DetailsFrm.RiskMon.LogCounter >= 100000; }, 20000);
    t.total = testsupport::NowMs() - start;
    Report("activity list, first display of 100,000 lines", t);
  }
  auto check = [](int list, int row, bool on, const char* what) {
    Timing t;
    const double start = testsupport::NowMs();
    LVITEMA item = {};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(on ? 2 : 1);
    Timed(t, [&] {
      SendMessageA(DetailsFrm.RiskMon.FiltersLV[list].hwnd(), LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                   reinterpret_cast<LPARAM>(&item));
    });
    Pump(t, [] { return DetailsFrm.RiskMon.LogCounter >= 100000; }, 20000);
    t.total = testsupport::NowMs() - start;
    char line[160];
    std::snprintf(line, sizeof line, "activity list, %s (%d rows)", what, DetailsFrm.RiskMon.RiskLogLV.ItemCount());
    Report(line, t);
  };
  check(1, 0, false, "a category off");
  check(1, 0, true, "the category on again");
  check(1, 5, true, "Remove Repeated Items on");
  check(1, 5, false, "Remove Repeated Items off");
  {
    Timing t;
    const double start = testsupport::NowMs();
    Timed(t, [] { SendMessageA(DetailsFrm.hwnd(), WM_CLOSE, 0, 0); });
    Pump(t, [] { return !DetailsFrm.Loaded(); });
    t.total = testsupport::NowMs() - start;
    Report("details window with the full list, closed", t);
  }
  DeleteFileA(ProcMonCls::LogPathOf(path).c_str());
}

// The main frame's first show by the show-window hot key, then a maximise and a
// restore (resizes that are not a drag), and the terminate-and-restart hot key's
// pass over a program's window through to the program's end and new start.
void FrameShowMaximiseAndRestartKey() {
  // As the start-up leaves them.
  InterfaceFrm.Load();
  Mainfrm.Load();
  HWND frame = InterfaceFrm.hwnd();
  {
    Timing t;
    const double start = testsupport::NowMs();
    PostMessageA(frame, WM_HOTKEY, kHotKeyId, 0);
    Timed(t, [] { MainLoopPass(false); });
    Pump(t, [] { return false; }, 500);
    t.total = testsupport::NowMs() - start;
    char line[160];
    std::snprintf(line, sizeof line, "main frame, first show by the hot key (%d programs)", Mainfrm.AppLst.ItemCount());
    Report(line, t);
  }
  for (int show : {SW_MAXIMIZE, SW_RESTORE}) {
    Timing t;
    const double start = testsupport::NowMs();
    Timed(t, [&] { ShowWindow(frame, show); });
    Pump(t, [] { return false; }, 500);
    t.total = testsupport::NowMs() - start;
    Report(show == SW_MAXIMIZE ? "main frame, maximised" : "main frame, restored", t);
  }
  InterfaceFrm.Hide();

  testsupport::Fixture target({"topmost", "Quillon restart target"});
  RECT r = {};
  GetWindowRect(target.hwnd(), &r);
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  int started = 0;
  seams::ShellExecuteFn = [&](const seams::ShellRequest&) {
    ++started;
    return true;
  };
  Timing t;
  const double start = testsupport::NowMs();
  PostMessageA(Mainfrm.hwnd(), WM_HOTKEY, kHotKeyId, 0);
  // The loop's sleep until its next task (or a message) is no work: it is waited out
  // here, untimed, as the loop waits, and each pass is timed from there.
  while (!started && testsupport::NowMs() - start < 10000) {
    MsgWaitForMultipleObjectsEx(0, nullptr, NextTaskDelay(), QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    Timed(t, [] { MainLoopPass(false); });
  }
  t.total = testsupport::NowMs() - start;
  Report(started ? "terminate-and-restart hot key, to the new start" : "terminate-and-restart hot key: no new start", t);
  QuietSeams();
}

// The frame's Tracker button, as a click on it sends it: the bar comes up docked
// with its items, and a second click takes it away.
void TrackerButton() {
  // The ten items of the default settings.
  for (int i = 1; i <= 10; ++i) {
    TrackerItems[i] = i;
    TrackerItemsShow[i] = true;
  }
  Toolbar = false;
  InterfaceFrm.Load();
  Mainfrm.Load();
  InterfaceFrm.Show();
  Timing settle;
  Pump(settle, [] { return false; }, 500);
  ui::ButtonBar& bar = InterfaceFrm.MainTbl[0];
  const int index = bar.IndexOf("ToolBar");
  auto click = [&] {
    PostMessageA(GetParent(bar.hwnd()), WM_COMMAND, MAKEWPARAM(100 + index, BN_CLICKED),
                 reinterpret_cast<LPARAM>(bar.hwnd()));
  };
  for (bool on : {true, false}) {
    Timing t;
    const double start = testsupport::NowMs();
    click();
    Pump(t, [&] { return Toolbar == on && (!on || (IsWindowVisible(InfoBarFrm.hwnd()) && !InfoBarFrm.ItemsPending())); }, 5000);
    Pump(t, [] { return false; }, 500);
    t.total = testsupport::NowMs() - start;
    char line[160];
    std::snprintf(line, sizeof line, "tracker bar, %s by the frame's button (%d items)", on ? "shown" : "closed",
                  on ? int(InfoBarFrm.TrackerItemCount) : 0);
    Report(line, t);
  }
  InterfaceFrm.Hide();
}

// The options dialog's link to the pop-up page, the frame not yet shown: the frame
// comes up on the pop-up page, its browser list in front.
void OptionsLink() {
  InterfaceFrm.Load();
  Mainfrm.Load();
  ShowFrm(frmOptions);
  frmOptions.SSTab1.SetTab(6);
  // The user reads the tab a while: longer than the process walk's throttle.
  Timing settle;
  Pump(settle, [] { return false; }, 1500);
  Timing t;
  const double start = testsupport::NowMs();
  HWND link = frmOptions.Label9.hwnd();
  PostMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 5));
  PostMessageA(link, WM_LBUTTONUP, 0, MAKELPARAM(20, 5));
  Pump(t, [] { return PopUpFrm.Loaded() && PopUpFrm.Visible() && PopUpFrm.SSTab1.Tab() == 2; }, 5000);
  Pump(t, [] { return false; }, 500);
  t.total = testsupport::NowMs() - start;
  Report(PopUpFrm.Visible() ? "options link, the pop-up page shown" : "options link: no pop-up page", t);
  frmOptions.Unload();
  InterfaceFrm.Hide();
}

void FrameResize() {
  InterfaceFrm.Load();
  InterfaceFrm.Show();
  HWND frame = InterfaceFrm.hwnd();
  SetWindowPos(frame, nullptr, 20, 20, 700, 500, SWP_NOZORDER);
  Timing t;
  Pump(t, [] { return false; }, 500);
  t = Timing();
  const double start = testsupport::NowMs();
  // What the system's sizing loop sends for a drag of 20 steps.
  Timed(t, [&] { SendMessageA(frame, WM_ENTERSIZEMOVE, 0, 0); });
  for (int step = 1; step <= 20; ++step) {
    Timed(t, [&] { SetWindowPos(frame, nullptr, 0, 0, 700 + step * 10, 500 + step * 5, SWP_NOMOVE | SWP_NOZORDER); });
    Pump(t, [] { return false; }, 5);
  }
  Timed(t, [&] { SendMessageA(frame, WM_EXITSIZEMOVE, 0, 0); });
  Pump(t, [] { return false; }, 200);
  t.total = testsupport::NowMs() - start;
  char line[160];
  std::snprintf(line, sizeof line, "main frame, a drag of 20 sizing steps (%d programs)", Mainfrm.AppLst.ItemCount());
  Report(line, t);
  InterfaceFrm.Hide();
}

void DetailsRefresh() {
  const std::string signedExe = testsupport::BinDir() + "\\procs_signed.exe";
  const std::string path = GetFileAttributesA(signedExe.c_str()) != INVALID_FILE_ATTRIBUTES
                               ? signedExe
                               : testsupport::BinDir() + "\\fixture.exe";
  testsupport::FixtureOptions options;
  options.exePath = path;
  testsupport::Fixture process(options);
  DetailsFrm.Load();
  DetailsFrm.Show();
  DetailsFrm.RefFrm(path, false);
  Timing t;
  const long before = SignatureChecksRun;
  const double start = testsupport::NowMs();
  for (int i = 0; i < 5; ++i) Timed(t, [&] { DetailsFrm.RefFrm(path, false); });
  t.total = (testsupport::NowMs() - start) / 5;
  char line[200];
  std::snprintf(line, sizeof line, "details window, full refresh (signed: %s)",
                path == signedExe ? "yes" : "no fixture, unsigned");
  Report(line, t);
  std::printf("  cached signature checks in 5 refreshes: %ld\n", SignatureChecksRun - before);
  DetailsFrm.Unload();
  process.End();
}


// The lists page with 24 programs of its own beside the others: the full refresh the
// frame posts once it shows the page (lists empty, as after loading), then the click
// on "All" in the programs-and-their-windows mode with F5 pressed while that reloads.
void ListsRefresh() {
  testsupport::FixtureFolder folder("freeze");
  for (int i = 0; i < 24; ++i) folder.Start("lists" + std::to_string(i) + ".exe", "plain");
  AppList = "111111111111";
  WndList = "1111111111";
  ColumnsPending = true;
  InterfaceFrm.Load();
  Mainfrm.Load();
  ApplyPendingColumns();
  InterfaceFrm.Toolbar1.ClickButton("Quillon");
  InterfaceFrm.Show();
  Timing settle;
  auto refreshed = [] { return !Mainfrm.Refreshing && Mainfrm.AppLst.ItemCount() > 0 && Mainfrm.WndLst.ItemCount() > 0; };
  // The first run reads every program's file facts; the later ones find them kept.
  for (int run = 0; run < 3; ++run) {
    Timing first;
    Mainfrm.AppLst.Clear();
    Mainfrm.WndLst.Clear();
    Mainfrm.FastRef = false;
    const double start = testsupport::NowMs();
    InterfaceFrm.RefreshSoon();
    Pump(first, [] { return false; }, 20);  // the posted refresh is taken
    Pump(first, refreshed);
    first.total = testsupport::NowMs() - start;
    char line[160];
    std::snprintf(line, sizeof line, "lists page, %s full refresh (%d programs, %d windows)",
                  run ? "a later" : "the first", Mainfrm.AppLst.ItemCount(), Mainfrm.WndLst.ItemCount());
    Report(line, first);
  }

  Timing f5;
  for (int run = 0; run < 3; ++run) {
    Mainfrm.FastRef = false;
    Mainfrm.Toolbar3_ButtonClick("ProgWnd");  // programs and their windows
    Pump(settle, [] { return !Mainfrm.Refreshing; });
    Pump(settle, [] { return false; }, 200);
    const double start = testsupport::NowMs();
    // As the toolbar reports the click on "All", with F5 typed right behind it.
    HWND bar = Mainfrm.Toolbar3.hwnd();
    PostMessageA(Mainfrm.hwnd(), WM_COMMAND, MAKEWPARAM(100 + Mainfrm.Toolbar3.IndexOf("All"), BN_CLICKED),
                 reinterpret_cast<LPARAM>(bar));
    PostMessageA(Mainfrm.AppLst.hwnd(), WM_KEYDOWN, VK_F5, 1);
    Pump(f5, [] { return Mainfrm.ProgWndImgIndex == 2; });
    Pump(f5, [] { return false; }, 20);
    Pump(f5, refreshed);
    f5.total = std::max(f5.total, testsupport::NowMs() - start);
  }
  char line[160];
  std::snprintf(line, sizeof line, "lists page, F5 during a view-mode reload (%d programs)", Mainfrm.AppLst.ItemCount());
  Report(line, f5);
  InterfaceFrm.Hide();
}

}  // namespace

int main(int argc, char** argv) {
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&icc);
  CoInitialize(nullptr);
  ResetProgramState();
  IsWinNTFlag = true;
  QuietSeams();
  const std::string only = argc > 1 ? argv[1] : "";
  auto wanted = [&](const char* name) { return only.empty() || only == name; };
  if (wanted("launch")) LaunchAll();
  if (wanted("tracker")) TrackerEdge();
  if (wanted("risklog")) RiskLog();
  if (wanted("show")) FrameShowMaximiseAndRestartKey();
  if (wanted("resize")) FrameResize();
  if (wanted("trackerbutton")) TrackerButton();
  if (wanted("optionslink")) OptionsLink();
  if (wanted("details")) DetailsRefresh();
  if (wanted("lists")) ListsRefresh();
  CoUninitialize();
  return 0;
}
