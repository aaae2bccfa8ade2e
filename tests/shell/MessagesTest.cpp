// The reminder and first-time windows against real windows and the settings store.
#include <gtest/gtest.h>

#include <string>

#include "FirstTimeFrm.h"
#include "InfoBarFrm.h"
#include "Input.h"
#include "TextFit.h"
#include "InterfaceFrm.h"
#include "ModMainLoop.h"
#include "ModSettings.h"
#include "MoreToolsFrm.h"
#include "RemindersMsgFrm.h"
#include "ShellTestSupport.h"
#include "UiWait.h"

using shelltest::FrameTest;
using shelltest::PostedAction;
using testsupport::WindowText;
using looptest::Option;
using looptest::SetOption;

namespace {

class MessagesTest : public FrameTest {
 protected:
  void TearDown() override {
    if (RemindersMsgFrm.Loaded()) RemindersMsgFrm.Unload();
    FrameTest::TearDown();
  }
  static bool TopMost(HWND hwnd) { return (GetWindowLongPtrA(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }
};

}  // namespace

TEST_F(MessagesTest, ReminderShowsItsTitleTextAndClock) {
  RemindersMsgFrm.ShowFrm(0, "Windows Reminder (Every 30 minute(s))", "Time for a break");
  EXPECT_EQ(WindowText(RemindersMsgFrm.hwnd()), "Windows Reminder (Every 30 minute(s))");
  EXPECT_EQ(WindowText(RemindersMsgFrm.Label1.hwnd()), "Time for a break");
  EXPECT_EQ(WindowText(RemindersMsgFrm.DontShowChk.hwnd()),
            "Don't show this reminder again (you can show it later from MoreTools )");
  EXPECT_EQ(WindowText(RemindersMsgFrm.SettingsBtn.hwnd()), "&Settings ...");
  EXPECT_TRUE(TopMost(RemindersMsgFrm.hwnd()));
  EXPECT_TRUE(IsWindowVisible(RemindersMsgFrm.ClockImg.hwnd()));
  // A second reminder takes the window already shown.
  const HWND first = RemindersMsgFrm.hwnd();
  RemindersMsgFrm.ShowFrm(1, "Internet Reminder Number 2 Every 5 minute(s) ", "Still online");
  EXPECT_EQ(RemindersMsgFrm.hwnd(), first);
  EXPECT_EQ(RemindersMsgFrm.MsgType(), 1);
  EXPECT_EQ(WindowText(first), "Internet Reminder Number 2 Every 5 minute(s) ");
  EXPECT_EQ(WindowText(RemindersMsgFrm.Label1.hwnd()), "Still online");
}

TEST_F(MessagesTest, ClosingAReminder) {
  struct Case {
    int16_t type;
    bool ticked;
    int16_t win, internet;     // the switches after closing
    const char *winKey, *intKey;  // "Options" as saved
    bool countsReset;
  };
  const Case cases[] = {
      {0, false, 30, 20, testsupport::kMissing, testsupport::kMissing, true},
      {0, true, 0, 20, "0", "20", true},
      {1, true, 30, 0, "30", "0", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.type) + (c.ticked ? " ticked" : " unticked"));
    CleanStore();
    WinReminder = 30;
    IntReminder = 20;
    WinReminderState.ActiveMinutes = 7;
    WinReminderState.IdleMinutes = 2;
    RemindersMsgFrm.ShowFrm(c.type, "Reminder", "text");
    RemindersMsgFrm.DontShowChk.SetValue(c.ticked);
    RemindersMsgFrm.Close();  // the close box
    EXPECT_FALSE(RemindersMsgFrm.Loaded());
    EXPECT_EQ(WinReminder, c.win);
    EXPECT_EQ(IntReminder, c.internet);
    EXPECT_EQ(Option("Options", "WinReminder"), c.winKey);
    EXPECT_EQ(Option("Options", "IntReminder"), c.intKey);
    EXPECT_EQ(WinReminderState.ActiveMinutes == 0 && WinReminderState.IdleMinutes == 0, c.countsReset);
  }
  // The next reminder comes with the box unticked.
  RemindersMsgFrm.ShowFrm(0, "Reminder", "text");
  EXPECT_FALSE(RemindersMsgFrm.DontShowChk.Value());
}

TEST_F(MessagesTest, ReminderSettingsOpensTheMiniToolsPage) {
  InterfaceFrm.Hide();
  RemindersMsgFrm.ShowFrm(1, "Reminder", "text");
  RemindersMsgFrm.SettingsBtn.PerformClick();
  EXPECT_FALSE(RemindersMsgFrm.Loaded());
  EXPECT_TRUE(IsWindowVisible(InterfaceFrm.hwnd()));
  EXPECT_TRUE(InterfaceFrm.Toolbar1.Value("MoreTools"));
  EXPECT_TRUE(IsWindowVisible(MoreToolsFrm.hwnd()));
}

// "Don't show" and then "Settings ..." on the Windows reminder, with the mouse: the
// page opened by Settings shows the reminder off, and clicking into its period box and
// leaving the page keeps it off.
TEST_F(MessagesTest, DontShowThenSettingsLeavesTheReminderOffOnThePage) {
  using testsupport::ClickAt;
  using testsupport::PumpUntil;
  auto click = [](ui::Control& c, int x = -1, int y = -1) {
    RECT r{};
    GetClientRect(c.hwnd(), &r);
    ClickAt(c.hwnd(), x >= 0 ? x : r.right / 2, y >= 0 ? y : r.bottom / 2);
  };
  WinReminder = 1;
  SaveSettings();
  InterfaceFrm.Toolbar1.ClickButton("MoreTools");
  ASSERT_TRUE(MoreToolsFrm.WinReminderChk.Value());
  InterfaceFrm.Toolbar1.ClickButton("Quillon");

  RemindersMsgFrm.ShowFrm(0, "Windows Reminder (Every 1 minute(s))", "Time for a break");
  SetForegroundWindow(RemindersMsgFrm.hwnd());
  ASSERT_TRUE(PumpUntil([] { return GetForegroundWindow() == RemindersMsgFrm.hwnd(); }));
  click(RemindersMsgFrm.DontShowChk, 7);
  ASSERT_TRUE(PumpUntil([] { return RemindersMsgFrm.DontShowChk.Value(); }));
  click(RemindersMsgFrm.SettingsBtn);
  ASSERT_TRUE(PumpUntil([] { return !RemindersMsgFrm.Loaded(); }));
  Settle();
  EXPECT_EQ(Option("Options", "WinReminder"), "0");
  ASSERT_TRUE(IsWindowVisible(MoreToolsFrm.hwnd()));
  EXPECT_FALSE(MoreToolsFrm.WinReminderChk.Value()) << "the page shows the reminder off";
  EXPECT_EQ(MoreToolsFrm.WinReminderTxt.Text(), "0");

  // A click into the period box, then the focus goes elsewhere and the page is left.
  SetForegroundWindow(InterfaceFrm.hwnd());
  PumpUntil([] { return GetForegroundWindow() == InterfaceFrm.hwnd(); });
  click(MoreToolsFrm.WinReminderTxt);
  ASSERT_TRUE(PumpUntil([] { return GetFocus() == MoreToolsFrm.WinReminderTxt.hwnd(); }));
  EXPECT_FALSE(MoreToolsFrm.WinReminderChk.Value()) << "a click is no tick";
  HWND other = CreateWindowExA(0, "EDIT", "", WS_OVERLAPPED | WS_VISIBLE, 0, 0, 100, 40, nullptr, nullptr, nullptr,
                               nullptr);
  ASSERT_TRUE(other);
  SetForegroundWindow(other);
  SetFocus(other);
  Settle();
  DestroyWindow(other);
  InterfaceFrm.Toolbar1.ClickButton("Quillon");
  EXPECT_EQ(WinReminder, 0);
  EXPECT_EQ(Option("Options", "WinReminder"), "0");
  // Ticking the box is what switches it on again.
  InterfaceFrm.Toolbar1.ClickButton("MoreTools");
  SetForegroundWindow(InterfaceFrm.hwnd());
  PumpUntil([] { return GetForegroundWindow() == InterfaceFrm.hwnd(); });
  click(MoreToolsFrm.WinReminderChk, 7);
  ASSERT_TRUE(PumpUntil([] { return MoreToolsFrm.WinReminderChk.Value(); }));
  InterfaceFrm.Toolbar1.ClickButton("Quillon");
  EXPECT_EQ(WinReminder, 60) << "a ticked period of 0 becomes 60";
}

// The longest preset as the reminder's message: every line of it shows, and the
// "Don't show" box below it reads whole.
TEST_F(MessagesTest, AReminderShowsItsWholeMessageAndBox) {
  RemindersMsgFrm.ShowFrm(0, "Windows Reminder (Every 1 minute(s))", kReminderPresets[0]);
  RECT label{};
  GetClientRect(RemindersMsgFrm.Label1.hwnd(), &label);
  EXPECT_GE(label.bottom, testsupport::WrappedTextHeight(RemindersMsgFrm.Label1.hwnd(), kReminderPresets[0],
                                                         label.right))
      << "the message is cut";
  std::string why;
  EXPECT_TRUE(testsupport::ButtonCaptionFits(RemindersMsgFrm.DontShowChk.hwnd(), &why)) << why;
  RECT text{}, box{}, ok{}, client{};
  GetWindowRect(RemindersMsgFrm.Label1.hwnd(), &text);
  GetWindowRect(RemindersMsgFrm.DontShowChk.hwnd(), &box);
  GetWindowRect(RemindersMsgFrm.OKButton.hwnd(), &ok);
  EXPECT_LE(text.bottom, box.top);
  EXPECT_LE(box.bottom, ok.top);
  GetClientRect(RemindersMsgFrm.hwnd(), &client);
  POINT corner{client.right, client.bottom};
  ClientToScreen(RemindersMsgFrm.hwnd(), &corner);
  EXPECT_LE(ok.bottom, corner.y) << "the buttons inside the window";
}

TEST_F(MessagesTest, FirstTimeValueTable) {
  struct Case {
    const char* value;
    bool on;
  };
  const Case cases[] = {{"True", true}, {"False", false}, {"false", false}, {"0", false}, {"-1", true},
                        {"abc", true},  {nullptr, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value ? c.value : "missing");
    CleanStore();
    if (c.value) SetOption("General", "MsgID-2", c.value);
    EXPECT_EQ(FirstTimeMessageOn(2), c.on);
  }
}

TEST_F(MessagesTest, TrackerBarMessageShownOnceTicked) {
  CleanStore();
  InterfaceFrm.Load();
  bool ownerDisabled = false, topMost = false;
  std::string caption, body, box;
  PostedAction answer([&] {
    ownerDisabled = !IsWindowEnabled(InterfaceFrm.hwnd());
    topMost = TopMost(FirstTimeFrm.hwnd());
    caption = WindowText(FirstTimeFrm.hwnd());
    body = WindowText(FirstTimeFrm.MsgBodyLbl.hwnd());
    box = WindowText(FirstTimeFrm.DontDisplayChk.hwnd());
    EXPECT_TRUE(IsWindowVisible(FirstTimeFrm.hwnd()));
    FirstTimeFrm.DontDisplayChk.SetValue(true);
    FirstTimeFrm.OKButton.PerformClick();
  });
  answer.Post();
  EXPECT_TRUE(FirstTimeFrm.ShowFirstTime(2, &InterfaceFrm));
  EXPECT_TRUE(answer.ran);
  EXPECT_TRUE(ownerDisabled);
  EXPECT_TRUE(topMost);
  EXPECT_EQ(caption, "Tracker Bar");
  EXPECT_EQ(body,
            "This is your first time to use Auto-Hide feature. The Tracker will now be hidden .To display it, simply "
            "put your mouse at the top of the screen and leave it for moments.");
  EXPECT_EQ(box, "Don't show this message again");
  EXPECT_FALSE(FirstTimeFrm.Loaded());
  EXPECT_TRUE(IsWindowEnabled(InterfaceFrm.hwnd()));
  EXPECT_EQ(Option("General", "MsgID-2"), "False");
  // Switched off: nothing is shown.
  PostedAction never([] { ADD_FAILURE() << "shown"; });
  EXPECT_FALSE(FirstTimeFrm.ShowFirstTime(2, &InterfaceFrm));
  EXPECT_FALSE(FirstTimeFrm.Loaded());
}

TEST_F(MessagesTest, PopUpMessageUntickedStaysOn) {
  CleanStore();
  std::string caption, body;
  PostedAction answer([&] {
    caption = WindowText(FirstTimeFrm.hwnd());
    body = WindowText(FirstTimeFrm.MsgBodyLbl.hwnd());
    FirstTimeFrm.OKButton.PerformClick();
  });
  answer.Post();
  EXPECT_TRUE(FirstTimeFrm.ShowFirstTime(1, &InterfaceFrm));
  EXPECT_EQ(caption, "Latchkey");
  EXPECT_EQ(body.rfind("This is your first time to use Quillon pop-up blocker, Latchkey.", 0), 0u);
  EXPECT_NE(body.find("You can also add the pop-up to the white list"), std::string::npos);
  EXPECT_EQ(Option("General", "MsgID-1"), testsupport::kMissing);
  EXPECT_TRUE(FirstTimeMessageOn(1));
}
