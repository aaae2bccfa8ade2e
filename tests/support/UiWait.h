// Waiting in tests for something the window system does later.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

namespace testsupport {

// Pumps this thread's messages until done() or the time-out; answers done().
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000);

// The folder of the running test program (where the program and fixture are built).
std::string BinDir();

// Reads a window's text.
std::string WindowText(HWND hwnd);

}  // namespace testsupport
