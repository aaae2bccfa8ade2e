#include "OptionsListsTab.h"

#include <algorithm>
#include <string>

#include "ListColumns.h"
#include "ModMain.h"
#include "ModStartupPlatform.h"
#include "ModSettings.h"
#include "VbRules.h"

namespace {

using Boxes = std::vector<std::unique_ptr<ui::CheckBox>>;

// The column boxes beyond what both families show stand for a column this family may
// lack (the NT family's "CPU usage (%)").
size_t CommonColumnCount(ColumnList list) {
  return std::min(ListColumns(list, true).size(), ListColumns(list, false).size());
}

// A box for every column either family shows; the boxes the running family has no
// column for are hidden when the form loads.
void AddBoxes(ui::Window& form, Boxes& boxes, ui::Frame& frame, ColumnList list) {
  const size_t count = std::max(ListColumns(list, true).size(), ListColumns(list, false).size());
  for (size_t i = 0; i < count; ++i) {
    const int top = 20 + static_cast<int>(i) * 24;
    boxes.push_back(std::make_unique<ui::CheckBox>(form, ui::Bounds{10, top, 225, 20}, ""));
    boxes.back()->SetContainer(frame);
    boxes.back()->SetVisible(i < CommonColumnCount(list));
  }
}

void ShowColumnBoxes(Boxes& boxes, ColumnList list) {
  const std::vector<ListColumn>& columns = ListColumns(list, IsWinNTFlag);
  for (size_t i = 0; i < boxes.size(); ++i) {
    if (i >= CommonColumnCount(list)) boxes[i]->SetVisible(i < columns.size());
    if (i < columns.size()) boxes[i]->SetText(columns[i].title);
  }
}

void TickColumnBoxes(Boxes& boxes, ColumnList list, const std::string& mask) {
  for (size_t i = 0; i < ListColumns(list, IsWinNTFlag).size() && i < boxes.size(); ++i)
    boxes[i]->SetValue(i < mask.size() && vb::Val(mask.substr(i, 1)) != 0);
}

// The column setting: a flag a column, in the family's table order.
std::string ColumnMask(const Boxes& boxes, ColumnList list) {
  std::string mask;
  for (size_t i = 0; i < ListColumns(list, IsWinNTFlag).size() && i < boxes.size(); ++i)
    mask += boxes[i]->Value() ? "1" : "0";
  return mask;
}

bool AnyTicked(const Boxes& boxes) {
  for (const auto& b : boxes)
    if (b->Value()) return true;
  return false;
}

}  // namespace

OptionsListsTab::OptionsListsTab(ui::Window& form, ui::Container& page)
    : AppListFram(form, {12, 34, 245, 320}, "Program's List"), WndListFram(form, {263, 34, 245, 320}, "Windows List") {
  AppListFram.SetContainer(page);
  WndListFram.SetContainer(page);
  AddBoxes(form, AppListChks, AppListFram, ColumnList::kPrograms);
  AddBoxes(form, WndListChks, WndListFram, ColumnList::kWindows);
}

void OptionsListsTab::Prepare() {
  ShowColumnBoxes(AppListChks, ColumnList::kPrograms);
  ShowColumnBoxes(WndListChks, ColumnList::kWindows);
}

void OptionsListsTab::Load() {
  TickColumnBoxes(AppListChks, ColumnList::kPrograms, AppList);
  TickColumnBoxes(WndListChks, ColumnList::kWindows, WndList);
}

void OptionsListsTab::Store() {
  AppList = ColumnMask(AppListChks, ColumnList::kPrograms);
  WndList = ColumnMask(WndListChks, ColumnList::kWindows);
}

bool OptionsListsTab::AppListHasColumn() const { return AnyTicked(AppListChks); }
bool OptionsListsTab::WndListHasColumn() const { return AnyTicked(WndListChks); }
