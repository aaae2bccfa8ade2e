// The Risk Monitor page against real fixtures, the real registry and the built hook
// library: moving programs between the lists, slots, duplicate rows, row colours,
// the selected program's rating and a log that cannot be written.
#include <gtest/gtest.h>
#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "DetailsFrm.h"
#include "Files.h"
#include "Fixture.h"
#include "ModMainPlatform.h"
#include "ModProcMon.h"
#include "ModProgInfo.h"
#include "ModSettings.h"
#include "ModStartupPlatform.h"
#include "ProcCPUFrm.h"
#include "ProcMonCls.h"
#include "ProgramState.h"
#include "Seams.h"
#include "UiWait.h"

namespace {

using testsupport::Fixture;
using testsupport::FixtureFolder;

// A process of the path other than `old` that has the hook library loaded; 0 when none.
DWORD HookedInstance(const std::string& path, DWORD old) {
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  DWORD found = 0;
  for (BOOL more = Process32First(snap, &entry); more && !found; more = Process32Next(snap, &entry)) {
    if (entry.th32ProcessID == old || entry.th32ProcessID == 0) continue;
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, entry.th32ProcessID);
    if (!process) continue;
    char name[MAX_PATH] = {};
    GetModuleFileNameExA(process, nullptr, name, MAX_PATH);
    CloseHandle(process);
    if (lstrcmpiA(name, path.c_str()) != 0) continue;
    HANDLE modules = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, entry.th32ProcessID);
    MODULEENTRY32 module = {};
    module.dwSize = sizeof module;
    for (BOOL m = Module32First(modules, &module); m && !found; m = Module32Next(modules, &module))
      if (lstrcmpiA(module.szModule, "Brackel.dll") == 0) found = entry.th32ProcessID;
    CloseHandle(modules);
  }
  CloseHandle(snap);
  return found;
}

class ProcCPUFrmTest : public testing::Test {
 protected:
  void SetUp() override {
    ResetProgramState();
    IsWinNTFlag = true;
    BrackelLibraryName = "Brackel.dll";
    seams::MessageBoxFn = [this](HWND, const std::string& text, const std::string&, UINT style) {
      messages_.push_back(text);
      styles_.push_back(style);
      return IDNO;
    };
    InitRiskMonitor();
    ASSERT_TRUE(ProcCPUFrm.Load());
    ProcCPUFrm.AppsLV.Clear();
    ProcCPUFrm.CurrentProcLV.Clear();
  }
  void TearDown() override {
    BrackelInstallHook(0, nullptr);
    ProcCPUFrm.AppsLV.Clear();
    ProcCPUFrm.CurrentProcLV.Clear();
    for (const char* name : {"one.exe", "two.exe", "three.exe", "dup.exe", "idle.exe", "rated.exe", "nolog.exe"})
      DeleteFileA(ProcMonCls::LogPathOf(folder_.PathOf(name)).c_str());
    DeleteSection(ProgramTitle, "tmpcpu");
    IsWinNTFlag = false;
    ProcCPUFrm.ChooseProgram = chooser_;
    seams::Reset();
  }
  int AppsRow(const std::string& path) {
    for (int row = 0; row < ProcCPUFrm.AppsLV.ItemCount(); ++row)
      if (lstrcmpiA(ProcCPUFrm.AppsLV.SubItem(row, 1).c_str(), path.c_str()) == 0) return row;
    return -1;
  }
  bool Listed(const std::string& path) { return GetSetting(ProgramTitle, "tmpcpu", path, "") == "1"; }

  FixtureFolder folder_{"proccpu"};
  std::function<std::string()> chooser_ = ProcCPUFrm.ChooseProgram;
  std::vector<std::string> messages_;
  std::vector<UINT> styles_;
};

TEST_F(ProcCPUFrmTest, ThreeAdjacentRowsAreAddedAtOnceAndRemovingBothEmptiesTheList) {
  for (const char* name : {"one.exe", "two.exe", "three.exe"}) folder_.Start(name, "plain");
  ProcCPUFrm.RefreshMe();
  ui::ListView& apps = ProcCPUFrm.AppsLV;
  apps.SortBy(1, ui::SortKind::kText, true);
  std::vector<int> rows = {AppsRow(folder_.PathOf("one.exe")), AppsRow(folder_.PathOf("three.exe")),
                           AppsRow(folder_.PathOf("two.exe"))};
  for (int row : rows) ASSERT_GE(row, 0);
  std::sort(rows.begin(), rows.end());
  ASSERT_EQ(rows[2] - rows[0], 2) << "the three copies sort next to each other";
  for (int row : rows) apps.SetSelected(row, true);
  ProcCPUFrm.AddBtn_Click();
  ui::ListView& monitored = ProcCPUFrm.CurrentProcLV;
  ASSERT_EQ(monitored.ItemCount(), 3);
  for (const char* name : {"one.exe", "two.exe", "three.exe"}) {
    EXPECT_LT(AppsRow(folder_.PathOf(name)), 0) << name;
    EXPECT_TRUE(Listed(folder_.PathOf(name))) << name;
  }
  EXPECT_EQ(MonitoredProgCount, 3);

  // Two of them off again, through the question.
  seams::MessageBoxFn = [](HWND, const std::string&, const std::string&, UINT) { return IDYES; };
  ProcCPUFrm.RemoveBtn_Click();  // nothing selected: nothing removed
  EXPECT_EQ(monitored.ItemCount(), 3);
  const std::string third = monitored.SubItem(2, 1);
  monitored.RemoveItem(2);  // leave two rows: the third's slot stays in use
  monitored.SetSelected(0, true);
  monitored.SetSelected(1, true);
  ProcCPUFrm.RemoveBtn_Click();
  EXPECT_EQ(monitored.ItemCount(), 0);
  EXPECT_FALSE(IsWindowEnabled(ProcCPUFrm.MoreInfoBtn.hwnd()));
  EXPECT_FALSE(IsWindowEnabled(ProcCPUFrm.RemoveBtn.hwnd()));
  EXPECT_TRUE(Listed(third));
  // The freed slot 0 is taken again.
  seams::MessageBoxFn = [](HWND, const std::string&, const std::string&, UINT) { return IDNO; };
  ASSERT_TRUE(ProcCPUFrm.AddProcess("one", folder_.PathOf("one.exe"), true));
  EXPECT_EQ(monitored.Key(monitored.ItemCount() - 1), "k0");
  EXPECT_EQ(MonitoredProgCount, 3);
}

TEST_F(ProcCPUFrmTest, TheRestartOfferEndsTheProgramAndStartsItHookedFromTheRoot) {
  Fixture& fixture = folder_.Start("restart.exe", "plain");
  const std::string path = folder_.PathOf("restart.exe");
  seams::MessageBoxFn = [this](HWND, const std::string& text, const std::string&, UINT) {
    messages_.push_back(text);
    return IDYES;
  };
  std::vector<seams::ShellRequest> requests;
  seams::ShellExecuteFn = [&](const seams::ShellRequest& request) {
    requests.push_back(request);
    return seams::ShellExecuteForReal(request);
  };
  ASSERT_TRUE(ProcCPUFrm.AddProcess("restart", path, false));
  ASSERT_EQ(messages_.size(), 2u);
  EXPECT_EQ(messages_[0].rfind("In order to avoid missing events", 0), 0u);
  EXPECT_EQ(messages_[1].rfind("Terminating a program can cause", 0), 0u);
  EXPECT_EQ(WaitForSingleObject(fixture.process(), 3000), static_cast<DWORD>(WAIT_OBJECT_0)) << "not ended";
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].directory, "C:\\");
  EXPECT_EQ(requests[0].verb, "");
  DWORD hooked = 0;
  for (int i = 0; i < 40 && !hooked; ++i, Sleep(100)) hooked = HookedInstance(path, fixture.pid());
  EXPECT_NE(hooked, 0u) << "the new process was not hooked";
  for (DWORD pid, last = 0; (pid = HookedInstance(path, fixture.pid())) != 0 && pid != last; last = pid)
    testsupport::EndProcessById(pid, 3000);
  DeleteFileA(ProcMonCls::LogPathOf(path).c_str());
}

TEST_F(ProcCPUFrmTest, DuplicateRowsRemovedOneAtATimeLeaveTheOtherMonitoredAndHooked) {
  Fixture& fixture = folder_.Start("dup.exe", "risky");
  const std::string path = folder_.PathOf("dup.exe");
  ASSERT_TRUE(ProcCPUFrm.AddProcess("dup", path, false));
  ASSERT_TRUE(ProcCPUFrm.AddProcess("dup again", path, true));
  ui::ListView& monitored = ProcCPUFrm.CurrentProcLV;
  ASSERT_EQ(monitored.ItemCount(), 2);
  ProcCPUFrm.RemoveProcess(0, path);
  ASSERT_EQ(monitored.ItemCount(), 1);
  EXPECT_EQ(monitored.Key(0), "k1");
  EXPECT_TRUE(Listed(path));
  EXPECT_EQ(MonitoredProgHist[1]->ExtraInfo, path);
  DWORD_PTR answer = 0;
  ASSERT_TRUE(SendMessageTimeoutA(fixture.hwnd(), WM_APP + 1, 1, 0, SMTO_BLOCK, 20000, &answer));
  std::string log = testsupport::ReadAll(ProcMonCls::LogPathOf(path));
  EXPECT_NE(log.find(" 102 "), std::string::npos) << "a stop mark per removal";
  EXPECT_NE(log.find(" 201 ", log.find(" 102 ")), std::string::npos) << "still hooked after one row went";

  ProcCPUFrm.RemoveProcess(1, path);
  EXPECT_EQ(monitored.ItemCount(), 0);
  EXPECT_FALSE(Listed(path));
  // Removing a slot without a row changes nothing.
  size_t size = testsupport::ReadAll(ProcMonCls::LogPathOf(path)).size();
  ProcCPUFrm.RemoveProcess(1, path);
  EXPECT_EQ(testsupport::ReadAll(ProcMonCls::LogPathOf(path)).size(), size);
}

TEST_F(ProcCPUFrmTest, AMonitoredProgramIsRedWhileItDoesNotRunAndBoldWhileItsNewestSampleIsAboveZero) {
  const std::string path = folder_.PathOf("idle.exe");
  Fixture& fixture = folder_.Start("idle.exe", "plain");
  ASSERT_TRUE(ProcCPUFrm.AddProcess("idle", path, false));
  ui::ListView& monitored = ProcCPUFrm.CurrentProcLV;
  MonitoredProgHist[0]->AddPoint(0);
  ProcCPUFrm.RefreshMe();
  EXPECT_EQ(monitored.CellForeColor(0, 0), 0u);
  EXPECT_FALSE(monitored.CellBold(0, 0));
  EXPECT_LT(AppsRow(path), 0) << "a monitored program is not listed as running too";
  Sleep(1100);  // the next second: the history keeps a sample a second, timed off its own clock
  MonitoredProgHist[0]->AddPoint(7);
  ProcCPUFrm.RefreshMe();
  EXPECT_TRUE(monitored.CellBold(0, 0));
  fixture.End();
  ProcCPUFrm.RefreshMe();
  EXPECT_EQ(monitored.CellForeColor(0, 1), 255u);
  EXPECT_FALSE(monitored.CellBold(0, 0));
}

TEST_F(ProcCPUFrmTest, TheSelectedProgramShowsItsRatingPictureAndWords) {
  // One static code met by a program without a visible window, worth 45.
  UseRiskDescriptions("4\r\n101 0 0 Monitoring started\r\nd\r\n102 0 0 Monitoring stopped\r\nd\r\n"
                      "130 45 0 No visible window\r\nd\r\n133 10 1 Unknown file in the Windows folder\r\nd\r\n");
  const std::string path = folder_.PathOf("rated.exe");
  folder_.Start("rated.exe", "hidden");
  ASSERT_TRUE(ProcCPUFrm.AddProcess("rated", path, true));
  ProcCPUFrm.CurrentProcLV.SetSelected(0, true);
  ProcCPUFrm.CurrentProcLV_ItemClick(0);
  EXPECT_EQ(ProcCPUFrm.CurrProcName.Text(), "Program: rated");
  EXPECT_EQ(ProcCPUFrm.OverallRatingLbl.Text(), "45%");
  EXPECT_EQ(ProcCPUFrm.RatingPicture, 6);
  EXPECT_EQ(ProcCPUFrm.RatingTextLbl.Text(), "Doesn't seem harmful");
  EXPECT_TRUE(IsWindowEnabled(ProcCPUFrm.RemoveBtn.hwnd()));
  ProcCPUFrm.CurrentProcLV.SetSelected(0, false);
  EXPECT_FALSE(IsWindowEnabled(ProcCPUFrm.RemoveBtn.hwnd()));

  // Double click: the details window for the program, on its risk page.
  ProcCPUFrm.CurrentProcLV.SetSelected(0, true);
  ProcCPUFrm.CurrentProcLV_DblClick();
  EXPECT_EQ(DetailsFrm.CurrentPath, path);
  EXPECT_TRUE(DetailsFrm.asxToolbar1.Value("riskmon"));
  DetailsFrm.Hide();
}

TEST_F(ProcCPUFrmTest, AStartMarkThatCannotBeWrittenAddsNothing) {
  const std::string path = folder_.PathOf("nolog.exe");
  const std::string log = ProcMonCls::LogPathOf(path);
  DeleteFileA(log.c_str());
  ASSERT_TRUE(CreateDirectoryA(log.c_str(), nullptr));  // a folder where the log would go
  EXPECT_FALSE(ProcCPUFrm.AddProcess("nolog", path, true));
  RemoveDirectoryA(log.c_str());
  ASSERT_FALSE(messages_.empty());
  EXPECT_EQ(messages_.back(), "The log file " + log + " can't be written, so the program can't be monitored.");
  EXPECT_EQ(styles_.back() & MB_ICONMASK, static_cast<UINT>(MB_ICONSTOP));
  EXPECT_EQ(ProcCPUFrm.CurrentProcLV.ItemCount(), 0);
  EXPECT_EQ(MonitoredProgCount, 0);
  EXPECT_FALSE(Listed(path));
}

TEST_F(ProcCPUFrmTest, AnInactiveProgramIsAddedFromTheDialogAndACancelAddsNothing) {
  const std::string path = folder_.PathOf("two.exe");
  CopyFileA(testsupport::FixturePath().c_str(), path.c_str(), FALSE);
  folder_.Keep(path);
  ProcCPUFrm.ChooseProgram = [] { return std::string(); };
  ProcCPUFrm.AddInActiveBtn_Click();
  EXPECT_EQ(ProcCPUFrm.CurrentProcLV.ItemCount(), 0);
  ProcCPUFrm.ChooseProgram = [&] { return path; };
  ProcCPUFrm.AddInActiveBtn_Click();
  ASSERT_EQ(ProcCPUFrm.CurrentProcLV.ItemCount(), 1);
  EXPECT_TRUE(Listed(path));
  EXPECT_EQ(ProcCPUFrm.CurrentProcLV.CellForeColor(0, 0), 255u) << "not running: red";
}

}  // namespace
