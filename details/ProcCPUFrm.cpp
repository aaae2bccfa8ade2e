#include "ProcCPUFrm.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <memory>

#include "DetailsFrm.h"
#include "FileChoice.h"
#include "ModMain.h"
#include "ModMainPlatform.h"
#include "ModProcMon.h"
#include "ModProgInfo.h"
#include "ModSettings.h"
#include "ModStartup.h"
#include "ProcMonCls.h"
#include "RatingImages.h"
#include "Seams.h"
#include "VbRules.h"
#include "ViewBindings.h"

ProcCPUFrmForm ProcCPUFrm;

namespace {

const COLORREF kBlack = 0, kRed = 255;
const int kPath = 1;  // the sub-item that holds a row's path

std::string ChooseProgramFile(HWND owner) {
  FileChoice choice;
  choice.filter = "Programs (*.exe)|*.exe|All files (*.*)|*.*";
  choice.title = "Browse";
  return ChooseFileToOpen(owner, choice).value_or("");
}

bool SamePath(const std::string& a, const std::string& b) { return vb::LCase(a) == vb::LCase(b); }

// The slot a monitored row stands for: the number after the "k" of its key.
int SlotOf(const ui::ListView& list, int row) { return static_cast<int>(vb::Val(list.Key(row).substr(1))); }

int FindPathRow(const ui::ListView& list, const std::string& path) {
  for (int row = 0; row < list.ItemCount(); ++row)
    if (SamePath(list.SubItem(row, kPath), path)) return row;
  return -1;
}

void SetRowStyle(ui::ListView& list, int row, COLORREF colour, bool bold) {
  for (int column = 0; column < list.ColumnCount(); ++column) list.SetCellStyle(row, column, colour, bold);
}

// The slots in use for a path, apart from one.
bool OtherSlotMonitors(const std::string& path, int slot) {
  for (int i = 0; i < MonitoredProgCount && i < static_cast<int>(MonitoredProgHist.size()); ++i)
    if (i != slot && MonitoredProgHist[i] && !MonitoredProgHist[i]->ExtraInfo.empty() &&
        SamePath(MonitoredProgHist[i]->ExtraInfo, path))
      return true;
  return false;
}

// Fills the instance lists for the path; then each instance's process id.
std::vector<DWORD> InstancesOf(const std::string& path) {
  DoProcessListOp(kProcDetailsInstances, path);
  std::vector<DWORD> ids;
  for (size_t i = 0; i < DetailsProcIdList.size() && i < DetailsProcPathList.size(); ++i)
    if (SamePath(DetailsProcPathList[i], path)) ids.push_back(DetailsProcIdList[i]);
  return ids;
}

}  // namespace

ProcCPUFrmForm::ProcCPUFrmForm()
    : Window({.caption = "Risk Monitor", .style = WS_POPUP, .width = 640, .height = 400, .keyPreview = true}),
      Label1(*this, {8, 8, 240, 16}, "Running Programs"),
      AppsLV(*this, {8, 26, 240, 260}),
      Label2(*this, {392, 8, 240, 16}, "Programs under Monitoring"),
      CurrentProcLV(*this, {392, 26, 240, 260}),
      AddBtn(*this, {256, 60, 128, 24}, "Add >>"),
      AddInActiveBtn(*this, {256, 92, 128, 24}, "Add inactive program ..."),
      RemoveBtn(*this, {256, 124, 128, 24}, "<< Remove "),
      MoreInfoBtn(*this, {504, 300, 128, 24}, "More Info..."),
      CurrProcName(*this, {8, 300, 380, 16}),
      Label3(*this, {8, 324, 130, 16}, "Overall Risk Rating:"),
      OverallRatingLbl(*this, {140, 324, 60, 16}),
      RatingTextLbl(*this, {8, 348, 300, 16}),
      OveralllRatingImg(*this, {320, 300, 36, 36}) {
  for (ui::ListView* list : {&AppsLV, &CurrentProcLV}) {
    list->AddColumn("Application Name", "Application Name", 100);
    list->AddColumn("Application Path", "Application Path", 200);
  }
  AddBtn.Click = [this] { AddBtn_Click(); };
  AppsLV.DblClick = [this](int) { AddBtn_Click(); };
  AddInActiveBtn.Click = [this] { AddInActiveBtn_Click(); };
  RemoveBtn.Click = [this] { RemoveBtn_Click(); };
  MoreInfoBtn.Click = [this] { MoreInfoBtn_Click(); };
  CurrentProcLV.ItemClick = [this](int row) { CurrentProcLV_ItemClick(row); };
  CurrentProcLV.SelectionChanged = [this](int) { CurrentProcLV_SelectionChanged(); };
  CurrentProcLV.DblClick = [this](int) { CurrentProcLV_DblClick(); };
  OveralllRatingImg.Paint = [this](HDC dc) {
    ImageList_Draw(RatingImgList().handle(), RatingPicture - 1, dc, 2, 2, ILD_NORMAL);
  };
  ChooseProgram = [this] { return ChooseProgramFile(hwnd()); };
  Views.procCpu = {.form = this,
                   .AddProcess = [](const std::string& title, const std::string& path, bool notRunning) {
                     return ProcCPUFrm.AddProcess(title, path, notRunning);
                   },
                   .RefreshMe = [] { ProcCPUFrm.RefreshMe(); }};
}

void ProcCPUFrmForm::Form_Load() {
  SetBackColor(FormBackColor);
  CurrProcName.SetText("Select program");
  OverallRatingLbl.SetText("%");
  ShowRatingPicture(1);
  RatingTextLbl.SetText("");
  SetButtonsFromSelection();
}

void ProcCPUFrmForm::Form_Resize() {
  // The two lists share the width either side of the buttons and take the height over
  // the selected program's rating.
  const int margin = 8, gap = 8, buttonWidth = 156, w = ScaleWidth(), h = ScaleHeight();
  if (w <= 0 || h <= 0) return;
  const int listWidth = std::max((w - 2 * margin - buttonWidth - 2 * gap) / 2, 80);
  const int listHeight = std::max(h - 26 - 14 - 66 - margin, 60);
  const int buttonsLeft = margin + listWidth + gap, rightLeft = buttonsLeft + buttonWidth + gap;
  Label1.Move({margin, 8, listWidth, 16});
  AppsLV.Move({margin, 26, listWidth, listHeight});
  Label2.Move({rightLeft, 8, listWidth, 16});
  CurrentProcLV.Move({rightLeft, 26, listWidth, listHeight});
  AddBtn.Move({buttonsLeft, 60, buttonWidth, 24});
  AddInActiveBtn.Move({buttonsLeft, 92, buttonWidth, 24});
  RemoveBtn.Move({buttonsLeft, 124, buttonWidth, 24});
  const int top = 26 + listHeight + 14, right = rightLeft + listWidth;
  MoreInfoBtn.Move({right - 128, top, 128, 24});
  const int pictureLeft = right - 128 - gap - 36;
  OveralllRatingImg.Move({pictureLeft, top, 36, 36});
  const int textWidth = std::max(pictureLeft - margin - gap, 0);
  CurrProcName.Move({margin, top, textWidth, 16});
  Label3.Move({margin, top + 24, 130, 16});
  OverallRatingLbl.Move({margin + 132, top + 24, 60, 16});
  RatingTextLbl.Move({margin, top + 48, textWidth, 16});
}

void ProcCPUFrmForm::Form_KeyDown(int& keyCode, int) {
  if (keyCode == VK_F1) ShowOnlineHelp("ProcCPU_Usage");
  if (keyCode == VK_F5) RefreshMe();
}

void ProcCPUFrmForm::ShowRatingPicture(int picture) {
  RatingPicture = picture < 1 ? 1 : picture > 11 ? 11 : picture;
  OveralllRatingImg.Refresh();
}

bool ProcCPUFrmForm::AddProcess(const std::string& title, const std::string& path, bool notRunning) {
  {
    ProcMonCls log;
    if (!log.WriteStartToLogFile(path)) {
      // Monitoring that records nothing would look like a clean program.
      MsgBox("The log file " + ProcMonCls::LogPathOf(path) + " can't be written, so the program can't be monitored.",
             MB_OK | MB_ICONSTOP, hwnd());
      return false;
    }
  }
  int row = CurrentProcLV.AddItem(title);
  CurrentProcLV.SetSubItem(row, kPath, path);
  int slot = -1;
  for (int i = 0; i < MonitoredProgCount && slot < 0; ++i)
    if (!MonitoredProgHist[i] || MonitoredProgHist[i]->ExtraInfo.empty()) slot = i;
  if (slot < 0) {
    slot = MonitoredProgCount++;
    MonitoredProgHist.resize(MonitoredProgCount);
  }
  MonitoredProgHist[slot] = std::make_unique<HistogramCls>();
  MonitoredProgHist[slot]->ExtraInfo = path;
  MonitoredProgHist[slot]->StartCounting(100);
  CurrentProcLV.SetKey(row, "k" + std::to_string(slot));
  SaveSetting(ProgramTitle, "tmpcpu", path, "1");

  if (IsProgramInTable(path) &&
      MsgBox("In order to avoid missing events that are performed by the program at startup, we recommend that you "
             "terminate and restart the program. Thus, Quillon will be able to detect events that are performed at "
             "the startup of the program. Would like to terminate and restart the program?",
             MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, hwnd()) == IDYES &&
      MsgBox("Terminating a program can cause undesired results including loss of data and system instability. Are "
             "you sure you want to terminate the program ?",
             MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, hwnd()) == IDYES) {
    DoProcessListOp(kProcEndByName, path);
    seams::ShellRequest request;
    request.owner = hwnd();
    request.file = path;
    request.directory = "C:\\";
    request.show = SW_SHOWNORMAL;
    seams::ShellExecuteFn(request);  // the watch hooks the new process as it starts
    ui::DoEvents();
  }
  if (!notRunning)
    for (DWORD pid : InstancesOf(path)) BrackelRefHook(pid);
  return true;
}

void ProcCPUFrmForm::RemoveProcess(int16_t slot, const std::string& path) {
  // By the slot's key: two rows may hold one path, and each stands for its own slot.
  int row = CurrentProcLV.FindKey("k" + std::to_string(slot));
  if (row < 0 || slot < 0 || slot >= static_cast<int>(MonitoredProgHist.size())) return;
  if (!OtherSlotMonitors(path, slot)) {
    // The value goes first, so the watch does not hook the program again.
    DeleteSetting(ProgramTitle, "tmpcpu", path);
    for (DWORD pid : InstancesOf(path)) BrackelEjectHook(pid);
  }
  if (MonitoredProgHist[slot]) MonitoredProgHist[slot]->ExtraInfo.clear();
  CurrentProcLV.RemoveItem(row);
  ProcMonCls log;
  log.WriteStopToLogFile(path);
}

void ProcCPUFrmForm::RefreshMe() {
  if (CurrentProcLV.SelectedRows().empty()) CurrProcName.SetText("Select program");
  DoProcessListOp(kProcRebuild, vb::BoolText(true));
  ui::ListView::RedrawGuard appsQuiet(AppsLV), monitoredQuiet(CurrentProcLV);
  for (int i = 0; i <= ProgTableLast && i < static_cast<int>(ProgTable.size()); ++i) {
    const std::string& path = ProgTable[i][kProgPath];
    if (path.empty()) continue;
    // The monitored list is asked first: a program put under monitoring from elsewhere
    // (the program list's command) may still have its row among the running ones, and
    // found there it would never mark its monitored row running. Left untagged, that
    // row goes below.
    if (MarkMonitoredRunning(path)) continue;
    int row = FindPathRow(AppsLV, path);
    if (row < 0) {
      std::string name = GetFileInfoField(2, path);
      if (name.size() < 3) {
        GetFileInfoField(1, path);
        name = VersionFields[6];
      }
      row = AppsLV.AddItem(name);
      AppsLV.SetSubItem(row, kPath, path);
    }
    AppsLV.SetTag(row, "1");
  }
  for (int row = AppsLV.ItemCount() - 1; row >= 0; --row)
    if (AppsLV.Tag(row) != "1") AppsLV.RemoveItem(row);
  for (int row = 0; row < CurrentProcLV.ItemCount(); ++row)
    if (CurrentProcLV.Tag(row) != "1") SetRowStyle(CurrentProcLV, row, kRed, false);
  for (int row = 0; row < AppsLV.ItemCount(); ++row) AppsLV.SetTag(row, "0");
  for (int row = 0; row < CurrentProcLV.ItemCount(); ++row) {
    const bool running = CurrentProcLV.Tag(row) == "1";
    int slot = SlotOf(CurrentProcLV, row);
    bool busy = false;
    if (running && slot >= 0 && slot < static_cast<int>(MonitoredProgHist.size()) && MonitoredProgHist[slot]) {
      const HistogramCls& history = *MonitoredProgHist[slot];
      busy = history.Get_Data(0, history.Get_Pointer(0)) > 0;
    }
    SetRowStyle(CurrentProcLV, row, running ? kBlack : kRed, busy);
    CurrentProcLV.SetTag(row, "0");
  }
}

bool ProcCPUFrmForm::MarkMonitoredRunning(const std::string& path) {
  bool monitored = false;
  for (int m = 0; m < CurrentProcLV.ItemCount(); ++m) {
    if (!SamePath(CurrentProcLV.SubItem(m, kPath), path)) continue;
    SetRowStyle(CurrentProcLV, m, kBlack, CurrentProcLV.CellBold(m, 0));
    CurrentProcLV.SetTag(m, "1");
    monitored = true;
  }
  return monitored;
}

void ProcCPUFrmForm::AddBtn_Click() {
  // The rows are read first: removing rows while walking the selection skips rows.
  struct Chosen {
    int id;
    std::string title, path;
  };
  std::vector<Chosen> chosen;
  for (int row : AppsLV.SelectedRows()) chosen.push_back({AppsLV.RowId(row), AppsLV.ItemText(row), AppsLV.SubItem(row, kPath)});
  for (Chosen& program : chosen) {
    if (!AddProcess(program.title, program.path, false)) break;
    int row = AppsLV.RowOfId(program.id);
    if (row >= 0) AppsLV.RemoveItem(row);
  }
  RefreshMe();
}

void ProcCPUFrmForm::AddInActiveBtn_Click() {
  std::string path = ChooseProgram ? ChooseProgram() : "";
  if (path.empty() || GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) return;
  AddProcess(GetFileInfoField(2, path), path, true);
  RefreshMe();
}

void ProcCPUFrmForm::RemoveBtn_Click() {
  if (MsgBox("Are you sure you want stop monitoring the selected processes?",
             MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, hwnd()) != IDYES)
    return;
  std::vector<std::pair<int, std::string>> chosen;
  for (int row : CurrentProcLV.SelectedRows())
    chosen.emplace_back(SlotOf(CurrentProcLV, row), CurrentProcLV.SubItem(row, kPath));
  for (const auto& program : chosen) RemoveProcess(static_cast<int16_t>(program.first), program.second);
  if (CurrentProcLV.ItemCount() == 0) {
    MoreInfoBtn.SetEnabled(false);
    RemoveBtn.SetEnabled(false);
  }
  RefreshMe();
}

void ProcCPUFrmForm::MoreInfoBtn_Click() {
  std::vector<int> selected = CurrentProcLV.SelectedRows();
  if (selected.empty()) {
    MoreInfoBtn.SetEnabled(false);
    RemoveBtn.SetEnabled(false);
    return;
  }
  ShowFrm(DetailsFrm);
  DetailsFrm.RefFrm(CurrentProcLV.SubItem(selected.front(), kPath), false);
}

void ProcCPUFrmForm::CurrentProcLV_ItemClick(int) {
  MoreInfoBtn.SetEnabled(true);
  RemoveBtn.SetEnabled(true);
  ShowSelectedProgram();
}

void ProcCPUFrmForm::CurrentProcLV_SelectionChanged() { SetButtonsFromSelection(); }

void ProcCPUFrmForm::SetButtonsFromSelection() {
  const bool selected = !CurrentProcLV.SelectedRows().empty();
  MoreInfoBtn.SetEnabled(selected);
  RemoveBtn.SetEnabled(selected);
}

void ProcCPUFrmForm::CurrentProcLV_DblClick() {
  std::vector<int> selected = CurrentProcLV.SelectedRows();
  if (CurrentProcLV.ItemCount() == 0 || selected.empty()) return;
  ShowFrm(DetailsFrm);
  DetailsFrm.RefFrm(CurrentProcLV.SubItem(selected.front(), kPath), false);
  DetailsFrm.ShowPage("riskmon");
}

void ProcCPUFrmForm::ShowSelectedProgram() {
  std::vector<int> selected = CurrentProcLV.SelectedRows();
  if (selected.empty()) {
    CurrProcName.SetText("Select program");
    OverallRatingLbl.SetText("%");
    ShowRatingPicture(1);
    RatingTextLbl.SetText("");
    return;
  }
  int row = selected.front();
  CurrProcName.SetText("Program: " + CurrentProcLV.ItemText(row));
  OverallRatingLbl.SetText(std::to_string(GetRiskRating(CurrentProcLV.SubItem(row, kPath))) + "%");
  std::string text = OverallRatingLbl.Text();
  int16_t rating = static_cast<int16_t>(vb::Val(text.substr(0, text.size() - 1)));
  ShowRatingPicture(RatingPictureOf(rating));
  RatingTextLbl.SetText(GetRiskLevelText(rating));
}
