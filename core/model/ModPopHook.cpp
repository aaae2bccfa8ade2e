#include "ModPopHook.h"

#include <algorithm>
#include <map>

#include "LoopSeams.h"
#include "ModGetURL.h"
#include "ModMainPlatform.h"
#include "ModPop.h"
#include "ModProgInfo.h"
#include "ModSettings.h"
#include "ModWndOpr.h"
#include "Seams.h"
#include "VbRules.h"
#include "ViewBindings.h"

std::vector<KnownWndSlot> KnownWndTable;
std::vector<HWND> RestoredWnds;
bool SkipNextScan = false;

namespace popseams {
namespace {
ULONG_PTR RealClassSmallIcon(HWND window, DWORD* error) {
  SetLastError(0);
  ULONG_PTR icon = GetClassLongPtrA(window, GCLP_HICONSM);
  *error = icon ? 0 : GetLastError();
  return icon;
}
}  // namespace
std::function<ULONG_PTR(HWND, DWORD*)> ClassSmallIconFn = RealClassSmallIcon;
void Reset() { ClassSmallIconFn = RealClassSmallIcon; }
}  // namespace popseams

namespace {

const char kHookApp[] = "Quillon";
const char kTmp[] = "tmp";
const char kWebDialogClass[] = "Internet Explorer_TridentDlgFrame";
const char kWebDialogTitleEnd[] = "-- Web Page Dialog";
const DWORD kMenuWindowMs = 3000;
const DWORD kSweepEveryMs = 2000;
const DWORD kAfterRunDialogMs = 2000;
const long kDefaultMouseWindowMs = 1500;

bool installed = false;
// Scan state kept from one scan to the next.
DWORD lastSweepTick = 0;
DWORD lastNoticeTick = 0;
bool noticeTicked = false;
DWORD lastMouseTime = 0;
std::string lastMouseURL;
bool runDlgOpen = false;
DWORD runDlgClosedTick = 0;
HWND lastWebDialog = nullptr;
// The hook's last choice whose menu text this program cleared.
bool menuCleared = false;
DWORD clearedChoiceTick = 0;

DWORD Now() { return seams::TickCountFn(); }

std::string HandOver(const std::string& key, const std::string& fallback) {
  return GetSetting(kHookApp, kTmp, key, fallback);
}
void PutHandOver(const std::string& key, const std::string& value) { SaveSetting(kHookApp, kTmp, key, value); }

// A tick the hook wrote as an unsigned decimal; a negative text wraps as a tick would.
DWORD TickValue(const std::string& text) {
  const double v = vb::Val(text);
  if (v >= 0) return v >= 4294967295.0 ? 0xFFFFFFFFu : static_cast<DWORD>(v);
  return v <= -2147483648.0 ? 0x80000000u : static_cast<DWORD>(static_cast<int32_t>(v));
}

using InstallMainHookFn = LONG(WINAPI*)(LONG window, LONG onOff);

InstallMainHookFn HookEntry() { return reinterpret_cast<InstallMainHookFn>(MoskinEntry("InstallMainHook")); }

// Window handles cross the library's 32-bit argument: they fit in 32 bits on 64-bit
// Windows too.
LONG HookWindowArgument() {
  return static_cast<LONG>(reinterpret_cast<LONG_PTR>(BoundHwnd(Views.status.form)));
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// Visible, with a small class icon, not a tool window. Where the system will not
// tell another process's class icon (Wine answers 0 with an error), the condition
// counts as met: otherwise no window could ever be blocked.
bool IsCandidate(HWND window) {
  if (!IsWindowVisible(window)) return false;
  if (GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) return false;
  DWORD error = 0;
  return popseams::ClassSmallIconFn(window, &error) != 0 || error != 0;
}

// The short, upper-cased paths of one pass: the browsers' and the windows' owners'.
// Each path is shortened once per pass (a short path costs about 2 ms under Wine,
// and a browser's windows share one owner). A missing file shortens to "", which
// matches nothing.
class ShortPaths {
 public:
  ShortPaths() {
    for (int b = 0; b < BrowsersLst_Total; ++b) browsers_.push_back(Of(Browsers[b].Path));
  }
  // The browser that owns the window CurWnd describes; -1 when none.
  int BrowserOfCurWnd() {
    const std::string owner = Of(CurWnd.ExeFile);
    if (owner.empty()) return -1;
    for (size_t b = 0; b < browsers_.size(); ++b)
      if (browsers_[b] == owner) return static_cast<int>(b);
    return -1;
  }

 private:
  const std::string& Of(const std::string& path) {
    auto known = shortened_.find(path);
    if (known == shortened_.end()) known = shortened_.emplace(path, vb::UCase(GetShortPath(path))).first;
    return known->second;
  }
  std::map<std::string, std::string> shortened_;
  std::vector<std::string> browsers_;
};

int SlotOfProcess(DWORD processId) {
  if (!processId) return -1;
  for (size_t s = 0; s < KnownWndTable.size(); ++s)
    if (KnownWndTable[s].ProcessId == processId) return static_cast<int>(s);
  return -1;
}

bool SlotHolds(int slot, HWND window) {
  for (const KnownWnd& w : KnownWndTable[slot].Wins)
    if (w.hWnd == window) return true;
  return false;
}

// The menu text of this pass: the hook's caption, "&" taken out and lower-cased,
// while the choice is at most three seconds old.
std::string MenuTextOfPass(DWORD now) {
  const DWORD chosen = TickValue(HandOver("Time", "0"));
  if (now - chosen > kMenuWindowMs) {
    // The hook stamps a new time with every choice: a choice already cleared is not
    // written again on every pass.
    if (!menuCleared || chosen != clearedChoiceTick) PutHandOver("MenuName", "");
    menuCleared = true;
    clearedChoiceTick = chosen;
    return "";
  }
  return vb::LCase(StripMenuAmpersand(HandOver("MenuName", "")));
}

bool KeyDown(int vk) { return (loopseams::KeyStateFn(vk) & 0x8000) != 0; }

void FollowRunDialog(DWORD now) {
  if (FindWindowA("#32770", "Run")) {
    runDlgOpen = true;
  } else if (runDlgOpen) {
    runDlgClosedTick = now;
    runDlgOpen = false;
  }
}

bool IsClass(HWND window, const char* cls) { return window && GetWndClassName(window) == cls; }

// A click in a page shortly before the window appeared, in the page the window's
// opener shows.
bool OpenedByPageClick(long mouseWindowMs) {
  const DWORD winTime = TickValue(HandOver("WinTime", "0"));
  HWND clicked = WndFromHandleText(HandOver("MouseHwnd", "0"));
  lastMouseURL = HandOver("MouseTimeD", "");
  lastMouseTime = TickValue(HandOver("MouseTime", "0"));
  const int32_t sinceClick = static_cast<int32_t>(winTime - lastMouseTime);
  if (sinceClick <= 0 || sinceClick >= mouseWindowMs) return false;
  if (!clicked || IsClass(clicked, "ToolbarWindow32")) return false;
  if (!IsClass(clicked, "Internet Explorer_Server") && !IsClass(GetParent(clicked), "Internet Explorer_Server"))
    return false;
  HWND top = GetAncestor(clicked, GA_ROOT);
  // Read into a text of its own: FoundURL is the held pop-up's address.
  const std::string address = ReadWindowAddress(top ? top : clicked);
  // No address read means nothing to compare: the click does not count.
  return !address.empty() && lastMouseURL.compare(0, address.size(), address) == 0;
}

long MouseWindowSetting() {
  const std::string key = "var_WIN_MOUSE_TIMER ";
  long ms = static_cast<long>(vb::Val(GetSetting(ProgramTitle, "General", key, "0")));
  if (ms <= 0) {
    ms = kDefaultMouseWindowMs;
    SaveSetting(ProgramTitle, "General", key, std::to_string(ms));
  }
  return ms;
}

bool MenuOpened(const std::string& menuText, const BrowserEntry& b) {
  if (menuText.empty()) return false;
  for (int k = 0; k < 2; ++k) {
    const std::string caption = vb::LCase(b.MenuName[k]);
    // An empty caption would be contained in every choice.
    if (!caption.empty() && Contains(menuText, caption)) return true;
  }
  return false;
}

void ShowPop(const std::string& title, int b, HWND window, int slot, DWORD threadId, int16_t webDialog) {
  if (Views.popUpNotice.ShowPop)
    Views.popUpNotice.ShowPop(title, static_cast<int16_t>(b), window, static_cast<int16_t>(slot), threadId,
                              webDialog);
}

void TickNotice() { TickPopUpNotice(Now()); }

// A window that is gone, or whose handle now names another process's window, leaves
// the table; one hidden meanwhile (by the notice or its browser) stays known, so
// it is not announced again when it is shown.
void Sweep() {
  for (KnownWndSlot& slot : KnownWndTable) {
    if (!slot.ProcessId) continue;
    bool any = false;
    for (KnownWnd& w : slot.Wins) {
      if (!w.hWnd) continue;
      if (!w.Seen) {
        DWORD owner = 0;
        if (!IsWindow(w.hWnd) || !GetWindowThreadProcessId(w.hWnd, &owner) || owner != slot.ProcessId)
          w.hWnd = nullptr;
      }
      any = any || w.hWnd;
    }
    if (!any) {
      slot.ProcessId = 0;
      slot.Wins.clear();
    }
  }
}

// Step 3 of the install: the web page dialogs open now are never announced.
void RecordOpenWebDialogs() {
  HWND first = nullptr;
  for (HWND h = FindWindowExA(nullptr, nullptr, kWebDialogClass, nullptr); h;
       h = FindWindowExA(nullptr, h, kWebDialogClass, nullptr)) {
    if (h == first) break;
    if (!first) first = h;
    if (IsWindowVisible(h)) AddRestoredWindow(h);
  }
}

void RecordOpenBrowserWindows() {
  ShortPaths shortPaths;
  for (int i = 0; i <= WndTableLast && i < static_cast<int>(WndTable.size()); ++i) {
    HWND h = WndTable[i];
    if (!IsCandidate(h)) continue;
    GetWndInfo(kWndFillCurWnd, WndHandleText(h));
    if (shortPaths.BrowserOfCurWnd() < 0) continue;
    int slot = SlotOfProcess(CurWnd.ProcessId);
    if (slot < 0) slot = GetProcessSlot(CurWnd.ProcessId, -1);
    if (!SlotHolds(slot, h)) AddKnownWindow(h, slot);
  }
}

}  // namespace

int GetProcessSlot(DWORD processId, int slot) {
  if (slot < 0) {
    for (size_t s = 0; s < KnownWndTable.size() && slot < 0; ++s)
      if (!KnownWndTable[s].ProcessId) slot = static_cast<int>(s);
    if (slot < 0) {
      KnownWndTable.emplace_back();
      slot = static_cast<int>(KnownWndTable.size()) - 1;
    }
  }
  KnownWndTable[slot].ProcessId = processId;
  return slot;
}

void AddKnownWindow(HWND window, int slot) {
  std::vector<KnownWnd>& wins = KnownWndTable[slot].Wins;
  auto free = std::find_if(wins.begin(), wins.end(), [](const KnownWnd& w) { return !w.hWnd; });
  if (free != wins.end())
    free->hWnd = window;
  else
    wins.push_back({window, false});
  MarkWindowSeen(KnownWndTable[slot].ProcessId, window);
}

void MarkWindowSeen(DWORD processId, HWND window) {
  for (KnownWndSlot& slot : KnownWndTable) {
    if (slot.ProcessId != processId) continue;
    for (KnownWnd& w : slot.Wins)
      if (w.hWnd == window) {
        w.Seen = true;
        return;
      }
  }
}

void AddRestoredWindow(HWND window) {
  auto free = std::find(RestoredWnds.begin(), RestoredWnds.end(), nullptr);
  if (free != RestoredWnds.end())
    *free = window;
  else
    RestoredWnds.push_back(window);
}

void InstallPopUpHook() {
  GetWndInfo(kWndRebuildTable, "");
  LoadView(Views.status.form);
  if (InstallMainHookFn install = HookEntry()) {
    install(HookWindowArgument(), 1);
    installed = true;
  }
  PutHandOver("MenuName", "");
  RecordOpenWebDialogs();
  RecordOpenBrowserWindows();
}

void RemovePopUpHook() {
  if (!installed) return;
  if (InstallMainHookFn install = HookEntry()) install(HookWindowArgument(), 0);
  installed = false;
}

bool PopUpHookInstalled() { return installed; }

void CheckWebPageDialogs(bool userOpened, const std::string& menuText) {
  if (BlockDialog == 0) return;
  HWND dialog = FindWindowExA(nullptr, lastWebDialog, kWebDialogClass, nullptr);
  if (!dialog && lastWebDialog) dialog = FindWindowExA(nullptr, nullptr, kWebDialogClass, nullptr);
  lastWebDialog = dialog;
  if (!dialog || !IsWindowVisible(dialog)) return;
  const std::string title = GetWndTitle(dialog);
  const std::string end = kWebDialogTitleEnd;
  if (title.size() <= end.size() || title.compare(title.size() - end.size(), end.size(), end) != 0) return;
  if (std::find(RestoredWnds.begin(), RestoredWnds.end(), dialog) != RestoredWnds.end()) {
    PutHandOver("MenuName", "");
    return;
  }
  AddRestoredWindow(dialog);
  if (Contains(menuText, "open in new window")) {
    PutHandOver("MenuName", "");
  } else if (!userOpened) {
    ShowPop("", 0, dialog, 0, 0, -1);
  }
  for (HWND& h : RestoredWnds)
    if (h && !IsWindow(h)) h = nullptr;
}

void ScanPopUps() {
  // Each step stands alone: one that fails costs only itself.
  auto step = [](auto&& work) {
    try {
      work();
    } catch (...) {
    }
  };
  DWORD now = Now();
  std::string menuText;
  bool userOpened = false;
  step([&] { menuText = MenuTextOfPass(now); });
  step([&] { userOpened = KeyDown(VK_CONTROL) || KeyDown(VK_SHIFT); });
  step([&] { FollowRunDialog(now); });
  step([&] { CheckWebPageDialogs(userOpened, menuText); });
  if (SkipNextScan) {
    PutHandOver("NewWin", "0");
    SkipNextScan = false;
    return;
  }
  if (vb::Val(HandOver("NewWin", "0")) == 0) {
    step([] { TickNotice(); });
    return;
  }
  if (runDlgClosedTick != 0 && now - runDlgClosedTick < kAfterRunDialogMs && !runDlgOpen) {
    userOpened = true;
    runDlgClosedTick = 0;
  }
  long mouseWindowMs = kDefaultMouseWindowMs;
  step([&] { mouseWindowMs = MouseWindowSetting(); });
  if (BlockMode == 1) step([&] { userOpened = OpenedByPageClick(mouseWindowMs) || userOpened; });
  PutHandOver("NewWin", "0");

  bool sweeps = false;
  if (now - lastSweepTick > kSweepEveryMs) {
    WndPathMissing = false;
    sweeps = true;
    lastSweepTick = now;
    for (KnownWndSlot& slot : KnownWndTable)
      for (KnownWnd& w : slot.Wins) w.Seen = false;
  }

  step([&] {
    GetWndInfo(kWndRebuildTable, "");
    ShortPaths shortPaths;
    for (int i = 0; i <= WndTableLast && i < static_cast<int>(WndTable.size()); ++i) {
      HWND h = WndTable[i];
      if (!IsCandidate(h)) continue;
      GetWndInfo(kWndFillCurWnd, WndHandleText(h));
      const int b = shortPaths.BrowserOfCurWnd();
      if (b < 0) continue;
      int slot = SlotOfProcess(CurWnd.ProcessId);
      if (slot < 0) {
        // The first window of a browser process the table does not know is its own.
        AddKnownWindow(h, GetProcessSlot(CurWnd.ProcessId, -1));
        continue;
      }
      if (SlotHolds(slot, h)) {
        MarkWindowSeen(CurWnd.ProcessId, h);
        PutHandOver("MenuName", "");
        continue;
      }
      if (MenuOpened(menuText, Browsers[b])) {
        PutHandOver("MenuName", "");
        AddKnownWindow(h, slot);
      } else if (userOpened) {
        AddKnownWindow(h, slot);
      } else {
        const std::string title = CurWnd.Title;
        const DWORD thread = CurWnd.ThreadId;
        AddKnownWindow(h, slot);
        ShowPop(title, b, h, slot, thread, 0);
      }
    }
  });
  if (sweeps) step([] { Sweep(); });
  step([] { TickNotice(); });
  PutHandOver("MouseTimeCL", "");
  PutHandOver("MouseHwnd", "0");
}

bool IsInWhiteList(int32_t whiteType, const std::string& text) {
  if (text.empty()) return false;
  for (int i = 0; i < WhiteLst_Total; ++i) {
    const WhiteListEntry& e = WhiteLst[i];
    if (e.WhiteType != whiteType || e.URL_Or_Name_text.empty()) continue;
    if (e.ExactText ? text == e.URL_Or_Name_text : Contains(text, e.URL_Or_Name_text)) return true;
  }
  return false;
}

bool IsPreDefinedWhite(int32_t whiteType, const std::string& text, int16_t browser, HWND window) {
  if (text.empty()) return false;
  if (whiteType == 1 && text == "Microsoft Internet Explorer") return IsClass(window, "HH Parent");
  if (browser < 0 || browser >= BrowsersLst_Total) return false;
  for (const WhiteListEntry& e : Browsers[browser].PreDefinedWhite) {
    if (e.WhiteType != whiteType) continue;
    // Catalogue texts come blank-padded to their field's width.
    std::string item = e.URL_Or_Name_text;
    item.erase(item.find_last_not_of(' ') + 1);
    if (item.empty()) continue;
    if (e.ExactText ? text == item : Contains(text, item)) return true;
  }
  return false;
}

std::string StripMenuAmpersand(const std::string& caption) {
  const size_t amp = caption.find('&');
  if (amp == std::string::npos) return caption;
  return caption.substr(0, amp) + caption.substr(amp + 1);
}

void ResetPopUpHookState() {
  KnownWndTable.clear();
  RestoredWnds.clear();
  SkipNextScan = false;
  lastSweepTick = 0;
  lastMouseTime = 0;
  lastMouseURL.clear();
  runDlgOpen = false;
  runDlgClosedTick = 0;
  lastWebDialog = nullptr;
  lastNoticeTick = 0;
  noticeTicked = false;
  menuCleared = false;
}

bool PopUpNoticeShown() { return Views.popUpNotice.Timer1_Timer && ViewVisible(Views.popUpNotice.form); }

DWORD NoticeTickDelay(DWORD now) {
  if (!PopUpNoticeShown()) return INFINITE;
  if (!noticeTicked) return 0;
  const DWORD elapsed = now - lastNoticeTick;
  return elapsed >= kNoticeTickMs ? 0 : kNoticeTickMs - elapsed;
}

void TickPopUpNotice(DWORD now) {
  // The slide and the auto-close run at the notice's own pace, not at the pace of
  // whatever wakes the loop.
  if (NoticeTickDelay(now) != 0) return;
  lastNoticeTick = now;
  noticeTicked = true;
  Views.popUpNotice.Timer1_Timer();
}

void ReleasePopUpNotice() {
  if (Views.popUpNotice.ReleaseHeld) Views.popUpNotice.ReleaseHeld();
}
