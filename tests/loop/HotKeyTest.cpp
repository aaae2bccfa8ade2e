// The two global hot keys as the loop serves them, the terminate-and-restart pause
// that Cancel can stop, and the pick mode, against real windows of other processes.
#include <gtest/gtest.h>

#include <aclapi.h>

#include <algorithm>
#include <functional>
#include <thread>

#include "CancelEvent.h"
#include "Fixture.h"
#include "Input.h"
#include "InterfaceFrm.h"
#include "LoopSeams.h"
#include "LoopTestSupport.h"
#include "Mainfrm.h"
#include "ModMain.h"
#include "ModMainLoop.h"
#include "ModProgInfo.h"
#include "ModSettings.h"
#include "ModStartup.h"
#include "Seams.h"
#include "UiWait.h"
#include "VbRules.h"

using namespace looptest;
using testsupport::Fixture;

namespace {

bool StartsWith(const std::string& text, const std::string& prefix) { return text.compare(0, prefix.size(), prefix) == 0; }

class HotKeyTest : public LoopTest {
 protected:
  void SetUp() override {
    LoopTest::SetUp();
    DestHK = {1, 3, 'D'};
  }
  // The cursor over the middle of a window; false when another window covers it there.
  bool PointAt(HWND window) {
    RECT r = {};
    GetWindowRect(window, &r);
    cursor = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    return WindowFromPoint(cursor) == window;
  }
  void PressDestHotKey() { PostMessageA(Mainfrm.hwnd(), WM_HOTKEY, kHotKeyId, MAKELPARAM(3, 'D')); }
  void PressCancel() { SendMessageA(CancelEvent.btnCancel.hwnd(), BM_CLICK, 0, 0); }
  bool ShowsTheKeysPause() const {
    return CancelEvent.Visible() && StartsWith(CancelEvent.lblCancel.Text(), "Terminating and restarting: ");
  }
  // Passes (the clock standing still) until `done`, as long as a slow machine needs.
  bool PassUntil(const std::function<bool()>& done) {
    return testsupport::PumpUntil([&] {
      Pass();
      return done();
    }, 10000);
  }
};

// The pauses are the loop's own time stamps: each pass returns at once, the loop
// sleeps no longer than the time left, and the program's windows answer meanwhile.
TEST_F(HotKeyTest, TheTerminateKeyEndsTheProgramUnderTheCursorAndStartsItAgain) {
  Fixture target({"topmost", "Quillon restart target"});
  ASSERT_TRUE(target.Started());
  ASSERT_TRUE(PointAt(target.hwnd()));
  PressDestHotKey();
  Pass();
  EXPECT_TRUE(ShowsTheKeysPause()) << CancelEvent.lblCancel.Text();
  EXPECT_EQ(NextTaskDelay(), 800u) << "the loop wakes when the pause is over";
  now += 799;
  Pass();
  EXPECT_EQ(WaitForSingleObject(target.process(), 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "ended inside the pause";
  EXPECT_EQ(NextTaskDelay(), 1u);

  now += 1;
  ASSERT_TRUE(PassUntil([&] { return WaitForSingleObject(target.process(), 0) == WAIT_OBJECT_0; }))
      << "the program was not ended: " << CancelEvent.lblCancel.Text();
  // The end is seen on a later pass; the start again waits 400 ms after it.
  ASSERT_TRUE(PassUntil([&] { return NextTaskDelay() == 400u; }));
  now += 399;
  Pass();
  EXPECT_TRUE(launched.empty()) << "started again inside the pause after the end";
  EXPECT_TRUE(ShowsTheKeysPause());
  now += 1;
  Pass();
  ASSERT_EQ(launched.size(), 1u);
  EXPECT_EQ(vb::LCase(launched[0].file), vb::LCase(testsupport::FixturePath()));
  EXPECT_EQ(launched[0].show, SW_SHOWNORMAL);
  EXPECT_TRUE(sleeps.empty()) << "the thread slept";
  EXPECT_FALSE(CancelEvent.Visible());
  EXPECT_FALSE(CancelFlag);
  EXPECT_FALSE(IsExiting);
  now += 5000;
  Pass();
  EXPECT_EQ(launched.size(), 1u) << "started once";
}

// The user reloads the lists (F5: a walk of every process), starts a program and
// presses the key over it within the second: the walk the key asks for is refused by
// then, and the table does not know the program. The key still names, ends and starts
// it again; so does the pick mode, begun before the program was there.
TEST_F(HotKeyTest, AProgramStartedJustAfterAWalkIsFoundUnderTheCursor) {
  InterfaceFrm.Toolbar1.ClickButton("Quillon");
  InterfaceFrm.Show();
  PostMessageA(Mainfrm.AppLst.hwnd(), WM_KEYDOWN, VK_F5, 1);
  ASSERT_TRUE(testsupport::PumpUntil([] { return Mainfrm.Refreshing; }, 5000));
  ASSERT_TRUE(testsupport::PumpUntil([] { return !Mainfrm.Refreshing; }, 20000));
  ASSERT_EQ(LastProcWalkTick, now) << "F5 walks every process";
  InterfaceFrm.Hide();
  StartTermRestartMode();

  Fixture target({"topmost", "Quillon restart target"});
  ASSERT_TRUE(target.Started());
  ASSERT_TRUE(PointAt(target.hwnd()));
  const std::string path = vb::LCase(testsupport::FixturePath());
  now += 300;
  Pass();
  EXPECT_TRUE(StartsWith(CancelEvent.lblCancel.Text(), "Press CTRL+ALT+'D' to Terminate and restart:  (Responding) "))
      << CancelEvent.lblCancel.Text();
  EXPECT_EQ(ProcResultPath, path) << "the pick mode names the program under the cursor";

  now += 300;
  PressDestHotKey();
  Pass();
  std::string expected = "Terminating and restarting: " + path;
  if (expected.size() > CancelEventForm::kMaxCaption) expected = expected.substr(0, 98) + " ...";
  EXPECT_EQ(CancelEvent.lblCancel.Text(), expected);
  now += 800;
  ASSERT_TRUE(PassUntil([&] { return WaitForSingleObject(target.process(), 0) == WAIT_OBJECT_0; }))
      << "the program was not ended: " << CancelEvent.lblCancel.Text();
  ASSERT_TRUE(PassUntil([&] {
    now += 50;
    return !launched.empty();
  }));
  EXPECT_EQ(vb::LCase(launched[0].file), path);
  EXPECT_FALSE(CancelEvent.Visible());
}

// A window whose program cannot be read: the user is told so at once, nothing is
// ended or started, and the line goes after a while or at Cancel.
TEST_F(HotKeyTest, AWindowWhoseProgramCannotBeReadIsToldAndNothingEnds) {
  Fixture target({"topmost", "Quillon restart target"});
  ASSERT_TRUE(target.Started());
  // Its process refuses to be opened by anyone, this program too.
  ACL none = {};
  ASSERT_TRUE(InitializeAcl(&none, sizeof none, ACL_REVISION));
  ASSERT_EQ(SetSecurityInfo(target.process(), SE_KERNEL_OBJECT,
                            DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, nullptr, nullptr, &none,
                            nullptr),
            static_cast<DWORD>(ERROR_SUCCESS));
  if (HANDLE opened = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, target.pid())) {
    CloseHandle(opened);
    GTEST_SKIP() << "the platform opens the process despite its empty access list";
  }
  ASSERT_TRUE(PointAt(target.hwnd()));
  const std::string notFound = "No program found for the window under the cursor: nothing was ended.";
  for (bool cancel : {false, true}) {
    SCOPED_TRACE(cancel ? "closed by Cancel" : "left to go by itself");
    PressDestHotKey();
    Pass();
    EXPECT_TRUE(CancelEvent.Visible());
    EXPECT_EQ(CancelEvent.lblCancel.Text(), notFound);
    now += 2999;
    Pass();
    EXPECT_EQ(CancelEvent.Visible(), true) << "the user has the time to read it";
    if (cancel) {
      PressCancel();
    } else {
      now += 1;
    }
    Pass();
    EXPECT_FALSE(CancelEvent.Visible());
    EXPECT_FALSE(CancelFlag);
  }
  EXPECT_EQ(WaitForSingleObject(target.process(), 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "still running";
  EXPECT_TRUE(launched.empty());
  EXPECT_FALSE(IsExiting);
}

// Cancel at any moment of the pause, also at its last tick, ends nothing; a second
// press of the key during the pause is not kept for later.
TEST_F(HotKeyTest, CancelDuringThePauseEndsNothing) {
  Fixture target({"topmost", "Quillon restart target"});
  ASSERT_TRUE(target.Started());
  ASSERT_TRUE(PointAt(target.hwnd()));
  for (DWORD cancelAt : {0u, 400u, 799u}) {
    SCOPED_TRACE(cancelAt);
    PressDestHotKey();
    Pass();
    ASSERT_TRUE(ShowsTheKeysPause());
    now += cancelAt;
    PressDestHotKey();
    Pass();
    PressCancel();
    now += 1;
    Pass();
    EXPECT_FALSE(CancelEvent.Visible());
    EXPECT_FALSE(CancelFlag);
    now += 5000;
    Pass();
    Pass();
    EXPECT_FALSE(CancelEvent.Visible()) << "the second press started a second pause";
    EXPECT_EQ(WaitForSingleObject(target.process(), 300), static_cast<DWORD>(WAIT_TIMEOUT)) << "still running";
    EXPECT_TRUE(launched.empty());
  }
}

// The pause is the program's own: while it lasts, a click on Cancel is answered at
// once (the tray, the hot keys and every window with it), not when the pause ends.
TEST_F(HotKeyTest, ThePauseAnswersCancelAtOnce) {
  Fixture target({"topmost", "Quillon restart target"});
  ASSERT_TRUE(target.Started());
  ASSERT_TRUE(PointAt(target.hwnd()));
  seams::TickCountFn = GetTickCount;  // the loop waits as it does for the user
  DWORD answeredMs = 0;
  BOOL answered = FALSE;
  std::thread user([&] {
    const DWORD start = GetTickCount();
    while (!StartsWith(CancelEvent.lblCancel.Text(), "Terminating and restarting: ") && GetTickCount() - start < 10000)
      Sleep(5);
    Sleep(100);  // well inside the pause
    const DWORD asked = GetTickCount();
    DWORD_PTR result = 0;
    answered = SendMessageTimeoutA(CancelEvent.btnCancel.hwnd(), BM_CLICK, 0, 0, SMTO_NORMAL, 2000, &result) != 0;
    answeredMs = GetTickCount() - asked;
  });
  PressDestHotKey();
  const DWORD start = GetTickCount();
  do MainLoopPass(true);
  while (GetTickCount() - start < 2500 && !(answered && !CancelEvent.Visible()));
  user.join();
  EXPECT_TRUE(answered);
  EXPECT_LT(answeredMs, 300u) << "the click waited for the pause to end";
  EXPECT_FALSE(CancelEvent.Visible());
  EXPECT_EQ(WaitForSingleObject(target.process(), 300), static_cast<DWORD>(WAIT_TIMEOUT)) << "cancelled: still running";
  EXPECT_TRUE(launched.empty());
  EXPECT_TRUE(sleeps.empty());
}

TEST_F(HotKeyTest, AimedAtTheProgramItselfItQuitsTheNormalWay) {
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  AppExePath = self;
  HWND own = CreateWindowExA(WS_EX_TOPMOST, "EDIT", "own window", WS_POPUP | WS_VISIBLE | WS_BORDER, 600, 50,
                             200, 100, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(own);
  ASSERT_TRUE(PointAt(own));
  PressDestHotKey();
  Pass();
  EXPECT_FALSE(IsExiting) << "before the pause is over";
  now += 800;
  Pass();
  EXPECT_TRUE(IsExiting);
  EXPECT_FALSE(CancelEvent.Visible());
  EXPECT_TRUE(launched.empty());
  EXPECT_TRUE(IsWindow(own));
  DestroyWindow(own);
}

// In the pick mode the status line follows the cursor until the key is pressed; from
// then on it names the program being ended, wherever the cursor goes.
TEST_F(HotKeyTest, ThePickModeLeavesTheKeysLineAloneDuringThePause) {
  Fixture target({"topmost", "Quillon restart target"});
  ASSERT_TRUE(target.Started());
  StartTermRestartMode();
  ASSERT_TRUE(PointAt(target.hwnd()));
  Pass();
  ASSERT_TRUE(StartsWith(CancelEvent.lblCancel.Text(), "Press CTRL+ALT+'D'")) << CancelEvent.lblCancel.Text();
  PressDestHotKey();
  Pass();
  const std::string keysLine = CancelEvent.lblCancel.Text();
  EXPECT_TRUE(ShowsTheKeysPause()) << keysLine;
  cursor = {5, 5};
  now += 400;
  Pass();
  EXPECT_EQ(CancelEvent.lblCancel.Text(), keysLine);
  PressCancel();
  Pass();
  EXPECT_FALSE(TermRestartMode);
  EXPECT_FALSE(CancelEvent.Visible());
  now += 1000;
  Pass();
  EXPECT_EQ(WaitForSingleObject(target.process(), 300), static_cast<DWORD>(WAIT_TIMEOUT)) << "still running";
}

TEST_F(HotKeyTest, EachKeyIsServedByItsOwnWindowEvenWhenTheListsPageIsAChild) {
  InterfaceFrm.Toolbar1.ClickButton("Quillon");
  ASSERT_EQ(GetParent(Mainfrm.hwnd()), InterfaceFrm.hwnd()) << "the lists page is the frame's child";

  // The platform hands a child's message to a filter on its parent: a loop that told
  // the keys apart by that filter would take this key for the show-window key.
  PostMessageA(Mainfrm.hwnd(), WM_HOTKEY, kHotKeyId, 0);
  MSG peeked = {};
  ASSERT_TRUE(PeekMessageA(&peeked, InterfaceFrm.hwnd(), WM_HOTKEY, WM_HOTKEY, PM_NOREMOVE));
  EXPECT_EQ(peeked.hwnd, Mainfrm.hwnd());

  cursor = {5, 5};
  Pass();
  EXPECT_TRUE(ShowsTheKeysPause()) << "the terminate key runs its pause";
  EXPECT_FALSE(InterfaceFrm.Visible()) << "and did not show the frame";
  PressCancel();
  Pass();

  // The show-window key, also when another pump dispatched it to the frame.
  SendMessageA(InterfaceFrm.hwnd(), WM_HOTKEY, kHotKeyId, 0);
  Pass();
  EXPECT_TRUE(InterfaceFrm.Visible());
  EXPECT_FALSE(CancelEvent.Visible());
}

TEST_F(HotKeyTest, ShowingTheFrameTheFirstTimeOpensTheListsPage) {
  RefreshInterval = 4;
  LastRefreshTick = now - 100000;
  PostMessageA(InterfaceFrm.hwnd(), WM_HOTKEY, kHotKeyId, 0);
  Pass();
  ASSERT_TRUE(InterfaceFrm.Visible());
  EXPECT_TRUE(FirstShowDone);
  EXPECT_TRUE(InterfaceFrm.Toolbar1.Value("Quillon"));
  EXPECT_TRUE(Mainfrm.Visible());
  EXPECT_EQ(InterfaceFrm.Caption(), "Quillon Pro - Task Manager");
  EXPECT_EQ(LastRefreshTick, now) << "the next automatic refresh waits a full interval";
}

// Ctrl+Alt+E as the user presses it: the pass that takes the key puts the frame up on
// the lists page, and the page's rows follow once the frame has come to the front.
TEST_F(HotKeyTest, TheTypedKeyShowsTheFrameAtOnceAndTheListsRowsFollow) {
  Fixture program({"plain", "Quillon shown-frame witness"});
  ASSERT_TRUE(program.Started());
  ASSERT_TRUE(RegisterHotKey(InterfaceFrm.hwnd(), kHotKeyId, MOD_CONTROL | MOD_ALT, 'E'));
  RefreshInterval = 4;
  testsupport::PressKey('E', 2 | 4);
  ASSERT_TRUE(PassUntil([] { return InterfaceFrm.Visible(); })) << "the key reached the loop";
  EXPECT_TRUE(Mainfrm.Visible());
  EXPECT_EQ(GetParent(Mainfrm.hwnd()), InterfaceFrm.hwnd());
  EXPECT_EQ(InterfaceFrm.Caption(), "Quillon Pro - Task Manager");
  // One mark in the Tools menu, on the lists page.
  for (int i = 0; i < 6; ++i) EXPECT_EQ(InterfaceFrm.mnuTools[i]->Checked(), i == 0) << i;

  const std::string witness = vb::UCase(testsupport::BinDir() + "\\fixture.exe");
  auto listed = [&] {
    for (int i = 0; i < Mainfrm.AppLst.ItemCount(); ++i)
      if (vb::UCase(Mainfrm.AppLst.Key(i)) == witness) return true;
    return false;
  };
  ASSERT_TRUE(testsupport::PumpUntil([&] { return GetForegroundWindow() == InterfaceFrm.hwnd() && listed(); }, 10000))
      << "foreground " << testsupport::WindowText(GetForegroundWindow()) << ", " << Mainfrm.AppLst.ItemCount() << " rows";
  EXPECT_TRUE(IsWindowVisible(Mainfrm.AppLst.hwnd()));
  InterfaceFrm.Hide();
}

TEST_F(HotKeyTest, ThePickModeNamesTheWindowUnderTheCursorUntilCancelled) {
  // Two programs at the same place, the answering one on top.
  Fixture hung({"hung", "Quillon pick hung"});
  Fixture answering({"topmost", "Quillon pick answering"});
  InterfaceFrm.Show();
  StartTermRestartMode();
  EXPECT_TRUE(TermRestartMode);
  EXPECT_EQ(DestHKText, "CTRL+ALT+'D'");
  EXPECT_TRUE(CancelEvent.Visible());
  EXPECT_FALSE(InterfaceFrm.Visible());
  StartTermRestartMode();  // already on: nothing changes
  EXPECT_TRUE(TermRestartMode);

  const std::string prefix = "Press CTRL+ALT+'D' to Terminate and restart:  (";
  ASSERT_TRUE(PointAt(answering.hwnd()));
  Pass();
  const std::string shown = CancelEvent.lblCancel.Text();
  EXPECT_EQ(vb::LCase(ProcResultPath), vb::LCase(testsupport::FixturePath()));
  std::string expected = prefix + "Responding) " + ProcResultPath;
  if (expected.size() > 102) expected = expected.substr(0, 98) + " ...";  // the status line's cut
  EXPECT_EQ(shown, expected);
  EXPECT_EQ(LastHoverWnd, answering.hwnd());
  CancelEvent.lblCancel.SetText("");
  Pass();
  EXPECT_EQ(CancelEvent.lblCancel.Text(), "") << "the same window is not probed again";

  // The answering window moves aside: the one that does not answer is under the cursor.
  SetWindowPos(answering.hwnd(), nullptr, 500, 400, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ASSERT_TRUE(PointAt(hung.hwnd()));
  Pass();
  EXPECT_TRUE(StartsWith(CancelEvent.lblCancel.Text(), prefix + "Not Responding) ")) << CancelEvent.lblCancel.Text();
  EXPECT_EQ(LastHoverWnd, hung.hwnd());

  SendMessageA(CancelEvent.btnCancel.hwnd(), BM_CLICK, 0, 0);
  Pass();
  EXPECT_FALSE(TermRestartMode);
  EXPECT_EQ(LastHoverWnd, nullptr);
  EXPECT_FALSE(CancelFlag);
  EXPECT_FALSE(CancelEvent.Visible());
  EXPECT_TRUE(launched.empty()) << "nothing was ended";
}

}  // namespace
