// Closing windows, ending their programs and bringing them to the front, on fixture
// processes under Wine.
#include <gtest/gtest.h>
#include <windows.h>

#include "ModProgInfo.h"
#include "ModWndOpr.h"
#include "Seams.h"
#include "UiWait.h"
#include "WndTestSupport.h"

namespace {

using namespace wndtest;

class WndActionsTest : public WndTest {};

bool Running(HANDLE process) { return WaitForSingleObject(process, 0) == WAIT_TIMEOUT; }
bool Ended(HANDLE process) { return WaitForSingleObject(process, 5000) == WAIT_OBJECT_0; }

// The fixture's own question box, owned by its window.
HWND FindQuestion(DWORD pid) {
  HWND found = nullptr;
  testsupport::PumpUntil([&] { return (found = FindWindowOf(pid, "Quillon fixture")) != nullptr; });
  return found;
}

TEST_F(WndActionsTest, ClosingOnlyPostsTheRequest) {
  // A window that asks first: the close is posted, not waited for.
  testsupport::Fixture& asks = Start("asks.exe", "ask");
  DWORD start = GetTickCount();
  EXPECT_TRUE(CloseWnd(false, asks.hwnd()));
  EXPECT_LT(Since(start), 1000u);
  HWND question = FindQuestion(asks.pid());
  ASSERT_TRUE(question);
  EXPECT_TRUE(IsWindow(asks.hwnd()));
  PostMessageA(question, WM_COMMAND, IDYES, 0);
  EXPECT_TRUE(Ended(asks.process()));

  // A window that hides instead of closing stays, hidden.
  testsupport::Fixture& hides = Start("hides.exe", "hideclose");
  EXPECT_TRUE(CloseWnd(false, hides.hwnd()));
  ASSERT_TRUE(testsupport::PumpUntil([&] { return !IsWindowVisible(hides.hwnd()); }));
  EXPECT_TRUE(IsWindow(hides.hwnd()));
  EXPECT_TRUE(Running(hides.process()));
}

TEST_F(WndActionsTest, EndingAProgramMarkedToWarnAsksFirst) {
  testsupport::Fixture& f = Start("careful.exe");
  SetSpecialPrograms({{PathOf("careful.exe"), 2}});
  ForceProcessWalk();
  std::string asked;
  int answer = IDNO;
  seams::MessageBoxFn = [&](HWND, const std::string& text, const std::string&, UINT style) {
    asked = text;
    EXPECT_EQ(style, 0x114u);
    return answer;
  };

  EXPECT_FALSE(CloseWnd(true, f.hwnd()));
  EXPECT_EQ(asked, "Terminating " + vb::LCase(PathOf("careful.exe")) +
                       " may be dangrous, Are you still sure you want to terminate it ?");
  EXPECT_TRUE(Running(f.process()));
  EXPECT_TRUE(IsWindow(f.hwnd()));

  answer = IDYES;
  asked.clear();
  EXPECT_TRUE(CloseWnd(true, f.hwnd()));
  EXPECT_FALSE(asked.empty());
  EXPECT_TRUE(Ended(f.process()));
}

TEST_F(WndActionsTest, EndingAProgramTheCacheMissesEndsItAndSaysSo) {
  ForceProcessWalk();
  testsupport::Fixture& late = Start("newcomer.exe");
  testsupport::Fixture& other = Start("bystander.exe");
  // Started after the walk: the cache does not know it, yet it is ended by its own id.
  EXPECT_TRUE(CloseWnd(true, late.hwnd()));
  EXPECT_TRUE(Ended(late.process()));
  EXPECT_TRUE(Running(other.process()));
  // Whoever restarts it finds its path where the cache would have left it.
  EXPECT_EQ(vb::LCase(ProcResultPath), vb::LCase(PathOf("newcomer.exe")));

  // A program started since the walk is still warned about.
  testsupport::Fixture& marked = Start("marked.exe");
  SetSpecialPrograms({{PathOf("marked.exe"), 2}});
  bool asked = false;
  seams::MessageBoxFn = [&](HWND, const std::string&, const std::string&, UINT) {
    asked = true;
    return IDNO;
  };
  EXPECT_FALSE(CloseWnd(true, marked.hwnd()));
  EXPECT_TRUE(asked);
  EXPECT_TRUE(Running(marked.process()));
}

TEST_F(WndActionsTest, EndingNothingIsNoSuccess) {
  testsupport::Fixture& f = Start("already.exe");
  ForceProcessWalk();
  HWND gone = f.hwnd();
  f.End();
  ASSERT_TRUE(testsupport::PumpUntil([&] { return !IsWindow(gone); }));
  EXPECT_FALSE(CloseWnd(true, gone));

  // The program's own windows are never ended from here.
  HWND own = CreateWindowExA(0, "Static", "own", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(own);
  EXPECT_FALSE(CloseWnd(true, own));
  DestroyWindow(own);
}

TEST_F(WndActionsTest, BroughtToTheFrontAWindowLeadsAndKeepsItsOwnTopmostState) {
  testsupport::Fixture& plain = Start("front.exe");
  testsupport::Fixture& top = Start("ontop.exe", "topmost");
  testsupport::Fixture& small = Start("small.exe");
  testsupport::Fixture& hidden = Start("unseen.exe", "hidden");

  EXPECT_TRUE(BringWndToFront(plain.hwnd()));
  EXPECT_EQ(GetForegroundWindow(), plain.hwnd());
  EXPECT_FALSE(IsWndOnTop(plain.hwnd()));

  // Another program's always-on-top window stays so.
  ASSERT_TRUE(IsWndOnTop(top.hwnd()));
  EXPECT_TRUE(BringWndToFront(top.hwnd()));
  EXPECT_EQ(GetForegroundWindow(), top.hwnd());
  EXPECT_TRUE(IsWndOnTop(top.hwnd()));

  // A minimised window is restored, a hidden one shown.
  ShowWindow(small.hwnd(), SW_MINIMIZE);
  ASSERT_TRUE(testsupport::PumpUntil([&] { return IsIconic(small.hwnd()) != FALSE; }));
  EXPECT_TRUE(BringWndToFront(small.hwnd()));
  EXPECT_FALSE(IsIconic(small.hwnd()));
  EXPECT_EQ(GetForegroundWindow(), small.hwnd());

  EXPECT_TRUE(BringWndToFront(hidden.hwnd()));
  EXPECT_TRUE(IsWindowVisible(hidden.hwnd()));
  EXPECT_EQ(GetForegroundWindow(), hidden.hwnd());
  EXPECT_FALSE(IsWndOnTop(hidden.hwnd()));
}

}  // namespace
