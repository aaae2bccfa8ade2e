#include "OptionsProgramsTab.h"

#include <algorithm>

#include "AddSProgFrm.h"
#include "DrawnPicture.h"
#include "ModSProgs.h"
#include "ModSettings.h"
#include "OptionsFields.h"

using namespace optionfields;

namespace {

// A small round mark for the special-programs list: green enabled, grey disabled.
HICON MarkIcon(COLORREF colour) {
  auto circle = [](HDC dc) { Ellipse(dc, 3, 3, 13, 13); };
  return ui::DrawIcon(
      16, [&](HDC dc) { ui::DrawShape(dc, RGB(0, 0, 0), RGB(0, 0, 0), 1, circle); },
      [&](HDC dc) { ui::DrawShape(dc, colour, RGB(0, 0, 0), 1, circle); });
}

}  // namespace

OptionsProgramsTab::OptionsProgramsTab(ui::Window& form, ui::Container& page)
    : SProgsLbl(form, {12, 34, 200, 18}, "Special Programs:"),
      SProgsList(form, {12, 54, 400, 230}),
      AddBtn(form, {420, 54, 90, 26}, "Add"),
      ChangeBtn(form, {420, 86, 90, 26}, "Change"),
      RemoveBtn(form, {420, 118, 90, 26}, "Remove"),
      EnableBtn(form, {420, 150, 90, 26}, "Enable/ Disable"),
      ProcWarnChk(form, {12, 294, 400, 20}, "Warn me before terminating any process"),
      HideSysProcChk(form, {12, 318, 400, 20}, "Hide System Processes") {
  for (ui::Control* c : std::initializer_list<ui::Control*>{&SProgsLbl, &SProgsList, &AddBtn, &ChangeBtn, &RemoveBtn,
                                                             &EnableBtn, &ProcWarnChk, &HideSysProcChk})
    c->SetContainer(page);
  SProgsList.AddColumn("K0", "Path", 260);
  SProgsList.AddColumn("K1", "Special Action", 136);

  AddBtn.Click = [this] { AddBtn_Click(); };
  ChangeBtn.Click = [this] { ChangeBtn_Click(); };
  RemoveBtn.Click = [this] { RemoveBtn_Click(); };
  EnableBtn.Click = [this] { EnableBtn_Click(); };
  SProgsList.ItemClick = [this](int) { ChkBtnsEnbl(); };
  SProgsList.SelectionChanged = [this](int) { ChkBtnsEnbl(); };
  SProgsList.ColumnClick = [this](int column) { SProgsList_ColumnClick(column); };
}

void OptionsProgramsTab::Prepare() {
  if (SProgIcons.Count() == 0) {
    // Image 0 serves a stored mark other than 1 or 2: it shows as disabled.
    const std::pair<COLORREF, const char*> marks[] = {
        {RGB(160, 160, 160), "other"}, {RGB(0, 170, 0), "enabled"}, {RGB(160, 160, 160), "disabled"}};
    for (const auto& [colour, key] : marks) {
      HICON icon = MarkIcon(colour);
      SProgIcons.Add(icon, key);  // the list keeps a copy
      if (icon) DestroyIcon(icon);
    }
  }
  SProgsList.SetImageList(LVSIL_SMALL, SProgIcons.handle());
}

void OptionsProgramsTab::Load() {
  SProgsList.Clear();
  sortAscending_ = true;
  DoSProgOp(2);
  ChkBtnsEnbl();
  ProcWarnChk.SetValue(ProcWarn != 0);
  HideSysProcChk.SetValue(HideSysProc != 0);
}

void OptionsProgramsTab::Store() {
  DeleteStoredSProgs();
  SProgCount = static_cast<int16_t>(std::min(SProgsList.ItemCount(), 32767));
  ProcWarn = Flag(ProcWarnChk);
  HideSysProc = Flag(HideSysProcChk);
}

void OptionsProgramsTab::ChkBtnsEnbl() {
  const bool any = !SProgsList.SelectedRows().empty();
  RemoveBtn.SetEnabled(any);
  ChangeBtn.SetEnabled(any);
  EnableBtn.SetEnabled(any);
}

void OptionsProgramsTab::AddBtn_Click() { AddSProgFrm.OpenToAdd(); }

void OptionsProgramsTab::ChangeBtn_Click() {
  const std::vector<int> selected = SProgsList.SelectedRows();
  if (selected.empty()) return;
  const int focused = SProgsList.FocusedRow();
  const int row = focused >= 0 && SProgsList.Selected(focused) ? focused : selected.front();
  AddSProgFrm.OpenToChange(SProgsList.RowId(row));
}

void OptionsProgramsTab::RemoveBtn_Click() {
  for (int row = 0; row < SProgsList.ItemCount();) {
    if (SProgsList.Selected(row))
      SProgsList.RemoveItem(row);
    else
      ++row;
  }
  ChkBtnsEnbl();
}

void OptionsProgramsTab::EnableBtn_Click() {
  for (int row : SProgsList.SelectedRows()) SProgsList.SetSmallIcon(row, SProgsList.SmallIcon(row) == 1 ? 2 : 1);
}

void OptionsProgramsTab::SProgsList_ColumnClick(int column) {
  sortAscending_ = !sortAscending_;
  SProgsList.SortBy(column, ui::SortKind::kText, sortAscending_);
}
