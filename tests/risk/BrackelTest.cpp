// The program monitor's hook library against real processes: "risky" fixtures make
// every hooked call on request, and their logs are read back through ProcMonCls.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <set>

#include "Fixture.h"
#include "ModMainPlatform.h"
#include "ModProcMon.h"
#include "ModProgInfo.h"
#include "ModSettings.h"
#include "ModStartupPlatform.h"
#include "ProcMonCls.h"
#include "ProgramState.h"
#include "Seams.h"
#include "UiWait.h"

namespace {

using testsupport::Fixture;
using testsupport::FixtureFolder;

struct Line {
  int16_t code;
  std::string time, rest;
};

std::vector<Line> ReadLines(const std::string& program) {
  ProcMonCls reader;
  reader.OpenLogFile(program);
  std::vector<Line> lines;
  Line line{0, "", ""};
  while (reader.GetNextLine(line.code, line.time, line.rest)) lines.push_back(line);
  reader.CloseLogFile();
  return lines;
}

// One round of the fixture's calls: (unexpected failures, last error of the failing delete).
std::pair<int, int> Round(HWND fixture, WPARAM rounds = 1) {
  DWORD_PTR answer = 0xFFFFFFFF;
  EXPECT_TRUE(SendMessageTimeoutA(fixture, WM_APP + 1, rounds, 0, SMTO_BLOCK, 20000, &answer));
  return {static_cast<int>(answer >> 16), static_cast<int>(answer & 0xFFFF)};
}
std::pair<int, int> Round(const Fixture& fixture, WPARAM rounds = 1) { return Round(fixture.hwnd(), rounds); }

DWORD WINAPI LoopRounds(void* fixture) {
  Round(*static_cast<const Fixture*>(fixture), 15);
  return 0;
}

std::set<int16_t> Codes(const std::vector<Line>& lines, size_t from = 0) {
  std::set<int16_t> codes;
  for (size_t i = from; i < lines.size(); ++i) codes.insert(lines[i].code);
  return codes;
}

class BrackelTest : public testing::Test {
 protected:
  void SetUp() override {
    ResetProgramState();
    seams::MessageBoxFn = [](HWND, const std::string&, const std::string&, UINT) { return IDNO; };
    BrackelLibraryName = "Brackel.dll";
    IsWinNTFlag = true;
    InitRiskMonitor();  // the section, its "path", the folder and the service
  }
  void TearDown() override {
    BrackelInstallHook(0, nullptr);
    for (const std::string& program : programs_) {
      DeleteFileA(ProcMonCls::LogPathOf(program).c_str());
      DeleteFileA((program + ".risky").c_str());
    }
    DeleteSection(ProgramTitle, "tmpcpu");
    IsWinNTFlag = false;
    seams::Reset();
  }
  // Listed for the watch and given a start mark, as the page does.
  void Monitor(const std::string& program) {
    programs_.push_back(program);
    DeleteFileA(ProcMonCls::LogPathOf(program).c_str());
    ProcMonCls log;
    ASSERT_TRUE(log.WriteStartToLogFile(program));
    SaveSetting(ProgramTitle, "tmpcpu", program, "1");
  }
  void StopMonitoring(const std::string& program, DWORD pid) {
    DeleteSetting(ProgramTitle, "tmpcpu", program);
    BrackelEjectHook(pid);
    ProcMonCls log;
    ASSERT_TRUE(log.WriteStopToLogFile(program));
  }
  FixtureFolder folder_{"brackel"};
  std::vector<std::string> programs_;
};

TEST_F(BrackelTest, AHookedProcessLogsEveryCallAndItsCallsStillWork) {
  Fixture& fixture = folder_.Start("risky.exe", "risky");
  const std::string program = folder_.PathOf("risky.exe");
  std::pair<int, int> unhooked = Round(fixture);
  EXPECT_EQ(unhooked.first, 0);
  Monitor(program);
  BrackelRefHook(fixture.pid());
  std::pair<int, int> hooked = Round(fixture);
  EXPECT_EQ(hooked.first, 0) << "a hooked call failed";
  EXPECT_EQ(hooked.second, unhooked.second);
  EXPECT_EQ(hooked.second, ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(MonitoredProgramUnhooked(program));

  std::vector<Line> lines = ReadLines(program);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0].code, 101);
  std::set<int16_t> codes = Codes(lines, 1);
  for (int16_t code : {201, 202, 203, 301, 302, 303, 401, 402, 501, 502, 503, 601, 602})
    EXPECT_TRUE(codes.count(code)) << "no line of code " << code;
  auto restOf = [&](int16_t code) {
    std::string all;
    for (const Line& line : lines)
      if (line.code == code) all += line.rest + "|";
    return all;
  };
  EXPECT_NE(restOf(201).find("risky.exe.risky"), std::string::npos) << restOf(201);
  EXPECT_NE(restOf(202).find("risky.exe.risky.missing"), std::string::npos) << restOf(202);
  EXPECT_NE(restOf(301).find("RiskyValue"), std::string::npos) << restOf(301);
  EXPECT_NE(restOf(303).find("Quillon Fixture"), std::string::npos) << restOf(303);
  EXPECT_NE(restOf(401).find("127.0.0.1:"), std::string::npos) << restOf(401);
  EXPECT_NE(restOf(501).find("quit"), std::string::npos) << restOf(501);
  for (const Line& line : lines) EXPECT_EQ(line.time.size(), 8u) << line.rest;

  // Let go: the stop mark is the last line however long the fixture goes on.
  StopMonitoring(program, fixture.pid());
  size_t stopped = ReadLines(program).size();
  EXPECT_EQ(Round(fixture).first, 0);
  Sleep(300);  // a late line would come meanwhile: there is no sign of one not coming
  lines = ReadLines(program);
  EXPECT_EQ(lines.size(), stopped);
  EXPECT_EQ(lines.back().code, 102);
  EXPECT_EQ(WaitForSingleObject(fixture.process(), 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "the fixture ended";
}

TEST_F(BrackelTest, TheWatchHooksAListedProgramWhenItStarts) {
  const std::string program = folder_.PathOf("later.exe");
  Monitor(program);
  Fixture& fixture = folder_.Start("later.exe", "risky");
  DWORD started = GetTickCount();
  // Within half a second of its start, so a round a second later is recorded: the
  // watch's own timing is under test.
  Sleep(1000);
  Round(fixture);
  EXPECT_TRUE(Codes(ReadLines(program)).count(201)) << "no line " << GetTickCount() - started << " ms after start";
}

TEST_F(BrackelTest, AListingInOtherLetterCaseIsTheSameProgram) {
  const std::string program = folder_.PathOf("CaseProg.exe");
  Fixture& fixture = folder_.Start("CaseProg.exe", "risky");
  std::string upper = program;
  CharUpperBuffA(&upper[0], static_cast<DWORD>(upper.size()));
  Monitor(upper);
  Sleep(700);  // past the half second in which the watch hooks a listed program
  Round(fixture);
  EXPECT_TRUE(Codes(ReadLines(program)).count(201));
}

TEST_F(BrackelTest, InstancesAndASameNamedCopyShareOneLogOfWholeLinesAndALoopGivesALineASecond) {
  FixtureFolder other("brackel_other");
  Fixture& first = folder_.Start("twin.exe", "risky");
  Fixture& second = folder_.Start("twin.exe", "risky");
  Fixture& copy = other.Start("twin.exe", "risky");
  const std::string program = folder_.PathOf("twin.exe");
  Monitor(program);
  SaveSetting(ProgramTitle, "tmpcpu", other.PathOf("twin.exe"), "1");
  for (const Fixture* f : {&first, &second, &copy}) BrackelRefHook(f->pid());
  // Each fixture loops over its calls for about a second, at once.
  std::vector<HANDLE> threads;
  for (const Fixture* f : {&first, &second, &copy})
    threads.push_back(CreateThread(nullptr, 0, LoopRounds, const_cast<Fixture*>(f), 0, nullptr));
  WaitForMultipleObjects(static_cast<DWORD>(threads.size()), threads.data(), TRUE, 60000);
  for (HANDLE t : threads) CloseHandle(t);
  std::vector<Line> lines = ReadLines(program);
  std::map<std::string, int> perSecondAndRest;
  for (size_t i = 1; i < lines.size(); ++i) {
    EXPECT_GE(lines[i].code, 201) << lines[i].rest;
    EXPECT_LE(lines[i].code, 699) << lines[i].rest;
    EXPECT_EQ(lines[i].time.size(), 8u);
    ++perSecondAndRest[lines[i].time + " " + std::to_string(lines[i].code) + " " + lines[i].rest];
  }
  // Three processes write the same line in the same second at most once each.
  for (const auto& item : perSecondAndRest) EXPECT_LE(item.second, 3) << item.first;
  EXPECT_LT(lines.size(), 3u * 15u * 10u) << "the loop was not folded";
  programs_.push_back(other.PathOf("twin.exe"));
}

TEST_F(BrackelTest, StoppingTheServiceAndEndingTheHookerStopTheLines) {
  Fixture& fixture = folder_.Start("stop.exe", "risky");
  const std::string program = folder_.PathOf("stop.exe");
  Monitor(program);
  BrackelRefHook(fixture.pid());
  Round(fixture);
  BrackelInstallHook(0, nullptr);
  size_t before = ReadLines(program).size();
  Sleep(1100);  // past the second, so a line would not be folded into an earlier one
  Round(fixture);
  EXPECT_EQ(ReadLines(program).size(), before) << "lines after the service stopped";
  // RefHook after the stop does nothing: the service is off.
  BrackelRefHook(fixture.pid());
  Sleep(1100);  // as above: lines are folded by the clock's second
  Round(fixture);
  EXPECT_EQ(ReadLines(program).size(), before);
}

TEST_F(BrackelTest, AHookedProcessStopsWritingOnceItsHookerHasEnded) {
  BrackelInstallHook(0, nullptr);  // only the probe hooks it
  Fixture& fixture = folder_.Start("orphan.exe", "risky");
  const std::string program = folder_.PathOf("orphan.exe");
  Monitor(program);
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION probe = {};
  std::string command = "brackel_probe.exe " + std::to_string(fixture.pid());
  ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr, &si,
                             &probe));
  HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, ("QuillonBrackelProbe-" + std::to_string(probe.dwProcessId)).c_str());
  ResumeThread(probe.hThread);
  EXPECT_EQ(WaitForSingleObject(ready, 10000), static_cast<DWORD>(WAIT_OBJECT_0));
  CloseHandle(ready);
  Round(fixture);
  EXPECT_TRUE(Codes(ReadLines(program)).count(201)) << "the probe did not hook the fixture";
  // Ended as by a crash: nothing tells the fixture.
  testsupport::EndProcess(probe);
  size_t before = ReadLines(program).size();
  Sleep(1100);  // past the second, so a line would not be folded into an earlier one
  EXPECT_EQ(Round(fixture).first, 0);
  EXPECT_EQ(ReadLines(program).size(), before);
}

TEST_F(BrackelTest, AProcessThatNeverRunsTheHookHoldsTheCallerAboutTwoSecondsAndItsOwnProcessNone) {
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION frozen = {};
  std::string command = "\"" + testsupport::FixturePath() + "\" hidden";
  ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr, &si,
                             &frozen));
  DWORD start = GetTickCount();
  BrackelRefHook(frozen.dwProcessId);
  DWORD first = GetTickCount() - start;
  start = GetTickCount();
  BrackelRefHook(frozen.dwProcessId);  // marked: not tried again
  DWORD second = GetTickCount() - start;
  TerminateProcess(frozen.hProcess, 0);
  CloseHandle(frozen.hThread);
  CloseHandle(frozen.hProcess);
  EXPECT_LT(first, 3000u);
  EXPECT_LT(second, 500u);
  // Its own process is never hooked.
  start = GetTickCount();
  BrackelRefHook(GetCurrentProcessId());
  EXPECT_LT(GetTickCount() - start, 500u);
}

bool WaitFor(const std::function<bool()>& done, DWORD ms) {
  for (DWORD start = GetTickCount(); GetTickCount() - start < ms; Sleep(50))
    if (done()) return true;
  return done();
}

// Starts, in the process, a thread that loads the library at `path`.
bool LoadRemotely(HANDLE process, const std::string& path) {
  void* name = VirtualAllocEx(process, nullptr, path.size() + 1, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  if (!name || !WriteProcessMemory(process, name, path.c_str(), path.size() + 1, nullptr)) return false;
  auto load = reinterpret_cast<LPTHREAD_START_ROUTINE>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "LoadLibraryA")));
  HANDLE thread = CreateRemoteThread(process, nullptr, 0, load, name, 0, nullptr);
  if (thread) CloseHandle(thread);
  return thread != nullptr;
}

TEST_F(BrackelTest, AProcessThatCouldNotBeHookedIsSaidSoAndTriedAgainOnTheNextPass) {
  Fixture& fixture = folder_.Start("busy.exe", "risky");
  const std::string program = folder_.PathOf("busy.exe");
  // Its loader is held: a thread started there waits, so no hook can load.
  HANDLE release = CreateEventA(nullptr, TRUE, FALSE, "QuillonReleaseLoader");
  HANDLE held = CreateEventA(nullptr, TRUE, FALSE, "QuillonLoaderHeld");
  ASSERT_TRUE(LoadRemotely(fixture.process(), testsupport::BinDir() + "\\hold_loader_lock.dll"));
  EXPECT_EQ(WaitForSingleObject(held, 10000), static_cast<DWORD>(WAIT_OBJECT_0)) << "the loader was never held";
  CloseHandle(held);
  Monitor(program);
  EXPECT_FALSE(MonitoredProgramUnhooked(program)) << "said before it was tried";
  BrackelRefHook(fixture.pid());
  EXPECT_TRUE(MonitoredProgramUnhooked(program));
  Sleep(1000);  // several passes of the watch, none of which may say it hooked
  EXPECT_TRUE(MonitoredProgramUnhooked(program)) << "said hooked while it still cannot be";

  // Now it answers: a later pass of the watch hooks it, and says so.
  SetEvent(release);
  CloseHandle(release);
  EXPECT_TRUE(WaitFor([&] { return !MonitoredProgramUnhooked(program); }, 8000)) << "never tried again";
  Round(fixture);
  EXPECT_TRUE(Codes(ReadLines(program)).count(201)) << "the process was not hooked once it answered";
}

TEST_F(BrackelTest, AProgramTakenOffTheListIsNeverHookedAgainAfterItsStopMark) {
  // Many listed programs after it make each pass read the list for a while, so a
  // removal often falls between the pass's read and its hooking.
  for (int i = 0; i < 3000; ++i) SaveSetting(ProgramTitle, "tmpcpu", "Z:\\filler\\" + std::to_string(i) + ".exe", "1");
  Fixture& fixture = folder_.Start("offlist.exe", "risky");
  const std::string program = folder_.PathOf("offlist.exe");
  for (int round = 0; round < 8 && !HasFailure(); ++round) {
    Monitor(program);
    BrackelRefHook(fixture.pid());
    Sleep(static_cast<DWORD>(37 * round % 200));  // the stop falls at a varied point of a pass
    StopMonitoring(program, fixture.pid());
    Sleep(300);  // a pass still under way would hook it again meanwhile
    Round(fixture);
    std::vector<Line> lines = ReadLines(program);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back().code, 102) << "a line after the stop mark in round " << round << ": " << lines.back().rest;
  }
}

TEST_F(BrackelTest, WhileNothingIsListedEndedProcessesAreLetGo) {
  Fixture& fixture = folder_.Start("gone.exe", "risky");
  const std::string program = folder_.PathOf("gone.exe");
  const DWORD pid = fixture.pid();
  Monitor(program);
  BrackelRefHook(pid);
  StopMonitoring(program, pid);
  fixture.End();
  // An ended process stays open by its id while someone holds a handle of it.
  EXPECT_TRUE(WaitFor(
      [&] {
        HANDLE held = OpenProcess(SYNCHRONIZE, FALSE, pid);
        if (held) CloseHandle(held);
        return held == nullptr;
      },
      3000))
      << "the ended process is still held";
}

TEST_F(BrackelTest, WithoutBrackelOnlyTheMarksAreWritten) {
  BrackelInstallHook(0, nullptr);
  BrackelLibraryName = "NoSuchBrackel.dll";
  Fixture& fixture = folder_.Start("nobrackel.exe", "risky");
  const std::string program = folder_.PathOf("nobrackel.exe");
  Monitor(program);
  BrackelInstallHook(-1, nullptr);
  BrackelRefHook(fixture.pid());
  Round(fixture);
  // Running, listed and recorded by nothing: said so.
  DoProcessListOp(kProcRebuild, "True");
  EXPECT_TRUE(MonitoredProgramUnhooked(program));
  StopMonitoring(program, fixture.pid());
  EXPECT_EQ(Codes(ReadLines(program)), (std::set<int16_t>{101, 102}));
  BrackelLibraryName = "Brackel.dll";
}

}  // namespace

namespace {

TEST_F(BrackelTest, The9xRoadNeverStartsTheServiceSoRefHookDoesNothing) {
  BrackelInstallHook(0, nullptr);
  IsWinNTFlag = false;
  InitRiskMonitor();
  Fixture& fixture = folder_.Start("ninex.exe", "risky");
  const std::string program = folder_.PathOf("ninex.exe");
  Monitor(program);
  BrackelRefHook(fixture.pid());
  Sleep(600);  // nor does a watch pick it up
  Round(fixture);
  EXPECT_EQ(Codes(ReadLines(program)), (std::set<int16_t>{101}));
}

}  // namespace
