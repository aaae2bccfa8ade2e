// The timed tasks of the main loop on a clock the test moves, with the dial-up line,
// the byte counters, the cursor, the keys and the sounds played by the test.
#include <gtest/gtest.h>

#include "CancelEvent.h"
#include "InterfaceFrm.h"
#include "LoopSeams.h"
#include "LoopTestSupport.h"
#include "ModConInfo.h"
#include "ModMain.h"
#include "ModMainLoop.h"
#include "ModSettings.h"
#include "ModStartup.h"
#include "ViewBindings.h"
#include "RemindersMsgFrm.h"
#include "SysInfoLink.h"
#include "SysPerfFrm.h"
#include "UiWait.h"

using namespace looptest;

namespace {

class TimedTasksTest : public LoopTest {
 protected:
  // A leased line whose start has been handled: rates are computed on every pass.
  void OnLeasedLine() {
    LANCon = 1;
    // A read of 0 is a failed one and never a base: the line starts on counters of 1.
    bytes[0] = bytes[1] = 1;
    Pass();
    ASSERT_FALSE(LanStartPending);
    netProbes = 0;
  }
  std::string BloopPath() const { return AppPath() + "\\sounds\\bloop.wav"; }
};

TEST_F(TimedTasksTest, RatesAreComputedOnlyAfter800msFromTheRealElapsedTime) {
  OnLeasedLine();
  const DWORD start = now;
  bytes[1] = 102400;  // received
  bytes[0] = 20480;   // sent

  now = start + 500;
  Pass();
  EXPECT_EQ(netProbes, 0) << "no rate within 800 ms";
  now = start + 800;
  Pass();
  EXPECT_EQ(netProbes, 0) << "800 ms is not yet over the gate";

  now = start + 1300;
  Pass();
  EXPECT_EQ(netProbes, 2);
  // 102400 bytes in 1.3 s = 76.92 KB/s, 20480 bytes = 15.38 KB/s.
  EXPECT_FLOAT_EQ(CurCon.RecSpd, 76.92f);
  EXPECT_FLOAT_EQ(CurCon.SndSpd, 15.38f);
  EXPECT_EQ(LastRateTick, start + 1300);
  EXPECT_EQ(ActiveSampleCount, 1);
  EXPECT_FLOAT_EQ(CurCon.AvrgRecSpd, 76.92f);
  EXPECT_EQ(NetSpeedHist[0]->Get_MaxValue(0), 77);  // the self-scaling maximum took the value
  EXPECT_EQ(NetSpeedHist[2]->Get_MaxValue(0), 92);  // 76.92 + 15.38, a whole number

  // No traffic: the rates drop to 0, the averages keep the active samples only.
  now += 1000;
  Pass();
  EXPECT_FLOAT_EQ(CurCon.RecSpd, 0.0f);
  EXPECT_EQ(ActiveSampleCount, 1);
  EXPECT_FLOAT_EQ(CurCon.AvrgRecSpd, 76.92f);
  EXPECT_EQ(TrafficActiveTick, 0u);
}

TEST_F(TimedTasksTest, CountersThatWrapOrDropGiveNoSample) {
  OnLeasedLine();
  struct Case {
    const char* what;
    uint32_t lastRecv, recv;
  } cases[] = {
      {"the received counter wrapped", 0xFFFFFF00u, 0x100u},
      {"an interface went away", 5000000u, 1000u},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    LastRecvBytes = c.lastRecv;
    LastSentBytes = bytes[0];
    bytes[1] = c.recv;
    CurCon.RecSpd = 7.0f;
    const int16_t pointer = NetSpeedHist[0]->Get_Pointer(0);
    now += 1000;
    Pass();
    EXPECT_FLOAT_EQ(CurCon.RecSpd, 7.0f) << "no rate from a counter that went back";
    EXPECT_EQ(NetSpeedHist[0]->Get_Pointer(0), pointer) << "no sample in the history";
    EXPECT_EQ(LastRecvBytes, c.recv) << "the next interval counts from here";
    // The next interval is an ordinary one again.
    bytes[1] = c.recv + 10240;
    now += 1000;
    Pass();
    EXPECT_FLOAT_EQ(CurCon.RecSpd, 10.0f);
  }
}

TEST_F(TimedTasksTest, TickDifferencesSurviveTheWrapOfTheTickCount) {
  // Every stamp taken just before the tick count wraps after 49.7 days.
  now = 0xFFFFF000u;
  LANCon = 0;
  dialUp = true;
  bytes[0] = bytes[1] = 1;  // a read of 0 is a failed one and never a base
  Pass();  // the connection starts at 0xFFFFF000
  ASSERT_EQ(ConnectStartTick, 0xFFFFF000u);
  LastRateTick = 0xFFFFFF00u;
  RefreshInterval = 4;
  LastRefreshTick = 0xFFFFF000u;
  SysPerfLoaded = true;
  PerfInfoData = {30, 0, 50, 100, 50, 100, 50, 100, 0};
  const int16_t cpuPointer = CpuHistory->Get_Pointer(0);
  bytes[1] = 10240;
  netProbes = 0;

  now = 0x00000100u;  // 4352 ms after the refresh stamp, 512 after the rate stamp
  Pass();
  EXPECT_EQ(LastRefreshTick, 0x00000100u) << "the refresh fell due across the wrap";
  EXPECT_NE(CpuHistory->Get_Pointer(0), cpuPointer);
  EXPECT_EQ(netProbes, 0) << "512 ms is not a rate interval";
  EXPECT_EQ(CurCon.Duration, 4) << "4352 ms since the connection started";

  now = 0x00000400u;  // 1280 ms after the rate stamp
  Pass();
  EXPECT_EQ(netProbes, 2);
  EXPECT_FLOAT_EQ(CurCon.RecSpd, 7.81f);  // 10240 bytes in 1.28 s
}

TEST_F(TimedTasksTest, TheInternetReminderComesJustOverEachInterval) {
  IntReminder = 60;
  IntReminderText = "Time to go offline";
  dialUp = true;
  const DWORD start = now;
  Pass();
  ASSERT_FALSE(ConnectionPending);
  ASSERT_EQ(CurCon.flag, "1");

  struct Step {
    DWORD seconds;
    size_t reminders;  // given so far
    int16_t count;
  } steps[] = {{60 * 60, 0, 0}, {60 * 60 + 1, 1, 1}, {90 * 60, 1, 1}, {120 * 60, 1, 1}, {120 * 60 + 1, 2, 2}};
  for (const Step& s : steps) {
    SCOPED_TRACE(s.seconds);
    now = start + s.seconds * 1000;
    LastRateTick = now;  // keeps the rates out of this test
    Pass();
    EXPECT_EQ(CurCon.Duration, static_cast<int32_t>(s.seconds));
    EXPECT_EQ(sounds.size(), s.reminders);
    EXPECT_EQ(IntReminderCount, s.count);
  }
  ASSERT_TRUE(RemindersMsgFrm.Visible());
  EXPECT_EQ(RemindersMsgFrm.Caption(), "Internet Reminder Number 2 Every 60 minute(s) ");
  EXPECT_EQ(RemindersMsgFrm.Label1.Text(), "Time to go offline");
  EXPECT_EQ(RemindersMsgFrm.MsgType(), 1);
  EXPECT_EQ(sounds.back(), BloopPath());
}

TEST_F(TimedTasksTest, ALeasedLineGetsNoInternetReminderAndNoDuration) {
  IntReminder = 1;
  LANCon = 1;
  Pass();
  now += 5 * 60 * 1000;
  Pass();
  EXPECT_TRUE(sounds.empty());
  EXPECT_FALSE(RemindersMsgFrm.Visible());
  EXPECT_EQ(CurCon.Duration, 0);
  EXPECT_EQ(CurCon.flag, "1");
}

TEST_F(TimedTasksTest, TheWindowsReminderCountsActiveMinutes) {
  WinReminder = 3;
  WinReminderText = "Have a break";
  CheckWindowsReminder(now);  // the loop's first call takes the cursor position
  for (int minute = 1; minute <= 3; ++minute) {
    SCOPED_TRACE(minute);
    cursor.x += 5;  // the user moved the mouse during the minute
    now += 60000;
    Pass();
    EXPECT_EQ(sounds.size(), minute < 3 ? 0u : 1u);
  }
  ASSERT_TRUE(RemindersMsgFrm.Visible());
  EXPECT_EQ(RemindersMsgFrm.Caption(), "Windows Reminder (Every 3 minute(s))");
  EXPECT_EQ(RemindersMsgFrm.Label1.Text(), "Have a break");
  EXPECT_EQ(RemindersMsgFrm.MsgType(), 0);
  EXPECT_EQ(WinReminderState.ActiveMinutes, 0);

  // A key held during a minute counts as activity too; less than a minute counts nothing.
  keysDown = {'A'};
  now += 59999;
  Pass();
  EXPECT_EQ(WinReminderState.ActiveMinutes, 0);
  now += 1;
  Pass();
  EXPECT_EQ(WinReminderState.ActiveMinutes, 1);
}

TEST_F(TimedTasksTest, IdleMinutesInARowResetTheActiveCount) {
  WinReminder = 60;
  WinReminderIdleTime = 3;
  CheckWindowsReminder(now);
  for (int minute = 0; minute < 5; ++minute) {
    cursor.y += 1;
    now += 60000;
    Pass();
  }
  ASSERT_EQ(WinReminderState.ActiveMinutes, 5);
  now += 60000;
  Pass();
  now += 60000;
  Pass();
  EXPECT_EQ(WinReminderState.ActiveMinutes, 5) << "two idle minutes keep the count";
  EXPECT_EQ(WinReminderState.IdleMinutes, 2);
  now += 60000;
  Pass();
  EXPECT_EQ(WinReminderState.ActiveMinutes, 0) << "the third idle minute resets it";
  EXPECT_EQ(WinReminderState.IdleMinutes, 0);
  EXPECT_TRUE(sounds.empty());
}

TEST_F(TimedTasksTest, ClosingAWindowsReminderRestartsItsCount) {
  WinReminder = 60;
  WinReminderState.ActiveMinutes = 12;
  RemindersMsgFrm.ShowFrm(0, "Windows Reminder (Every 60 minute(s))", "x");
  SendMessageA(RemindersMsgFrm.OKButton.hwnd(), BM_CLICK, 0, 0);
  EXPECT_FALSE(RemindersMsgFrm.Loaded());
  EXPECT_EQ(WinReminderState.ActiveMinutes, 0);
}

TEST_F(TimedTasksTest, PausedRefreshStillTracksTheConnection) {
  RefreshInterval = 0;  // "Paused"
  SysPerfLoaded = true;
  WinReminder = 60;
  CheckWindowsReminder(now);
  const DWORD refreshStamp = LastRefreshTick;
  const int16_t cpuPointer = CpuHistory->Get_Pointer(0);
  dialUp = true;
  bytes[1] = 2048;
  for (int i = 0; i < 70; ++i) {
    cursor.x += 1;
    now += 1000;
    Pass();
  }
  EXPECT_EQ(LastRefreshTick, refreshStamp) << "no automatic refresh";
  EXPECT_EQ(CpuHistory->Get_Pointer(0), cpuPointer) << "no performance sample";
  EXPECT_FALSE(ConnectionPending) << "the connection start was handled";
  EXPECT_EQ(CurCon.Duration, 69) << "the connection started at the first pass";
  EXPECT_GT(netProbes, 0) << "traffic rates go on";
  EXPECT_EQ(WinReminderState.ActiveMinutes, 1) << "the Windows reminder goes on";

  // The connection ends: it is recorded and the next start is awaited again.
  dialUp = false;
  now += 1000;
  Pass();
  EXPECT_TRUE(ConnectionPending);
  EXPECT_TRUE(LanStartPending);
  EXPECT_EQ(GeneralConInfo.ConnectTimes, 1);
  EXPECT_EQ(LastCon.Duration, 69);
  EXPECT_EQ(Option("Internet", "LastCon.Duration"), "69");
  EXPECT_EQ(CurCon.flag, "");
}

TEST_F(TimedTasksTest, TheRefreshSamplesTheHistoriesEveryInterval) {
  RefreshInterval = 4;
  SysPerfLoaded = true;
  PerfInfoData.clear();
  const DWORD start = now;
  LastRefreshTick = start;
  now = start + 3999;
  Pass();
  EXPECT_EQ(LastRefreshTick, start);
  now = start + 4000;
  Pass();
  EXPECT_EQ(LastRefreshTick, start + 4000);
  // The figures were taken again and the hidden performance page sampled them.
  if (PerfInfoData.size() >= 8) {
    EXPECT_EQ(CpuHistory->Get_Data(0, CpuHistory->Get_Pointer(0)), PerfInfoData[0] > 100 ? 100 : PerfInfoData[0]);
  }
  EXPECT_TRUE(SysPerfFrm.Loaded());
}

TEST_F(TimedTasksTest, LaunchOnConnectShowsTheStatusWhileItStartsThePrograms) {
  IntProgCount = 2;
  SetOption("Internet", "IntProg1", "c:\\net\\mail.exe;1");
  SetOption("Internet", "IntProg2", "c:\\net\\chat.exe;0");
  dialUp = true;
  Pass();
  EXPECT_FALSE(ConnectionPending);
  ASSERT_EQ(launched.size(), 1u) << "only the enabled program";
  EXPECT_EQ(launched[0].file, "c:\\net\\mail.exe");
  EXPECT_EQ(CancelEvent.lblCancel.Text(), "Loading Internet applications...");
  EXPECT_FALSE(CancelEvent.Visible());
  EXPECT_FALSE(CancelFlag);
  EXPECT_EQ(sleeps, std::vector<DWORD>{500});
}

TEST_F(TimedTasksTest, TheLoopSleepsUntilTheNextTaskFallsDue) {
  LANCon = 0;
  RefreshInterval = 0;
  EXPECT_EQ(NextTaskDelay(), 1000u) << "only the dial-up line to probe";
  RefreshInterval = 4;
  LastRefreshTick = now - 3700;
  EXPECT_EQ(NextTaskDelay(), 300u);
  LastRefreshTick = now - 9000;
  EXPECT_EQ(NextTaskDelay(), 0u) << "overdue";
  RefreshInterval = 20;
  LANCon = 1;
  LastRateTick = now - 600;
  EXPECT_EQ(NextTaskDelay(), 201u) << "the rate gate";
  Toolbar = true;
  const auto tickWanted = Views.trackerBar.TickWanted;
  Views.trackerBar.TickWanted = [] { return false; };
  EXPECT_EQ(NextTaskDelay(), 201u) << "a docked bar at rest waits for a message";
  Views.trackerBar.TickWanted = [] { return true; };
  EXPECT_EQ(NextTaskDelay(), 100u) << "the tracker bar's tick while it slides or scrolls";
  Views.trackerBar.TickWanted = tickWanted;
}

TEST_F(TimedTasksTest, HotKeyTextNamesTheModifiersAndTheKey) {
  struct Case {
    int32_t modifiers, key;
    const char* text;
  } cases[] = {{3, 'D', "CTRL+ALT+'D'"},   {4, 'X', "Shift+'X'"},     {7, 'K', "Shift+CTRL+ALT+'K'"},
               {2, 'T', "CTRL+'T'"},       {1, 'Q', "ALT+'Q'"},       {0, 'Z', "'Z'"},
               {6, '1', "Shift+CTRL+'1'"}};
  for (const Case& c : cases) EXPECT_EQ(HotKeyText(c.modifiers, c.key), c.text);
}

}  // namespace
