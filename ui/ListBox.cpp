#include "ListBox.h"

namespace ui {

// No LBS_SORT: rows stay in the order they were added.
ListBox::ListBox(Window& owner, Bounds bounds)
    : Control(owner, "LISTBOX", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_BORDER | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
              bounds, "") {}

void ListBox::Create() {
  Control::Create();
  if (!hwnd_) return;
  for (const std::string& item : items_) SendMessageA(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  SendMessageA(hwnd_, LB_SETCURSEL, listIndex_, 0);
}

int ListBox::AddItem(const std::string& text) {
  items_.push_back(text);
  if (hwnd_) SendMessageA(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  return ListCount() - 1;
}

void ListBox::RemoveItem(int index) {
  if (!ValidIndex(index)) return;
  items_.erase(items_.begin() + index);
  if (hwnd_) SendMessageA(hwnd_, LB_DELETESTRING, index, 0);
  if (listIndex_ == index)
    listIndex_ = -1;
  else if (listIndex_ > index)
    --listIndex_;
}

void ListBox::Clear() {
  items_.clear();
  listIndex_ = -1;
  if (hwnd_) SendMessageA(hwnd_, LB_RESETCONTENT, 0, 0);
}

std::string ListBox::List(int index) const { return ValidIndex(index) ? items_[index] : std::string(); }

// As a user's choice would, a new choice raises Click.
void ListBox::SetListIndex(int index) {
  if (index < -1 || index >= ListCount()) return;
  const bool changed = index != listIndex_;
  listIndex_ = index;
  if (hwnd_) SendMessageA(hwnd_, LB_SETCURSEL, index, 0);
  if (changed && index >= 0 && Click) Click();
}

void ListBox::OnCommand(WORD code) {
  if (code != LBN_SELCHANGE) return;
  const int selected = static_cast<int>(SendMessageA(hwnd_, LB_GETCURSEL, 0, 0));
  listIndex_ = ValidIndex(selected) ? selected : -1;
  if (Click) Click();
}

}  // namespace ui
