#include "Container.h"
#include "Gdi.h"

#include <algorithm>

#include <windowsx.h>

#include "Failure.h"
#include "StallMeter.h"
#include "Window.h"

namespace ui {
namespace {

const char kContainerClass[] = "QuillonContainer";

}  // namespace

Container::Container(Window& owner, Bounds bounds, std::string caption, DWORD style)
    : Control(owner, kContainerClass, style | WS_CLIPCHILDREN, bounds, std::move(caption),
              WS_EX_CONTROLPARENT) {}

Container::~Container() {
  Unhook();
}

void Container::Create() {
  if (hwnd_ || !RegisterOwnClass(kContainerClass, StaticProc)) return;
  Control::Create();
  if (hwnd_) SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void Container::Destroyed() {
  pressed_ = 0;
  Control::Destroyed();
}

void Container::Unhook() {
  if (hwnd_) SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
}

void Container::SetBackColor(COLORREF colour) {
  hasBackColour_ = true;
  backColour_ = colour;
  backBrush_.Reset(CreateSolidBrush(colour));
  BackColorChanged();
}

COLORREF Container::BackColor() const { return hasBackColour_ ? backColour_ : owner_.BackColor(); }

HBRUSH Container::BackBrush() const { return hasBackColour_ ? backBrush_.get() : owner_.BackBrush(); }

void Container::BackColorChanged() {
  if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void Container::PaintBackground(HDC dc) {
  RECT client;
  GetClientRect(hwnd_, &client);
  FillRect(dc, &client, BackBrush());
}

void Container::RaiseMouse(Mouse kind, int button, int shift, int x, int y) {
  const auto& handler = kind == Mouse::Down ? MouseDown : kind == Mouse::Move ? MouseMove : MouseUp;
  if (handler) handler(button, shift, x, y);
}

bool Container::ForwardsToForm(UINT msg, LPARAM lp) const {
  switch (msg) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_COMPAREITEM:
    case WM_DELETEITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
      return true;
    case WM_HSCROLL:
    case WM_VSCROLL:
      return lp != 0;  // from a control, not from scroll bars of our own
    default:
      return msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC;
  }
}

// VB's order: MouseDown, MouseUp, Click; a double click gives DblClick, then MouseUp.
// The mouse is captured while a button is down, so the release comes back here.
void Container::OnButton(UINT msg, WPARAM wp, LPARAM lp) {
  const int button = MessageButton(msg), shift = ShiftState(wp);
  const int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      if (!pressed_) SetCapture(hwnd_);
      pressed_ |= button;
      if (button == 1) afterDblClick_ = false;
      RaiseMouse(Mouse::Down, button, shift, x, y);
      break;
    case WM_LBUTTONDBLCLK:
      if (!pressed_) SetCapture(hwnd_);
      pressed_ |= button;
      afterDblClick_ = true;
      RaiseDblClick();
      break;
    default: {  // a release
      const bool wasPressed = (pressed_ & button) != 0;
      pressed_ &= ~button;
      if (!pressed_ && GetCapture() == hwnd_) ReleaseCapture();
      RaiseMouse(Mouse::Up, button, shift, x, y);
      RECT client;
      GetClientRect(hwnd_, &client);
      POINT at = {x, y};
      const bool ends = button == 1 && afterDblClick_;
      if (button == 1) afterDblClick_ = false;
      if (wasPressed && button != 4 && !ends && PtInRect(&client, at)) RaiseClick();
      break;
    }
  }
}

LRESULT Container::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (ForwardsToForm(msg, lp))
    return owner_.hwnd() ? SendMessageA(owner_.hwnd(), msg, wp, lp) : 0;
  switch (msg) {
    case WM_ERASEBKGND:
      PaintBackground(reinterpret_cast<HDC>(wp));
      return 1;
    case WM_SETCURSOR:
      if (cursor_ && LOWORD(lp) == HTCLIENT) {
        SetCursor(cursor_);
        return TRUE;
      }
      break;
    case WM_SETFONT:
      if (LOWORD(lp)) InvalidateRect(hwnd_, nullptr, TRUE);
      return 0;
    case WM_MOUSEMOVE:
      RaiseMouse(Mouse::Move, MouseButtons(wp), ShiftState(wp), GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
      return 0;
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
    case WM_LBUTTONUP: case WM_RBUTTONUP: case WM_MBUTTONUP:
    case WM_LBUTTONDBLCLK:
      OnButton(msg, wp, lp);
      return 0;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lp) != hwnd_) pressed_ = 0;
      break;
    default:
      break;
  }
  return DefWindowProcA(hwnd_, msg, wp, lp);
}

LRESULT CALLBACK Container::StaticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = reinterpret_cast<Container*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!self || self->hwnd_ != hwnd) return DefWindowProcA(hwnd, msg, wp, lp);
  // A handler that throws loses only its own message.
  StallScope timed(hwnd, msg, wp);
  return GuardedResult([&] { return self->WndProc(msg, wp, lp); },
                       [&] { return DefWindowProcA(hwnd, msg, wp, lp); }, "a container handler failed");
}

// ---- Frame

Frame::Frame(Window& owner, Bounds bounds, std::string caption)
    : Container(owner, bounds, std::move(caption)) {}

void Frame::PaintBackground(HDC dc) {
  Container::PaintBackground(dc);
  RECT client;
  GetClientRect(hwnd_, &client);
  const SelectIn font(dc, font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT));
  TEXTMETRICA tm;
  GetTextMetricsA(dc, &tm);
  RECT border = client;
  border.top = tm.tmHeight / 2;  // the line runs through the middle of the caption
  DrawEdge(dc, &border, EDGE_ETCHED, BF_RECT);
  std::string caption = Text();
  if (!caption.empty()) {
    // A caption wider than the frame wraps onto more lines instead of running off its
    // edge; the controls inside sit below as many lines as it takes.
    RECT text = {8, 0, std::max(static_cast<int>(client.right) - 8, 16), 0};
    DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    RECT gap = {6, 0, text.right + 2, text.bottom};
    FillRect(dc, &gap, BackBrush());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(IsWindowEnabled(hwnd_) ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &text, DT_WORDBREAK | DT_NOPREFIX);
  }
}

void Frame::TextChanged() {
  if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

}  // namespace ui
