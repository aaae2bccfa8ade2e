// The main module's globals and helpers that are plain system calls: message boxes,
// opening addresses, files and folders, window classes.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

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
// A message box with the program title as caption, owned by the top-level window of
// `owner`, or without one by the window of this thread the user is working in.
int MsgBox(const std::string& text, UINT style = MB_OK, HWND owner = nullptr);
// The window a box or dialog opened now belongs to (see MsgBox); null when the user
// works in no window of this thread.
HWND DialogOwner(HWND given = nullptr);
// The system's text for an error number, without its closing line break ("error N"
// when the system has none).
std::string SystemErrorText(DWORD error);

// Opens an address in the user's browser. The program runs at high priority; the
// browser it starts should not, so the class is lowered around the call.
void OpenUrl(const std::string& address, int showCommand = SW_SHOWNORMAL);

// The 256 band colours of a vertical gradient from the first colour: every channel
// grows by the distance between the two colours over 255 steps, capped at 255.
std::vector<COLORREF> GradientBands(int r1, int g1, int b1, int r2, int g2, int b2);
// The window under the cursor.
HWND WndFromCursor();

// The product's web site, and its help page opened in the browser.
extern const char* ProductWebSite;  // tests point it at a server of their own
void ShowOnlineHelp(const std::string& topic);
// True when the path's attributes can be read and it is not a folder.
bool FileExists(const std::string& path);
std::string GetWinDir();
// The 8.3 form of a path, of any length; "" when the system gives none.
std::string GetShortPath(const std::string& path);
std::string GetSysDir();
// The text after the last "\" (the whole text when there is none).
std::string GetFileNameFromPath(const std::string& path);

// Seconds as "h:mm:ss" (hours not padded): 3725 gives "1:02:05".
std::string SecsToTimeStr(int32_t seconds);
// A window's class name (at most 255 characters).
std::string GetWndClassName(HWND hwnd);

// Gives this module's state its start values again.
void ResetMainFlags();
