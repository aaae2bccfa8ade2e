// Tool tips for a form's controls: one tip window per form, a text per control.
#pragma once
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "Controls.h"

namespace ui {

class ToolTip {
 public:
  explicit ToolTip(Window& owner) : owner_(owner) {}
  ~ToolTip();
  ToolTip(const ToolTip&) = delete;
  ToolTip& operator=(const ToolTip&) = delete;

  // Kept until the form has a window; applied by Create().
  void Add(Control& control, const std::string& text);
  // Makes the tip window and registers the tips; the form calls it in Form_Load.
  void Create();
  std::string Text(const Control& control) const;  // "" when it has none
  HWND hwnd() const { return hwnd_; }

 private:
  void Register(Control& control, const std::string& text);
  Window& owner_;
  HWND hwnd_ = nullptr;
  std::vector<std::pair<Control*, std::string>> tips_;
};

}  // namespace ui
