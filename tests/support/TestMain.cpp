// Entry of every test program: common controls as the program has them, failures of
// handlers turned into failed tests, then the tests.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include "Failures.h"
#include "Seams.h"

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
  int rc = RUN_ALL_TESTS();
  CoUninitialize();
  return rc;
}
