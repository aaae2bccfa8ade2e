#include "ComboBox.h"

namespace ui {

ComboBox::ComboBox(Window& owner, Bounds bounds, DWORD kind)
    : Control(owner, "COMBOBOX", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | kind, bounds, "") {}

void ComboBox::Create() {
  Control::Create();
  if (!hwnd_) return;
  for (const Item& item : items_) {
    auto at = SendMessageA(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.text.c_str()));
    SendMessageA(hwnd_, CB_SETITEMDATA, at, item.data);
  }
  SendMessageA(hwnd_, CB_SETCURSEL, listIndex_, 0);
}

int ComboBox::AddItem(const std::string& text) {
  items_.push_back({text, 0});
  if (hwnd_) SendMessageA(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  return ListCount() - 1;
}

void ComboBox::RemoveItem(int index) {
  if (!ValidIndex(index)) return;
  items_.erase(items_.begin() + index);
  if (hwnd_) SendMessageA(hwnd_, CB_DELETESTRING, index, 0);
  if (listIndex_ == index)
    listIndex_ = -1;
  else if (listIndex_ > index)
    --listIndex_;
}

void ComboBox::Clear() {
  items_.clear();
  listIndex_ = -1;
  if (hwnd_) SendMessageA(hwnd_, CB_RESETCONTENT, 0, 0);
}

std::string ComboBox::List(int index) const { return ValidIndex(index) ? items_[index].text : std::string(); }

LONG_PTR ComboBox::ItemData(int index) const { return ValidIndex(index) ? items_[index].data : 0; }

void ComboBox::SetItemData(int index, LONG_PTR data) {
  if (!ValidIndex(index)) return;
  items_[index].data = data;
  if (hwnd_) SendMessageA(hwnd_, CB_SETITEMDATA, index, data);
}

void ComboBox::SetListIndex(int index) {
  if (index < -1 || index >= ListCount() || index == listIndex_) return;
  listIndex_ = index;
  // CB_SETCURSEL does not notify, so the choice made by code raises Click here.
  if (hwnd_) SendMessageA(hwnd_, CB_SETCURSEL, index, 0);
  if (Click) Click();
}

void ComboBox::OnCommand(WORD code) {
  if (code == CBN_SELCHANGE) {
    int selected = static_cast<int>(SendMessageA(hwnd_, CB_GETCURSEL, 0, 0));
    listIndex_ = ValidIndex(selected) ? selected : -1;
    if (Click) Click();
  } else if (code == CBN_EDITCHANGE) {
    // Typed text is no choice from the list, as in VB.
    listIndex_ = -1;
    if (Change) Change();
  }
}

}  // namespace ui
