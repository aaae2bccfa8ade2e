#include <shlwapi.h>

#include <algorithm>
#include <regex>

#include "AppendString.h"
#include "Fixture.h"
#include "Input.h"
#include "Mainfrm.h"
#include "ModConInfo.h"
#include "ModMain.h"
#include "ModPop.h"
#include "ModProcMon.h"
#include "ModProgInfo.h"
#include "ModSettings.h"
#include "ModStartupPlatform.h"
#include "MoreToolsFrm.h"
#include "ProcMonCls.h"
#include "ReportSupport.h"
#include "SysInfoLink.h"
#include "UiWait.h"
#include "VbRules.h"
#include "ViewBindings.h"

namespace reporttest {

void ReportTest::SetUp() {
  LoopTest::SetUp();
  Logfrm.Unload();
  TasksHistoryOnly = false;
  report::UptimeMsFn = [] { return 3 * 3600 * 1000ull + 61000; };
}

void ReportTest::TearDown() {
  Logfrm.Unload();
  TasksHistoryOnly = false;
  LoopTest::TearDown();
}

std::string ReportTest::Build(std::initializer_list<int> sections) {
  TasksHistoryOnly = true;
  EXPECT_TRUE(Logfrm.Load());
  TasksHistoryOnly = false;
  for (int i = 1; i <= 7; ++i) Logfrm.Toolbar2.SetValue(i, false);
  for (int s : sections) Logfrm.Toolbar2.SetValue(s, true);
  Logfrm.WriteData();
  return Logfrm.LogTxt.Text();
}

std::string ReportTest::Section(const std::string& text, const std::string& heading) {
  const size_t start = text.find(heading);
  if (start == std::string::npos) return "";
  size_t end = text.find("\r\n<", start + heading.size());
  if (end == std::string::npos) end = text.find("\r\n  -  End of Report -", start);
  return text.substr(start, end - start);
}

namespace {

const std::string kTop =
    std::string(30, '~') + "\r\n ------- Quillon Report ------ \r\n" + std::string(30, '~') + "\r\n\r\nDate: ";

}  // namespace

TEST_F(ReportTest, NoSectionGivesTheFrameAloneAndTheUptimeNeverWraps) {
  const std::string text = Build({});
  ASSERT_EQ(text.substr(0, kTop.size()), kTop);
  const size_t dateEnd = text.find("\r\n", kTop.size());
  EXPECT_EQ(text.substr(dateEnd), "\r\n\r\nWindows is running for: 3:01:01\r\n\r\n\r\n\r\n  -  End of Report -\r\n")
      << "the Internet section's closing line stays when it is released";
  EXPECT_EQ(Logfrm.SBar.PanelText(0), "");
  EXPECT_EQ(Logfrm.Caption(), "Logs");

  struct Case {
    uint64_t ms;
    const char* shown;
  } cases[] = {{0, "0:00:00"}, {25 * kDayMs, "600:00:00"}, {50 * kDayMs, "1200:00:00"}, {59999, "0:00:59"}};
  for (const Case& c : cases) EXPECT_EQ(report::UptimeLine(c.ms), std::string("Windows is running for: ") + c.shown);
  report::UptimeMsFn = [] { return 50 * kDayMs; };
  Logfrm.WriteData();
  EXPECT_NE(Logfrm.LogTxt.Text().find("Windows is running for: 1200:00:00\r\n"), std::string::npos);
}

TEST_F(ReportTest, LoadPressesAllButDetailsOrOnlyTheHistoryAndRefusesRiskTabOn9x) {
  // Figures of a performance object that is not there end the body: give some.
  CreateSysInfoFn = [](IUnknown** object) {
    *object = nullptr;
    return E_FAIL;
  };
  Logfrm.Load();
  const bool expected[8] = {false, true, false, true, true, true, true, true};
  for (int i = 1; i <= 7; ++i) EXPECT_EQ(Logfrm.Toolbar2.Value(i), expected[i]) << i;
  const std::string text = Logfrm.LogTxt.Text();
  for (const char* heading : {"<PROGRAMS AND WINDOWS>", "<INTERNET CONNECTION INFORMATION>", "<SYSTEM PERFORMANCE>"})
    EXPECT_NE(text.find(heading), std::string::npos) << heading;
  EXPECT_EQ(text.find("<PROGRAM(S) DETAILS>"), std::string::npos);
  Logfrm.Unload();

  // From the mini-tools page's "View": the history alone.
  HistoryLog = {"Started a", "Ended b"};
  HistoryCount = 2;
  TasksHistoryOnly = true;
  Logfrm.Load();
  TasksHistoryOnly = false;
  for (int i = 1; i <= 7; ++i) EXPECT_EQ(Logfrm.Toolbar2.Value(i), i == 6) << i;
  EXPECT_EQ(Section(Logfrm.LogTxt.Text(), "<PROCESSES AND WINDOWS HISTORY>"),
            "<PROCESSES AND WINDOWS HISTORY>\r\n" + std::string(31, '`') + "\r\n\r\n - Started a\r\n - Ended b\r\n");
  Logfrm.Unload();

  // F1 opens the help page of the report.
  Logfrm.Load();
  Logfrm.LogTxt.SetFocus();
  PostMessageA(Logfrm.LogTxt.hwnd(), WM_KEYDOWN, VK_F1, 0);
  testsupport::PumpUntil([&] { return !launched.empty(); }, 3000);
  ASSERT_EQ(launched.size(), 1u);
  EXPECT_NE(launched[0].file.find("online_help"), std::string::npos) << launched[0].file;
  Logfrm.Unload();

  // A load after the risk tab starts on the first tab with one build.
  Logfrm.Load();
  Logfrm.SSTab1.SetTab(1);
  Logfrm.Unload();
  Logfrm.Load();
  EXPECT_EQ(Logfrm.SSTab1.Tab(), 0);
  EXPECT_EQ(Logfrm.BuildsFinished(), 1);
  Logfrm.Unload();

  IsWinNTFlag = false;
  Logfrm.Load();
  Logfrm.SSTab1.SetTab(1);
  EXPECT_EQ(Logfrm.SSTab1.Tab(), 0) << "no risk monitor on the 9x family";
}

TEST_F(ReportTest, InternetSectionFollowsTheRecords) {
  const std::string head = "\r\n<INTERNET CONNECTION INFORMATION>\r\n" + std::string(33, '`') + "\r\n";
  LANCon = 0;
  CurCon = LastCon = GeneralConInfo = ConInfoRec();
  EXPECT_EQ(report::InternetText(), head +
                                        "  Current Connection :- \r\n    (Not Connected)\r\n"
                                        "  Last Connection :- \r\n    (none):\r\n"
                                        "  General Informaion :- \r\n    (none):\r\n");

  // A last connection whose duration was reset: no duration, no cost, no share.
  LastCon.flag = "1";
  LastCon.From = "f";
  LastCon.To = "t";
  LastCon.ActiveDuration = 5000;
  std::string text = report::InternetText();
  EXPECT_NE(
      text.find("    From:f\r\n    To:t\r\n    Active Duration:0:00:05\r\n    Average Receiving Speed:0 KB/sec\r\n"),
      std::string::npos)
      << text;
  EXPECT_EQ(text.find("    Duration:"), std::string::npos);
  EXPECT_EQ(text.find("    Cost:"), std::string::npos);

  // Totals beyond 2147483 seconds still give their share.
  GeneralConInfo.ConnectTimes = 4;
  GeneralConInfo.Duration = 3000000;
  GeneralConInfo.ActiveDuration = 1500000000;
  text = report::InternetText();
  EXPECT_NE(text.find("    Duration:833:20:00\r\n    Active Duration:416:40:00  50%\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("    Connected:4 times\r\n"), std::string::npos);

  // A leased line with no connection record: its type and no share anywhere.
  LANCon = 1;
  CurCon = ConInfoRec();
  CurCon.From = "x";
  CurCon.ActiveDuration = 2000;
  text = report::InternetText();
  EXPECT_NE(text.find("  Current Connection :- \r\n    Connection type: LAN Connection\r\n    From: x\r\n    To: "),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("    Active Duration: 0:00:02\r\n    Receiving Speed: 0 KB/sec\r\n"), std::string::npos);
  EXPECT_EQ(text.find('%'), std::string::npos);

  // A dial-up connection in progress: duration, share and cost.
  LANCon = 0;
  CurCon.Duration = 100;
  CurCon.ActiveDuration = 50000;
  text = report::InternetText();
  EXPECT_NE(text.find("    Duration: 0:01:40\r\n    Active Duration: 0:00:50  50%\r\n    Cost: "), std::string::npos)
      << text;
}

TEST_F(ReportTest, TaskManagerSectionCopiesBothListsWithSelectionMarksAndTheViewMode) {
  testsupport::FixtureFolder folder("report_tm");
  folder.Start("tmone.exe", "plain");
  Mainfrm.Load();
  Mainfrm.FastRef = false;
  Mainfrm.RefreshMe();
  // The row of the fixture, whatever case the walk gives its key.
  auto fixtureRow = [&] {
    for (int r = 0; r < Mainfrm.AppLst.ItemCount(); ++r)
      if (vb::LCase(Mainfrm.AppLst.Key(r)) == vb::LCase(folder.PathOf("tmone.exe"))) return r;
    return -1;
  };
  const int row = fixtureRow();
  ASSERT_GE(row, 0);
  Mainfrm.AppLst.SetSelected(row, true);
  Mainfrm.FastRef = true;
  struct Case {
    int16_t mode;
    const char* line;
  } cases[] = {{2, "All running programs and windows."},
               {1, "All running programs and windows belong to the selected programs."},
               {3, "All open windows and the program(s) that owns the selected windows."}};
  for (const Case& c : cases) {
    Mainfrm.ProgWndImgIndex = c.mode;
    const std::string text = Section(Build({1}), "<PROGRAMS AND WINDOWS>");
    const std::string title = "<PROGRAMS AND WINDOWS>\r\n" + std::string(22, '`') + "\r\n";
    EXPECT_EQ(text.substr(0, title.size()), title);
    EXPECT_NE(text.find(std::string(" - Selected option :- ") + c.line +
                        "\r\n\r\n"
                        "       ~~ Programs List - (*) means a selected item ~~  \r\n\r\n"),
              std::string::npos)
        << c.mode;
    if (c.mode == 2) {
      const int now = fixtureRow();
      ASSERT_GE(now, 0);
      EXPECT_NE(text.find(" *" + Mainfrm.AppLst.ColumnText(0) + " : " + Mainfrm.AppLst.ItemText(now) + "\r\n"),
                std::string::npos)
          << text;
      for (int r = 0; r < Mainfrm.AppLst.ItemCount(); ++r)
        EXPECT_NE(text.find(report::ListRowText(Mainfrm.AppLst, r, true)), std::string::npos) << r;
      EXPECT_NE(text.find("       ~~ Windows List - (*) means a selected item ~~  \r\n\r\n  "), std::string::npos);
      const int w = Mainfrm.WndLst.FindItem("tmone.exe");
      if (w >= 0) {
        EXPECT_NE(text.find(report::ListRowText(Mainfrm.WndLst, w, true)), std::string::npos);
      }
    }
  }
  Mainfrm.ProgWndImgIndex = 2;
}

TEST_F(ReportTest, ListRowsFollowTheHeadersInColumnOrder) {
  ui::Window form(ui::FormDesign{});
  ui::ListView list(form, {0, 0, 200, 200});
  list.AddColumn("a", "Name", 50);
  list.AddColumn("b", "Path", 50);
  list.AddColumn("c", "Size", 50);
  ASSERT_TRUE(form.Load());
  int r = list.AddItem("one");
  list.SetSubItem(r, 1, "c:\\one.exe");
  list.SetSubItem(r, 2, "12");
  r = list.AddItem("two");
  list.SetSelected(r, true);
  EXPECT_EQ(report::ListRowsText(list, true),
            "  Name : one\r\n   Path : c:\\one.exe\r\n   Size : 12\r\n\r\n"
            " *Name : two\r\n   Path : \r\n   Size : \r\n\r\n\r\n");
  EXPECT_EQ(report::ListRowText(list, 0, false), "Name : one\r\n   Path : c:\\one.exe\r\n   Size : 12\r\n");
}

TEST_F(ReportTest, PopUpSectionCountsAndCopiesTheBlockedList) {
  ui::Window page(ui::FormDesign{});
  ui::ListView blocked(page, {0, 0, 200, 200});
  blocked.AddColumn("t", "Title", 80);
  blocked.AddColumn("u", "URL", 80);
  ASSERT_TRUE(page.Load());
  const int row = blocked.AddItem("Offer");
  blocked.SetSubItem(row, 1, "http://ads.example/");
  blocked.SetSelected(row, true);
  ui::ListView* const bound = Views.popUpPage.BlockedWndLst;
  Views.popUpPage.BlockedWndLst = &blocked;
  TotalBlockCnt = 3;
  TotalBlockSince = 45000.5;
  const std::string text = Section(Build({5}), "<POP-UPS REPORT>");
  Views.popUpPage.BlockedWndLst = bound;
  EXPECT_EQ(text, "<POP-UPS REPORT>\r\n" + std::string(16, '`') + "\r\nTotal number of blocked pop-up's since " +
                      vb::CStrDate(45000.5) + " is 3\r\n\r\nTitle : Offer\r\n   URL : http://ads.example/\r\n\r\n\r\n");
}

TEST_F(ReportTest, DetailsSectionGroupsInstancesAndListsModuleBlocks) {
  testsupport::FixtureFolder folder("report_det");
  const std::string path = folder.PathOf("verfix.exe");
  ASSERT_TRUE(CopyFileA((testsupport::BinDir() + "\\fixture_versioned.exe").c_str(), path.c_str(), FALSE));
  folder.Keep(path);
  std::vector<DWORD> ids;
  for (int i = 0; i < 3; ++i) ids.push_back(folder.Start("verfix.exe", "plain").pid());
  const std::string text = Section(Build({2}), "<PROGRAM(S) DETAILS>");
  const std::string lower = vb::LCase(path);
  const size_t at = text.find("\r\n  " + lower + "\r\n");
  ASSERT_NE(at, std::string::npos) << text.substr(0, 2000);
  EXPECT_EQ(text.find("\r\n  " + lower + "\r\n", at + 1), std::string::npos) << "one entry per program";
  EXPECT_NE(text.find("  ~~ Verison Information\r\n    --> CompanyName: Fixture Works\r\n"
                      "    --> FileDescription: Versioned fixture\r\n    --> FileVersion: 2.5.0.1\r\n",
                      at),
            std::string::npos);
  EXPECT_NE(text.find("    --> ProductVersion: 2.5\r\n  ~~ Processes (ProcessID)\r\n", at), std::string::npos);
  for (DWORD id : ids) {
    const std::string head =
        "    --> " + std::to_string(id) + "\r\n    ~~ Modules (Name - Handle - Path - Size - Base Address)\r\n";
    const size_t h = text.find(head, at);
    ASSERT_NE(h, std::string::npos) << id;
    // The program's own module block, then its version lines.
    std::regex first(
        "       --> verfix\\.exe \\(\\d+\\) \\([^)]*verfix\\.exe\\) \\(\\d+\\) \\(\\d+\\)\r\n"
        "           CompanyName: Fixture Works\r\n",
        std::regex::icase);
    EXPECT_TRUE(std::regex_search(text.substr(h, 4000), first)) << text.substr(h, 600);
  }
  EXPECT_EQ(Logfrm.SBar.PanelText(0), "");

  // NT 4 lists no modules.
  IsNT4 = true;
  const std::string nt4 = Section(Build({2}), "<PROGRAM(S) DETAILS>");
  IsNT4 = false;
  EXPECT_EQ(nt4.find("~~ Modules"), std::string::npos);
  EXPECT_NE(nt4.find("    --> " + std::to_string(ids[0]) + "\r\n"), std::string::npos);
}

TEST_F(ReportTest, StartUpSectionIsReadFreshFromTheRunKey) {
  MoreToolsFrm.Load();
  MoreToolsFrm.RefreshMe(false);
  testsupport::SetRegText(HKEY_CURRENT_USER, looptest::kRunPath, "ReportSeeded", "c:\\seeded\\prog.exe /x");
  const std::string text = Section(Build({7}), "<WINDOWS START-UP PROGRAMS>");
  testsupport::DeleteRegValueAt(HKEY_CURRENT_USER, looptest::kRunPath, "ReportSeeded");
  const std::string title = "<WINDOWS START-UP PROGRAMS>\r\n" + std::string(24, '`') + "\r\n";
  EXPECT_EQ(text.substr(0, title.size()), title);
  EXPECT_NE(text.find("ReportSeeded"), std::string::npos) << text;
  EXPECT_NE(text.find("c:\\seeded\\prog.exe /x"), std::string::npos) << text;
  EXPECT_EQ(text.find(" *"), std::string::npos) << "no marks outside the lists page";
}

TEST_F(ReportTest, PerformanceSectionWithoutTheObjectSaysSoAndTheSectionsAfterItFollow) {
  CreateSysInfoFn = [](IUnknown** object) {
    *object = nullptr;
    return E_FAIL;
  };
  ReleaseSysInfo();
  HistoryLog = {"kept in"};
  HistoryCount = 1;
  const std::string text = Build({4, 5, 6, 7});
  EXPECT_NE(text.find("<SYSTEM PERFORMANCE>\r\n" + std::string(19, '`') +
                      "\r\n The performance figures can't be read: the system-resources library (Pellmon.dll) is "
                      "missing or not registered.\r\n"),
            std::string::npos)
      << text;
  for (const char* part : {"<POP-UPS REPORT>", "kept in", "<WINDOWS START-UP PROGRAMS>", "  -  End of Report -"})
    EXPECT_NE(text.find(part), std::string::npos) << part << " is missing from:\n" << text;
  EXPECT_EQ(report::PerformanceText({7, 1, 2, 3, 4, 5, 6, 8, 9}),
            " - CPU Usage (%): 7\r\n - Physical (K): \r\n -     Free: 2\r\n -     Total: 3\r\n"
            " - Virtual (K): \r\n -     Free: 4\r\n -     Total: 5\r\n - Paging (K): \r\n"
            " -     Free: 6\r\n -     Total: 8\r\n");
  // A figure the library held at its 32-bit ceiling is reported as the system has it.
  const std::string held = report::PerformanceText({7, 1, 2, 3, 4, 0x7FFFFFFF, 6, 8, 9});
  EXPECT_EQ(held.find("2147483647"), std::string::npos) << held;
}

TEST_F(ReportTest, RiskTabListsMonitoredProgramsAndKeepsTheSelection) {
  if (!IsWinNTFlag) GTEST_SKIP();
  MonitoredProgHist.clear();
  MonitoredProgCount = 0;
  Build({});
  Logfrm.SSTab1.SetTab(1);
  std::string text = Logfrm.LogTxt.Text();
  EXPECT_NE(text.find("<Process that are monitored for risky functions>\r\n" + std::string(48, '`') +
                      "\r\n There is no processes that are currently being monitored for risky functions.\r\n"),
            std::string::npos)
      << text;

  testsupport::FixtureFolder folder("report_risk");
  const std::string one = folder.PathOf("riskone.exe"), two = folder.PathOf("risktwo.exe");
  for (const std::string& p : {one, two}) {
    CopyFileA(testsupport::FixturePath().c_str(), p.c_str(), FALSE);
    folder.Keep(p);
    MonitoredProgHist.push_back(std::make_unique<HistogramCls>());
    MonitoredProgHist.back()->ExtraInfo = p;
  }
  MonitoredProgCount = 2;
  // The second program's log: marks, an event and one of a hidden category.
  CreateDirectoryA(RiskMonitorLogFolder().c_str(), nullptr);
  const std::string log = ProcMonCls::LogPathOf(two);
  DeleteFileA(log.c_str());
  InitRiskCategories();
  RiskCategories[1].Shown = false;  // registry events
  AppendMonitorLogLine(log, "10:00:00 101 start\r\n10:00:01 201 a file\r\n10:00:02 302 a key\r\n");
  Logfrm.WriteData();
  ASSERT_EQ(Logfrm.RiskMonLV.ItemCount(), 2);
  EXPECT_EQ(Logfrm.RiskMonLV.Tag(1), two);
  EXPECT_NE(Logfrm.LogTxt.Text().find(" Please select a program from the right list.\r\n"), std::string::npos);
  Logfrm.RiskMonLV.SetSelected(1, true);
  Logfrm.RiskMonLV_ItemClick(1);
  text = Logfrm.LogTxt.Text();
  EXPECT_NE(text.find("Program Path: " + two +
                      "\r\nNotice: The data will be filtered according the filters "
                      "determined in Program's Details.\r\n\r\nGeneral Risky Properties:\r\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("\r\nRisk Monitor Log:\r\n"), std::string::npos);
  EXPECT_NE(text.find("  Time: 10:00:01\r\n  Description: " + GetRiskDetails(201) +
                      "\r\n  Extra Inofmration: a file\r\n\r\n"),
            std::string::npos)
      << text;
  EXPECT_EQ(text.find("a key"), std::string::npos) << "a hidden category";
  RiskCategories[1].Shown = true;
  ASSERT_EQ(Logfrm.RiskMonLV.SelectedRows().size(), 1u);
  EXPECT_EQ(Logfrm.RiskMonLV.Tag(Logfrm.RiskMonLV.SelectedRows()[0]), two) << "stays selected after the refill";
  DeleteFileA(log.c_str());
  MonitoredProgHist.clear();
  MonitoredProgCount = 0;
}

// ---- one build at a time

namespace {

// Runs a request from inside the build's pump, as a user's click would arrive: a timer
// that acts once the build's status says when.
class Poster : public ui::Window {
 public:
  Poster() : Window(ui::FormDesign{}), tick_(*this, 10) {
    tick_.Tick = [this] {
      if (!onPost || !when()) return;
      auto run = onPost;
      onPost = nullptr;
      run();
    };
  }
  std::function<void()> onPost;
  std::function<bool()> when = [] { return true; };

 private:
  ui::Timer tick_;
};

bool InDetails() { return Logfrm.SBar.PanelText(0).find("... (") != std::string::npos; }

}  // namespace

TEST_F(ReportTest, ARequestDuringABuildReplacesItAndCloseStopsIt) {
  testsupport::FixtureFolder folder("report_re");
  folder.Start("reone.exe", "plain");
  folder.Start("retwo.exe", "plain");
  Build({});
  Poster poster;
  ASSERT_TRUE(poster.Load());
  poster.when = InDetails;
  const int before = Logfrm.BuildsFinished();

  // A Refresh and a "Details" release arrive while the Details section pumps.
  Logfrm.Toolbar2.SetValue(2, true);
  int posted = 0;
  std::string status;
  poster.onPost = [&] {
    ++posted;
    status = Logfrm.SBar.PanelText(0);
    Logfrm.Toolbar1.ClickButton(1);
    Logfrm.Toolbar2.ClickButton(2);
    // A forced rebuild and an activity-log walk meanwhile change nothing shown.
    now += 2000;
    DoProcessListOp(kProcRebuild, "");
    now += 2000;
    LogScanning = -1;
    DoProcessListOp(kProcRebuild, "True");
    LogScanning = 0;
  };
  Logfrm.WriteData();
  EXPECT_EQ(posted, 1);
  EXPECT_EQ(status.rfind("Loading data. This may take few seconds, please wait ... (", 0), 0u) << status;
  EXPECT_EQ(status.back(), ')');
  EXPECT_FALSE(Logfrm.Building());
  EXPECT_EQ(Logfrm.BuildsFinished(), before + 1) << "one build, the last one";
  EXPECT_FALSE(Logfrm.Toolbar2.Value(2));
  EXPECT_EQ(Logfrm.LogTxt.Text().find("<PROGRAM(S) DETAILS>"), std::string::npos) << "the buttons' choice";

  // Close while it pumps: the window stays closed and nothing fails.
  Logfrm.Toolbar2.SetValue(2, true);
  poster.onPost = [] { Logfrm.Close(); };
  Logfrm.WriteData();
  EXPECT_FALSE(Logfrm.Loaded());
  ui::DoEvents();
  EXPECT_FALSE(Logfrm.Loaded());
  EXPECT_FALSE(Logfrm.Building());
}

TEST_F(ReportTest, TheActivityLogsWalkLeavesTheProgramTableAsItWas) {
  testsupport::FixtureFolder folder("report_log");
  folder.Start("logwalk.exe", "plain");
  DoProcessListOp(kProcRebuild, "");
  const std::vector<ProgRow> table = ProgTable;
  ASSERT_TRUE(IsProgramInTable(folder.PathOf("logwalk.exe")));
  // A program starts; the log's walk sees it first.
  const DWORD pid = folder.Start("logwalk2.exe", "plain").pid();
  now += 2000;
  LogScanning = -1;
  DoProcessListOp(kProcRebuild, "True");
  LogScanning = 0;
  EXPECT_EQ(ProgTable, table) << "the log's walk keeps the table";
  EXPECT_NE(std::find(ProcIdList.begin(), ProcIdList.end(), pid), ProcIdList.end()) << "and takes the processes";
  // The next automatic walk still sees a changed set and lists the new program.
  now += 2000;
  DoProcessListOp(kProcRebuild, "True");
  EXPECT_TRUE(IsProgramInTable(folder.PathOf("logwalk.exe")));
  EXPECT_TRUE(IsProgramInTable(folder.PathOf("logwalk2.exe")));
}

namespace {

// Dark pixels of a window as the screen shows it: the text drawn, not the text held.
int DarkPixelsOnScreen(HWND hwnd) {
  RECT r{};
  GetClientRect(hwnd, &r);
  POINT origin{0, 0};
  ClientToScreen(hwnd, &origin);
  const int width = r.right, height = r.bottom;
  if (width <= 0 || height <= 0) return 0;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, dib);
  BitBlt(memory, 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY);
  GdiFlush();
  int dark = 0;
  const auto* pixel = static_cast<const uint32_t*>(bits);
  for (int i = 0; i < width * height; ++i) {
    const uint32_t p = pixel[i];
    if (((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF) < 3 * 96) ++dark;
  }
  SelectObject(memory, old);
  DeleteObject(dib);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return dark;
}

}  // namespace

// The report's text is on the screen as soon as the window shows, opened from the
// shell's command and from the mini-tools "View" button clicked with the mouse.
TEST_F(ReportTest, TheTextIsDrawnWhenTheWindowFirstShows) {
  HistoryLog = {"one", "two", "three"};
  HistoryCount = 3;
  for (const bool fromView : {false, true}) {
    SCOPED_TRACE(fromView ? "View" : "report command");
    Logfrm.Unload();
    if (fromView) {
      MoreToolsFrm.Load();
      MoreToolsFrm.Show();
      MoreToolsFrm.SSTab1.SetTab(1);
      SetForegroundWindow(MoreToolsFrm.hwnd());
      testsupport::PumpUntil([] { return GetForegroundWindow() == MoreToolsFrm.hwnd(); });
      RECT r{};
      GetClientRect(MoreToolsFrm.ViewBtn.hwnd(), &r);
      testsupport::ClickAt(MoreToolsFrm.ViewBtn.hwnd(), r.right / 2, r.bottom / 2);
    } else {
      TasksHistoryOnly = true;
      ShowFrm(Logfrm);
      TasksHistoryOnly = false;
    }
    ASSERT_TRUE(testsupport::PumpUntil([] {
      return Logfrm.Loaded() && IsWindowVisible(Logfrm.hwnd()) && Logfrm.BuildsFinished() > 0 && !Logfrm.Building();
    }, 10000));
    ASSERT_NE(Logfrm.LogTxt.Text().find("PROCESSES AND WINDOWS HISTORY"), std::string::npos);
    // Nothing of ours asks for a repaint here: what shows is what the opening drew.
    int dark = 0;
    EXPECT_TRUE(testsupport::PumpUntil([&] { return (dark = DarkPixelsOnScreen(Logfrm.LogTxt.hwnd())) > 200; }, 3000))
        << "dark pixels in the text box: " << dark;
    if (fromView) MoreToolsFrm.Hide();
  }
}

TEST_F(ReportTest, HistoryViewOpensTheReportOnTheHistory) {
  HistoryLog = {"one"};
  HistoryCount = 1;
  MoreToolsFrm.Load();
  // Not loaded: only the history.
  MoreToolsFrm.ViewBtn.PerformClick();
  ASSERT_TRUE(Logfrm.Loaded());
  for (int i = 1; i <= 7; ++i) EXPECT_EQ(Logfrm.Toolbar2.Value(i), i == 6) << i;
  EXPECT_FALSE(TasksHistoryOnly);
  // Loaded: the sections stay as they are.
  Logfrm.Toolbar2.SetValue(3, true);
  MoreToolsFrm.ViewBtn.PerformClick();
  EXPECT_TRUE(Logfrm.Toolbar2.Value(3));
}

}  // namespace reporttest
