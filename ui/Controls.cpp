#include "Controls.h"
#include "Gdi.h"

#include <map>
#include <tuple>

#include "Failure.h"
#include "Container.h"
#include "StallMeter.h"
#include "Window.h"

namespace ui {
namespace {

// The control a subclassed window belongs to.
const char kControlProp[] = "QuillonControl";

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
  const int height = -MulDiv(points, GetDeviceCaps(WindowDC().get(), LOGPIXELSY), 72);
  HFONT font = CreateFontA(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                           DEFAULT_PITCH | FF_DONTCARE, face.c_str());
  fonts[key] = font;
  return font;
}

}  // namespace

int MouseButtons(WPARAM wp) {
  return ((wp & MK_LBUTTON) ? 1 : 0) | ((wp & MK_RBUTTON) ? 2 : 0) | ((wp & MK_MBUTTON) ? 4 : 0);
}

int MessageButton(UINT msg) {
  switch (msg) {
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK: return 1;
    case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK: return 2;
    case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK: return 4;
    default: return 0;
  }
}

int ShiftState(WPARAM wp) {
  // Mouse messages carry Shift and Ctrl; Alt has to be asked of the keyboard.
  return ((wp & MK_SHIFT) ? 1 : 0) | ((wp & MK_CONTROL) ? 2 : 0) | (GetKeyState(VK_MENU) < 0 ? 4 : 0);
}

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
  if (!hwnd_) return;
  HFONT font = font_ ? font_ : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  if (!RaisesOwnEvents()) Subclass();
}

// Replacing the window procedure works with every version of the common controls
// (SetWindowSubclass needs version 5.8 or later).
void Control::Subclass() {
  SetPropA(hwnd_, kControlProp, this);
  baseProc_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Control::SubclassProc)));
}

LRESULT CALLBACK Control::SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = static_cast<Control*>(GetPropA(hwnd, kControlProp));
  if (!self || !self->baseProc_) return DefWindowProcA(hwnd, msg, wp, lp);
  WNDPROC base = self->baseProc_;
  if (msg == WM_NCDESTROY) {
    RemovePropA(hwnd, kControlProp);
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(base));
    self->baseProc_ = nullptr;
    return CallWindowProcA(base, hwnd, msg, wp, lp);
  }
  // As at the form's window procedure, no exception may cross the system's frames.
  StallScope timed(hwnd, msg, wp);
  return GuardedResult([&] { return self->ControlProc(msg, wp, lp); },
                       [&] { return IsWindow(hwnd) ? CallWindowProcA(base, hwnd, msg, wp, lp) : 0; },
                       "unhandled exception in a control's window procedure");
}

LRESULT Control::BaseProc(UINT msg, WPARAM wp, LPARAM lp) {
  return CallWindowProcA(baseProc_, hwnd_, msg, wp, lp);
}

LRESULT Control::ControlProc(UINT msg, WPARAM wp, LPARAM lp) {
  HWND self = hwnd_;
  // Raised before the class sees the message: a button's MouseUp comes before its Click.
  RaiseEvents(msg, wp, lp);
  // A handler may have unloaded the form, and this window with it.
  if (!IsWindow(self) || hwnd_ != self) return 0;
  return BaseProc(msg, wp, lp);
}

void Control::RaiseEvents(UINT msg, WPARAM wp, LPARAM lp) {
  const int x = static_cast<short>(LOWORD(lp)), y = static_cast<short>(HIWORD(lp));
  const int button = MessageButton(msg);
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      if (MouseDown) Guarded([&] { MouseDown(button, ShiftState(wp), x, y); });
      break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      if (MouseUp) Guarded([&] { MouseUp(button, ShiftState(wp), x, y); });
      break;
    case WM_MOUSEMOVE:
      if (MouseMove) Guarded([&] { MouseMove(MouseButtons(wp), ShiftState(wp), x, y); });
      break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (KeyDown) Guarded([&] { KeyDown(static_cast<int>(wp), ShiftState()); });
      break;
    case WM_KILLFOCUS:
      if (LostFocus) Guarded([&] { LostFocus(reinterpret_cast<HWND>(wp)); });
      break;
    default:
      break;
  }
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
    : Control(owner, "STATIC", WS_VISIBLE | SS_NOPREFIX | SS_NOTIFY | align, bounds,
              std::move(caption)) {}  // without SS_NOTIFY the mouse passes through

void Label::SetForeColor(COLORREF colour) {
  hasForeColour_ = true;
  foreColour_ = colour;
  if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void Label::SetUseMnemonic(bool use) {
  style_ = use ? style_ & ~static_cast<DWORD>(SS_NOPREFIX) : style_ | SS_NOPREFIX;
  if (!hwnd_) return;
  const DWORD live = static_cast<DWORD>(GetWindowLongA(hwnd_, GWL_STYLE)) & ~static_cast<DWORD>(SS_NOPREFIX);
  SetWindowLongA(hwnd_, GWL_STYLE, static_cast<LONG>(use ? live : live | SS_NOPREFIX));
  InvalidateRect(hwnd_, nullptr, TRUE);
}

SIZE Label::TextExtent() const {
  SIZE size = {0, 0};
  const WindowDC dc(hwnd_);
  HFONT font = hwnd_ ? reinterpret_cast<HFONT>(SendMessageA(hwnd_, WM_GETFONT, 0, 0)) : nullptr;
  const SelectIn select(dc.get(), font);
  const std::string text = Text();
  GetTextExtentPoint32A(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
  return size;
}

void Label::OnCommand(WORD code) {
  if (code == STN_CLICKED && Click) Click();
  if (code == STN_DBLCLK && DblClick) DblClick();
}

HBRUSH Label::OnCtlColor(HDC dc) {
  if (hasForeColour_) SetTextColor(dc, foreColour_);
  if (owner_.HasPaintedBackground()) {
    // Over a painted background the label is see-through.
    SetBkMode(dc, TRANSPARENT);
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  }
  // On a frame, page or picture the label takes the colour of what it sits on.
  if (auto* box = dynamic_cast<Container*>(container_)) {
    SetBkColor(dc, box->BackColor());
    return box->BackBrush();
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

void Button::SetDefault(bool on) {
  Control*& slot = owner_.defaultButton_;
  if (on && slot && slot != this) static_cast<Button*>(slot)->ShowDefault(false);
  if (on)
    slot = this;
  else if (slot == this)
    slot = nullptr;
  ShowDefault(on);
}

bool Button::Default() const { return owner_.defaultButton_ == this; }

void Button::SetCancel(bool on) {
  Control*& slot = owner_.cancelButton_;
  if (on)
    slot = this;
  else if (slot == this)
    slot = nullptr;
}

bool Button::Cancel() const { return owner_.cancelButton_ == this; }

void Button::ShowDefault(bool on) {
  if (hasBackColour_) {
    if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
    return;
  }
  style_ = (style_ & ~BS_TYPEMASK) | (on ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
  if (hwnd_) SendMessageA(hwnd_, BM_SETSTYLE, style_ & BS_TYPEMASK, TRUE);
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
  if (Default()) {
    // The default button's dark outline, as the system draws it round its own buttons.
    FrameRect(item.hDC, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    InflateRect(&r, -1, -1);
  }
  FillRect(item.hDC, &r, OwnedBrush(CreateSolidBrush(backColour_)).get());
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
    // A caption longer than the box wraps onto the next line instead of being cut.
    : Control(owner, "BUTTON", WS_VISIBLE | WS_TABSTOP | BS_MULTILINE | buttonStyle, bounds, std::move(caption)) {}

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

void CheckBox::SetBackColor(COLORREF colour) {
  if (backBrush_ && colour == backColour_) return;
  backColour_ = colour;
  backBrush_.Reset(CreateSolidBrush(colour));
  if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

COLORREF CheckBox::BackColor() const { return backBrush_ ? backColour_ : owner_.BackColor(); }

HBRUSH CheckBox::OnCtlColor(HDC dc) {
  if (!backBrush_) return nullptr;
  SetBkColor(dc, backColour_);
  return backBrush_.get();
}

void CheckBox::OnCommand(WORD code) {
  if (code != BN_CLICKED) return;
  value_ = Value();
  if (Click) Click();
}

// ---- TextBox

TextBox::TextBox(Window& owner, Bounds bounds, std::string text, DWORD extraStyle)
    : Control(owner, "EDIT",
              WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL | extraStyle |
                  ((extraStyle & ES_MULTILINE) ? ES_WANTRETURN : 0u),
              bounds, std::move(text), WS_EX_CLIENTEDGE) {}

LRESULT TextBox::ControlProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (style_ & ES_MULTILINE) {
    const MSG* key = reinterpret_cast<const MSG*>(lp);
    if (msg == WM_GETDLGCODE && key && key->message == WM_KEYDOWN &&
        (key->wParam == VK_TAB || key->wParam == VK_ESCAPE))
      // A multi-line edit asks for every key; Tab moves on and Esc is the form's.
      return Control::ControlProc(msg, wp, lp) & ~(DLGC_WANTALLKEYS | DLGC_WANTTAB | DLGC_WANTMESSAGE);
    if (msg == WM_KEYDOWN && wp == VK_ESCAPE) {
      // A multi-line edit inside a dialog closes its parent on Esc.
      if (KeyDown) Guarded([&] { KeyDown(VK_ESCAPE, ShiftState()); });
      return 0;
    }
  }
  return Control::ControlProc(msg, wp, lp);
}

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
