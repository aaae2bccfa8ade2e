// The pop-up blocker's hook and its scan: the hook library reports new windows, menu
// choices and clicks in the store's "tmp" values, and each pass of the main loop
// decides which new browser windows the user opened and hands the others to the notice.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Installs the hook library's pop-up hook for the status window and remembers the
// web page dialogs and browser windows already open. A missing library installs nothing.
void InstallPopUpHook();
// Removes the pop-up hook; safe when none is installed.
void RemovePopUpHook();
// One decision pass of the blocker over the browser windows.
void ScanPopUps();
// True while the hook is installed.
bool PopUpHookInstalled();
// Examines one web page dialog per call (when dialog blocking is on).
void CheckWebPageDialogs(bool userOpened, const std::string& menuText);

// The white tests (exact case). Empty texts never match.
bool IsInWhiteList(int32_t whiteType, const std::string& text);
bool IsPreDefinedWhite(int32_t whiteType, const std::string& text, int16_t browser, HWND window);

// The caption without its first "&"; a caption without one is used as it is.
std::string StripMenuAmpersand(const std::string& caption);

// The windows already judged, per browser process. The tables live only in memory:
// dropped entries and freed slots are reused, and both grow as needed.
struct KnownWnd {
  HWND hWnd = nullptr;  // null: a dropped entry
  bool Seen = false;
};
struct KnownWndSlot {
  DWORD ProcessId = 0;  // 0: a free slot
  std::vector<KnownWnd> Wins;
};
extern std::vector<KnownWndSlot> KnownWndTable;
// The web page dialogs already judged; null entries are free.
extern std::vector<HWND> RestoredWnds;
// Set by the notice when it brings its pop-up to the front: the next scan is skipped.
extern bool SkipNextScan;

// Slot of a process (-1: the first free slot, else a new one), its index.
int GetProcessSlot(DWORD processId, int slot);
void AddKnownWindow(HWND window, int slot);
void MarkWindowSeen(DWORD processId, HWND window);
void AddRestoredWindow(HWND window);

// The notice ticks once per period while it is shown: the scan and the main loop
// both offer it a tick, and it takes one when a period has passed.
constexpr DWORD kNoticeTickMs = 40;
bool PopUpNoticeShown();
// Milliseconds until the notice's next tick is due; INFINITE while it is hidden.
DWORD NoticeTickDelay(DWORD now);
void TickPopUpNotice(DWORD now);
// The program's end: a held pop-up is recorded and closed, never left hidden.
void ReleasePopUpNotice();

// The start values of the hook and scan state.
void ResetPopUpHookState();

namespace popseams {
// The class's small icon of a window, and the system's error when it would not say.
// Under Wine another process's class answers 0 with an error.
extern std::function<ULONG_PTR(HWND window, DWORD* error)> ClassSmallIconFn;
void Reset();
}  // namespace popseams
