#include "ModStartup.h"

#include "ApplyGlobalSettings.h"

#include "AppBarLeftover.h"
#include "Menu.h"
#include "ListView.h"
#include "TabPages.h"
#include "Controls.h"
#include "Gdi.h"
#include "ViewBindings.h"

#include <direct.h>

#include <utility>

#include "CancelEvent.h"
#include "ListColumns.h"
#include "ModConInfo.h"
#include "ModExitWin.h"
#include "ModMain.h"
#include "ModMainLoop.h"
#include "ModPop.h"
#include "ModProcMon.h"
#include "ModRegistry.h"
#include "OwnedHandle.h"
#include "ModSettings.h"
#include "Seams.h"
#include "SysInfoLink.h"
#include "VbRules.h"
#include "modIni.h"

bool IsStartingUp = false;
COLORREF InterfaceBackColor = 0;
COLORREF FormBackColor = 0;
COLORREF InterfaceToolbarColor = 0;

std::vector<std::string> AppColTitles;
std::vector<double> AppColWidths;
std::vector<std::string> WndColTitles;
std::vector<double> WndColWidths;

namespace {

// Our own mark of a running copy: a name no other program uses. The generic mutex
// below is still created for whoever looks for it, but other programs may hold
// that name too.
const char kInstanceMarkName[] = "Quillon Pro running instance {5E0B7C3A-2F41-4D8E-9A61-0C7D1B3E8F25}";
OwnedHandle instanceMark;  // held for the life of the process

void Fill(ColumnList list, std::vector<std::string>& titles, std::vector<double>& widths) {
  titles.clear();
  widths.clear();
  for (const ListColumn& c : ListColumns(list, IsWinNTFlag)) {
    titles.push_back(c.title);
    widths.push_back(c.width);
  }
}

}  // namespace

void BuildColumnTables() {
  Fill(ColumnList::kPrograms, AppColTitles, AppColWidths);
  Fill(ColumnList::kWindows, WndColTitles, WndColWidths);
}

std::string PrevInstanceMessage() {
  return std::string(ProgramTitle) + " is already running, double-click Quillon tray icon to launch it";
}

bool IsPrevInstance() {
  if (instanceMark) return false;  // this process is the running copy
  OwnedHandle mark(CreateMutexA(nullptr, FALSE, kInstanceMarkName));
  if (!mark) return false;
  if (GetLastError() == ERROR_ALREADY_EXISTS) return true;
  instanceMark = std::move(mark);
  return false;
}

void ReleaseInstanceMark() {
  instanceMark.Reset();
}


void CreateAppMutex() {
  // Held until the process ends; an existing mutex of that name is simply opened.
  static HANDLE mutex = nullptr;
  if (!mutex) mutex = CreateMutexA(nullptr, FALSE, "MyProgramsMutexName");
}




bool RegisterAppPath(const std::string& exeFileName) {
  const std::string path = AppPathsKey(exeFileName);
  OwnedKey key;
  char keyClass[] = "REG_SZ";
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, keyClass, 0, KEY_ALL_ACCESS, nullptr, key.Receive(),
                      nullptr) != ERROR_SUCCESS)
    return false;
  SetRegValue(HKEY_LOCAL_MACHINE, path, "", AppExePath);
  SetRegValue(HKEY_LOCAL_MACHINE, path, "Path", AppPath());
  return GetAppPathsEntry(exeFileName) == AppExePath;
}

bool CheckFirstRun() { return CheckFirstRunFor(AppExeName() + ".exe"); }

bool CheckFirstRunFor(const std::string& exeFileName) {
  if (!vb::Trim(GetAppPathsEntry(exeFileName)).empty()) return false;
  bool registered = RegisterAppPath(exeFileName);
  // When the machine key cannot be written, the marker can never be set: a user
  // who already has options keeps them instead of losing them at every start.
  if (!registered && SectionExists(ProgramTitle, "Options")) return false;
  DefaultSettings();
  SaveSettings();
  return true;
}

void FirstRunSetup() {
  // A missing catalogue costs only the seeding: the connection question still comes.
  SeedBrowserList();

  CancelEvent.Load();
  int answer = MsgBox(
      "Do you use a modem to connect to the Internet (dial-up connection) ? Or leased line (LAN, DSL, ... "
      "etc)? If you use a modem, click Yes. If you use another method or want the pop-up blocker to be "
      "always active, click No. You may change it later at any time from Options.",
      MB_YESNO | MB_ICONINFORMATION | MB_DEFBUTTON2, CancelEvent.hwnd());
  if (answer == IDYES) {
    LANCon = 0;
    SaveSettings();
    ShowFrm(Views.options.form);
    if (Views.options.SSTab1) Views.options.SSTab1->SetTab(5);
    MsgBox(std::string(ProgramTitle) +
               " needs to know the cost of your Internet connection, please adjust settings according to "
               "your Internet connection cost. You may change it later at any time from Options.",
           MB_ICONINFORMATION, CancelEvent.hwnd());
  } else {
    LANCon = 1;
    for (int i = 1; i <= 10; ++i)
      if (TrackerItems[i] == 4) TrackerItemsShow[i] = false;
    SaveSettings();
  }
}

void MakeRoundForm(HWND window, int radius) {
  RECT r = {};
  if (!GetWindowRect(window, &r)) return;
  ui::OwnedRegion region(CreateRoundRectRgn(0, 0, r.right - r.left, r.bottom - r.top, radius, radius));
  // A region the window took is the window's from then on.
  if (region && SetWindowRgn(window, region.get(), FALSE)) region.Release();
}

bool StartUp() {
  SetCompiledFlag();
  if (!IsCompiled) TestMode = true;
  _chdir(AppPath().c_str());

  if (IsPrevInstance()) {
    MsgBox(PrevInstanceMessage(), MB_OK | MB_ICONINFORMATION);
    seams::EndProcessFn(0);
    return false;
  }

  IsWinNTFlag = IsWinNT();
  CreateAppMutex();
  // Only now is no other copy running: a remembered bar that is gone was an ended copy's.
  RemoveLeftoverAppBar();
  InterfaceBackColor = RGB(233, 233, 233);
  FormBackColor = RGB(233, 233, 233);
  InterfaceToolbarColor = RGB(176, 184, 207);

  // Forces the first process-table build.
  SaveSetting("Quillon", "tmp", "ProcChanged", "1");

  // Version 3 drops the stored pop-up sound path, so its default applies again.
  {
    SettingsReader general(ProgramTitle, "General");
    if (general.Int32("Version", 0) < 3) {
      SaveSetting(ProgramTitle, "Options", "PopPlaySndFile", "0");
      DeleteSetting(ProgramTitle, "Options", "PopPlaySndFile");
      SaveSetting(ProgramTitle, "General", "Version", "3");
    }
  }

  {
    SettingsReader options(ProgramTitle, "Options");
    SplashAtStartUp = options.Int16("SplashAtStartUp", 1);
  }
  if (SplashAtStartUp == 1) {
    if (Views.splash.form) Views.splash.form->Show();
    ui::DoEvents();
  }

  if (IsWinNTFlag) {
    SaveSetting(ProgramTitle, "tmpcpu", "none", "");
    DeleteSetting(ProgramTitle, "tmpcpu", "none");
    EnableDebugPrivilege();
  }

  CreateSampleHistories();

  ConnectionPending = true;
  LanStartPending = true;
  IsStartingUp = true;

  AppExePath = AppPath() + "\\" + AppExeName() + ".exe";
  MyProcessId = GetCurrentProcessId();
  ProgIniPath = AppPath() + "\\" + "prog.ini";

  if (!FileExists(ProgIniPath)) WriteDefaultClasses();
  LoadWndClasses();

  BuildColumnTables();

  const bool firstRun = CheckFirstRun();

  LoadSettings();
  LoadConInfo();

  LoadView(Views.lists.form);
  LoadView(Views.moreTools.form);
  LoadView(Views.frame.form);
  CancelEvent.Load();
  LoadView(Views.connection.form);
  // The pop-up notice loads when the first pop-up is caught.

  PerfInfoData.clear();
  PerfInfoData = TakePerfInfo();

  if (Views.moreTools.LoadMoreToolsData) Views.moreTools.LoadMoreToolsData();
  LoadGeneralSettings();
  LoadPopUpSettings();

  IsStartingUp = false;
  if (Views.frame.SetButtonPressed) Views.frame.SetButtonPressed("ToolBar", Toolbar);
  ui::DoEvents();
  if (Views.frame.mnuFileTracker && Views.frame.ButtonPressed)
    Views.frame.mnuFileTracker->SetChecked(Views.frame.ButtonPressed("ToolBar"));

  if (Toolbar) LoadView(Views.trackerBar.form);
  // The bar just built its row from the settings in force; the first run's question
  // may still change them.
  TrackerRowCurrent = Toolbar && !firstRun;

  if (firstRun) FirstRunSetup();

  ApplyGlobalSettings();
  InitRiskMonitor();
  return true;
}

void Main() {
  if (StartUp()) MainLoop();
}

namespace {
// The histories count time on the program's clock, which tests can move.
DWORD SeamTicks() { return seams::TickCountFn(); }
}  // namespace

// The CPU and memory histories are percentages; the traffic histories scale to their values.
void CreateSampleHistories() {
  for (auto& history : NetSpeedHist) {
    history = std::make_unique<HistogramCls>(SeamTicks);
    history->StartCounting(1);
  }
  CpuHistory = std::make_unique<HistogramCls>(SeamTicks);
  CpuHistory->StartCounting(100);
  for (auto& history : MemHistory) {
    history = std::make_unique<HistogramCls>(SeamTicks);
    history->StartCounting(100);
  }
}
