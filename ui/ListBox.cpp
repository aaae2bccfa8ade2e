#include "ListBox.h"

namespace ui {

ListBox::ListBox(Window& owner, Bounds bounds)
    : Control(owner, "LISTBOX", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_BORDER | LBS_NOTIFY, bounds, "") {}

void ListBox::Create() {
  Control::Create();
  if (!hwnd_) return;
  for (const std::string& item : items_) SendMessageA(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  if (index_ >= 0) SendMessageA(hwnd_, LB_SETCURSEL, static_cast<WPARAM>(index_), 0);
}

int ListBox::AddItem(const std::string& text) {
  items_.push_back(text);
  if (hwnd_) SendMessageA(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  return ListCount() - 1;
}

void ListBox::Clear() {
  items_.clear();
  index_ = -1;
  if (hwnd_) SendMessageA(hwnd_, LB_RESETCONTENT, 0, 0);
}

std::string ListBox::List(int index) const {
  return index >= 0 && index < ListCount() ? items_[static_cast<size_t>(index)] : std::string();
}

void ListBox::SetListIndex(int index) {
  index_ = index >= 0 && index < ListCount() ? index : -1;
  if (hwnd_) SendMessageA(hwnd_, LB_SETCURSEL, static_cast<WPARAM>(index_), 0);
  if (Click) Click();
}

void ListBox::OnCommand(WORD code) {
  if (code != LBN_SELCHANGE) return;
  index_ = static_cast<int>(SendMessageA(hwnd_, LB_GETCURSEL, 0, 0));
  if (index_ == LB_ERR) index_ = -1;
  if (Click) Click();
}

}  // namespace ui
