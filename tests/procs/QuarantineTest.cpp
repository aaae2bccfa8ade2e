// Ending a program and moving its file into quarantine, with real processes and files.
#include <gtest/gtest.h>
#include <windows.h>

#include "ModMain.h"
#include "ModProgInfo.h"
#include "ProcsTestSupport.h"
#include "QrtFrm.h"
#include "UiWait.h"

namespace {

using namespace procstest;

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

class QuarantineTest : public WalkerTest {};

TEST_F(QuarantineTest, ARunningProgramIsEndedAndItsFileRenamed) {
  testsupport::Fixture& a = Start("qrt.exe");
  testsupport::Fixture& b = Start("qrt.exe");
  const std::string path = PathOf("qrt.exe");
  int16_t result = TerminateAndQuarantine(vb::LCase(path));
  EXPECT_GE(result, 2);  // the first pass, and at least its first try
  EXPECT_FALSE(Exists(path));
  EXPECT_TRUE(Exists(path + "_XX"));
  // Every instance is ended, not only the first: renaming the file does not stop the others.
  EXPECT_TRUE(Ended(a.process(), 0));
  EXPECT_TRUE(Ended(b.process(), 0));
}

TEST_F(QuarantineTest, NothingQuarantinedIsAFailureEvenWhenCancelled) {
  const std::string path = PathOf("idle.exe");
  ASSERT_TRUE(CopyExe(path));
  folder_->Keep(path);
  EXPECT_EQ(TerminateAndQuarantine(path), 0);  // not running: five passes, nothing found
  CancelFlag = true;
  EXPECT_EQ(TerminateAndQuarantine(path), 0);
  EXPECT_FALSE(CancelFlag);  // the cancel is taken and cleared
  EXPECT_TRUE(Exists(path));
}

TEST_F(QuarantineTest, AFileThatCannotBeRenamedFailsAfterItsTries) {
  testsupport::Fixture& a = Start("blocked.exe");
  const std::string path = PathOf("blocked.exe");
  HANDLE blocker = CreateFileA((path + "_XX").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(blocker, INVALID_HANDLE_VALUE);
  CloseHandle(blocker);
  EXPECT_EQ(TerminateAndQuarantinePid(a.pid(), path), 0);
  EXPECT_TRUE(Ended(a.process()));  // ended all the same
  EXPECT_TRUE(Exists(path));
}

// Each pass ends the running instance and then fails to rename the file while a
// file of the quarantined name is in the way. The test keeps one instance running,
// starting the next whenever the last one has ended, and clears the way only once
// the fifth instance has been ended: the fifth pass succeeds.
struct FifthPass {
  std::string path;
  std::vector<PROCESS_INFORMATION> started;
  bool cleared = false;
  void Launch() {
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::string cmd = "\"" + path + "\" hidden fifth";
    if (CreateProcessA(path.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
      WaitForInputIdle(pi.hProcess, 5000);
      started.push_back(pi);
    }
  }
  void Tick() {
    if (cleared || started.empty() || WaitForSingleObject(started.back().hProcess, 0) != WAIT_OBJECT_0) return;
    if (started.size() == 5) {
      cleared = DeleteFileA((path + "_XX").c_str()) != FALSE;
    } else {
      Launch();
    }
  }
};
FifthPass* g_fifth = nullptr;
void CALLBACK FifthTick(HWND, UINT, UINT_PTR, DWORD) {
  if (g_fifth) g_fifth->Tick();
}

TEST_F(QuarantineTest, ASuccessOnTheFifthPassIsASuccess) {
  FifthPass fifth;
  fifth.path = PathOf("fifth.exe");
  ASSERT_TRUE(CopyExe(fifth.path));
  folder_->Keep(fifth.path);
  HANDLE blocker = CreateFileA((fifth.path + "_XX").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(blocker, INVALID_HANDLE_VALUE);
  CloseHandle(blocker);
  fifth.Launch();
  ASSERT_EQ(fifth.started.size(), 1u);
  g_fifth = &fifth;
  UINT_PTR timer = SetTimer(nullptr, 0, 5, FifthTick);
  int16_t result = TerminateAndQuarantine(fifth.path);
  KillTimer(nullptr, timer);
  g_fifth = nullptr;
  EXPECT_EQ(fifth.started.size(), 5u);
  EXPECT_TRUE(fifth.cleared);
  EXPECT_GT(result, 5);  // the fifth pass plus the try that worked
  EXPECT_TRUE(Exists(fifth.path + "_XX"));
  EXPECT_FALSE(Exists(fifth.path));
  for (PROCESS_INFORMATION& pi : fifth.started) testsupport::EndProcess(pi);
}

}  // namespace
