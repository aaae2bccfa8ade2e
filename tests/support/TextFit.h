// Whether a control's caption can be read whole: what it needs, wrapped at the
// control's width in the control's own font, against the room it has.
#pragma once
#include <windows.h>

#include <string>

namespace testsupport {

// The size of the text on one line in the window's font.
inline SIZE OneLineTextSize(HWND hwnd, const std::string& text) {
  HDC dc = GetDC(hwnd);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0)));
  SIZE size = {};
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(hwnd, dc);
  return size;
}

// The height the text needs when wrapped at `width` pixels in the window's font.
inline int WrappedTextHeight(HWND hwnd, const std::string& text, int width) {
  HDC dc = GetDC(hwnd);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0)));
  RECT need = {0, 0, width, 0};
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &need, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  SelectObject(dc, old);
  ReleaseDC(hwnd, dc);
  return need.bottom;
}

// A check box or option button shows its whole caption: it wraps (a button draws one
// line only without BS_MULTILINE) and its lines fit its height, beside the box glyph.
inline bool ButtonCaptionFits(HWND button, std::string* why = nullptr) {
  RECT client{};
  GetClientRect(button, &client);
  char text[512] = {};
  GetWindowTextA(button, text, sizeof text);
  const int room = client.right - GetSystemMetrics(SM_CXMENUCHECK) - 6;
  const int oneLine = WrappedTextHeight(button, "Xg", 1000);
  const int need = WrappedTextHeight(button, text, room);
  const bool wraps = (GetWindowLongA(button, GWL_STYLE) & BS_MULTILINE) != 0;
  if (why)
    *why = std::string(text) + ": needs " + std::to_string(need) + " of " + std::to_string(client.bottom) +
           (wraps ? "" : ", drawn on one line");
  return need <= client.bottom && (wraps || need <= oneLine);
}

}  // namespace testsupport
