#include "Menu.h"

#include "StallMeter.h"
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

// A change rebuilds the whole bar and sets it anew, which makes the window lay out
// its frame again (tens of milliseconds each under Wine): a state set again unchanged
// costs nothing.
void MenuItem::SetChecked(bool on) {
  if (checked_ == on) return;
  checked_ = on;
  // A mark is set on the bar in place: building the bar anew lays the window's frame
  // out again (tens of milliseconds under Wine), and a page switch moves a mark.
  if (menu_ && menu_->SetCheckInPlace(*this)) return;
  Changed();
}

void MenuItem::SetEnabled(bool on) {
  if (enabled_ == on) return;
  enabled_ = on;
  Changed();
}

void MenuItem::SetVisible(bool on) {
  if (visible_ == on) return;
  visible_ = on;
  Changed();
}

void MenuItem::SetShortcut(UINT key, int shift) {
  shortcutKey_ = key;
  shortcutShift_ = key ? shift : 0;
  Changed();
}

namespace {
std::string KeyName(UINT key) {
  if (key >= VK_F1 && key <= VK_F24) return "F" + std::to_string(key - VK_F1 + 1);
  if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return std::string(1, static_cast<char>(key));
  switch (key) {
    case VK_DELETE: return "Del";
    case VK_INSERT: return "Ins";
    case VK_BACK: return "Bksp";
    case VK_RETURN: return "Enter";
    case VK_ESCAPE: return "Esc";
    case VK_TAB: return "Tab";
    case VK_SPACE: return "Space";
    case VK_HOME: return "Home";
    case VK_END: return "End";
    case VK_PRIOR: return "PgUp";
    case VK_NEXT: return "PgDn";
    case VK_LEFT: return "Left";
    case VK_RIGHT: return "Right";
    case VK_UP: return "Up";
    case VK_DOWN: return "Down";
    default: break;
  }
  // Punctuation and the rest: the keyboard layout's own name.
  char name[32] = {};
  LONG scan = static_cast<LONG>(MapVirtualKeyA(key, 0)) << 16;
  return GetKeyNameTextA(scan, name, sizeof name) > 0 ? name : "";
}
}  // namespace

std::string MenuItem::ShortcutText() const {
  if (!shortcutKey_) return "";
  std::string text;
  if (shortcutShift_ & 2) text += "Ctrl+";
  if (shortcutShift_ & 1) text += "Shift+";
  if (shortcutShift_ & 4) text += "Alt+";
  return text + KeyName(shortcutKey_);
}

void MenuItem::Changed() {
  if (menu_) menu_->Invalidate();
}

Menu::~Menu() {
  if (accelerators_) DestroyAcceleratorTable(accelerators_);
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
    if (!child->items_.empty()) {
      AppendMenuA(popup, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(BuildPopup(*child)),
                  child->caption_.c_str());
      continue;
    }
    std::string text = child->caption_;
    if (child->shortcutKey_) text += "\t" + child->ShortcutText();
    AppendMenuA(popup, flags, child->id_, text.c_str());
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
  acceleratorsStale_ = true;
  if (holds_ > 0) {
    barStale_ = true;
    return;
  }
  SetBar();
}

bool Menu::SetCheckInPlace(const MenuItem& item) {
  if (!item.items_.empty() || !boundTo_ || !IsWindow(boundTo_)) return false;
  HMENU bar = GetMenu(boundTo_);
  return bar && CheckMenuItem(bar, item.id_, MF_BYCOMMAND | (item.checked_ ? MF_CHECKED : MF_UNCHECKED)) !=
                    static_cast<DWORD>(-1);
}

void Menu::SetBar() {
  if (!boundTo_ || !IsWindow(boundTo_)) return;
  HMENU old = GetMenu(boundTo_);
  ::SetMenu(boundTo_, BuildBar());
  if (old) DestroyMenu(old);
  DrawMenuBar(boundTo_);
}

namespace {
void AppendState(const MenuItem& parent, std::string& state) {
  for (const auto& child : parent.Items()) {
    state += child->Caption();
    state += child->Visible() ? 'v' : '-';
    state += child->Checked() ? 'c' : '-';
    state += child->Enabled() ? 'e' : '-';
    state += child->ShortcutText();
    state += '(';
    AppendState(*child, state);
    state += ')';
  }
}
}  // namespace

std::string Menu::BarState() const {
  std::string state;
  AppendState(root_, state);
  return state;
}

Menu::Hold::Hold(Menu& menu) : menu_(menu) {
  if (menu_.holds_++ == 0) {
    menu_.barStale_ = false;
    menu_.heldState_ = menu_.BarState();
  }
}

Menu::Hold::~Hold() {
  if (--menu_.holds_ > 0 || !menu_.barStale_) return;
  menu_.barStale_ = false;
  if (menu_.BarState() != menu_.heldState_) menu_.SetBar();
}

namespace {
void CollectShortcuts(const MenuItem& parent, std::vector<ACCEL>& keys) {
  for (const auto& child : parent.Items()) {
    if (!child->Visible() || !child->Enabled()) continue;
    if (child->ShortcutKey() && child->Items().empty()) {
      const int shift = child->ShortcutShift();
      BYTE flags = FVIRTKEY | ((shift & 1) ? FSHIFT : 0) | ((shift & 2) ? FCONTROL : 0) | ((shift & 4) ? FALT : 0);
      keys.push_back({flags, static_cast<WORD>(child->ShortcutKey()), static_cast<WORD>(child->CommandId())});
    }
    CollectShortcuts(*child, keys);
  }
}
}  // namespace

HACCEL Menu::Accelerators() {
  if (!acceleratorsStale_) return accelerators_;
  if (accelerators_) DestroyAcceleratorTable(accelerators_);
  accelerators_ = nullptr;
  std::vector<ACCEL> keys;
  CollectShortcuts(root_, keys);
  if (!keys.empty()) accelerators_ = CreateAcceleratorTableA(keys.data(), static_cast<int>(keys.size()));
  acceleratorsStale_ = false;
  return accelerators_;
}

void Menu::Popup(Window& owner, const MenuItem& top, POINT screen) {
  HMENU popup = BuildPopup(top);
  // The menu closes when the user clicks elsewhere only if its owner is in front. A
  // page shown inside the frame is a child window, which can be neither: the frame
  // holds the menu (the chosen command comes back here all the same).
  HWND holder = GetAncestor(owner.hwnd(), GA_ROOT);
  if (!holder) holder = owner.hwnd();
  SetForegroundWindow(holder);
  UINT chosen;
  {
    UserWait choosing;
    chosen = TrackPopupMenu(popup, TPM_RETURNCMD | TPM_RIGHTBUTTON, screen.x, screen.y, 0, holder, nullptr);
  }
  DestroyMenu(popup);
  PostMessageA(holder, WM_NULL, 0, 0);
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
