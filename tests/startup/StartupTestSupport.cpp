#include "StartupTestSupport.h"

#include <shlwapi.h>

#include "CancelEvent.h"
#include "InfoBarFrm.h"
#include "InterfaceFrm.h"
#include "ModMain.h"
#include "ModSProgs.h"
#include "ModStartup.h"
#include "Seams.h"
#include "SplashFrm.h"
#include "frmOptions.h"
#include "ProgramState.h"

namespace startuptest {

std::string AppPathsOf(const std::string& exeFileName) {
  return "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" + exeFileName;
}

std::string TestExeFileName() { return AppExeName() + ".exe"; }

void StoreTest::CleanStore() {
  DeleteTree(HKEY_CURRENT_USER, "Software\\Quillon Pro");
  DeleteTree(HKEY_CURRENT_USER, "Software\\Quillon");
  DeleteTree(HKEY_LOCAL_MACHINE, AppPathsOf(TestExeFileName()));
}

void StoreTest::SetUp() {
  CleanStore();
  ResetProgramState();
  seams::MessageBoxFn = [this](HWND owner, const std::string& text, const std::string& caption, UINT style) {
    EXPECT_EQ(caption, "Quillon Pro");
    shown.push_back({owner, text, style});
    return answer(shown.back());
  };
  seams::EndProcessFn = [](UINT) { ADD_FAILURE() << "the test program was asked to end"; };
}

void StoreTest::TearDown() {
  ResetProgramState();
  ReleaseInstanceMark();
  SplashFrm.Unload();
  frmOptions.Hide();
  InfoBarFrm.Unload();
  if (InterfaceFrm.mnuSettingsTop->Checked()) InterfaceFrm.mnuSettingsTop_Click();
  CleanStore();
}

std::vector<ShownMessage> StoreTest::ShownWithText(const std::string& text) const {
  std::vector<ShownMessage> found;
  for (const auto& m : shown)
    if (m.text == text) found.push_back(m);
  return found;
}

}  // namespace startuptest
