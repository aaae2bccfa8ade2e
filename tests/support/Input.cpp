#include "Input.h"

#include <utility>

namespace testsupport {

void SendKey(WORD vk, bool up) {
  INPUT in = {};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &in, sizeof in);
}

namespace {

INPUT MouseAt(HWND target, int x, int y, DWORD flags) {
  POINT p = {x, y};
  ClientToScreen(target, &p);
  INPUT in = {};
  in.type = INPUT_MOUSE;
  // Normalised coordinates; the +1 keeps the rounding on the intended pixel.
  in.mi.dx = p.x * 65536 / GetSystemMetrics(SM_CXSCREEN) + 1;
  in.mi.dy = p.y * 65536 / GetSystemMetrics(SM_CYSCREEN) + 1;
  in.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
  return in;
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

}  // namespace testsupport
