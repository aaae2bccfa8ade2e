// The process walker against real fixture processes under Wine (the NT road).
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <fstream>

#include "DetailsFrm.h"
#include "ModConInfo.h"
#include "Mainfrm.h"
#include "ModMain.h"
#include "ModProcMon.h"
#include "ModProgInfo.h"
#include "ModSettings.h"
#include "ModStartup.h"
#include "ModWndOpr.h"
#include "ProcsTestSupport.h"
#include "SysInfoLink.h"
#include "UiWait.h"
#include "VbRules.h"

namespace {

using namespace procstest;

std::string HandleText(HWND h) { return std::to_string(reinterpret_cast<uintptr_t>(h)); }
bool Cached(DWORD pid) { return std::find(ProcIdList.begin(), ProcIdList.end(), pid) != ProcIdList.end(); }

TEST_F(WalkerTest, ThreeInstancesMakeOneRowWithTheirCountAndSummedMemory) {
  testsupport::Fixture* f[3] = {&Start("three.exe"), &Start("three.exe"), &Start("three.exe")};
  ForceRebuild();
  int row = FindRow(PathOf("three.exe"));
  ASSERT_GE(row, 0);
  EXPECT_EQ(ProgTable[row][0], vb::UCase(PathOf("three.exe")));  // the NT road upper-cases
  EXPECT_EQ(ProgTable[row][5], "3");
  EXPECT_EQ(ProgTable[row][7], "Normal");
  for (auto* fixture : f) EXPECT_TRUE(Cached(fixture->pid()));
  EXPECT_EQ(ProcListLast, static_cast<int16_t>(ProcIdList.size() - 1));

  // The program never lists itself.
  EXPECT_EQ(FindRow(OwnExePath()), -1);
  EXPECT_FALSE(Cached(GetCurrentProcessId()));
  for (const std::string& p : ProcPathList) EXPECT_NE(vb::LCase(p), vb::LCase(OwnExePath()));

  long long sum[3] = {0, 0, 0};
  for (auto* fixture : f) {
    int32_t figures[3];
    if (!TakeProcMem(fixture->pid(), figures)) GTEST_SKIP() << "the performance library is not registered";
    for (int c = 0; c < 3; ++c) sum[c] += figures[c];
  }
  for (int c = 0; c < 3; ++c) EXPECT_EQ(ProgTable[row][2 + c], std::to_string(sum[c])) << "column " << 2 + c;
}

TEST_F(WalkerTest, ForcedRebuildsAreThrottledAndTheAutomaticOneRunsOnlyOnChange) {
  Start("throttle.exe");
  ForceRebuild();
  std::vector<ProgRow> before = ProgTable;

  Advance(500);
  EXPECT_TRUE(DoProcessListOp(2, "").IsFalse());  // within a second of the last forced one
  EXPECT_EQ(ProgTable, before);

  // 1500 ms after the forced rebuild an automatic one passes, and a marked list is rebuilt.
  Advance(1000);
  SaveSetting("Quillon", "tmp", "ProcChanged", "1");
  EXPECT_TRUE(DoProcessListOp(2, "True").IsTrue());
  EXPECT_EQ(GetSetting("Quillon", "tmp", "ProcChanged"), "0");
  int row = FindRow(PathOf("throttle.exe"));
  ASSERT_GE(row, 0);
  // The quick walk neither opens processes nor reads their memory or priority.
  EXPECT_EQ(ProgTable[row][2], "");
  EXPECT_EQ(ProgTable[row][7], "");
  EXPECT_EQ(ProgTable[row][5], "1");

  // Unmarked and with the same processes running, the automatic call keeps the table.
  before = ProgTable;
  Advance(100);
  EXPECT_TRUE(DoProcessListOp(2, "True").IsEmpty());
  EXPECT_EQ(ProgTable, before);

  // A program started since is seen without any mark.
  Start("latecomer.exe");
  Advance(100);
  EXPECT_TRUE(DoProcessListOp(2, "True").IsTrue());
  EXPECT_GE(FindRow(PathOf("latecomer.exe")), 0);
  // An automatic call never moves the stamp: a forced one is still refused and allowed by it.
  EXPECT_TRUE(DoProcessListOp(2, "").IsTrue());
  Advance(10);
  EXPECT_TRUE(DoProcessListOp(2, "").IsFalse());
}

TEST_F(WalkerTest, EndingByNameMatchesWholeNamesOnly) {
  testsupport::Fixture& notepad = Start("notepad.exe");
  testsupport::Fixture& pad = Start("pad.exe");
  ForceRebuild();
  EXPECT_TRUE(DoProcessListOp(1, "").IsFalse());  // an empty name ends nothing
  EXPECT_FALSE(Ended(notepad.process(), 300));
  EXPECT_FALSE(Ended(pad.process(), 0));

  EXPECT_TRUE(DoProcessListOp(1, "pad.exe").IsFalse());
  EXPECT_TRUE(Ended(pad.process()));
  EXPECT_FALSE(Ended(notepad.process(), 300));

  EXPECT_TRUE(DoProcessListOp(1, "NOTEPAD.EXE").IsFalse());  // any case
  EXPECT_TRUE(Ended(notepad.process()));
}

TEST_F(WalkerTest, EndingOneProcessAndSettingPriorities) {
  testsupport::Fixture& a = Start("prio.exe");
  testsupport::Fixture& b = Start("prio.exe");
  ForceRebuild();
  const std::string path = PathOf("prio.exe");

  EXPECT_TRUE(DoProcessListOp(9, path + "2").IsFalse());
  EXPECT_EQ(GetPriorityClass(a.process()), static_cast<DWORD>(HIGH_PRIORITY_CLASS));
  EXPECT_EQ(GetPriorityClass(b.process()), static_cast<DWORD>(HIGH_PRIORITY_CLASS));
  EXPECT_EQ(DoProcessListOp(10, path).Text(), "High");

  DoProcessListOp(9, vb::LCase(path) + "0");
  EXPECT_EQ(GetPriorityClass(a.process()), static_cast<DWORD>(IDLE_PRIORITY_CLASS));
  EXPECT_EQ(DoProcessListOp(10, vb::LCase(path)).Text(), "Idle");
  DoProcessListOp(9, path + "7");  // no such class: nothing changes
  EXPECT_EQ(GetPriorityClass(b.process()), static_cast<DWORD>(IDLE_PRIORITY_CLASS));

  EXPECT_TRUE(DoProcessListOp(5, std::to_string(a.pid())).IsTrue());
  EXPECT_TRUE(Ended(a.process()));
  EXPECT_FALSE(Ended(b.process(), 300));
  EXPECT_TRUE(DoProcessListOp(5, "4000000000").IsFalse());
}

TEST_F(WalkerTest, CacheQuestionsAboutWindowsIdsAndCounts) {
  testsupport::Fixture& own = Start("owner.exe", "plain");
  Start("owner.exe");
  ForceRebuild();
  const std::string path = PathOf("owner.exe");

  ProcResultPath = "stale";
  EXPECT_TRUE(DoProcessListOp(4, HandleText(own.hwnd())).IsTrue());
  EXPECT_EQ(ProcResultPath, vb::LCase(vb::UCase(path)));

  // A window whose owner started after the rebuild is not in the cache.
  testsupport::Fixture& late = Start("late.exe", "plain");
  EXPECT_TRUE(DoProcessListOp(4, HandleText(late.hwnd())).IsFalse());
  EXPECT_EQ(ProcResultPath, "");
  EXPECT_TRUE(DoProcessListOp(4, "0").IsEmpty());  // no window, no owner

  EXPECT_TRUE(DoProcessListOp(8, std::to_string(own.pid())).IsTrue());
  EXPECT_EQ(ProcResultPath, vb::UCase(path));
  EXPECT_EQ(DoProcessListOp(7, vb::LCase(path)), vb::Variant::Num(2));
  EXPECT_EQ(DoProcessListOp(7, PathOf("late.exe")), vb::Variant::Num(0));

  // Mode 0 walks live, so it sees the late program too.
  EXPECT_TRUE(DoProcessListOp(0, PathOf("late.exe")).IsTrue());
  EXPECT_TRUE(DoProcessListOp(0, PathOf("absent.exe")).IsFalse());

  EXPECT_EQ(DoProcessListOp(6, vb::UCase(path)), vb::Variant::Str(std::to_string(GetRiskRating(vb::UCase(path)))));
  EXPECT_EQ(DoProcessListOp(6, vb::LCase(path)), vb::Variant::Str(""));  // exact case only
  EXPECT_TRUE(DoProcessListOp(11, path).IsFalse());
}

TEST_F(WalkerTest, InstancesForTheDetailsWindow) {
  testsupport::Fixture& a = Start("details.exe");
  testsupport::Fixture& b = Start("details.exe");
  const std::string path = PathOf("details.exe");

  EXPECT_TRUE(DoProcessListOp(3, vb::LCase(path)).IsTrue());
  std::vector<DWORD> ids = DetailsProcIdList;
  std::sort(ids.begin(), ids.end());
  std::vector<DWORD> want = {a.pid(), b.pid()};
  std::sort(want.begin(), want.end());
  EXPECT_EQ(ids, want);
  EXPECT_EQ(DetailsProcListLast, 1);
  EXPECT_EQ(DetailsProcPathList[0], vb::UCase(path));

  // While the window refreshes, rows go to its list, with the ports netstat lists
  // for the process (a fixture plays netstat from the program folder).
  const std::string netstat = testsupport::BinDir() + "\\netstat.exe";
  const std::string listing = testsupport::BinDir() + "\\procs_details_netstat.txt";
  ASSERT_TRUE(CopyExe(netstat));
  std::ofstream(listing, std::ios::binary)
      << "\r\nActive Connections\r\n\r\n  Proto  Local Address  Foreign Address  State  PID\r\n"
      << "  TCP    127.0.0.1:5555  192.0.2.1:80  ESTABLISHED  " << a.pid() << "\r\n";
  SetEnvironmentVariableA("QP_NETSTAT_FILE", listing.c_str());
  DetailsFrm.Processes.ProcLst.Clear();
  DetailsRefreshing = true;
  EXPECT_TRUE(DoProcessListOp(3, path).IsTrue());
  DetailsRefreshing = false;
  SetEnvironmentVariableA("QP_NETSTAT_FILE", nullptr);
  testsupport::PumpUntil([&] { return DeleteFileA(netstat.c_str()) != FALSE; });
  DeleteFileA(listing.c_str());

  EXPECT_TRUE(DetailsProcIdList.empty());
  ASSERT_EQ(DetailsFrm.Processes.ProcLst.ItemCount(), 2);
  int rowA = DetailsFrm.Processes.ProcLst.FindItem(std::to_string(a.pid()));
  int rowB = DetailsFrm.Processes.ProcLst.FindItem(std::to_string(b.pid()));
  ASSERT_GE(rowA, 0);
  ASSERT_GE(rowB, 0);
  EXPECT_EQ(DetailsFrm.Processes.ProcLst.SubItem(rowA, 1), "Normal");
  EXPECT_GT(vb::Val(DetailsFrm.Processes.ProcLst.SubItem(rowA, 2)), 0);  // committed KB
  EXPECT_EQ(DetailsFrm.Processes.ProcLst.SubItem(rowA, 5), "5555");
  EXPECT_EQ(DetailsFrm.Processes.ProcLst.SubItem(rowA, 6), "127.0.0.1");
  EXPECT_EQ(DetailsFrm.Processes.ProcLst.SubItem(rowA, 7), "80");
  EXPECT_EQ(DetailsFrm.Processes.ProcLst.SubItem(rowA, 8), "192.0.2.1");
  EXPECT_EQ(DetailsFrm.Processes.ProcLst.SubItem(rowB, 5), "");
}

// On 64-bit Windows the 32-bit program can open a 64-bit process but not read its
// modules (the calls fail across the boundary): such a process is left out as one
// that cannot be opened, never listed under a wrong path. Here a process held in its
// start plays it: it opens, and its module list cannot be read either.
TEST_F(WalkerTest, AProcessWhoseModulesCannotBeReadIsLeftOutAsOneThatCannotBeOpened) {
  Start("readable.exe");
  const std::string path = PathOf("unreadable.exe");
  ASSERT_TRUE(CopyExe(path));
  folder_->Keep(path);
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION held = {};
  std::string command = "\"" + path + "\" hidden";
  ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr, &si,
                             &held));
  const std::string id = std::to_string(held.dwProcessId);

  ForceRebuild();
  EXPECT_GE(FindRow(PathOf("readable.exe")), 0);
  EXPECT_EQ(FindRow(path), -1);
  EXPECT_FALSE(Cached(held.dwProcessId));
  for (const ProgRow& row : ProgTable) EXPECT_FALSE(row[0].empty());
  // Asked about directly, it is not there either.
  EXPECT_TRUE(DoProcessListOp(0, path).IsFalse());
  EXPECT_TRUE(DoProcessListOp(8, id).IsFalse());
  EXPECT_EQ(ProcResultPath, "");
  EXPECT_TRUE(DoProcessListOp(3, "").IsTrue());
  EXPECT_EQ(std::count(DetailsProcIdList.begin(), DetailsProcIdList.end(), held.dwProcessId), 0);
  EXPECT_FALSE(IsProgramRunning(path));

  TerminateProcess(held.hProcess, 0);
  EXPECT_TRUE(Ended(held.hProcess));
  CloseHandle(held.hThread);
  CloseHandle(held.hProcess);
}

TEST_F(WalkerTest, TheToolhelpRoadOf9x) {
  testsupport::Fixture& f = Start("nine.exe");
  IsWinNTFlag = false;
  ForceRebuild();
  int row = FindRow(PathOf("nine.exe"));
  ASSERT_GE(row, 0);
  // Toolhelp names only the file here; the module snapshot gives the full path.
  EXPECT_EQ(ProgTable[row][0], vb::LCase(PathOf("nine.exe")));
  EXPECT_EQ(ProgTable[row][7], "Normal");
  UpdateProcessCpu();  // no CPU column on this family
  EXPECT_EQ(ProgTable[row][6], "");
  // Nothing marks the list on 9x: every automatic call past the throttle rebuilds.
  Advance(1000);
  EXPECT_TRUE(DoProcessListOp(2, "True").IsTrue());
  EXPECT_TRUE(DoProcessListOp(8, std::to_string(f.pid())).IsTrue());
  EXPECT_EQ(ProcResultPath, vb::LCase(PathOf("nine.exe")));

  DetailsFrm.Processes.ProcLst.Clear();
  DetailsRefreshing = true;
  EXPECT_TRUE(DoProcessListOp(3, PathOf("nine.exe")).IsTrue());
  DetailsRefreshing = false;
  ASSERT_EQ(DetailsFrm.Processes.ProcLst.ItemCount(), 1);
  EXPECT_EQ(DetailsFrm.Processes.ProcLst.ItemText(0), std::to_string(f.pid()));
  EXPECT_GE(vb::Val(DetailsFrm.Processes.ProcLst.SubItem(0, 1)), 1);  // threads
  EXPECT_EQ(DetailsFrm.Processes.ProcLst.SubItem(0, 2), "Normal");
  EXPECT_GT(vb::Val(DetailsFrm.Processes.ProcLst.SubItem(0, 3)), 0);  // committed KB
}

TEST_F(WalkerTest, NativePrefixesOfModulePaths) {
  struct Case {
    std::string in, out;
  } cases[] = {
      {"\\??\\C:\\Tools\\a.exe", "C:\\TOOLS\\A.EXE"},
      {"\\SystemRoot\\System32\\smss.exe", GetWinDir() + "\\SYSTEM32\\SMSS.EXE"},
      {"\\??\\\\SystemRoot\\x.exe", GetWinDir() + "\\X.EXE"},  // both rules, in that order
      {"c:\\a\\b.exe", "C:\\A\\B.EXE"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(NormaliseImagePath(c.in), c.out) << c.in;
}

TEST_F(WalkerTest, SystemFilesAndSpecialProgramsAreLeftOutOfTheTable) {
  const std::string sysCopy = GetSysDir() + "\\wscntfy.exe";  // listed, and absent from Wine
  ASSERT_TRUE(CopyExe(sysCopy));
  folder_->Keep(sysCopy);
  testsupport::FixtureOptions options;
  options.mode = "hidden";
  options.exePath = sysCopy;
  testsupport::Fixture sys(options);
  ASSERT_TRUE(sys.Started());
  Start("special.exe");

  HideSysProc = 1;
  ForceRebuild();
  EXPECT_EQ(FindRow(sysCopy), -1);
  EXPECT_TRUE(Cached(sys.pid()));  // still in the cache the other modes use
  HideSysProc = 0;
  ForceRebuild();
  EXPECT_GE(FindRow(sysCopy), 0);

  SProgCount = 1;
  for (const char* action : {"0", "1", "2"}) {
    SaveSetting(ProgramTitle, "Options", "SProg1", vb::LCase(PathOf("special.exe")) + "," + action + ";1");
    ForceRebuild();
    EXPECT_EQ(FindRow(PathOf("special.exe")) >= 0, std::string(action) == "2") << action;
  }
  SProgCount = 0;
  DeleteSetting(ProgramTitle, "Options", "SProg1");
  sys.End();
}

TEST_F(WalkerTest, CpuColumnFromTheMeasuringLibrary) {
  Start("busy.exe", "busy");
  Start("idle.exe");
  ForceRebuild();  // the library's first call only sets its baseline
  Sleep(700);  // the library measures processor time over real time
  UpdateProcessCpu();
  int busy = FindRow(PathOf("busy.exe")), idle = FindRow(PathOf("idle.exe"));
  ASSERT_GE(busy, 0);
  ASSERT_GE(idle, 0);
  EXPECT_GT(vb::CDbl(ProgTable[busy][6]).value_or(0), 1.0) << ProgTable[busy][6];
  // A window that waits for messages still wakes now and then under Wine (a tenth of a
  // percent was seen on a loaded machine): idle means far below the busy one.
  const std::string idleFigure = ProgTable[idle][6];
  EXPECT_LT(vb::CDbl(idleFigure).value_or(100), 1.0) << idleFigure;
  EXPECT_EQ(GetSetting(ProgramTitle, "tmpcpu", "1", "<none>"), "<none>");  // names handed back

  // A second call in the same pass keeps the figures instead of measuring a few
  // milliseconds.
  const std::string figure = ProgTable[busy][6];
  UpdateProcessCpu();
  EXPECT_EQ(ProgTable[busy][6], figure);
  EXPECT_EQ(ProgTable[idle][6], idleFigure);
  Sleep(550);  // past the reuse, which the code times off the tick count itself

  // Without the library every figure stays "0" and nothing else changes.
  MoskinLibraryName = "NoSuchMoskin.dll";
  ProgTable[busy][6] = "55";
  UpdateProcessCpu();
  MoskinLibraryName = "Moskin.dll";
  for (int i = 0; i <= ProgTableLast; ++i) EXPECT_EQ(ProgTable[i][6], "0");
  EXPECT_EQ(ProgTable[busy][5], "1");
}

TEST_F(WalkerTest, ProgramsWithVisibleWindowsAndProgramsInTheTable) {
  testsupport::Fixture& shown = Start("shown.exe", "plain");
  testsupport::Fixture& hidden = Start("hidden.exe", "hidden");
  ForceRebuild();
  WndTable = {shown.hwnd(), hidden.hwnd()};
  WndTableLast = 1;
  EXPECT_TRUE(ProgramHasVisibleWindow(vb::LCase(PathOf("shown.exe"))));
  EXPECT_FALSE(ProgramHasVisibleWindow(PathOf("hidden.exe")));
  WndTable.clear();
  WndTableLast = -1;
  EXPECT_FALSE(ProgramHasVisibleWindow(PathOf("shown.exe")));

  EXPECT_TRUE(IsProgramInTable(vb::LCase(PathOf("hidden.exe"))));
  EXPECT_FALSE(IsProgramInTable(PathOf("nothere.exe")));
}

}  // namespace
