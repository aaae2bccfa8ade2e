// A status bar along the bottom of the form, in panels. Panels count from 0.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "Controls.h"

namespace ui {

class StatusBar : public Control {
 public:
  // One width per panel, in pixels. A width of 0 or less makes a spring panel: the
  // springs share what the fixed panels leave of the bar.
  explicit StatusBar(Window& owner, std::vector<int> panelWidths = {0});

  int Panels() const { return static_cast<int>(widths_.size()); }
  void SetPanelText(int index, const std::string& text);
  std::string PanelText(int index) const;  // read from the bar; "" out of range
  // Lays the bar along the form's bottom edge and its panels across it again: the
  // form calls it from Form_Resize.
  void Resize();
  int Height() const;

 protected:
  void Create() override;

 private:
  bool ValidPanel(int index) const { return index >= 0 && index < Panels(); }
  void ApplyPanels();
  void KeepBounds();
  std::vector<int> widths_;
  std::vector<std::string> texts_;
};

}  // namespace ui
