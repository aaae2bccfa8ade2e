// The mini-tools page: reminders, the history buttons, blockers and excluded drives.
#include <gtest/gtest.h>
#include <windows.h>

#include "Input.h"
#include "InterfaceFrm.h"
#include "Logfrm.h"
#include "MiniToolsTest.h"
#include "ModCheckDrive.h"
#include "ModMain.h"
#include "ModSettings.h"
#include "MoreToolsFrm.h"
#include "TextFit.h"
#include "UiWait.h"
#include "ViewBindings.h"

namespace {

using namespace minitoolstest;
using looptest::Option;
using looptest::SetOption;

class MiniToolsPageTest : public MiniToolsTest {
 protected:
  void SetUp() override {
    MiniToolsTest::SetUp();
    MoreToolsFrm.Show();
    MoreToolsFrm.SSTab1.SetTab(0);
  }
  void PressKey(ui::Control& control, WPARAM key) {
    control.SetFocus();
    MSG msg{control.hwnd(), WM_KEYDOWN, key, 0, 0, {}};
    ui::DispatchOne(msg);
  }
  std::vector<std::string> Drives() {
    std::vector<std::string> rows;
    for (int i = 0; i < MoreToolsFrm.DriveEXList.ListCount(); ++i) rows.push_back(MoreToolsFrm.DriveEXList.List(i));
    return rows;
  }
  void AddDrive(const std::string& typed) {
    MoreToolsFrm.DriveEXLetter.SetText(typed);
    MoreToolsFrm.AddDriveEXBtn_Click();
  }
};

TEST_F(MiniToolsPageTest, CheckErrorsCorrectsPeriods) {
  struct Case {
    bool ticked;
    const char *period, *idle, *periodAfter, *idleAfter;
  } cases[] = {
      {true, "0", "0", "60", "3"},     {true, "2000", "1441", "60", "3"}, {false, "0", "0", "0", "3"},
      {true, "1", "1440", "1", "1440"}, {true, "", "5", "60", "5"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.period) + "/" + c.idle);
    // Typing a period ticks its box, so the boxes come after the texts.
    MoreToolsFrm.IntReminderTxt.SetText(c.period);
    MoreToolsFrm.WinReminderTxt.SetText(c.period);
    MoreToolsFrm.WinReminderIdleTimeTxt.SetText(c.idle);
    MoreToolsFrm.IntReminderChk.SetValue(c.ticked);
    MoreToolsFrm.WinReminderChk.SetValue(c.ticked);
    EXPECT_FALSE(MoreToolsFrm.CheckErrors());
    EXPECT_EQ(MoreToolsFrm.IntReminderTxt.Text(), c.periodAfter);
    EXPECT_EQ(MoreToolsFrm.WinReminderTxt.Text(), c.periodAfter);
    EXPECT_EQ(MoreToolsFrm.WinReminderIdleTimeTxt.Text(), c.idleAfter);
  }
  // Stored: a ticked 0 as 60, an unticked box as 0.
  MoreToolsFrm.IntReminderTxt.SetText("0");
  MoreToolsFrm.WinReminderTxt.SetText("45");
  MoreToolsFrm.IntReminderChk.SetValue(true);
  MoreToolsFrm.WinReminderChk.SetValue(false);
  MoreToolsFrm.UpdateData();
  EXPECT_EQ(IntReminder, 60);
  EXPECT_EQ(WinReminder, 0);
  EXPECT_EQ(Option("Options", "IntReminder"), "60");
  EXPECT_EQ(Option("Options", "WinReminder"), "0");
}

TEST_F(MiniToolsPageTest, LeasedLineHasNoInternetReminder) {
  LANCon = 1;
  IntReminder = 30;
  MoreToolsFrm.RefreshMe(true);
  EXPECT_FALSE(MoreToolsFrm.IntReminderChk.Enabled());
  EXPECT_FALSE(MoreToolsFrm.IntReminderTxt.Enabled());
  EXPECT_FALSE(MoreToolsFrm.IntReminderTextTxt.Enabled());
  EXPECT_FALSE(MoreToolsFrm.Label4.Enabled());
  EXPECT_FALSE(MoreToolsFrm.Label4_1.Enabled());
  EXPECT_EQ(IntReminder, 0);
  MoreToolsFrm.UpdateData();
  EXPECT_EQ(Option("Options", "IntReminder"), "0");
  LANCon = 0;
  MoreToolsFrm.RefreshMe(true);
  EXPECT_TRUE(MoreToolsFrm.IntReminderChk.Enabled());
}

// The program's own writes are no edit: a reminder that is off stays off.
TEST_F(MiniToolsPageTest, RefreshOverAReminderThatIsOff) {
  IntReminder = 0;
  WinReminder = 20;
  WinReminderIdleTime = 4;
  WinReminderText = "stretch";
  MoreToolsFrm.RefreshMe(false);
  EXPECT_FALSE(MoreToolsFrm.IntReminderChk.Value());
  EXPECT_EQ(MoreToolsFrm.IntReminderTxt.Text(), "0");
  EXPECT_TRUE(MoreToolsFrm.WinReminderChk.Value());
  EXPECT_EQ(MoreToolsFrm.WinReminderTxt.Text(), "20");
  EXPECT_EQ(MoreToolsFrm.WinReminderIdleTimeTxt.Text(), "4");
  EXPECT_EQ(MoreToolsFrm.WinReminderTextTxt.Text(), "stretch");
  EXPECT_FALSE(MoreToolsFrm.SaveBtn.Enabled());
  MoreToolsFrm.UpdateData();
  EXPECT_EQ(IntReminder, 0);
  // A user's edit of the period ticks its box and enables Save.
  MoreToolsFrm.IntReminderTxt.SetText("15");
  EXPECT_TRUE(MoreToolsFrm.IntReminderChk.Value());
  EXPECT_TRUE(MoreToolsFrm.SaveBtn.Enabled());
}

TEST_F(MiniToolsPageTest, PresetsSaveEscAndReset) {
  MoreToolsFrm.RefreshMe(false);
  const std::string internetText = MoreToolsFrm.IntReminderTextTxt.Text();
  ASSERT_EQ(MoreToolsFrm.MsgsLstCombo.ListCount(), 5);
  EXPECT_EQ(MoreToolsFrm.MsgsLstCombo.List(2), "Family (hard)");
  MoreToolsFrm.MsgsLstCombo.SetListIndex(2);
  EXPECT_EQ(MoreToolsFrm.WinReminderTextTxt.Text(), kReminderPresets[2]);
  EXPECT_EQ(MoreToolsFrm.IntReminderTextTxt.Text(), internetText);
  EXPECT_TRUE(MoreToolsFrm.SaveBtn.Enabled());
  // Esc in a reminder box throws the edits away.
  PressKey(MoreToolsFrm.WinReminderTextTxt, VK_ESCAPE);
  EXPECT_EQ(MoreToolsFrm.WinReminderTextTxt.Text(), WinReminderText);
  EXPECT_FALSE(MoreToolsFrm.SaveBtn.Enabled());
  // Save stores and says so.
  MoreToolsFrm.MsgsLstCombo.SetListIndex(4);
  MoreToolsFrm.SaveBtn_Click();
  EXPECT_EQ(Option("Options", "WinReminderText"), kReminderPresets[4]);
  EXPECT_FALSE(MoreToolsFrm.SaveBtn.Enabled());
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, "The reminders data is saved");
  EXPECT_EQ(messages[0].caption, "Quillon Pro");
  EXPECT_EQ(messages[0].style & MB_ICONMASK, UINT(MB_ICONINFORMATION));
  // Reset fills the option defaults, to be saved like any edit.
  MoreToolsFrm.ResetBtn_Click();
  EXPECT_EQ(MoreToolsFrm.WinReminderTextTxt.Text(), kDefaultWinReminderText);
  EXPECT_EQ(MoreToolsFrm.IntReminderTextTxt.Text(), kDefaultIntReminderText);
  EXPECT_EQ(MoreToolsFrm.WinReminderIdleTimeTxt.Text(), "3");
  EXPECT_EQ(MoreToolsFrm.IntReminderTxt.Text(), "60");
  EXPECT_TRUE(MoreToolsFrm.IntReminderChk.Value());
  EXPECT_TRUE(MoreToolsFrm.SaveBtn.Enabled());
  EXPECT_EQ(Option("Options", "WinReminderText"), kReminderPresets[4]) << "not saved yet";
}

// Edits are kept when the focus leaves the page, and when the page is hidden.
TEST_F(MiniToolsPageTest, LeavingThePageKeepsTheEdits) {
  MoreToolsFrm.RefreshMe(false);
  MoreToolsFrm.WinReminderTextTxt.SetFocus();
  MoreToolsFrm.WinReminderTextTxt.SetText("left by focus");
  HWND other = CreateWindowExA(0, "EDIT", "", WS_OVERLAPPED | WS_VISIBLE, 0, 0, 100, 40, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(other);
  SetFocus(other);
  EXPECT_EQ(WinReminderText, "left by focus");
  EXPECT_EQ(Option("Options", "WinReminderText"), "left by focus");
  DestroyWindow(other);
  // Moving inside the page stores nothing.
  MoreToolsFrm.WinReminderTextTxt.SetFocus();
  MoreToolsFrm.WinReminderTextTxt.SetText("inside");
  MoreToolsFrm.IntReminderTextTxt.SetFocus();
  EXPECT_EQ(WinReminderText, "left by focus");
  MoreToolsFrm.Hide();
  EXPECT_EQ(WinReminderText, "inside");
}

TEST_F(MiniToolsPageTest, BlockersSwitchTheMenuTicks) {
  ui::MenuItem* msg = InterfaceFrm.mnuSettingsMsgBlock;
  ui::MenuItem* pop = InterfaceFrm.mnuSettingsPopBlock;
  const bool msgBefore = msg->Checked(), popBefore = pop->Checked();
  MoreToolsFrm.RefreshMe(true);
  EXPECT_EQ(MoreToolsFrm.EnableSpamChk.Value(), msgBefore);
  EXPECT_EQ(MoreToolsFrm.EnablePopUpChk.Value(), popBefore);
  MoreToolsFrm.MediaChk.SetValue(false);
  MoreToolsFrm.EnableSpamChk.SetValue(!msgBefore);
  MoreToolsFrm.EnableSpamChk_Click();
  EXPECT_EQ(msg->Checked(), !msgBefore);
  EXPECT_EQ(Option("MoreTools", "BlockMessenger"), msgBefore ? "False" : "True");
  EXPECT_EQ(Option("MoreTools", "DriveCheck"), "0");
  MoreToolsFrm.EnablePopUpChk.SetValue(!popBefore);
  MoreToolsFrm.EnablePopUpChk_Click();
  EXPECT_EQ(pop->Checked(), !popBefore);
  EXPECT_EQ(Option("MoreTools", "BlockPopUps"), popBefore ? "False" : "True");
  // The menu switched elsewhere shows in the boxes at the next refresh.
  InterfaceFrm.mnuSettingsMsgBlock_Click();
  MoreToolsFrm.RefreshMe(true);
  EXPECT_EQ(MoreToolsFrm.EnableSpamChk.Value(), msgBefore);
  if (pop->Checked() != popBefore) InterfaceFrm.mnuSettingsPopBlock_Click();
}

TEST_F(MiniToolsPageTest, MediaCheckBoxIsHeededAtOnce) {
  DriveCheck = 1;
  MoreToolsFrm.MediaChk.SetValue(false);
  MoreToolsFrm.MediaChk_Click();
  EXPECT_EQ(DriveCheck, 0);
  EXPECT_EQ(Option("MoreTools", "DriveCheck"), "0");
  MoreToolsFrm.MediaChk.SetValue(true);
  MoreToolsFrm.MediaChk_Click();
  EXPECT_EQ(DriveCheck, 1);
  EXPECT_EQ(Option("MoreTools", "DriveCheck"), "1");
}

// What a user types into the drive box: one letter, upper-cased where it is typed.
TEST_F(MiniToolsPageTest, TypedDriveLettersKeepOneLetterInPlace) {
  MoreToolsFrm.LoadMoreToolsData();
  struct Case {
    const char* typed;  // keys pressed, lower case
    const char* shown;
  } cases[] = {{"c;", "C"}, {"cd", "C"}, {"e", "E"}};
  MoreToolsFrm.SSTab1.SetTab(1);
  HWND top = GetAncestor(MoreToolsFrm.DriveEXLetter.hwnd(), GA_ROOT);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    MoreToolsFrm.DriveEXLetter.SetText("");
    SetForegroundWindow(top);
    MoreToolsFrm.DriveEXLetter.SetFocus();
    ASSERT_TRUE(testsupport::PumpUntil([&] { return GetFocus() == MoreToolsFrm.DriveEXLetter.hwnd(); }, 3000));
    for (const char* key = c.typed; *key; ++key) {
      // ";" with Shift is ":" on the US layout.
      if (*key == ';')
        testsupport::PressKey(VK_OEM_1, 1);
      else
        testsupport::PressKey(static_cast<WORD>(toupper(*key)));
    }
    ASSERT_TRUE(testsupport::PumpUntil([&] { return MoreToolsFrm.DriveEXLetter.Text() == c.shown; }, 3000))
        << MoreToolsFrm.DriveEXLetter.Text();
    testsupport::PumpUntilIdle();
    EXPECT_EQ(MoreToolsFrm.DriveEXLetter.Text(), c.shown) << "no second character";
    MoreToolsFrm.AddDriveEXBtn_Click();
  }
  EXPECT_EQ(Drives(), std::vector<std::string>({"C", "E"}));
  EXPECT_EQ(Option("General", "DriveEX1"), "C");
  EXPECT_EQ(Option("General", "DriveEX2"), "E");
  EXPECT_TRUE(messages.empty());
}

TEST_F(MiniToolsPageTest, ExcludedDrivesAndTheirKeysStayEqual) {
  MoreToolsFrm.LoadMoreToolsData();
  MoreToolsFrm.DriveEXLetter.SetText("c");
  EXPECT_EQ(MoreToolsFrm.DriveEXLetter.Text(), "C");
  MoreToolsFrm.AddDriveEXBtn_Click();
  AddDrive("C");
  EXPECT_TRUE(messages.empty()) << "a listed drive is shown, not refused";
  // No letter is refused with a word, not silently.
  AddDrive("1");
  AddDrive("");
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].text, kDriveLetterText);
  EXPECT_EQ(messages[1].text, kDriveLetterText);
  messages.clear();
  EXPECT_EQ(Drives(), std::vector<std::string>({"C"}));
  EXPECT_EQ(Option("General", "DriveEXNUM"), "1");
  EXPECT_EQ(Option("General", "DriveEX1"), "C");

  // A, B, C with B removed: keys 1 and 2 hold A and C.
  AddDrive("A");
  AddDrive("B");
  EXPECT_EQ(Drives(), std::vector<std::string>({"C", "A", "B"}));
  MoreToolsFrm.DriveEXList.SetListIndex(1);
  MoreToolsFrm.mnuDriveRemove_Click();
  EXPECT_EQ(Drives(), std::vector<std::string>({"C", "B"}));
  EXPECT_EQ(Option("General", "DriveEXNUM"), "2");
  EXPECT_EQ(Option("General", "DriveEX1"), "C");
  EXPECT_EQ(Option("General", "DriveEX2"), "B");
  // The Delete key and the pop-up menu's "&Remove" remove the selected row.
  EXPECT_EQ(MoreToolsFrm.mnuDriveRemove->Caption(), "&Remove");
  MoreToolsFrm.DriveEXList.SetListIndex(1);
  PressKey(MoreToolsFrm.DriveEXList, VK_DELETE);
  EXPECT_EQ(Drives(), std::vector<std::string>({"C"}));
  MoreToolsFrm.DriveEXList.SetListIndex(0);
  MoreToolsFrm.mnuDriveRemove->Click();
  EXPECT_TRUE(Drives().empty());
  EXPECT_EQ(Option("General", "DriveEXNUM"), "0");
  MoreToolsFrm.mnuDriveRemove_Click();  // nothing selected, nothing stored
  EXPECT_EQ(Option("General", "DriveEXNUM"), "0");

  // An empty key in the middle is skipped at load; removing the row after it removes
  // the key that holds its letter.
  SetOption("General", "DriveEXNUM", "3");
  SetOption("General", "DriveEX1", "A");
  SetOption("General", "DriveEX2", "");
  SetOption("General", "DriveEX3", "D");
  MoreToolsFrm.LoadMoreToolsData();
  EXPECT_EQ(Drives(), std::vector<std::string>({"A", "D"}));
  MoreToolsFrm.DriveEXList.SetListIndex(1);
  MoreToolsFrm.mnuDriveRemove_Click();
  EXPECT_EQ(Option("General", "DriveEXNUM"), "2");
  EXPECT_EQ(Option("General", "DriveEX1"), "A");
  EXPECT_EQ(Option("General", "DriveEX2"), "");
}

TEST_F(MiniToolsPageTest, SettingsReadBack) {
  SetOption("MoreTools", "DriveCheck", "0");
  SetOption("General", "DriveEXNUM", "2");
  SetOption("General", "DriveEX1", "R");
  SetOption("General", "DriveEX2", "S");
  MoreToolsFrm.LoadMoreToolsData();
  EXPECT_EQ(DriveCheck, 0);
  EXPECT_FALSE(MoreToolsFrm.MediaChk.Value());
  EXPECT_EQ(Drives(), std::vector<std::string>({"R", "S"}));
  looptest::LoopTest::CleanStore();
  MoreToolsFrm.LoadMoreToolsData();
  EXPECT_EQ(DriveCheck, 1);
  EXPECT_TRUE(MoreToolsFrm.MediaChk.Value());
  EXPECT_TRUE(Drives().empty());
}

TEST_F(MiniToolsPageTest, HistoryViewAndKeys) {
  bool onlyWhileShown = false;
  Logfrm.Hide();
  MoreToolsFrm.ViewBtn_Click();
  onlyWhileShown = Logfrm.Visible();
  EXPECT_TRUE(onlyWhileShown);
  EXPECT_FALSE(TasksHistoryOnly);
  // F5 reads the fields again; F1 opens the help page.
  WinReminderText = "from F5";
  PressKey(MoreToolsFrm.SaveBtn, VK_F5);
  EXPECT_EQ(MoreToolsFrm.WinReminderTextTxt.Text(), "from F5");
  launched.clear();
  PressKey(MoreToolsFrm.SaveBtn, VK_F1);
  ASSERT_EQ(launched.size(), 1u);
  EXPECT_NE(launched[0].file.find("online_help"), std::string::npos) << launched[0].file;
}

}  // namespace

// The check boxes of the second tab read whole: their captions wrap within the box.
TEST_F(MiniToolsPageTest, TheCheckBoxesReadWhole) {
  MoreToolsFrm.SSTab1.SetTab(1);
  for (ui::CheckBox* box : {&MoreToolsFrm.MediaChk, &MoreToolsFrm.EnableSpamChk, &MoreToolsFrm.EnablePopUpChk}) {
    std::string why;
    EXPECT_TRUE(testsupport::ButtonCaptionFits(box->hwnd(), &why)) << why;
  }
}
