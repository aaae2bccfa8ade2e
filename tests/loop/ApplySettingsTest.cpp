// Applying the options to the running system: the Run value, both hot keys, the list
// columns, the log timer, the tray icon, the connection type and the menus.
#include <gtest/gtest.h>

#include "ApplyGlobalSettings.h"
#include "InterfaceFrm.h"
#include "LoopSeams.h"
#include "LoopTestSupport.h"
#include "Mainfrm.h"
#include "ModConInfo.h"
#include "ModMain.h"
#include "ModMainLoop.h"
#include "ModSettings.h"
#include "ModStartup.h"
#include "MoreToolsFrm.h"
#include "frmOptions.h"

using namespace looptest;

namespace {

// Keys no other test or program uses.
const UINT kAppKey = VK_F11, kDestKey = VK_F12;
const UINT kCtrlAlt = MOD_CONTROL | MOD_ALT;

class ApplySettingsTest : public LoopTest {
 protected:
  void SetUp() override {
    LoopTest::SetUp();
    AppHK = {1, static_cast<int32_t>(kCtrlAlt), static_cast<int32_t>(kAppKey)};
    DestHK = {1, static_cast<int32_t>(kCtrlAlt), static_cast<int32_t>(kDestKey)};
    LANCon = 1;
  }
};

TEST_F(ApplySettingsTest, TheRunValueFollowsTheOptionAndIsNeverRewritten) {
  ASSERT_TRUE(IsWinNTFlag);  // the prefix answers as the NT family
  SetRegText(HKEY_LOCAL_MACHINE, kRunPath, "Quillon Pro", "c:\\old\\QuillonPro.exe");
  RunAtStartUp = 1;
  ApplyGlobalSettings();
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kRunPath, "Quillon Pro"), AppExePath);
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kRunPath, "Quillon Pro"), kMissing) << "NT: the machine's value goes";

  SetRegText(HKEY_CURRENT_USER, kRunPath, "Quillon Pro", "d:\\elsewhere\\QuillonPro.exe");
  ApplyGlobalSettings();
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kRunPath, "Quillon Pro"), "d:\\elsewhere\\QuillonPro.exe");

  RunAtStartUp = 0;
  ApplyGlobalSettings();
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kRunPath, "Quillon Pro"), kMissing);

  // The 9x family keeps its value under the machine's key.
  IsWinNTFlag = false;
  RunAtStartUp = 1;
  ApplyGlobalSettings();
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kRunPath, "Quillon Pro"), AppExePath);
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kRunPath, "Quillon Pro"), kMissing);
}

TEST_F(ApplySettingsTest, ARunValueThatHoldsNoTextIsNoProgramToStart) {
  ASSERT_TRUE(IsWinNTFlag);
  HKEY run = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kRunPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &run, nullptr),
            ERROR_SUCCESS);
  const DWORD number = 1;
  RegSetValueExA(run, "Quillon Pro", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
  RunAtStartUp = 1;
  ApplyGlobalSettings();
  // Read as bytes the number counted as present, and the program never started
  // with Windows; now the value is replaced by the program's path.
  DWORD type = 0;
  RegQueryValueExA(run, "Quillon Pro", nullptr, &type, nullptr, nullptr);
  RegCloseKey(run);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, kRunPath, "Quillon Pro"), AppExePath);
}

TEST_F(ApplySettingsTest, HotKeysAreRegisteredOnceAndAgainOnlyWhenChanged) {
  EXPECT_FALSE(ApplyGlobalSettings());
  EXPECT_TRUE(shown.empty());
  EXPECT_FALSE(OtherProcessCanRegister(kCtrlAlt, kAppKey)) << "the show-window key is ours";
  EXPECT_FALSE(OtherProcessCanRegister(kCtrlAlt, kDestKey)) << "the terminate key is ours";

  ApplyGlobalSettings();
  EXPECT_FALSE(OtherProcessCanRegister(kCtrlAlt, kAppKey));

  // Only the modifiers change: the old combination is given up for the new one.
  AppHK.Modifiers = MOD_CONTROL | MOD_SHIFT;
  ApplyGlobalSettings();
  EXPECT_TRUE(OtherProcessCanRegister(kCtrlAlt, kAppKey));
  EXPECT_FALSE(OtherProcessCanRegister(MOD_CONTROL | MOD_SHIFT, kAppKey));
  EXPECT_EQ(RegisteredAppHK.Modifiers, static_cast<int32_t>(MOD_CONTROL | MOD_SHIFT));

  // Switched off: given up.
  DestHK.Enabled = 0;
  ApplyGlobalSettings();
  EXPECT_TRUE(OtherProcessCanRegister(kCtrlAlt, kDestKey));
  EXPECT_EQ(RegisteredDestHK.Enabled, 0);
}

TEST_F(ApplySettingsTest, AKeyHeldByAnotherProgramIsReportedOnce) {
  HotKeyHolder holder(kCtrlAlt, kAppKey);
  ASSERT_TRUE(holder.Holding());
  answer = [](const ShownMessage&) { return IDNO; };
  EXPECT_FALSE(ApplyGlobalSettings());
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text,
            "ERROR registering Quillon hotkey! Some program may be using the same hotkey. You will not be able to "
            "display Quillon main window by pressing the specified Hotkey. Click yes if you want to change it form "
            "options.");
  EXPECT_EQ(shown[0].style, 0x44u);
  EXPECT_EQ(shown[0].owner, InterfaceFrm.hwnd());
  EXPECT_FALSE(frmOptions.Visible());

  // Unchanged options do not try (and complain) again.
  ApplyGlobalSettings();
  EXPECT_EQ(shown.size(), 1u);
}

TEST_F(ApplySettingsTest, YesToTheHotKeyErrorOpensTheOptionsOnTheirFirstTab) {
  HotKeyHolder holder(kCtrlAlt, kDestKey);
  ASSERT_TRUE(holder.Holding());
  frmOptions.SSTab1.SetTab(3);
  answer = [](const ShownMessage&) { return IDYES; };
  EXPECT_TRUE(ApplyGlobalSettings());
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text,
            "ERROR registering 'Terminate and restart a program' hotkey! Some program may be using the same hotkey. "
            "You will not be able to use 'Terminate and restart a program' tool. Click yes if you want to change it "
            "form options.");
  EXPECT_TRUE(frmOptions.Visible());
  EXPECT_EQ(frmOptions.SSTab1.Tab(), 0);
}

TEST_F(ApplySettingsTest, ColumnsFollowTheMasks) {
  AppList = "1010";
  WndList = "1111111111";
  ApplyGlobalSettings();
  ASSERT_EQ(Mainfrm.AppLst.ColumnCount(), 2);
  EXPECT_EQ(Mainfrm.AppLst.ColumnKey(0), "K0");
  EXPECT_EQ(Mainfrm.AppLst.ColumnText(0), "Program Title");
  EXPECT_EQ(Mainfrm.AppLst.ColumnKey(1), "K2");
  EXPECT_EQ(Mainfrm.AppLst.ColumnText(1), "Full Path");
  EXPECT_EQ(Mainfrm.AppLst.SortKey(), 1);
  EXPECT_EQ(Mainfrm.WndLst.ColumnCount(), 10);
  EXPECT_EQ(Mainfrm.WndLst.ColumnText(9), "Position");
  EXPECT_EQ(Header_GetItemCount(ListView_GetHeader(Mainfrm.AppLst.hwnd())), 2);

  AppList = "0x1";  // anything but a digit counts as 0
  ApplyGlobalSettings();
  ASSERT_EQ(Mainfrm.AppLst.ColumnCount(), 1);
  EXPECT_EQ(Mainfrm.AppLst.ColumnKey(0), "K2");
}

TEST_F(ApplySettingsTest, TheLogTimerTakesTheSecondsUnlessTheyOverflow) {
  SecLogData = 5;
  ApplyGlobalSettings();
  EXPECT_EQ(InterfaceFrm.LogTimer.Interval(), 5000u);
  SecLogData = 3000000;  // 3,000,000,000 ms does not fit
  ApplyGlobalSettings();
  EXPECT_EQ(InterfaceFrm.LogTimer.Interval(), 5000u);
  EXPECT_FALSE(InterfaceFrm.LogTimer.Enabled());
}

TEST_F(ApplySettingsTest, TheTrayIconIsPutBack) {
  ApplyGlobalSettings();
  EXPECT_TRUE(TrayIconPresent(InterfaceFrm.hwnd()));
  ApplyGlobalSettings();
  EXPECT_TRUE(TrayIconPresent(InterfaceFrm.hwnd()));
}

TEST_F(ApplySettingsTest, WithoutDialUpNetworkingTheLeasedLineIsUsed) {
  loopseams::RasAvailableFn = [] { return false; };
  LANCon = 0;
  ShowFrm(frmOptions);
  frmOptions.LANConOpt(0).SetValue(true);
  MoreToolsFrm.IntReminderChk.SetValue(true);
  ApplyGlobalSettings();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text,
            "Error checking Internet connection, RAS may not be installed or there is problems in it. 'Leased "
            "Line' option will be used instead.");
  EXPECT_EQ(shown[0].style & MB_ICONMASK, static_cast<UINT>(MB_ICONSTOP));
  EXPECT_EQ(LANCon, 1);
  EXPECT_EQ(Option("Options", "LANCon"), "1");
  EXPECT_TRUE(frmOptions.LANConOpt(1).Value());
  EXPECT_FALSE(frmOptions.LANConOpt(0).Value());
  // An always-open connection record, and no Internet reminder.
  EXPECT_EQ(CurCon.flag, "1");
  EXPECT_FALSE(CurCon.From.empty());
  EXPECT_FALSE(MoreToolsFrm.IntReminderChk.Value());
  EXPECT_FALSE(MoreToolsFrm.IntReminderChk.Enabled());
  EXPECT_FALSE(MoreToolsFrm.IntReminderTxt.Enabled());
  EXPECT_FALSE(MoreToolsFrm.Label4.Enabled());

  // With dial-up networking there, a modem user keeps the choice.
  loopseams::RasAvailableFn = [] { return true; };
  LANCon = 0;
  ApplyGlobalSettings();
  EXPECT_EQ(shown.size(), 1u);
  EXPECT_EQ(LANCon, 0);
}

TEST_F(ApplySettingsTest, MessengerAndMenuMarks) {
  BlockMessenger = true;
  BlockPopUps = true;
  ApplyGlobalSettings();
  ASSERT_EQ(launched.size(), 1u);
  EXPECT_EQ(launched[0].file + " " + launched[0].parameters, "net stop messenger");
  EXPECT_TRUE(InterfaceFrm.mnuFileBlockMsg->Checked());
  EXPECT_TRUE(InterfaceFrm.mnuFileBlock->Checked());

  BlockPopUps = false;
  IsWinNTFlag = false;  // the 9x family has no messenger service
  ApplyGlobalSettings();
  EXPECT_EQ(launched.size(), 1u);
  EXPECT_FALSE(InterfaceFrm.mnuFileBlockMsg->Visible());
  EXPECT_FALSE(InterfaceFrm.mnuSettingsMsgBlock->Visible());
  EXPECT_FALSE(InterfaceFrm.mnuFileBlock->Checked());
  InterfaceFrm.mnuFileBlockMsg->SetVisible(true);
  InterfaceFrm.mnuSettingsMsgBlock->SetVisible(true);
}

}  // namespace
