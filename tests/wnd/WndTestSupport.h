// What the window tests share: copies of the fixture at named paths (each plays a
// program of its own), the display options and special programs set per test, a
// clock moved by hand, and the module's globals put back afterwards.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include <memory>
#include <string>
#include <vector>

#include "Fixture.h"
#include "Variant.h"
#include "VbRules.h"

namespace vb {
// Failures show a value as its kind and text.
void PrintTo(const Variant& value, std::ostream* out);
}  // namespace vb

namespace wndtest {

// The fixture process's top-level window titled `title` (0 when none).
HWND FindWindowOf(DWORD pid, const std::string& title);
// The window is among entries 0 to WndTableLast of the table.
bool Listed(HWND hwnd);
// Milliseconds since `start`.
DWORD Since(DWORD start);

class WndTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // A fixture started from a copy named `name` in the test folder, its window titled `name`.
  testsupport::Fixture& Start(const std::string& name, const std::string& mode = "plain");
  std::string PathOf(const std::string& name) const { return folder_->PathOf(name); }
  // Special programs for this test: path and action, enabled.
  void SetSpecialPrograms(const std::vector<std::pair<std::string, int>>& entries);
  // Rebuilds the process cache the window facts look owners up in.
  void ForceProcessWalk();
  void Advance(DWORD ms) { now_ += ms; }

  DWORD now_ = 0;
  std::unique_ptr<testsupport::FixtureFolder> folder_;
  int sprogKeys_ = 0;
};

}  // namespace wndtest
