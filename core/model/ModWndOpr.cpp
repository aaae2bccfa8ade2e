// The window table and the facts of one window. Everything runs on the user-interface
// thread; the enumeration callback runs inside EnumWindows on the same thread.
#include "ModWndOpr.h"

#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <map>
#include <set>

#include "MForceFore.h"
#include "ModMainPlatform.h"
#include "ModProgInfo.h"
#include "ModSProgs.h"
#include "ModSettings.h"
#include "ModStartupPlatform.h"
#include "OwnedHandle.h"
#include "Seams.h"
#include "VbRules.h"
#include "Window.h"
#include "modIni.h"

std::vector<HWND> WndTable;
int16_t WndTableLast;
std::vector<std::string> WndTitles;
bool WndEnumActive;
WndInfo CurWnd;
bool WndPathMissing;

namespace {

const UINT kShortWaitMs = 50;
const UINT kLongWaitMs = 500;
const char kDialogClass[] = "#32770";
const char kNotResponding[] = "(Not responding)";

// The special-program action of each process met during one rebuild: a program with
// many windows is looked up once.
std::map<DWORD, int16_t> g_actionOfProcess;

// The owner thread and process of each window the walker met, kept from one rebuild to
// the next: neither changes while a window lives, and each question about another
// program's window is a trip to the server under Wine.
struct WndOwner {
  DWORD thread;
  DWORD process;
};
std::map<HWND, WndOwner> g_ownerOfWindow, g_ownerMet;

// The styles the last rebuild read of each window it kept: the display filter needs
// them, and the timed merge then takes its visible, enabled and on-top facts from the
// same reads rather than asking the server again.
struct WndStyles {
  LONG style;
  LONG ex;
  bool haveEx;
};
std::map<HWND, WndStyles> g_stylesKept;
WndStyles g_filterStyles;  // what the filter read of the window it last decided

// What the last rebuild decided about every window it met, listed or not, so the
// timed rebuild can keep the decision of a window it does not read this time.
struct WndDecision {
  bool listed;
  WndStyles styles;
  DWORD readTick;
};
std::map<HWND, WndDecision> g_decided, g_decidedMet;
// The windows the last rebuild read itself (a full one reads them all).
std::set<HWND> g_readNow;
bool g_readAll = true;
// During a timed rebuild: the windows met before that are read again, and the tick.
struct TimedRead {
  const std::function<bool(HWND)>* asked;
  std::set<HWND> due;
  DWORD now;
};
const TimedRead* g_timed = nullptr;

DWORD OwnerProcess(HWND hwnd) {
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  return pid;
}

// The owner during a rebuild: known windows from the last one, others asked once.
WndOwner KnownOwner(HWND hwnd) {
  auto known = g_ownerOfWindow.find(hwnd);
  WndOwner owner = {};
  if (known != g_ownerOfWindow.end()) {
    owner = known->second;
  } else {
    owner.thread = GetWindowThreadProcessId(hwnd, &owner.process);
  }
  if (owner.thread) g_ownerMet[hwnd] = owner;
  return owner;
}

LONG ExStyle(HWND hwnd) { return GetWindowLongA(hwnd, GWL_EXSTYLE); }

// Entry 0 of the owner-class list is never filled and never compared.
bool IsListedClass(const std::string& className) {
  for (size_t i = 1; i < DialogOwnerClasses.size(); ++i)
    if (DialogOwnerClasses[i] == className) return true;
  return false;
}

// True when the windows list may show the window under the display options. The
// tests decide in this order; the first that decides ends it.
bool FilterWnd(HWND hwnd) {
  // A top-level window's parent is the desktop, so its own WS_VISIBLE is the whole of
  // IsWindowVisible, which would ask for the parents too.
  g_filterStyles = WndStyles{GetWindowLongA(hwnd, GWL_STYLE), 0, false};
  if (!(g_filterStyles.style & WS_VISIBLE) && HideWnd == 1) return false;
  if (WndDisplay == 3) return true;  // every window
  LONG ex = ExStyle(hwnd);
  g_filterStyles.ex = ex;
  g_filterStyles.haveEx = true;
  if (ex & WS_EX_TOOLWINDOW) return false;
  HWND owner = GetWindow(hwnd, GW_OWNER);
  if (!IsWindow(owner)) return true;
  if (ex & WS_EX_APPWINDOW) return true;
  if (GetWndClassName(hwnd) != kDialogClass) return false;
  if (WndDisplay == 2) return true;  // every dialog box
  if (WndDisplay != 1) return false;  // as the system's task list shows them
  // Recommended: dialog boxes of the owner classes prog.ini lists.
  return IsListedClass(vb::UCase(vb::Trim(GetWndClassName(owner))));
}

// The special-program action of the process's program (-1 for none).
int16_t ProgramAction(DWORD pid) {
  auto known = g_actionOfProcess.find(pid);
  if (known != g_actionOfProcess.end()) return known->second;
  int16_t action = -1;
  // By the process already known: asking by the window would ask the server again.
  if (DoProcessListOp(kProcPathOfId, std::to_string(pid)).IsTrue()) action = DoSProgOp(3, ProcResultPath);
  g_actionOfProcess[pid] = action;
  return action;
}

// The display filter, or the decision a timed rebuild keeps for a window met before.
bool Listed(HWND hwnd) {
  auto known = g_timed ? g_decided.find(hwnd) : g_decided.end();
  if (known != g_decided.end() && !g_timed->due.count(hwnd) && !(*g_timed->asked)(hwnd)) {
    g_filterStyles = known->second.styles;
    g_decidedMet[hwnd] = known->second;
    return known->second.listed;
  }
  const bool listed = FilterWnd(hwnd);
  g_decidedMet[hwnd] = WndDecision{listed, g_filterStyles, g_timed ? g_timed->now : seams::TickCountFn()};
  g_readNow.insert(hwnd);
  return listed;
}

// The windows whose turn has come: the `share`th part of the windows met before, those
// read longest ago first, so each share after another reads every window once.
std::set<HWND> DueWindows(DWORD now, unsigned shares) {
  std::set<HWND> due;
  if (shares == 0 || g_decided.empty()) return due;
  std::vector<std::pair<DWORD, HWND>> ages;
  for (const auto& known : g_decided) ages.emplace_back(now - known.second.readTick, known.first);
  const size_t most = std::min(ages.size(), (ages.size() + shares - 1) / shares);
  std::partial_sort(ages.begin(), ages.begin() + static_cast<std::ptrdiff_t>(most), ages.end(),
                    [](const auto& a, const auto& b) { return a.first > b.first; });
  for (size_t i = 0; i < most; ++i) due.insert(ages[i].second);
  return due;
}

BOOL CALLBACK EnumWndProc(HWND hwnd, LPARAM) {
  if (!WndEnumActive) return FALSE;
  // The display filter first: most top-level windows fail it, and each question about
  // a window is a trip to the server under Wine.
  if (!Listed(hwnd)) return TRUE;
  DWORD pid = KnownOwner(hwnd).process;
  // The program's own windows never enter the table.
  if (pid == GetCurrentProcessId()) return TRUE;
  if (ProgramAction(pid) == 1) return TRUE;  // hidden with all its windows
  if (WndTableLast == INT16_MAX) return FALSE;  // the table's index is 16-bit
  ++WndTableLast;
  WndTable.resize(static_cast<size_t>(WndTableLast) + 1);
  WndTable[WndTableLast] = hwnd;
  g_stylesKept[hwnd] = g_filterStyles;
  if (LogScanning) {
    // A hung window is never asked for its text.
    std::string title = IsWndResponding(hwnd, false) ? GetWndTitle(hwnd) : kNotResponding;
    WndTitles.resize(static_cast<size_t>(WndTableLast) + 1);
    WndTitles[WndTableLast] = title;
  }
  return TRUE;
}

BOOL CALLBACK EnumListedWndProc(HWND hwnd, LPARAM) {
  // The desktop's list comes in one answer from the server, but a window in it may
  // be gone by now: the first question asked about it then says so.
  if (g_decided.count(hwnd) || IsWindow(hwnd)) return EnumWndProc(hwnd, 0);
  return TRUE;
}

void RebuildWndTable(const TimedRead* timed) {
  // A rebuild asked while one runs (from a message handled during a responding probe)
  // would empty the table under the running one.
  if (WndEnumActive) return;
  WndTableLast = -1;
  WndTable.clear();
  if (LogScanning) WndTitles.clear();
  g_actionOfProcess.clear();
  g_ownerMet.clear();
  g_stylesKept.clear();
  g_decidedMet.clear();
  g_readNow.clear();
  g_readAll = timed == nullptr;
  g_timed = timed;
  WndEnumActive = true;
  if (timed) {
    // EnumWindows asks the server about every window before handing it over (about
    // 0.02-0.04 ms each); the desktop's enumeration hands over the server's one list.
    EnumDesktopWindows(GetThreadDesktop(GetCurrentThreadId()), EnumListedWndProc, 0);
  } else {
    EnumWindows(EnumWndProc, 0);
  }
  WndEnumActive = false;
  g_timed = nullptr;
  // Only the windows still there are remembered, so a gone window's entry cannot
  // outlive it.
  g_ownerOfWindow.swap(g_ownerMet);
  g_ownerMet.clear();
  g_decided.swap(g_decidedMet);
  g_decidedMet.clear();
  g_actionOfProcess.clear();
}

// The path of the program that owns the window, through the process cache; "" when
// the cache does not know the process.
std::string OwnerPathFromCache(HWND hwnd) {
  ProcResultPath.clear();
  DoProcessListOp(kProcOwnerOfWindow, WndHandleText(hwnd));
  return ProcResultPath;
}

// The path of a process read from the process itself, for one the cache misses.
std::string ProcessPathLive(DWORD pid) {
  std::string path;
  if (IsWinNTFlag) {
    if (OwnedHandle process{OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid)})
      path = ProcessImagePath(process.get());
  } else {
    ForEachToolhelpProcess([&](const PROCESSENTRY32& entry) {
      if (entry.th32ProcessID != pid) return true;
      path = ToolhelpProcessPath(entry);
      return false;
    });
  }
  return path;
}

void FillCurWnd(HWND hwnd) {
  CurWnd = WndInfo();
  if (!IsWindow(hwnd)) return;
  CurWnd.Title = GetWndTitle(hwnd);
  std::string path = OwnerPathFromCache(hwnd);
  if (path.empty()) {
    // A program started since the last walk: it already runs (it has a window), so
    // a walk now finds it. No pause for it to settle: this runs inside the pop-up
    // scan and the window list, on the thread that serves the user.
    DoProcessListOp(kProcRebuild, vb::BoolText(true));
    path = OwnerPathFromCache(hwnd);
  }
  CurWnd.ExeFile = path;
  DWORD pid = 0;
  CurWnd.ThreadId = GetWindowThreadProcessId(hwnd, &pid);
  CurWnd.ProcessId = pid;
  CurWnd.Position = GetWndPosition(hwnd);
  if (IsWndHung(hwnd)) return;  // OnTop, Responding, Enabled, Visible stay False
  CurWnd.Responding = IsWndResponding(hwnd, false);
  CurWnd.Enabled = IsWindowEnabled(hwnd) != FALSE;
  CurWnd.Visible = IsWindowVisible(hwnd) != FALSE;
  CurWnd.OnTop = IsWndOnTop(hwnd);
}

// The codes that ask only a window that answers at once.
vb::Variant IfResponding(HWND hwnd, bool (*ask)(HWND)) {
  if (!IsWndResponding(hwnd, false)) return vb::Variant();
  return vb::Variant::Bool(ask(hwnd));
}

// The small class icon of a window, or its big one.
HICON ClassIcon(HWND hwnd, bool large) {
  if (!hwnd) return nullptr;
  return reinterpret_cast<HICON>(GetClassLongPtrA(hwnd, large ? GCLP_HICON : GCLP_HICONSM));
}

}  // namespace

// The start values of this module's state, given at program start and again by
// ResetProgramState.
void ResetWndOprState() {
  WndTable.clear();
  WndTableLast = -1;
  WndTitles.clear();
  WndEnumActive = false;
  CurWnd = WndInfo();
  WndPathMissing = false;
  g_actionOfProcess.clear();
  g_ownerOfWindow.clear();
  g_ownerMet.clear();
  g_stylesKept.clear();
  g_decided.clear();
  g_decidedMet.clear();
  g_readNow.clear();
  g_readAll = true;
}
namespace {
const bool resetWndOprStateDone = (ResetWndOprState(), true);
}  // namespace

DWORD WndTableThread(HWND hwnd) {
  auto known = g_ownerOfWindow.find(hwnd);
  return known == g_ownerOfWindow.end() ? 0 : known->second.thread;
}

void RebuildWndTableTimed(const std::function<bool(HWND)>& readNow, unsigned shares) {
  if (WndEnumActive) return;
  // Decisions made under other display options are no decisions now.
  static int16_t decidedHideWnd = -1, decidedDisplay = -1;
  if (HideWnd != decidedHideWnd || WndDisplay != decidedDisplay) g_decided.clear();
  decidedHideWnd = HideWnd;
  decidedDisplay = WndDisplay;
  TimedRead timed{&readNow, {}, seams::TickCountFn()};
  timed.due = DueWindows(timed.now, shares);
  RebuildWndTable(&timed);
}

bool WndTableReadNow(HWND hwnd) { return g_readAll || g_readNow.count(hwnd) != 0; }

bool WndTableStyles(HWND hwnd, LONG* style, LONG* exStyle) {
  auto kept = g_stylesKept.find(hwnd);
  if (kept == g_stylesKept.end()) return false;
  if (!kept->second.haveEx) kept->second.ex = ExStyle(hwnd);
  kept->second.haveEx = true;
  *style = kept->second.style;
  *exStyle = kept->second.ex;
  return true;
}

std::string WndHandleText(HWND hwnd) {
  return std::to_string(static_cast<unsigned long>(reinterpret_cast<uintptr_t>(hwnd)));
}

HWND WndFromHandleText(const std::string& text) {
  std::string t = vb::Trim(text);
  if (t.empty()) return nullptr;
  size_t at = t[0] == '-' || t[0] == '+' ? 1 : 0;
  if (at == t.size()) return nullptr;
  for (size_t i = at; i < t.size(); ++i)
    if (t[i] < '0' || t[i] > '9') return nullptr;
  if (t.size() - at > 10) return nullptr;
  // A handle may come as a signed 32-bit number too.
  long long v = std::strtoll(t.c_str(), nullptr, 10);
  if (v < -2147483648LL || v > 4294967295LL) return nullptr;
  return reinterpret_cast<HWND>(static_cast<uintptr_t>(static_cast<uint32_t>(v)));
}

std::string GetWndTitle(HWND hwnd) {
  // The text's length would have to be asked with a message, which a hung window
  // never answers; the text itself of another program's window is read without one.
  // A window that is gone gives no text, so it needs no separate test (each is a
  // trip to the server under Wine); no handle at all would ask the desktop.
  if (!hwnd) return "";
  std::string buf(512, '\0');
  for (;;) {
    int n = GetWindowTextA(hwnd, &buf[0], static_cast<int>(buf.size()));
    if (n <= 0) return "";
    if (static_cast<size_t>(n) < buf.size() - 1 || buf.size() >= 65536) {
      buf.resize(static_cast<size_t>(n));
      return buf;
    }
    buf.assign(buf.size() * 4, '\0');
  }
}

std::string GetWndPosition(HWND hwnd) {
  RECT r;
  if (!hwnd || !GetWindowRect(hwnd, &r)) return "";  // no handle would give the desktop
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ") - (" + std::to_string(r.right) + "," +
         std::to_string(r.bottom) + ")";
}

vb::Variant GetWndInfo(long code, const std::string& handleText) {
  if (code == kWndRebuildTable) {
    RebuildWndTable(nullptr);
    return vb::Variant();
  }
  HWND hwnd = WndFromHandleText(handleText);
  switch (code) {
    case kWndTitle:
      return vb::Variant::Str(GetWndTitle(hwnd));
    case kWndExePath: {
      std::string path = IsWindow(hwnd) ? OwnerPathFromCache(hwnd) : (ProcResultPath.clear(), std::string());
      if (path.empty()) WndPathMissing = true;
      return vb::Variant::Str(path);
    }
    case kWndResponding:
      return vb::Variant::Bool(IsWndResponding(hwnd, false));
    case kWndVisible:
      return IfResponding(hwnd, [](HWND h) { return IsWindowVisible(h) != FALSE; });
    case kWndOnTop:
      return IfResponding(hwnd, [](HWND h) { return IsWndOnTop(h); });
    case kWndEnabled:
      return IfResponding(hwnd, [](HWND h) { return IsWindowEnabled(h) != FALSE; });
    case kWndProcessId:
      return vb::Variant::Num(static_cast<long>(OwnerProcess(hwnd)));
    case kWndThreadId: {
      DWORD pid = 0;
      return vb::Variant::Num(static_cast<long>(GetWindowThreadProcessId(hwnd, &pid)));
    }
    case kWndPosition:
      return vb::Variant::Str(GetWndPosition(hwnd));
    case kWndFillCurWnd:
      FillCurWnd(hwnd);
      return vb::Variant();
    default:
      return vb::Variant();
  }
}

bool IsWndResponding(HWND hwnd, bool longWait) {
  if (!hwnd) return false;
  DWORD_PTR answer = 0;
  return SendMessageTimeoutA(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, longWait ? kLongWaitMs : kShortWaitMs, &answer) != 0;
}

bool IsWndHung(HWND hwnd) { return !IsWndResponding(hwnd, false); }

bool IsWndOnTop(HWND hwnd) { return (ExStyle(hwnd) & WS_EX_TOPMOST) != 0; }

HICON GetWndIcon(HWND hwnd, bool large, bool* callerOwns) {
  if (callerOwns) *callerOwns = false;
  if (IsWndHung(hwnd)) return nullptr;
  // Asked with a time-out too: a window can stop answering right after the probe.
  DWORD_PTR answer = 0;
  SendMessageTimeoutA(hwnd, WM_GETICON, large ? ICON_BIG : ICON_SMALL, 0, SMTO_ABORTIFHUNG, kLongWaitMs, &answer);
  HICON icon = reinterpret_cast<HICON>(answer);
  if (!icon) icon = ClassIcon(hwnd, large);
  if (!icon) icon = ClassIcon(GetWindow(hwnd, GW_OWNER), large);
  if (!icon) {
    std::string path = GetWndInfo(kWndExePath, WndHandleText(hwnd)).Text();
    // The shell gives its small icon also when the large one was asked.
    if (!path.empty()) icon = GetFileIcon(path, false);
    if (icon && callerOwns) *callerOwns = true;
  }
  return icon;
}

std::string OwnerPathOfWindow(HWND hwnd, bool* fromCache) {
  std::string path = OwnerPathFromCache(hwnd);
  if (fromCache) *fromCache = !path.empty();
  if (!path.empty()) return path;
  // A program started since the last walk, or one a throttled walk left out: it
  // runs (it has a window), so the process itself says where it came from.
  const DWORD pid = OwnerProcess(hwnd);
  if (pid != 0) ProcResultPath = vb::LCase(ProcessPathLive(pid));
  return ProcResultPath;
}

OwnedHandle StartEndingOwnerOf(HWND hwnd) {
  DWORD pid = OwnerProcess(hwnd);
  // Ending the program from inside would end it without its exit work.
  if (pid == 0 || pid == GetCurrentProcessId()) return OwnedHandle();
  // A program the cache misses still gets the warning and is ended by its id; callers
  // restart the program from ProcResultPath, which holds the path either way.
  bool cached = false;
  const std::string path = OwnerPathOfWindow(hwnd, &cached);
  if (WarnSpecialProgKill(path)) return OwnedHandle();
  // A process this program may not end (or one already gone) is reported at once,
  // not after a wait for an end that cannot come.
  OwnedHandle process(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid));
  if (!process) return OwnedHandle();
  if (!(cached && DoProcessListOp(kProcEndById, std::to_string(pid)).IsTrue())) TerminateProcess(process.get(), 0);
  return process;
}

bool CloseWnd(bool terminate, HWND hwnd) {
  if (!terminate) {
    PostMessageA(hwnd, WM_CLOSE, 0, 0);
    return true;
  }
  OwnedHandle process = StartEndingOwnerOf(hwnd);
  // Success means the process really ended, not only that it was asked to.
  return process && ui::WaitServingEvents(process.get(), kProgramEndWaitMs);
}

bool BringWndToFront(HWND hwnd) {
  if (GetWindowLongA(hwnd, GWL_STYLE) & WS_MINIMIZE) ShowWindow(hwnd, SW_RESTORE);
  // Another program's always-on-top window must stay so.
  const bool wasTopmost = IsWndOnTop(hwnd);
  const UINT kShow = SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW;
  SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, kShow);
  ui::PauseServingEvents(100);
  SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, kShow);
  ui::PauseServingEvents(100);
  if (!wasTopmost) SetWindowPos(hwnd, HWND_NOTOPMOST, 0, 0, 0, 0, kShow | SWP_NOACTIVATE);
  return ForceForeground(hwnd, true);
}
