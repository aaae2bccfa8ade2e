#include "DetailsFrm.h"

#include <algorithm>
#include <optional>

#include "DrawnPicture.h"
#include "ListColumns.h"
#include "ModMain.h"
#include "ModMainPlatform.h"
#include "ModProgInfo.h"
#include "ModSettings.h"
#include "ModStartupPlatform.h"
#include "StartUpEntries.h"
#include "Clipboard.h"
#include "VbRules.h"
#include "ViewBindings.h"

DetailsFrmForm DetailsFrm;

const char kNotRatedText[] = "No rating: the program is not running, so its risk was not measured.";

namespace {

const ui::Bounds kPage = {8, 96, 624, 330};
const char* const kPageKeys[6] = {"summary", "processes", "modules", "textinmem", "riskmon", "remtools"};
const char* const kNotActive = " (the program is not active)";

bool SamePath(const std::string& a, const std::string& b) { return vb::UCase(a) == vb::UCase(b); }

// How a column of one of the window's tabled lists sorts, whichever family it was
// made for; nothing for a key the table lacks.
std::optional<ui::SortKind> TableSort(ColumnList table, const std::string& key) {
  for (bool windowsNT : {true, false})
    for (const ListColumn& c : ListColumns(table, windowsNT))
      if (c.key == key) return c.sort;
  return std::nullopt;
}

// The process and module lists sort as their tables say; elsewhere only an event's
// risk rating is a number.
ui::SortKind ColumnKind(const ui::ListView& list, int column) {
  const std::string key = list.ColumnKey(column);
  for (ColumnList table : {ColumnList::kDetailsProcesses, ColumnList::kDetailsModules})
    if (const std::optional<ui::SortKind> sort = TableSort(table, key)) return *sort;
  return key == "Risk Rating" ? ui::SortKind::kNumber : ui::SortKind::kText;
}

}  // namespace

DetailsFrmForm::DetailsFrmForm()
    : Window({.caption = "Program's details", .width = 640, .height = 468, .keyPreview = true}),
      ProgIcnPic(*this, {8, 6, 36, 36}),
      ProgIntNameLbl(*this, {50, 14, 580, 20}, "(none)"),
      asxToolbar1(*this, {8, 48, 624, 44}, false, {102, 40}),
      SelectLst(*this, {0, 0, 1, 1}),
      PageFrm{{*this, kPage}, {*this, kPage}, {*this, kPage}, {*this, kPage}, {*this, kPage}, {*this, kPage}},
      BackBtn(*this, {8, 434, 84, 26}, "<< Back"),
      RefBtn(*this, {96, 434, 84, 26}, "Refresh"),
      NextBtn(*this, {184, 434, 84, 26}, "Next >>"),
      HelpBtn(*this, {456, 434, 84, 26}, "Help"),
      CloseBtn(*this, {548, 434, 84, 26}, "Close"),
      Summary(*this, PageFrm[0]),
      Processes(*this, PageFrm[1]),
      Modules(*this, PageFrm[2]),
      Texts(*this, PageFrm[3]),
      RiskMon(*this, PageFrm[4]),
      Removal(*this, PageFrm[5]) {
  for (int i = 0; i < 6; ++i) PageFrm[i].SetVisible(i == 0);
  SelectLst.SetVisible(false);
  const char* captions[6] = {"Summary", "Processes", "Modules", " Readable  Texts ", "    Risk Monitor    ",
                             "Removal Tools"};
  for (int i = 0; i < 6; ++i) asxToolbar1.Add(kPageKeys[i], captions[i], "", 1);
  asxToolbar1.ButtonClick = [this](int index, const std::string&) { asxToolbar1_ButtonClick(index); };
  SelectLst.Click = [this] { SelectLst_Click(); };

  for (ui::ListView* list : {&Summary.ProgInfoLst, &Processes.ProcLst, &Modules.ModsLst})
    list->DblClick = [this, list](int) { Lists_DblClick(*list); };
  for (ui::ListView* list : {&Processes.ProcLst, &Modules.ModsLst, &RiskMon.CanDoLV, &RiskMon.RiskLogLV})
    list->ColumnClick = [this, list](int column) { Lists_ColumnClick(*list, column); };

  BackBtn.Click = [this] { BackBtn_Click(); };
  NextBtn.Click = [this] { NextBtn_Click(); };
  RefBtn.Click = [this] { RefBtn_Click(); };
  HelpBtn.Click = [this] { HelpBtn_Click(); };
  CloseBtn.Click = [this] { CloseBtn_Click(); };

  Views.details = {.form = this, .ProcLst = &Processes.ProcLst, .ModsLst = &Modules.ModsLst,
                   .RefreshMe = [] { DetailsFrm.RefreshMe(); }};
}

// ---- Loading

void DetailsFrmForm::Form_Load() {
  asxToolbar1.SetButtonEnabled("riskmon", IsWinNTFlag);
  RiskMon.Form_Load();
  asxToolbar1.SetValue(1, true);
  ShowPageFrame(0, kPage.x, kPage.y);
  Processes.Form_Load();
  Modules.Form_Load();
  Texts.Form_Load();
  Summary.Form_Load();
}

// A close during a fill hides the window at once; it goes once the fill is over,
// since the fill still writes into its controls.
void DetailsFrmForm::Form_QueryUnload(bool& cancel, int) {
  if (!Filling()) return;
  cancel = true;
  StopRequested = true;
  unloadAfterFill_ = true;
  Hide();
}

void DetailsFrmForm::Form_Unload(bool&) {
  Processes.ProcLst.Clear();
  Modules.ModsLst.Clear();
  Summary.ProgInfoLst.Clear();
  Summary.GeneralRiskLV.Clear();
  RiskMon.ClearLists();
  Texts.FileTextTxt.SetText("");
  CurrentPath.clear();
  displayName_.clear();
  RiskMon.Form_Unload();
}

void DetailsFrmForm::Form_KeyDown(int& keyCode, int) {
  if (keyCode == VK_F1) {
    keyCode = 0;
    HelpBtn_Click();
  }
}

// ---- RefFrm

void DetailsFrmForm::RefFrm(const std::string& progPath, bool pageOnly) {
  // Fills let events run: a full refresh arriving inside one would mix two programs'
  // results, so it stops the running search and waits for the fill to end.
  if (!pageOnly && Filling()) {
    pendingRef_ = progPath;
    StopRequested = true;
    return;
  }
  Load();
  ++fillDepth_;
  HCURSOR cursor = SetCursor(LoadCursor(nullptr, IDC_WAIT));
  try {
    ui::DoEvents();
    if (!pageOnly && !pendingRef_ && !unloadAfterFill_) FullRefresh(progPath);
    if (!CurrentPath.empty() && !pendingRef_ && !unloadAfterFill_) {
      if (Processes.ProcLst.ItemCount() == 0) ProgIntNameLbl.SetText(displayName_ + kNotActive);
      RefreshPressedPage();
    }
  } catch (...) {
    DetailsRefreshing = false;
    SetCursor(cursor);
    --fillDepth_;
    throw;
  }
  DetailsRefreshing = false;
  SetCursor(cursor);
  if (--fillDepth_ == 0) EndFill();
}

void DetailsFrmForm::EndFill() {
  if (unloadAfterFill_) {
    unloadAfterFill_ = false;
    // Shown again since the close: the last request stands.
    if (!Visible()) {
      pendingRef_.reset();
      Unload();
      return;
    }
  }
  if (pendingRef_) {
    const std::string path = *pendingRef_;
    pendingRef_.reset();
    StopRequested = false;
    RefFrm(path, false);
  }
}

void DetailsFrmForm::FullRefresh(const std::string& progPath) {
  std::string path = progPath;
  if (path.empty() && Views.lists.AppLst) {
    const std::vector<int> rows = Views.lists.AppLst->SelectedRows();
    if (!rows.empty()) path = Views.lists.AppLst->Key(rows.front());
  }
  // With nothing selected the program shown stays; an empty path would list every process.
  if (path.empty()) path = CurrentPath;
  if (path.empty()) {
    ShowEmpty();
    return;
  }
  const DWORD keep = SamePath(path, CurrentPath) ? Processes.SelectedId() : 0;
  CurrentPath = path;
  Summary.ProgInfoLst.Clear();
  Processes.ProcLst.Clear();
  Modules.ModsLst.Clear();
  Texts.FileTextTxt.SetText("");
  Summary.detailsTxt[0].SetText("");
  Summary.detailsTxt[1].SetText("");
  Processes.FillInstances(keep);
  Summary.FillProgInfo();
  Summary.GeneralRiskLV.Clear();
  // The start-up list is read once per refresh, before the risky properties ask it
  // whether the program starts with Windows. Only the list: the mini-tools page's
  // reminder fields may hold the user's unsaved edits.
  if (Views.moreTools.RefreshStartUpList) Views.moreTools.RefreshStartUpList();
  if (Processes.ProcLst.ItemCount() > 0) Summary.FillGeneralRisk();
  ShowHeader();
  Processes.EnableCommands(Processes.ProcLst.ItemCount() > 0);
  Removal.RemStartUpBtn.SetEnabled(IsEnabledStartUpProgram(CurrentPath));
  RiskMon.ClearLists();
}

void DetailsFrmForm::ShowEmpty() {
  Summary.ProgInfoLst.Clear();
  Processes.ProcLst.Clear();
  Modules.ModsLst.Clear();
  Summary.GeneralRiskLV.Clear();
  Texts.FileTextTxt.SetText("");
  RiskMon.ClearLists();
  displayName_.clear();
  ProgIntNameLbl.SetText("(none)");
  ProgIcnPic.SetVisible(false);
  Processes.EnableCommands(false);
  Removal.RemStartUpBtn.SetEnabled(false);
}

void DetailsFrmForm::ShowHeader() {
  displayName_ = GetFileInfoField(2, CurrentPath);
  ProgIntNameLbl.SetText(displayName_);
  const ui::Bounds picture = ProgIcnPic.GetBounds();
  ui::Bounds label = ProgIntNameLbl.GetBounds();
  HICON icon = GetFileIcon(CurrentPath, true);
  if (iconPicture_) {
    ProgIcnPic.SetPicture(nullptr);
    iconPicture_.Reset();
  }
  if (icon) {
    // Drawn once into a picture of our own, so the icon can go at once.
    iconPicture_.Reset(ui::DrawPicture(picture.width, picture.height, GetSysColor(COLOR_BTNFACE), [icon](HDC dc) {
      DrawIconEx(dc, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL | DI_DEFAULTSIZE);
    }));
    DestroyIcon(icon);
    ProgIcnPic.SetPicture(iconPicture_.get());
    ProgIcnPic.SetVisible(true);
    label.x = picture.x + picture.width + 2;
  } else {
    ProgIcnPic.SetVisible(false);
    label.x = picture.x;
  }
  ProgIntNameLbl.Move(label);
}

void DetailsFrmForm::RefreshPressedPage() {
  const bool rows = Processes.ProcLst.ItemCount() > 0;
  if (asxToolbar1.Value("summary") && rows) Summary.RefreshOverallRating();
  // A program with no running instance is not rated here: left alone, the summary
  // would go on showing the previous program's rating under this one's name.
  if (!rows) Summary.ClearOverallRating();
  if (asxToolbar1.Value("textinmem") && rows && Texts.FileTextTxt.Text().empty()) Texts.RunTextSearch();
  if (asxToolbar1.Value("modules") && rows && Modules.ModsLst.ItemCount() == 0 && !IsNT4) Modules.ListModules();
  if (asxToolbar1.Value("riskmon")) RiskMon.Refresh();
}

// ---- Pages

void DetailsFrmForm::ShowPageFrame(int page, int left, int top) {
  for (int i = 0; i < 6; ++i)
    if (i != page) PageFrm[i].SetVisible(false);
  ui::Bounds frame = PageFrm[page].GetBounds();
  frame.x = left;
  frame.y = top;
  PageFrm[page].Move(frame);
  PageFrm[page].SetVisible(true);
}

void DetailsFrmForm::asxToolbar1_ButtonClick(int index) {
  if (index < 1 || index > 6) return;
  const ui::Bounds bar = asxToolbar1.GetBounds();
  ShowPageFrame(index - 1, bar.x, bar.y + bar.height + 1);
  RefFrm("", true);
}

void DetailsFrmForm::SelectLst_Click() {
  const int page = SelectLst.ListIndex();
  if (page < 0 || page > 5) return;
  const ui::Bounds list = SelectLst.GetBounds();
  ShowPageFrame(page, list.x + list.width + 2, PageFrm[page].GetBounds().y);
  RefFrm("", true);
}

void DetailsFrmForm::ShowPage(const std::string& key) {
  Load();
  asxToolbar1.ClickButton(key);
}

// ---- Back, Next, Refresh, Help, Close

void DetailsFrmForm::Walk(int step) {
  // A forced rebuild would walk every process on each click.
  DoProcessListOp(kProcRebuild, vb::BoolText(true));
  const int last = std::min<int>(ProgTableLast, static_cast<int>(ProgTable.size()) - 1);
  if (last < 0) return;
  int found = -1;
  // The table holds upper-case paths on NT while callers pass lower case.
  for (int i = 0; i <= last && found < 0; ++i)
    if (SamePath(ProgTable[static_cast<size_t>(i)][kProgPath], CurrentPath)) found = i;
  int target;
  if (found >= 0) {
    target = step < 0 ? (found == 0 ? last : found - 1) : (found == last ? 0 : found + 1);
  } else {
    RiskMon.ClearLists();
    target = step < 0 ? 0 : last;
  }
  RefFrm(ProgTable[static_cast<size_t>(target)][kProgPath], false);
}

void DetailsFrmForm::RefBtn_Click() { RefFrm(CurrentPath, false); }

void DetailsFrmForm::HelpBtn_Click() { ShowOnlineHelp("ProgramDetails"); }

void DetailsFrmForm::CloseBtn_Click() { Unload(); }

// ---- Lists

void DetailsFrmForm::Lists_DblClick(ui::ListView& list) {
  const std::vector<int> rows = list.SelectedRows();
  if (list.ItemCount() == 0 || rows.empty()) return;
  if (MsgBox("Would you like to copy the selected item to the clipboard?", MB_YESNO | MB_ICONQUESTION, hwnd()) == IDNO)
    return;
  const int row = rows.front();
  std::string text = list.ItemText(row);
  if (&list == &Summary.ProgInfoLst) {
    text += " : " + list.SubItem(row, 1);
  } else {
    for (int column = 1; column < list.ColumnCount(); ++column) text += " - " + list.SubItem(row, column);
  }
  ui::SetClipboardText(hwnd(), text);
  MsgBox("The item has been copied to the clipboard", MB_OK | MB_ICONINFORMATION, hwnd());
}

// Text columns sort ignoring case, number columns by value; a second click turns the order.
void DetailsFrmForm::Lists_ColumnClick(ui::ListView& list, int column) {
  const bool ascending = list.SortKey() == column ? !list.SortAscending() : true;
  list.SortBy(column, ColumnKind(list, column), ascending);
}
