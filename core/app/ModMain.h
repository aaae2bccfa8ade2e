// The main module's globals and the helpers every window shares.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <string>
#include <vector>

#include "MForceFore.h"
#include "ModMainPlatform.h"

namespace ui {
class Window;
class PictureBox;
class ListView;
class ImageList;
class TextBox;
}  // namespace ui

// Paints a window's background with that gradient.
void PaintGradient(ui::Window& target, int r1, int g1, int b1, int r2, int g2, int b2);
void PaintGradient(ui::PictureBox& target, int r1, int g1, int b1, int r2, int g2, int b2);

// Ends the program: hides the main window, releases what start-up took and saves
// (CleanUpOnExit), checks the drives for media when Windows is ending the session,
// then ends the process. Returns only when a test has replaced the process end.
void EndProgram();
// The release steps of the exit, in their order; each runs whether or not its
// resource was ever taken.
void CleanUpOnExit();
// Starts "net stop messenger" (BlockMessenger on) or "net start messenger", hidden,
// without waiting for it.
void SetMessengerService();

// Shows a tool window modeless, above others while the main window is kept on top,
// and brings it to the front.
void ShowFrm(ui::Window& form);
void ShowFrm(ui::Window* form);  // nothing when there is no such window
// Shows the main window: the first time on the lists page; when it was hidden, the
// next automatic refresh waits a full interval and the page is refreshed. The frame
// and its page are up when it returns; the frame comes to the front as the next
// message (kBringFrameForwardMsg, BringInterfaceFrmForward) and the page's contents
// follow it.
void ShowInterfaceFrm();
// While one lives, the main window's page refreshes wait: the page shown when the last
// one goes is refreshed once, as a message of its own. A command that shows the frame
// and then switches its page holds one around both, so it answers at once.
class PageRefreshesLater {
 public:
  PageRefreshesLater();
  ~PageRefreshesLater();
  PageRefreshesLater(const PageRefreshesLater&) = delete;
  PageRefreshesLater& operator=(const PageRefreshesLater&) = delete;

 private:
  static void Set(bool on);
};
// Posted to the main window by ShowInterfaceFrm; its window procedure answers it
// with BringInterfaceFrmForward.
constexpr UINT kBringFrameForwardMsg = WM_APP + 41;
// Brings the main window to the front (ForceForeground, then ShowFrm), when it is
// still shown.
void BringInterfaceFrmForward();
extern bool FirstShowDone;

// The notification-area icon: the main window's, with its callback arriving there as
// a right-button-up message whose x is the icon's own mouse message.
extern NOTIFYICONDATAA TrayIconData;
constexpr DWORD kTrayIconDataSize = 88;
void AddTrayIcon();
void RemoveTrayIcon();

// The hint line at the bottom of the main window.
void SetHintText(const std::string& text);

// The report window's find: its dialog sets these, then the report's search selects
// the next hit or says it cannot find the text. Positions are characters from 0.
extern std::string FindText;
extern int16_t MatchCase;      // nonzero: letter case counts
extern int16_t FindDirection;  // 1 down, anything else up
extern int32_t LastFoundPos;
extern bool FindTextChanged;
// The search over a text: the hit's position, or -1. Down: the first hit at the caret or
// after (one character on when repeated from the last hit); up: the nearest hit that
// begins before the caret.
int32_t FindInText(const std::string& text, int32_t caret);

// Image lists of the list views: emptied and resized (32 or 16 pixels) with the list
// detached from both its icon bindings; an icon added under a key; the list bound to
// the small (or large) icons with every row's image set again.
void ResetImageList(ui::ListView& list, ui::ImageList& images, bool large);
void AddIconToImageList(ui::ImageList& images, HICON icon, const std::string& key);
void AttachImageList(ui::ListView& list, ui::ImageList& images, bool large);
// Digits only (on) or any text in an edit box.
void SetNumberStyle(ui::TextBox& box, bool on);
// A common-controls toolbar drawn flat and transparent.
void SetFlatToolbar(HWND toolbar);

// The activity log's history, oldest line first; lines 0 to HistoryCount - 1 are in
// use. Held only in memory: the report window is its one reader.
extern std::vector<std::string> HistoryLog;
extern int16_t HistoryCount;
// True only while the mini-tools page opens the report window, which then shows only
// the tasks history.
extern bool TasksHistoryOnly;

// Gives this module's state its start values again.
void ResetMainState();
