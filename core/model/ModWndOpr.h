// The window module: the table of top-level windows the windows list may show, the
// facts of one window, its icon, whether it answers, closing it or ending its
// program, and bringing it to the front.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "OwnedHandle.h"
#include "Variant.h"

// ---- The window table

// The windows the last rebuild (GetWndInfo code 0) kept, in the system's enumeration
// order (top of the Z order first). Only entries 0 to WndTableLast are valid.
extern std::vector<HWND> WndTable;
extern int16_t WndTableLast;  // -1 when empty
// The titles of the windows, parallel to WndTable, taken only by a rebuild made while
// the activity log's snapshot flag (LogScanning) is set; other rebuilds leave them as
// they were. A window that did not answer at once is titled "(Not responding)".
extern std::vector<std::string> WndTitles;
// True only while a rebuild enumerates.
extern bool WndEnumActive;

// The thread that made a window the last rebuild kept, from what the rebuild read (a
// window never changes its thread, and a handle is not reused while the window lives);
// 0 for a window the last rebuild did not keep.
DWORD WndTableThread(HWND hwnd);
// The style and extended style the last rebuild read of a window it kept, so a merge
// right after it need not ask again; false for a window the last rebuild did not keep.
bool WndTableStyles(HWND hwnd, LONG* style, LONG* exStyle);

// The timed refresh's rebuild: the same table as code 0, found with one question to
// the system, so a new or a gone window shows at once. A window met by an earlier
// rebuild keeps what was decided for it (listed or not, and the styles read) unless
// `readNow` asks for it or its turn has come: with `shares` above 0, one share of the
// windows met before is read, those read longest ago (tick seam) first, so `shares`
// rebuilds in a row read every one of them. A window met for the first time is
// always read.
void RebuildWndTableTimed(const std::function<bool(HWND)>& readNow, unsigned shares);
// The last rebuild read the window itself (a code-0 rebuild reads every window).
bool WndTableReadNow(HWND hwnd);

// ---- The facts of one window

struct WndInfo {
  std::string Title;     // the window text
  std::string ExeFile;   // the path of the program that owns the window
  bool Responding = false;
  bool Visible = false;
  bool OnTop = false;
  bool Enabled = false;
  uint32_t ProcessId = 0;
  uint32_t ThreadId = 0;
  std::string Position;  // "(left,top) - (right,bottom)" in screen coordinates
};
// The record the last GetWndInfo code 10 filled; empty for a window that is gone.
extern WndInfo CurWnd;

// Set when code 2 finds no program for a window; the pop-up engine clears it.
extern bool WndPathMissing;

// The information codes of GetWndInfo.
enum WndInfoCode : long {
  kWndRebuildTable = 0,  // rebuild WndTable; Empty
  kWndTitle = 1,         // the title (text)
  kWndExePath = 2,       // the owner's executable path (text, "" when unknown)
  kWndResponding = 3,    // answered within 50 ms (Boolean)
  kWndVisible = 4,       // Empty when the window does not answer, else Boolean
  kWndOnTop = 5,         // Empty when the window does not answer, else Boolean
  kWndEnabled = 6,       // Empty when the window does not answer, else Boolean
  kWndProcessId = 7,     // number
  kWndThreadId = 8,      // number
  kWndPosition = 9,      // "(left,top) - (right,bottom)"
  kWndFillCurWnd = 10,   // fill CurWnd; Empty
};

// One question about a window, named by its handle as decimal text (code 0 ignores
// the handle). A handle that names no window gives empty texts, 0 and Empty; any
// other code gives Empty and changes nothing.
vb::Variant GetWndInfo(long code, const std::string& handleText);

// The handle as GetWndInfo takes it, and back. A text that is not a whole number
// names no window.
std::string WndHandleText(HWND hwnd);
HWND WndFromHandleText(const std::string& text);

// The lower-case path of the program that owns the window, also when it started
// after the last walk of the process table: the cache is asked first, then the owner
// process itself. "" when the window is gone or its process cannot be read. Left in
// ProcResultPath too, where callers of the cache walk look for it. `fromCache`, when
// given, tells whether the process table held it.
std::string OwnerPathOfWindow(HWND hwnd, bool* fromCache = nullptr);

// The window's text, cut at the length the system returns ("" when it is gone).
// Reading another program's window sends it no message, so a hung one cannot block.
std::string GetWndTitle(HWND hwnd);
// "(left,top) - (right,bottom)"; "" when the window is gone.
std::string GetWndPosition(HWND hwnd);

// An icon for the window: its own, its class's, its owner's class's, else the
// shell's small icon of its program's file. 0 when the window does not answer or none
// is found. Window and class icons are borrowed; a shell icon belongs to the caller,
// who destroys it once it has been drawn into an image list: `callerOwns` says which.
HICON GetWndIcon(HWND hwnd, bool large, bool* callerOwns = nullptr);

// The window answers a WM_NULL within 50 ms, or within 500 ms with the long wait.
bool IsWndResponding(HWND hwnd, bool longWait = false);
// It does not answer within 50 ms.
bool IsWndHung(HWND hwnd);
// WS_EX_TOPMOST is set.
bool IsWndOnTop(HWND hwnd);

// Terminate False: posts WM_CLOSE and answers True at once. Terminate True: ends the
// program that owns the window, asking first when it is a special program marked to
// warn; False when the user declined or nothing could be ended.
bool CloseWnd(bool terminate, HWND hwnd);
// The ending half of CloseWnd (True) without its wait: asks as it does, asks the
// program that owns the window to end and answers its process, to be watched for the
// end; none when the user declined or nothing could be ended.
OwnedHandle StartEndingOwnerOf(HWND hwnd);
// How long an ended program is given to be gone before the ending counts as failed.
constexpr DWORD kProgramEndWaitMs = 2000;

// Restores, raises and brings the window to the foreground (a hidden one is shown);
// a window that was always on top stays so. True when it came to the foreground.
bool BringWndToFront(HWND hwnd);

// Gives this module's state its start values again.
void ResetWndOprState();
