// The settings store, the option globals and their fallbacks, special programs,
// connection statistics, prog.ini and the registry procedures, against the real
// registry and files.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "Files.h"
#include "ConInfoFrm.h"
#include "Fixture.h"
#include "InterfaceFrm.h"
#include "Mainfrm.h"
#include "ModConInfo.h"
#include "ModMain.h"
#include "ModMainLoop.h"
#include "ModRegistry.h"
#include "ModSProgs.h"
#include "ModSettings.h"
#include "ModStartupPlatform.h"
#include "MoreToolsFrm.h"
#include "Seams.h"
#include "StartupTestSupport.h"
#include "UiWait.h"
#include "VbRules.h"
#include "frmOptions.h"
#include "modIni.h"

using namespace startuptest;

namespace {

const char kSettingsError[] = "Error loading settings from registry, default settings will be loaded";
const char kGeneralError[] = "Error loading general settings from registry, default settings will be loaded";
const char kSProgError[] = "Error loading special programs, default settings will be loaded";

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  return s;
}

class SettingsTest : public StoreTest {};

TEST_F(SettingsTest, AStoreWithoutOptionsLoadsTheMissingValuesAndStoresTheDefaultSpecialPrograms) {
  LoadSettings();
  EXPECT_TRUE(shown.empty());
  EXPECT_EQ(RunAtStartUp, 0);
  EXPECT_EQ(WinReminderIdleTime, 5);
  EXPECT_EQ(IntReminderText, "");
  EXPECT_EQ(WinReminderText, "");
  EXPECT_EQ(AppList, "1111111111");
  EXPECT_EQ(WndList, "1111111111");
  EXPECT_EQ(LowRes[0], 80);
  EXPECT_EQ(LowRes[1], 95);
  EXPECT_FLOAT_EQ(CostDefinition.CostOfXSecond, 0.01f);
  EXPECT_EQ(CostDefinition.EveryXSeconds, 60);
  EXPECT_EQ(AppHK.CharCode, 69);
  EXPECT_EQ(DestHK.CharCode, 68);
  EXPECT_EQ(PopPlaySndFile, AppPath() + "\\\\sounds\\bloop.wav");
  for (int i = 1; i <= 10; ++i) {
    EXPECT_EQ(TrackerItems[i], i);
    EXPECT_TRUE(TrackerItemsShow[i]);
  }
  EXPECT_EQ(SProgCount, 2);
  EXPECT_EQ(Option("Options", "SProgCount"), "2");
  EXPECT_EQ(Option("Options", "SProg1"), Lower(GetWinDir() + "\\explorer.exe,2;1"));
  EXPECT_EQ(Option("Options", "SProg2"), Lower(GetSysDir() + "\\kernel32.dll,0;1"));
  // Nothing else is written by a load.
  EXPECT_EQ(ValueNames(HKEY_CURRENT_USER, "Software\\Quillon Pro\\Options").size(), 3u);
}

TEST_F(SettingsTest, SaveWritesEveryKeyAsTextAndLoadReadsItBack) {
  DefaultSettings();
  SaveSettings();
  struct Expected {
    const char* key;
    std::string value;
  } table[] = {
      {"LowRes(0)", "80"}, {"LowRes(1)", "95"}, {"TrackerItems(1)", "1"}, {"TrackerItemsShow(1)", "True"},
      {"TrackerItems(10)", "10"}, {"TrackerItemsShow(10)", "True"},
      {"CostDefinition.CostOfXSecond", vb::CStr(0.01)}, {"CostDefinition.EveryXSeconds", "60"},
      {"CostDefinition.ExtraCost", vb::CStr(0.02)}, {"SecLogData", "5"}, {"NumLogData", "25"},
      {"IntReminder", "60"}, {"IntReminderText", kDefaultIntReminderText}, {"WinReminder", "60"},
      {"WinReminderIdleTime", "3"}, {"WinReminderText", kDefaultWinReminderText}, {"RunAtStartUp", "1"},
      {"SplashAtStartUp", "1"}, {"ProcWarn", "1"}, {"HideSysProc", "1"}, {"PopPlaySnd", "1"},
      {"PopPlaySndFile", AppPath() + "\\\\sounds\\bloop.wav"}, {"BlockDialog", "1"}, {"BlockMode", "1"},
      {"AppHK.Enabled", "1"}, {"AppHK.Modifiers", "3"}, {"AppHK.CharCode", "69"}, {"DestHK.Enabled", "1"},
      {"DestHK.Modifiers", "3"}, {"DestHK.CharCode", "68"}, {"WndDisplay", "1"}, {"HideWnd", "1"},
      {"LANCon", "0"}, {"SProgCount", "2"}, {"AppList", "11111111111"}, {"WndList", "1111111111"},
      {"BlockMessenger", "True"},
  };
  for (const auto& e : table) EXPECT_EQ(Option("Options", e.key), e.value) << e.key;

  // What was saved reads back, and a changed value survives the round trip.
  CostDefinition.CostOfXSecond = 0.125f;
  TrackerItemsShow[3] = false;
  TrackerItems[2] = 7;
  SaveSettings();
  DefaultSettings();
  LoadSettings();
  EXPECT_TRUE(shown.empty());
  EXPECT_FLOAT_EQ(CostDefinition.CostOfXSecond, 0.125f);
  EXPECT_FALSE(TrackerItemsShow[3]);
  EXPECT_EQ(TrackerItems[2], 7);
  EXPECT_EQ(AppList, "11111111111");
}

TEST_F(SettingsTest, FlagsReadTrueFalseAndNumbers) {
  const char* stored[] = {"True", "1", "-1", "false", "0", "FALSE"};
  const bool expected[] = {true, true, true, false, false, false};
  for (int i = 0; i < 6; ++i) SetOption("Options", "TrackerItemsShow(" + std::to_string(i + 1) + ")", stored[i]);
  LoadSettings();
  EXPECT_TRUE(shown.empty());
  for (int i = 0; i < 6; ++i) EXPECT_EQ(TrackerItemsShow[i + 1], expected[i]) << stored[i];
}

// A value that does not convert, or an index out of its range, takes that key's own
// fallback; the other keys keep what the user stored; one message says so and the
// store is rewritten with what is now in effect.
TEST_F(SettingsTest, GarbageInOptionsFallsBackKeyByKeyWithOneMessage) {
  SetOption("Options", "SecLogData", "abc");
  SetOption("Options", "LowRes(0)", "9x");
  SetOption("Options", "TrackerItems(3)", "99");   // no such tracker kind
  SetOption("Options", "WndDisplay", "12");        // out of 0 to 3
  SetOption("Options", "NumLogData", "99999");     // past a 16-bit integer
  SetOption("Options", "CostDefinition.CostOfXSecond", "1e999");
  SetOption("Options", "SProgCount", "-7");
  SetOption("Options", "LANCon", "1");             // good values stay
  SetOption("Options", "WinReminder", "45");
  SetOption("Options", "WndList", "1010");
  SetOption("Internet", "IntProgCount", "many");
  std::string longText(5000, 'x');
  SetOption("Options", "IntReminderText", longText);  // longer than any fixed buffer
  LoadSettings();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, kSettingsError);
  EXPECT_EQ(shown[0].style, static_cast<UINT>(MB_ICONSTOP));
  EXPECT_EQ(SecLogData, 5);
  EXPECT_EQ(LowRes[0], 80);
  EXPECT_EQ(TrackerItems[3], 3);
  EXPECT_EQ(WndDisplay, 1);
  EXPECT_EQ(NumLogData, 25);
  EXPECT_FLOAT_EQ(CostDefinition.CostOfXSecond, 0.01f);
  EXPECT_EQ(SProgCount, 2);  // -1 rule: the defaults are stored
  EXPECT_EQ(LANCon, 1);
  EXPECT_EQ(WinReminder, 45);
  EXPECT_EQ(WndList, "1010");
  EXPECT_EQ(IntReminderText, longText);
  EXPECT_EQ(Option("Options", "SecLogData"), "5");
  EXPECT_EQ(Option("Options", "TrackerItems(3)"), "3");
  EXPECT_EQ(Option("Options", "WinReminder"), "45");
  EXPECT_EQ(IntProgCount, 0);
  EXPECT_EQ(Option("Internet", "IntProgCount"), "0");

  // The store is clean now: the next load says nothing.
  shown.clear();
  LoadSettings();
  EXPECT_TRUE(shown.empty());
}

TEST_F(SettingsTest, AValueOfAnotherTypeCountsAsOneThatDoesNotConvert) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Quillon Pro\\Options", 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &key, nullptr),
            ERROR_SUCCESS);
  DWORD number = 7;
  RegSetValueExA(key, "ProcWarn", 0, REG_DWORD, reinterpret_cast<BYTE*>(&number), sizeof number);
  RegCloseKey(key);
  LoadSettings();
  EXPECT_EQ(ProcWarn, 1);
  EXPECT_EQ(ShownWithText(kSettingsError).size(), 1u);
  EXPECT_EQ(Option("Options", "ProcWarn"), "1");
}

TEST_F(SettingsTest, ResetRemovesTheEntriesOfALongerListAndStoresTheDefaults) {
  SProgCount = 5;
  for (int i = 1; i <= 5; ++i) SetOption("Options", "SProg" + std::to_string(i), "c:\\p" + std::to_string(i) + ".exe,0;1");
  SetOption("Options", "SProgCount", "5");
  SetOption("Options", "SProgress", "kept");  // not an entry
  DefaultSettings();
  EXPECT_EQ(Option("Options", "SProg1"), Lower(GetWinDir() + "\\explorer.exe,2;1"));
  EXPECT_EQ(Option("Options", "SProg2"), Lower(GetSysDir() + "\\kernel32.dll,0;1"));
  EXPECT_EQ(Option("Options", "SProgCount"), "2");
  for (int i = 3; i <= 5; ++i) EXPECT_EQ(Option("Options", "SProg" + std::to_string(i)), kMissing);
  EXPECT_EQ(Option("Options", "SProgress"), "kept");
  EXPECT_EQ(DriveCheck, 1);
  EXPECT_EQ(LastCon.Duration, 0);
  EXPECT_EQ(WinReminderIdleTime, 3);
  EXPECT_EQ(AppList, "11111111111");
  // Only the special programs are written; the rest waits for a save.
  EXPECT_EQ(Option("Options", "RunAtStartUp"), kMissing);
}

// ---- Special programs

TEST_F(SettingsTest, SpecialProgramLookUpsIgnoreCaseAndMatchByPrefix) {
  LoadSettings();  // stores the two defaults
  SetOption("Options", "SProg3", "c:\\tools,1;1");
  SetOption("Options", "SProg4", "c:\\off\\x.exe,1;0");
  SetOption("Options", "SProg5", ",1;1");  // no path: must not hide every program
  SetOption("Options", "SProgCount", "5");
  SProgCount = 5;
  const std::string explorer = GetWinDir() + "\\explorer.exe";
  struct Case {
    std::string path;
    int expected;
  } cases[] = {
      {Lower(explorer), 2},
      {Upper(explorer), 2},  // the NT road delivers upper case
      {Upper(GetSysDir() + "\\KERNEL32.DLL"), 0},
      {"c:\\tools\\a.exe", 1},
      {"C:\\TOOLSX.EXE", 1},  // a prefix, not a folder
      {"c:\\off\\x.exe", -1},  // disabled
      {"c:\\other.exe", -1},
      {"c:\\tool", -1},  // shorter than the entry
  };
  for (const Case& c : cases) EXPECT_EQ(DoSProgOp(3, c.path), c.expected) << c.path;
  EXPECT_TRUE(shown.empty());

  SProgCount = 0;
  EXPECT_EQ(DoSProgOp(3, Lower(explorer)), -1);
  EXPECT_EQ(DoSProgOp(9, Lower(explorer)), -1);
}

TEST_F(SettingsTest, AWarnProgramAsksBeforeItIsEndedAndNoKeepsIt) {
  LoadSettings();
  answer = [](const ShownMessage&) { return IDNO; };
  const std::string explorer = Upper(GetWinDir() + "\\explorer.exe");
  EXPECT_TRUE(WarnSpecialProgKill(explorer));
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, "Terminating " + explorer + " may be dangrous, Are you still sure you want to terminate it ?");
  EXPECT_EQ(shown[0].style, 0x114u);
  EXPECT_EQ(shown[0].owner, InterfaceFrm.hwnd());
  answer = [](const ShownMessage&) { return IDYES; };
  EXPECT_FALSE(WarnSpecialProgKill(explorer));
  shown.clear();
  EXPECT_FALSE(WarnSpecialProgKill(GetSysDir() + "\\kernel32.dll"));  // hidden, not warned
  EXPECT_TRUE(shown.empty());
}

TEST_F(SettingsTest, AMalformedEntryIsReportedOnceAndLeftOut) {
  LoadSettings();
  SetOption("Options", "SProg1", "no separator here");
  SProgCount = 3;  // "SProg3" is missing
  for (int i = 0; i < 5; ++i) EXPECT_EQ(DoSProgOp(3, Lower(GetSysDir() + "\\kernel32.dll")), 0);
  EXPECT_EQ(ShownWithText(kSProgError).size(), 1u);
  EXPECT_EQ(shown.size(), 1u);
  // The user's other options were not reset.
  EXPECT_EQ(Option("Options", "SProg2"), Lower(GetSysDir() + "\\kernel32.dll,0;1"));
}

TEST_F(SettingsTest, EntryPathsHoldingCommasAndSemicolonsReadBack) {
  LoadSettings();
  frmOptions.SProgsList.Clear();
  struct Row {
    const char* path;
    const char* caption;
    int enabled;
  } rows[] = {
      {"c:\\tools\\a,b\\x.exe", "Give warning message before closing it", 1},
      {"c:\\my;tools\\x.exe", "Hide it and all its windows from lists", 1},
      {"c:\\odd,;\\y.exe", "Hide from programs list", 0},
  };
  for (const Row& r : rows) {
    int row = frmOptions.SProgsList.AddItem(r.path, r.enabled);
    frmOptions.SProgsList.SetSubItem(row, 1, r.caption);
  }
  SProgCount = 3;
  SaveSetting("Quillon Pro", "Options", "SProgCount", "3");
  EXPECT_EQ(DoSProgOp(1), -1);
  EXPECT_EQ(Option("Options", "SProg1"), "c:\\tools\\a,b\\x.exe,2;1");

  frmOptions.SProgsList.Clear();
  EXPECT_EQ(DoSProgOp(2), -1);
  ASSERT_EQ(frmOptions.SProgsList.ItemCount(), 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(frmOptions.SProgsList.ItemText(i), rows[i].path);
    EXPECT_EQ(frmOptions.SProgsList.SubItem(i, 1), rows[i].caption);
    EXPECT_EQ(frmOptions.SProgsList.SmallIcon(i), rows[i].enabled);
  }
  EXPECT_EQ(DoSProgOp(3, "c:\\tools\\a,b\\x.exe"), 2);
  EXPECT_EQ(DoSProgOp(3, "c:\\tools\\a.exe"), -1);  // the cut path "c:\tools\a" hid this
  EXPECT_EQ(DoSProgOp(3, "c:\\my;tools\\x.exe"), 1);
  EXPECT_EQ(DoSProgOp(3, "c:\\odd,;\\y.exe"), -1);  // disabled
  EXPECT_TRUE(shown.empty());
  frmOptions.SProgsList.Clear();

  // Internet programs: path & ";" & enabled.
  ConInfoFrm.IntProgsList.Clear();
  ConInfoFrm.IntProgsList.AddItem("c:\\my;tools\\x.exe", 1);
  ConInfoFrm.IntProgsList.AddItem("c:\\a;b;c.exe", 0);
  IntProgCount = 2;
  DoIntProgOp(1);
  EXPECT_EQ(Option("Internet", "IntProg1"), "c:\\my;tools\\x.exe;1");
  ConInfoFrm.IntProgsList.Clear();
  DoIntProgOp(2);
  ASSERT_EQ(ConInfoFrm.IntProgsList.ItemCount(), 2);
  EXPECT_EQ(ConInfoFrm.IntProgsList.ItemText(0), "c:\\my;tools\\x.exe");
  EXPECT_EQ(ConInfoFrm.IntProgsList.SmallIcon(0), 1);
  EXPECT_EQ(ConInfoFrm.IntProgsList.ItemText(1), "c:\\a;b;c.exe");
  EXPECT_EQ(ConInfoFrm.IntProgsList.SmallIcon(1), 2);  // anything but "1" reads as disabled
  EXPECT_TRUE(DoIntProgOp(3, "c:\\my;tools\\x.exe"));
  EXPECT_FALSE(DoIntProgOp(3, "c:\\my"));
  ConInfoFrm.IntProgsList.Clear();
}

TEST_F(SettingsTest, AHugeStoredCountEndsAtTheFirstMissingEntry) {
  SetOption("Options", "SProgCount", "32767");
  SetOption("Options", "SProg1", "c:\\one.exe,0;1");
  SetOption("Options", "SProg2", "c:\\two.exe,1;1");
  SetOption("Options", "SProg3", "c:\\three.exe,2;1");
  // Past the gap: not part of the list, so never read.
  SetOption("Options", "SProg5", "c:\\five.exe,2;1");
  LoadSettings();
  EXPECT_EQ(SProgCount, 32767);
  EXPECT_EQ(DoSProgOp(3, "c:\\three.exe"), 2);
  EXPECT_EQ(DoSProgOp(3, "c:\\five.exe"), -1);
  EXPECT_EQ(DoSProgOp(3, "c:\\nowhere.exe"), -1);
  frmOptions.SProgsList.Clear();
  DoSProgOp(2);
  EXPECT_EQ(frmOptions.SProgsList.ItemCount(), 3);
  frmOptions.SProgsList.Clear();
  // A missing entry ends the list; it is not a malformed one.
  EXPECT_TRUE(shown.empty());
}

TEST_F(SettingsTest, TheOptionsListIsFilledAndStoredWithActionCaptions) {
  LoadSettings();
  frmOptions.SProgsList.Clear();
  EXPECT_EQ(DoSProgOp(2), -1);
  ASSERT_EQ(frmOptions.SProgsList.ItemCount(), 2);
  EXPECT_EQ(frmOptions.SProgsList.ItemText(0), Lower(GetWinDir() + "\\explorer.exe"));
  EXPECT_EQ(frmOptions.SProgsList.SubItem(0, 1), "Give warning message before closing it");
  EXPECT_EQ(frmOptions.SProgsList.SubItem(1, 1), "Hide from programs list");
  EXPECT_EQ(frmOptions.SProgsList.SmallIcon(0), 1);

  frmOptions.SProgsList.SetSubItem(1, 1, "Hide it and all its windows from lists");
  frmOptions.SProgsList.SetSmallIcon(1, 0);
  EXPECT_EQ(DoSProgOp(1), -1);
  EXPECT_EQ(Option("Options", "SProg2"), Lower(GetSysDir() + "\\kernel32.dll") + ",1;0");
  EXPECT_EQ(GetSProgOptText(1, "Give warning message before closing it"), "2");
  EXPECT_EQ(GetSProgOptText(1, "nothing"), "");
  EXPECT_EQ(GetSProgOptText(2, "1"), "Hide it and all its windows from lists");
  EXPECT_EQ(GetSProgOptText(2, "3"), "");
  frmOptions.SProgsList.Clear();
}

// ---- Connection statistics

TEST_F(SettingsTest, ConnectionCostsWholeUnitsPlusTheFixedPrice) {
  CostDefinition = {60, 0.01f, 0.02f};
  struct Case {
    int32_t seconds;
    float cost;
  } cases[] = {{0, 0.03f}, {60, 0.03f}, {61, 0.04f}, {119, 0.04f}, {120, 0.04f}, {3600, 0.62f}, {-5, 0.03f}};
  for (const Case& c : cases) EXPECT_FLOAT_EQ(CalcConCost(c.seconds), c.cost) << c.seconds;
  // A stored unit below one second is taken as one second, never divided by.
  for (int16_t unit : {0, -30}) {
    CostDefinition = {unit, 0.01f, 0.0f};
    EXPECT_FLOAT_EQ(CalcConCost(90), 0.9f) << unit;
  }
  CostDefinition = {1, 1.0f, 0.0f};
  EXPECT_FLOAT_EQ(CalcConCost(2147483647), 2147483647.0f);
}

TEST_F(SettingsTest, StatisticsRoundTripAndGarbageReadsAsMissing) {
  LastCon.From = "01/02/2024 10:00:00";
  LastCon.Duration = 3725;
  LastCon.Cost = 1.25f;
  LastCon.flag = "1";
  GeneralConInfo.ConnectTimes = 12;
  GeneralConInfo.Duration = 90000;
  SaveConInfo();
  EXPECT_EQ(Option("Internet", "LastCon.Duration"), "3725");
  EXPECT_EQ(Option("Internet", "IntProgCount"), kMissing);  // not written here
  LastCon = ConInfoRec();
  GeneralConInfo = ConInfoRec();
  SetOption("Internet", "LastCon.ActiveDuration", "12 minutes");
  SetOption("Internet", "GeneralConInfo.Cost", "abc");
  LoadConInfo();
  EXPECT_EQ(LastCon.From, "01/02/2024 10:00:00");
  EXPECT_EQ(LastCon.Duration, 3725);
  EXPECT_FLOAT_EQ(LastCon.Cost, 1.25f);
  EXPECT_EQ(LastCon.flag, "1");
  EXPECT_EQ(LastCon.ActiveDuration, 0);
  EXPECT_FLOAT_EQ(GeneralConInfo.Cost, 0.0f);
  EXPECT_EQ(GeneralConInfo.ConnectTimes, 12);
  EXPECT_EQ(GeneralConInfo.Duration, 90000);
  EXPECT_TRUE(shown.empty());
}

TEST_F(SettingsTest, InternetProgramsAreFoundOnlyWhenEnabledAndLaunchedOnlyWhenNotRunning) {
  testsupport::FixtureOptions options;
  options.title = "startup running program";
  testsupport::Fixture running(options);
  ASSERT_TRUE(running.Started());
  const std::string runningPath = testsupport::FixturePath();
  SetOption("Internet", "IntProg1", Upper(runningPath) + ";1");
  SetOption("Internet", "IntProg2", "c:\\not\\running.exe;1");
  SetOption("Internet", "IntProg3", "c:\\disabled.exe;0");
  IntProgCount = 3;
  std::vector<std::string> launched;
  seams::ShellExecuteFn = [&](const seams::ShellRequest& r) {
    launched.push_back(r.file);
    EXPECT_EQ(r.show, SW_SHOWNORMAL);
    return true;
  };
  EXPECT_FALSE(DoIntProgOp(4));
  EXPECT_FALSE(DoIntProgOp(4));
  EXPECT_EQ(launched, (std::vector<std::string>{"c:\\not\\running.exe", "c:\\not\\running.exe"}));

  EXPECT_TRUE(DoIntProgOp(3, "c:\\not\\running.exe"));
  EXPECT_FALSE(DoIntProgOp(3, "c:\\disabled.exe"));
  EXPECT_FALSE(DoIntProgOp(7));

  ConInfoFrm.IntProgsList.Clear();
  DoIntProgOp(2);
  ASSERT_EQ(ConInfoFrm.IntProgsList.ItemCount(), 3);
  EXPECT_EQ(ConInfoFrm.IntProgsList.ItemText(2), "c:\\disabled.exe");
  EXPECT_EQ(ConInfoFrm.IntProgsList.SmallIcon(2), 2) << "a stored 0 reads as disabled";
  ConInfoFrm.IntProgsList.SetSmallIcon(2, 1);
  DoIntProgOp(1);
  EXPECT_EQ(Option("Internet", "IntProg3"), "c:\\disabled.exe;1");
  ConInfoFrm.IntProgsList.Clear();
}

// ---- General window and bar settings

TEST_F(SettingsTest, NoGeneralKeyGivesTheMissingValues) {
  LoadGeneralSettings();
  EXPECT_TRUE(shown.empty());
  EXPECT_TRUE(InterfaceFrm.mnuSettingsTop->Checked());
  EXPECT_EQ(UpdateSpeed, 0);
  EXPECT_TRUE(InterfaceFrm.mnuSettingsUpdateSpd[0]->Checked());
  EXPECT_TRUE(Mainfrm.mnuAppLstView[2]->Checked());
  EXPECT_TRUE(Mainfrm.mnuWndLstView[2]->Checked());
  EXPECT_EQ(Mainfrm.AppLst.View(), static_cast<DWORD>(LVS_REPORT));
  EXPECT_TRUE(Toolbar);
  EXPECT_FALSE(AutoHide);
  EXPECT_FALSE(BarAlwaysOnTop);
  EXPECT_EQ(Position, 1);
  EXPECT_TRUE(BlockMessenger);
  EXPECT_TRUE(InterfaceFrm.mnuSettingsPopBlock->Checked());

  // Saved and read again, the states come back.
  InterfaceFrm.mnuSettingsUpdateSpd_Click(2);
  Mainfrm.mnuAppLstView_Click(1);
  Position = 3;
  SaveGeneralSettings();
  EXPECT_EQ(Option("General", "UpdateSpeed"), "2");
  EXPECT_EQ(Option("General", "AppsLst"), "1");
  EXPECT_EQ(Option("General", "AlwaysOnTop"), "True");
  EXPECT_EQ(Option("General", "Position"), "3");
  EXPECT_NE(Option("General", "Left"), kMissing);
  InterfaceFrm.mnuSettingsTop_Click();  // off again
  LoadGeneralSettings();
  EXPECT_EQ(UpdateSpeed, 2);
  EXPECT_EQ(RefreshInterval, 35);
  EXPECT_TRUE(Mainfrm.mnuAppLstView[1]->Checked());
  EXPECT_EQ(Position, 3);
}

// The frame's and the lists' menu settings live in variables of their own; the menus
// show them, and a choice in a menu is what the next save writes.
TEST_F(SettingsTest, MenuSettingsAreVariablesThatTheMenusShow) {
  SetOption("General", "AlwaysOnTop", "False");
  SetOption("General", "UpdateSpeed", "3.7");  // the integer part picks the speed
  SetOption("General", "AppsLst", "0");
  SetOption("General", "WndsLst", "1");
  LoadGeneralSettings();
  EXPECT_TRUE(shown.empty());
  EXPECT_FALSE(AlwaysOnTop);
  EXPECT_FALSE(InterfaceFrm.mnuSettingsTop->Checked());
  EXPECT_EQ(UpdateSpeed, 3);
  EXPECT_TRUE(InterfaceFrm.mnuSettingsUpdateSpd[3]->Checked());
  EXPECT_EQ(AppsLst, 0);
  EXPECT_TRUE(Mainfrm.mnuAppLstView[0]->Checked());
  EXPECT_EQ(WndsLst, 1);
  EXPECT_TRUE(Mainfrm.mnuWndLstView[1]->Checked());

  InterfaceFrm.mnuSettingsTop_Click();
  Mainfrm.mnuWndLstView_Click(2);
  EXPECT_TRUE(AlwaysOnTop);
  EXPECT_EQ(WndsLst, 2);
  SaveGeneralSettings();
  EXPECT_EQ(Option("General", "AlwaysOnTop"), "True");
  EXPECT_EQ(Option("General", "UpdateSpeed"), "3");
  EXPECT_EQ(Option("General", "AppsLst"), "0");
  EXPECT_EQ(Option("General", "WndsLst"), "2");
  InterfaceFrm.mnuSettingsTop_Click();  // off again
}

TEST_F(SettingsTest, GarbageInGeneralFallsBackKeyByKeyWithOneMessage) {
  SetOption("General", "UpdateSpeed", "fast");
  SetOption("General", "AppsLst", "7");
  SetOption("General", "Position", "x");
  SetOption("General", "AutoHide", "maybe");
  SetOption("General", "WndsLst", "0");
  SetOption("MoreTools", "BlockPopUps", "never");
  LoadGeneralSettings();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, kGeneralError);
  EXPECT_EQ(shown[0].style, static_cast<UINT>(MB_ICONSTOP));
  EXPECT_EQ(shown[0].owner, InterfaceFrm.hwnd());
  EXPECT_EQ(UpdateSpeed, 0);
  EXPECT_TRUE(Mainfrm.mnuAppLstView[2]->Checked());
  EXPECT_TRUE(Mainfrm.mnuWndLstView[0]->Checked());  // the good value stays
  EXPECT_EQ(Position, 1);
  EXPECT_FALSE(AutoHide);
  EXPECT_TRUE(BlockPopUps);
  EXPECT_EQ(Option("General", "AppsLst"), "2");
  EXPECT_EQ(Option("General", "Position"), "1");
  EXPECT_EQ(Option("General", "WndsLst"), "0");
  EXPECT_EQ(Option("MoreTools", "BlockPopUps"), "True");
  shown.clear();
  LoadGeneralSettings();
  EXPECT_TRUE(shown.empty());
}

TEST_F(SettingsTest, StartUpBlockerItemsStoreTheirStateForTheNextStart) {
  LoadGeneralSettings();
  InterfaceFrm.mnuSettingsPopBlock_Click();
  EXPECT_EQ(Option("MoreTools", "BlockPopUps"), "False");
  EXPECT_TRUE(BlockPopUps);  // the running state waits for the next start
  InterfaceFrm.mnuSettingsMsgBlock_Click();
  EXPECT_EQ(Option("MoreTools", "BlockMessenger"), "False");
}

// ---- prog.ini

class IniTest : public StoreTest {
 protected:
  void SetUp() override {
    StoreTest::SetUp();
    saved = ProgIniPath;
    char dir[MAX_PATH];
    GetTempPathA(sizeof dir, dir);
    ProgIniPath = std::string(dir) + "startup_test_prog.ini";
    DeleteFileA(ProgIniPath.c_str());
  }
  void TearDown() override {
    DeleteFileA(ProgIniPath.c_str());
    ProgIniPath = saved;
    StoreTest::TearDown();
  }
  std::string saved;
};

TEST_F(IniTest, DefaultClassesAreWrittenAndLoaded) {
  EXPECT_FALSE(FileExists(ProgIniPath));
  WriteDefaultClasses();
  EXPECT_TRUE(FileExists(ProgIniPath));
  DialogOwnerClasses.clear();
  LoadWndClasses();
  EXPECT_EQ(DialogOwnerClasses, (std::vector<std::string>{"", "RUNDLL", "STUBWINDOW32"}));
  const std::string text = testsupport::ReadAll(ProgIniPath);
  EXPECT_NE(text.find("[Classes]"), std::string::npos);
  EXPECT_NE(text.find("Number=2"), std::string::npos);
}

TEST_F(IniTest, ModesAndMissingArguments) {
  EXPECT_EQ(ReadWriteIni("", "a", "b"), "ERROR MODE");
  EXPECT_EQ(ReadWriteIni("GET", "", "b"), "ERROR Secname");
  EXPECT_EQ(ReadWriteIni("GET", "a", ""), "ERROR Keyname");
  EXPECT_EQ(ReadWriteIni("write", "RunApp", "1", "notepad.exe"), "");
  EXPECT_EQ(ReadWriteIni("get", "RunApp", "1"), "notepad.exe");
  EXPECT_EQ(ReadWriteIni("GET", "RunApp", "2"), "");
  EXPECT_EQ(ReadWriteIni("READ", "RunApp", "1"), "");
  // At most 254 characters come back.
  ReadWriteIni("WRITE", "RunApp", "long", std::string(600, 'q'));
  EXPECT_EQ(ReadWriteIni("GET", "RunApp", "long"), std::string(253, 'q'));
}

TEST_F(IniTest, ACountThatIsNoSmallNumberLoadsNoClasses) {
  for (const char* number : {"99999999", "-4", "lots", "1e300"}) {
    ReadWriteIni("WRITE", "Classes", "Number", number);
    DialogOwnerClasses = {"", "KEPT"};
    LoadWndClasses();
    EXPECT_EQ(DialogOwnerClasses, (std::vector<std::string>{"", "KEPT"})) << number;
  }
  ReadWriteIni("WRITE", "Classes", "Number", "3");  // more than are listed
  ReadWriteIni("WRITE", "Classes", "Class1", "X");
  LoadWndClasses();
  EXPECT_EQ(DialogOwnerClasses, (std::vector<std::string>{"", "X", "", ""}));
}

// ---- Registry procedures and small utilities

TEST_F(SettingsTest, RegistryProceduresReadWriteCountAndDelete) {
  const std::string path = "Software\\Quillon Pro\\RegTest";
  SetRegText(HKEY_CURRENT_USER, path, "", "");
  SetRegValue(HKEY_CURRENT_USER, path, "plain", "abc");
  SetRegValue(HKEY_CURRENT_USER, path, "padded", "  abc  ");
  SetRegValue(HKEY_CURRENT_USER, path, "long", std::string(3000, 'z'));
  HKEY key = OpenRegKey(HKEY_CURRENT_USER, path);
  ASSERT_TRUE(key);
  EXPECT_EQ(GetRegValue(key, "plain"), "abc");
  EXPECT_EQ(GetRegValue(key, "padded"), "abc");
  EXPECT_EQ(GetRegValue(key, "missing"), std::string(1023, '\0'));
  EXPECT_TRUE(RegValueMissing(GetRegValue(key, "long")));  // never read past its buffer
  EXPECT_EQ(CountRegItems(key, 0), 4);
  EXPECT_EQ(CountRegItems(key, 1), 0);
  std::vector<std::string> names;
  for (DWORD i = 0; i < 4; ++i) names.push_back(EnumRegValueName(key, i));
  EXPECT_NE(std::find(names.begin(), names.end(), "long"), names.end());
  EXPECT_EQ(EnumRegValueName(key, 99), "");
  EXPECT_EQ(DeleteRegValue(key, "plain"), ERROR_SUCCESS);
  EXPECT_NE(DeleteRegValue(key, "plain"), ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_EQ(OpenRegKey(HKEY_CURRENT_USER, "Software\\Quillon Pro\\NoSuchKey"), nullptr);
}

TEST_F(SettingsTest, RegistryTextIsReadByTypeUpToItsFirstNul) {
  const std::string path = "Software\\Quillon Pro\\RegTest";
  SetRegText(HKEY_CURRENT_USER, path, "", "");
  HKEY key = OpenRegKey(HKEY_CURRENT_USER, path);
  ASSERT_TRUE(key);
  auto put = [&](const char* name, DWORD type, const std::string& bytes) {
    RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()));
  };
  const std::string exe = "C:\\QP\\QuillonPro.exe";
  put("noNul", REG_SZ, exe);  // stored without its NUL, as installers do
  put("expand", REG_EXPAND_SZ, std::string("%windir%\\x.exe ") + '\0');
  put("twoTexts", REG_SZ, std::string("first") + '\0' + "second" + '\0');
  put("empty", REG_SZ, "");
  put("number", REG_DWORD, std::string("\x01\x00\x00\x00", 4));
  put("bytes", REG_BINARY, "abc");
  EXPECT_EQ(GetRegValue(key, "noNul"), exe);
  EXPECT_EQ(GetRegValue(key, "expand"), "%windir%\\x.exe");
  EXPECT_EQ(GetRegValue(key, "twoTexts"), "first");
  EXPECT_EQ(GetRegValue(key, "empty"), "");
  EXPECT_TRUE(RegValueMissing(GetRegValue(key, "number")));
  EXPECT_TRUE(RegValueMissing(GetRegValue(key, "bytes")));
  RegCloseKey(key);
  // The settings store reads by the same rule.
  EXPECT_EQ(GetSetting("Quillon Pro", "RegTest", "noNul"), exe);
  EXPECT_EQ(GetSetting("Quillon Pro", "RegTest", "number", "fallback"), "fallback");

  // A browser registered without the NUL is found whole, so the first run adds it.
  const std::string appPaths = AppPathsOf("qpnonul.exe");
  SetRegText(HKEY_LOCAL_MACHINE, appPaths, "", "");
  HKEY browser = OpenRegKey(HKEY_LOCAL_MACHINE, appPaths);
  ASSERT_TRUE(browser);
  RegSetValueExA(browser, "", 0, REG_SZ, reinterpret_cast<const BYTE*>(exe.data()), static_cast<DWORD>(exe.size()));
  RegCloseKey(browser);
  EXPECT_EQ(GetAppPathsEntry("qpnonul.exe"), exe);
  DeleteTree(HKEY_LOCAL_MACHINE, appPaths);
}

TEST(Utilities, SecondsAsHoursMinutesAndSeconds) {
  struct Case {
    int32_t seconds;
    const char* text;
  } cases[] = {{3725, "1:02:05"}, {59, "0:00:59"}, {90000, "25:00:00"}, {0, "0:00:00"}, {600, "0:10:00"}};
  for (const Case& c : cases) EXPECT_EQ(SecsToTimeStr(c.seconds), c.text);
}

TEST(Utilities, ClassNamesAndFileFacts) {
  InterfaceFrm.Load();
  EXPECT_EQ(GetWndClassName(GetDesktopWindow()), "#32769");
  EXPECT_FALSE(GetWndClassName(InterfaceFrm.hwnd()).empty());
  EXPECT_TRUE(FileExists(testsupport::BinDir() + "\\QuillonPro.exe"));
  EXPECT_FALSE(FileExists(testsupport::BinDir()));
  EXPECT_FALSE(FileExists(testsupport::BinDir() + "\\nothing.here"));
  EXPECT_EQ(GetFileNameFromPath("c:\\a\\b.exe"), "b.exe");
  EXPECT_EQ(GetFileNameFromPath("b.exe"), "b.exe");
}

}  // namespace
