// The main module's globals and the helpers every window shares.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <string>
#include <vector>

#include "MForceFore.h"

namespace ui {
class Window;
class ListView;
class ImageList;
class TextBox;
}  // namespace ui

extern const char* const ProgramTitle;  // "Quillon Pro": caption of every message box

// The quit request: the main loop leaves at its next pass and runs EndProgram.
extern bool IsExiting;
// Set by the status window's Cancel button; long operations poll it.
extern bool CancelFlag;
// Windows is ending the session (shutdown or log-off).
extern bool SessionEnding;

// The shared message box: callers set the text and style, show it, and test the answer.
extern std::string MsgText;
extern int16_t MsgStyle;
extern int16_t MsgResponse;
// Shows MsgText with MsgStyle and the program title; the answer goes to MsgResponse.
int16_t ShowMsg(HWND owner = nullptr);
// A message box with the program title as caption.
int MsgBox(const std::string& text, UINT style = MB_OK, HWND owner = nullptr);

// Opens an address in the user's browser. The program runs at high priority; the
// browser it starts should not, so the class is lowered around the call.
void OpenUrl(const std::string& address, int showCommand = SW_SHOWNORMAL);

// The 256 band colours of a vertical gradient from the first colour: every channel
// grows by the distance between the two colours over 255 steps, capped at 255.
std::vector<COLORREF> GradientBands(int r1, int g1, int b1, int r2, int g2, int b2);
// Paints a window's background with that gradient.
void PaintGradient(ui::Window& target, int r1, int g1, int b1, int r2, int g2, int b2);

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
// Shows the main window: the first time on the lists page; when it was hidden, the
// next automatic refresh waits a full interval and the page is refreshed now.
void ShowInterfaceFrm();
extern bool FirstShowDone;

// The notification-area icon: the main window's, with its callback arriving there as
// a right-button-up message whose x is the icon's own mouse message.
extern NOTIFYICONDATAA TrayIconData;
constexpr DWORD kTrayIconDataSize = 88;
void AddTrayIcon();
void RemoveTrayIcon();

// The window under the cursor.
HWND WndFromCursor();

// The product's web site, and its help page opened in the browser.
extern const char* const ProductWebSite;
void ShowOnlineHelp(const std::string& topic);
// The hint line at the bottom of the main window.
void SetHintText(const std::string& text);

// The report window's find: its dialog sets these, then calls FindInLog, which selects
// the next hit or says it cannot find the text. Positions are characters from 0.
extern std::string FindText;
extern int16_t MatchCase;      // nonzero: letter case counts
extern int16_t FindDirection;  // 1 down, anything else up
extern int32_t LastFoundPos;
extern bool FindTextChanged;
void FindInLog();
// The same search over a text: the hit's position, or -1. `caret` is where the search
// starts; a search repeated from the last hit moves one character on first.
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

// True when the path's attributes can be read and it is not a folder.
bool FileExists(const std::string& path);
std::string GetWinDir();
std::string GetSysDir();
// The text after the last "\" (the whole text when there is none).
std::string GetFileNameFromPath(const std::string& path);

// Seconds as "h:mm:ss" (hours not padded): 3725 gives "1:02:05".
std::string SecsToTimeStr(int32_t seconds);
// A window's class name (at most 255 characters).
std::string GetWndClassName(HWND hwnd);
