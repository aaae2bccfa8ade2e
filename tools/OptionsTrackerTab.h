// The options dialog's Tracker Bar tab: the bar's items in their order, and the
// usage levels at which its boxes change colour.
#pragma once
#include <cstdint>
#include <string>

#include "Container.h"
#include "Controls.h"
#include "ListView.h"
#include "Window.h"

class OptionsTrackerTab {
 public:
  OptionsTrackerTab(ui::Window& form, ui::Container& page);

  ui::Label TrackerLbl;
  ui::ListView TrackerItemsLV;  // tag = the item's kind, ticked = shown
  ui::Button ShiftItemBtn0, ShiftItemBtn1;
  ui::Label LowResLbl, LowResLbl0, LowResLbl1;
  ui::TextBox txtLowRes0, txtLowRes1;

  ui::TextBox& txtLowRes(int index) { return index == 0 ? txtLowRes0 : txtLowRes1; }
  ui::Button& ShiftItemBtn(int index) { return index == 0 ? ShiftItemBtn0 : ShiftItemBtn1; }

  static std::string TrackerName(int32_t kind);

  void Prepare();
  void Load();
  void Store();
  bool AnyItemShown() const;

  // 0 moves the selected item up, 1 down.
  void ShiftItemBtn_Click(int index);
};
