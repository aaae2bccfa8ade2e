// The few calls tests must be able to answer, record or move: message boxes,
// starting files and addresses through the shell, the tick count, the cursor
// position and ending the process. Each defaults to the real system call.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

namespace seams {

// Shows a message box; answers the button pressed (IDOK, IDYES, IDNO ...).
extern std::function<int(HWND owner, const std::string& text, const std::string& caption,
                         UINT style)>
    MessageBoxFn;

struct ShellRequest {
  HWND owner = nullptr;
  std::string verb, file, parameters, directory;
  int show = SW_SHOWNORMAL;
  // The caller tells the user itself why a start failed: the shell shows no box of its own.
  bool callerReportsFailure = false;
};
// Opens a file, program or address through the shell; true when the shell took it.
// A failure leaves its reason as the thread's last error, for the caller to read at once.
extern std::function<bool(const ShellRequest&)> ShellExecuteFn;

extern std::function<DWORD()> TickCountFn;
extern std::function<BOOL(POINT*)> CursorPosFn;
extern std::function<void(UINT exitCode)> EndProcessFn;

// Puts every seam back to its real call.
void Reset();

// For test programs: from now on the shell seam, here and after every Reset(),
// answers each request as taken and starts nothing. A program started for real (a
// help page, "net stop messenger") would outlive its test and could hold the test
// run's output open.
void KeepShellQuiet();
// The system's own shell call, for a test that must really start a program.
bool ShellExecuteForReal(const ShellRequest& request);

}  // namespace seams
