// The cost of one window-table rebuild over many windows of another process:
//   wnd_bench [windows] [rounds]
// Starts one fixture with that many visible windows (200 by default), walks the
// processes once, then times rebuilds in the default display mode, with every window
// listed, and during an activity-log snapshot (one responding probe and one title per
// window). Prints milliseconds per rebuild.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "BenchClock.h"
#include "Fixture.h"
#include "Mainfrm.h"
#include "ModMain.h"
#include "ModProgInfo.h"
#include "ModSProgs.h"
#include "ModSettings.h"
#include "ModStartup.h"
#include "ModWndOpr.h"
#include "modIni.h"

namespace {

BOOL CALLBACK CountWindow(HWND hwnd, LPARAM counter) {
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  ++*reinterpret_cast<int*>(counter);
  return TRUE;
}

// The floor: the system's enumeration with one owner question per window.
double MsPerBareEnumeration(int rounds, int& count) {
  return testsupport::MsOf([&] {
           for (int i = 0; i < rounds; ++i) {
             count = 0;
             EnumWindows(CountWindow, reinterpret_cast<LPARAM>(&count));
           }
         }) / rounds;
}

double MsPerRebuild(int rounds) {
  return testsupport::MsOf([&] {
           for (int i = 0; i < rounds; ++i) GetWndInfo(0, "");
         }) / rounds;
}

}  // namespace

int main(int argc, char** argv) {
  int windows = argc > 1 ? std::atoi(argv[1]) : 200;
  int rounds = argc > 2 ? std::atoi(argv[2]) : 20;
  IsWinNTFlag = IsWinNT();
  MyProcessId = GetCurrentProcessId();
  Mainfrm.FastRef = true;
  DialogOwnerClasses = {"", "RUNDLL", "STUBWINDOW32"};
  // The default special programs: every window costs a look-up among them.
  DefaultSProgs();

  testsupport::FixtureOptions options;
  options.mode = "many:" + std::to_string(windows);
  options.title = "bench";
  testsupport::Fixture fixture(options);
  if (!fixture.Started()) {
    std::fprintf(stderr, "the fixture did not start\n");
    return 1;
  }
  DoProcessListOp(2, "");

  struct Setting {
    const char* name;
    int16_t display, hide, logScanning;
  } settings[] = {{"recommended, invisible hidden", 1, 1, 0},
                  {"every window, invisible kept", 3, 0, 0},
                  {"recommended, log snapshot", 1, 1, 1}};
  std::printf("%d fixture windows, %d rounds each\n", windows, rounds);
  int all = 0;
  double bare = MsPerBareEnumeration(rounds, all);
  std::printf("%-32s %4d windows %8.2f ms per enumeration\n", "bare enumeration", all, bare);
  for (const Setting& s : settings) {
    WndDisplay = s.display;
    HideWnd = s.hide;
    LogScanning = s.logScanning;
    GetWndInfo(0, "");  // warm
    double ms = MsPerRebuild(rounds);
    std::printf("%-32s %4d listed  %8.2f ms per rebuild\n", s.name, WndTableLast + 1, ms);
  }
  LogScanning = 0;
  fixture.End();
  for (int i = 1; i <= 2; ++i) DeleteSetting(ProgramTitle, "Options", "SProg" + std::to_string(i));
  DeleteSetting(ProgramTitle, "Options", "SProgCount");
  return 0;
}
