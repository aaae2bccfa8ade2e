#include "Controls.h"

#include <map>
#include <tuple>

#include "Window.h"

namespace ui {
namespace {

int NextControlId() {
  static int next = 1000;
  return next++;
}

// Fonts live as long as the program: every control asking for the same face
// and size shares one handle.
HFONT SharedFont(const std::string& face, int points, bool bold) {
  static std::map<std::tuple<std::string, int, bool>, HFONT> fonts;
  auto key = std::make_tuple(face, points, bold);
  auto it = fonts.find(key);
  if (it != fonts.end()) return it->second;
  HDC screen = GetDC(nullptr);
  int height = -MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72);
  ReleaseDC(nullptr, screen);
  HFONT font = CreateFontA(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                           DEFAULT_PITCH | FF_DONTCARE, face.c_str());
  fonts[key] = font;
  return font;
}

}  // namespace

Control::Control(Window& owner, const char* className, DWORD style, Bounds bounds,
                 std::string text, DWORD exStyle)
    : owner_(owner), className_(className), style_(style), exStyle_(exStyle), bounds_(bounds),
      text_(std::move(text)), id_(NextControlId()) {
  owner_.Attach(this);
}

Control::~Control() {
  owner_.Detach(this);
  if (hwnd_) DestroyWindow(hwnd_);
}

void Control::Create() {
  if (hwnd_ || !owner_.hwnd()) return;
  // Controls are created in the form's order, so a container declared after its
  // controls is made when the first of them needs it.
  if (container_ && !container_->hwnd()) container_->Create();
  if (container_ && !container_->hwnd()) return;
  HWND parent = container_ ? container_->hwnd() : owner_.hwnd();
  hwnd_ = CreateWindowExA(exStyle_, className_.c_str(), text_.c_str(), style_ | WS_CHILD,
                          bounds_.x, bounds_.y, bounds_.width, bounds_.height, parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_)),
                          GetModuleHandleA(nullptr), nullptr);
  HFONT font = font_ ? font_ : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  if (hwnd_) SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

std::string Control::Text() const {
  if (!hwnd_) return text_;
  int n = GetWindowTextLengthA(hwnd_);
  std::string s(static_cast<size_t>(n) + 1, '\0');
  n = GetWindowTextA(hwnd_, &s[0], n + 1);
  s.resize(n > 0 ? n : 0);
  return s;
}

void Control::SetText(const std::string& text) {
  text_ = text;
  if (hwnd_) SetWindowTextA(hwnd_, text.c_str());
  TextChanged();
}

void Control::Move(Bounds bounds) {
  bounds_ = bounds;
  if (hwnd_) MoveWindow(hwnd_, bounds.x, bounds.y, bounds.width, bounds.height, TRUE);
}

void Control::SetVisible(bool visible) {
  style_ = visible ? (style_ | WS_VISIBLE) : (style_ & ~WS_VISIBLE);
  if (hwnd_) ShowWindow(hwnd_, visible ? SW_SHOW : SW_HIDE);
}

bool Control::Visible() const { return hwnd_ ? IsWindowVisible(hwnd_) != 0 : (style_ & WS_VISIBLE) != 0; }

void Control::SetEnabled(bool enabled) {
  style_ = enabled ? (style_ & ~WS_DISABLED) : (style_ | WS_DISABLED);
  if (hwnd_) EnableWindow(hwnd_, enabled);
}

bool Control::Enabled() const { return hwnd_ ? IsWindowEnabled(hwnd_) != 0 : !(style_ & WS_DISABLED); }

void Control::SetFont(const std::string& face, int points, bool bold) {
  font_ = SharedFont(face, points, bold);
  if (hwnd_) SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
}

void Control::SetFocus() {
  if (hwnd_) ::SetFocus(hwnd_);
}

void Control::SetContainer(Control& container) {
  container_ = &container;
  if (hwnd_ && container.hwnd()) SetParent(hwnd_, container.hwnd());
}

// ---- Label

Label::Label(Window& owner, Bounds bounds, std::string caption, DWORD align)
    : Control(owner, "STATIC", WS_VISIBLE | SS_NOPREFIX | align, bounds, std::move(caption)) {}

HBRUSH Label::OnCtlColor(HDC dc) {
  if (owner_.HasPaintedBackground()) {
    // Over a painted background the label is see-through.
    SetBkMode(dc, TRANSPARENT);
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  }
  SetBkColor(dc, owner_.BackColor());
  return owner_.BackBrush();
}

void Label::TextChanged() {
  if (hwnd_ && owner_.hwnd() && owner_.HasPaintedBackground()) {
    // A see-through label keeps its old letters unless the background under it
    // is painted again.
    RECT r = {bounds_.x, bounds_.y, bounds_.x + bounds_.width, bounds_.y + bounds_.height};
    InvalidateRect(owner_.hwnd(), &r, TRUE);
    InvalidateRect(hwnd_, nullptr, TRUE);
  }
  if (Change) Change();
}

// ---- Button

Button::Button(Window& owner, Bounds bounds, std::string caption)
    : Control(owner, "BUTTON", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, bounds, std::move(caption)) {}

void Button::OnCommand(WORD code) {
  if (code == BN_CLICKED && Click) Click();
}

void Button::SetBackColor(COLORREF colour) {
  hasBackColour_ = true;
  backColour_ = colour;
  style_ = (style_ & ~BS_TYPEMASK) | BS_OWNERDRAW;
  if (hwnd_) {
    SetWindowLongA(hwnd_, GWL_STYLE, static_cast<LONG>(style_ | WS_CHILD));
    InvalidateRect(hwnd_, nullptr, TRUE);
  }
}

bool Button::OnDrawItem(const DRAWITEMSTRUCT& item) {
  if (!hasBackColour_) return false;
  RECT r = item.rcItem;
  HBRUSH brush = CreateSolidBrush(backColour_);
  FillRect(item.hDC, &r, brush);
  DeleteObject(brush);
  bool pressed = (item.itemState & ODS_SELECTED) != 0;
  DrawEdge(item.hDC, &r, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  std::string caption = Text();
  SetBkMode(item.hDC, TRANSPARENT);
  SetTextColor(item.hDC, GetSysColor((item.itemState & ODS_DISABLED) ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
  if (pressed) OffsetRect(&r, 1, 1);
  DrawTextA(item.hDC, caption.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  if (item.itemState & ODS_FOCUS) {
    RECT focus = item.rcItem;
    InflateRect(&focus, -4, -4);
    DrawFocusRect(item.hDC, &focus);
  }
  return true;
}

// ---- CheckBox

CheckBox::CheckBox(Window& owner, Bounds bounds, std::string caption)
    : CheckBox(owner, bounds, std::move(caption), BS_AUTOCHECKBOX) {}

CheckBox::CheckBox(Window& owner, Bounds bounds, std::string caption, DWORD buttonStyle)
    : Control(owner, "BUTTON", WS_VISIBLE | WS_TABSTOP | buttonStyle, bounds, std::move(caption)) {}

OptionButton::OptionButton(Window& owner, Bounds bounds, std::string caption, bool firstOfGroup)
    : CheckBox(owner, bounds, std::move(caption), BS_AUTORADIOBUTTON | (firstOfGroup ? WS_GROUP : 0u)) {}

void CheckBox::Create() {
  Control::Create();
  if (hwnd_) SendMessageA(hwnd_, BM_SETCHECK, value_ ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool CheckBox::Value() const {
  return hwnd_ ? SendMessageA(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED : value_;
}

void CheckBox::SetValue(bool checked) {
  value_ = checked;
  if (hwnd_) SendMessageA(hwnd_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void CheckBox::OnCommand(WORD code) {
  if (code != BN_CLICKED) return;
  value_ = Value();
  if (Click) Click();
}

// ---- TextBox

TextBox::TextBox(Window& owner, Bounds bounds, std::string text, DWORD extraStyle)
    : Control(owner, "EDIT", WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL | extraStyle, bounds,
              std::move(text), WS_EX_CLIENTEDGE) {}

void TextBox::OnCommand(WORD code) {
  if (code == EN_CHANGE && Change) Change();
}

void TextBox::SetNumberStyle(bool on) {
  style_ = on ? (style_ | ES_NUMBER) : (style_ & ~ES_NUMBER);
  if (!hwnd_) return;
  SetWindowLongA(hwnd_, GWL_STYLE, static_cast<LONG>(style_ | WS_CHILD));
  SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
}

}  // namespace ui
