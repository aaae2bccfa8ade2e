// The hook library's cost, run by hand: a hooked call against the same call unhooked
// (with a line each time, and folded into one line a second), and the watch with 50
// programs running.
#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "Fixture.h"
#include "ModMainPlatform.h"
#include "ModProcMon.h"
#include "ModSettings.h"
#include "ModStartupPlatform.h"
#include "ProcMonCls.h"

namespace {

using testsupport::Fixture;
using testsupport::FixtureFolder;

double MicrosPerCall(const Fixture& fixture, DWORD count, bool newNames) {
  DWORD_PTR micros = 0;
  SendMessageTimeoutA(fixture.hwnd(), WM_APP + 2, count | (newNames ? 0x80000000u : 0), 0, SMTO_BLOCK, 120000, &micros);
  return static_cast<double>(micros) / count;
}

double CpuMs() {
  FILETIME created, ended, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
  auto ms = [](const FILETIME& f) { return ((static_cast<ULONGLONG>(f.dwHighDateTime) << 32) | f.dwLowDateTime) / 10000.0; };
  return ms(kernel) + ms(user);
}

bool HasBrackel(DWORD pid) {
  HANDLE modules = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid);
  MODULEENTRY32 module = {};
  module.dwSize = sizeof module;
  bool found = false;
  for (BOOL m = Module32First(modules, &module); m && !found; m = Module32Next(modules, &module))
    found = lstrcmpiA(module.szModule, "Brackel.dll") == 0;
  CloseHandle(modules);
  return found;
}

}  // namespace

int main() {
  IsWinNTFlag = true;
  InitRiskMonitor();
  FixtureFolder folder("brackel_bench");
  Fixture& fixture = folder.Start("bench.exe", "risky");
  const std::string program = folder.PathOf("bench.exe");
  const DWORD calls = 2000;
  MicrosPerCall(fixture, 100, true);  // warm
  double plain = MicrosPerCall(fixture, calls, true);
  double plainSame = MicrosPerCall(fixture, calls, false);
  ProcMonCls().WriteStartToLogFile(program);
  BrackelRefHook(fixture.pid());
  double lined = MicrosPerCall(fixture, calls, true);
  double folded = MicrosPerCall(fixture, calls, false);
  std::printf("CreateFileA unhooked, new names:      %8.1f us a call\n", plain);
  std::printf("CreateFileA unhooked, one name:       %8.1f us a call\n", plainSame);
  std::printf("CreateFileA hooked, new names (a line each call): %8.1f us a call\n", lined);
  std::printf("CreateFileA hooked, one name (one line a second): %8.1f us a call\n", folded);

  // The watch: 50 running copies of a listed program are hooked by its ticks; then a
  // tick costs the service what it spends checking them.
  const int count = 50;
  for (int i = 0; i < count; ++i) folder.Start("watched" + std::to_string(i) + ".exe", "plain");
  DWORD start = GetTickCount();
  for (int i = 0; i < count; ++i) SaveSetting(ProgramTitle, "tmpcpu", folder.PathOf("watched" + std::to_string(i) + ".exe"), "1");
  // The fixtures started last are the watched ones: wait until all have the library.
  std::vector<DWORD> pids;
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snap, &entry); more; more = Process32Next(snap, &entry))
    if (std::string(entry.szExeFile).rfind("watched", 0) == 0) pids.push_back(entry.th32ProcessID);
  CloseHandle(snap);
  size_t hooked = 0;
  while (GetTickCount() - start < 60000) {
    hooked = 0;
    for (DWORD pid : pids) hooked += HasBrackel(pid);
    if (hooked == pids.size()) break;
    Sleep(50);
  }
  std::printf("watch: %zu of %zu programs hooked %lu ms after they were listed\n", hooked, pids.size(),
              GetTickCount() - start);
  double before = CpuMs();
  Sleep(5000);
  std::printf("watch: %.2f ms of processor time a tick with %d programs listed and running (25 ticks)\n",
              (CpuMs() - before) / 25, count);
  BrackelInstallHook(0, nullptr);
  DeleteSection(ProgramTitle, "tmpcpu");
  DeleteFileA(ProcMonCls::LogPathOf(program).c_str());
  for (int i = 0; i < count; ++i) DeleteFileA(ProcMonCls::LogPathOf(folder.PathOf("watched" + std::to_string(i) + ".exe")).c_str());
  return 0;
}
