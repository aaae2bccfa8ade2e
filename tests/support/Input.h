// Real input for tests: keys and mouse through SendInput, as a user would give them.
#pragma once
#include <windows.h>

namespace testsupport {

// One key going down or up, through the input queue.
void SendKey(WORD vk, bool up);
// One key with modifiers (1 Shift, 2 Ctrl, 4 Alt), pressed and released.
void PressKey(WORD vk, int shift = 0);
// The mouse moved to a point of a window's client area.
void MoveMouseTo(HWND target, int x, int y);
// A button pressed and released at a point of a window's client area.
void ClickAt(HWND target, int x, int y, DWORD downFlag = MOUSEEVENTF_LEFTDOWN,
             DWORD upFlag = MOUSEEVENTF_LEFTUP);
// The centre of a rectangle given in a window's client area.
POINT Centre(const RECT& r);
// The left button pressed at one screen point, moved there in steps to another and
// let go, sent from a thread of its own while this one pumps: Wine delivers no moves
// for input sent from the pumping thread itself while a button is down.
void DragMouse(POINT from, POINT to, int steps = 8);
// Answers the file dialog titled `title` from a thread of its own, as a user would:
// a path picks it, none cancels. The thread's exit code is 0 once it answered.
HANDLE AnswerFileDialog(const char* title, const char* path);
// Waits for that thread and closes it; true when it found its dialog and answered.
bool FileDialogAnswered(HANDLE helper);

}  // namespace testsupport
