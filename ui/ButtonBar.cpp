#include "ButtonBar.h"
#include "Gdi.h"

#include "Failure.h"
#include "Window.h"

namespace ui {

ButtonBar::ButtonBar(Window& owner, Bounds bounds, bool vertical, SIZE button)
    : Control(owner, TOOLBARCLASSNAME,
              WS_VISIBLE | WS_CLIPSIBLINGS | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NORESIZE |
                  CCS_NOPARENTALIGN | CCS_NODIVIDER | (vertical ? TBSTYLE_WRAPABLE : 0),
              bounds, ""),
      vertical_(vertical),
      buttonSize_(button),
      barColour_(GetSysColor(COLOR_BTNFACE)),
      backColour_(GetSysColor(COLOR_BTNFACE)) {}

ButtonBar::~ButtonBar() {
  if (images_) ImageList_Destroy(images_);
}

int ButtonBar::Add(const std::string& key, const std::string& caption, const std::string& toolTip,
                   int group) {
  ButtonInfo info;
  info.key = key;
  info.caption = caption;
  info.toolTip = toolTip;
  info.group = group;
  buttons_.push_back(info);
  const int index = Count();
  if (hwnd_) {
    AddToControl(index);
    Layout();
  }
  return index;
}

int ButtonBar::IndexOf(const std::string& key) const {
  for (size_t i = 0; i < buttons_.size(); ++i)
    if (buttons_[i].key == key) return static_cast<int>(i) + 1;
  return 0;
}

std::string ButtonBar::Key(int index) const {
  return index >= 1 && index <= Count() ? buttons_[index - 1].key : std::string();
}

std::string ButtonBar::ToolTip(const std::string& key) const {
  const int index = IndexOf(key);
  return index ? buttons_[index - 1].toolTip : std::string();
}

std::string ButtonBar::Caption(const std::string& key) const {
  const int index = IndexOf(key);
  return index ? buttons_[index - 1].caption : std::string();
}

bool ButtonBar::Value(int index) const {
  return index >= 1 && index <= Count() && buttons_[index - 1].pressed;
}

void ButtonBar::SetValue(int index, bool pressed) {
  if (index < 1 || index > Count()) return;
  if (pressed && buttons_[index - 1].group) {
    Press(index);
    return;
  }
  buttons_[index - 1].pressed = pressed;
  ApplyState(index);
}

// The one pressed button of its group.
void ButtonBar::Press(int index) {
  const int group = buttons_[index - 1].group;
  for (int i = 1; i <= Count(); ++i) {
    ButtonInfo& b = buttons_[i - 1];
    const bool now = i == index || (b.pressed && (group == 0 || b.group != group));
    if (b.pressed != now) {
      b.pressed = now;
      ApplyState(i);
    }
  }
}

void ButtonBar::ClickButton(int index) {
  if (index < 1 || index > Count() || !buttons_[index - 1].enabled) return;
  Raise(index);
}

void ButtonBar::Raise(int index) {
  if (buttons_[index - 1].group) Press(index);
  const std::string key = buttons_[index - 1].key;
  if (ButtonClick) ButtonClick(index, key);
}

RECT ButtonBar::ButtonRect(int index) const {
  RECT r = {};
  if (!hwnd_ || index < 1 || index > Count() || !buttons_[index - 1].visible) return r;
  SendMessageA(hwnd_, TB_GETRECT, CommandOf(index), reinterpret_cast<LPARAM>(&r));
  return r;
}

int ButtonBar::ButtonLeft(const std::string& key) const {
  const int index = IndexOf(key);
  if (!index || !buttons_[index - 1].visible) return -1;
  return ButtonRect(index).left;
}

void ButtonBar::SetPicture(const std::string& key, HBITMAP picture, COLORREF mask) {
  const int index = IndexOf(key);
  if (!index) return;
  ButtonInfo& b = buttons_[index - 1];
  b.picture = picture;
  if (picture) {
    BITMAP bm = {};
    GetObjectA(picture, sizeof bm, &bm);
    // Every picture of a bar takes the size of the first one.
    if (!images_) images_ = ImageList_Create(bm.bmWidth, bm.bmHeight, ILC_COLOR24 | ILC_MASK, 8, 8);
    // The image list blackens the mask colour in the bitmap it is given: it gets a
    // copy, so the caller's picture can be given again (to this bar or another).
    const OwnedBitmap copy(static_cast<HBITMAP>(CopyImage(picture, IMAGE_BITMAP, 0, 0, 0)));
    const int added = images_ && copy ? ImageList_AddMasked(images_, copy.get(), mask) : -1;
    // A button that has an image keeps its place in the list: the new picture is
    // moved there and the added one dropped, so pictures given again do not pile up.
    if (added >= 0 && b.image >= 0 && b.image != added) {
      ImageList_Copy(images_, b.image, images_, added, ILCF_MOVE);
      ImageList_Remove(images_, added);
    } else {
      b.image = added;
    }
  } else {
    b.image = -1;
  }
  if (!hwnd_) return;
  SendMessageA(hwnd_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_));
  TBBUTTONINFOA info = {};
  info.cbSize = sizeof info;
  info.dwMask = TBIF_IMAGE;
  info.iImage = b.image >= 0 ? b.image : I_IMAGENONE;
  SendMessageA(hwnd_, TB_SETBUTTONINFOA, CommandOf(index), reinterpret_cast<LPARAM>(&info));
  Layout();
}

HBITMAP ButtonBar::Picture(const std::string& key) const {
  const int index = IndexOf(key);
  return index ? buttons_[index - 1].picture : nullptr;
}

void ButtonBar::SetButtonEnabled(const std::string& key, bool enabled) {
  const int index = IndexOf(key);
  if (!index) return;
  buttons_[index - 1].enabled = enabled;
  ApplyState(index);
}

bool ButtonBar::ButtonEnabled(const std::string& key) const {
  const int index = IndexOf(key);
  return index && buttons_[index - 1].enabled;
}

void ButtonBar::SetButtonVisible(const std::string& key, bool visible) {
  const int index = IndexOf(key);
  if (!index) return;
  buttons_[index - 1].visible = visible;
  ApplyState(index);
  Layout();
}

bool ButtonBar::ButtonVisible(const std::string& key) const {
  const int index = IndexOf(key);
  return index && buttons_[index - 1].visible;
}

void ButtonBar::SetBarColor(COLORREF colour) {
  barColour_ = colour;
  if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void ButtonBar::SetBackColor(COLORREF colour) {
  backColour_ = colour;
  backBrush_.Reset();
  if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void ButtonBar::SetButtonColor(int index, COLORREF colour) {
  if (index < 1 || index > Count()) return;
  buttons_[index - 1].hasColour = true;
  buttons_[index - 1].colour = colour;
  if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

SIZE ButtonBar::ButtonsExtent() const {
  SIZE extent = {0, 0};
  for (int i = 1; i <= Count(); ++i) {
    const RECT r = ButtonRect(i);
    if (r.right > extent.cx) extent.cx = r.right;
    if (r.bottom > extent.cy) extent.cy = r.bottom;
  }
  return extent;
}

void ButtonBar::Create() {
  Control::Create();
  if (!hwnd_) return;
  SendMessageA(hwnd_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  SendMessageA(hwnd_, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
  if (images_) SendMessageA(hwnd_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_));
  for (int i = 1; i <= Count(); ++i) AddToControl(i);
  Layout();
}

void ButtonBar::Destroyed() {
  Control::Destroyed();
  hot_ = 0;
}

void ButtonBar::AddToControl(int index) {
  const ButtonInfo& b = buttons_[index - 1];
  TBBUTTON button = {};
  button.iBitmap = b.image >= 0 ? b.image : I_IMAGENONE;
  button.idCommand = CommandOf(index);
  button.fsStyle = StyleOf(b);
  const INT_PTR text = SendMessageA(hwnd_, TB_ADDSTRINGA, 0,
                                    reinterpret_cast<LPARAM>((b.caption + std::string(1, '\0')).c_str()));
  button.iString = text;
  SendMessageA(hwnd_, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&button));
  ApplyState(index);
  SetToolTipText(index);
}

void ButtonBar::ApplyState(int index) {
  if (!hwnd_) return;
  const ButtonInfo& b = buttons_[index - 1];
  BYTE state = 0;
  if (b.enabled) state |= TBSTATE_ENABLED;
  if (b.pressed) state |= TBSTATE_CHECKED;
  if (!b.visible) state |= TBSTATE_HIDDEN;
  if (vertical_) state |= TBSTATE_WRAP;  // one button a row
  SendMessageA(hwnd_, TB_SETSTATE, CommandOf(index), MAKELPARAM(state, 0));
}

// The bar's own tool-tip control holds the texts, so what shows is what the caller gave.
void ButtonBar::SetToolTipText(int index) {
  HWND tips = reinterpret_cast<HWND>(SendMessageA(hwnd_, TB_GETTOOLTIPS, 0, 0));
  if (!tips) return;
  std::string text = buttons_[index - 1].toolTip;
  TOOLINFOA tool = {};
  tool.cbSize = TTTOOLINFOA_V2_SIZE;
  tool.hwnd = hwnd_;
  tool.uId = CommandOf(index);
  tool.lpszText = text.data();
  SendMessageA(tips, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
}

void ButtonBar::Layout() {
  if (!hwnd_) return;
  SendMessageA(hwnd_, TB_SETBUTTONSIZE, 0, MAKELPARAM(buttonSize_.cx, buttonSize_.cy));
  SendMessageA(hwnd_, TB_AUTOSIZE, 0, 0);
  InvalidateRect(hwnd_, nullptr, TRUE);
}

int ButtonBar::IndexOfCommand(int command) const {
  const int index = command - 100;
  return index >= 1 && index <= Count() ? index : 0;
}

void ButtonBar::OnCommandId(WORD id, WORD /*code*/) {
  const int index = IndexOfCommand(id);
  if (index && buttons_[index - 1].enabled) Raise(index);
}

void ButtonBar::SetDropDown(const std::string& key, bool on) {
  const int index = IndexOf(key);
  if (!index) return;
  buttons_[index - 1].dropDown = on;
  if (!hwnd_) return;
  ApplyStyle(index);
  Layout();
}

void ButtonBar::ApplyStyle(int index) {
  TBBUTTONINFOA info = {};
  info.cbSize = sizeof info;
  info.dwMask = TBIF_STYLE;
  info.fsStyle = StyleOf(buttons_[index - 1]);
  SendMessageA(hwnd_, TB_SETBUTTONINFOA, CommandOf(index), reinterpret_cast<LPARAM>(&info));
}

BYTE ButtonBar::StyleOf(const ButtonInfo& b) const {
  return static_cast<BYTE>((b.dropDown ? BTNS_DROPDOWN : BTNS_BUTTON) | (fitCaptions_ ? BTNS_AUTOSIZE : 0));
}

void ButtonBar::SetFitCaptions(bool on) {
  fitCaptions_ = on;
  if (!hwnd_) return;
  for (int i = 1; i <= Count(); ++i) ApplyStyle(i);
  Layout();
}

bool ButtonBar::DropDownButton(const std::string& key) const {
  const int index = IndexOf(key);
  return index && buttons_[index - 1].dropDown;
}

bool ButtonBar::OnNotify(NMHDR* header, LRESULT& result) {
  if (header->code == TBN_DROPDOWN) {
    const int index = IndexOfCommand(reinterpret_cast<NMTOOLBARA*>(header)->iItem);
    if (index && DropDown) DropDown(index, buttons_[index - 1].key);
    result = TBDDRET_DEFAULT;
    return true;
  }
  if (header->code == TBN_HOTITEMCHANGE) {
    auto* hot = reinterpret_cast<NMTBHOTITEM*>(header);
    const int index = (hot->dwFlags & HICF_LEAVING) ? 0 : IndexOfCommand(hot->idNew);
    if (index && index != hot_ && MouseOver) MouseOver(index, buttons_[index - 1].key);
    hot_ = index;
    result = 0;
    return true;
  }
  if (header->code == NM_CUSTOMDRAW) {
    result = CustomDraw(*reinterpret_cast<NMTBCUSTOMDRAW*>(header));
    return true;
  }
  return false;
}

LRESULT ButtonBar::CustomDraw(NMTBCUSTOMDRAW& draw) {
  if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
  if (draw.nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
    const int index = IndexOfCommand(static_cast<int>(draw.nmcd.dwItemSpec));
    if (index && buttons_[index - 1].hasColour && !buttons_[index - 1].pressed &&
        !(draw.nmcd.uItemState & (CDIS_HOT | CDIS_SELECTED))) {
      FillRect(draw.nmcd.hdc, &draw.nmcd.rc, OwnedBrush(CreateSolidBrush(buttons_[index - 1].colour)).get());
    }
    draw.clrText = GetSysColor(COLOR_BTNTEXT);
    return CDRF_DODEFAULT;
  }
  return CDRF_DODEFAULT;
}

LRESULT ButtonBar::ControlProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_ERASEBKGND) {
    // The area around the buttons in the back colour, the strip they sit on in the
    // bar colour.
    HDC dc = reinterpret_cast<HDC>(wp);
    RECT client;
    GetClientRect(hwnd_, &client);
    if (!backBrush_) backBrush_.Reset(CreateSolidBrush(backColour_));
    FillRect(dc, &client, backBrush_.get());
    const SIZE extent = ButtonsExtent();
    RECT strip = client;
    if (vertical_)
      strip.bottom = extent.cy;
    else
      strip.right = extent.cx;
    FillRect(dc, &strip, OwnedBrush(CreateSolidBrush(barColour_)).get());
    return 1;
  }
  if (msg == WM_MOUSELEAVE) hot_ = 0;
  return Control::ControlProc(msg, wp, lp);
}

}  // namespace ui
