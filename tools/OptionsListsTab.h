// The options dialog's Task Manager Lists tab: a box per column of the programs list
// and of the windows list.
#pragma once
#include <memory>
#include <vector>

#include "Container.h"
#include "Controls.h"
#include "Window.h"

class OptionsListsTab {
 public:
  OptionsListsTab(ui::Window& form, ui::Container& page);

  ui::Frame AppListFram, WndListFram;
  std::vector<std::unique_ptr<ui::CheckBox>> AppListChks, WndListChks;

  ui::CheckBox& AppListChk(int index) { return *AppListChks.at(index); }
  ui::CheckBox& WndListChk(int index) { return *WndListChks.at(index); }

  // Captions the boxes with the running family's columns and hides the others.
  void Prepare();
  // A box is ticked exactly when the list shows its column (the same reading as the list's).
  void Load();
  void Store();
  // True when at least one column of the list is ticked.
  bool AppListHasColumn() const;
  bool WndListHasColumn() const;
};
