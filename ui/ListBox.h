// A plain list box: items by position, the selected position, and a click.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "Controls.h"

namespace ui {

class ListBox : public Control {
 public:
  ListBox(Window& owner, Bounds bounds);
  int AddItem(const std::string& text);
  void Clear();
  int ListCount() const { return static_cast<int>(items_.size()); }
  std::string List(int index) const;
  int ListIndex() const { return index_; }  // -1 when nothing is selected
  void SetListIndex(int index);            // raises Click, as a user's choice would
  std::function<void()> Click;

 protected:
  void Create() override;
  void OnCommand(WORD code) override;

 private:
  std::vector<std::string> items_;
  int index_ = -1;
};

}  // namespace ui
