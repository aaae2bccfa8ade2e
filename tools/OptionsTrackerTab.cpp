#include "OptionsTrackerTab.h"

#include "ModSettings.h"
#include "OptionsFields.h"

using namespace optionfields;

OptionsTrackerTab::OptionsTrackerTab(ui::Window& form, ui::Container& page)
    : TrackerLbl(form, {12, 34, 200, 18}, "Tracker Bar Items"),
      TrackerItemsLV(form, {12, 54, 260, 200}),
      ShiftItemBtn0(form, {280, 100, 60, 26}, "Up"),
      ShiftItemBtn1(form, {280, 134, 60, 26}, "Down"),
      LowResLbl(form, {12, 262, 596, 32},
                "If CPU/Memory usage reached these values, the color of CPU/Mem boxes in tracker bar will change to "
                "notify you that the System is low in resources"),
      LowResLbl0(form, {12, 298, 220, 18}, "High CPU/Memory usage (%): "),
      LowResLbl1(form, {12, 322, 220, 18}, "Very high CPU/Memory usage (%): "),
      txtLowRes0(form, {240, 296, 40, 20}),
      txtLowRes1(form, {240, 320, 40, 20}) {
  for (ui::Control* c : std::initializer_list<ui::Control*>{&TrackerLbl, &TrackerItemsLV, &ShiftItemBtn0,
                                                             &ShiftItemBtn1, &LowResLbl, &LowResLbl0, &txtLowRes0,
                                                             &LowResLbl1, &txtLowRes1})
    c->SetContainer(page);
  TrackerItemsLV.AddColumn("K0", "Item", 236);
  TrackerItemsLV.SetCheckBoxes(true);
  ShiftItemBtn0.Click = [this] { ShiftItemBtn_Click(0); };
  ShiftItemBtn1.Click = [this] { ShiftItemBtn_Click(1); };
}

std::string OptionsTrackerTab::TrackerName(int32_t kind) {
  static const char* const kNames[] = {"CPU usage",           "Memory usage",
                                       "Uptime",              "Connection duration",
                                       "Active connection duration", "Sending Speed",
                                       "Receiving Speed",     "Average Sending Speed",
                                       "Average Receiving Speed", "Number of blocked pop-up's"};
  return kind >= 1 && kind <= 10 ? kNames[kind - 1] : "";
}

void OptionsTrackerTab::Prepare() {
  for (ui::TextBox* box : {&txtLowRes0, &txtLowRes1}) {
    box->SetNumberStyle(true);
    LimitText(*box, 3);
  }
}

void OptionsTrackerTab::Load() {
  TrackerItemsLV.Clear();
  for (int i = 1; i <= 10; ++i) {
    const int row = TrackerItemsLV.AddItem(TrackerName(TrackerItems[i]));
    TrackerItemsLV.SetChecked(row, TrackerItemsShow[i]);
    TrackerItemsLV.SetTag(row, std::to_string(TrackerItems[i]));
  }
  txtLowRes0.SetText(IntText(LowRes[0]));
  txtLowRes1.SetText(IntText(LowRes[1]));
}

void OptionsTrackerTab::Store() {
  LowRes[0] = FieldInt<int16_t>(txtLowRes0);
  LowRes[1] = FieldInt<int16_t>(txtLowRes1);
  for (int i = 1; i <= TrackerItemsLV.ItemCount() && i <= 10; ++i) {
    TrackerItems[i] = static_cast<int32_t>(vb::Val(TrackerItemsLV.Tag(i - 1)));
    TrackerItemsShow[i] = TrackerItemsLV.Checked(i - 1);
  }
}

bool OptionsTrackerTab::AnyItemShown() const {
  bool anyItem = false;
  for (int i = 0; i < TrackerItemsLV.ItemCount(); ++i) anyItem = anyItem || TrackerItemsLV.Checked(i);
  return anyItem;
}

void OptionsTrackerTab::ShiftItemBtn_Click(int index) {
  const std::vector<int> selected = TrackerItemsLV.SelectedRows();
  if (selected.empty()) return;
  const int row = selected.front();
  const int other = index == 0 ? row - 1 : row + 1;
  if (other < 0 || other >= TrackerItemsLV.ItemCount()) return;
  const std::string text = TrackerItemsLV.ItemText(row), tag = TrackerItemsLV.Tag(row);
  const bool checked = TrackerItemsLV.Checked(row);
  TrackerItemsLV.SetSubItem(row, 0, TrackerItemsLV.ItemText(other));
  TrackerItemsLV.SetTag(row, TrackerItemsLV.Tag(other));
  TrackerItemsLV.SetChecked(row, TrackerItemsLV.Checked(other));
  TrackerItemsLV.SetSubItem(other, 0, text);
  TrackerItemsLV.SetTag(other, tag);
  TrackerItemsLV.SetChecked(other, checked);
  TrackerItemsLV.SetSelected(row, false);
  TrackerItemsLV.SetSelected(other, true);
  TrackerItemsLV.SetFocusedRow(other);
}
