#include "MiniToolsStartUpTab.h"

#include <commctrl.h>

#include "AddStartupFrm.h"
#include "DetailsFrm.h"
#include "Mainfrm.h"
#include "ModMain.h"
#include "ModMainPlatform.h"
#include "Seams.h"
#include "StartUpEntries.h"
#include "VbRules.h"
#include "ViewBindings.h"

namespace {

enum StartUpColumn { kStartUpName = 0, kStartUpStatus = 1, kStartUpCmdLine = 2, kStartUpKey = 3, kStartUpRunning = 4 };

int16_t RunTypeOf(const std::string& tag) {
  const double value = vb::Val(tag);
  return value >= 0 && value <= 6 ? static_cast<int16_t>(value) : 0;
}

}  // namespace

MiniToolsStartUpTab::MiniToolsStartUpTab(ui::Window& form, ui::Container& page)
    : StartUpLV(form, {8, 8, 525, 290}),
      cmdAdd0(form, {8, 306, 70, 24}, "&Add"),
      cmdAdd1(form, {82, 306, 70, 24}, "&Ed&it"),
      EnableBtn0(form, {156, 306, 70, 24}, "&Enable"),
      EnableBtn1(form, {230, 306, 70, 24}, "&Disable"),
      detailsBtn(form, {304, 306, 70, 24}, "De&tails"),
      SwitchBtn(form, {378, 306, 70, 24}, "&Jump to it"),
      cmdDel(form, {452, 306, 70, 24}, "&Delete"),
      form_(form) {
  for (const auto& column : {std::make_pair("Program Name", 120), std::make_pair("Status", 60),
                             std::make_pair("Command Line", 220), std::make_pair("Key", 200),
                             std::make_pair("Running", 70)})
    StartUpLV.AddColumn(column.first, column.first, column.second);
  for (ui::Control* c : std::initializer_list<ui::Control*>{&StartUpLV, &cmdAdd0, &cmdAdd1, &EnableBtn0, &EnableBtn1,
                                                             &detailsBtn, &SwitchBtn, &cmdDel})
    c->SetContainer(page);

  StartUpLV.ColumnClick = [this](int column) { StartUpLV_ColumnClick(column); };
  StartUpLV.DblClick = [this](int) { detailsBtn_Click(); };
  cmdAdd0.Click = [this] { cmdAdd_Click(0); };
  cmdAdd1.Click = [this] { cmdAdd_Click(1); };
  EnableBtn0.Click = [this] { EnableBtn_Click(0); };
  EnableBtn1.Click = [this] { EnableBtn_Click(1); };
  detailsBtn.Click = [this] { detailsBtn_Click(); };
  SwitchBtn.Click = [this] { SwitchBtn_Click(); };
  cmdDel.Click = [this] { cmdDel_Click(); };
}

void MiniToolsStartUpTab::Prepare() {
  // Images 1 and 2 of the list: an enabled and a disabled entry.
  if (IntProgImg.Count() == 0) {
    IntProgImg.Add(LoadIcon(nullptr, IDI_APPLICATION), "Enabled");
    IntProgImg.Add(LoadIcon(nullptr, IDI_HAND), "Disabled");
  }
  StartUpLV.SetImageList(LVSIL_SMALL, IntProgImg.handle());
  toolTips_ = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, form_.hwnd(), nullptr, GetModuleHandleA(nullptr), nullptr);
  const std::pair<ui::Button*, const char*> tips[] = {
      {&cmdAdd0, "Add new start-up program"},
      {&cmdAdd1, "Edit selected program."},
      {&EnableBtn0, "Enable selected program"},
      {&EnableBtn1,
       "Disable selected program. Disabling the program will stop it from running at startup but will not delete "
       "it entirely. "},
      {&detailsBtn, "View details about the selected program"},
      {&SwitchBtn, "Jump to the program in Task Manager programs list"},
      {&cmdDel, "Delete selected program"},
  };
  for (const auto& tip : tips) {
    TOOLINFOA info{};
    info.cbSize = sizeof info;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = form_.hwnd();
    info.uId = reinterpret_cast<UINT_PTR>(tip.first->hwnd());
    info.lpszText = const_cast<char*>(tip.second);
    SendMessageA(toolTips_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
  }
}

void MiniToolsStartUpTab::Refresh() {
  if (RefreshPage)
    RefreshPage();
  else
    RefreshStartUpList();
}

// ---- The list

void MiniToolsStartUpTab::RefreshStartUpList() { ShowEntries(ReadStartUpEntries()); }

void MiniToolsStartUpTab::EnsureStartUpList() {
  if (listRead_) return;
  // The rows go into the page's list control, which exists once the page is loaded.
  form_.Load();
  // A question asked since the page was made read the entries for it, as the page
  // would have: those are the ones it shows.
  ShowEntries(StartUpEntriesReadCount() != readsWhenMade_ ? StartUpEntriesAsRead() : ReadStartUpEntries());
}

void MiniToolsStartUpTab::ShowEntries(const std::vector<StartUpEntry>& entries) {
  listRead_ = true;
  shown_.clear();
  {
    ui::ListView::RedrawGuard guard(StartUpLV);
    StartUpLV.Clear();
    AddRows(entries);
    // Rows are placed by their name as they come; the chosen column orders them now.
    if (StartUpLV.Sorted()) StartUpLV.Sort();
  }
  cmdDel.SetEnabled(StartUpLV.ItemCount() > 0);
}

void MiniToolsStartUpTab::GetKeysRunType(HKEY hive, const std::string& keyPath, int16_t runType) {
  AddRows(ReadStartUpRunType(hive, keyPath, runType));
}

void MiniToolsStartUpTab::AddRows(const std::vector<StartUpEntry>& entries) {
  for (const StartUpEntry& entry : entries) {
    const int row = StartUpLV.AddItem(entry.name, entry.enabled ? 0 : 1, std::to_string(shown_.size()));
    shown_.push_back(entry);
    StartUpLV.SetTag(row, std::to_string(entry.runType));
    StartUpLV.SetCells(row, {entry.name, entry.enabled ? "Enabled" : "Disabled", entry.cmdLine, entry.keyText,
                             entry.running ? "Running" : "Not Running"});
    if (entry.running) StartUpLV.SetRowBold(row, true);
  }
}

int16_t MiniToolsStartUpTab::SearchStartUpLV(const std::string& Path) {
  EnsureStartUpList();
  const std::string wanted = vb::LCase(Path);
  // In the list's order, which a column click may have changed.
  for (int row = 0; row < StartUpLV.ItemCount(); ++row) {
    const size_t at = static_cast<size_t>(vb::Val(StartUpLV.Key(row)));
    if (at < shown_.size() && StartUpEntryRuns(shown_[at], wanted))
      return static_cast<int16_t>(ui::ListView::ToOneBased(row));
  }
  return 0;
}

void MiniToolsStartUpTab::StartUpLV_ColumnClick(int column) {
  StartUpLV.SortBy(column, ui::SortKind::kText, !StartUpLV.SortAscending());
  StartUpLV.SetSorted(true);
}

int MiniToolsStartUpTab::SelectedStartUpRow() const {
  const std::vector<int> rows = StartUpLV.SelectedRows();
  return rows.empty() ? -1 : rows.front();
}

bool MiniToolsStartUpTab::SelectStartUpEntry(const std::string& name, const std::string& keyText, bool disabled) {
  for (int row = 0; row < StartUpLV.ItemCount(); ++row) {
    if (StartUpLV.ItemText(row) != name || StartUpLV.SubItem(row, kStartUpKey) != keyText ||
        (StartUpLV.SubItem(row, kStartUpStatus) == "Disabled") != disabled)
      continue;
    for (int other : StartUpLV.SelectedRows()) StartUpLV.SetSelected(other, false);
    StartUpLV.SetSelected(row, true);
    StartUpLV.SetFocusedRow(row);
    if (StartUpLV.hwnd()) SendMessageA(StartUpLV.hwnd(), LVM_ENSUREVISIBLE, row, FALSE);
    return true;
  }
  return false;
}

void MiniToolsStartUpTab::Layout(ui::Container& page) {
  RECT inner{};
  if (!page.hwnd() || !GetClientRect(page.hwnd(), &inner)) return;
  const int margin = 8, gap = 4, height = 24;
  const int width = inner.right - 2 * margin, top = inner.bottom - margin - height;
  if (width < 100 || top < 40) return;
  StartUpLV.Move({margin, margin, width, top - 2 * margin});
  ui::Button* buttons[] = {&cmdAdd0, &cmdAdd1, &EnableBtn0, &EnableBtn1, &detailsBtn, &SwitchBtn, &cmdDel};
  const int each = (width - 6 * gap) / 7;
  for (int i = 0; i < 7; ++i) buttons[i]->Move({margin + i * (each + gap), top, each, height});
}

// ---- The commands

void MiniToolsStartUpTab::EnableBtn_Click(int16_t Index) {
  const int row = SelectedStartUpRow();
  if (row < 0 || (Index != 0 && Index != 1)) return;
  const bool disabled = StartUpLV.SubItem(row, kStartUpStatus) == "Disabled";
  // Enable acts on disabled rows only, Disable on enabled ones: a namesake under "-"
  // is another entry, not a copy to clean away.
  if ((Index == 0) != disabled) return;
  const std::string name = StartUpLV.ItemText(row), keyText = StartUpLV.SubItem(row, kStartUpKey);
  const int16_t runType = RunTypeOf(StartUpLV.Tag(row));
  const StartUpPlace enabledPlace = StartUpPlaceOf(keyText, runType),
                     disabledPlace = StartUpPlaceOf(keyText + "-", runType);
  const bool enabling = Index == 0;
  const std::string targetText = enabling ? keyText : keyText + "-";
  switch (MoveStartUpValue(enabling ? disabledPlace : enabledPlace, enabling ? enabledPlace : disabledPlace, name)) {
    case StartUpChange::kFailed:
      MsgBox("The start-up program '" + name + "' couldn't be written to " + targetText + "; nothing was changed.",
             MB_OK | MB_ICONSTOP, form_.hwnd());
      break;
    case StartUpChange::kNameTaken:
      MsgBox("A start-up program named '" + name + "' is already in " + targetText + "; nothing was changed.",
             MB_OK | MB_ICONEXCLAMATION, form_.hwnd());
      break;
    default:
      break;
  }
  Refresh();
  if (!SelectStartUpEntry(name, keyText, !disabled)) SelectStartUpEntry(name, keyText, disabled);
}

void MiniToolsStartUpTab::AddStartUp(const std::string& Name, const std::string& KeyText, int16_t RunType,
                                     const std::string& CmdLine) {
  if (!WriteStartUpValue(StartUpPlaceOf(KeyText, RunType), Name, StartUpCommandValue(CmdLine)))
    MsgBox("The start-up program '" + Name + "' couldn't be written to " + KeyText + "; nothing was changed.",
           MB_OK | MB_ICONSTOP, form_.hwnd());
  Refresh();
  const bool disabled = !KeyText.empty() && KeyText.back() == '-';
  SelectStartUpEntry(Name, disabled ? KeyText.substr(0, KeyText.size() - 1) : KeyText, disabled);
}

void MiniToolsStartUpTab::DelStartUp(const std::string& Name, const std::string& KeyText, int16_t RunType) {
  DeleteStartUpValue(StartUpPlaceOf(KeyText, RunType), Name);
  Refresh();
}

void MiniToolsStartUpTab::cmdDel_Click() {
  const int row = SelectedStartUpRow();
  if (row < 0) return;
  const std::string name = StartUpLV.ItemText(row);
  const int answer = seams::MessageBoxFn(
      DialogOwner(form_.hwnd()),
      "Are you sure you want to delete the program/service '" + name + "' from the startup list?", "Confirm Delete",
      MB_YESNO | MB_ICONQUESTION);
  if (answer == IDNO) return;
  const std::string keyText = StartUpLV.SubItem(row, kStartUpKey);
  const bool disabled = StartUpLV.SubItem(row, kStartUpStatus) == "Disabled";
  DelStartUp(name, disabled ? keyText + "-" : keyText, RunTypeOf(StartUpLV.Tag(row)));
}

void MiniToolsStartUpTab::cmdAdd_Click(int16_t Index) {
  if (Index == 0) {
    AddStartupFrm.ShowAddStartUpFrm("", "");
    return;
  }
  const int row = SelectedStartUpRow();
  if (row < 0) return;
  AddStartupFrm.ShowModifyStartUpFrm(StartUpLV.ItemText(row), StartUpLV.SubItem(row, kStartUpKey),
                                     StartUpLV.SubItem(row, kStartUpCmdLine), RunTypeOf(StartUpLV.Tag(row)),
                                     StartUpLV.SubItem(row, kStartUpStatus) == "Disabled");
}

void MiniToolsStartUpTab::detailsBtn_Click() {
  const int row = SelectedStartUpRow();
  if (row < 0) return;
  const std::string path = GetStartUpProgPath(StartUpLV.SubItem(row, kStartUpCmdLine));
  ShowFrm(DetailsFrm);
  DetailsFrm.RefFrm(path, false);
}

void MiniToolsStartUpTab::SwitchBtn_Click() {
  const int row = SelectedStartUpRow();
  if (row < 0) return;
  if (Views.frame.ClickPageButton) Views.frame.ClickPageButton("Quillon");
  Mainfrm.Toolbar3.SetValue("All", true);
  Mainfrm.Toolbar3_ButtonClick("All");
  const std::string path = GetStartUpProgPath(StartUpLV.SubItem(row, kStartUpCmdLine));
  ui::ListView& apps = Mainfrm.AppLst;
  // The lists key their rows by path, in the case the system gives (upper case on NT).
  for (int app = 0; app < apps.ItemCount(); ++app) {
    if (path.empty() || vb::LCase(apps.Key(app)) != path) continue;
    for (int other : apps.SelectedRows()) apps.SetSelected(other, false);
    apps.SetSelected(app, true);
    apps.SetFocusedRow(app);
    if (apps.hwnd()) SendMessageA(apps.hwnd(), LVM_ENSUREVISIBLE, app, FALSE);
    return;
  }
  MsgBox("The program is not currently running", MB_OK | MB_ICONEXCLAMATION, form_.hwnd());
}
