#include "ConInfoFrm.h"

#include <windows.h>

#include <algorithm>

#include "CancelEvent.h"
#include "FileChoice.h"
#include "ModConInfo.h"
#include "ModMain.h"
#include "ModMainLoop.h"
#include "ModMainPlatform.h"
#include "ModProgInfo.h"
#include "ModSettings.h"
#include "ModStartup.h"
#include "Seams.h"
#include "VbRules.h"
#include "ViewBindings.h"

ConInfoFrmForm ConInfoFrm;

namespace coninfo {


std::string ActiveShareText(int32_t activeMs, int32_t durationSeconds) {
  std::string text = SecsToTimeStr(activeMs / 1000);
  if (durationSeconds == 0) return text;
  // In double precision: Duration x 1000 passes 2^31 after 24.8 days.
  const double share = vb::RoundHalfEven(activeMs / (durationSeconds * 1000.0) * 100.0) / 100.0;
  return text + "  " + vb::CStr(share * 100) + "%";
}

std::string SpeedText(float kbPerSecond) { return SingleText(kbPerSecond) + " KB/sec"; }

std::string CostText(float amount) { return GetLocaleInfoText(LOCALE_SCURRENCY) + " " + SingleText(amount); }

}  // namespace coninfo

namespace {

const COLORREF kWhite = RGB(0xFF, 0xFF, 0xFF);
const char kInternet[] = "Internet";

double Round2(double value) { return vb::RoundHalfEven(value * 100.0) / 100.0; }

std::string PresentTime() { return vb::CStrDate(vb::Now()); }

}  // namespace

ConInfoFrmForm::ConInfoFrmForm()
    : Window({.caption = "Internet Connection", .style = WS_POPUP, .width = 600, .height = 400,
              .keyPreview = true}),
      SSTab1(*this, {0, 0, 600, 400}, {"Connection Information", "Internet Startup Programs"}),
      Frame1(*this, {6, 6, 580, 360}, ""),
      ConnectionOtp0(*this, {6, 6, 130, 20}, "Current Connection", true),
      ConnectionOtp1(*this, {138, 6, 130, 20}, "Last Connection"),
      ConnectionOtp2(*this, {270, 6, 130, 20}, "General Information"),
      ConnectionOtp{&ConnectionOtp0, &ConnectionOtp1, &ConnectionOtp2},
      ConInfoLst(*this, {6, 26, 566, 170}),
      Label1(*this, {6, 206, 80, 18}, "Speed graph:"),
      NetSpeedCombo(*this, {90, 202, 180, 200}),
      IntervalOpt0(*this, {280, 204, 90, 18}, "This minute", true),
      IntervalOpt1(*this, {372, 204, 90, 18}, "This hour"),
      IntervalOpt2(*this, {464, 204, 108, 18}, "This 24 hours "),
      IntervalOpt{&IntervalOpt0, &IntervalOpt1, &IntervalOpt2},
      NetSpeedGrph(*this, {50, 230, 522, 96}),
      GraphMaxLbl(*this, {6, 230, 42, 16}, "", SS_RIGHT),
      ResetDateBtn(*this, {472, 332, 100, 22}, "Clear Data"),
      IntProgsList(*this, {6, 6, 470, 350}),
      AddBtn(*this, {484, 6, 90, 24}, "Add"),
      RemoveBtn(*this, {484, 36, 90, 24}, "Remove"),
      EnableBtn(*this, {484, 66, 90, 24}, "Enable/Disable"),
      LaunchBtn(*this, {484, 96, 90, 24}, "Launch"),
      LaunchAllBtn(*this, {484, 126, 90, 24}, "Launch All") {
  Frame1.SetContainer(SSTab1.Page(0));
  for (ui::Control* c : std::initializer_list<ui::Control*>{
           &ConnectionOtp0, &ConnectionOtp1, &ConnectionOtp2, &ConInfoLst, &Label1, &NetSpeedCombo,
           &IntervalOpt0, &IntervalOpt1, &IntervalOpt2, &NetSpeedGrph, &GraphMaxLbl, &ResetDateBtn})
    c->SetContainer(Frame1);
  for (ui::Control* c : std::initializer_list<ui::Control*>{&IntProgsList, &AddBtn, &RemoveBtn, &EnableBtn,
                                                            &LaunchBtn, &LaunchAllBtn})
    c->SetContainer(SSTab1.Page(1));
  ConInfoLst.AddColumn("item", "item", 200);
  ConInfoLst.AddColumn("data", "data", 340);
  IntProgsList.AddColumn("Path", "Path", 440);
  for (const char* name : {"Receiving Speed", "Sending Speed", "Total Speed", "Average Receiving Speed",
                           "Average Sending Speed", "Average Total Speed"})
    NetSpeedCombo.AddItem(name);
  NetSpeedCombo.SetListIndex(0);
  ConnectionOtp0.SetValue(true);
  IntervalOpt0.SetValue(true);
  NetSpeedGrph.SetBarColor(RGB(0x80, 0x80, 0x80));
  NetSpeedGrph.SetForeColor(RGB(0, 0xFF, 0));
  NetSpeedGrph.SetBackColor(0);

  for (int i = 0; i < 3; ++i) {
    ConnectionOtp[i]->Click = [this, i] { ConnectionOtp_Click(i); };
    IntervalOpt[i]->Click = [this] { RefreshMe(); };
  }
  NetSpeedCombo.Click = [this] { RefreshMe(); };
  ResetDateBtn.Click = [this] { ResetDateBtn_Click(); };
  AddBtn.Click = [this] { AddBtn_Click(); };
  RemoveBtn.Click = [this] { RemoveBtn_Click(); };
  EnableBtn.Click = [this] { EnableBtn_Click(); };
  LaunchBtn.Click = [this] { LaunchBtn_Click(); };
  LaunchAllBtn.Click = [this] { LaunchAllBtn_Click(); };
  IntProgsList.DblClick = [this](int) { IntProgsList_DblClick(); };
  IntProgsList.ColumnClick = [this](int column) { IntProgsList_ColumnClick(column); };

  Hint(Frame1, "Information about your Internet Connection");
  Hint(AddBtn, "Adds new item to the list");
  Hint(EnableBtn, "Enables/Disables selected item(s)");
  Hint(LaunchBtn, "Launches selected item(s) immediatly");
  Hint(RemoveBtn, "Removes selected item(s) from the list");
  Hint(IntProgsList, "List of programs that will be auto-launched when connected to the Internet");
  Views.connection = {.form = this, .IntProgsList = &IntProgsList};
}

void ConInfoFrmForm::Hint(ui::Control& control, const char* text) {
  control.MouseMove = [text](int, int, int, int) { SetHintText(text); };
}

// The page lives for the run, but the row model outlives any load: the list is
// filled afresh on every load, so it never shows a row twice nor stays empty.
void ConInfoFrmForm::Form_Load() {
  SetBackColor(FormBackColor);
  Frame1.SetBackColor(FormBackColor);
  SSTab1.Page(0).SetBackColor(FormBackColor);
  SSTab1.Page(1).SetBackColor(FormBackColor);
  // The marker and the view chosen start together on the first view.
  for (int i = 0; i < 3; ++i) {
    ConnectionOtp[i]->SetValue(i == 0);
    ConnectionOtp[i]->SetBackColor(i == 0 ? kWhite : FormBackColor);
  }
  for (ui::OptionButton* o : IntervalOpt) o->SetBackColor(FormBackColor);
  NetSpeedCombo.SetListIndex(0);
  IntervalOpt0.SetValue(true);
  IntervalOpt1.SetValue(false);
  IntervalOpt2.SetValue(false);
  SSTab1.SetTab(0);
  if (IntProgImg.Count() == 0) {
    // Image 0 is never shown: the states 1 and 2 index the list directly.
    IntProgImg.Add(LoadIcon(nullptr, IDI_APPLICATION), "None");
    IntProgImg.Add(LoadIcon(nullptr, IDI_APPLICATION), "Enabled");
    IntProgImg.Add(LoadIcon(nullptr, IDI_HAND), "Disabled");
  }
  IntProgsList.SetImageList(LVSIL_SMALL, IntProgImg.handle());
  IntProgsList.Clear();
  DoIntProgOp(2);
}

void ConInfoFrmForm::Form_Resize() {
  // The tabs fill the page. On the first, the list and the graph share the height
  // between the fixed rows; on the second, the list takes the room left of the buttons.
  const int w = ScaleWidth(), h = ScaleHeight();
  if (w <= 0 || h <= 0) return;
  SSTab1.Move({0, 0, w, h});
  const SIZE page = ui::ClientSize(SSTab1.Page(0).hwnd(), {w - 8, h - 30});
  const int m = 6, pw = static_cast<int>(page.cx), ph = static_cast<int>(page.cy);
  const int fw = std::max(pw - 2 * m, 300), fh = std::max(ph - 2 * m, 200);
  Frame1.Move({m, m, fw, fh});
  const int optionWidth = std::min((fw - 2 * m) / 3, 150);
  for (int i = 0; i < 3; ++i) ConnectionOtp[i]->Move({m + i * (optionWidth + 2), 6, optionWidth, 20});

  const int fixedRows = 26 + 8 + 28 + 6 + 22 + 2 * m;
  const int listHeight = (fh - fixedRows) * 3 / 5, graphHeight = fh - fixedRows - listHeight;
  ConInfoLst.Move({m, 26, fw - 2 * m, listHeight});
  const int row = 26 + listHeight + 8;
  const int intervalWidths[3] = {96, 84, 104};
  const int intervalsWidth = intervalWidths[0] + intervalWidths[1] + intervalWidths[2];
  const int comboWidth = std::clamp(fw - m - intervalsWidth - 8 - 90, 100, 180);
  Label1.Move({m, row + 4, 80, 18});
  NetSpeedCombo.Move({90, row, comboWidth, 200});
  int x = 90 + comboWidth + 8;
  for (int i = 0; i < 3; ++i) {
    IntervalOpt[i]->Move({x, row + 2, intervalWidths[i], 18});
    x += intervalWidths[i];
  }
  const int graphTop = row + 28;
  GraphMaxLbl.Move({m, graphTop, 42, 16});
  NetSpeedGrph.Move({50, graphTop, fw - 50 - m, graphHeight});
  ResetDateBtn.Move({fw - m - 100, graphTop + graphHeight + 6, 100, 22});

  const int buttonWidth = 96, buttonsLeft = pw - m - buttonWidth;
  IntProgsList.Move({m, m, buttonsLeft - 8 - m, ph - 2 * m});
  ui::Button* buttons[5] = {&AddBtn, &RemoveBtn, &EnableBtn, &LaunchBtn, &LaunchAllBtn};
  for (int i = 0; i < 5; ++i) buttons[i]->Move({buttonsLeft, m + 30 * i, buttonWidth, 24});
}

void ConInfoFrmForm::Form_KeyDown(int& keyCode, int /*shift*/) {
  if (keyCode == VK_F1) ShowOnlineHelp("IntConInfo");
  if (keyCode == VK_F5) RefreshMe();
}

LRESULT ConInfoFrmForm::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_MOUSEMOVE) SetHintText("");  // off every control: no hint
  return Window::WndProc(msg, wp, lp);
}

void ConInfoFrmForm::AddConItem(const std::string& caption, const std::string& value) {
  rows_.emplace_back(caption, value);
}

void ConInfoFrmForm::FillRows(int view) {
  using coninfo::SpeedText;
  const bool lan = LANCon == 1;
  auto speeds = [this](const ConInfoRec& r) {
    AddConItem("Receiving Speed", SpeedText(r.RecSpd));
    AddConItem("Sending Speed", SpeedText(r.SndSpd));
    AddConItem("Total Speed", SpeedText(r.RecSpd + r.SndSpd));
    AddConItem("Average Receiving Speed", SpeedText(r.AvrgRecSpd));
    AddConItem("Average Sending Speed", SpeedText(r.AvrgSndSpd));
    AddConItem("Average Total Speed",
               SpeedText(static_cast<float>(Round2(static_cast<double>(r.AvrgRecSpd) + r.AvrgSndSpd))));
  };
  if (view == 0) {
    const ConInfoRec& c = CurCon;
    if (c.Duration == 0 && !lan) {
      AddConItem("(Not Connected)", "");
    } else if (c.Duration <= 0 && lan) {
      AddConItem("Connection type", "LAN Connection");
      AddConItem("From", c.From);
      AddConItem("To", PresentTime());
      AddConItem("Active Duration", SecsToTimeStr(c.ActiveDuration / 1000));
      speeds(c);
    } else if (c.Duration > 0) {
      AddConItem("From", c.From);
      AddConItem("To", PresentTime());
      AddConItem("Duration", SecsToTimeStr(c.Duration));
      AddConItem("Active Duration", coninfo::ActiveShareText(c.ActiveDuration, c.Duration));
      AddConItem("Cost", coninfo::CostText(CalcConCost(c.Duration)));
      speeds(c);
    }
  } else if (view == 1) {
    const ConInfoRec& c = LastCon;
    if (c.flag.empty()) {
      AddConItem("(none)", "");
      return;
    }
    AddConItem("From", c.From);
    AddConItem("To", c.To);
    if (c.Duration > 0) AddConItem("Duration", SecsToTimeStr(c.Duration));
    if (lan)
      AddConItem("Active Duration", SecsToTimeStr(c.ActiveDuration / 1000));
    else if (c.Duration > 0)
      AddConItem("Active Duration", coninfo::ActiveShareText(c.ActiveDuration, c.Duration));
    if (c.Duration > 0) AddConItem("Cost", coninfo::CostText(CalcConCost(c.Duration)));
    AddConItem("Average Receiving Speed", SpeedText(c.AvrgRecSpd));
    AddConItem("Average Sending Speed", SpeedText(c.AvrgSndSpd));
    AddConItem("Average Total Speed", SpeedText(c.AvrgRecSpd + c.AvrgSndSpd));
  } else {
    const ConInfoRec& c = GeneralConInfo;
    if (c.ConnectTimes <= 0) {
      AddConItem("(none)", "");
      return;
    }
    AddConItem("From", c.From);
    AddConItem("To", c.To);
    AddConItem("Duration", SecsToTimeStr(c.Duration));
    AddConItem("Active Duration", lan ? SecsToTimeStr(c.ActiveDuration / 1000)
                                      : coninfo::ActiveShareText(c.ActiveDuration, c.Duration));
    AddConItem("Cost", coninfo::CostText(c.Cost));
    AddConItem("Connected", std::to_string(c.ConnectTimes) + " times");
  }
}

void ConInfoFrmForm::RefreshMe() {
  Load();
  LoadConInfo();
  int view = 0;
  for (int i = 0; i < 3; ++i)
    if (ConnectionOtp[i]->Value()) view = i;
  rows_.clear();
  FillRows(view);
  // Rewritten in place, so the refill every two seconds does not flicker: only a
  // changed cell is written, and rows come and go only when their number changes.
  while (ConInfoLst.ItemCount() > static_cast<int>(rows_.size())) ConInfoLst.RemoveItem(ConInfoLst.ItemCount() - 1);
  for (size_t r = 0; r < rows_.size(); ++r) {
    const int row = static_cast<int>(r);
    if (row >= ConInfoLst.ItemCount()) ConInfoLst.AddItem(rows_[r].first);
    ConInfoLst.SetCells(row, {rows_[r].first, rows_[r].second});
  }
  DrawGraph();
}

void ConInfoFrmForm::DrawGraph() {
  int series = 0;
  for (int i = 2; i >= 0; --i)
    if (IntervalOpt[i]->Value()) series = i;
  const int index = NetSpeedCombo.ListIndex();
  if (index < 0 || index >= 6 || !NetSpeedHist[index]) return;
  HistogramCls* history = NetSpeedHist[index].get();
  NetSpeedGrph.Refresh(history, series);
  const int32_t maxValue = history->Get_MaxValue(series);
  GraphMaxLbl.SetText(vb::Str(maxValue));
  // The graph reads a gap as the newest sample as 0%, so the label never shows a
  // negative speed.
  NetSpeedGrph.SetText(vb::Str(NetSpeedGrph.PercentUsed() * static_cast<double>(maxValue) / 100.0) + " KB/sec");
}

void ConInfoFrmForm::ConnectionOtp_Click(int index) {
  for (int i = 0; i < 3; ++i) ConnectionOtp[i]->SetValue(i == index);  // also when code clicks
  RefreshMe();
  for (int i = 0; i < 3; ++i) ConnectionOtp[i]->SetBackColor(i == index ? kWhite : FormBackColor);
  if (ConInfoLst.hwnd()) SetWindowPos(ConInfoLst.hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  if (ConnectionOtp[index]->hwnd())
    SetWindowPos(ConnectionOtp[index]->hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void ConInfoFrmForm::ResetDateBtn_Click() {
  if (MsgBox("Are you sure you want to delete Last and General Internet Connection Information and restart "
             "logging them?",
             MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2, hwnd()) != IDOK)
    return;
  LoadConInfo();
  LastCon.Duration = LastCon.ActiveDuration = 0;
  GeneralConInfo.Duration = GeneralConInfo.ActiveDuration = 0;
  GeneralConInfo.Cost = 0;
  GeneralConInfo.ConnectTimes = 0;
  SaveConInfo();
  RefreshMe();
}

void ConInfoFrmForm::SaveIntProgs() {
  Load();
  for (int n = 1; n <= IntProgCount; ++n) DeleteSetting(ProgramTitle, kInternet, "IntProg" + std::to_string(n));
  IntProgCount = static_cast<int16_t>(IntProgsList.ItemCount());
  SaveSetting(ProgramTitle, kInternet, "IntProgCount", std::to_string(IntProgCount));
  DoIntProgOp(1);
}

void ConInfoFrmForm::AddIntStartProg(const std::string& given) {
  Load();
  std::string path = given;
  if (path.empty()) {
    FileChoice choice;
    choice.title = "Browse";
    choice.filter = "Programs (*.exe)|*.exe|All files (*.*)|*.*";
    HWND owner = BoundHwnd(Views.frame.form) ? BoundHwnd(Views.frame.form) : hwnd();
    std::optional<std::string> chosen = ChooseFileToOpen(owner, choice);
    if (!chosen || chosen->empty()) return;
    path = *chosen;
  }
  const std::string lower = vb::LCase(path);
  for (int row = 0; row < IntProgsList.ItemCount(); ++row) {
    if (vb::LCase(IntProgsList.ItemText(row)) == lower) {
      MsgBox("The file " + path + " already exists", MB_ICONEXCLAMATION, hwnd());
      return;
    }
  }
  path = lower;
  if (!FileExists(path) &&
      MsgBox("The file " + path + " wasn't found, Are you still sure you want to add it?",
             MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, hwnd()) == IDNO)
    return;
  IntProgsList.AddItem(path, 1);
  SaveIntProgs();
}

void ConInfoFrmForm::RemoveBtn_Click() {
  for (int row = 0; row < IntProgsList.ItemCount();) {
    if (IntProgsList.Selected(row))
      IntProgsList.RemoveItem(row);
    else
      ++row;
  }
  SaveIntProgs();
}

void ConInfoFrmForm::EnableBtn_Click() {
  for (int row : IntProgsList.SelectedRows())
    IntProgsList.SetSmallIcon(row, IntProgsList.SmallIcon(row) == 1 ? 2 : 1);
  SaveIntProgs();
}

// The reason in the words the Run dialog uses for a missing file, the system's otherwise.
static std::string LaunchFailureText(DWORD error) {
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return "File not found";
  if (error == 0) return "the system gave no reason";
  return SystemErrorText(error);
}

void ConInfoFrmForm::StartProgram(const std::string& path, std::string& failures) {
  seams::ShellRequest request;
  request.owner = hwnd();
  request.verb = "open";
  request.file = path;
  request.show = SW_SHOWNORMAL;
  request.callerReportsFailure = true;
  SetLastError(0);
  if (!seams::ShellExecuteFn(request)) {
    // Read before anything else runs: building the message may reset it.
    const DWORD error = GetLastError();
    failures += "The file " + path + " couldn't be started: " + LaunchFailureText(error) + "\r\n";
  }
}

void ConInfoFrmForm::Launch(const std::vector<int>& rows) {
  std::string failures;
  for (int row : rows) StartProgram(IntProgsList.ItemText(row), failures);
  if (!failures.empty()) MsgBox(failures, MB_ICONSTOP, hwnd());
}

void ConInfoFrmForm::LaunchBtn_Click() {
  std::vector<int> rows = IntProgsList.SelectedRows();
  std::sort(rows.begin(), rows.end());
  Launch(rows);
}

void ConInfoFrmForm::LaunchAllBtn_Click() {
  Load();
  if (LaunchingAll()) return;  // the one running goes on
  launchQueue_.clear();
  for (int row = 0; row < IntProgsList.ItemCount(); ++row) launchQueue_.push_back(IntProgsList.ItemText(row));
  launchNext_ = 0;
  launchFailures_.clear();
  if (launchQueue_.empty()) return;
  if (!launchTimer_) {
    launchTimer_ = new ui::Timer(CancelEvent);
    launchTimer_->Tick = [this] { LaunchNext(); };
  }
  delete launchStatus_;
  launchStatus_ = new StatusScope("Loading Internet applications...");
  LaunchNext();
}

// One start, then the pause as a timer: the program answers meanwhile, and the
// status window's Cancel ends the rest.
void ConInfoFrmForm::LaunchNext() {
  launchTimer_->SetEnabled(false);
  if (launchStatus_->Cancelled() || launchNext_ >= launchQueue_.size()) {
    EndLaunchAll();
    return;
  }
  StartProgram(launchQueue_[launchNext_++], launchFailures_);
  launchTimer_->SetInterval(kLaunchPauseMs);
  launchTimer_->SetEnabled(true);
}

void ConInfoFrmForm::EndLaunchAll() {
  launchQueue_.clear();
  launchNext_ = 0;
  delete launchStatus_;
  launchStatus_ = nullptr;
  const std::string failures = launchFailures_;
  launchFailures_.clear();
  if (!failures.empty()) MsgBox(failures, MB_ICONSTOP, Loaded() ? hwnd() : nullptr);
}

void ConInfoFrmForm::IntProgsList_DblClick() {
  const int row = IntProgsList.FocusedRow();
  if (row >= 0) Launch({row});
}

void ConInfoFrmForm::IntProgsList_ColumnClick(int column) {
  IntProgsList.SortBy(column, ui::SortKind::kText, !IntProgsList.SortAscending());
}
