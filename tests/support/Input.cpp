#include "Input.h"

#include <atomic>
#include <string>
#include <thread>
#include <utility>

#include "UiWait.h"

namespace testsupport {

void SendKey(WORD vk, bool up) {
  INPUT in = {};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &in, sizeof in);
}

namespace {

INPUT MouseAtScreen(POINT p, DWORD flags) {
  INPUT in = {};
  in.type = INPUT_MOUSE;
  // Normalised coordinates; the +1 keeps the rounding on the intended pixel.
  in.mi.dx = p.x * 65536 / GetSystemMetrics(SM_CXSCREEN) + 1;
  in.mi.dy = p.y * 65536 / GetSystemMetrics(SM_CYSCREEN) + 1;
  in.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
  return in;
}

INPUT MouseAt(HWND target, int x, int y, DWORD flags) {
  POINT p = {x, y};
  ClientToScreen(target, &p);
  return MouseAtScreen(p, flags);
}

void SendMouse(POINT p, DWORD flags) {
  INPUT in = MouseAtScreen(p, flags);
  SendInput(1, &in, sizeof in);
}

struct FileDialogAnswer {
  std::string title;
  std::string path;
  bool cancel;
};

DWORD WINAPI AnswerFileDialogThread(LPVOID argument) {
  const FileDialogAnswer answer = *static_cast<FileDialogAnswer*>(argument);
  delete static_cast<FileDialogAnswer*>(argument);
  HWND dialog = nullptr;
  for (int i = 0; i < 200 && !dialog; ++i) {
    dialog = FindWindowA("#32770", answer.title.c_str());
    if (!dialog) Sleep(50);
  }
  if (!dialog) return 1;
  // A dialog is shown once it has set itself up: a name typed before would be lost.
  for (int i = 0; i < 250 && !(IsWindowVisible(dialog) && (GetDlgItem(dialog, 0x47c) || GetDlgItem(dialog, 0x480)));
       ++i)
    Sleep(20);
  if (answer.cancel) return PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0) ? 0 : 1;
  // The name box: the combo's edit of the Explorer-style dialog, or the plain edit.
  if (!SetDlgItemTextA(dialog, 0x47c, answer.path.c_str())) SetDlgItemTextA(dialog, 0x480, answer.path.c_str());
  PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  return 0;
}

}  // namespace

void PressKey(WORD vk, int shift) {
  const std::pair<int, WORD> modifiers[] = {{2, VK_CONTROL}, {1, VK_SHIFT}, {4, VK_MENU}};
  for (const auto& m : modifiers)
    if (shift & m.first) SendKey(m.second, false);
  SendKey(vk, false);
  SendKey(vk, true);
  for (const auto& m : modifiers)
    if (shift & m.first) SendKey(m.second, true);
}

void MoveMouseTo(HWND target, int x, int y) {
  INPUT in = MouseAt(target, x, y, MOUSEEVENTF_MOVE);
  SendInput(1, &in, sizeof in);
}

void ClickAt(HWND target, int x, int y, DWORD downFlag, DWORD upFlag) {
  INPUT in[3] = {MouseAt(target, x, y, MOUSEEVENTF_MOVE), MouseAt(target, x, y, downFlag),
                 MouseAt(target, x, y, upFlag)};
  SendInput(3, in, sizeof(INPUT));
}

POINT Centre(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

void DragMouse(POINT from, POINT to, int steps) {
  std::atomic<bool> done{false};
  const DWORD pumping = GetCurrentThreadId();
  std::thread driver([&] {
    SendMouse(from, MOUSEEVENTF_MOVE);
    SendMouse(from, MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTDOWN);
    // The press is taken once the pumping thread holds the mouse or runs a move loop:
    // what reads the button's state meanwhile sees it down.
    GUITHREADINFO gui = {sizeof gui};
    for (int i = 0; i < 100 && !(GetGUIThreadInfo(pumping, &gui) && (gui.hwndCapture || (gui.flags & GUI_INMOVESIZE)));
         ++i)
      Sleep(20);
    for (int i = 1; i <= steps; ++i) {
      SendMouse({from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps}, MOUSEEVENTF_MOVE);
      Sleep(40);  // a hand's pace: what follows the pointer takes each move as it comes
    }
    Sleep(150);  // the hand rests before letting go, where the drop is read
    SendMouse(to, MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTUP);
    done = true;
  });
  PumpUntil([&] { return done.load(); }, 8000);
  driver.join();
  PumpUntilIdle();
}

HANDLE AnswerFileDialog(const char* title, const char* path) {
  auto* answer = new FileDialogAnswer{title, path ? path : "", path == nullptr};
  HANDLE thread = CreateThread(nullptr, 0, AnswerFileDialogThread, answer, 0, nullptr);
  if (!thread) delete answer;
  return thread;
}

bool FileDialogAnswered(HANDLE helper) {
  if (!helper) return false;
  DWORD code = 1;
  const bool ended = WaitForSingleObject(helper, 10000) == WAIT_OBJECT_0;
  GetExitCodeThread(helper, &code);
  CloseHandle(helper);
  return ended && code == 0;
}

}  // namespace testsupport
