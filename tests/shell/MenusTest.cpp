// The frame's menus read back from the real menu bar, their shortcuts as real keys,
// their commands, the drop-downs and the Open dialog.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CancelEvent.h"
#include "ConInfoFrm.h"
#include "InterfaceFrm.h"
#include "Input.h"
#include "Logfrm.h"
#include "LoopSeams.h"
#include "Mainfrm.h"
#include "ModConInfo.h"
#include "ModExitWin.h"
#include "ModMain.h"
#include "ModMainLoop.h"
#include "ModSettings.h"
#include "ModStartup.h"
#include "Seams.h"
#include "ShellTestSupport.h"
#include "UiWait.h"

using shelltest::FrameTest;
using shelltest::MenuCaptions;
using shelltest::MenuWatcher;
using testsupport::PressKey;
using testsupport::PumpUntil;
using Items = std::vector<std::string>;

namespace {

HMENU Bar() { return GetMenu(InterfaceFrm.hwnd()); }

TEST_F(FrameTest, TheMenuBarReadsBackWithCaptionsShortcutsChecksAndGreyItems) {
  IsWinNTFlag = true;
  EXPECT_EQ(MenuCaptions(Bar()), (Items{"&Main", "&Tools", "&Settings", "&Logs", "&Help"}));
  EXPECT_EQ(MenuCaptions(GetSubMenu(Bar(), 0)),
            (Items{"&Run", "-", "&Block Pop-Up's", "Block &Messenger Spam", "-", "Show/Hide Trac&ker bar",
                   "&Terminate and Restart....\tCtrl+T", "Launch All &Internet Programs\tCtrl+I",
                   "&Programs Details...", "&Shut Down", "-", "&Options...", "Refresh\tF5", "-", "&Exit"}))
      << "Open and About only in the tray's menu";
  EXPECT_EQ(MenuCaptions(GetSubMenu(GetSubMenu(Bar(), 0), 9)),
            (Items{"&Exit Windows by Force", "Exit &Windows", "-", "&Reboot by Force", "Re&boot", "-",
                   "&Log Off by Force", "Log &Off"}));
  EXPECT_EQ(MenuCaptions(GetSubMenu(Bar(), 1)),
            (Items{"&Task Manager", "&System Performance", "&Pop-up Blocker", "&Internet Connection Monitor",
                   "Process &CPU Usage", "&Mini Tools"}));
  EXPECT_TRUE(GetMenuState(GetSubMenu(Bar(), 1), 0, MF_BYPOSITION) & MF_CHECKED) << "the page shown";
  EXPECT_EQ(MenuCaptions(GetSubMenu(Bar(), 2)),
            (Items{"Update &Speed", "-", "Always On &Top", "-", "Enable &Pop-up blocker on startup",
                   "Enable &Messenger blocker on startup"}));
  EXPECT_EQ(MenuCaptions(GetSubMenu(GetSubMenu(Bar(), 2), 0)), (Items{"&High", "&Normal", "&Slow", "&Paused"}));
  EXPECT_EQ(MenuCaptions(GetSubMenu(Bar(), 3)),
            (Items{"&Open...\tCtrl+L", "-", "S&tart Monitoring Running Tasks", "&Pause\tCtrl+P", "&Stop\tCtrl+S"}));
  HMENU logs = GetSubMenu(Bar(), 3);
  EXPECT_FALSE(GetMenuState(logs, 0, MF_BYPOSITION) & MF_GRAYED);
  EXPECT_TRUE(GetMenuState(logs, 3, MF_BYPOSITION) & MF_GRAYED);
  EXPECT_TRUE(GetMenuState(logs, 4, MF_BYPOSITION) & MF_GRAYED);
  EXPECT_EQ(MenuCaptions(GetSubMenu(Bar(), 4)),
            (Items{"Quillon &Help\tF1", "&Visit Quillon Website", "Check Updates ...", "-", "&About Quillon"}));
}

TEST_F(FrameTest, ShortcutKeysReachTheirCommandsAlsoFromAPagesControl) {
  int pauses = 0;
  InterfaceFrm.mnuLog[3]->Click = [&] { ++pauses; };
  InterfaceFrm.mnuLog[4]->Click = [&] { ++pauses; };
  for (bool inPage : {false, true}) {
    SCOPED_TRACE(inPage ? "focus in the lists page" : "focus on the frame");
    ShowInterfaceFrm();
    SetForegroundWindow(InterfaceFrm.hwnd());
    ASSERT_TRUE(PumpUntil([] { return GetForegroundWindow() == InterfaceFrm.hwnd(); }));
    if (inPage) {
      Mainfrm.AppLst.SetFocus();
      ASSERT_EQ(GetFocus(), Mainfrm.AppLst.hwnd());
    } else {
      SetFocus(InterfaceFrm.hwnd());
    }

    Mainfrm.FastRef = true;
    PressKey(VK_F5);
    EXPECT_TRUE(PumpUntil([] { return !Mainfrm.FastRef; })) << "F5 runs Refresh";

    PressKey('P', 2);
    PressKey('S', 2);
    Settle();
    EXPECT_EQ(pauses, 0) << "disabled items";

    shown.clear();
    PressKey('I', 2);
    EXPECT_TRUE(PumpUntil([&] { return !shown.empty(); })) << "Ctrl+I launches the Internet programs";

    PressKey('L', 2);
    EXPECT_TRUE(PumpUntil([] { return Logfrm.Visible(); })) << "Ctrl+L opens the logs";
    Logfrm.Hide();
    InterfaceFrm.Toolbar1.ClickButton("Quillon");

    ShowInterfaceFrm();
    SetForegroundWindow(InterfaceFrm.hwnd());
    PumpUntil([] { return GetForegroundWindow() == InterfaceFrm.hwnd(); });
    if (inPage) Mainfrm.AppLst.SetFocus();
    PressKey('T', 2);
    EXPECT_TRUE(PumpUntil([] { return TermRestartMode; })) << "Ctrl+T starts the pick mode";
    TermRestartMode = false;
    CancelEvent.Hide();
  }
  // Enabled, the same keys reach their items.
  InterfaceFrm.mnuLog[3]->SetEnabled(true);
  ShowInterfaceFrm();
  SetForegroundWindow(InterfaceFrm.hwnd());
  PumpUntil([] { return GetForegroundWindow() == InterfaceFrm.hwnd(); });
  PressKey('P', 2);
  EXPECT_TRUE(PumpUntil([&] { return pauses == 1; }));
  InterfaceFrm.mnuLog[3]->SetEnabled(false);
}

TEST_F(FrameTest, UpdateSpeedAndAlwaysOnTop) {
  InterfaceFrm.mnuSettingsUpdateSpd_Click(2);
  EXPECT_EQ(UpdateSpeed, 2);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(InterfaceFrm.mnuSettingsUpdateSpd[i]->Checked(), i == 2);

  ASSERT_FALSE(InterfaceFrm.mnuSettingsTop->Checked());
  InterfaceFrm.mnuSettingsTop_Click();
  EXPECT_TRUE(InterfaceFrm.mnuSettingsTop->Checked());
  EXPECT_TRUE(GetWindowLongPtrA(InterfaceFrm.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  InterfaceFrm.mnuSettingsTop_Click();
  EXPECT_FALSE(GetWindowLongPtrA(InterfaceFrm.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(FrameTest, StartUpItemsAreStoredAndLeaveTheRunningStateAlone) {
  BlockPopUps = false;
  BlockMessenger = true;
  InterfaceFrm.mnuSettingsPopBlock->SetChecked(false);
  InterfaceFrm.mnuSettingsMsgBlock->SetChecked(true);
  InterfaceFrm.mnuSettingsPopBlock_Click();
  InterfaceFrm.mnuSettingsMsgBlock_Click();
  EXPECT_EQ(looptest::Option("MoreTools", "BlockPopUps"), "True");
  EXPECT_EQ(looptest::Option("MoreTools", "BlockMessenger"), "False");
  EXPECT_FALSE(BlockPopUps);
  EXPECT_TRUE(BlockMessenger);
  EXPECT_TRUE(launched.empty()) << "the messenger service is not touched";
  InterfaceFrm.mnuSettingsPopBlock_Click();
  EXPECT_EQ(looptest::Option("MoreTools", "BlockPopUps"), "False");
}

TEST_F(FrameTest, TheTwoSwitchesChangeTheRunningStateOnly) {
  BlockPopUps = false;
  InterfaceFrm.mnuFileBlock_Click();
  EXPECT_TRUE(BlockPopUps);
  EXPECT_TRUE(InterfaceFrm.mnuFileBlock->Checked());
  EXPECT_TRUE(CancelEvent.Loaded()) << "the hook's window is loaded to install the hook";
  InterfaceFrm.mnuFileBlock_Click();
  EXPECT_FALSE(BlockPopUps);
  EXPECT_FALSE(InterfaceFrm.mnuFileBlock->Checked());

  BlockMessenger = false;
  InterfaceFrm.mnuFileBlockMsg_Click();
  InterfaceFrm.mnuFileBlockMsg_Click();
  ASSERT_EQ(launched.size(), 2u);
  EXPECT_EQ(launched[0].file, "net");
  EXPECT_EQ(launched[0].parameters, "stop messenger");
  EXPECT_EQ(launched[0].show, SW_HIDE);
  EXPECT_EQ(launched[1].parameters, "start messenger");
  EXPECT_FALSE(InterfaceFrm.mnuFileBlockMsg->Checked());
  EXPECT_EQ(looptest::Option("MoreTools", "BlockPopUps"), looptest::kMissing);
  EXPECT_EQ(looptest::Option("MoreTools", "BlockMessenger"), looptest::kMissing);
}

TEST_F(FrameTest, LaunchAllWithNoProgramsOpensTheirTab) {
  InterfaceFrm.Hide();
  InterfaceFrm.mnuFileLaunchAll_Click();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text,
            "You didn't specify any Internet programs, please add your favourite Internet programs");
  EXPECT_EQ(shown[0].style, static_cast<UINT>(MB_ICONINFORMATION));
  EXPECT_EQ(shown[0].owner, InterfaceFrm.hwnd());
  EXPECT_TRUE(InterfaceFrm.Visible());
  EXPECT_TRUE(InterfaceFrm.Toolbar1.Value("ConInfo"));
  EXPECT_TRUE(ConInfoFrm.Visible());
  EXPECT_EQ(ConInfoFrm.SSTab1.Tab(), 1);
}

TEST_F(FrameTest, LaunchAllStartsTheStoredProgramsWhateverPageIsShown) {
  const std::string program = testsupport::BinDir() + "\\no-such-program-running.exe";
  SaveSetting(ProgramTitle, "Internet", "IntProg1", program + ";1");
  SaveSetting(ProgramTitle, "Internet", "IntProg2", program + "-skipped;0");
  IntProgCount = 2;
  InterfaceFrm.Toolbar1.ClickButton("Performance");  // the connection page is hidden now
  ASSERT_FALSE(ConInfoFrm.Visible());
  InterfaceFrm.mnuFileLaunchAll_Click();
  // The starts go on while the program runs: the pause after each is a timer's.
  ASSERT_TRUE(testsupport::PumpUntil([] { return !ConInfoFrm.LaunchingAll(); }, 10000));
  EXPECT_TRUE(shown.empty()) << (shown.empty() ? "" : shown[0].text);
  // Every listed program, the disabled one too: only the start on connect honours the state.
  ASSERT_EQ(launched.size(), 2u);
  EXPECT_EQ(launched[0].file, program);
  EXPECT_EQ(launched[1].file, program + "-skipped");
}

struct ShutCase {
  int index;
  const char* prompt;
  int flags;
};

const ShutCase kShutCases[] = {
    {0, "System will shutdown after: ", EWX_SHUTDOWN | EWX_FORCE}, {1, "System will shutdown after: ", EWX_SHUTDOWN},
    {3, "System will reboot after: ", EWX_REBOOT | EWX_FORCE},      {4, "System will reboot after: ", EWX_REBOOT},
    {6, "System will log off after: ", EWX_LOGOFF | EWX_FORCE},     {7, "System will log off after: ", EWX_LOGOFF},
};

TEST_F(FrameTest, EachShutDownItemCountsDownThenEndsTheSessionWithItsFlags) {
  for (const ShutCase& c : kShutCases) {
    SCOPED_TRACE(c.index);
    IsExiting = false;
    std::vector<std::string> labels;
    seams::TickCountFn = [&] {
      labels.push_back(CancelEvent.lblCancel.Text());
      return now += 1000;
    };
    std::vector<UINT> asked;
    loopseams::ExitWindowsFn = [&](UINT flags, DWORD) {
      asked.push_back(flags);
      return TRUE;
    };
    InterfaceFrm.mnuShutDown_Click(c.index);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0] & ~static_cast<UINT>(EWX_FORCEIFHUNG), static_cast<UINT>(c.flags));
    EXPECT_NE(std::find(labels.begin(), labels.end(), std::string(c.prompt) + "4"), labels.end());
    EXPECT_TRUE(IsExiting);
    EXPECT_FALSE(CancelEvent.Visible());
  }
  IsExiting = false;
}

TEST_F(FrameTest, CancellingTheCountdownEndsNothing) {
  // Static: the seam outlives this body (a timed refresh can still ask the clock while
  // the test is torn down), and a count on the stack would then be written over.
  static int ticks;
  ticks = 0;
  seams::TickCountFn = [this] {
    if (++ticks == 2) CancelFlag = true;  // the user's Cancel
    return now;
  };
  loopseams::ExitWindowsFn = [](UINT, DWORD) {
    ADD_FAILURE() << "the session was ended";
    return FALSE;
  };
  for (const ShutCase& c : kShutCases) {
    ticks = 0;
    InterfaceFrm.mnuShutDown_Click(c.index);
  }
  EXPECT_FALSE(IsExiting);
  EXPECT_TRUE(InterfaceFrm.Visible());
}

TEST_F(FrameTest, RestartInDosSaysWhenItsFileIsMissingAndStartsItOtherwise) {
  seams::TickCountFn = [&] { return now += 1000; };
  const std::string pif = GetExitToDosPif();
  DeleteFileA(pif.c_str());
  InterfaceFrm.mnuShutDown_Click(9);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, "Cannot find " + pif + "\n\nPlease make sure this file is in your Windows directory");
  EXPECT_EQ(shown[0].style, static_cast<UINT>(MB_ICONSTOP));
  EXPECT_TRUE(launched.empty());

  HANDLE file = CreateFileA(pif.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
  InterfaceFrm.mnuShutDown_Click(9);
  DeleteFileA(pif.c_str());
  ASSERT_EQ(launched.size(), 1u);
  EXPECT_EQ(launched[0].file, pif);
  EXPECT_EQ(launched[0].show, SW_SHOWNORMAL);
  EXPECT_FALSE(IsExiting);
}

TEST_F(FrameTest, TheExitQuestionEndsOnlyOnYes) {
  answer = [](const looptest::ShownMessage&) { return IDNO; };
  InterfaceFrm.mnuFileExit_Click();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].style, 292u);
  EXPECT_EQ(shown[0].text,
            "Quillon Pro needs to be always running to detect and monitor accurate Internet Connection information "
            "and block pop-ups. Are you still sure you want to exit?");
  EXPECT_FALSE(IsExiting);
  EXPECT_TRUE(InterfaceFrm.Visible());
  answer = [](const looptest::ShownMessage&) { return IDYES; };
  InterfaceFrm.MainTbl[2].ClickButton("Exit");
  EXPECT_TRUE(IsExiting);
  EXPECT_FALSE(InterfaceFrm.Visible());
  IsExiting = false;
}

TEST_F(FrameTest, MenusDropDownUnderTheirButtons) {
  struct Drop {
    std::function<void()> open;
    ui::ButtonBar* bar;  // the button that stays pressed while its menu is down
    RECT button;
    Items first;
  };
  auto buttonRect = [](ui::ButtonBar& bar, const char* key) {
    RECT r = bar.ButtonRect(bar.IndexOf(key));
    MapWindowPoints(bar.hwnd(), nullptr, reinterpret_cast<POINT*>(&r), 2);
    r.bottom = r.top + bar.GetBounds().height;
    return r;
  };
  auto arrowRect = [](ui::PictureBox& arrow) {
    RECT r;
    GetWindowRect(arrow.hwnd(), &r);
    r.bottom += 80 / 15;
    return r;
  };
  const Drop drops[] = {
      {[] { InterfaceFrm.MainTbl[0].ClickButton("Shut"); }, &InterfaceFrm.MainTbl[0], buttonRect(InterfaceFrm.MainTbl[0], "Shut"),
       {"&Exit Windows by Force", "Exit &Windows"}},
      {[] { InterfaceFrm.MainTbl[1].ClickButton("Settings"); }, &InterfaceFrm.MainTbl[1], buttonRect(InterfaceFrm.MainTbl[1], "Settings"),
       {"Update &Speed", "-"}},
      {[] { InterfaceFrm.DownBtn[0].Click(); }, nullptr, arrowRect(InterfaceFrm.DownBtn[0]), {"&Open...\tCtrl+L", "-"}},
      {[] { InterfaceFrm.DownBtn[1].Click(); }, nullptr, arrowRect(InterfaceFrm.DownBtn[1]),
       {"Quillon &Help\tF1", "&Visit Quillon Website"}},
  };
  for (const Drop& d : drops) {
    SCOPED_TRACE(d.first[0]);
    bool pressedWhileShown = false;
    const int command = d.bar ? 100 + d.bar->IndexOf(d.bar == &InterfaceFrm.MainTbl[0] ? "Shut" : "Settings") : 0;
    MenuWatcher watcher({VK_ESCAPE}, [&] {
      if (d.bar) pressedWhileShown = SendMessageA(d.bar->hwnd(), TB_ISBUTTONCHECKED, command, 0) != 0;
    });
    d.open();
    const shelltest::ShownMenu& menu = watcher.Wait();
    ASSERT_TRUE(menu.seen);
    ASSERT_GE(menu.items.size(), 2u);
    EXPECT_EQ(Items(menu.items.begin(), menu.items.begin() + 2), d.first);
    EXPECT_EQ(menu.rect.left, d.button.left);
    EXPECT_EQ(menu.rect.top, d.button.bottom);
    if (d.bar) {
      EXPECT_TRUE(pressedWhileShown) << "the button is pressed while its menu is down";
    }
  }
  EXPECT_FALSE(InterfaceFrm.MainTbl[0].Value("Shut")) << "released when the menu closed";
  EXPECT_FALSE(InterfaceFrm.MainTbl[1].Value("Settings"));
}

TEST_F(FrameTest, TheOpenDialogAnswersTheFilePickedOrNothing) {
  static std::string path = testsupport::BinDir() + "\\fixture.exe";
  InterfaceFrm.CD1.Filter = "Programs (*.exe)|*.exe|All Files (*.*)|*.*";
  InterfaceFrm.CD1.DialogTitle = "Pick a program";
  HANDLE helper = testsupport::AnswerFileDialog("Pick a program", path.c_str());
  const auto chosen = InterfaceFrm.CD1.ShowOpen(InterfaceFrm.hwnd());
  EXPECT_TRUE(testsupport::FileDialogAnswered(helper));
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(_stricmp(chosen->c_str(), path.c_str()), 0) << *chosen;
  EXPECT_EQ(InterfaceFrm.CD1.FileName, *chosen);

  helper = testsupport::AnswerFileDialog("Pick a program", nullptr);
  EXPECT_FALSE(InterfaceFrm.CD1.ShowOpen(InterfaceFrm.hwnd()).has_value());
  EXPECT_TRUE(testsupport::FileDialogAnswered(helper));
}

}  // namespace
