// A menu model: items keep their caption, check mark, enabled and visible state,
// and the Win32 menu is rebuilt from the visible ones (Win32 has no hidden items).
// Shortcut keys of a form's menu bar work while their item could be chosen: visible
// and enabled, under visible and enabled parents.
#pragma once
#include <windows.h>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ui {

class Window;

class MenuItem {
 public:
  explicit MenuItem(std::string caption) : caption_(std::move(caption)) {}
  MenuItem& Add(std::string caption);  // a child item; "-" is a separator
  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);
  bool Checked() const { return checked_; }
  void SetChecked(bool on);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool on);
  bool Visible() const { return visible_; }
  void SetVisible(bool on);
  // A shortcut key (virtual-key code, 0 for none) with a shift mask: 1 Shift, 2 Ctrl,
  // 4 Alt. The menu shows it after the caption ("&Refresh\tF5").
  void SetShortcut(UINT key, int shift = 0);
  UINT ShortcutKey() const { return shortcutKey_; }
  int ShortcutShift() const { return shortcutShift_; }
  std::string ShortcutText() const;
  const std::vector<std::unique_ptr<MenuItem>>& Items() const { return items_; }
  UINT CommandId() const { return id_; }
  std::function<void()> Click;

 private:
  friend class Menu;
  void Changed();
  std::string caption_;
  bool checked_ = false, enabled_ = true, visible_ = true;
  UINT shortcutKey_ = 0;
  int shortcutShift_ = 0;
  UINT id_ = 0;
  MenuItem* parent_ = nullptr;
  class Menu* menu_ = nullptr;
  std::vector<std::unique_ptr<MenuItem>> items_;
};

// The top-level items of a form's menu bar (or of a set of pop-up menus).
class Menu {
 public:
  Menu() = default;
  ~Menu();
  Menu(const Menu&) = delete;
  Menu& operator=(const Menu&) = delete;
  MenuItem& Add(std::string caption);
  // Shows a top-level item's children as a pop-up menu at a screen point.
  void Popup(Window& owner, const MenuItem& top, POINT screen);
  HMENU BuildBar();
  bool Dispatch(UINT commandId);  // runs the item's Click; false when the id is not ours
  void Invalidate();

  // While one lives, changes to the items set the bar anew once, when the last one
  // goes, and not at all when the items are then as they were (setting the bar lays
  // the window's frame out again: tens of milliseconds a time under Wine).
  class Hold {
   public:
    explicit Hold(Menu& menu);
    ~Hold();
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;

   private:
    Menu& menu_;
  };
  // The shortcut keys of the items that can be chosen now; nullptr when there are none.
  HACCEL Accelerators();

 private:
  friend class MenuItem;
  friend class Window;
  void Number(MenuItem& item);
  HMENU BuildPopup(const MenuItem& parent);
  MenuItem root_{""};
  UINT nextId_ = 40000;
  HWND boundTo_ = nullptr;
  HACCEL accelerators_ = nullptr;
  bool acceleratorsStale_ = true;
  void SetBar();
  // Sets a command item's check mark on the bar the window shows; false when the bar
  // does not hold the item (it is then built anew).
  bool SetCheckInPlace(const MenuItem& item);
  // What the bar shows, to tell whether a held change left it as it was.
  std::string BarState() const;
  int holds_ = 0;
  bool barStale_ = false;
  std::string heldState_;
};

}  // namespace ui
