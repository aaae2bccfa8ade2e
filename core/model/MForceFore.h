// Bringing a window to the foreground, which the system refuses to a program that is
// not in front unless it shares the foreground thread's input for the call.
#pragma once
#include <windows.h>

// Brings the window's top visible ancestor to the front and shows it (restored when
// minimised). Unless `skipHungCheck`, every top-level window is first probed: when
// one does not answer, only SetForegroundWindow is tried (attaching input to a hung
// thread could block the program) and the result is False. True when the window
// came to the front or already was there.
bool ForceForeground(HWND window, bool skipHungCheck = false);
// Climbs the parents while they are visible: the last visible ancestor, or the
// window itself when its parent is not visible.
HWND GetTopVisibleParent(HWND window);
