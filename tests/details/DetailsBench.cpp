// The readable-texts search on large sources: a process with 50 MB of private
// memory and an executable with 50 MB of appended data, each with and without
// filling the result box, and the peak memory of this program; and the display of a
// plain program file's strings, the usual case, in one pass of the loop. Run by hand.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "BenchClock.h"
#include "DetailsFrm.h"
#include "Fixture.h"
#include "ModStartupPlatform.h"
#include "ProgramState.h"
#include "UiWait.h"

namespace {

void Measure(const char* what, const std::function<std::string()>& search) {
  for (bool fill : {false, true}) {
    std::string result;
    const double ms = testsupport::MsOf([&] {
      result = search();
      if (fill) DetailsFrm.Texts.FileTextTxt.SetText(result);
    });
    std::printf("%-28s %-12s %8.2f s  %9zu bytes of text\n", what, fill ? "with box" : "search only",
                ms / 1000.0, result.size());
  }
}

// The result box on screen: the time a new text takes to go in, and to be drawn.
void MeasureDisplay(const std::string& path) {
  DetailsFrm.CurrentPath = path;
  const std::string result = DetailsFrm.FindTextsInExe();
  size_t lines = 0;
  for (size_t at = result.find("\r\n"); at != std::string::npos; at = result.find("\r\n", at + 2)) ++lines;
  for (int i = 0; i < 3; ++i) {
    DetailsFrm.Texts.FileTextTxt.SetText("");
    ui::DoEvents();
    const double set = testsupport::MsOf([&] { DetailsFrm.Texts.FileTextTxt.SetText(result); });
    const double drawn = testsupport::MsOf([] { UpdateWindow(DetailsFrm.hwnd()); });
    std::printf("%-28s %-12s %8.1f ms set, %5.1f ms drawn, %zu lines\n", "program file strings", "display", set,
                drawn, lines);
  }
}

}  // namespace

int main() {
  ResetProgramState();
  IsWinNTFlag = true;
  DetailsFrm.Load();
  DetailsFrm.Show();
  DetailsFrm.ShowPage("textinmem");
  MeasureDisplay(testsupport::FixturePath());
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string big = std::string(temp) + "qp_bench_big.exe";
  CopyFileA(testsupport::FixturePath().c_str(), big.c_str(), FALSE);
  {
    std::ofstream out(big, std::ios::binary | std::ios::app);
    const std::string line = "Appended filler line of readable words\n";
    for (size_t written = 0; written < 50u * 1024 * 1024; written += line.size()) out << line;
  }
  testsupport::FixtureOptions options;
  options.mode = "bigmemory";
  options.exePath = big;
  testsupport::Fixture process(options);
  DetailsFrm.CurrentPath = big;
  Measure("exe with 50 MB appended", [] { return DetailsFrm.FindTextsInExe(); });
  Measure("process with 50 MB private", [&] { return DetailsFrm.FindTexts(process.pid()); });
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  std::printf("peak working set %.1f MB, peak page file %.1f MB\n", counters.PeakWorkingSetSize / 1048576.0,
              counters.PeakPagefileUsage / 1048576.0);
  process.End();
  DeleteFileA(big.c_str());
  return 0;
}
