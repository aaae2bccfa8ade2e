// What the process tests share: a folder of their own for copies of the fixture,
// a clock they move by hand, and the walker's globals put back after each test.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Fixture.h"
#include "VbRules.h"

namespace procstest {

// This test program's own path.
std::string OwnExePath();
// A copy of an executable of the build folder at `path` (the fixture when `source` is empty).
bool CopyExe(const std::string& path, const std::string& source = "");
// The row of the process table whose path equals `path` ignoring case; -1 for none.
int FindRow(const std::string& path);
bool Ended(HANDLE process, DWORD waitMs = 5000);

class WalkerTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // A fixture started from a copy named `name` in the test folder.
  testsupport::Fixture& Start(const std::string& name, const std::string& mode = "hidden");
  std::string PathOf(const std::string& name) const { return folder_->PathOf(name); }
  // Moves the hand-set clock on; forced rebuilds need a second between them.
  void Advance(DWORD ms) { now_ += ms; }
  void ForceRebuild();

  DWORD now_ = 0;
  std::unique_ptr<testsupport::FixtureFolder> folder_;
};

}  // namespace procstest
