// A combo box that keeps its items and its choice while the form has no window.
// Indexes count from 0; ListIndex -1 means no item is chosen.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "Controls.h"

namespace ui {

class ComboBox : public Control {
 public:
  // CBS_DROPDOWNLIST (a list only) or CBS_DROPDOWN (an edit with a list). The height
  // includes the dropped-down list.
  ComboBox(Window& owner, Bounds bounds, DWORD kind = CBS_DROPDOWNLIST);

  int AddItem(const std::string& text);  // the new item's index
  void RemoveItem(int index);
  void Clear();
  int ListCount() const { return static_cast<int>(items_.size()); }
  std::string List(int index) const;  // "" out of range
  LONG_PTR ItemData(int index) const;
  void SetItemData(int index, LONG_PTR data);
  int ListIndex() const { return listIndex_; }
  // Chooses an item as the user would (VB raises Click then too); -1 chooses none.
  void SetListIndex(int index);

  std::function<void()> Click;   // the choice changed
  std::function<void()> Change;  // the edit part was typed in

 protected:
  void Create() override;
  void OnCommand(WORD code) override;

 private:
  struct Item {
    std::string text;
    LONG_PTR data = 0;
  };
  bool ValidIndex(int index) const { return index >= 0 && index < ListCount(); }
  std::vector<Item> items_;
  int listIndex_ = -1;
};

}  // namespace ui
