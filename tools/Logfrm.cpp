#include "Logfrm.h"

#include <algorithm>
#include <map>
#include <vector>

#include "AppendString.h"
#include "Clipboard.h"
#include "Failure.h"
#include "ModConInfo.h"
#include "ModMain.h"
#include "ModMainPlatform.h"
#include "ModPop.h"
#include "ModProcMon.h"
#include "ModProgInfo.h"
#include "ModSettings.h"
#include "ModStartupPlatform.h"
#include "MoreToolsFrm.h"
#include "OwnedHandle.h"
#include "ProcMonCls.h"
#include "SysInfoLink.h"
#include "VbRules.h"
#include "ViewBindings.h"
#include "frmFind.h"
#include "modprinting.h"

LogfrmForm Logfrm;

namespace report {
namespace {

const char kCrLf[] = "\r\n";
const char kLoading[] = "Loading data. This may take few seconds, please wait ... ";
const char kNoPerformanceFigures[] =
    " The performance figures can't be read: the system-resources library (Pellmon.dll) is missing or not "
    "registered.\r\n";

std::string Line(const std::string& text) { return text + kCrLf; }

uint64_t SystemUptimeMs() {
  // Looked up by name: the 64-bit count is missing before Vista.
  using TickCount64 = ULONGLONG(WINAPI*)();
  static const auto fn = reinterpret_cast<TickCount64>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetTickCount64")));
  return fn ? fn() : GetTickCount();
}

std::string Currency() { return GetLocaleInfoText(LOCALE_SCURRENCY); }

// The active share of a connection, in double precision: Duration x 1000 passes 2^31
// after 24.8 days.
std::string ActivePercent(int32_t activeMs, int32_t seconds) {
  const double share = vb::RoundHalfEven(activeMs / (seconds * 1000.0) * 100.0) / 100.0;
  return "  " + vb::CStr(share * 100) + "%";
}

std::string Speed(float value) { return SingleText(value) + " KB/sec"; }

std::string SpeedLines(const ConInfoRec& r) {
  return Line("    Receiving Speed: " + Speed(r.RecSpd)) + Line("    Sending Speed: " + Speed(r.SndSpd)) +
         Line("    Total Speed: " + Speed(r.SndSpd + r.RecSpd)) +
         Line("    Average Receiving Speed: " + Speed(r.AvrgRecSpd)) +
         Line("    Average Sending Speed: " + Speed(r.AvrgSndSpd)) +
         Line("    Average Total Speed: " + Speed(r.AvrgSndSpd + r.AvrgRecSpd));
}

// The active-duration line of the last connection and of the totals: the share only
// on a dial-up line and only when the connection lasted.
std::string ActiveLine(const ConInfoRec& r) {
  std::string text = "    Active Duration:" + SecsToTimeStr(r.ActiveDuration / 1000);
  if (LANCon != 1 && r.Duration > 0) text += ActivePercent(r.ActiveDuration, r.Duration);
  return Line(text);
}

}  // namespace

std::function<uint64_t()> UptimeMsFn = SystemUptimeMs;

std::function<BOOL(HANDLE, const char*, DWORD, DWORD*)> WriteFn = [](HANDLE file, const char* data, DWORD size,
                                                                      DWORD* written) {
  return WriteFile(file, data, size, written, nullptr);
};

std::string Underline(int count) { return std::string(static_cast<size_t>(count), '`'); }

std::string ListRowText(const ui::ListView& list, int row, bool mark) {
  std::string text;
  if (mark) text = list.Selected(row) ? " *" : "  ";
  text += Line(list.ColumnText(0) + " : " + list.ItemText(row));
  for (int c = 1; c < list.ColumnCount(); ++c)
    text += Line("   " + list.ColumnText(c) + " : " + list.SubItem(row, c));
  return text;
}

std::string ListRowsText(const ui::ListView& list, bool mark) {
  std::string text;
  for (int row = 0; row < list.ItemCount(); ++row) text += ListRowText(list, row, mark) + kCrLf;
  return text + kCrLf;
}

std::string ViewModeText(int16_t mode) {
  if (mode == 1) return "All running programs and windows belong to the selected programs.";
  if (mode == 3) return "All open windows and the program(s) that owns the selected windows.";
  return "All running programs and windows.";
}

std::string InternetText() {
  std::string text = Line("") + Line("<INTERNET CONNECTION INFORMATION>") + Line(Underline(33));
  text += Line("  Current Connection :- ");
  const std::string now = vb::CStrDate(vb::Now());
  if (CurCon.Duration < 1 && LANCon == 0) {
    if (CurCon.Duration == 0) text += Line("    (Not Connected)");
  } else if (CurCon.Duration < 1) {
    text += Line("    Connection type: LAN Connection") + Line("    From: " + CurCon.From) + Line("    To: " + now) +
            Line("    Active Duration: " + SecsToTimeStr(CurCon.ActiveDuration / 1000)) + SpeedLines(CurCon);
  } else {
    text += Line("    From: " + CurCon.From) + Line("    To: " + now) +
            Line("    Duration: " + SecsToTimeStr(CurCon.Duration)) +
            Line("    Active Duration: " + SecsToTimeStr(CurCon.ActiveDuration / 1000) +
                 ActivePercent(CurCon.ActiveDuration, CurCon.Duration)) +
            Line("    Cost: " + SingleText(CalcConCost(CurCon.Duration)) + " " + Currency()) + SpeedLines(CurCon);
  }
  text += Line("  Last Connection :- ");
  if (LastCon.flag.empty()) {
    text += Line("    (none):");
  } else {
    text += Line("    From:" + LastCon.From) + Line("    To:" + LastCon.To);
    if (LastCon.Duration > 0) text += Line("    Duration:" + SecsToTimeStr(LastCon.Duration));
    text += ActiveLine(LastCon);
    if (LastCon.Duration > 0) text += Line("    Cost:" + SingleText(CalcConCost(LastCon.Duration)) + " " + Currency());
    text += Line("    Average Receiving Speed:" + Speed(LastCon.AvrgRecSpd)) +
            Line("    Average Sending Speed:" + Speed(LastCon.AvrgSndSpd)) +
            Line("    Average Total Speed:" + Speed(LastCon.AvrgSndSpd + LastCon.AvrgRecSpd));
  }
  text += Line("  General Informaion :- ");
  const ConInfoRec& g = GeneralConInfo;
  if (g.ConnectTimes < 1) {
    text += Line("    (none):");
  } else {
    text += Line("    From:" + g.From) + Line("    To:" + g.To) + Line("    Duration:" + SecsToTimeStr(g.Duration)) +
            ActiveLine(g) + Line("    Cost:" + SingleText(g.Cost) + " " + Currency()) +
            Line("    Connected:" + std::to_string(g.ConnectTimes) + " times");
  }
  return text;
}

std::string PerformanceText(const std::vector<int32_t>& f) {
  if (f.size() < 8) return "";
  auto item = [](const std::string& label, const std::string& value) { return Line(" - " + label + value); };
  auto kb = [&f](size_t index) { return std::to_string(MemoryFigureKb(f, index)); };
  return item("CPU Usage (%): ", std::to_string(f[0])) + item("Physical (K): ", "") + item("    Free: ", kb(2)) +
         item("    Total: ", kb(3)) + item("Virtual (K): ", "") + item("    Free: ", kb(4)) +
         item("    Total: ", kb(5)) + item("Paging (K): ", "") + item("    Free: ", kb(6)) +
         item("    Total: ", kb(7));
}

std::string HistoryText() {
  std::string text = Line("") + Line("<PROCESSES AND WINDOWS HISTORY>") + Line(Underline(31)) + Line("");
  for (int i = 0; i < HistoryCount && i < static_cast<int>(HistoryLog.size()); ++i)
    text += Line(" - " + HistoryLog[static_cast<size_t>(i)]);
  return text;
}

std::string UptimeLine(uint64_t milliseconds) {
  // SecsToTimeStr takes 32-bit seconds: enough for 68 years.
  return "Windows is running for: " + SecsToTimeStr(static_cast<int32_t>(milliseconds / 1000));
}

DWORD WriteFileWhole(const std::string& path, const std::string& bytes) {
  // As root under Wine the read-only attribute stops neither a write nor a replace.
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
    return ERROR_ACCESS_DENIED;
  char full[MAX_PATH * 2] = {};
  char* namePart = nullptr;
  if (!GetFullPathNameA(path.c_str(), sizeof full, full, &namePart) || !namePart) return ERROR_INVALID_NAME;
  const std::string folder(full, static_cast<size_t>(namePart - full));
  char temporary[MAX_PATH * 2] = {};
  if (!GetTempFileNameA(folder.c_str(), "qpr", 0, temporary)) return GetLastError();
  DWORD error = 0;
  {  // closed before it replaces the report
    const OwnedHandle file(
        CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
      error = GetLastError();
    } else {
      size_t done = 0;
      while (done < bytes.size() && !error) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1 << 20));
        DWORD written = 0;
        if (!WriteFn(file.get(), bytes.data() + done, chunk, &written) || written != chunk)
          error = GetLastError() ? GetLastError() : ERROR_WRITE_FAULT;
        done += written;
      }
      if (!error && !FlushFileBuffers(file.get())) error = GetLastError();
    }
  }
  if (!error && !MoveFileExA(temporary, full, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    error = GetLastError() ? GetLastError() : ERROR_ACCESS_DENIED;
  if (error) DeleteFileA(temporary);
  return error;
}

}  // namespace report

namespace {

const char* const kSectionCaptions[7] = {"Task Manager", "Details", "Internet", "Performance",
                                         "Pop-up's",     "Tasks History", "StartUp"};
const char* const kSectionKeys[7] = {"TaskManager", "Details", "Internet", "Performance",
                                     "PopUps",      "TasksHistory", "StartUp"};
constexpr int kToolbarHeight = 28;
constexpr int kSectionBarWidth = 100;

}  // namespace

LogfrmForm::LogfrmForm()
    : Window({.caption = "Logs", .style = WS_OVERLAPPEDWINDOW, .width = 640, .height = 460, .centred = true,
              .keyPreview = true}),
      Toolbar1(*this, {0, 0, 640, kToolbarHeight}, false, {84, 24}),
      SSTab1(*this, {0, kToolbarHeight, 640, 400}, {"Quillon Tools", "Risk Monitoring Logs"}),
      Toolbar2(*this, {0, 24, kSectionBarWidth, 300}, true, {kSectionBarWidth, 26}),
      RiskMonLV(*this, {0, 24, 160, 300}),
      LogTxt(*this, {kSectionBarWidth + 2, 24, 500, 360}, "", WS_VSCROLL | WS_HSCROLL | ES_AUTOVSCROLL | ES_READONLY),
      SBar(*this, {0, 160, 160}),
      ClockTimer(*this, 1000) {
  const char* const captions[7] = {"Refresh", "Save as ...", "Copy", "Print ...", "Find...", "Find Next",
                                   "Printer View\t"};
  const char* const keys[7] = {"Refresh", "Save", "Copy", "Print", "Find", "FindNext", "ExactView"};
  for (int i = 0; i < 7; ++i) Toolbar1.Add(keys[i], captions[i], captions[i]);
  for (int i = 0; i < 7; ++i) Toolbar2.Add(kSectionKeys[i], kSectionCaptions[i], kSectionCaptions[i]);
  Toolbar2.SetContainer(SSTab1.Page(0));
  RiskMonLV.SetContainer(SSTab1.Page(1));
  RiskMonLV.AddColumn("Name", "Program", 150);
  Toolbar1.ButtonClick = [this](int index, const std::string&) { Toolbar1_ButtonClick(index); };
  Toolbar2.ButtonClick = [this](int index, const std::string&) { Toolbar2_ButtonClick(index); };
  SSTab1.Click = [this](int) { SSTab1_Click(); };
  RiskMonLV.ItemClick = [this](int row) { RiskMonLV_ItemClick(row); };
  ClockTimer.Tick = [this] { UpdateClock(); };
  SaveDialogFn = [this](HWND owner) { return ChooseFileToSave(owner, CD1); };
  Views.report = {.form = this,
                  .txtLog = &LogTxt,
                  .SelStart = [] { return Logfrm.SelStart(); },
                  .Select = [](int32_t start, int32_t length) { Logfrm.Select(start, length); }};
}

void LogfrmForm::Form_Load() {
  // A build of the previous load may still wait in its pump: the load's own build
  // then replaces it, so the build flags stay as they are.
  buildsFinished_ = 0;
  LogTxt.SetFont("Courier New", 10);
  // The text lies over the tab control, its sibling: unclipped, the tab control's
  // background paints over the text when the window first shows, and the report looks
  // blank until something repaints the text.
  if (HWND tabs = SSTab1.hwnd())
    SetWindowLongPtrA(tabs, GWL_STYLE, GetWindowLongPtrA(tabs, GWL_STYLE) | WS_CLIPSIBLINGS);
  // The 9x family has no risk monitor.
  SSTab1.SetTabEnabled(1, IsWinNTFlag);
  // Back to the first tab without the tab's own build: the load builds once, below.
  loading_ = true;
  SSTab1.SetTab(0);
  loading_ = false;
  for (int i = 1; i <= 7; ++i) Toolbar2.SetValue(i, TasksHistoryOnly ? i == kTasksHistory : i != kDetails);
  Toolbar1.SetValue(7, false);
  LogTxt.SetRightMargin(40000);
  UpdateClock();
  Form_Resize();
  WriteData();
}

void LogfrmForm::Form_Resize() {
  const int width = ScaleWidth();
  SBar.Resize();
  const int height = std::max(ScaleHeight() - kToolbarHeight - SBar.Height(), 60);
  Toolbar1.Move({0, 0, width, kToolbarHeight});
  SSTab1.Move({0, kToolbarHeight, width, height});
  const bool tools = SSTab1.Tab() == 0;
  ui::Control& side = tools ? static_cast<ui::Control&>(Toolbar2) : RiskMonLV;
  Toolbar2.SetVisible(tools);
  RiskMonLV.SetVisible(!tools);
  const int pageHeight = std::max(height - 30, 30);
  const int sideWidth = tools ? kSectionBarWidth : 160;
  side.Move({0, 0, sideWidth, pageHeight});
  // The text is shared by both tabs: it sits on the form, over the tab's page.
  LogTxt.Move({sideWidth + 2, kToolbarHeight + 26, std::max(width - sideWidth - 4, 20), pageHeight});
  SetWindowPos(LogTxt.hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void LogfrmForm::Form_KeyDown(int& keyCode, int) {
  if (keyCode == VK_F1) ShowOnlineHelp("Logs");
}

void LogfrmForm::Form_Unload(bool&) {
  // A build waiting in its pump ends there; nothing of it reaches the closed window.
  if (building_) stopBuild_ = true;
  rebuildWanted_ = false;
  frmFind.Unload();
}

void LogfrmForm::SetStatus(const std::string& text) { SBar.SetPanelText(0, text); }

void LogfrmForm::UpdateClock() {
  const vb::Date now = vb::Now();
  SBar.SetPanelText(1, vb::FormatLongTime(now));
  SBar.SetPanelText(2, vb::FormatShortDate(now));
}

int32_t LogfrmForm::SelStart() const { return LogTxt.SelStart(); }

void LogfrmForm::Select(int32_t start, int32_t length) { LogTxt.Select(start, length); }

// ---- building

void LogfrmForm::Pump() {
  ui::DoEvents();
  if (stopBuild_ || !Loaded()) throw BuildStopped{};
}

void LogfrmForm::WriteData() {
  if (!Loaded()) return;
  if (building_) {
    // Events run inside a build: this request replaces the running build.
    stopBuild_ = rebuildWanted_ = true;
    return;
  }
  building_ = true;
  do {
    stopBuild_ = rebuildWanted_ = false;
    try {
      BuildOnce();
    } catch (const BuildStopped&) {
    } catch (...) {
      building_ = false;
      if (Loaded()) SetCursor(LoadCursor(nullptr, IDC_ARROW));
      throw;
    }
  } while (rebuildWanted_ && Loaded());
  building_ = false;
}

void LogfrmForm::BuildOnce() {
  SetStatus(report::kLoading);
  HCURSOR previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
  Pump();
  AppendString builder;
  builder.AddToString(std::string(30, '~') + "\r\n");
  builder.AddToString(" ------- Quillon Report ------ \r\n");
  builder.AddToString(std::string(30, '~') + "\r\n\r\n");
  builder.AddToString("Date: " + vb::CStrDate(vb::Now()) + "\r\n\r\n");
  builder.AddToString(report::UptimeLine(report::UptimeMsFn()) + "\r\n\r\n");
  try {
    if (SSTab1.Tab() == 0)
      WriteDataTools(builder);
    else
      WriteDataRisk(builder);
  } catch (const BuildStopped&) {
    throw;
  } catch (const std::exception& e) {
    // A failing section ends the body; the footer follows and what was written shows.
    ui::ReportFailure(e.what());
  } catch (...) {
    ui::ReportFailure("a report section failed");
  }
  builder.AddToString("\r\n  -  End of Report -\r\n");
  LogTxt.ReplaceAll(builder.ReturnString());
  // A long report made the box anew: it goes above the tab's page again.
  SetWindowPos(LogTxt.hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  InvalidateRect(LogTxt.hwnd(), nullptr, TRUE);
  SetCursor(previous ? previous : LoadCursor(nullptr, IDC_ARROW));
  SetStatus("");
  ++buildsFinished_;
}

void LogfrmForm::AppendTaskManager(AppendString& builder) {
  const ViewBindings::Lists& page = Views.lists;
  if (!page.RefreshForReport) return;
  // The report window is in front, which the page's quick refresh would wait for.
  page.RefreshForReport();
  builder.AddToString("<PROGRAMS AND WINDOWS>\r\n" + report::Underline(22) + "\r\n");
  builder.AddToString(" - Selected option :- " + report::ViewModeText(*page.ProgWndImgIndex) + "\r\n\r\n");
  builder.AddToString("       ~~ Programs List - (*) means a selected item ~~  \r\n\r\n");
  builder.AddToString(report::ListRowsText(*page.AppLst, true));
  builder.AddToString("       ~~ Windows List - (*) means a selected item ~~  \r\n\r\n");
  builder.AddToString(report::ListRowsText(*page.WndLst, true));
}

void LogfrmForm::AppendDetails(AppendString& builder) {
  DoProcessListOp(kProcRebuild, "True");
  builder.AddToString("\r\n<PROGRAM(S) DETAILS>\r\n" + report::Underline(20) + "\r\n");
  // Events may rebuild the tables meanwhile: the section works on copies, and takes
  // each program's processes from the one walk that built the table.
  std::vector<std::string> paths;
  for (int i = 0; i <= ProgTableLast && i < static_cast<int>(ProgTable.size()); ++i)
    paths.push_back(ProgTable[static_cast<size_t>(i)][kProgPath]);
  std::map<std::string, std::vector<DWORD>> idsByPath;
  for (size_t i = 0; i < ProcIdList.size() && i < ProcPathList.size(); ++i)
    idsByPath[vb::LCase(ProcPathList[i])].push_back(ProcIdList[i]);
  VersionFieldCache versions;
  const int last = static_cast<int>(paths.size()) - 1;
  for (int i = 0; i <= last; ++i) {
    SetStatus(std::string(report::kLoading) + "(" + std::to_string(i) + "/" + std::to_string(last) + ")");
    Pump();
    const std::string path = vb::LCase(paths[static_cast<size_t>(i)]);
    std::string block = "  " + path + "\r\n";
    const std::array<std::string, 8>& fields = CachedVersionFields(path, versions);
    block += "  ~~ Verison Information\r\n";
    for (int k = 0; k < 8; ++k)
      block += std::string("    --> ") + VersionFieldNames[k] + ": " + fields[static_cast<size_t>(k)] + "\r\n";
    block += "  ~~ Processes (ProcessID)\r\n";
    builder.AddToString(block);
    for (DWORD id : idsByPath[path]) {
      builder.AddToString("    --> " + std::to_string(id) + "\r\n");
      if (!IsNT4) {
        builder.AddToString("    ~~ Modules (Name - Handle - Path - Size - Base Address)\r\n");
        ListProcessModules(id, &builder, &versions);
      }
    }
  }
  builder.AddToString("\r\n");
}

void LogfrmForm::WriteDataTools(AppendString& builder) {
  if (Toolbar2.Value(kTaskManager)) AppendTaskManager(builder);
  if (Toolbar2.Value(kDetails)) AppendDetails(builder);
  if (Toolbar2.Value(kInternet)) builder.AddToString(report::InternetText());
  builder.AddToString("\r\n");
  if (Toolbar2.Value(kPerformance)) {
    builder.AddToString("\r\n<SYSTEM PERFORMANCE>\r\n" + report::Underline(19) + "\r\n");
    PerfInfoData.clear();
    PerfInfoData = TakePerfInfo();
    const std::string figures = report::PerformanceText(PerfInfoData);
    // No performance object: said in its place, and the sections after it still follow.
    builder.AddToString(figures.empty() ? std::string(report::kNoPerformanceFigures) : figures);
  }
  if (Toolbar2.Value(kPopUps)) {
    LoadView(Views.popUpPage.form);
    builder.AddToString("\r\n<POP-UPS REPORT>\r\n" + report::Underline(16) + "\r\n");
    builder.AddToString("Total number of blocked pop-up's since " + vb::CStrDate(TotalBlockSince) + " is " +
                        std::to_string(TotalBlockCnt) + "\r\n\r\n");
    if (Views.popUpPage.BlockedWndLst)
      builder.AddToString(report::ListRowsText(*Views.popUpPage.BlockedWndLst, false));
    else
      builder.AddToString("\r\n");
  }
  if (Toolbar2.Value(kTasksHistory)) builder.AddToString(report::HistoryText());
  if (Toolbar2.Value(kStartUp)) {
    MoreToolsFrm.Load();
    // The start-up list must be current, not as the page last showed it.
    MoreToolsFrm.RefreshMe(false);
    builder.AddToString("\r\n<WINDOWS START-UP PROGRAMS>\r\n" + report::Underline(24) + "\r\n");
    builder.AddToString(report::ListRowsText(MoreToolsFrm.StartUpLV, false));
  }
}

void LogfrmForm::WriteDataRisk(AppendString& builder) {
  builder.AddToString("\r\n");
  const int selectedRow = RiskMonLV.SelectedRows().empty() ? -1 : RiskMonLV.SelectedRows().front();
  const std::string selected = selectedRow >= 0 ? RiskMonLV.Tag(selectedRow) : "";
  refilling_ = true;
  RiskMonLV.Clear();
  for (int i = 0; i < MonitoredProgCount && i < static_cast<int>(MonitoredProgHist.size()); ++i) {
    const HistogramCls* history = MonitoredProgHist[static_cast<size_t>(i)].get();
    if (!history || history->ExtraInfo.empty()) continue;
    const int row = RiskMonLV.AddItem(GetFileInfoField(2, history->ExtraInfo));
    RiskMonLV.SetTag(row, history->ExtraInfo);
    if (!selected.empty() && history->ExtraInfo == selected) RiskMonLV.SetSelected(row, true);
  }
  refilling_ = false;
  builder.AddToString("<Process that are monitored for risky functions>\r\n" + report::Underline(48) + "\r\n");
  if (MonitoredProgCount == 0) {
    builder.AddToString(" There is no processes that are currently being monitored for risky functions.\r\n");
    return;
  }
  const std::vector<int> rows = RiskMonLV.SelectedRows();
  if (rows.empty()) {
    builder.AddToString(" Please select a program from the right list.\r\n");
    return;
  }
  const std::string path = RiskMonLV.Tag(rows.front());
  std::string text = "Program Path: " + path + "\r\n";
  text += "Notice: The data will be filtered according the filters determined in Program's Details.\r\n\r\n";
  text += "General Risky Properties:\r\n";
  for (int16_t code = 120; code <= LastStaticRiskCode; ++code)
    if (CheckStaticRisk(code, path))
      text += "  - " + GetRiskDescription(code) + " (%" + std::to_string(GetRiskScore(code)) + ")\r\n";
  text += "\r\nRisk Monitor Log:\r\n";
  builder.AddToString(text);
  ProcMonCls log;
  log.OpenLogFile(path);
  int16_t code = 0;
  std::string time, rest;
  while (log.GetNextLine(code, time, rest)) {
    if (IsRiskCategoryHidden(code)) continue;
    builder.AddToString("  Time: " + time + "\r\n  Description: " + GetRiskDetails(code) +
                        "\r\n  Extra Inofmration: " + rest + "\r\n\r\n");
  }
  log.CloseLogFile();
}

// ---- commands

void LogfrmForm::SSTab1_Click() {
  Form_Resize();
  if (!loading_) WriteData();
}

void LogfrmForm::RiskMonLV_ItemClick(int) {
  if (!refilling_) WriteData();
}

void LogfrmForm::Toolbar2_ButtonClick(int index) {
  Toolbar2.SetValue(index, !Toolbar2.Value(index));
  WriteData();
}

void LogfrmForm::Toolbar1_ButtonClick(int index) {
  switch (index) {
    case 1: WriteData(); break;
    case 2: FileSave(); break;
    case 3: CopyText(); break;
    case 4:
      SetStatus("Printing...");
      PrintText();
      SetStatus("");
      break;
    case 5: NewFind(); break;
    case 6: FindNext(); break;
    case 7:
      Toolbar1.SetValue(7, !Toolbar1.Value(7));
      // Pressed, lines wrap where the printed page (one-inch margins) wraps them.
      LogTxt.SetRightMargin(Toolbar1.Value(7) ? 10773 : 40000);
      break;
    default: break;
  }
}

void LogfrmForm::FindNext() {
  if (FindText.empty())
    NewFind();
  else
    FindInLog();
}

void LogfrmForm::NewFind() {
  Load();
  frmFind.Load();
  frmFind.Text1.SetText(LogTxt.SelLength() > 0 ? LogTxt.SelText() : FindText);
  FindTextChanged = true;
  frmFind.chkCase.SetValue(MatchCase != 0);
  // The report takes no input while its find dialog is open.
  EnableWindow(hwnd(), FALSE);
  ShowFrm(frmFind);
}

void LogfrmForm::CopyText() {
  const std::string text = LogTxt.Text();
  ui::SetClipboardText(hwnd(), text);
}

std::string LogfrmForm::GetFileName(const std::string& defaultName) {
  CD1.fileName = defaultName;
  std::optional<std::string> chosen = SaveDialogFn ? SaveDialogFn(hwnd()) : std::nullopt;
  return chosen.value_or("");
}

bool LogfrmForm::FileSave() {
  CD1.filter = "Text files (*.txt)|*.txt|All files (*.*)|*.*";
  const std::string name = GetFileName("");
  if (name.empty()) return false;
  return SaveFileAs(name);
}

bool LogfrmForm::SaveFileAs(const std::string& fileName) {
  HCURSOR previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
  const DWORD error = report::WriteFileWhole(fileName, LogTxt.Text() + "\r\n");
  SetCursor(previous ? previous : LoadCursor(nullptr, IDC_ARROW));
  if (error) MsgBox(SystemErrorText(error), MB_OK | MB_ICONEXCLAMATION, hwnd());
  return error == 0;
}

void LogfrmForm::PrintText() { PrintReport(LogTxt, hwnd()); }
