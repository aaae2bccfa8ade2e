// The cost of one activity-log tick with 50 fixture programs of 4 windows each
// (200 windows): the walk, the window rebuild with its titles, both comparisons.
//   activitylog_bench.exe
#include <windows.h>

#include <cstdio>
#include <string>

#include "BenchClock.h"
#include "Fixture.h"
#include "InterfaceFrm.h"
#include "ModMain.h"
#include "ModProgInfo.h"
#include "ModSettings.h"
#include "ModStartup.h"
#include "ModWndOpr.h"
#include "ProgramState.h"
#include "Seams.h"

namespace {

// A tick as the timer gives it, past the walker's one-second throttle.
double TimedTick() {
  LastProcWalkTick = GetTickCount() - 100000;
  const double start = testsupport::NowMs();
  InterfaceFrm.LogTimer_Timer();
  return testsupport::NowMs() - start;
}

}  // namespace

int main() {
  ResetProgramState();
  seams::KeepShellQuiet();
  IsWinNTFlag = IsWinNT();
  NumLogData = 1000;
  const int kPrograms = 50;
  testsupport::FixtureFolder folder("qp_logbench");
  for (int i = 0; i < kPrograms; ++i) folder.Start("logbench" + std::to_string(i) + ".exe", "many:4");
  InterfaceFrm.Load();
  InterfaceFrm.mnuLog_Click(2);
  const double first = TimedTick();
  const int kTicks = 10;
  double total = 0;
  for (int i = 0; i < kTicks; ++i) total += TimedTick();
  std::printf("processes %zu\nwindows %d\nfirst tick %.1f ms\nsteady tick %.1f ms\nlines %d\n", ProcIdList.size(),
              WndTableLast + 1, first, total / kTicks, HistoryCount);
  InterfaceFrm.mnuLog_Click(4);
  return 0;
}
