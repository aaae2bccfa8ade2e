#include "Menu.h"

#include "Window.h"

namespace ui {

MenuItem& MenuItem::Add(std::string caption) {
  items_.push_back(std::make_unique<MenuItem>(std::move(caption)));
  MenuItem& child = *items_.back();
  child.parent_ = this;
  child.menu_ = menu_;
  if (menu_) menu_->Number(child);
  Changed();
  return child;
}

void MenuItem::SetCaption(std::string caption) {
  caption_ = std::move(caption);
  Changed();
}

void MenuItem::SetChecked(bool on) {
  checked_ = on;
  Changed();
}

void MenuItem::SetEnabled(bool on) {
  enabled_ = on;
  Changed();
}

void MenuItem::SetVisible(bool on) {
  visible_ = on;
  Changed();
}

void MenuItem::Changed() {
  if (menu_) menu_->Invalidate();
}

MenuItem& Menu::Add(std::string caption) {
  root_.menu_ = this;
  return root_.Add(std::move(caption));
}

void Menu::Number(MenuItem& item) { item.id_ = nextId_++; }

HMENU Menu::BuildPopup(const MenuItem& parent) {
  HMENU popup = CreatePopupMenu();
  for (const auto& child : parent.items_) {
    if (!child->visible_) continue;
    if (child->caption_ == "-") {
      AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    UINT flags = MF_STRING | (child->checked_ ? MF_CHECKED : 0u) | (child->enabled_ ? 0u : MF_GRAYED);
    if (!child->items_.empty())
      AppendMenuA(popup, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(BuildPopup(*child)),
                  child->caption_.c_str());
    else
      AppendMenuA(popup, flags, child->id_, child->caption_.c_str());
  }
  return popup;
}

HMENU Menu::BuildBar() {
  HMENU bar = CreateMenu();
  for (const auto& top : root_.items_) {
    if (!top->visible_) continue;
    UINT flags = MF_STRING | MF_POPUP | (top->enabled_ ? 0u : MF_GRAYED);
    AppendMenuA(bar, flags, reinterpret_cast<UINT_PTR>(BuildPopup(*top)), top->caption_.c_str());
  }
  return bar;
}

void Menu::Invalidate() {
  if (!boundTo_) return;
  HMENU old = GetMenu(boundTo_);
  ::SetMenu(boundTo_, BuildBar());
  if (old) DestroyMenu(old);
  DrawMenuBar(boundTo_);
}

void Menu::Popup(Window& owner, const MenuItem& top, POINT screen) {
  HMENU popup = BuildPopup(top);
  // The menu closes when the user clicks elsewhere only if its owner is in front.
  SetForegroundWindow(owner.hwnd());
  UINT chosen = TrackPopupMenu(popup, TPM_RETURNCMD | TPM_RIGHTBUTTON, screen.x, screen.y, 0,
                               owner.hwnd(), nullptr);
  DestroyMenu(popup);
  PostMessageA(owner.hwnd(), WM_NULL, 0, 0);
  if (chosen) Dispatch(chosen);
}

namespace {
const MenuItem* FindById(const MenuItem& item, UINT id) {
  if (item.CommandId() == id) return &item;
  for (const auto& child : item.Items())
    if (const MenuItem* found = FindById(*child, id)) return found;
  return nullptr;
}
}  // namespace

bool Menu::Dispatch(UINT commandId) {
  const MenuItem* item = FindById(root_, commandId);
  if (!item || commandId == 0) return false;
  if (item->Click) item->Click();
  return true;
}

}  // namespace ui
