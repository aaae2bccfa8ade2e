// What the program costs in processor time with its lists page on view, beside Wine's
// task manager with its Processes tab on view, over the same fixture processes and
// one after the other in the same run: first the fixtures alone, then the program
// with the page on view and again with its frame closed to the tray (the difference
// is the page's own share), then taskmgr, each for the same span at its default speed. Not a test; run it by
// hand under Wine with a display (scripts/bench-lists names the server for it):
//   lists_cpu_bench [fixtures] [windows per fixture] [seconds]
// GetProcessTimes answers 0 for other processes under Wine, so each process's time is
// taken from the system process information. The server's time comes from Linux's
// /proc/PID/stat of the wineserver named by QP_WINESERVER_PID.
#include <windows.h>
#include <commctrl.h>
#include <winternl.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "Fixture.h"
#include "ModMainLoop.h"
#include "UiWait.h"

namespace {

// Processor time of a process in milliseconds, user and kernel, from one system
// snapshot; -1 when the process is not in it. Wine may leave the process's own
// fields empty and fill its threads', so the larger of the two sums is taken.
double ProcessCpuMs(DWORD pid) {
  using QueryFn = LONG(WINAPI*)(int, PVOID, ULONG, PULONG);
  static const QueryFn query = reinterpret_cast<QueryFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
  if (!query) return -1;
  std::vector<unsigned char> buffer(1 << 20);
  ULONG needed = 0;
  if (query(5, buffer.data(), static_cast<ULONG>(buffer.size()), &needed) != 0) return -1;
  size_t offset = 0;
  for (;;) {
    const auto* p = reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(buffer.data() + offset);
    if (static_cast<DWORD>(reinterpret_cast<uintptr_t>(p->UniqueProcessId)) == pid) {
      const double own = static_cast<double>(p->UserTime.QuadPart + p->KernelTime.QuadPart);
      // The threads follow the process record: kernel, user and creation time first.
      const auto* threads = reinterpret_cast<const SYSTEM_THREAD_INFORMATION*>(p + 1);
      double summed = 0;
      for (ULONG t = 0; t < p->NumberOfThreads; ++t)
        summed += static_cast<double>(threads[t].Reserved1[0].QuadPart + threads[t].Reserved1[1].QuadPart);
      return (own > summed ? own : summed) / 10000.0;
    }
    if (p->NextEntryOffset == 0) return -1;
    offset += p->NextEntryOffset;
  }
}

// The server's user and system time in milliseconds; -1 when it cannot be read.
double ServerCpuMs() {
  const char* pid = std::getenv("QP_WINESERVER_PID");
  if (!pid || !*pid) return -1;
  std::string name = std::string("Z:\\proc\\") + pid + "\\stat";
  FILE* f = std::fopen(name.c_str(), "rb");
  if (!f) return -1;
  char text[1024] = {};
  size_t n = std::fread(text, 1, sizeof text - 1, f);
  std::fclose(f);
  text[n] = 0;
  // Fields after the command's closing parenthesis: state is field 3, utime 14, stime 15.
  const char* at = std::strrchr(text, ')');
  if (!at) return -1;
  unsigned long long utime = 0, stime = 0;
  if (std::sscanf(at + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu", &utime, &stime) != 2) return -1;
  return static_cast<double>(utime + stime) * 10.0;  // clock ticks of 10 ms
}

void PumpFor(DWORD ms) { testsupport::PumpUntil([] { return false; }, ms); }

struct Span {
  double process = 0;
  double server = 0;
};

// Lets `seconds` pass with the process running and measures both clocks over them.
Span Measure(DWORD pid, int seconds) {
  const double p0 = ProcessCpuMs(pid), s0 = ServerCpuMs();
  PumpFor(static_cast<DWORD>(seconds) * 1000);
  const double p1 = ProcessCpuMs(pid), s1 = ServerCpuMs();
  Span span;
  span.process = p0 >= 0 && p1 >= 0 ? p1 - p0 : -1;
  span.server = s0 >= 0 && s1 >= 0 ? s1 - s0 : -1;
  return span;
}

// The process's first top-level window of the class, or else of the caption.
HWND FindWindowOf(DWORD pid, const char* className, const char* caption) {
  for (HWND hwnd : testsupport::TopLevelWindowsOf(pid)) {
    char text[256] = {};
    if (className) GetClassNameA(hwnd, text, sizeof text);
    if (caption) GetWindowTextA(hwnd, text, sizeof text);
    if (std::string(text) == (className ? className : caption)) return hwnd;
  }
  return nullptr;
}

// The frame: the program's top-level window with a menu (its caption names the page).
HWND FrameOf(DWORD pid) {
  for (HWND hwnd : testsupport::TopLevelWindowsOf(pid))
    if (GetMenu(hwnd)) return hwnd;
  return nullptr;
}

// Waits until the process uses under a fifth of a processor over two seconds.
bool Settled(DWORD pid) {
  for (int tries = 0; tries < 90; ++tries)
    if (Measure(pid, 2).process < 400) return true;
  return false;
}

bool Start(const std::string& commandLine, PROCESS_INFORMATION& pi) {
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  std::string line = commandLine;
  return CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi) != FALSE;
}

// True when the program will ask its first-run question: its App Paths entry, the
// first-run marker, is missing or empty (a fresh prefix).
bool FirstRunExpected() {
  char value[MAX_PATH] = {};
  DWORD size = sizeof value;
  const LONG rc = RegGetValueA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\QuillonPro.exe",
                               nullptr, RRF_RT_REG_SZ, nullptr, value, &size);
  return rc != ERROR_SUCCESS || value[0] == 0;
}

// The program with its frame in front and the lists page on view. On a first run it
// asks its connection question (answered No, the default) and saves the default
// settings; the frame then comes up as the program's own key would bring it. The
// hidden frame exists before the question is asked, so on a first run the wait goes
// on until the question has been answered.
bool StartProgram(PROCESS_INFORMATION& pi) {
  const bool question = FirstRunExpected();
  if (!Start("\"" + testsupport::BinDir() + "\\QuillonPro.exe\"", pi)) return false;
  HWND frame = nullptr;
  bool answered = false;
  testsupport::PumpUntil(
      [&] {
        if (HWND box = FindWindowOf(pi.dwProcessId, "#32770", nullptr))
          if (IsWindowVisible(box)) {
            PostMessageA(box, WM_COMMAND, IDNO, 0);
            answered = true;
          }
        frame = FindWindowOf(pi.dwProcessId, nullptr, "Quillon Pro");
        return frame && GetMenu(frame) && (answered || !question);
      },
      60000);
  if (!frame || (question && !answered)) {
    std::printf("no frame%s; shown: %s\n", question && !answered ? " or no first-run question" : "",
                testsupport::ShownWindowsOf(pi.dwProcessId).c_str());
    return false;
  }
  PumpFor(3000);  // the start-up's own work ends
  PostMessageA(frame, WM_HOTKEY, kHotKeyId, 0);
  if (testsupport::PumpUntil([&] { return IsWindowVisible(frame) && GetForegroundWindow() == frame; }, 20000))
    return true;
  std::printf("frame visible %d, in front %d; shown: %s\n", IsWindowVisible(frame), GetForegroundWindow() == frame,
              testsupport::ShownWindowsOf(pi.dwProcessId).c_str());
  return false;
}

// taskmgr with its Processes tab chosen, as a click on the tab would choose it.
bool StartTaskManager(PROCESS_INFORMATION& pi) {
  if (!Start("taskmgr.exe", pi)) return false;
  HWND main = nullptr;
  testsupport::PumpUntil([&] { return (main = FindWindowOf(pi.dwProcessId, nullptr, "Task Manager")) != nullptr; },
                         20000);
  if (!main) return false;
  HWND tabs = FindWindowExA(main, nullptr, "SysTabControl32", nullptr);
  if (!tabs) return false;
  SendMessageA(tabs, TCM_SETCURFOCUS, 1, 0);
  SetForegroundWindow(main);
  return SendMessageA(tabs, TCM_GETCURSEL, 0, 0) == 1;
}

void Print(const char* what, const Span& span, int seconds) {
  const double perMinute = 60.0 / seconds;
  std::printf("%-22s process %9.0f ms/min   server %9.0f ms/min   both %9.0f ms/min\n", what,
              span.process * perMinute, span.server * perMinute, (span.process + span.server) * perMinute);
}

}  // namespace

int main(int argc, char** argv) {
  const int fixtures = argc > 1 ? std::atoi(argv[1]) : 50;
  const int windows = argc > 2 ? std::atoi(argv[2]) : 4;
  const int seconds = argc > 3 ? std::atoi(argv[3]) : 60;
  if (ServerCpuMs() < 0) std::printf("the server's time is not read: QP_WINESERVER_PID names no readable process\n");
  testsupport::FixtureFolder folder("listscpu");
  for (int i = 0; i < fixtures; ++i)
    folder.Start("bench" + std::to_string(i) + ".exe", "many:" + std::to_string(windows));

  const Span idle = Measure(GetCurrentProcessId(), seconds);

  PROCESS_INFORMATION program = {};
  if (!StartProgram(program)) {
    std::printf("the program's frame did not come up\n");
    testsupport::EndProcess(program);
    return 1;
  }
  // Showing the page reloads both lists in full, which on a loaded machine takes many
  // seconds: the span measures the page at rest, once the reload has ended.
  if (!Settled(program.dwProcessId)) std::printf("the program kept a processor busy for 3 minutes\n");
  const Span lists = Measure(program.dwProcessId, seconds);
  // The same program with its frame closed to the tray: what it costs without the
  // page, so the page's own share is the difference.
  Span tray;
  if (HWND frame = FrameOf(program.dwProcessId)) {
    PostMessageA(frame, WM_CLOSE, 0, 0);
    testsupport::PumpUntil([&] { return !IsWindowVisible(frame); }, 10000);
    PumpFor(2000);
    tray = Measure(program.dwProcessId, seconds);
  }
  testsupport::EndProcess(program);

  PROCESS_INFORMATION taskmgr = {};
  if (!StartTaskManager(taskmgr)) {
    std::printf("taskmgr's Processes tab did not come up\n");
    testsupport::EndProcess(taskmgr);
    return 1;
  }
  PumpFor(2000);
  const Span manager = Measure(taskmgr.dwProcessId, seconds);
  testsupport::EndProcess(taskmgr);

  std::printf("fixtures %d, windows %d, %d s each\n", fixtures, fixtures * windows, seconds);
  Print("fixtures alone (bench)", idle, seconds);
  Print("lists page shown", lists, seconds);
  Print("program in the tray", tray, seconds);
  Print("taskmgr Processes", manager, seconds);
  if (manager.process > 0) {
    std::printf("ratio, process alone         %6.3f\n", lists.process / manager.process);
    if (manager.server >= 0)
      std::printf("ratio, server time included  %6.3f\n",
                  (lists.process + lists.server) / (manager.process + manager.server));
    std::printf("the page's own share, process %6.3f, server included %6.3f\n",
                (lists.process - tray.process) / manager.process,
                (lists.process + lists.server - tray.process - tray.server) / (manager.process + manager.server));
  }
  return 0;
}
