// The About and splash windows, and the System Information tool found through the
// real registry.
#include <gtest/gtest.h>

#include <string>

#include "Fixture.h"
#include "ModMain.h"
#include "ModStartupPlatform.h"
#include "Registry.h"
#include "ShellTestSupport.h"
#include "SplashFrm.h"
#include "UiWait.h"
#include "frmAbout.h"

using shelltest::FrameTest;
using testsupport::WindowText;

namespace {

const char kSysInfoKey[] = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const char kLocationKey[] = "SOFTWARE\\Microsoft\\Shared Tools Location";

class AboutTest : public FrameTest {
 protected:
  void TearDown() override {
    testsupport::DeleteRegValueAt(HKEY_LOCAL_MACHINE, kSysInfoKey, "PATH");
    testsupport::DeleteRegValueAt(HKEY_LOCAL_MACHINE, kLocationKey, "MSINFO");
    testsupport::DeleteRegValueAt(HKEY_LOCAL_MACHINE, kLocationKey, "QpTestDword");
    if (frmAbout.Loaded()) frmAbout.Unload();
    FrameTest::TearDown();
  }
};

}  // namespace

TEST_F(AboutTest, NameVersionAndLink) {
  ShowFrm(frmAbout);
  EXPECT_EQ(WindowText(frmAbout.hwnd()), "About Quillon Pro");
  EXPECT_EQ(WindowText(frmAbout.AppNameLbl.hwnd()), "Quillon Pro ,Version 3.0.0");
  EXPECT_EQ(WindowText(frmAbout.Label2.hwnd()), "Web:");
  EXPECT_EQ(WindowText(frmAbout.cmdSysInfo.hwnd()), "&System Info...");
  launched.clear();
  frmAbout.ContactLbl.Click();
  ASSERT_EQ(launched.size(), 1u);
  EXPECT_EQ(launched[0].file, ProductWebSite);
  frmAbout.cmdOK_Click();
  EXPECT_FALSE(frmAbout.Loaded());
}

TEST_F(AboutTest, SystemInformationTool) {
  // As the prefix is: the key exists with no PATH, and no location.
  launched.clear();
  shown.clear();
  StartSysInfo();
  EXPECT_TRUE(launched.empty());
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, "System Information Is Unavailable At This Time");

  // Only the location, with the tool in it.
  testsupport::FixtureFolder folder("sysinfo");
  CopyFileA(testsupport::FixturePath().c_str(), folder.PathOf("MSINFO32.EXE").c_str(), FALSE);
  folder.Keep(folder.PathOf("MSINFO32.EXE"));
  std::string dir = folder.dir();
  if (!dir.empty() && dir.back() == '\\') dir.pop_back();
  testsupport::SetRegText(HKEY_LOCAL_MACHINE, kLocationKey, "MSINFO", dir);
  shown.clear();
  StartSysInfo();
  ASSERT_EQ(launched.size(), 1u);
  EXPECT_EQ(launched[0].file, dir + "\\MSINFO32.EXE");
  EXPECT_TRUE(shown.empty());

  // A location without the tool.
  testsupport::SetRegText(HKEY_LOCAL_MACHINE, kLocationKey, "MSINFO", dir + "\\none");
  launched.clear();
  StartSysInfo();
  EXPECT_TRUE(launched.empty());
  EXPECT_EQ(shown.size(), 1u);

  // The tool's own key comes first.
  testsupport::SetRegText(HKEY_LOCAL_MACHINE, kSysInfoKey, "PATH", "C:\\tools\\msinfo32.exe");
  StartSysInfo();
  ASSERT_EQ(launched.size(), 1u);
  EXPECT_EQ(launched[0].file, "C:\\tools\\msinfo32.exe");
}

TEST_F(AboutTest, KeyValueTypes) {
  std::string text = "stale";
  EXPECT_FALSE(GetKeyValue(HKEY_LOCAL_MACHINE, kLocationKey, "QpTestDword", text));
  EXPECT_EQ(text, "");
  EXPECT_FALSE(GetKeyValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\QpNoSuchKey", "x", text));
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kLocationKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  for (auto [value, want] : {std::make_pair(42u, "42"), std::make_pair(0x12345678u, "305419896"),
                             std::make_pair(0xFFFFFFFFu, "-1")}) {
    RegSetValueExA(key, "QpTestDword", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    EXPECT_TRUE(GetKeyValue(HKEY_LOCAL_MACHINE, kLocationKey, "QpTestDword", text));
    EXPECT_EQ(text, want);
  }
  RegSetValueExA(key, "QpTestDword", 0, REG_SZ, reinterpret_cast<const BYTE*>("C:\\x"), 5);
  EXPECT_TRUE(GetKeyValue(HKEY_LOCAL_MACHINE, kLocationKey, "QpTestDword", text));
  EXPECT_EQ(text, "C:\\x");
  RegCloseKey(key);
}

TEST_F(AboutTest, SplashDotsAndDebugLabel) {
  SplashFrm.Load();
  EXPECT_EQ(WindowText(SplashFrm.lblVersion.hwnd()), "Quillon Version 3.0.0  is loading");
  // Only a development run says so.
  const bool debugShown = (GetWindowLongPtrA(SplashFrm.debugLbl.hwnd(), GWL_STYLE) & WS_VISIBLE) != 0;
  EXPECT_EQ(debugShown, !IsCompiled);
  EXPECT_EQ(WindowText(SplashFrm.debugLbl.hwnd()), "Debug Mode");
  HRGN probe = CreateRectRgn(0, 0, 0, 0);
  EXPECT_NE(GetWindowRgn(SplashFrm.hwnd(), probe), ERROR) << "the rounded region";
  DeleteObject(probe);
  for (int i = 0; i < 12; ++i) {
    SplashFrm.Timer2.Tick();
    const std::string text = WindowText(SplashFrm.lblVersion.hwnd());
    const size_t dots = text.size() - text.find_last_not_of('.') - 1;
    EXPECT_GE(dots, 1u);
    EXPECT_LE(dots, 5u) << text;
  }
  SplashFrm.Unload();
  EXPECT_FALSE(SplashFrm.Loaded());
}
