#include "DetailsFrm.h"

#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

#include "CancelEvent.h"
#include "Clipboard.h"
#include "ListColumns.h"
#include "Mainfrm.h"
#include "ModMain.h"
#include "ModMainPlatform.h"
#include "ModProcMon.h"
#include "ModProgInfo.h"
#include "ModSettings.h"
#include "ModStartup.h"
#include "ModStartupPlatform.h"
#include "MoreToolsFrm.h"
#include "ProcCPUFrm.h"
#include "ProcMonCls.h"
#include "RatingImages.h"
#include "SpywareSearchFrm.h"
#include "VbRules.h"
#include "ViewBindings.h"

DetailsFrmForm DetailsFrm;

const char kNotRatedText[] = "No rating: the program is not running, so its risk was not measured.";

namespace {

// 1000 twips at 15 twips a pixel.
const int kColumnWidth = 67;
const ui::Bounds kPage = {8, 96, 624, 330};
const char* const kPageKeys[6] = {"summary", "processes", "modules", "textinmem", "riskmon", "remtools"};
const char* const kNotActive = " (the program is not active)";
const char* const kTerminateWarning =
    "Terminating a program can cause undesired results including loss of data and system instability. "
    "Are you sure you want to terminate the selected program(s)";
// The texts of the version rows by VersionFields index; the internal name (3) is never shown.
const char* const kVersionCaptions[8] = {"Company Name",    "File Description",  "File Version", "Internal Name",
                                         "Legal Copyright", "Original FileName", "Product Name", "Product Version"};
const char* const kPriorityKeys[4] = {"Idle", "Normal", "High", "RealTime"};
// Memory is read in pieces of at most this size: a whole region can exceed what a
// 32-bit program can allocate.
const size_t kReadPiece = 1024 * 1024;
// Events run during a search at most this often: a pump per chunk costs far more
// than the scan itself.
const DWORD kPumpEveryMs = 30;
// The bar is a few hundred pixels wide: finer steps only cost redraws (about 1 ms each here).
const int kProgressSteps = 1000;

bool SamePath(const std::string& a, const std::string& b) { return vb::UCase(a) == vb::UCase(b); }

int Scaled(unsigned long long done, unsigned long long total) {
  if (total == 0) return 0;
  if (done >= total) return kProgressSteps;
  return static_cast<int>(done * kProgressSteps / total);
}

// The image path of a process, read through its modules.
std::string ImagePathOfProcess(DWORD processId) {
  std::string path;
  if (HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId)) {
    path = ProcessImagePath(process);
    CloseHandle(process);
  }
  if (!path.empty()) return path;
  HANDLE modules = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId);
  if (modules == INVALID_HANDLE_VALUE) return "";
  MODULEENTRY32 module = {};
  module.dwSize = sizeof module;
  if (Module32First(modules, &module)) path = module.szExePath;
  CloseHandle(modules);
  return path;
}

// Filter button pictures: a small triangle pointing down (closed) or up (open).
HBITMAP MakeFilterPicture(bool open) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP picture = CreateCompatibleBitmap(screen, 16, 16);
  HGDIOBJ old = SelectObject(dc, picture);
  RECT all = {0, 0, 16, 16};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  POINT down[3] = {{3, 5}, {13, 5}, {8, 11}}, up[3] = {{3, 11}, {13, 11}, {8, 5}};
  HBRUSH fill = CreateSolidBrush(RGB(40, 90, 160));
  HGDIOBJ oldBrush = SelectObject(dc, fill);
  Polygon(dc, open ? up : down, 3);
  SelectObject(dc, oldBrush);
  DeleteObject(fill);
  SelectObject(dc, old);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return picture;
}

HBITMAP FilterPicture(bool open) {
  static HBITMAP closedPicture = MakeFilterPicture(false), openPicture = MakeFilterPicture(true);
  return open ? openPicture : closedPicture;
}

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

void Place(ui::Control& container, std::initializer_list<ui::Control*> controls) {
  for (ui::Control* c : controls) c->SetContainer(container);
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
      Frame1(*this, {0, 0, 308, 204}, "General Information"),
      Frame2(*this, {316, 0, 308, 204}, "General Risky Properties"),
      ProgInfoLst(*this, {8, 18, 292, 120}),
      GeneralRiskLV(*this, {8, 18, 292, 120}),
      detailsTxt{{*this, {8, 142, 292, 54}, "", ES_MULTILINE | ES_READONLY | WS_VSCROLL},
                 {*this, {8, 142, 292, 54}, "", ES_MULTILINE | ES_READONLY | WS_VSCROLL},
                 {*this, {44, 234, 580, 90}, "", ES_MULTILINE | ES_READONLY | WS_VSCROLL}},
      Label3(*this, {0, 212, 130, 18}, "Overall Risk Rating:"),
      OverallRatingLbl(*this, {134, 212, 80, 18}),
      OveralllRatingImg(*this, {0, 234, 36, 36}),
      Label1(*this, {0, 0, 624, 32},
             "Each program may have several running instances, these instances are called processes. The following "
             "is a list of processes owned by the specified program:"),
      Toolbar1(*this, {0, 34, 624, 28}, false, {150, 26}),
      ProcLst(*this, {0, 66, 624, 262}),
      Label2(*this, {0, 0, 624, 32},
             "The following is a list of all modules, executable files, or dynamic-link libraries (DLL) used by the "
             "specified program:"),
      ModsLst(*this, {0, 34, 624, 294}),
      textsOpt{{*this, {0, 0, 320, 20}, "Find readable text in the program memory", true},
               {*this, {0, 22, 320, 20}, "Find readable text in the program exe file"}},
      FileTextTxt(*this, {0, 46, 624, 250}, "", ES_MULTILINE | ES_READONLY | WS_VSCROLL | WS_HSCROLL),
      StopBtn(*this, {0, 302, 80, 24}, "Stop"),
      Label5(*this, {90, 306, 110, 18}, "Loading progress:"),
      ProgressBar1(*this, {204, 304, 420, 20}),
      AddBtn(*this, {0, 0, 130, 24}, "Start Monitoring"),
      RemoveBtn(*this, {136, 0, 130, 24}, "Stop Monitoring"),
      Label6(*this, {276, 4, 44, 18}, "Status:"),
      RecStatusLbl(*this, {344, 0, 280, 46}),
      IndShp(*this, {322, 5, 14, 14}),
      RiskMonSTab(*this, {0, 50, 624, 278}, {"What this program has done", "Activity log", "CPU usage"}),
      CanDoLV(*this, {4, 4, 380, 214}),
      CanDoTxt(*this, {390, 4, 226, 240}, "", ES_MULTILINE | ES_READONLY | WS_VSCROLL),
      // A monitor log can hold 100,000 lines: the rows live in the model alone.
      RiskLogLV(*this, {4, 4, 380, 214}, LVS_REPORT | LVS_OWNERDATA),
      LongDescTxt(*this, {390, 4, 226, 124}, "", ES_MULTILINE | ES_READONLY | WS_VSCROLL),
      ExtraInfoTxt(*this, {390, 132, 226, 112}, "", ES_MULTILINE | ES_READONLY | WS_VSCROLL),
      FiltersLV{{*this, {4, 219, 380, 24}}, {*this, {4, 219, 380, 24}}},
      Toolbar2{{*this, {4, 219, 380, 24}, false, {80, 22}}, {*this, {4, 219, 380, 24}, false, {80, 22}}},
      ProcCPUGrph(*this, {4, 4, 500, 240}),
      IntervalOpt{{*this, {512, 10, 104, 20}, "This minute", true},
                  {*this, {512, 34, 104, 20}, "This hour"},
                  {*this, {512, 58, 104, 20}, "This 24 hours"}},
      Label4(*this, {0, 0, 624, 32},
             "The following are some tools that help you stop/remove running programs that you think may be "
             "harmeful:"),
      TerminateProg(*this, {0, 40, 170, 26}, "Terminate Program"),
      QrtBtn(*this, {0, 106, 170, 26}, "Send To the Quarantine"),
      RemStartUpBtn(*this, {0, 188, 170, 26}, "Remove from Start-up"),
      SearchBtn(*this, {0, 254, 170, 26}, "Search the Internet"),
      RemLbl{{*this, {180, 40, 444, 62},
              "Instantly terminates the specified program. You will lose any unsaved information. The program will "
              "not have the chance to stop itself from termination."},
             {*this, {180, 106, 444, 78},
              "Terminate and Isolate the specified program. This tools is important in some cases, for example the "
              "program may be using some tricks to run itself once it's terminated. When quarantined, Quillon "
              "terminates the file and instantly renames it, thus it can't be launched again. You can manage "
              "quarantined files from Quarantine list. "},
             {*this, {180, 188, 444, 62},
              "Disables the specified program from start-up. This button will be disabled if the program is not "
              "already in start-up list. You can enable the program again from Start-up manager"},
             {*this, {180, 254, 444, 30}, "Search top spyware databases for this program. "}},
      Label7{{*this, {0, 306, 150, 18}, "Open Quarantine"}, {*this, {170, 306, 200, 18}, "Open Start-up Manager"}} {
  for (int i = 0; i < 6; ++i) PageFrm[i].SetVisible(i == 0);
  SelectLst.SetVisible(false);
  const char* captions[6] = {"Summary", "Processes", "Modules", " Readable  Texts ", "    Risk Monitor    ",
                             "Removal Tools"};
  for (int i = 0; i < 6; ++i) asxToolbar1.Add(kPageKeys[i], captions[i], "", 1);
  asxToolbar1.ButtonClick = [this](int index, const std::string&) { asxToolbar1_ButtonClick(index); };
  SelectLst.Click = [this] { SelectLst_Click(); };

  // Summary.
  Place(PageFrm[0], {&Frame1, &Frame2, &Label3, &OverallRatingLbl, &OveralllRatingImg});
  detailsTxt[2].SetContainer(PageFrm[0]);
  ProgInfoLst.SetContainer(Frame1);
  detailsTxt[0].SetContainer(Frame1);
  GeneralRiskLV.SetContainer(Frame2);
  detailsTxt[1].SetContainer(Frame2);
  ProgInfoLst.AddColumn("item", "item", 110);
  ProgInfoLst.AddColumn("data", "data", 400);
  GeneralRiskLV.AddColumn("Behaviour", "Behaviour", 200);
  GeneralRiskLV.AddColumn("Rating", "Rating", 120);
  ProgInfoLst.ItemClick = [this](int row) { ProgInfoLst_ItemClick(row); };
  GeneralRiskLV.ItemClick = [this](int row) { GeneralRiskLV_ItemClick(row); };
  OveralllRatingImg.Paint = [this](HDC dc) {
    ImageList_Draw(RatingImgList().handle(), RatingPicture - 1, dc, 2, 2, ILD_NORMAL);
  };

  // Processes and modules.
  Place(PageFrm[1], {&Label1, &Toolbar1, &ProcLst});
  Label2.SetContainer(PageFrm[2]);
  ModsLst.SetContainer(PageFrm[2]);
  Toolbar1.Add("Increase Priority", "Increase Priority", "Increase the priority of the selected process");
  Toolbar1.Add("Decrease Priority", "Decrease Priority", "Decrease the priority of the selected process");
  Toolbar1.Add("Terminate Process", "Terminate Process", "Terminate the selected process");
  Toolbar1.SetDropDown("Increase Priority", true);
  Toolbar1.ButtonClick = [this](int, const std::string& key) { Toolbar1_ButtonClick(key); };
  Toolbar1.DropDown = [this](int, const std::string&) { Toolbar1_ButtonDropDown(); };
  mnuPriority = &PriorityMenu.Add("Priority");
  const char* priorityCaptions[4] = {"&Idle", "&Normal", "&High", "&RealTime"};
  for (int k = 1; k <= 4; ++k) mnuPriority->Add(priorityCaptions[k - 1]).Click = [this, k] { mnuPriority_Click(k); };
  for (const ListColumn& c : ListColumns(ColumnList::kDetailsModules, IsWinNTFlag))
    ModsLst.AddColumn(c.key, c.title, kColumnWidth);
  for (ui::ListView* list : {&ProgInfoLst, &ProcLst, &ModsLst}) list->DblClick = [this, list](int) { Lists_DblClick(*list); };
  for (ui::ListView* list : {&ProcLst, &ModsLst, &CanDoLV, &RiskLogLV})
    list->ColumnClick = [this, list](int column) { Lists_ColumnClick(*list, column); };

  // Readable texts.
  Place(PageFrm[3], {&textsOpt[0], &textsOpt[1], &FileTextTxt, &StopBtn, &Label5, &ProgressBar1});
  // Memory is the source until the user picks the file.
  textsOpt[0].SetValue(true);
  for (ui::OptionButton& option : textsOpt) option.Click = [this] { textsOpt_Click(); };
  StopBtn.Click = [this] { StopBtn_Click(); };

  // Risk monitor.
  Place(PageFrm[4], {&AddBtn, &RemoveBtn, &Label6, &RecStatusLbl, &IndShp, &RiskMonSTab});
  Place(RiskMonSTab.Page(0), {&CanDoLV, &CanDoTxt, &FiltersLV[0], &Toolbar2[0]});
  Place(RiskMonSTab.Page(1), {&RiskLogLV, &LongDescTxt, &ExtraInfoTxt, &FiltersLV[1], &Toolbar2[1]});
  ProcCPUGrph.SetContainer(RiskMonSTab.Page(2));
  for (ui::OptionButton& option : IntervalOpt) {
    option.SetContainer(RiskMonSTab.Page(2));
    option.Click = [this] { RefreshMe(); };
  }
  CanDoLV.AddColumn("Event", "Event", 240);
  CanDoLV.AddColumn("Risk Rating", "Risk Rating", 120);
  RiskLogLV.AddColumn("Time", "Time", 70);
  RiskLogLV.AddColumn("Description", "Description", 200);
  RiskLogLV.AddColumn("Extra Information", "Extra Information", 200);
  CanDoLV.ItemClick = [this](int row) { CanDoLV_ItemClick(row); };
  RiskLogLV.ItemClick = [this](int row) { RiskLogLV_ItemClick(row); };
  for (int t = 0; t < 2; ++t) {
    FiltersLV[t].AddColumn("Select the desired filter", "Select the desired filter", 300);
    FiltersLV[t].SetCheckBoxes(true);
    FiltersLV[t].SetVisible(false);
    FiltersLV[t].ItemCheck = [this, t](int row) { FiltersLV_ItemCheck(t, row); };
    Toolbar2[t].Add("Filter", "Filter ", "Show or hide the filters");
    Toolbar2[t].ButtonClick = [this, t](int, const std::string&) { Toolbar2_ButtonClick(t); };
  }
  RiskMonSTab.Click = [this](int) { RefreshMe(); };
  LogFillTimer.Tick = [this] { FillRiskLogBatch(); };
  AddBtn.Click = [this] { AddBtn_Click(); };
  RemoveBtn.Click = [this] { RemoveBtn_Click(); };

  // Removal tools.
  Place(PageFrm[5], {&Label4, &TerminateProg, &QrtBtn, &RemStartUpBtn, &SearchBtn, &Label7[0], &Label7[1]});
  for (ui::Label& label : RemLbl) label.SetContainer(PageFrm[5]);
  for (int i = 0; i < 2; ++i) {
    Label7[i].SetForeColor(RGB(0, 0, 255));
    Label7[i].Click = [this, i] { Label7_Click(i); };
  }
  TerminateProg.Click = [this] { TerminateProg_Click(); };
  QrtBtn.Click = [this] { QrtBtn_Click(); };
  RemStartUpBtn.Click = [this] { RemStartUpBtn_Click(); };
  SearchBtn.Click = [this] { SearchBtn_Click(); };

  BackBtn.Click = [this] { BackBtn_Click(); };
  NextBtn.Click = [this] { NextBtn_Click(); };
  RefBtn.Click = [this] { RefBtn_Click(); };
  HelpBtn.Click = [this] { HelpBtn_Click(); };
  CloseBtn.Click = [this] { CloseBtn_Click(); };

  Views.details = {.form = this, .ProcLst = &ProcLst, .ModsLst = &ModsLst,
                   .RefreshMe = [] { DetailsFrm.RefreshMe(); }};
}

DetailsFrmForm::~DetailsFrmForm() {
  if (iconPicture_) DeleteObject(iconPicture_);
}

// ---- Loading

void DetailsFrmForm::Form_Load() {
  asxToolbar1.SetButtonEnabled("riskmon", IsWinNTFlag);
  InitRiskCategories();
  FillFilterLists();
  FilterPanelOpen[0] = FilterPanelOpen[1] = false;
  for (int t = 0; t < 2; ++t) Toolbar2[t].SetPicture("Filter", FilterPicture(false), RGB(255, 255, 255));
  asxToolbar1.SetValue(1, true);
  ShowPageFrame(0, kPage.x, kPage.y);
  SetFlatToolbar(Toolbar1.hwnd());
  CreateProcColumns(IsWinNTFlag);
  ModsLst.SetVisible(!IsNT4);
  SendMessageA(FileTextTxt.hwnd(), EM_SETLIMITTEXT, 0x7FFFFFFE, 0);
  StopBtn.SetEnabled(false);
  ProgressBar1.SetValue(0);
  IndShp.SetBackColor(RGB(255, 0, 0));
  ShowRatingPicture(1);
}

void DetailsFrmForm::CreateProcColumns(bool windowsNT) {
  ProcLst.ClearColumns();
  for (const ListColumn& c : ListColumns(ColumnList::kDetailsProcesses, windowsNT))
    ProcLst.AddColumn(c.key, c.title, kColumnWidth);
}

void DetailsFrmForm::FillFilterLists() {
  settingFilters_ = true;
  for (ui::ListView& list : FiltersLV) {
    list.Clear();
    for (const RiskCategory& category : RiskCategories) {
      const int row = list.AddItem(category.Name);
      list.SetChecked(row, category.Shown);
    }
  }
  FiltersLV[1].AddItem("Remove Repeated Items", -1, "RemoveRepeatedItems");
  settingFilters_ = false;
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
  ProcLst.Clear();
  ModsLst.Clear();
  ProgInfoLst.Clear();
  GeneralRiskLV.Clear();
  ClearRiskMonLists();
  FileTextTxt.SetText("");
  CurrentPath.clear();
  displayName_.clear();
  MonitorIndex = -1;
  // The graph keeps no history it could outlive.
  ProcCPUGrph.Refresh(nullptr, 0);
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
      if (ProcLst.ItemCount() == 0) ProgIntNameLbl.SetText(displayName_ + kNotActive);
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
  DWORD keep = 0;
  if (SamePath(path, CurrentPath)) {
    const std::vector<int> rows = ProcLst.SelectedRows();
    if (!rows.empty()) keep = static_cast<DWORD>(vb::Val(ProcLst.ItemText(rows.front())));
  }
  CurrentPath = path;
  ProgInfoLst.Clear();
  ProcLst.Clear();
  ModsLst.Clear();
  FileTextTxt.SetText("");
  detailsTxt[0].SetText("");
  detailsTxt[1].SetText("");
  FillInstances(keep);
  FillProgInfo();
  GeneralRiskLV.Clear();
  // The start-up list is read once per refresh, before the risky properties ask it
  // whether the program starts with Windows.
  MoreToolsFrm.RefreshMe(false);
  if (ProcLst.ItemCount() > 0) FillGeneralRisk();
  ShowHeader();
  const bool rows = ProcLst.ItemCount() > 0;
  for (const char* key : {"Increase Priority", "Decrease Priority", "Terminate Process"})
    Toolbar1.SetButtonEnabled(key, rows);
  RemStartUpBtn.SetEnabled(MoreToolsFrm.SearchStartUpLV(CurrentPath) != 0);
  ClearRiskMonLists();
}

void DetailsFrmForm::ShowEmpty() {
  ProgInfoLst.Clear();
  ProcLst.Clear();
  ModsLst.Clear();
  GeneralRiskLV.Clear();
  FileTextTxt.SetText("");
  ClearRiskMonLists();
  displayName_.clear();
  ProgIntNameLbl.SetText("(none)");
  ProgIcnPic.SetVisible(false);
  for (const char* key : {"Increase Priority", "Decrease Priority", "Terminate Process"})
    Toolbar1.SetButtonEnabled(key, false);
  RemStartUpBtn.SetEnabled(false);
}

// Mode 3 writes the rows only while DetailsRefreshing is set; the first row is
// selected, or the instance selected before when the same program is refreshed.
void DetailsFrmForm::FillInstances(DWORD keep) {
  {
    ui::ListView::RedrawGuard guard(ProcLst);
    DetailsRefreshing = true;
    DoProcessListOp(kProcDetailsInstances, CurrentPath);
    DetailsRefreshing = false;
  }
  if (ProcLst.ItemCount() == 0) return;
  int row = keep ? ProcLst.FindItem(std::to_string(keep)) : -1;
  if (row < 0) row = 0;
  ProcLst.SetSelected(row, true);
  ProcLst.SetFocusedRow(row);
}

void DetailsFrmForm::FillProgInfo() {
  GetFileInfoField(1, CurrentPath);
  for (int i = 0; i < 8; ++i) {
    if (i == 3 || VersionFields[i].empty()) continue;
    ProgInfoLst.SetSubItem(ProgInfoLst.AddItem(kVersionCaptions[i]), 1, VersionFields[i]);
  }
  ProgInfoLst.SetSubItem(ProgInfoLst.AddItem("Full path"), 1, CurrentPath);
  std::string signer;
  // One check per file (and none again while it stays unchanged): the signer comes
  // with the answer.
  const bool isSigned = CachedFileSignature(CurrentPath, &signer);
  ProgInfoLst.SetSubItem(ProgInfoLst.AddItem("Digital Signatures"), 1,
                         isSigned ? "The digital signature on the file has been verified. If you trust -" + signer +
                                        "- then you should trust the file."
                                  : "The file is not signed or signature verification failed");
}

void DetailsFrmForm::FillGeneralRisk() {
  for (int code = 120; code <= LastStaticRiskCode; ++code) {
    if (!CheckStaticRisk(static_cast<int16_t>(code), CurrentPath)) continue;
    const int row = GeneralRiskLV.AddItem(GetRiskDescription(static_cast<int16_t>(code)));
    GeneralRiskLV.SetTag(row, std::to_string(code));
    GeneralRiskLV.SetSubItem(row, 1, std::to_string(GetRiskScore(static_cast<int16_t>(code))));
    ShowRiskRating(GeneralRiskLV, row, 1, false);
  }
}

void DetailsFrmForm::ShowHeader() {
  displayName_ = GetFileInfoField(2, CurrentPath);
  ProgIntNameLbl.SetText(displayName_);
  const ui::Bounds picture = ProgIcnPic.GetBounds();
  ui::Bounds label = ProgIntNameLbl.GetBounds();
  HICON icon = GetFileIcon(CurrentPath, true);
  if (iconPicture_) {
    ProgIcnPic.SetPicture(nullptr);
    DeleteObject(iconPicture_);
    iconPicture_ = nullptr;
  }
  if (icon) {
    // Drawn once into a picture of our own, so the icon can go at once.
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    iconPicture_ = CreateCompatibleBitmap(screen, picture.width, picture.height);
    HGDIOBJ old = SelectObject(dc, iconPicture_);
    RECT all = {0, 0, picture.width, picture.height};
    FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
    DrawIconEx(dc, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL | DI_DEFAULTSIZE);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    DestroyIcon(icon);
    ProgIcnPic.SetPicture(iconPicture_);
    ProgIcnPic.SetVisible(true);
    label.x = picture.x + picture.width + 2;
  } else {
    ProgIcnPic.SetVisible(false);
    label.x = picture.x;
  }
  ProgIntNameLbl.Move(label);
}

void DetailsFrmForm::RefreshPressedPage() {
  const bool rows = ProcLst.ItemCount() > 0;
  if (asxToolbar1.Value("summary") && rows) RefreshOverallRating();
  // A program with no running instance is not rated here: left alone, the summary
  // would go on showing the previous program's rating under this one's name.
  if (!rows) ClearOverallRating();
  if (asxToolbar1.Value("textinmem") && rows && FileTextTxt.Text().empty()) RunTextSearch();
  if (asxToolbar1.Value("modules") && rows && ModsLst.ItemCount() == 0 && !IsNT4) ListModules();
  if (asxToolbar1.Value("riskmon")) RefreshRiskMonPage();
}

void DetailsFrmForm::ListModules() {
  const DWORD pid = SelectedOwnProcess();
  if (!pid) return;
  ui::ListView::RedrawGuard guard(ModsLst);
  DetailsRefreshing = true;
  ListProcessModules(pid, nullptr);
  DetailsRefreshing = false;
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
    ClearRiskMonLists();
    target = step < 0 ? 0 : last;
  }
  RefFrm(ProgTable[static_cast<size_t>(target)][kProgPath], false);
}

void DetailsFrmForm::RefBtn_Click() { RefFrm(CurrentPath, false); }

void DetailsFrmForm::HelpBtn_Click() { ShowOnlineHelp("ProgramDetails"); }

void DetailsFrmForm::CloseBtn_Click() { Unload(); }

// ---- Lists

void DetailsFrmForm::ProgInfoLst_ItemClick(int row) {
  if (row < 0 || row >= ProgInfoLst.ItemCount()) return;
  detailsTxt[0].SetText(ProgInfoLst.ItemText(row) + " : " + ProgInfoLst.SubItem(row, 1));
}

void DetailsFrmForm::GeneralRiskLV_ItemClick(int row) {
  if (row < 0 || row >= GeneralRiskLV.ItemCount()) return;
  detailsTxt[1].SetText(GetRiskDetails(static_cast<int16_t>(vb::Val(GeneralRiskLV.Tag(row)))));
}

void DetailsFrmForm::Lists_DblClick(ui::ListView& list) {
  const std::vector<int> rows = list.SelectedRows();
  if (list.ItemCount() == 0 || rows.empty()) return;
  if (MsgBox("Would you like to copy the selected item to the clipboard?", MB_YESNO | MB_ICONQUESTION, hwnd()) == IDNO)
    return;
  const int row = rows.front();
  std::string text = list.ItemText(row);
  if (&list == &ProgInfoLst) {
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

// ---- Processes page

int DetailsFrmForm::PriorityColumn() const {
  return ColumnIndexOf(ColumnList::kDetailsProcesses, IsWinNTFlag, kDetProcPriority);
}

DWORD DetailsFrmForm::SelectedOwnProcess() const {
  const std::vector<int> rows = ProcLst.SelectedRows();
  if (rows.empty() || CurrentPath.empty()) return 0;
  const DWORD pid = static_cast<DWORD>(vb::Val(ProcLst.ItemText(rows.front())));
  // The id may have ended and been given to another program since the fill.
  if (!pid || !SamePath(ImagePathOfProcess(pid), CurrentPath)) return 0;
  return pid;
}

void DetailsFrmForm::SetSelectedPriority(int step, int position) {
  const DWORD pid = SelectedOwnProcess();
  HANDLE process = pid ? OpenProcess(PROCESS_SET_INFORMATION, FALSE, pid) : nullptr;
  if (process) {
    int target = -1;
    if (position >= 1 && position <= 4) {
      target = position - 1;
    } else {
      const std::vector<int> rows = ProcLst.SelectedRows();
      const std::string name = ProcLst.SubItem(rows.front(), PriorityColumn());
      int at = -1;
      for (int i = 0; i < 4; ++i)
        if (GetPriorityName(PriorityClasses[i]) == name) at = i;
      if (at >= 0 && at + step >= 0 && at + step <= 3) target = at + step;
    }
    if (target >= 0) SetPriorityClass(process, static_cast<DWORD>(PriorityClasses[target]));
    CloseHandle(process);
  }
  RefFrm(CurrentPath, false);
}

void DetailsFrmForm::Toolbar1_ButtonClick(const std::string& key) {
  if (key == "Increase Priority") return SetSelectedPriority(1, 0);
  if (key == "Decrease Priority") return SetSelectedPriority(-1, 0);
  if (key != "Terminate Process") return;
  const DWORD pid = SelectedOwnProcess();
  if (pid) {
    if (ProcWarn && MsgBox("Are you sure you want to terminate the selected process?", MB_YESNO | MB_ICONQUESTION,
                           hwnd()) == IDNO)
      return;
    // This very process: the walker's cache may predate it or hold a reused id.
    if (HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid)) {
      if (TerminateProcess(process, 0)) ui::WaitServingEvents(process, 2000);
      CloseHandle(process);
    }
  }
  RefFrm(CurrentPath, false);
}

void DetailsFrmForm::Toolbar1_ButtonDropDown() {
  RECT button = Toolbar1.ButtonRect(Toolbar1.IndexOf("Increase Priority"));
  POINT at = {button.left, button.bottom};
  ClientToScreen(Toolbar1.hwnd(), &at);
  PriorityMenu.Popup(*this, *mnuPriority, at);
}

void DetailsFrmForm::mnuPriority_Click(int position) { SetSelectedPriority(0, position); }

// ---- Readable texts

void DetailsFrmForm::LetEventsRun() {
  // The real clock: tests move the program's tick seam, not the time the pump costs.
  const DWORD now = GetTickCount();
  if (static_cast<DWORD>(now - lastPump_) < kPumpEveryMs) return;
  ui::DoEvents();
  lastPump_ = GetTickCount();
}

void DetailsFrmForm::textsOpt_Click() {
  ui::DoEvents();
  RefFrm(CurrentPath, false);
}

void DetailsFrmForm::RunTextSearch() {
  StopRequested = false;
  FileTextTxt.SetEnabled(false);
  StopBtn.SetEnabled(true);
  ProgressBar1.SetValue(0);
  ui::DoEvents();
  const bool memory = textsOpt[0].Value();
  FileTextTxt.SetText(memory ? "Reading memory ... This may take few moments, please wait ..."
                             : "Reading exe file... This may take few moments, please wait ...");
  ui::DoEvents();
  lastPump_ = GetTickCount();
  std::string result = memory ? FindTexts(SelectedOwnProcess()) : FindTextsInExe();
  // Stopped for another program or a close: its strings belong to no page.
  if (pendingRef_ || unloadAfterFill_ || !hwnd()) return;
  FileTextTxt.SetText(result);
  StopRequested = false;
  StopBtn.SetEnabled(false);
  if (result.empty()) {
    FileTextTxt.SetText(memoryUnanswered_ ? "The program's memory can't be read: the program does not answer."
                                          : "No strings were found!");
    FileTextTxt.SetEnabled(false);
  } else {
    FileTextTxt.SetEnabled(true);
  }
}

namespace {

// A walk of another process's memory runs on a thread of its own: a process that
// is stopped (suspended, or held by a debugger) answers neither VirtualQueryEx nor
// ReadProcessMemory, and the thread that asks waits as long as it stays so. The
// walk's state is shared, so a walk given up can finish (or stay stuck) alone.
struct MemoryTextWalk {
  HANDLE process = nullptr;
  HANDLE done = nullptr;
  uintptr_t low = 0, high = 0;
  TextScanState scan;
  std::atomic<uintptr_t> address{0};
  std::atomic<unsigned> calls{0};  // answered questions to the process: it still moves
  std::atomic<bool> stop{false};
  std::mutex lock;  // over texts
  std::string texts;
  ~MemoryTextWalk() {
    if (process) CloseHandle(process);
    if (done) CloseHandle(done);
  }
};

void WalkMemoryTexts(MemoryTextWalk& walk) {
  std::vector<uint8_t> buffer;
  std::string found;
  uintptr_t address = walk.low;
  while (address < walk.high && !walk.stop) {
    MEMORY_BASIC_INFORMATION region = {};
    if (VirtualQueryEx(walk.process, reinterpret_cast<LPCVOID>(address), &region, sizeof region) != sizeof region)
      break;
    ++walk.calls;
    const auto base = reinterpret_cast<uintptr_t>(region.BaseAddress);
    const size_t size = region.RegionSize;
    if (region.Type == MEM_PRIVATE && region.State == MEM_COMMIT && size > 0) {
      for (size_t offset = 0; offset < size && !walk.stop; offset += kReadPiece) {
        const size_t piece = std::min(kReadPiece, size - offset);
        buffer.resize(piece);
        SIZE_T read = 0;
        const BOOL ok =
            ReadProcessMemory(walk.process, reinterpret_cast<LPCVOID>(base + offset), buffer.data(), piece, &read);
        ++walk.calls;
        if (!ok && read == 0) break;
        // One region is one run of bytes: only its first piece may start the scan afresh.
        {
          std::lock_guard<std::mutex> hold(walk.lock);
          if (offset == 0)
            ScanBytes(walk.scan, buffer.data(), read, walk.texts);
          else
            ScanMoreBytes(walk.scan, buffer.data(), read, walk.texts);
        }
        if (read < piece) break;
      }
    }
    const uintptr_t next = base + size;
    if (next <= address) break;  // a walk that does not move forward would never end
    address = next;
    walk.address = address;
  }
}

// How long the process may leave one question unanswered before the walk is given up.
const DWORD kMemoryAnswerMs = 3000;

}  // namespace

std::string DetailsFrmForm::FindTexts(DWORD processId) {
  memoryUnanswered_ = false;
  // Query information, memory read and memory operation: nothing here writes.
  HANDLE process = processId ? OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | PROCESS_VM_OPERATION,
                                           FALSE, processId)
                             : nullptr;
  if (!process) return {};
  auto walk = std::make_shared<MemoryTextWalk>();
  walk->process = process;
  walk->done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  SYSTEM_INFO info = {};
  GetSystemInfo(&info);
  walk->low = reinterpret_cast<uintptr_t>(info.lpMinimumApplicationAddress);
  walk->high = reinterpret_cast<uintptr_t>(info.lpMaximumApplicationAddress);
  walk->address = walk->low;
  walk->scan = Scan;
  ProgressBar1.SetMax(kProgressSteps);
  if (!walk->done) return {};
  try {
    std::thread([walk] {
      WalkMemoryTexts(*walk);
      SetEvent(walk->done);
    }).detach();
  } catch (const std::system_error&) {
    return {};
  }
  unsigned answered = 0;
  DWORD lastAnswer = GetTickCount();
  int shown = -1;
  for (;;) {
    if (ui::WaitServingEvents(walk->done, 50, [this] { return StopRequested; })) break;
    const int value = Scaled(walk->address - walk->low, walk->high - walk->low);
    if (value != shown) ProgressBar1.SetValue(shown = value);
    if (StopRequested || !hwnd()) break;
    if (walk->calls != answered) {
      answered = walk->calls;
      lastAnswer = GetTickCount();
    } else if (GetTickCount() - lastAnswer >= kMemoryAnswerMs) {
      memoryUnanswered_ = true;
      break;
    }
  }
  walk->stop = true;
  std::lock_guard<std::mutex> hold(walk->lock);
  Scan = walk->scan;
  return walk->texts;
}

std::string DetailsFrmForm::FindTextsInExe() {
  HANDLE file = CreateFileA(CurrentPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  LARGE_INTEGER length = {};
  GetFileSizeEx(file, &length);
  ProgressBar1.SetMax(kProgressSteps);
  struct Progress {
    DetailsFrmForm* form;
    unsigned long long length;
    int shown;  // asking the bar its value is a message too: the last one set is kept here
  } progress{this, static_cast<unsigned long long>(length.QuadPart), -1};
  auto read = [](void* source, uint8_t* into, size_t most) -> size_t {
    DWORD got = 0;
    if (!ReadFile(static_cast<HANDLE>(source), into, static_cast<DWORD>(most), &got, nullptr)) return 0;
    return got;
  };
  auto chunkDone = [](void* context, unsigned long long scanned) {
    auto& p = *static_cast<Progress*>(context);
    const int value = Scaled(scanned, p.length);
    if (value != p.shown) p.form->ProgressBar1.SetValue(p.shown = value);
    p.form->LetEventsRun();
    return !p.form->StopRequested;
  };
  std::string result =
      StopRequested ? std::string() : ScanInChunks(Scan, kReadPiece, read, file, chunkDone, &progress);
  CloseHandle(file);
  return result;
}

// ---- Removal tools

void DetailsFrmForm::TerminateProg_Click() {
  if (MsgBox(std::string(kTerminateWarning) + "?", MB_YESNO | MB_ICONQUESTION, hwnd()) == IDNO) return;
  Mainfrm.DestroyAndRes(CurrentPath, false);
  RefFrm(CurrentPath, false);
}

void DetailsFrmForm::QrtBtn_Click() {
  if (MsgBox(std::string(kTerminateWarning) + " and move it to the quarantine?", MB_YESNO | MB_ICONQUESTION,
             hwnd()) == IDNO)
    return;
  const std::string path = CurrentPath;
  CancelFlag = false;
  CancelEvent.lblCancel.SetText("Terminating and isolating: " + path + " ...");
  CancelEvent.Show();
  ui::PauseServingEvents(500, [] { return CancelFlag; });
  if (!CancelFlag && TerminateAndQuarantine(path) == 0)
    MsgBox("The program " + path + " can't be send to the quarantine.", MB_OK | MB_ICONERROR, hwnd());
  CancelFlag = false;
  CancelEvent.Hide();
}

void DetailsFrmForm::RemStartUpBtn_Click() {
  const int16_t k = MoreToolsFrm.SearchStartUpLV(CurrentPath);
  if (k >= 1) {
    ui::ListView& list = MoreToolsFrm.StartUpLV;
    for (int row : list.SelectedRows()) list.SetSelected(row, false);
    list.SetSelected(ui::ListView::FromOneBased(k), true);
    MoreToolsFrm.EnableBtn_Click(1);
  }
  RemStartUpBtn.SetEnabled(MoreToolsFrm.SearchStartUpLV(CurrentPath) >= 1);
}

void DetailsFrmForm::SearchBtn_Click() {
  // The path first: unloading empties it.
  const std::string path = CurrentPath;
  SpywareSearchFrm.Load();
  Unload();
  SpywareSearchFrm.ShowSpywareSearchFrm(path);
}

void DetailsFrmForm::Label7_Click(int index) {
  if (index == 0) {
    ShowFrm(Views.quarantine.form);
    return;
  }
  ShowInterfaceFrm();
  if (Views.frame.ClickPageButton) Views.frame.ClickPageButton("MoreTools");
  MoreToolsFrm.SSTab1.SetTab(2);
  const int16_t k = MoreToolsFrm.SearchStartUpLV(CurrentPath);
  if (k < 1) return;
  ui::ListView& list = MoreToolsFrm.StartUpLV;
  const int row = ui::ListView::FromOneBased(k);
  for (int selected : list.SelectedRows()) list.SetSelected(selected, false);
  list.SetSelected(row, true);
  if (list.hwnd()) SendMessageA(list.hwnd(), LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

// ---- Summary rating and the risk monitor page

void DetailsFrmForm::ShowRatingPicture(int picture) {
  RatingPicture = std::clamp(picture, 1, 11);
  OveralllRatingImg.Refresh();
}

namespace {
// The monitor slot of a program, -1 when it is not monitored.
int16_t MonitorSlotOf(const std::string& path) {
  for (int i = 0; i < MonitoredProgCount && i < static_cast<int>(MonitoredProgHist.size()); ++i)
    if (MonitoredProgHist[static_cast<size_t>(i)] && !path.empty() &&
        vb::LCase(MonitoredProgHist[static_cast<size_t>(i)]->ExtraInfo) == vb::LCase(path))
      return static_cast<int16_t>(i);
  return -1;
}
}  // namespace

void DetailsFrmForm::RefreshOverallRating() {
  OverallRatingLbl.SetText(std::to_string(GetRiskRating(CurrentPath)) + "%");
  const std::string text = OverallRatingLbl.Text();
  const auto rating = static_cast<int16_t>(vb::Val(text.substr(0, text.size() - 1)));
  ShowRatingPicture(RatingPictureOf(rating));
  OveralllRatingImg.SetVisible(true);
  std::string words = "Rating: " + GetRiskLevelText(rating) + "\r\n";
  if (MonitorSlotOf(CurrentPath) < 0)
    words += "\r\nThe above rating is based on general risky properties only. "
             "To make the rating based on real-time risky functions, "
             "choose Risk Monitor from above toolbar (not supported under Win 98/me).";
  detailsTxt[2].SetText(words);
}

void DetailsFrmForm::ClearOverallRating() {
  OverallRatingLbl.SetText("");
  // Picture 1 is the 0% picture: hidden, it claims nothing.
  OveralllRatingImg.SetVisible(false);
  detailsTxt[2].SetText(kNotRatedText);
}

void DetailsFrmForm::RefreshRiskMonPage() {
  const int16_t slot = MonitorSlotOf(CurrentPath);
  MonitorIndex = slot;
  if (slot >= 0 && MonitoredProgramUnhooked(CurrentPath)) {
    // Listed, yet nothing of it is recorded: an empty log must not read as a clean program.
    RecStatusLbl.SetText(
        "This program could not be monitored: its risky functions are not being recorded. Quillon tries again while "
        "it runs.");
    IndShp.SetBackColor(RGB(255, 160, 0));
    AddBtn.SetEnabled(false);
    RemoveBtn.SetEnabled(true);
    DoRefreshRiskMon();
  } else if (slot >= 0) {
    RecStatusLbl.SetText("This program is currently being monitored for risky functions.");
    IndShp.SetBackColor(RGB(0, 255, 0));
    AddBtn.SetEnabled(false);
    RemoveBtn.SetEnabled(true);
    DoRefreshRiskMon();
  } else {
    RecStatusLbl.SetText(
        "This program is not currently being monitored for risky functions. To start monitoring for this program "
        "press Start Monitoring button.");
    IndShp.SetBackColor(RGB(255, 0, 0));
    AddBtn.SetEnabled(true);
    RemoveBtn.SetEnabled(false);
  }
}

void DetailsFrmForm::ClearRiskMonLists() {
  StopRiskLogFill();
  CanDoLV.Clear();
  RiskLogLV.Clear();
  logShown_.clear();
  LogCounter = 0;
}

bool DetailsFrmForm::ItemRepeated(int16_t code, const std::string& rest) const {
  const int row = FiltersLV[1].FindKey("RemoveRepeatedItems");
  if (row < 0 || !FiltersLV[1].Checked(row)) return false;
  return logShown_.count({code, rest}) > 0;
}

void DetailsFrmForm::StopRiskLogFill() {
  LogFillTimer.SetEnabled(false);
  logToFill_.clear();
  logFillGuard_.reset();
}

void DetailsFrmForm::FillRiskLogBatch() {
  // About a third of the stall limit per pass; the clock is read every few rows.
  const DWORD kBatchMs = 30;
  const DWORD start = GetTickCount();
  int rows = 0;
  while (static_cast<size_t>(LogCounter) < logToFill_.size()) {
    const LogLine& line = logToFill_[static_cast<size_t>(LogCounter)];
    if (!ItemRepeated(line.code, line.rest) && !IsRiskCategoryHidden(line.code)) {
      const int row = RiskLogLV.AddItem(line.time);
      RiskLogLV.SetTag(row, std::to_string(line.code));
      RiskLogLV.SetSubItem(row, 1, GetRiskDescription(line.code));
      RiskLogLV.SetSubItem(row, 2, line.rest);
      logShown_.insert({line.code, line.rest});
    }
    ++LogCounter;
    if (++rows % 16 == 0 && GetTickCount() - start >= kBatchMs) break;
  }
  if (static_cast<size_t>(LogCounter) < logToFill_.size()) {
    // A timer comes after the user's input: clicks and keys are served between batches.
    LogFillTimer.SetInterval(1);
    LogFillTimer.SetEnabled(true);
    return;
  }
  StopRiskLogFill();  // the list draws again, once
}

void DetailsFrmForm::DoRefreshRiskMon() {
  if (MonitorIndex < 0 || MonitorIndex >= static_cast<int>(MonitoredProgHist.size())) return;
  const int tab = RiskMonSTab.Tab();
  if (tab == 2) {
    int k = 0;
    for (int i = 0; i < 3; ++i)
      if (IntervalOpt[i].Value()) k = i;
    ProcCPUGrph.Refresh(MonitoredProgHist[static_cast<size_t>(MonitorIndex)].get(), k);
    return;
  }
  if (tab != 0 && tab != 1) return;
  // A fill in progress takes its lines first; the next refresh adds what came since.
  if (tab == 1 && !logToFill_.empty()) return;
  std::vector<LogLine> lines;
  {
    ProcMonCls log;
    log.OpenLogFile(CurrentPath);
    LogLine line;
    while (log.GetNextLine(line.code, line.time, line.rest)) lines.push_back(line);
    log.CloseLogFile();
  }
  if (tab == 0) {
    for (const LogLine& line : lines) {
      if (line.code <= 120 || IsRiskCategoryHidden(line.code) || CanDoLV.FindKey(std::to_string(line.code)) >= 0)
        continue;
      const int row = CanDoLV.AddItem(GetRiskDescription(line.code), -1, std::to_string(line.code));
      CanDoLV.SetTag(row, std::to_string(line.code));
      CanDoLV.SetSubItem(row, 1, std::to_string(GetRiskScore(line.code)));
      ShowRiskRating(CanDoLV, row, 1, false);
    }
    return;
  }
  // A log shorter than what was taken was cleared: the list starts over.
  if (static_cast<int32_t>(lines.size()) < LogCounter) {
    RiskLogLV.Clear();
    logShown_.clear();
    LogCounter = 0;
  }
  if (static_cast<size_t>(LogCounter) >= lines.size()) return;
  logToFill_ = std::move(lines);
  logFillGuard_ = std::make_unique<ui::ListView::RedrawGuard>(RiskLogLV);
  FillRiskLogBatch();
}

void DetailsFrmForm::CanDoLV_ItemClick(int row) {
  if (row < 0 || row >= CanDoLV.ItemCount()) return;
  CanDoTxt.SetText(GetRiskDetails(static_cast<int16_t>(vb::Val(CanDoLV.Tag(row)))));
}

void DetailsFrmForm::RiskLogLV_ItemClick(int row) {
  if (row < 0 || row >= RiskLogLV.ItemCount()) return;
  LongDescTxt.SetText(GetRiskDetails(static_cast<int16_t>(vb::Val(RiskLogLV.Tag(row)))));
  ExtraInfoTxt.SetText(RiskLogLV.SubItem(row, 2));
}

void DetailsFrmForm::FiltersLV_ItemCheck(int list, int row) {
  // Checks the program sets itself are no choice of the user.
  if (settingFilters_ || row < 0 || row >= FiltersLV[list].ItemCount()) return;
  ClearRiskMonLists();
  if (FiltersLV[list].Key(row) != "RemoveRepeatedItems" && row < 5) {
    const bool shown = FiltersLV[list].Checked(row);
    RiskCategories[row].Shown = shown;
    settingFilters_ = true;
    for (ui::ListView& other : FiltersLV) other.SetChecked(row, shown);
    settingFilters_ = false;
  }
  RefreshMe();
}

void DetailsFrmForm::Toolbar2_ButtonClick(int t) {
  ui::ListView& list = t == 0 ? CanDoLV : RiskLogLV;
  ui::Bounds l = list.GetBounds(), bar = Toolbar2[t].GetBounds(), filters = FiltersLV[t].GetBounds();
  // The list's full height is what lies between its top and the toolbar's closed place.
  const int fullHeight = FilterPanelOpen[t] ? l.height * 2 : l.height;
  const int closedTop = l.y + fullHeight + 1;
  if (FilterPanelOpen[t]) {
    l.height = fullHeight;
    bar.y = closedTop;
    filters.y = closedTop;
    filters.height = bar.height;
  } else {
    l.height = fullHeight / 2;
    bar.y = l.y + l.height + 1;
    filters.y = bar.y + bar.height;
    filters.height = closedTop + bar.height - filters.y;
  }
  FilterPanelOpen[t] = !FilterPanelOpen[t];
  list.Move(l);
  Toolbar2[t].Move(bar);
  FiltersLV[t].Move(filters);
  FiltersLV[t].SetVisible(FilterPanelOpen[t]);
  Toolbar2[t].SetPicture("Filter", FilterPicture(FilterPanelOpen[t]), RGB(255, 255, 255));
}

void DetailsFrmForm::AddBtn_Click() {
  ClearRiskMonLists();
  LongDescTxt.SetText("");
  ExtraInfoTxt.SetText("");
  CanDoTxt.SetText("");
  // The program's name, not the header with its "not active" suffix.
  ProcCPUFrm.AddProcess(displayName_, CurrentPath, false);
  RefreshMe();
}

void DetailsFrmForm::RemoveBtn_Click() {
  if (MsgBox("Are you sure you want to stop monitoring this program?", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2,
             hwnd()) == IDNO)
    return;
  // The slot found when the page was drawn may have been removed and reused since.
  const int16_t slot = MonitorSlotOf(CurrentPath);
  if (slot >= 0) ProcCPUFrm.RemoveProcess(slot, CurrentPath);
  MonitorIndex = slot >= 0 ? -1 : MonitorIndex;
  DoRefreshRiskMon();
  RefreshMe();
}
