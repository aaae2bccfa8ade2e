// The real program, as a copy in a folder of its own with our dial-up library: the
// test switches the line while it runs.
#include <windows.h>
#include <tlhelp32.h>

#include <fstream>

#include "LoopTestSupport.h"
#include "ModConInfo.h"
#include "ModStartupPlatform.h"
#include "Registry.h"
#include "UiWait.h"
#include "VbRules.h"

namespace {

// The process whose program file is `path` (any case); 0 for none.
DWORD ProcessOf(const std::string& path) {
  DWORD found = 0;
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32 pe = {};
  pe.dwSize = sizeof pe;
  for (BOOL ok = Process32First(snap, &pe); ok && !found; ok = Process32Next(snap, &pe)) {
    HANDLE mods = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pe.th32ProcessID);
    MODULEENTRY32 me = {};
    me.dwSize = sizeof me;
    if (mods != INVALID_HANDLE_VALUE && Module32First(mods, &me) && _stricmp(me.szExePath, path.c_str()) == 0)
      found = pe.th32ProcessID;
    if (mods != INVALID_HANDLE_VALUE) CloseHandle(mods);
  }
  CloseHandle(snap);
  return found;
}

// The process ids of every running "QuillonPro.exe", after waiting up to ten seconds
// for copies that are ending.
std::string RunningCopies() {
  std::string found;
  for (int i = 0; i < 50; ++i, Sleep(200)) {
    found.clear();
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 pe = {};
    pe.dwSize = sizeof pe;
    for (BOOL ok = Process32First(snap, &pe); ok; ok = Process32Next(snap, &pe))
      if (_stricmp(pe.szExeFile, "QuillonPro.exe") == 0) found += std::to_string(pe.th32ProcessID) + " ";
    CloseHandle(snap);
    if (found.empty()) break;
  }
  return found;
}

// Rewrites the line's scenario; the program may be reading it at that moment.
void PlayLine(const std::string& path, const std::string& lines) {
  for (int i = 0; i < 100; ++i, Sleep(20)) {
    std::ofstream out(path, std::ios::trunc);
    if (out << lines) return;
  }
  ADD_FAILURE() << "the scenario could not be written";
}

using ProgramTest = looptest::LoopTest;

TEST_F(ProgramTest, TheProgramStartsTheEnabledProgramOnConnectAndStoresTheCallAtTheEnd) {
  const std::string here = testsupport::BinDir();
  const std::string built = here.substr(0, here.rfind('\\'));
  const std::string folder = here + "\\program";
  CreateDirectoryA(folder.c_str(), nullptr);
  for (const char* file : {"QuillonPro.exe", "Pop.dat", "RiskDescriptions.dat", "prog.ini", "Moskin.dll",
                           "Brackel.dll", "systemfiles.dat", "left.bmp", "main.bmp", "right.bmp", "popbanner.bmp"})
    CopyFileA((built + "\\" + file).c_str(), (folder + "\\" + file).c_str(), FALSE);
  ASSERT_TRUE(CopyFileA((here + "\\rasapi32.dll").c_str(), (folder + "\\rasapi32.dll").c_str(), FALSE));
  const std::string mail = folder + "\\mail-fixture.exe";
  ASSERT_TRUE(CopyFileA((here + "\\fixture.exe").c_str(), mail.c_str(), FALSE));

  const std::string scenario = folder + "\\line.txt";
  PlayLine(scenario, "");
  SetEnvironmentVariableA("QP_FAKERAS", scenario.c_str());
  // A store another test left behind may hold values the program refuses, and its
  // message would hold the program at its start; the program is known from an earlier
  // run, so it asks no first-run question either.
  testsupport::DeleteTree(HKEY_CURRENT_USER, "Software\\Quillon Pro");
  testsupport::SetRegText(HKEY_LOCAL_MACHINE, AppPathsKey("QuillonPro.exe"), "", folder + "\\QuillonPro.exe");
  looptest::SetOption("Options", "SplashAtStartUp", "0");
  looptest::SetOption("Options", "LANCon", "0");
  // The program is ended the hard way at the end, and Wine's explorer then keeps its
  // docked bar's band: no bar, so later tests have the whole screen.
  looptest::SetOption("General", "Toolbar", "False");
  looptest::SetOption("Internet", "IntProgCount", "2");
  looptest::SetOption("Internet", "IntProg1", vb::LCase(mail) + ";1");
  looptest::SetOption("Internet", "IntProg2", vb::LCase(folder) + "\\off.exe;2");

  // A copy still running from an earlier test would turn this one away at its start.
  const std::string others = RunningCopies();
  ASSERT_EQ(others, "") << "another copy of the program runs";

  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  const std::string exe = folder + "\\QuillonPro.exe";
  std::string cmd = "\"" + exe + "\"";
  HANDLE lineRead = CreateEventA(nullptr, FALSE, FALSE, "QuillonFakeRasRead");
  ASSERT_TRUE(CreateProcessA(exe.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &pi));
  // Started, and has seen the line down: a read, and the next one, so the pass that
  // made the first has ended.
  EXPECT_EQ(WaitForSingleObject(lineRead, 20000), WAIT_OBJECT_0) << "the line was never read";
  EXPECT_EQ(WaitForSingleObject(lineRead, 20000), WAIT_OBJECT_0) << "the line was read only once";
  CloseHandle(lineRead);
  EXPECT_EQ(ProcessOf(mail), 0u);
  PlayLine(scenario, "conn 0x2000\n");
  EXPECT_TRUE(testsupport::PumpUntil([&] { return ProcessOf(mail) != 0; }, 20000))
      << "started on connect; the program shows:\n" << testsupport::ShownWindowsOf(pi.dwProcessId);
  PlayLine(scenario, "");
  EXPECT_TRUE(testsupport::PumpUntil(
      [] { return looptest::Option("Internet", "LastCon.flag") == "1"; }, 20000))
      << "the end of the call was stored";
  EXPECT_NE(looptest::Option("Internet", "LastCon.From"), "");
  // The totals are stored just after the call's record.
  EXPECT_TRUE(testsupport::PumpUntil(
      [] { return looptest::Option("Internet", "GeneralConInfo.ConnectTimes") == "1"; }, 5000))
      << looptest::Option("Internet", "GeneralConInfo.ConnectTimes");

  EXPECT_TRUE(testsupport::AnswersWithin(pi.dwProcessId, 1000)) << "at the end of the call";
  testsupport::EndProcessById(ProcessOf(mail));
  testsupport::EndProcess(pi, 10000);
  SetEnvironmentVariableA("QP_FAKERAS", nullptr);
  testsupport::DeleteTree(HKEY_LOCAL_MACHINE, AppPathsKey("QuillonPro.exe"));
}

}  // namespace
