// The start-up run in this process against the real registry: the first run, the
// settings migration, an earlier registration and the first-run question.
#include <gtest/gtest.h>

#include "CancelEvent.h"
#include "Fixture.h"
#include "InfoBarFrm.h"
#include "InterfaceFrm.h"
#include "ModConInfo.h"
#include "ModMain.h"
#include "ModMainLoop.h"
#include "ModPop.h"
#include "ModSettings.h"
#include "ModStartup.h"
#include "MoreToolsFrm.h"
#include "SplashFrm.h"
#include "SysInfoLink.h"
#include "StartupTestSupport.h"
#include "UiWait.h"
#include "frmOptions.h"
#include "modIni.h"

using namespace startuptest;

namespace {

const char kDialUpQuestion[] =
    "Do you use a modem to connect to the Internet (dial-up connection) ? Or leased line (LAN, DSL, ... etc)? If "
    "you use a modem, click Yes. If you use another method or want the pop-up blocker to be always active, click "
    "No. You may change it later at any time from Options.";

class StartUpTest : public StoreTest {
 protected:
  // An earlier run on this machine: the App Paths key holds the program's path.
  void RegisterEarlierRun() {
    SetRegText(HKEY_LOCAL_MACHINE, AppPathsOf(TestExeFileName()), "", testsupport::BinDir() + "\\" + TestExeFileName());
  }
};

TEST_F(StartUpTest, AFreshUserGetsEveryDefaultAndTheFirstRunQuestion) {
  answer = [](const ShownMessage& m) { return m.text == kDialUpQuestion ? IDNO : IDOK; };
  ASSERT_TRUE(StartUp());

  // The program registered itself.
  const std::string appPaths = AppPathsOf(TestExeFileName());
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, appPaths, ""), AppExePath);
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, appPaths, "Path"), AppPath());
  EXPECT_EQ(AppExePath, testsupport::BinDir() + "\\" + TestExeFileName());

  // Every option holds its reset value, except what the answer No changed.
  struct Expected {
    std::string key, value;
  } table[] = {{"LowRes(0)", "80"}, {"LowRes(1)", "95"}, {"SecLogData", "5"}, {"NumLogData", "25"},
               {"IntReminder", "60"}, {"IntReminderText", kDefaultIntReminderText}, {"WinReminder", "60"},
               {"WinReminderIdleTime", "3"}, {"WinReminderText", kDefaultWinReminderText},
               {"RunAtStartUp", "1"}, {"SplashAtStartUp", "1"}, {"ProcWarn", "1"}, {"HideSysProc", "1"},
               {"PopPlaySnd", "1"}, {"PopPlaySndFile", AppPath() + "\\\\sounds\\bloop.wav"},
               {"BlockDialog", "1"}, {"BlockMode", "1"}, {"AppHK.Enabled", "1"}, {"AppHK.Modifiers", "3"},
               {"AppHK.CharCode", "69"}, {"DestHK.Enabled", "1"}, {"DestHK.Modifiers", "3"},
               {"DestHK.CharCode", "68"}, {"WndDisplay", "1"}, {"HideWnd", "1"}, {"LANCon", "1"},
               {"SProgCount", "2"}, {"AppList", "11111111111"}, {"WndList", "1111111111"},
               {"BlockMessenger", "True"}, {"CostDefinition.EveryXSeconds", "60"},
               {"SProg1", [] {
                  std::string s = GetWinDir() + "\\explorer.exe,2;1";
                  for (char& c : s) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
                  return s;
                }()}};
  for (const auto& e : table) EXPECT_EQ(Option("Options", e.key), e.value) << e.key;
  for (int i = 1; i <= 10; ++i) {
    EXPECT_EQ(Option("Options", "TrackerItems(" + std::to_string(i) + ")"), std::to_string(i));
    // No: the slot of the connection item is hidden, the others stay shown.
    EXPECT_EQ(Option("Options", "TrackerItemsShow(" + std::to_string(i) + ")"), i == 4 ? "False" : "True");
  }
  EXPECT_EQ(Option("General", "Version"), "3");
  // Written at the start; the start-up list's first fill walks the processes and may
  // have taken it already.
  EXPECT_NE(RegText(HKEY_CURRENT_USER, "Software\\Quillon\\tmp", "ProcChanged"), kMissing);
  EXPECT_EQ(Option("tmpcpu", "path"), AppPath() + "\\Risk Monitor Logs\\");
  EXPECT_EQ(Option("tmpcpu", "none"), kMissing);
  EXPECT_NE(Option("PopUp", "BrowsersLst_Total"), kMissing);
  EXPECT_NE(Option("PopUp", "TotalBlockSince"), kMissing);

  // One question, asked over the status window with No as its default.
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, kDialUpQuestion);
  EXPECT_EQ(shown[0].style, static_cast<UINT>(MB_YESNO | MB_ICONINFORMATION | MB_DEFBUTTON2));
  EXPECT_EQ(shown[0].owner, CancelEvent.hwnd());
  EXPECT_EQ(LANCon, 1);
  EXPECT_FALSE(TrackerItemsShow[4]);

  // The state start-up leaves behind.
  EXPECT_FALSE(IsStartingUp);
  EXPECT_TRUE(ConnectionPending);
  EXPECT_TRUE(LanStartPending);
  EXPECT_EQ(MyProcessId, GetCurrentProcessId());
  EXPECT_EQ(ProgIniPath, AppPath() + "\\prog.ini");
  EXPECT_EQ(DialogOwnerClasses, (std::vector<std::string>{"", "RUNDLL", "STUBWINDOW32"}));
  EXPECT_EQ(InterfaceBackColor, RGB(233, 233, 233));
  EXPECT_EQ(InterfaceToolbarColor, RGB(176, 184, 207));
  ASSERT_TRUE(CpuHistory);
  EXPECT_EQ(CpuHistory->Get_MaxValue(0), 100);
  EXPECT_EQ(MemHistory[2]->Get_MaxValue(0), 100);
  EXPECT_TRUE(InterfaceFrm.Loaded());
  EXPECT_FALSE(InterfaceFrm.Visible());
  EXPECT_TRUE(MoreToolsFrm.Loaded());
  EXPECT_TRUE(CancelEvent.Loaded());
  EXPECT_TRUE(InterfaceFrm.MainTbl[0].Value("ToolBar"));
  EXPECT_TRUE(InterfaceFrm.mnuFileTracker->Checked());
  EXPECT_TRUE(InfoBarFrm.Loaded());
  EXPECT_TRUE(SplashFrm.Visible());
  EXPECT_EQ(DriveCheck, 1);
}

TEST_F(StartUpTest, YesToTheFirstRunQuestionOpensTheInternetOptions) {
  SetOption("Options", "SplashAtStartUp", "0");
  answer = [](const ShownMessage& m) { return m.text == kDialUpQuestion ? IDYES : IDOK; };
  ASSERT_TRUE(StartUp());
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[1].text, "Quillon Pro needs to know the cost of your Internet connection, please adjust settings "
                           "according to your Internet connection cost. You may change it later at any time from "
                           "Options.");
  EXPECT_EQ(shown[1].style, static_cast<UINT>(MB_ICONINFORMATION));
  EXPECT_EQ(LANCon, 0);
  EXPECT_EQ(Option("Options", "LANCon"), "0");
  EXPECT_EQ(Option("Options", "TrackerItemsShow(4)"), "True");
  EXPECT_TRUE(frmOptions.Visible());
  EXPECT_EQ(frmOptions.SSTab1.Tab(), 5);
  EXPECT_EQ(frmOptions.SSTab1.TabCaption(5), "Internet Monitor");
  EXPECT_FALSE(SplashFrm.Loaded());
}

TEST_F(StartUpTest, NoHidesEverySlotThatShowsTheConnection) {
  RegisterEarlierRun();  // keeps start-up from resetting the slots below
  SetOption("Options", "SplashAtStartUp", "0");
  for (int i = 1; i <= 10; ++i) SetOption("Options", "TrackerItems(" + std::to_string(i) + ")", i % 3 == 0 ? "4" : "1");
  ASSERT_TRUE(StartUp());
  answer = [](const ShownMessage&) { return IDNO; };
  FirstRunSetup();
  for (int i = 1; i <= 10; ++i)
    EXPECT_EQ(Option("Options", "TrackerItemsShow(" + std::to_string(i) + ")"), i % 3 == 0 ? "False" : "True") << i;
  EXPECT_EQ(Option("Options", "LANCon"), "1");
}

// The docked bar is built before the first-run question: the row it shows once the
// start-up is over is the one the answer left, and a later start keeps the row the
// bar built.
TEST_F(StartUpTest, TheDockedBarShowsTheRowTheStartUpLeaves) {
  struct Case {
    const char* name;
    bool earlierRun;
    int hiddenSlot;  // 0: none
    int shownItems;
  } cases[] = {{"first run, No hides the connection slot", false, 0, 9},
               {"later run, one slot hidden by the user", true, 7, 9},
               {"later run, every slot shown", true, 0, 10}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TearDown();
    SetUp();
    answer = [](const ShownMessage& m) { return m.text == kDialUpQuestion ? IDNO : IDOK; };
    if (c.earlierRun) {
      RegisterEarlierRun();
      SetOption("Options", "SplashAtStartUp", "0");
      SetOption("General", "Toolbar", "True");
      for (int i = 1; i <= 10; ++i) {
        SetOption("Options", "TrackerItems(" + std::to_string(i) + ")", std::to_string(i));
        SetOption("Options", "TrackerItemsShow(" + std::to_string(i) + ")", i == c.hiddenSlot ? "False" : "True");
      }
    }
    ASSERT_TRUE(StartUp());
    ASSERT_TRUE(Toolbar);
    ASSERT_TRUE(InfoBarFrm.Loaded());
    ASSERT_TRUE(testsupport::PumpUntil([] { return !InfoBarFrm.ItemsPending(); })) << "the item row follows the bar";
    EXPECT_EQ(InfoBarFrm.TrackerItemCount, c.shownItems);
  }
}

TEST_F(StartUpTest, AnEarlierRegistrationMeansNoDefaultsAndNoQuestion) {
  RegisterEarlierRun();
  SetOption("Options", "SplashAtStartUp", "0");
  SetOption("Options", "RunAtStartUp", "0");
  ASSERT_TRUE(StartUp());
  EXPECT_TRUE(shown.empty());
  EXPECT_EQ(Option("Options", "RunAtStartUp"), "0");
  EXPECT_EQ(Option("Options", "LANCon"), kMissing);
  EXPECT_EQ(Option("Options", "AppList"), kMissing);
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, AppPathsOf(TestExeFileName()), "Path"), kMissing);  // not rewritten
  EXPECT_EQ(AppList, "1111111111");  // the missing value, not the reset value
}

TEST_F(StartUpTest, AnEmptyRegisteredPathIsAFirstRun) {
  SetRegText(HKEY_LOCAL_MACHINE, AppPathsOf(TestExeFileName()), "", "   ");
  EXPECT_TRUE(CheckFirstRun());
  EXPECT_EQ(Option("Options", "RunAtStartUp"), "1");
  EXPECT_FALSE(CheckFirstRun());
}

TEST_F(StartUpTest, WhenTheMachineKeyCannotBeWrittenTheUsersOptionsAreKept) {
  // A key name longer than the registry allows cannot be created: the same outcome
  // as a user who may not write under the machine key.
  const std::string unwritable(300, 'q');
  SetOption("Options", "RunAtStartUp", "0");
  SetOption("Options", "ProcWarn", "0");
  EXPECT_FALSE(RegisterAppPath(unwritable));
  EXPECT_FALSE(CheckFirstRunFor(unwritable));
  EXPECT_EQ(Option("Options", "RunAtStartUp"), "0");
  EXPECT_EQ(Option("Options", "ProcWarn"), "0");
  // Without options of their own, the user still gets the defaults.
  CleanStore();
  EXPECT_TRUE(CheckFirstRunFor(unwritable));
  EXPECT_EQ(Option("Options", "RunAtStartUp"), "1");
}

TEST_F(StartUpTest, VersionTwoSettingsLoseTheSoundPathAndBecomeVersionThree) {
  RegisterEarlierRun();
  SetOption("Options", "SplashAtStartUp", "0");
  SetOption("General", "Version", "2");
  SetOption("Options", "PopPlaySndFile", "c:\\old\\sound.wav");
  ASSERT_TRUE(StartUp());
  EXPECT_EQ(Option("General", "Version"), "3");
  EXPECT_EQ(Option("Options", "PopPlaySndFile"), kMissing);
  EXPECT_EQ(PopPlaySndFile, AppPath() + "\\\\sounds\\bloop.wav");

  // At version 3 nothing changes.
  SetOption("Options", "PopPlaySndFile", "c:\\mine.wav");
  ReleaseInstanceMark();
  ASSERT_TRUE(StartUp());
  EXPECT_EQ(Option("Options", "PopPlaySndFile"), "c:\\mine.wav");
  EXPECT_EQ(PopPlaySndFile, "c:\\mine.wav");
}

TEST_F(StartUpTest, GarbageInEverySectionNeverStopsStartUp) {
  RegisterEarlierRun();
  SetOption("General", "Version", "three");
  SetOption("Options", "SplashAtStartUp", "soon");
  SetOption("Options", "SecLogData", "abc");
  SetOption("Options", "SProgCount", "30000");  // entries that are not there
  SetOption("Internet", "LastCon.Duration", "long");
  SetOption("General", "Position", "left");
  SetOption("MoreTools", "DriveCheck", "x");
  SetOption("PopUp", "BrowsersLst_Total", "900");
  SetOption("PopUp", "TotalBlockSince", "not a date");
  ASSERT_TRUE(StartUp());
  EXPECT_EQ(ShownWithText("Error loading settings from registry, default settings will be loaded").size(), 1u);
  EXPECT_EQ(ShownWithText("Error loading general settings from registry, default settings will be loaded").size(), 1u);
  EXPECT_EQ(Option("General", "Version"), "3");
  EXPECT_EQ(SecLogData, 5);
  EXPECT_EQ(LastCon.Duration, 0);
  EXPECT_EQ(Position, 1);
  EXPECT_EQ(DriveCheck, 1);
  EXPECT_EQ(BrowsersLst_Total, kMaxBrowsers);
  EXPECT_NE(Option("PopUp", "TotalBlockSince"), "not a date");
  EXPECT_FALSE(SplashFrm.Visible() && SplashAtStartUp != 1);
}

TEST_F(StartUpTest, TheFirstRunSeedsTheBrowserListFromTheCatalogue) {
  // A browser of the catalogue "installed": its App Paths entry names a real file.
  const std::string browserKey = AppPathsOf("firefox.exe");
  const bool hadBrowser = RegText(HKEY_LOCAL_MACHINE, browserKey, "") != kMissing;
  if (!hadBrowser) SetRegText(HKEY_LOCAL_MACHINE, browserKey, "", testsupport::FixturePath());
  const std::string installed = RegText(HKEY_LOCAL_MACHINE, browserKey, "");
  answer = [](const ShownMessage&) { return IDNO; };
  ASSERT_TRUE(StartUp());
  if (!hadBrowser) DeleteTree(HKEY_LOCAL_MACHINE, browserKey);

  bool found = false;
  for (int i = 0; i < BrowsersLst_Total; ++i) {
    if (Browsers[i].Path != installed) continue;
    found = true;
    EXPECT_EQ(Option("PopUp", "Browsers(" + std::to_string(i) + ").MenuName(0)"), "Open Link in New Window");
    EXPECT_EQ(Browsers[i].HidePop, 1);
    // The catalogue's white items come with the load that follows.
    EXPECT_EQ(Browsers[i].PreDefinedWhite[0].URL_Or_Name_text.substr(0, 11), "about:blank");
    EXPECT_EQ(Browsers[i].PreDefinedWhite[0].URL_Or_Name_text.size(), 256u);
    EXPECT_EQ(Browsers[i].PreDefinedWhite[0].ExactText, 1);
  }
  EXPECT_TRUE(found);
  EXPECT_EQ(Option("PopUp", "BrowsersLst_Total"), std::to_string(BrowsersLst_Total));
}

TEST(SysInfo, TheRegisteredPerformanceObjectGivesNineFigures) {
  IUnknown* probe = nullptr;
  const CLSID sysInfo = {0xB52F1570, 0x8A88, 0x11D5, {0x87, 0xA5, 0x00, 0xC0, 0x4F, 0x5F, 0x87, 0x04}};
  if (FAILED(CoCreateInstance(sysInfo, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                              reinterpret_cast<void**>(&probe)))) {
    EXPECT_TRUE(TakePerfInfo().empty());  // no object: no figures, and no failure
    GTEST_SKIP() << "the performance library is not registered in this prefix";
  }
  probe->Release();
  PerfInfoArray figures = TakePerfInfo();
  ASSERT_EQ(figures.size(), 9u);
  EXPECT_GT(figures[3], 0);  // total physical memory
  EXPECT_LE(figures[2], figures[3]);
  ReleaseSysInfo();
}

TEST(PopDat, TheShippedCatalogueReadsAsWholeRecords) {
  std::vector<PopDatRecord> records;
  ASSERT_TRUE(ReadPopDat(testsupport::BinDir() + "\\Pop.dat", records));
  ASSERT_GE(records.size(), 5u);
  EXPECT_EQ(records[0].ExeName.substr(0, 12), "iexplore.exe");
  EXPECT_EQ(records[0].ExeName.size(), 256u);
  EXPECT_EQ(records[0].MajorVersion, 0);
  HANDLE file = CreateFileA((testsupport::BinDir() + "\\Pop.dat").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetFileSize(file, nullptr), PopDatRecord::kSize * (records.size() + 1));
  CloseHandle(file);

  // A header that promises more records than the file holds reads what is there;
  // a missing file reads nothing.
  char dir[MAX_PATH];
  GetTempPathA(sizeof dir, dir);
  const std::string shortFile = std::string(dir) + "startup_short_pop.dat";
  std::string header(PopDatRecord::kSize, ' ');
  header.replace(256, 4, "9999");
  std::string body = header + std::string(PopDatRecord::kSize, ' ') + std::string(100, ' ');
  FILE* f = fopen(shortFile.c_str(), "wb");
  ASSERT_TRUE(f);
  fwrite(body.data(), 1, body.size(), f);
  fclose(f);
  EXPECT_TRUE(ReadPopDat(shortFile, records));
  EXPECT_EQ(records.size(), 1u);
  DeleteFileA(shortFile.c_str());
  EXPECT_FALSE(ReadPopDat(shortFile, records));
  EXPECT_TRUE(records.empty());
}

TEST(Startup, TheSplashRoundsItsCornersAndStopsAtFiveDots) {
  SplashFrm.Show();
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetWindowRgn(SplashFrm.hwnd(), region), COMPLEXREGION);
  DeleteObject(region);
  EXPECT_EQ(SplashFrm.lblVersion.Text(), "Quillon Version 3.0.0  is loading");
  size_t most = 0;
  testsupport::PumpUntil([&] {
    std::string t = SplashFrm.Loaded() ? SplashFrm.lblVersion.Text() : "";
    size_t dots = t.size() - t.find_last_not_of('.') - 1;
    if (SplashFrm.Loaded()) most = std::max(most, dots);
    return !SplashFrm.Loaded();
  }, 6000);
  EXPECT_FALSE(SplashFrm.Loaded());  // gone after three seconds
  EXPECT_EQ(most, 5u);
}

}  // namespace
