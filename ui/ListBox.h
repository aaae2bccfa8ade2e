// A single-choice list box that keeps its items and its choice while the form has no
// window. Indexes count from 0; ListIndex -1 means no item is chosen.
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

  int AddItem(const std::string& text);  // the new item's index (always the last)
  void RemoveItem(int index);
  void Clear();
  int ListCount() const { return static_cast<int>(items_.size()); }
  std::string List(int index) const;  // "" out of range
  int ListIndex() const { return listIndex_; }
  void SetListIndex(int index);  // -1 chooses none; a new choice raises Click

  std::function<void()> Click;  // the choice changed

 protected:
  void Create() override;
  void OnCommand(WORD code) override;

 private:
  bool ValidIndex(int index) const { return index >= 0 && index < ListCount(); }
  std::vector<std::string> items_;
  int listIndex_ = -1;
};

}  // namespace ui
