// What the start-up tests share: a clean settings store before and after each test,
// message boxes answered and recorded, and reads of the real registry.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "Registry.h"
#include <vector>

namespace startuptest {

struct ShownMessage {
  HWND owner;
  std::string text;
  UINT style;
};

using testsupport::DeleteTree;
using testsupport::kMissing;
using testsupport::Option;
using testsupport::RegText;
using testsupport::SetOption;
using testsupport::SetRegText;
using testsupport::ValueNames;
std::string AppPathsOf(const std::string& exeFileName);
std::string TestExeFileName();  // this test program's file name

// Every test starts and ends with no settings of the program, no App Paths key of
// this test program and its message boxes answered by `answer`.
class StoreTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  static void CleanStore();

  std::vector<ShownMessage> shown;
  std::function<int(const ShownMessage&)> answer = [](const ShownMessage&) { return IDOK; };
  std::vector<ShownMessage> ShownWithText(const std::string& text) const;
};

}  // namespace startuptest
