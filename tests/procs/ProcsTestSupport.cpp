#include "ProcsTestSupport.h"

#include "Mainfrm.h"
#include "ModProgInfo.h"
#include "ModSettings.h"
#include "ModStartup.h"
#include "Seams.h"
#include "UiWait.h"
#include "VbRules.h"
#include "ProgramState.h"

namespace procstest {

std::string OwnExePath() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  return std::string(path, n);
}

bool CopyExe(const std::string& path, const std::string& source) {
  std::string from = source.empty() ? testsupport::FixturePath() : testsupport::BinDir() + "\\" + source;
  return CopyFileA(from.c_str(), path.c_str(), FALSE) != FALSE;
}

int FindRow(const std::string& path) {
  for (int i = 0; i <= ProgTableLast; ++i)
    if (vb::LCase(ProgTable[i][0]) == vb::LCase(path)) return i;
  return -1;
}

bool Ended(HANDLE process, DWORD waitMs) { return WaitForSingleObject(process, waitMs) == WAIT_OBJECT_0; }

void WalkerTest::SetUp() {
  ResetProgramState();
  IsWinNTFlag = IsWinNT();
  AppExePath = OwnExePath();
  Mainfrm.FastRef = false;
  HideSysProc = 0;
  SProgCount = 0;
  DetailsRefreshing = false;
  LogScanning = 0;
  now_ = GetTickCount() + 100000;
  seams::TickCountFn = [this] { return now_; };
  LastProcWalkTick = 0;
  folder_ = std::make_unique<testsupport::FixtureFolder>("qp_procs");
}

void WalkerTest::TearDown() {
  folder_.reset();
  ResetProgramState();
  IsWinNTFlag = IsWinNT();
  DeleteSetting("Quillon", "tmp", "ProcChanged");
}

testsupport::Fixture& WalkerTest::Start(const std::string& name, const std::string& mode) {
  return folder_->Start(name, mode);
}

void WalkerTest::ForceRebuild() {
  Advance(1000);
  ASSERT_TRUE(DoProcessListOp(2, "").IsTrue());
}

}  // namespace procstest
