#include <gtest/gtest.h>

#include "ApplyGlobalSettings.h"
#include "ModConInfo.h"
#include "ModMain.h"
#include "ModMainLoop.h"
#include "ModProgInfo.h"
#include "ModWndOpr.h"
#include "ProgramState.h"
#include "Seams.h"
#include "SysInfoLink.h"

namespace {

// One reset gives every module its start values back, whatever a run left behind.
TEST(ProgramState, OneResetGivesEveryModuleItsStartValues) {
  IsExiting = CancelFlag = SessionEnding = true;
  FindDirection = 2;
  FirstShowDone = true;
  RefreshInterval = 0;
  TermRestartMode = true;
  DestHKText = "Ctrl+Alt+'D'";
  WinReminderState.ActiveMinutes = 9;
  RegisteredAppHK.Enabled = 1;
  CurCon.flag = "1";
  GeneralConInfo.ConnectTimes = 5;
  ProgTable.emplace_back();
  ProgTableLast = 0;
  DetailsRefreshing = true;
  WndTableLast = 3;
  PerfInfoData = {1, 2, 3};
  seams::TickCountFn = [] { return DWORD(7); };

  ResetProgramState();

  EXPECT_FALSE(IsExiting || CancelFlag || SessionEnding);
  EXPECT_EQ(FindDirection, 0);
  EXPECT_FALSE(FirstShowDone);
  EXPECT_EQ(RefreshInterval, 4);
  EXPECT_FALSE(TermRestartMode);
  EXPECT_TRUE(DestHKText.empty());
  EXPECT_EQ(WinReminderState.ActiveMinutes, 0);
  EXPECT_EQ(RegisteredAppHK.Enabled, 0);
  EXPECT_TRUE(CurCon.flag.empty());
  EXPECT_EQ(GeneralConInfo.ConnectTimes, 0);
  EXPECT_TRUE(ProgTable.empty());
  EXPECT_EQ(ProgTableLast, -1);
  EXPECT_FALSE(DetailsRefreshing);
  EXPECT_EQ(WndTableLast, -1);
  EXPECT_TRUE(PerfInfoData.empty());
  EXPECT_NE(seams::TickCountFn(), 7u);
}

}  // namespace
