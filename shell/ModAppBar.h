// The program's application bars and the window procedure that serves them.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <functional>
#include <vector>

class AppBarClass;

extern std::vector<AppBarClass*> AppBars;  // index 0 is AppBars(1)
extern int16_t AppBarCount;
extern WNDPROC OldWndProc;  // the procedure the subclassing replaced; one for the program

// The shell's notifications to our bars arrive as this message.
constexpr UINT kAppBarCallback = WM_APP + 0x0AB;

// Every SHAppBarMessage of the program passes here. Tests record through it; it
// answers for the shell only where the shell cannot be made to (a refused auto-hide).
extern std::function<UINT_PTR(DWORD msg, APPBARDATA& data)> AppBarMessageFn;

LRESULT CALLBACK AppBarWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

// Puts this module's state back to its start values.
void ResetAppBarState();
