// Processor time of the program's main loop under Wine: one timed refresh of the
// shown lists page (with the performance figures and samples), then the idle program
// for a minute. Run by hand:  wine loop_bench.exe [seconds] [nobar]
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shlwapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "../support/BenchClock.h"
#include "InterfaceFrm.h"
#include "ModMain.h"
#include "ModMainLoop.h"
#include "ModSettings.h"
#include "ModStartup.h"
#include "Seams.h"
#include "SysPerfFrm.h"
#include "Window.h"

namespace {

double Ms(const FILETIME& t) {
  ULARGE_INTEGER v;
  v.LowPart = t.dwLowDateTime;
  v.HighPart = t.dwHighDateTime;
  return static_cast<double>(v.QuadPart) / 10000.0;
}

double ThreadCpuMs() {
  FILETIME c, e, k, u;
  GetThreadTimes(GetCurrentThread(), &c, &e, &k, &u);
  return Ms(k) + Ms(u);
}

double ProcessCpuMs() {
  FILETIME c, e, k, u;
  GetProcessTimes(GetCurrentProcess(), &c, &e, &k, &u);
  return Ms(k) + Ms(u);
}

void SetText(HKEY root, const std::string& path, const char* name, const std::string& value) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return;
  RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>(value.size() + 1));
  RegCloseKey(key);
}

LRESULT CALLBACK StopperProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_APP) IsExiting = true;
  return DefWindowProcA(h, m, w, l);
}

struct Stop {
  HWND window;
  int seconds;
};

DWORD WINAPI StopLater(LPVOID p) {
  auto* s = static_cast<Stop*>(p);
  Sleep(static_cast<DWORD>(s->seconds) * 1000);
  PostMessageA(s->window, WM_APP, 0, 0);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
  const bool bar = !(argc > 2 && std::strcmp(argv[2], "nobar") == 0);
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES};
  InitCommonControlsEx(&icc);
  CoInitialize(nullptr);

  // A user who has run the program before, on a leased line, without the splash.
  SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Quillon Pro");
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  SetText(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\loop_bench.exe", "", self);
  SetText(HKEY_CURRENT_USER, "Software\\Quillon Pro\\Options", "SplashAtStartUp", "0");
  SetText(HKEY_CURRENT_USER, "Software\\Quillon Pro\\Options", "LANCon", "1");
  SetText(HKEY_CURRENT_USER, "Software\\Quillon Pro\\General", "Toolbar", bar ? "True" : "False");
  int ends = 0;
  seams::EndProcessFn = [&](UINT) { ++ends; };
  if (!StartUp()) return 1;

  // One timed refresh: the frame shown on the lists page, the performance page loaded.
  ShowInterfaceFrm();
  InterfaceFrm.Toolbar1.ClickButton("Performance");
  InterfaceFrm.Toolbar1.ClickButton("Quillon");
  RefreshInterval = 4;
  const int kRefreshes = 200;
  double cpu = 0, wall = 0;
  for (int i = 0; i < kRefreshes; ++i) {
    ui::DoEvents();
    LastRefreshTick = GetTickCount() - 5000;
    const double c0 = ThreadCpuMs(), w0 = testsupport::NowMs();
    DoLoopTasks();
    cpu += ThreadCpuMs() - c0;
    wall += testsupport::NowMs() - w0;
  }
  std::printf("one timed refresh (lists page shown): %.2f ms processor, %.2f ms elapsed (mean of %d)\n",
              cpu / kRefreshes, wall / kRefreshes, kRefreshes);

  // The idle program: frame hidden, the loop waiting for its tasks.
  InterfaceFrm.Hide();
  HWND stopper = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  SetWindowLongPtrA(stopper, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(StopperProc));
  Stop stop = {stopper, seconds};
  HANDLE timer = CreateThread(nullptr, 0, StopLater, &stop, 0, nullptr);
  const double c0 = ProcessCpuMs(), w0 = testsupport::NowMs();
  // The main loop's own passes, counted; the process end is the test's.
  unsigned passes = 0;
  for (; !IsExiting; ++passes) MainLoopPass(true);
  EndProgram();
  const double idleCpu = ProcessCpuMs() - c0, idleWall = testsupport::NowMs() - w0;
  WaitForSingleObject(timer, INFINITE);
  std::printf("idle program, tracker bar %s: %.0f ms processor in %.1f s (%.3f %%), %.1f loop passes a second\n",
              bar ? "on" : "off", idleCpu, idleWall / 1000.0, idleCpu / idleWall * 100.0,
              passes / (idleWall / 1000.0));
  SHDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\loop_bench.exe");
  SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Quillon Pro");
  CoUninitialize();
  return ends == 1 ? 0 : 1;
}
