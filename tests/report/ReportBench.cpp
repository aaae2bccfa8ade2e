// What a report costs over many programs and windows: each section's build time and
// text size, the time to show the text, the longest wait of a message posted every
// 20 ms while the report builds, and the Details section's process lists taken by a
// live walk per program against one walk grouped by path.
// Not a test; run it by hand under Wine with a display:
//   report_bench [fixtures] [windows per fixture]
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "BenchClock.h"
#include "ApplyGlobalSettings.h"
#include "ModMain.h"
#include "Fixture.h"
#include "Logfrm.h"
#include "Mainfrm.h"
#include "ModProgInfo.h"
#include "ModSettings.h"
#include "ModStartup.h"
#include "ModStartupPlatform.h"
#include "Seams.h"
#include "VbRules.h"

namespace {

DWORD g_clock = 1000000;

// Receives a message posted every 20 ms and keeps the longest wait.
class Probe : public ui::Window {
 public:
  Probe() : Window(ui::FormDesign{}) {}
  std::atomic<bool> running{false};
  double longest = 0;
  void Start() {
    longest = 0;
    running = true;
    thread_ = std::thread([this] {
      while (running) {
        double* sent = new double(testsupport::NowMs());
        if (!PostMessageA(hwnd(), WM_APP + 3, 0, reinterpret_cast<LPARAM>(sent))) delete sent;
        Sleep(20);
      }
    });
  }
  void Stop() {
    running = false;
    thread_.join();
    // Messages still waiting waited through the end of the build.
    MSG msg;
    while (PeekMessageA(&msg, hwnd(), WM_APP + 3, WM_APP + 3, PM_REMOVE)) {
      double* sent = reinterpret_cast<double*>(msg.lParam);
      longest = std::max(longest, testsupport::NowMs() - *sent);
      delete sent;
    }
  }

 protected:
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == WM_APP + 3) {
      double* sent = reinterpret_cast<double*>(lp);
      longest = std::max(longest, testsupport::NowMs() - *sent);
      delete sent;
      return 0;
    }
    return Window::WndProc(msg, wp, lp);
  }

 private:
  std::thread thread_;
};

}  // namespace

int main(int argc, char** argv) {
  const int fixtures = argc > 1 ? std::atoi(argv[1]) : 50;
  const int windows = argc > 2 ? std::atoi(argv[2]) : 4;
  IsWinNTFlag = IsWinNT();
  seams::TickCountFn = [] { return g_clock += 2000; };
  seams::KeepShellQuiet();
  BuildColumnTables();
  Mainfrm.Load();
  testsupport::FixtureFolder folder("reportbench");
  for (int i = 0; i < fixtures; ++i)
    folder.Start("bench" + std::to_string(i) + ".exe", "many:" + std::to_string(windows));
  Probe probe;
  probe.Load();
  TasksHistoryOnly = true;
  Logfrm.Load();
  TasksHistoryOnly = false;
  Logfrm.Show();
  const char* const names[8] = {"", "Task Manager", "Details", "Internet", "Performance", "Pop-up's", "Tasks History",
                                "StartUp"};
  std::printf("%d fixtures, %d windows each\n", fixtures, windows);
  std::printf("%-14s %10s %10s %10s %12s\n", "section", "build ms", "chars", "show ms", "longest gap");
  for (int s = 1; s <= 7; ++s) {
    for (int i = 1; i <= 7; ++i) Logfrm.Toolbar2.SetValue(i, i == s);
    probe.Start();
    double t = testsupport::NowMs();
    Logfrm.WriteData();
    const double build = testsupport::NowMs() - t;
    probe.Stop();
    const std::string text = Logfrm.LogTxt.Text();
    t = testsupport::NowMs();
    Logfrm.LogTxt.ReplaceAll(text);
    const double show = testsupport::NowMs() - t;
    std::printf("%-14s %10.1f %10zu %10.1f %12.1f\n", names[s], build, text.size(), show, probe.longest);
  }

  // The Details section's process lists: a live walk per program, or one walk grouped.
  DoProcessListOp(kProcRebuild, "");
  std::vector<std::string> paths;
  for (int i = 0; i <= ProgTableLast; ++i) paths.push_back(ProgTable[static_cast<size_t>(i)][kProgPath]);
  double t = testsupport::NowMs();
  size_t perProgram = 0;
  for (const std::string& path : paths) {
    DoProcessListOp(kProcDetailsInstances, path);
    perProgram += DetailsProcIdList.size();
  }
  const double walks = testsupport::NowMs() - t;
  t = testsupport::NowMs();
  std::map<std::string, std::vector<DWORD>> grouped;
  for (size_t i = 0; i < ProcIdList.size() && i < ProcPathList.size(); ++i)
    grouped[vb::LCase(ProcPathList[i])].push_back(ProcIdList[i]);
  const double group = testsupport::NowMs() - t;
  std::printf("process lists of %zu programs: a walk per program %.1f ms (%zu ids), grouped %.3f ms (%zu paths)\n",
              paths.size(), walks, perProgram, group, grouped.size());
  Logfrm.Unload();
  return 0;
}
