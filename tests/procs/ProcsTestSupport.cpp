#include "ProcsTestSupport.h"

#include "Mainfrm.h"
#include "ModProgInfo.h"
#include "ModSettings.h"
#include "ModStartup.h"
#include "Seams.h"
#include "UiWait.h"
#include "VbRules.h"

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
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  char longTemp[MAX_PATH];
  if (!GetLongPathNameA(temp, longTemp, MAX_PATH)) lstrcpyA(longTemp, temp);
  dir_ = std::string(longTemp) + "qp_procs_" + std::to_string(GetCurrentProcessId()) + "\\";
  CreateDirectoryA(dir_.c_str(), nullptr);
}

void WalkerTest::TearDown() {
  fixtures_.clear();
  for (const std::string& copy : copies_) {
    testsupport::PumpUntil([&] { return DeleteFileA(copy.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND; });
    DeleteFileA((copy + "_XX").c_str());
  }
  RemoveDirectoryA(dir_.c_str());
  seams::Reset();
  IsWinNTFlag = IsWinNT();
  DeleteSetting("Quillon", "tmp", "ProcChanged");
  DetailsRefreshing = false;
}

testsupport::Fixture& WalkerTest::Start(const std::string& name, const std::string& mode) {
  std::string path = PathOf(name);
  if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
    EXPECT_TRUE(CopyExe(path)) << path;
    copies_.push_back(path);
  }
  testsupport::FixtureOptions options;
  options.mode = mode;
  options.title = name;
  options.exePath = path;
  fixtures_.push_back(std::make_unique<testsupport::Fixture>(options));
  EXPECT_TRUE(fixtures_.back()->Started()) << path;
  return *fixtures_.back();
}

void WalkerTest::ForceRebuild() {
  Advance(1000);
  ASSERT_TRUE(DoProcessListOp(2, "").IsTrue());
}

}  // namespace procstest
