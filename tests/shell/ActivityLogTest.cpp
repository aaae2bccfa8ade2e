// The activity log against real processes and windows: fixtures started and ended
// between ticks, the Logs commands and the state they show.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "Fixture.h"
#include "InterfaceFrm.h"
#include "ModMain.h"
#include "ModProgInfo.h"
#include "ModSettings.h"
#include "ModWndOpr.h"
#include "MoreToolsFrm.h"
#include "ShellTestSupport.h"
#include "UiWait.h"
#include "VbRules.h"

using shelltest::FrameTest;
using testsupport::FixtureFolder;
using testsupport::PumpUntil;
using shelltest::PostedAction;

namespace {

class ActivityLogTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    SecLogData = 1;
    NumLogData = 25;
  }
  void TearDown() override {
    InterfaceFrm.mnuLog_Click(4);
    FrameTest::TearDown();
  }
  // One tick, past the walker's throttle.
  void Tick() {
    now += 2000;
    InterfaceFrm.LogTimer_Timer();
  }
  static std::vector<std::string> History() {
    return std::vector<std::string>(HistoryLog.begin(), HistoryLog.begin() + HistoryCount);
  }
  // The lines holding a text.
  static std::vector<std::string> LinesWith(const std::string& part) {
    std::vector<std::string> found;
    for (const std::string& line : History())
      if (line.find(part) != std::string::npos) found.push_back(line);
    return found;
  }
  static std::string WalkedPath(DWORD pid) {
    for (size_t i = 0; i < ProcIdList.size(); ++i)
      if (ProcIdList[i] == pid) return ProcPathList[i];
    return "";
  }
  // "hh:nn:ss" at the end of a line.
  static bool EndsWithTime(const std::string& line) {
    if (line.size() < 8) return false;
    const std::string t = line.substr(line.size() - 8);
    return isdigit(t[0]) && isdigit(t[1]) && t[2] == ':' && isdigit(t[3]) && isdigit(t[4]) && t[5] == ':' &&
           isdigit(t[6]) && isdigit(t[7]);
  }
  static std::string HandleText(HWND hwnd) { return std::to_string(reinterpret_cast<uintptr_t>(hwnd)); }
};

}  // namespace

TEST_F(ActivityLogTest, StartedAndEndedProgramsAndWindows) {
  FixtureFolder folder("actlog");
  // A desktop always has some window; without one the first list stays empty.
  ASSERT_TRUE(folder.Start("Bystander.exe", "plain").Started());
  InterfaceFrm.mnuLog_Click(2);
  Tick();
  EXPECT_EQ(HistoryCount, 0) << "the first tick after a start only takes the lists";

  testsupport::Fixture& app = folder.Start("LogProbe.exe", "plain");
  ASSERT_TRUE(app.Started());
  const DWORD pid = app.pid();
  const HWND window = app.hwnd();
  Tick();
  const std::string path = WalkedPath(pid);
  ASSERT_FALSE(path.empty());
  EXPECT_EQ(vb::LCase(path), vb::LCase(folder.PathOf("LogProbe.exe")));
  const std::string idText = " (" + std::to_string(pid) + ")";
  std::vector<std::string> started = LinesWith(idText + " started at: ");
  ASSERT_EQ(started.size(), 1u);
  EXPECT_EQ(started[0].substr(0, started[0].size() - 8), path + idText + " started at: ");
  EXPECT_TRUE(EndsWithTime(started[0]));
  std::vector<std::string> created = LinesWith(" (" + HandleText(window) + ") created at: ");
  ASSERT_EQ(created.size(), 1u) << ::testing::PrintToString(History()) << " handle " << HandleText(window);
  EXPECT_EQ(created[0].rfind("LogProbe.exe (", 0), 0u) << created[0];

  const int16_t before = HistoryCount;
  Tick();
  EXPECT_EQ(HistoryCount, before) << "nothing changed between these ticks";

  app.End();
  Tick();
  std::vector<std::string> ended = LinesWith(idText + " terminated at: ");
  ASSERT_EQ(ended.size(), 1u);
  EXPECT_EQ(ended[0].substr(0, ended[0].size() - 8), path + idText + " terminated at: ");
  EXPECT_EQ(LinesWith(" (" + HandleText(window) + ") closed at: ").size(), 1u);
  EXPECT_FALSE(InterfaceFrm.LogBusy);
  EXPECT_EQ(LogScanning, 0);
}

// The lists page walked once before logging: its remembered set of processes is the
// set again once the probe has ended, and the log must still see the end in that tick.
TEST_F(ActivityLogTest, AnEndIsLoggedInItsOwnTickAfterTheListsPageWalked) {
  FixtureFolder folder("actlog");
  ASSERT_TRUE(folder.Start("Bystander.exe", "plain").Started());
  now += 2000;
  DoProcessListOp(kProcRebuild, vb::BoolText(false));
  InterfaceFrm.mnuLog_Click(2);
  Tick();
  testsupport::Fixture& app = folder.Start("LogProbe.exe", "plain");
  ASSERT_TRUE(app.Started());
  const std::string idText = " (" + std::to_string(app.pid()) + ")";
  Tick();
  ASSERT_EQ(LinesWith(idText + " started at: ").size(), 1u);
  app.End();
  Tick();
  EXPECT_EQ(LinesWith(idText + " terminated at: ").size(), 1u) << ::testing::PrintToString(History());
  Tick();
  EXPECT_EQ(LinesWith(idText + " terminated at: ").size(), 1u) << "once";
}

TEST_F(ActivityLogTest, PauseResumeStopAndStartAgain) {
  FixtureFolder folder("actlog");
  InterfaceFrm.mnuLog_Click(2);
  Tick();
  InterfaceFrm.mnuLog_Click(3);
  EXPECT_FALSE(InterfaceFrm.LogTimer.Enabled());
  testsupport::Fixture& app = folder.Start("Paused.exe", "plain");
  ASSERT_TRUE(app.Started());
  InterfaceFrm.mnuLog_Click(3);
  EXPECT_TRUE(InterfaceFrm.LogTimer.Enabled());
  Tick();
  EXPECT_EQ(LinesWith(" (" + std::to_string(app.pid()) + ") started at: ").size(), 1u);

  const std::vector<std::string> kept = History();
  InterfaceFrm.mnuLog_Click(4);
  EXPECT_EQ(History(), kept) << "stop keeps the history";
  InterfaceFrm.mnuLog_Click(2);
  EXPECT_EQ(HistoryCount, 0) << "start clears it";
}

TEST_F(ActivityLogTest, CommandsShowTheirState) {
  InterfaceFrm.Toolbar1.SetValue("MoreTools", true);
  InterfaceFrm.Toolbar1.ClickButton("MoreTools");
  MoreToolsFrm.SSTab1.SetTab(1);
  MoreToolsFrm.IndShp.Refresh();
  struct State {
    int command;
    const char* item2;
    const char* item3;
    bool enabled;  // Pause and Stop
    bool timer;
    const char* start;
    const char* status;  // the start of the label
    COLORREF light;
  };
  const std::string started = "Quillon Pro is logging now processes and windows. Started at ";
  const State states[] = {
      {2, "Res&tart", "&Pause", true, true, "Res&tart", started.c_str(), RGB(0, 255, 0)},
      {3, "Res&tart", "&Resume", true, false, "Res&tart", "Logging process is paused since ", RGB(255, 0, 0)},
      {3, "Res&tart", "&Pause", true, true, "Res&tart", started.c_str(), RGB(0, 255, 0)},
      {4, "S&tart Monitoring Running Tasks", "&Pause", false, false, "S&tart", "Press Start to start logging",
       RGB(255, 0, 0)},
      {7, "S&tart Monitoring Running Tasks", "&Pause", false, false, "S&tart", "Press Start to start logging",
       RGB(255, 0, 0)},
  };
  for (const State& s : states) {
    SCOPED_TRACE(s.command);
    InterfaceFrm.mnuLog_Click(s.command);
    FrameTest::Settle();
    EXPECT_EQ(InterfaceFrm.mnuLog[2]->Caption(), s.item2);
    EXPECT_EQ(InterfaceFrm.mnuLog[3]->Caption(), s.item3);
    EXPECT_EQ(InterfaceFrm.mnuLog[3]->Enabled(), s.enabled);
    EXPECT_EQ(InterfaceFrm.mnuLog[4]->Enabled(), s.enabled);
    EXPECT_EQ(InterfaceFrm.LogTimer.Enabled(), s.timer);
    EXPECT_EQ(testsupport::WindowText(MoreToolsFrm.StartBtn.hwnd()), s.start);
    EXPECT_EQ(testsupport::WindowText(MoreToolsFrm.PauseBtn.hwnd()), s.item3);
    EXPECT_EQ(IsWindowEnabled(MoreToolsFrm.PauseBtn.hwnd()) != FALSE, s.enabled);
    EXPECT_EQ(IsWindowEnabled(MoreToolsFrm.StopBtn.hwnd()) != FALSE, s.enabled);
    const std::string status = testsupport::WindowText(MoreToolsFrm.RecStatusLbl.hwnd());
    EXPECT_EQ(status.rfind(s.status, 0), 0u) << status;
    // The light as the screen shows it.
    HDC screen = GetDC(MoreToolsFrm.IndShp.hwnd());
    EXPECT_EQ(GetPixel(screen, 8, 8), s.light);
    ReleaseDC(MoreToolsFrm.IndShp.hwnd(), screen);
  }
  // The running label carries the start time as the locale writes it.
  InterfaceFrm.mnuLog_Click(2);
  EXPECT_EQ(testsupport::WindowText(MoreToolsFrm.RecStatusLbl.hwnd()),
            started + vb::CStrDate(InterfaceFrm.LogStartTime));
  // The page's buttons run the same commands.
  MoreToolsFrm.StopBtn.PerformClick();
  EXPECT_FALSE(InterfaceFrm.LogTimer.Enabled());
  MoreToolsFrm.StartBtn.PerformClick();
  EXPECT_TRUE(InterfaceFrm.LogTimer.Enabled());
  MoreToolsFrm.PauseBtn.PerformClick();
  EXPECT_EQ(InterfaceFrm.mnuLog[3]->Caption(), "&Resume");
}

// A command or a page refresh that arrives while a tick lets events run: the tick
// compares its own copies, and a start ends it without writing.
TEST_F(ActivityLogTest, EventsInsideATick) {
  FixtureFolder folder("actlog");
  ASSERT_TRUE(folder.Start("Bystander.exe", "plain").Started());
  InterfaceFrm.mnuLog_Click(2);
  Tick();
  testsupport::Fixture& app = folder.Start("Midtick.exe", "plain");
  ASSERT_TRUE(app.Started());
  // The shared tables emptied meanwhile, as a refresh in the middle could leave them.
  PostedAction empty([] {
    ProcIdList.clear();
    ProcPathList.clear();
    WndTable.clear();
    WndTableLast = -1;
  });
  empty.Post();
  Tick();
  EXPECT_TRUE(empty.ran);
  EXPECT_EQ(LinesWith(" (" + std::to_string(app.pid()) + ") started at: ").size(), 1u);
  EXPECT_TRUE(LinesWith(" terminated at: ").empty()) << "no program ended";

  // A start posted into the next tick: the tick ends without writing.
  app.End();
  PostedAction start([] { InterfaceFrm.mnuLog_Click(2); });
  start.Post();
  Tick();
  EXPECT_TRUE(start.ran);
  EXPECT_EQ(HistoryCount, 0);
  EXPECT_FALSE(InterfaceFrm.LogBusy);
  EXPECT_EQ(LogScanning, 0);
}
