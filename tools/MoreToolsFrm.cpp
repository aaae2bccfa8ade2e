#include "MoreToolsFrm.h"

#include "InterfaceFrm.h"
#include "Logfrm.h"

#include "ModMain.h"
#include "ModMainPlatform.h"
#include "ModProgInfo.h"
#include "ModRegistry.h"
#include "ModSettings.h"
#include "VbRules.h"
#include "ViewBindings.h"

namespace {

struct StartUpLocation {
  HKEY hive;
  const char* keyPath;
};
// By run type: below 5 the machine's keys, then the user's.
const StartUpLocation kStartUpLocations[7] = {
    {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Run"},
    {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce"},
    {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnceEx"},
    {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\RunServices"},
    {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\RunServicesOnce"},
    {HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run"},
    {HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce"},
};

enum StartUpColumn { kStartUpName = 0, kStartUpStatus = 1, kStartUpCmdLine = 2, kStartUpKey = 3, kStartUpRunning = 4 };

// A value's text, up to 1023 characters, blanks trimmed; "" for a value that is not
// text.
std::string StartUpCommandLine(HKEY key, const std::string& name) {
  // Read whole, then cut: a buffer too small for the value gets no data at all.
  DWORD size = 0, type = 0;
  if (RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return "";
  if (type != REG_SZ && type != REG_EXPAND_SZ) return "";
  std::vector<char> data(size + 1, '\0');
  if (RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) != ERROR_SUCCESS)
    return "";
  std::string text(data.data());
  if (text.size() > 1023) text.resize(1023);
  size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

MoreToolsFrmForm MoreToolsFrm;

MoreToolsFrmForm::MoreToolsFrmForm()
    : Window({.caption = "More Tools", .style = WS_POPUP, .width = 600, .height = 400}),
      SSTab1(*this, {0, 0, 600, 400},
             {"Reminders", "Tasks History and Media Check", "Windows Start-up Manager"}),
      HistoryFram(*this, {12, 12, 570, 110}, "Processes and Windows History"),
      StartBtn(*this, {12, 24, 80, 26}, "S&tart"),
      PauseBtn(*this, {100, 24, 80, 26}, "&Pause"),
      StopBtn(*this, {188, 24, 80, 26}, "&Stop"),
      ViewBtn(*this, {276, 24, 80, 26}, "View"),
      StatusLbl(*this, {12, 62, 50, 18}, "Status:"),
      RecStatusLbl(*this, {64, 62, 470, 36},
                   "Press Start to start logging processes and windows that are launched/terminated."),
      IndShp(*this, {540, 62, 16, 16}, true),
      DriveEXList(*this, {20, 140, 120, 120}, LVS_LIST),
      IntReminderChk(*this, {20, 180, 300, 20}, "Remind me when I am connected to the Internet for"),
      IntReminderTxt(*this, {20, 204, 60, 20}),
      Label4(*this, {86, 206, 80, 20}, "minute(s)"),
      StartUpLV(*this, {8, 30, 584, 320}) {
  for (const auto& column : {std::make_pair("Program Name", 120), std::make_pair("Status", 60),
                             std::make_pair("Command Line", 220), std::make_pair("Key", 200),
                             std::make_pair("Running", 70)})
    StartUpLV.AddColumn(column.first, column.first, column.second);
  StartUpLV.ColumnClick = [this](int column) { StartUpLV_ColumnClick(column); };
  for (ui::Control* c : std::initializer_list<ui::Control*>{&IntReminderChk, &IntReminderTxt, &Label4})
    c->SetContainer(SSTab1.Page(0));
  for (ui::Control* c : std::initializer_list<ui::Control*>{&HistoryFram, &DriveEXList})
    c->SetContainer(SSTab1.Page(1));
  StartUpLV.SetContainer(SSTab1.Page(2));
  for (ui::Control* c : std::initializer_list<ui::Control*>{&StartBtn, &PauseBtn, &StopBtn, &ViewBtn, &StatusLbl,
                                                             &RecStatusLbl, &IndShp})
    c->SetContainer(HistoryFram);
  PauseBtn.SetEnabled(false);
  StopBtn.SetEnabled(false);
  IndShp.SetBackColor(RGB(255, 0, 0));
  StartBtn.Click = [this] { StartBtn_Click(); };
  PauseBtn.Click = [this] { PauseBtn_Click(); };
  StopBtn.Click = [this] { StopBtn_Click(); };
  ViewBtn.Click = [this] { ViewBtn_Click(); };
  IntReminderTxt.SetNumberStyle(true);
  Views.moreTools = {.form = this,
                     .DriveEXList = &DriveEXList,
                     .IntReminderChk = &IntReminderChk,
                     .IntReminderTxt = &IntReminderTxt,
                     .Label4 = &Label4,
                     .LoadMoreToolsData = [] { MoreToolsFrm.LoadMoreToolsData(); },
                     .SearchStartUpLV = [](const std::string& path) { return MoreToolsFrm.SearchStartUpLV(path); }};
}

void MoreToolsFrmForm::LoadMoreToolsData() {
  SettingsReader more(ProgramTitle, "MoreTools");
  int16_t check = more.Int16("DriveCheck", 1);
  DriveCheck = check == 0 ? 0 : 1;
  SettingsReader general(ProgramTitle, "General");
  int16_t count = general.Int16("DriveEXNUM", 0);
  DriveEXList.Clear();
  for (int n = 1; n <= count; ++n) {
    std::string drive = general.Text("DriveEX" + std::to_string(n), "");
    if (!drive.empty()) DriveEXList.AddItem(drive);
  }
}

void MoreToolsFrmForm::Form_Load() {
  // Images 1 and 2 of the list: an enabled and a disabled entry.
  if (IntProgImg.Count() == 0) {
    IntProgImg.Add(LoadIcon(nullptr, IDI_APPLICATION), "Enabled");
    IntProgImg.Add(LoadIcon(nullptr, IDI_HAND), "Disabled");
  }
  if (StartUpLV.hwnd())
    SendMessageA(StartUpLV.hwnd(), LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(IntProgImg.handle()));
}

// The reminder fields arrive with the page itself.
void MoreToolsFrmForm::RefreshMe(bool keepStartUpList) {
  if (keepStartUpList) return;
  ui::ListView::RedrawGuard guard(StartUpLV);
  StartUpLV.Clear();
  ListStartUpKeys();
}

void MoreToolsFrmForm::ListStartUpKeys() {
  for (int16_t runType = 0; runType < 7; ++runType)
    GetKeysRunType(kStartUpLocations[runType].hive, kStartUpLocations[runType].keyPath, runType);
}

void MoreToolsFrmForm::GetKeysRunType(HKEY hive, const std::string& keyPath, int16_t runType) {
  const std::string keyText =
      std::string(runType < 5 ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER") + "\\" + keyPath;
  for (bool enabled : {true, false}) {
    // Read access is enough to list: a limited user cannot open the machine's keys
    // for writing, and would see none of their entries.
    HKEY key = OpenRegKey(hive, enabled ? keyPath : keyPath + "-", KEY_READ);
    if (!key) continue;
    const long count = CountRegItems(key, 0);
    for (long index = 0; index < count; ++index) {
      const std::string name = EnumRegValueName(key, static_cast<DWORD>(index));
      const std::string cmdLine = StartUpCommandLine(key, name);
      const int row = StartUpLV.AddItem(name, enabled ? 0 : 1);
      StartUpLV.SetTag(row, std::to_string(runType));
      const bool running = IsProgramInTable(GetStartUpProgPath(cmdLine));
      StartUpLV.SetCells(row, {name, enabled ? "Enabled" : "Disabled", cmdLine, keyText,
                               running ? "Running" : "Not Running"});
      if (running) StartUpLV.SetRowBold(row, true);
    }
    RegCloseKey(key);
  }
}

int16_t MoreToolsFrmForm::SearchStartUpLV(const std::string& path) {
  const std::string wanted = vb::LCase(path);
  for (int row = 0; row < StartUpLV.ItemCount(); ++row) {
    if (StartUpLV.SubItem(row, kStartUpStatus) != "Enabled") continue;
    if (GetStartUpProgPath(StartUpLV.SubItem(row, kStartUpCmdLine)) == wanted)
      return static_cast<int16_t>(ui::ListView::ToOneBased(row));
  }
  return 0;
}

// start-up entry commands
namespace {

// Moves a value with its own type and bytes: the list shows a trimmed text cut at
// 1023 characters, and rewriting it would also turn REG_EXPAND_SZ into REG_SZ. The
// copy is written before the original goes, and a value already of that name at the
// destination is never overwritten (then nothing moves).
bool MoveRegValue(HKEY hive, const std::string& from, const std::string& to, const std::string& name) {
  HKEY source = OpenRegKey(hive, from);
  if (!source) return false;
  DWORD type = 0, size = 0;
  bool moved = false;
  if (RegQueryValueExA(source, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
    std::vector<BYTE> data(size + 2);
    if (RegQueryValueExA(source, name.c_str(), nullptr, &type, data.data(), &size) == ERROR_SUCCESS) {
      HKEY target = nullptr;
      if (RegCreateKeyExA(hive, to.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &target, nullptr) == ERROR_SUCCESS) {
        const bool taken = RegQueryValueExA(target, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
        if (!taken && RegSetValueExA(target, name.c_str(), 0, type, data.data(), size) == ERROR_SUCCESS)
          moved = RegDeleteValueA(source, name.c_str()) == ERROR_SUCCESS;
        RegCloseKey(target);
      }
    }
  }
  RegCloseKey(source);
  return moved;
}

}  // namespace

void MoreToolsFrmForm::EnableBtn_Click(int16_t Index) {
  for (int row : StartUpLV.SelectedRows()) {
    const int runType = static_cast<int>(vb::Val(StartUpLV.Tag(row)));
    if (runType < 0 || runType > 6) continue;
    const bool enabled = StartUpLV.SubItem(row, kStartUpStatus) == "Enabled";
    if (enabled != (Index == 1)) continue;
    const StartUpLocation& at = kStartUpLocations[runType];
    const std::string key = at.keyPath, off = key + "-";
    MoveRegValue(at.hive, enabled ? key : off, enabled ? off : key, StartUpLV.ItemText(row));
  }
  RefreshMe(false);
}

void MoreToolsFrmForm::AddStartUp(const std::string& Name, const std::string&, int16_t RunType,
                                  const std::string& CmdLine) {
  if (RunType < 0 || RunType > 6) return;
  SetRegValue(kStartUpLocations[RunType].hive, kStartUpLocations[RunType].keyPath, Name, CmdLine, 0);
  RefreshMe(false);
}

void MoreToolsFrmForm::DelStartUp(const std::string& Name, const std::string&, int16_t RunType) {
  if (RunType < 0 || RunType > 6) return;
  for (const std::string& path : {std::string(kStartUpLocations[RunType].keyPath),
                                  std::string(kStartUpLocations[RunType].keyPath) + "-"})
    if (HKEY key = OpenRegKey(kStartUpLocations[RunType].hive, path)) {
      DeleteRegValue(key, Name);
      RegCloseKey(key);
    }
  RefreshMe(false);
}
// end of start-up entry commands

void MoreToolsFrmForm::StartBtn_Click() { InterfaceFrm.mnuLog_Click(2); }
void MoreToolsFrmForm::PauseBtn_Click() { InterfaceFrm.mnuLog_Click(3); }
void MoreToolsFrmForm::StopBtn_Click() { InterfaceFrm.mnuLog_Click(4); }

void MoreToolsFrmForm::ViewBtn_Click() {
  // Only a report window that loads now opens on the history alone.
  TasksHistoryOnly = true;
  try {
    ShowFrm(Logfrm);
  } catch (...) {
    TasksHistoryOnly = false;
    throw;
  }
  TasksHistoryOnly = false;
}

void MoreToolsFrmForm::StartUpLV_ColumnClick(int column) {
  StartUpLV.SortBy(column, ui::SortKind::kText, !StartUpLV.SortAscending());
}

std::string GetStartUpProgPath(const std::string& cmdLine) {
  if (cmdLine.empty()) return "";
  std::string text;
  if (cmdLine[0] == '"') {
    size_t close = cmdLine.find('"', 1);
    if (close == std::string::npos) return "";
    text = cmdLine.substr(1, close - 1);
  } else {
    text = cmdLine;
    size_t dot = text.rfind('.');
    size_t blank = text.find(' ', dot == std::string::npos ? 0 : dot);
    if (blank != std::string::npos) text = text.substr(0, blank);
    if (text.find('~') != std::string::npos) {
      const std::string shortText = vb::LCase(text);
      for (int row = 0; row <= ProgTableLast && row < static_cast<int>(ProgTable.size()); ++row) {
        const std::string shortPath = vb::LCase(GetShortPath(ProgTable[row][kProgPath]));
        // A path with no short form matches nothing.
        if (!shortPath.empty() && shortPath == shortText) {
          text = ProgTable[row][kProgPath];
          break;
        }
      }
    }
  }
  if (text.find(':') == std::string::npos) {
    const std::string inWindows = GetWinDir() + "\\" + text;
    text = (IsProgramInTable(inWindows) ? inWindows : GetSysDir() + "\\" + text);
  }
  return vb::LCase(text);
}
