// A menu model: items keep their caption, check mark, enabled and visible state,
// and the Win32 menu is rebuilt from the visible ones (Win32 has no hidden items).
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
  const std::vector<std::unique_ptr<MenuItem>>& Items() const { return items_; }
  UINT CommandId() const { return id_; }
  std::function<void()> Click;

 private:
  friend class Menu;
  void Changed();
  std::string caption_;
  bool checked_ = false, enabled_ = true, visible_ = true;
  UINT id_ = 0;
  MenuItem* parent_ = nullptr;
  class Menu* menu_ = nullptr;
  std::vector<std::unique_ptr<MenuItem>> items_;
};

// The top-level items of a form's menu bar (or of a set of pop-up menus).
class Menu {
 public:
  MenuItem& Add(std::string caption);
  // Shows a top-level item's children as a pop-up menu at a screen point.
  void Popup(Window& owner, const MenuItem& top, POINT screen);
  HMENU BuildBar();
  bool Dispatch(UINT commandId);  // runs the item's Click; false when the id is not ours
  void Invalidate();

 private:
  friend class MenuItem;
  friend class Window;
  void Number(MenuItem& item);
  HMENU BuildPopup(const MenuItem& parent);
  MenuItem root_{""};
  UINT nextId_ = 40000;
  HWND boundTo_ = nullptr;
};

}  // namespace ui
