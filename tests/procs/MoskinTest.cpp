// The CPU library measures every process between two calls and hands the names over
// in the settings store.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "ModSettings.h"
#include "UiWait.h"

namespace {

using GetCpuUsageFn = LONG(WINAPI*)(LONG*);
using InstallMainHookFn = LONG(WINAPI*)(LONG, LONG);

std::string OwnName() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string s(path, n);
  s = s.substr(s.find_last_of('\\') + 1);
  return s.substr(0, s.find_last_of('.'));
}

TEST(Moskin, MeasuresProcessesBetweenCalls) {
  HMODULE lib = LoadLibraryA((testsupport::BinDir() + "\\Moskin.dll").c_str());
  ASSERT_NE(lib, nullptr);
  auto getCpu = reinterpret_cast<GetCpuUsageFn>(GetProcAddress(lib, "GetCpuUsage"));
  auto hook = reinterpret_cast<InstallMainHookFn>(GetProcAddress(lib, "InstallMainHook"));
  ASSERT_NE(getCpu, nullptr);
  ASSERT_NE(hook, nullptr);
  EXPECT_EQ(hook(0, 0), 0);  // removing a hook that was never installed is harmless

  std::vector<LONG> table(1000, -1);
  LONG first = getCpu(table.data());
  ASSERT_GE(first, 3);  // at least this process, entry 0 and the total

  // Keep one processor busy for a while, then measure again.
  DWORD start = GetTickCount();
  volatile double x = 1;
  while (GetTickCount() - start < 400) x = x * 1.0000001 + 1;

  LONG n = getCpu(table.data());
  ASSERT_GE(n, 3);
  ASSERT_LT(n, 1000);
  LONG total = table[n - 1];
  EXPECT_GT(total, 0);
  int own = 0;
  std::string me = OwnName();
  for (LONG k = 1; k <= n - 2; ++k) {
    std::string name = GetSetting("Quillon Pro", "tmpcpu", std::to_string(k), "?");
    EXPECT_NE(name, "?") << k;
    EXPECT_GE(table[k], 0) << k;
    EXPECT_LE(table[k], total) << k;
    if (lstrcmpiA(name.c_str(), me.c_str()) == 0) own = table[k];
  }
  // This process was busy for most of the interval, on one of the processors.
  EXPECT_GT(own * 100.0 / total, 1.0) << own << " of " << total;
  for (LONG k = 1; k < n; ++k) DeleteSetting("Quillon Pro", "tmpcpu", std::to_string(k));
  FreeLibrary(lib);
}

}  // namespace
