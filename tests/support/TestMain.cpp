// Entry of every test program: common controls as the program has them, failures of
// handlers turned into failed tests, then the tests.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include "Failures.h"
#include "Seams.h"
#include "StallMeter.h"

namespace {
// Each stall names the test that was running when it happened.
class StallContext : public testing::EmptyTestEventListener {
  void OnTestStart(const testing::TestInfo& test) override {
    ui::SetStallContext(std::string(test.test_suite_name()) + "." + test.name());
  }
  void OnTestEnd(const testing::TestInfo&) override { ui::SetStallContext(""); }
};
}  // namespace

int main(int argc, char** argv) {
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&icc);
  CoInitialize(nullptr);
  // No system error boxes: a failing test must fail, not wait for a click.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  // Nothing a test asks the shell for is really started.
  seams::KeepShellQuiet();
  testing::InitGoogleTest(&argc, argv);
  // A handler that throws can never pass unseen.
  testsupport::InstallFailureHook();
  testing::UnitTest::GetInstance()->listeners().Append(new StallContext);
  int rc = RUN_ALL_TESTS();
  CoUninitialize();
  return rc;
}
