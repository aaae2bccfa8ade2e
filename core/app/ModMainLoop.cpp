#include "ModMainLoop.h"
#include "ViewBindings.h"
#include "Failure.h"

#include <algorithm>
#include <exception>

#include "CancelEvent.h"
#include "LoopSeams.h"
#include "ModConInfo.h"
#include "ModMain.h"
#include "ModPopHook.h"
#include "ModProcMon.h"
#include "ModProgInfo.h"
#include "ModSettings.h"
#include "ModStartup.h"
#include "ModWndOpr.h"
#include "Seams.h"
#include "StallMeter.h"
#include "SysInfoLink.h"
#include "VbRules.h"
#include "Window.h"

int16_t RefreshInterval;
DWORD LastRefreshTick;
bool SysPerfLoaded;
bool ConnectionPending;
bool LanStartPending;
DWORD ConnectStartTick;
int16_t IntReminderCount;
DWORD LastRateTick;
uint32_t LastRecvBytes;
uint32_t LastSentBytes;
DWORD TrafficActiveTick;
int16_t ActiveSampleCount;
float RecSpdSum;
float SndSpdSum;
bool TermRestartMode;
std::string DestHKText;
HWND LastHoverWnd;
WinReminderRec WinReminderState;
std::unique_ptr<HistogramCls> NetSpeedHist[6];

namespace {

// The rates are computed at most this often.
const DWORD kRateGateMs = 800;
// The longest the loop sleeps with nothing due: the dial-up line is probed so often.
const DWORD kIdleWaitMs = 1000;
// While the pick mode follows the cursor, and while the tracker bar runs (its tick
// scrolls, slides and keeps it on top), the loop looks again this often.
const DWORD kPickModePollMs = 100;
const DWORD kBarTickMs = 100;

bool appHotKeyPending;
bool destHotKeyPending;
// A table read failed at this tick: the next try waits a rate interval, while the
// rates still count from the last good read (LastRateTick).
bool rateReadFailed;
DWORD failedReadTick;

DWORD Tick() { return seams::TickCountFn(); }

// A failing step of the loop costs only that step; the loop itself never stops.
template <typename Step>
void Guard(Step step) {
  ui::Guarded(step, "a step of the main loop failed");
}
// The same, timed by the stall meter under the step's name.
template <typename Step>
void Timed(const char* name, Step step) {
  ui::StallScope timed(name);
  Guard(step);
}

double Round2(double value) { return vb::RoundHalfEven(value * 100.0) / 100.0; }

int32_t WholeNumber(double value) {
  double r = vb::RoundHalfEven(value);
  if (r > 2147483647.0) return 2147483647;
  if (r < -2147483648.0) return -2147483647 - 1;
  return static_cast<int32_t>(r);
}

std::string BloopPath() { return AppPath() + "\\sounds\\bloop.wav"; }

// Milliseconds until a period that started at `stamp` is over (0 when it is).
DWORD Until(DWORD now, DWORD stamp, DWORD period) {
  const DWORD elapsed = now - stamp;  // survives the wrap of the tick count
  return elapsed >= period ? 0 : period - elapsed;
}

bool Online() { return LANCon == 1 || !ConnectionPending; }

void WaitForWork(DWORD timeout) {
  // Unlike WaitMessage this also returns when a timed task falls due, and it does
  // not sleep through messages that an earlier peek saw but left in the queue.
  MsgWaitForMultipleObjectsEx(0, nullptr, timeout, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

void HideStatus() {
  TermRestartMode = false;
  LastHoverWnd = nullptr;
  CancelFlag = false;
  CancelEvent.Hide();
}

// The terminate-and-restart hot key: ends the program of the window under the
// cursor and starts it again, after a pause in which the user may cancel. The pause,
// the wait for the ended program to be gone and the pause before the new start are
// time stamps that later passes check: the program answers all the while.
struct RestartUnderCursor {
  enum class Stage { kNone, kPause, kEnding, kRestartPause, kNotFound };
  Stage stage = Stage::kNone;
  HWND target = nullptr;
  std::string path;
  DWORD since = 0;  // the tick the stage began
  OwnedHandle ending;
};
RestartUnderCursor restart;

const DWORD kCancelPauseMs = 800;
const DWORD kRestartPauseMs = 400;
// How long the status window says that the window's program was not found, unless
// the user closes it first.
const DWORD kNotFoundShowMs = 3000;
const char kNotFoundText[] = "No program found for the window under the cursor: nothing was ended.";
// How often the loop looks whether an ended program is gone.
const DWORD kEndingPollMs = 50;

bool RestartPending() { return restart.stage != RestartUnderCursor::Stage::kNone; }

void EndRestart() {
  restart = RestartUnderCursor();
  HideStatus();
}

void BeginTerminateAndRestart(HWND& target) {
  target = WndFromCursor();
  CancelFlag = false;
  CancelEvent.Show();
  DoProcessListOp(kProcRebuild, "True");
  ui::DoEvents();
  // The rebuild may keep the old table (a walk less than a second ago, or no change
  // seen yet), so a program started since is read from its own process.
  restart.target = target;
  restart.path = OwnerPathOfWindow(target);
  restart.since = Tick();
  if (restart.path.empty()) {
    // Without the program's path it could be neither ended for sure nor started
    // again: the user is told so instead of a pause that ends nothing.
    CancelEvent.lblCancel.SetText(kNotFoundText);
    restart.stage = RestartUnderCursor::Stage::kNotFound;
  } else {
    CancelEvent.lblCancel.SetText("Terminating and restarting: " + restart.path);
    restart.stage = RestartUnderCursor::Stage::kPause;
  }
  ui::DoEvents();
}

// The pause is over and not cancelled: the target's program ends, or this program
// quits when it was the target.
void EndTheTarget() {
  // The process table never lists this program, so its own windows are known by
  // their process.
  DWORD owner = 0;
  GetWindowThreadProcessId(restart.target, &owner);
  const std::string& path = restart.path;
  if (owner == GetCurrentProcessId() || (!path.empty() && vb::LCase(path) == vb::LCase(AppExePath))) {
    IsExiting = true;  // aimed at this program: it quits the normal way
    EndRestart();
    return;
  }
  restart.ending = StartEndingOwnerOf(restart.target);
  if (!restart.ending) {  // declined, or nothing could be ended
    EndRestart();
    return;
  }
  restart.stage = RestartUnderCursor::Stage::kEnding;
  restart.since = Tick();
}

void StartTheProgramAgain() {
  seams::ShellRequest request;
  request.file = restart.path;
  request.show = SW_SHOWNORMAL;
  seams::ShellExecuteFn(request);
  EndRestart();
}

// One look at the terminate-and-restart in progress.
void ContinueTerminateAndRestart() {
  using Stage = RestartUnderCursor::Stage;
  const DWORD now = Tick();
  switch (restart.stage) {
    case Stage::kNone:
      return;
    case Stage::kPause:
      if (CancelFlag) {
        EndRestart();  // nothing is ended
      } else if (!Until(now, restart.since, kCancelPauseMs)) {
        EndTheTarget();
      }
      return;
    case Stage::kEnding:
      // Success means the process really ended, not only that it was asked to.
      if (WaitForSingleObject(restart.ending.get(), 0) == WAIT_OBJECT_0) {
        restart.ending.Reset();
        restart.stage = Stage::kRestartPause;
        restart.since = now;
      } else if (!Until(now, restart.since, kProgramEndWaitMs)) {
        EndRestart();  // it did not end: it is not started again
      }
      return;
    case Stage::kRestartPause:
      if (!Until(now, restart.since, kRestartPauseMs)) StartTheProgramAgain();
      return;
    case Stage::kNotFound:
      if (CancelFlag || !Until(now, restart.since, kNotFoundShowMs)) EndRestart();
      return;
  }
}

// Milliseconds until the terminate-and-restart in progress needs the loop again.
DWORD RestartDelay(DWORD now) {
  using Stage = RestartUnderCursor::Stage;
  switch (restart.stage) {
    case Stage::kPause: return Until(now, restart.since, kCancelPauseMs);
    case Stage::kEnding: return std::min(kEndingPollMs, Until(now, restart.since, kProgramEndWaitMs));
    case Stage::kRestartPause: return Until(now, restart.since, kRestartPauseMs);
    case Stage::kNotFound: return Until(now, restart.since, kNotFoundShowMs);
    default: return INFINITE;
  }
}

void FollowCursorInPickMode(HWND& target) {
  if (!target) target = WndFromCursor();
  if (target != LastHoverWnd) {
    OwnerPathOfWindow(target);  // a program started since the mode began is named too
    const bool responding = IsWndResponding(target, false);
    CancelEvent.lblCancel.SetText("Press " + DestHKText + " to Terminate and restart: " + " (" +
                                  (responding ? "Responding" : "Not Responding") + ") " + ProcResultPath);
    ui::DoEvents();
    LastHoverWnd = target;
  }
  if (CancelFlag) HideStatus();
}

void RefreshAndSample(DWORD now) {
  const ViewBindings::Frame& frame = Views.frame;
  const bool frameShown = ViewVisible(frame.form);
  if (frameShown || Toolbar || SysPerfLoaded) {
    PerfInfoData.clear();
    PerfInfoData = TakePerfInfo();
  }
  if (frameShown && frame.DoRefresh) Guard([&] { frame.DoRefresh(); });
  // The performance histories keep receiving samples while their page is not on view.
  const bool performanceOnView =
      ViewVisible(frame.form) && frame.PageButtonPressed && frame.PageButtonPressed("Performance");
  if (SysPerfLoaded && !performanceOnView && Views.performance.RefreshMe)
    Guard([] { Views.performance.RefreshMe(true); });
  if (IsWinNTFlag && MonitoredProgCount >= 1) {
    Guard([] {
      if (!DoProcessListOp(kProcRebuild, "True").IsFalse()) UpdateProcessCpu();
      for (int i = 0; i < MonitoredProgCount && i < static_cast<int>(MonitoredProgHist.size()); ++i) {
        HistogramCls* history = MonitoredProgHist[i].get();
        if (!history || history->ExtraInfo.empty()) continue;
        const std::string wanted = vb::LCase(history->ExtraInfo);
        for (int row = 0; row <= ProgTableLast && row < static_cast<int>(ProgTable.size()); ++row) {
          if (vb::LCase(ProgTable[row][kProgPath]) != wanted) continue;
          if (!ProgTable[row][kProgCpu].empty()) history->AddPoint(ClampPercent(WholeNumber(vb::Val(ProgTable[row][kProgCpu]))));
          break;
        }
      }
      if (ViewVisible(Views.details.form) && Views.details.RefreshMe) Views.details.RefreshMe();
    });
  }
  if (Toolbar && ViewVisible(Views.trackerBar.form) && Views.trackerBar.RefreshMe)
    Guard([] { Views.trackerBar.RefreshMe(); });
  LastRefreshTick = now;
}

void LaunchConnectPrograms() {
  StatusScope status("Loading Internet applications...");
  ui::DoEvents();
  DoIntProgOp(4);
}

void CheckInternetReminder() {
  if (IntReminder < 1) return;
  const double minutes = CurCon.Duration / 60.0;
  if (!(minutes > (IntReminderCount + 1.0) * IntReminder)) return;
  loopseams::PlaySoundFn(BloopPath());
  IntReminderCount = static_cast<int16_t>(
      IntReminderCount + static_cast<long>((minutes - IntReminderCount * static_cast<double>(IntReminder)) /
                                           IntReminder));
  if (Views.reminders.Show)
    Views.reminders.Show(1,
                            "Internet Reminder Number " + std::to_string(IntReminderCount) + " Every " +
                                std::to_string(IntReminder) + " minute(s) ",
                            IntReminderText);
}

void TrackConnection(DWORD now, bool connected) {
  if (LANCon == 1) {
    if (LanStartPending) {
      OnInternetConnected(now);
      LanStartPending = false;
    }
    return;
  }
  if (connected) {
    if (ConnectionPending) {
      OnInternetConnected(now);
      ConnectionPending = false;
      if (IntProgCount > 0) LaunchConnectPrograms();
    }
    CurCon.Duration = WholeNumber((now - ConnectStartTick) / 1000.0);
    CheckInternetReminder();
  } else if (!(ConnectionPending && LanStartPending)) {
    OnInternetDisconnected();  // a connection or the leased-line mode was active
  }
}

// Adds milliseconds to an active time, stopping at the largest Long rather than
// wrapping negative (a busy leased line gets there in 24.8 days).
int32_t AddActive(int32_t total, int64_t more) {
  const int64_t sum = static_cast<int64_t>(total) + more;
  return sum > INT32_MAX ? INT32_MAX : static_cast<int32_t>(sum);
}

// A table read that failed answers 0. Taken as a base, the next good read would
// turn every byte since boot into one interval: the spike would rescale the graph
// and enter the stored averages. So 0 is never a base, and the interval runs on
// from the last good read.
bool HasRateBase() { return LastRecvBytes != 0 && LastSentBytes != 0; }

void ComputeRates(DWORD now) {
  if (now - LastRateTick <= kRateGateMs) return;
  if (rateReadFailed && now - failedReadTick <= kRateGateMs) return;
  const uint32_t recv = loopseams::TotalNetBytesFn(1);
  const uint32_t sent = loopseams::TotalNetBytesFn(0);
  rateReadFailed = recv == 0 || sent == 0;
  if (rateReadFailed) {  // no sample, and the base stays
    failedReadTick = now;
    return;
  }
  const DWORD elapsed = now - LastRateTick;
  LastRateTick = now;
  // A counter that went back (it wrapped, or an interface went away) says nothing
  // about this interval: no sample, rather than a negative or enormous rate.
  if (!HasRateBase() || recv < LastRecvBytes || sent < LastSentBytes) {
    LastRecvBytes = recv;
    LastSentBytes = sent;
    return;
  }
  const double recvDiff = static_cast<double>(recv - LastRecvBytes);
  const double sentDiff = static_cast<double>(sent - LastSentBytes);
  CurCon.RecSpd = static_cast<float>(recvDiff / elapsed * 1000.0);
  CurCon.SndSpd = static_cast<float>(sentDiff / elapsed * 1000.0);
  if (recvDiff > 0 || sentDiff > 0) {
    if (TrafficActiveTick == 0) TrafficActiveTick = now;
    CurCon.ActiveDuration = AddActive(CurCon.ActiveDuration, now - TrafficActiveTick);
    TrafficActiveTick = now;
  } else {
    TrafficActiveTick = 0;
  }
  LastRecvBytes = recv;
  LastSentBytes = sent;
  CurCon.RecSpd = static_cast<float>(Round2(CurCon.RecSpd / 1024.0));
  CurCon.SndSpd = static_cast<float>(Round2(CurCon.SndSpd / 1024.0));
  if (CurCon.RecSpd > 0.1f || CurCon.SndSpd > 0.1f) ++ActiveSampleCount;
  if (CurCon.RecSpd > 0.1f) {
    RecSpdSum += CurCon.RecSpd;
    CurCon.AvrgRecSpd = static_cast<float>(Round2(RecSpdSum / ActiveSampleCount));
  }
  if (CurCon.SndSpd > 0.1f) {
    SndSpdSum += CurCon.SndSpd;
    CurCon.AvrgSndSpd = static_cast<float>(Round2(SndSpdSum / ActiveSampleCount));
  }
  const double series[6] = {CurCon.RecSpd,    CurCon.SndSpd,    CurCon.RecSpd + CurCon.SndSpd,
                            CurCon.AvrgRecSpd, CurCon.AvrgSndSpd, CurCon.AvrgRecSpd + CurCon.AvrgSndSpd};
  for (int i = 0; i < 6; ++i)
    if (NetSpeedHist[i]) NetSpeedHist[i]->AddPoint(WholeNumber(series[i]));
}

}  // namespace

// The start values of this module's state, given at program start and again by
// ResetProgramState.
void ResetMainLoopState() {
  RefreshInterval = 4;
  LastRefreshTick = 0;
  SysPerfLoaded = false;
  ConnectionPending = false;
  LanStartPending = false;
  ConnectStartTick = 0;
  IntReminderCount = 0;
  LastRateTick = 0;
  LastRecvBytes = 0;
  LastSentBytes = 0;
  TrafficActiveTick = 0;
  ActiveSampleCount = 0;
  RecSpdSum = 0;
  SndSpdSum = 0;
  TermRestartMode = false;
  DestHKText = std::string();
  LastHoverWnd = nullptr;
  WinReminderState = WinReminderRec();
  appHotKeyPending = false;
  destHotKeyPending = false;
  restart = RestartUnderCursor();
  rateReadFailed = false;
  failedReadTick = 0;
}
namespace {
const bool resetMainLoopStateDone = (ResetMainLoopState(), true);
}  // namespace

void NoteHotKey(HWND window, WPARAM id) {
  if (id != static_cast<WPARAM>(kHotKeyId) || !window) return;
  // The message's own window decides: a filter on the frame would also take the
  // lists page's key once that page is the frame's child.
  if (window == BoundHwnd(Views.lists.form))
    destHotKeyPending = true;
  else if (window == FrameHwnd())
    appHotKeyPending = true;
}

DWORD NextTaskDelay() {
  const DWORD now = Tick();
  DWORD delay = kIdleWaitMs;
  if (RefreshInterval >= 1) delay = std::min(delay, Until(now, LastRefreshTick, RefreshInterval * 1000u));
  if (Online()) {
    DWORD rates = Until(now, LastRateTick, kRateGateMs + 1);
    if (rateReadFailed) rates = std::max(rates, Until(now, failedReadTick, kRateGateMs + 1));
    delay = std::min(delay, rates);
  }
  if (WinReminder > 0 && WinReminderState.LastMinuteTick != 0)
    delay = std::min(delay, Until(now, WinReminderState.LastMinuteTick, 60000));
  if (TermRestartMode) delay = std::min(delay, kPickModePollMs);
  delay = std::min(delay, RestartDelay(now));
  if (Toolbar && (!Views.trackerBar.TickWanted || Views.trackerBar.TickWanted())) delay = std::min(delay, kBarTickMs);
  delay = std::min(delay, NoticeTickDelay(now));
  return delay;
}

void MainLoop() {
  Guard([] { CheckWindowsReminder(Tick()); });
  while (!IsExiting) MainLoopPass(true);
  EndProgram();
}

void MainLoopPass(bool wait) {
  if (wait && !appHotKeyPending && !destHotKeyPending) WaitForWork(NextTaskDelay());
  // From here on, nothing the pass does may keep the messages waiting long.
  ui::StallScope pass("main loop pass");
  HWND target = nullptr;
  MSG m;
  while (PeekMessageA(&m, nullptr, WM_HOTKEY, WM_HOTKEY, PM_REMOVE)) NoteHotKey(m.hwnd, m.wParam);
  if (destHotKeyPending) {
    destHotKeyPending = false;
    // A press while one is in progress is not queued: that one goes on.
    if (!RestartPending())
      Timed("main loop: terminate-and-restart hot key", [&] { BeginTerminateAndRestart(target); });
  }
  if (RestartPending()) Timed("main loop: terminate-and-restart", [] { ContinueTerminateAndRestart(); });
  if (appHotKeyPending) {
    appHotKeyPending = false;
    Timed("main loop: show the program hot key", [] { ShowInterfaceFrm(); });
  }
  Guard([] { DoLoopTasks(); });
  // The scan ticks the notice only while it runs (online, blocking on): a notice up
  // when the scans stop must still slide, close and let its pop-up go.
  Timed("main loop: pop-up notice tick", [] { TickPopUpNotice(Tick()); });
  // While the key's own pause runs, the status line is the key's, not the pick mode's.
  if (TermRestartMode && !RestartPending()) Timed("main loop: pick mode", [&] { FollowCursorInPickMode(target); });
  if (Toolbar && Views.trackerBar.Timer1_Timer)
    Timed("main loop: tracker bar tick", [] { Views.trackerBar.Timer1_Timer(); });
  ui::DoEvents();
}

void DoLoopTasks() {
  const DWORD now = Tick();
  if (RefreshInterval >= 1 && (now - LastRefreshTick) / 1000.0 >= RefreshInterval)
    Timed("main loop: refresh and samples", [&] { RefreshAndSample(now); });
  bool connected = false;
  // On a leased line the dial-up state decides nothing: it is not asked.
  if (LANCon != 1) Timed("main loop: dial-up probe", [&] { connected = loopseams::DialUpConnectedFn(); });
  Timed("main loop: connection start and end", [&] { TrackConnection(now, connected); });
  if (LANCon == 1 || connected) {
    Timed("main loop: pop-up scan", [] {
      if (BlockPopUps)
        ScanPopUps();
      else
        RemovePopUpHook();
    });
    Timed("main loop: traffic rates", [&] { ComputeRates(now); });
  }
  Timed("main loop: Windows reminder", [&] { CheckWindowsReminder(now); });
}

std::string HotKeyText(int32_t modifiers, int32_t charCode) {
  std::string text;
  if (modifiers & 4) text += "Shift+";
  if (modifiers & 2) text += "CTRL+";
  if (modifiers & 1) text += "ALT+";
  return text + "'" + std::string(1, static_cast<char>(charCode)) + "'";
}

void StartTermRestartMode() {
  if (TermRestartMode) return;
  TermRestartMode = true;
  if (Views.frame.form) Views.frame.form->Hide();
  CancelFlag = false;
  CancelEvent.Show();
  SetWindowPos(FrameHwnd(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
  DestHKText = HotKeyText(DestHK.Modifiers, DestHK.CharCode);
  DoProcessListOp(kProcRebuild, "True");
}

void OnInternetConnected(DWORD tick) {
  ConnectStartTick = tick;
  loopseams::PauseFn(500);
  DoProcessListOp(kProcRebuild, "True");
  if (BlockPopUps) InstallPopUpHook();
  CurCon.From = vb::CStrDate(vb::Now());
  CurCon.ActiveDuration = 0;
  CurCon.flag = "1";
  LastRecvBytes = loopseams::TotalNetBytesFn(1);
  LastSentBytes = loopseams::TotalNetBytesFn(0);
}

void OnInternetDisconnected() {
  const std::string now = vb::CStrDate(vb::Now());
  LastCon.From = CurCon.From;
  LastCon.To = now;
  LastCon.Duration = CurCon.Duration;
  LastCon.ActiveDuration = CurCon.ActiveDuration;
  LastCon.Cost = CalcConCost(CurCon.Duration);
  LastCon.AvrgRecSpd = static_cast<float>(Round2(CurCon.AvrgRecSpd));
  LastCon.AvrgSndSpd = static_cast<float>(Round2(CurCon.AvrgSndSpd));
  LastCon.AvrgTotalSpd = static_cast<float>(Round2(static_cast<double>(CurCon.AvrgSndSpd) + CurCon.AvrgRecSpd));
  LastCon.flag = CurCon.flag;

  // The first connection of the totals gives their From; a leased line's Duration
  // stays 0, so only the count tells (Clear Data zeroes it too).
  if (GeneralConInfo.ConnectTimes == 0) GeneralConInfo.From = CurCon.From;
  GeneralConInfo.To = now;
  GeneralConInfo.Duration += CurCon.Duration;
  GeneralConInfo.ActiveDuration = AddActive(GeneralConInfo.ActiveDuration, CurCon.ActiveDuration);
  GeneralConInfo.Cost = static_cast<float>(Round2(static_cast<double>(GeneralConInfo.Cost) + CalcConCost(CurCon.Duration)));
  ++GeneralConInfo.ConnectTimes;

  CurCon.Duration = 0;
  CurCon.ActiveDuration = 0;
  CurCon.RecSpd = CurCon.SndSpd = 0;
  CurCon.AvrgRecSpd = CurCon.AvrgSndSpd = 0;
  CurCon.flag.clear();
  RecSpdSum = SndSpdSum = 0;
  ActiveSampleCount = 0;
  IntReminderCount = 0;

  SaveConInfo();
  ConnectionPending = true;
  LanStartPending = true;
  RemovePopUpHook();
}

void CheckWindowsReminder(DWORD tick) {
  WinReminderRec& s = WinReminderState;
  if (tick == 0) {
    s.ActiveMinutes = s.IdleMinutes = 0;
    return;
  }
  if (WinReminder <= 0) {
    s.LastMinuteTick = 0;
    return;
  }
  if (s.LastMinuteTick == 0) {
    s.LastMinuteTick = tick;
    UserWasActive();  // takes the cursor position to compare with
    return;
  }
  if ((tick - s.LastMinuteTick) / 60000.0 < 1) return;
  s.LastMinuteTick = tick;
  if (UserWasActive()) {
    ++s.ActiveMinutes;
    s.IdleMinutes = 0;
  } else if (++s.IdleMinutes >= WinReminderIdleTime) {
    s.ActiveMinutes = s.IdleMinutes = 0;
  }
  if (s.ActiveMinutes >= WinReminder) {
    loopseams::PlaySoundFn(BloopPath());
    if (Views.reminders.Show)
      Views.reminders.Show(0, "Windows Reminder (Every " + std::to_string(WinReminder) + " minute(s))",
                              WinReminderText);
    s.ActiveMinutes = s.IdleMinutes = 0;
  }
}

bool UserWasActive() {
  WinReminderRec& s = WinReminderState;
  bool active = false;
  POINT p = {};
  if (seams::CursorPosFn(&p) && (p.x != s.CurCursorX || p.y != s.CurCursorY)) {
    s.LastCursorX = s.CurCursorX;
    s.LastCursorY = s.CurCursorY;
    s.CurCursorX = p.x;
    s.CurCursorY = p.y;
    active = true;
  }
  // Every key is polled, so each one's "pressed since the last query" is reset.
  for (int vk = 32; vk <= 128; ++vk)
    if (loopseams::KeyStateFn(vk) & 0x8001) active = true;
  return active;
}

void ResetPerfTimer() { LastRefreshTick = Tick(); }
