// The library in a program that runs as other Windows versions, or without the
// performance data helper: the probe program plays that program.
#include <windows.h>

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "LibraryTestSupport.h"
#include "UiWait.h"

using libtest::AppDefaults;
using libtest::Probe;

namespace {

// The 9x statistics a test puts in place, removed again at the end.
class DynStats {
 public:
  ~DynStats() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_DYN_DATA, kKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    for (const std::string& name : names_) RegDeleteValueA(key, name.c_str());
    RegCloseKey(key);
  }
  bool Set(const std::string& name, DWORD value) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_DYN_DATA, kKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return false;
    // The 9x family keeps each statistic as 4 binary bytes.
    LONG rc = RegSetValueExA(key, name.c_str(), 0, REG_BINARY, reinterpret_cast<const BYTE*>(&value), 4);
    RegCloseKey(key);
    names_.push_back(name);
    return rc == ERROR_SUCCESS;
  }

 private:
  static constexpr const char* kKey = "PerfStats\\StatData";
  std::vector<std::string> names_;
};

// The figures of one "perf" answer.
std::vector<long> Perf(Probe& probe) {
  probe.Send("perf");
  std::istringstream line(probe.ReadLine());
  std::string word;
  line >> word;
  std::vector<long> values;
  long v;
  while (line >> v) values.push_back(v);
  EXPECT_EQ("perf", word);
  return values;
}

struct FindBox {
  DWORD pid;
  HWND box;
};

BOOL CALLBACK FindVantrelBox(HWND hwnd, LPARAM lp) {
  auto* find = reinterpret_cast<FindBox*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid == find->pid && testsupport::WindowText(hwnd) == "Vantrel") {
    find->box = hwnd;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

TEST(PellmonWin98, ReadsTheDynamicStatisticsAndCountsPageFaultsSinceTheLastCall) {
  AppDefaults defaults("pellmon_win98.exe");
  defaults.SetVersion("win98");
  DynStats stats;
  ASSERT_TRUE(stats.Set("kernel\\cpuusage", 37));
  ASSERT_TRUE(stats.Set("vmm\\cpagefaults", 1000));

  Probe probe("pellmon_win98.exe");
  ASSERT_TRUE(probe.Started());
  ASSERT_EQ("ready 1 4 -1", probe.ReadLine());  // the 9x platform, version 4

  std::vector<long> first = Perf(probe);
  ASSERT_EQ(9u, first.size());
  EXPECT_EQ(37, first[0]);
  EXPECT_EQ(0, first[8]);  // nothing to compare the first count with

  ASSERT_TRUE(stats.Set("kernel\\cpuusage", 55));
  ASSERT_TRUE(stats.Set("vmm\\cpagefaults", 1250));
  std::vector<long> second = Perf(probe);
  ASSERT_EQ(9u, second.size());
  EXPECT_EQ(55, second[0]);
  EXPECT_EQ(250, second[8]);
  EXPECT_EQ(0, Perf(probe).at(8));

  // No processor time per process on this family.
  probe.Send("cpu " + std::to_string(probe.pid()));
  EXPECT_EQ("cpu -1", probe.ReadLine());
  EXPECT_EQ(0u, probe.Quit());
}

TEST(PellmonNtVersions, EveryNtVersionGivesACpuFigure) {
  const struct {
    const char* version;
    const char* ready;
  } versions[] = {{"nt40", "ready 2 4 -1"}, {"win2k", "ready 2 5 -1"}, {"vista", "ready 2 6 -1"}};
  for (const auto& v : versions) {
    AppDefaults defaults("pellmon_nt.exe");
    defaults.SetVersion(v.version);
    Probe probe("pellmon_nt.exe");
    ASSERT_TRUE(probe.Started());
    ASSERT_EQ(v.ready, probe.ReadLine()) << v.version;
    Perf(probe);
    // One processor kept busy between two figures shows in the second.
    probe.Send("spin 300");
    EXPECT_EQ("spun", probe.ReadLine());
    std::vector<long> figures = Perf(probe);
    ASSERT_EQ(9u, figures.size());
    EXPECT_GT(figures[0], 0) << v.version;
    EXPECT_LE(figures[0], 100) << v.version;
    EXPECT_EQ(0u, probe.Quit());
  }
}

TEST(PellmonNoPdh, SaysSoAndAsksTheProgramToEnd) {
  AppDefaults defaults("pellmon_nopdh.exe");
  defaults.DisableDll("pdh");
  Probe probe("pellmon_nopdh.exe");
  ASSERT_TRUE(probe.Started());
  FindBox find = {probe.pid(), nullptr};
  ASSERT_TRUE(testsupport::PumpUntil([&] {
    EnumWindows(FindVantrelBox, reinterpret_cast<LPARAM>(&find));
    return find.box != nullptr;
  }, 20000));
  char text[256] = "";
  GetDlgItemTextA(find.box, 0xFFFF, text, sizeof text);
  EXPECT_STREQ("Could not load pdh.dll! Exiting app!", text);
  SendMessageA(find.box, WM_COMMAND, IDOK, 0);
  // The object is still made; the program finds WM_QUIT with exit code 1 queued.
  EXPECT_EQ("ready 2 6 1", probe.ReadLine());
  std::vector<long> figures = Perf(probe);
  ASSERT_EQ(9u, figures.size());
  EXPECT_EQ(0, figures[8]);
  EXPECT_EQ(0u, probe.Quit());
}
