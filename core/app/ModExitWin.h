// Ending the Windows session on the user's command (shut down, restart, log off) and
// the privileges of the process token that needs.
#pragma once
#include <windows.h>

#include <string>

// Takes the shutdown privilege on NT, checks the drives for media when that option is
// on, asks Windows to end the session with the ExitWindowsEx flags, then hides the
// main window and sets IsExiting, whether or not Windows agreed.
void ExitWin(UINT flags);
// Enables "SeShutdownPrivilege" in the process token; failures are not reported.
void EnableShutdownPrivilege();
// Enables "SeDebugPrivilege" in the process token; failures are not reported.
void EnableDebugPrivilege();
// Counts five seconds down in the status window, the text followed by the seconds
// left. True when the user pressed Cancel.
bool ShutdownCountdown(const std::string& text);
// The Windows folder & "\Exit To Dos.pif".
std::string GetExitToDosPif();
