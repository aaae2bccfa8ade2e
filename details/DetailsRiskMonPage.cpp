#include "DetailsRiskMonPage.h"

#include "DetailsFrm.h"
#include "DrawnPicture.h"
#include "ModMain.h"
#include "ModMainPlatform.h"
#include "ModStartupPlatform.h"
#include "ModProcMon.h"
#include "ProcCPUFrm.h"
#include "ProcMonCls.h"
#include "VbRules.h"

namespace {

// Filter button pictures: a small triangle pointing down (closed) or up (open).
HBITMAP MakeFilterPicture(bool open) {
  return ui::DrawPicture(16, 16, RGB(255, 255, 255), [open](HDC dc) {
    POINT down[3] = {{3, 5}, {13, 5}, {8, 11}}, up[3] = {{3, 11}, {13, 11}, {8, 5}};
    // Outlined with the black pen a DC starts with.
    ui::DrawShape(dc, RGB(40, 90, 160), RGB(0, 0, 0), 1, [&](HDC d) { Polygon(d, open ? up : down, 3); });
  });
}

HBITMAP FilterPicture(bool open) {
  static HBITMAP closedPicture = MakeFilterPicture(false), openPicture = MakeFilterPicture(true);
  return open ? openPicture : closedPicture;
}

}  // namespace

DetailsRiskMonPage::DetailsRiskMonPage(DetailsFrmForm& form, ui::Container& frame)
    : AddBtn(form, {0, 0, 130, 24}, "Start Monitoring"),
      RemoveBtn(form, {136, 0, 130, 24}, "Stop Monitoring"),
      Label6(form, {276, 4, 44, 18}, "Status:"),
      RecStatusLbl(form, {344, 0, 280, 46}),
      IndShp(form, {322, 5, 14, 14}),
      RiskMonSTab(form, {0, 50, 624, 278}, {"What this program has done", "Activity log", "CPU usage"}),
      CanDoLV(form, {4, 4, 380, 214}),
      CanDoTxt(form, {390, 4, 226, 240}, "", ES_MULTILINE | ES_READONLY | WS_VSCROLL),
      // A monitor log can hold 100,000 lines: the rows live in the model alone.
      RiskLogLV(form, {4, 4, 380, 214}, LVS_REPORT | LVS_OWNERDATA),
      LongDescTxt(form, {390, 4, 226, 124}, "", ES_MULTILINE | ES_READONLY | WS_VSCROLL),
      ExtraInfoTxt(form, {390, 132, 226, 112}, "", ES_MULTILINE | ES_READONLY | WS_VSCROLL),
      FiltersLV{{form, {4, 219, 380, 24}}, {form, {4, 219, 380, 24}}},
      Toolbar2{{form, {4, 219, 380, 24}, false, {80, 22}}, {form, {4, 219, 380, 24}, false, {80, 22}}},
      ProcCPUGrph(form, {4, 4, 500, 240}),
      IntervalOpt{{form, {512, 10, 104, 20}, "This minute", true},
                  {form, {512, 34, 104, 20}, "This hour"},
                  {form, {512, 58, 104, 20}, "This 24 hours"}},
      form_(form),
      LogFillTimer(form) {
  for (ui::Control* c :
       std::initializer_list<ui::Control*>{&AddBtn, &RemoveBtn, &Label6, &RecStatusLbl, &IndShp, &RiskMonSTab})
    c->SetContainer(frame);
  for (ui::Control* c : std::initializer_list<ui::Control*>{&CanDoLV, &CanDoTxt, &FiltersLV[0], &Toolbar2[0]})
    c->SetContainer(RiskMonSTab.Page(0));
  for (ui::Control* c : std::initializer_list<ui::Control*>{&RiskLogLV, &LongDescTxt, &ExtraInfoTxt, &FiltersLV[1],
                                                            &Toolbar2[1]})
    c->SetContainer(RiskMonSTab.Page(1));
  ProcCPUGrph.SetContainer(RiskMonSTab.Page(2));
  for (ui::OptionButton& option : IntervalOpt) {
    option.SetContainer(RiskMonSTab.Page(2));
    option.Click = [this] { form_.RefreshMe(); };
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
  RiskMonSTab.Click = [this](int) { form_.RefreshMe(); };
  LogFillTimer.Tick = [this] { FillRiskLogBatch(); };
  AddBtn.Click = [this] { AddBtn_Click(); };
  RemoveBtn.Click = [this] { RemoveBtn_Click(); };
}

void DetailsRiskMonPage::Form_Load() {
  InitRiskCategories();
  FillFilterLists();
  FilterPanelOpen[0] = FilterPanelOpen[1] = false;
  for (int t = 0; t < 2; ++t) Toolbar2[t].SetPicture("Filter", FilterPicture(false), RGB(255, 255, 255));
  IndShp.SetBackColor(RGB(255, 0, 0));
}

void DetailsRiskMonPage::Form_Unload() {
  MonitorIndex = -1;
  // The graph keeps no history it could outlive.
  ProcCPUGrph.Refresh(nullptr, 0);
}

void DetailsRiskMonPage::FillFilterLists() {
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

int16_t DetailsRiskMonPage::MonitorSlotOf(const std::string& path) {
  for (int i = 0; i < MonitoredProgCount && i < static_cast<int>(MonitoredProgHist.size()); ++i)
    if (MonitoredProgHist[static_cast<size_t>(i)] && !path.empty() &&
        vb::LCase(MonitoredProgHist[static_cast<size_t>(i)]->ExtraInfo) == vb::LCase(path))
      return static_cast<int16_t>(i);
  return -1;
}

void DetailsRiskMonPage::Refresh() {
  const std::string& path = form_.CurrentPath;
  const int16_t slot = MonitorSlotOf(path);
  MonitorIndex = slot;
  if (slot >= 0 && MonitoredProgramUnhooked(path)) {
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

void DetailsRiskMonPage::ClearLists() {
  StopRiskLogFill();
  CanDoLV.Clear();
  RiskLogLV.Clear();
  logShown_.clear();
  LogCounter = 0;
}

bool DetailsRiskMonPage::ItemRepeated(int16_t code, const std::string& rest) const {
  const int row = FiltersLV[1].FindKey("RemoveRepeatedItems");
  if (row < 0 || !FiltersLV[1].Checked(row)) return false;
  return logShown_.count({code, rest}) > 0;
}

void DetailsRiskMonPage::StopRiskLogFill() {
  LogFillTimer.SetEnabled(false);
  logToFill_.clear();
  logFillGuard_.reset();
}

void DetailsRiskMonPage::FillRiskLogBatch() {
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

void DetailsRiskMonPage::DoRefreshRiskMon() {
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
    log.OpenLogFile(form_.CurrentPath);
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

void DetailsRiskMonPage::CanDoLV_ItemClick(int row) {
  if (row < 0 || row >= CanDoLV.ItemCount()) return;
  CanDoTxt.SetText(GetRiskDetails(static_cast<int16_t>(vb::Val(CanDoLV.Tag(row)))));
}

void DetailsRiskMonPage::RiskLogLV_ItemClick(int row) {
  if (row < 0 || row >= RiskLogLV.ItemCount()) return;
  LongDescTxt.SetText(GetRiskDetails(static_cast<int16_t>(vb::Val(RiskLogLV.Tag(row)))));
  ExtraInfoTxt.SetText(RiskLogLV.SubItem(row, 2));
}

void DetailsRiskMonPage::FiltersLV_ItemCheck(int list, int row) {
  // Checks the program sets itself are no choice of the user.
  if (settingFilters_ || row < 0 || row >= FiltersLV[list].ItemCount()) return;
  ClearLists();
  if (FiltersLV[list].Key(row) != "RemoveRepeatedItems" && row < 5) {
    const bool shown = FiltersLV[list].Checked(row);
    RiskCategories[row].Shown = shown;
    settingFilters_ = true;
    for (ui::ListView& other : FiltersLV) other.SetChecked(row, shown);
    settingFilters_ = false;
  }
  form_.RefreshMe();
}

void DetailsRiskMonPage::Toolbar2_ButtonClick(int t) {
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

void DetailsRiskMonPage::AddBtn_Click() {
  ClearLists();
  LongDescTxt.SetText("");
  ExtraInfoTxt.SetText("");
  CanDoTxt.SetText("");
  // The program's name, not the header with its "not active" suffix.
  ProcCPUFrm.AddProcess(form_.DisplayName(), form_.CurrentPath, false);
  form_.RefreshMe();
}

void DetailsRiskMonPage::RemoveBtn_Click() {
  if (MsgBox("Are you sure you want to stop monitoring this program?", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2,
             form_.hwnd()) == IDNO)
    return;
  // The slot found when the page was drawn may have been removed and reused since.
  const int16_t slot = MonitorSlotOf(form_.CurrentPath);
  if (slot >= 0) ProcCPUFrm.RemoveProcess(slot, form_.CurrentPath);
  MonitorIndex = slot >= 0 ? -1 : MonitorIndex;
  DoRefreshRiskMon();
  form_.RefreshMe();
}
