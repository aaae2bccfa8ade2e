// Waiting in tests for something the window system does later.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace testsupport {

// Pumps this thread's messages until done() or the time-out; answers done().
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000);

// Pumps until this thread's queue holds nothing but timers: the input sent so far to
// this thread's windows, the messages it set off here and the repaints are all done.
// For checks that something did not happen, and for reading what a window painted.
bool PumpUntilIdle(DWORD timeoutMs = 3000);

// Pumps past the double-click time, so that the next click is one of its own however
// close to the last. The system measures that time itself: no condition to wait on.
void PassDoubleClickTime();

// Pumps until `hwnd` is shown and the active window, or the time-out.
bool PumpUntilForeground(HWND hwnd, DWORD timeoutMs = 3000);

// Shows a test's window above every other and in front, where real input reaches it,
// and pumps until it is there.
bool BringToFront(HWND hwnd);

// The folder of the running test program (where the program and fixture are built).
std::string BinDir();

// Reads a window's text.
std::string WindowText(HWND hwnd);

// Starts a program the way a test starts the real Quillon Pro: its standard handles,
// and so those of every program it starts in turn, go to NUL. Under Wine a child
// otherwise keeps the test's output pipe, and a child that hangs ("net start
// messenger" sometimes does) keeps ctest waiting for the end of that output.
bool StartQuietly(const std::string& exe, const std::string& commandLine, const std::string& folder,
                  PROCESS_INFORMATION& pi);

// A process's top-level windows, in z-order.
std::vector<HWND> TopLevelWindowsOf(DWORD pid);

// The clipboard's text as a paste would give it; empty when it holds none or another
// program has it open.
std::string ClipboardText();

// Ends a process the test started if it still runs, waits up to `waitMs` for it to
// go, and closes and clears its handles. Safe on an empty or ended one.
void EndProcess(PROCESS_INFORMATION& pi, DWORD waitMs = 5000);
// The same for a process the test did not start itself, by its id.
void EndProcessById(DWORD pid, DWORD waitMs = 5000);

// The titles, classes and message-box texts of a process's visible top-level windows,
// for a failure's message.
std::string ShownWindowsOf(DWORD pid);

// Whether the program still answers: a WM_NULL to its first top-level window is
// answered within `timeoutMs`. A program that hangs fails here, where it hangs,
// rather than later as a window that is merely slow to appear.
testing::AssertionResult AnswersWithin(DWORD pid, DWORD timeoutMs = 1000);

}  // namespace testsupport
