// Measures what a process-table rebuild costs per process: the quick (automatic) and
// the full (forced) rebuild, against the system's tasklist listing the same processes
// in the same run. Wine's tasklist is a stub that lists nothing, so the same listing
// (image name, id, memory use of every process) is also made in-process, as tasklist
// makes it. Not a test; run it by hand under Wine with a display:
//   procs_bench [fixtures] [rounds]
#include <windows.h>
#include <objbase.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "BenchClock.h"
#include "Fixture.h"
#include "Mainfrm.h"
#include "ModProgInfo.h"
#include "ModSettings.h"
#include "ModStartup.h"
#include "Seams.h"
#include "UiWait.h"
#include "mdlCmd.h"

namespace {

DWORD g_clock = 1000000;

// Milliseconds per round of `rounds` calls.
template <typename Call>
double Measure(int rounds, Call call) {
  call();  // loading and first use outside the timing
  double start = testsupport::NowMs();
  for (int i = 0; i < rounds; ++i) call();
  return (testsupport::NowMs() - start) / rounds;
}

size_t CountLines(const std::string& text) {
  size_t n = 0;
  for (char c : text) n += c == '\n';
  return n;
}

// What tasklist prints: one line per process with its image name, id and memory use.
std::string ListLikeTasklist() {
  std::string out;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return out;
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    SIZE_T memory = 0;
    if (HANDLE h = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, entry.th32ProcessID)) {
      PROCESS_MEMORY_COUNTERS counters = {};
      counters.cb = sizeof counters;
      if (GetProcessMemoryInfo(h, &counters, sizeof counters)) memory = counters.WorkingSetSize;
      CloseHandle(h);
    }
    char line[400];
    std::snprintf(line, sizeof line, "%-25s %8lu Console 1 %10lu K\r\n", entry.szExeFile,
                  static_cast<unsigned long>(entry.th32ProcessID), static_cast<unsigned long>(memory / 1024));
    out += line;
  }
  CloseHandle(snapshot);
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  int fixtures = argc > 1 ? std::atoi(argv[1]) : 50;
  int rounds = argc > 2 ? std::atoi(argv[2]) : 20;
  if (fixtures <= 0) fixtures = 50;
  if (rounds <= 0) rounds = 20;
  CoInitialize(nullptr);
  IsWinNTFlag = IsWinNT();
  char own[MAX_PATH];
  AppExePath.assign(own, GetModuleFileNameA(nullptr, own, MAX_PATH));
  seams::TickCountFn = [] { return g_clock; };

  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string exe = std::string(temp) + "qp_procs_bench.exe";
  CopyFileA(testsupport::FixturePath().c_str(), exe.c_str(), FALSE);
  std::vector<std::unique_ptr<testsupport::Fixture>> running;
  for (int i = 0; i < fixtures; ++i) {
    testsupport::FixtureOptions options;
    options.mode = "hidden";
    options.title = "bench " + std::to_string(i);
    options.exePath = exe;
    running.push_back(std::make_unique<testsupport::Fixture>(options));
  }

  // Full rebuild: every process opened, its memory and priority read.
  Mainfrm.FastRef = false;
  double full = Measure(rounds, [] {
    g_clock += 1000;
    DoProcessListOp(2, "");
  });
  size_t processes = ProcIdList.size();
  // Quick rebuild: the automatic kind, on a list marked as changed.
  double quick = Measure(rounds, [] {
    g_clock += 1000;
    SaveSetting("Quillon", "tmp", "ProcChanged", "1");
    DoProcessListOp(2, "True");
  });
  // The system's own listing of the same processes.
  size_t listed = 0;
  double tasklist = Measure(rounds, [&] { listed = CountLines(RunCommandOutput("tasklist", 1 << 20)); });

  size_t same = 0;
  double inProcess = Measure(rounds, [&] { same = CountLines(ListLikeTasklist()); });

  std::printf("processes walked: %u (of them %d fixtures); tasklist lines: %u; same listing in-process: %u\n",
              static_cast<unsigned>(processes), fixtures, static_cast<unsigned>(listed),
              static_cast<unsigned>(same));
  std::printf("full rebuild   %8.2f ms  %7.3f ms/process\n", full, full / processes);
  std::printf("quick rebuild  %8.2f ms  %7.3f ms/process\n", quick, quick / processes);
  std::printf("tasklist       %8.2f ms  %7.3f ms/process\n", tasklist, tasklist / processes);
  std::printf("listing        %8.2f ms  %7.3f ms/process\n", inProcess, inProcess / processes);
  std::printf("full / tasklist %.2f   quick / tasklist %.2f\n", full / tasklist, quick / tasklist);
  std::printf("full / listing  %.2f   quick / listing  %.2f\n", full / inProcess, quick / inProcess);

  running.clear();
  testsupport::PumpUntil([&] { return DeleteFileA(exe.c_str()) != FALSE; });
  DeleteSetting("Quillon", "tmp", "ProcChanged");
  CoUninitialize();
  return 0;
}
