// The tracker bar as a shell application bar: docking at each edge, other bars,
// menus, real drags, auto-hide and its slide, and the bar's life across the exit.
#include <gtest/gtest.h>

#include "AppBarClass.h"
#include "InfoBarFrm.h"
#include "Input.h"
#include "InterfaceFrm.h"
#include "ModAppBar.h"
#include "ModMain.h"
#include "ModMainPlatform.h"
#include "ModSettings.h"
#include "Registry.h"
#include "Seams.h"
#include "TrackerTestSupport.h"
#include "UiWait.h"
#include "ViewBindings.h"

using trackertest::BarTest;
using trackertest::Describe;
using trackertest::SameRect;

namespace {

// The movable clock of the edge-rest cases; the seam reads it, the test moves it.
DWORD restClock;

// A bar of the test's own on an edge, registered before or after ours.
struct OtherBar {
  HWND hwnd = nullptr;
  static inline int notified = 0;
  static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_APP + 7 && w == ABN_POSCHANGED) ++notified;
    return DefWindowProcA(h, m, w, l);
  }
  explicit OtherBar(UINT edge, int thickness) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TestOtherBar";
    RegisterClassA(&wc);
    hwnd = CreateWindowExA(WS_EX_TOOLWINDOW, "TestOtherBar", "other bar", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                           wc.hInstance, nullptr);
    APPBARDATA d = {sizeof d, hwnd, WM_APP + 7, edge};
    SHAppBarMessage(ABM_NEW, &d);
    d.rc = {0, 0, GetSystemMetrics(SM_CXSCREEN), thickness};
    SHAppBarMessage(ABM_QUERYPOS, &d);
    SHAppBarMessage(ABM_SETPOS, &d);
  }
  ~OtherBar() {
    APPBARDATA d = {sizeof d, hwnd};
    SHAppBarMessage(ABM_REMOVE, &d);
    DestroyWindow(hwnd);
  }
};

}  // namespace

TEST_F(BarTest, EachPositionDocksAtItsBand) {
  ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
  ASSERT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
  for (int edge = 0; edge < 4; ++edge) {
    calls.clear();
    LoadBar(edge, {1});
    EXPECT_TRUE(SameRect(BarRect(), Band(edge))) << edge << " " << Describe(BarRect());
    EXPECT_TRUE(IsWindowVisible(InfoBarFrm.hwnd()));
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls[0].msg, ABM_NEW);
    EXPECT_EQ(calls[1].msg, ABM_QUERYPOS);
    EXPECT_EQ(calls[2].msg, ABM_SETPOS);
    EXPECT_EQ(calls[2].edge, static_cast<UINT>(edge));
    EXPECT_TRUE(SameRect(calls[2].rc, Band(edge))) << Describe(calls[2].rc);
    EXPECT_EQ(AppBarCount, 1);
    InfoBarFrm.Unload();
    EXPECT_EQ(Count(ABM_REMOVE), 1);
    EXPECT_EQ(Position, edge);
  }
}

TEST_F(BarTest, AnotherBarOnTheEdgeMovesOurs) {
  {
    OtherBar other(ABE_TOP, 40);
    LoadBar(1);
    EXPECT_EQ(BarRect().top, 40) << Describe(BarRect());
    EXPECT_EQ(BarRect().bottom, 72);
  }
  // The shell tells ours its place changed: it docks at the edge again.
  SendMessageA(InfoBarFrm.hwnd(), kAppBarCallback, ABN_POSCHANGED, 0);
  EXPECT_TRUE(SameRect(BarRect(), Band(1))) << Describe(BarRect());
}

// The shell's full-screen notice hides the bar until its end, whatever the ticks do,
// plain or auto-hidden with the cursor at the edge.
TEST_F(BarTest, AFullScreenProgramKeepsTheBarHiddenUntilItEnds) {
  for (bool autoHide : {false, true}) {
    SCOPED_TRACE(autoHide);
    LoadBar(0, {1});
    if (autoHide) ChooseFromMenu({'a'});
    restClock = 5000;
    seams::TickCountFn = [] { return restClock; };
    SetCursorPos(autoHide ? 0 : 500, 400);
    InfoBarFrm.Timer1_Timer();
    restClock += InfoBarFrmForm::kEdgeRestMs;  // an auto-hidden bar comes out after the rest
    InfoBarFrm.Timer1_Timer();
    ASSERT_TRUE(IsWindowVisible(InfoBarFrm.hwnd()));
    SendMessageA(InfoBarFrm.hwnd(), kAppBarCallback, ABN_FULLSCREENAPP, 1);
    EXPECT_FALSE(IsWindowVisible(InfoBarFrm.hwnd()));
    for (int i = 0; i < 5; ++i) InfoBarFrm.Timer1_Timer();
    EXPECT_FALSE(IsWindowVisible(InfoBarFrm.hwnd())) << "the ticks leave it hidden";
    SendMessageA(InfoBarFrm.hwnd(), kAppBarCallback, ABN_FULLSCREENAPP, 0);
    EXPECT_TRUE(IsWindowVisible(InfoBarFrm.hwnd()));
    InfoBarFrm.Timer1_Timer();
    EXPECT_TRUE(IsWindowVisible(InfoBarFrm.hwnd()));
    if (autoHide) ChooseFromMenu({'a'});
    InfoBarFrm.Unload();
  }
}

TEST_F(BarTest, MenuKeepsTheBarOnScreen) {
  LoadBar(0, {1, 2});
  ChooseFromMenu({'t'});  // always on top
  EXPECT_TRUE(GetWindowLongA(InfoBarFrm.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_TRUE(InfoBarFrm.mnuSetTop->Checked());
  EXPECT_TRUE(SameRect(BarRect(), Band(0))) << Describe(BarRect());
  ChooseFromMenu({'t'});
  EXPECT_FALSE(GetWindowLongA(InfoBarFrm.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_TRUE(SameRect(BarRect(), Band(0))) << Describe(BarRect());
  for (int i = 0; i < 3; ++i) ChooseFromMenu({VK_ESCAPE});  // dismissed
  EXPECT_TRUE(SameRect(BarRect(), Band(0))) << Describe(BarRect());
  EXPECT_FALSE(InfoBarFrm.Bar()->IsMenu);
  InfoBarFrm.Unload();
  EXPECT_FALSE(BarAlwaysOnTop);
}

// A drag reaches the top and bottom edges; dropped beside a side edge the bar docks
// at the nearer of the two, since its row of items cannot stand in a side column.
TEST_F(BarTest, RealDragsReachTheTopAndBottomEdges) {
  LoadBar(1, {1});
  testsupport::DragMouse({300, 16}, {500, 740}, 10);
  EXPECT_EQ(InfoBarFrm.Bar()->InfoBarFrmData().uEdge, static_cast<UINT>(ABE_BOTTOM));
  EXPECT_TRUE(SameRect(BarRect(), Band(3))) << Describe(BarRect());
  testsupport::DragMouse({300, 752}, {10, 400}, 10);
  EXPECT_EQ(InfoBarFrm.Bar()->InfoBarFrmData().uEdge, static_cast<UINT>(ABE_BOTTOM));
  EXPECT_TRUE(SameRect(BarRect(), Band(3))) << Describe(BarRect());
  testsupport::DragMouse({300, 752}, {1015, 200}, 10);
  EXPECT_EQ(InfoBarFrm.Bar()->InfoBarFrmData().uEdge, static_cast<UINT>(ABE_TOP));
  EXPECT_TRUE(SameRect(BarRect(), Band(1))) << Describe(BarRect());
  InfoBarFrm.Unload();
  EXPECT_EQ(Position, 1);
}

TEST_F(BarTest, ADragEndingOnItsOwnEdgeChangesNothing) {
  LoadBar(1, {1});
  const size_t before = calls.size();
  HWND bar = InfoBarFrm.hwnd();
  SetCursorPos(600, 5);
  SendMessageA(bar, WM_ENTERSIZEMOVE, 0, 0);
  RECT outline = {100, 100, 200, 200};
  SendMessageA(bar, WM_MOVING, 0, reinterpret_cast<LPARAM>(&outline));
  EXPECT_TRUE(SameRect(outline, Band(1))) << Describe(outline);
  SendMessageA(bar, WM_EXITSIZEMOVE, 0, 0);
  EXPECT_EQ(InfoBarFrm.Bar()->InfoBarFrmData().uEdge, static_cast<UINT>(ABE_TOP));
  EXPECT_FALSE(InfoBarFrm.Bar()->EdgeChanged);
  for (size_t i = before; i < calls.size(); ++i) EXPECT_NE(calls[i].msg, ABM_SETPOS);
  // While the menu is open nothing changes the bar.
  InfoBarFrm.Bar()->IsMenu = true;
  SetCursorPos(600, 700);
  outline = {100, 100, 200, 200};
  SendMessageA(bar, WM_MOVING, 0, reinterpret_cast<LPARAM>(&outline));
  EXPECT_TRUE(SameRect(outline, RECT{100, 100, 200, 200}));
  InfoBarFrm.Bar()->IsMenu = false;
}

TEST_F(BarTest, AutoHideRegistersSlidesAndUnregisters) {
  LoadBar(0, {1});
  ChooseFromMenu({'a'});
  EXPECT_EQ(firstTime, std::vector<int>{2});
  auto reg = Calls(ABM_SETAUTOHIDEBAR);
  ASSERT_EQ(reg.size(), 1u);
  EXPECT_EQ(reg[0].lParam, -1);
  EXPECT_EQ(reg[0].edge, static_cast<UINT>(ABE_LEFT));
  EXPECT_TRUE(InfoBarFrm.Bar()->AutoHideRegistered());
  EXPECT_FALSE(IsWindowVisible(InfoBarFrm.hwnd()));
  SetCursorPos(500, 400);
  InfoBarFrm.Timer1_Timer();
  EXPECT_EQ(BarRect().left, -47);
  // Touching the edge: after a 300 ms rest the bar comes back, while the ticks go on.
  DWORD& clock = restClock;
  clock = 5000;
  seams::TickCountFn = [] { return restClock; };
  SetCursorPos(0, 400);
  InfoBarFrm.Timer1_Timer();
  EXPECT_FALSE(IsWindowVisible(InfoBarFrm.hwnd())) << "the rest has only begun";
  clock += 200;
  SetCursorPos(0, 420);  // moved along the edge: the rest starts again
  InfoBarFrm.Timer1_Timer();
  clock += 299;
  InfoBarFrm.Timer1_Timer();
  EXPECT_FALSE(IsWindowVisible(InfoBarFrm.hwnd())) << "299 ms at one point";
  clock += 1;
  InfoBarFrm.Timer1_Timer();
  EXPECT_EQ(BarRect().left, 0);
  EXPECT_TRUE(IsWindowVisible(InfoBarFrm.hwnd()));
  SetCursorPos(500, 400);
  InfoBarFrm.Timer1_Timer();
  EXPECT_FALSE(IsWindowVisible(InfoBarFrm.hwnd()));
  // Switched off: unregistered, and the band comes back.
  ChooseFromMenu({'a'});
  reg = Calls(ABM_SETAUTOHIDEBAR);
  ASSERT_EQ(reg.size(), 2u);
  EXPECT_EQ(reg[1].lParam, 0);
  EXPECT_FALSE(InfoBarFrm.Bar()->AutoHideRegistered());
  EXPECT_TRUE(IsWindowVisible(InfoBarFrm.hwnd()));
  EXPECT_TRUE(SameRect(BarRect(), Band(0))) << Describe(BarRect());
  EXPECT_EQ(firstTime.size(), 1u);
}

TEST_F(BarTest, SlideByEdge) {
  struct Case {
    int edge;
    POINT away, touch;
    bool waits;
  } cases[] = {{1, {500, 400}, {500, 0}, true},
               {2, {500, 400}, {1023, 400}, false},
               {3, {500, 400}, {500, 767}, false}};
  for (const Case& c : cases) {
    AutoHide = true;
    LoadBar(c.edge, {1});
    SetCursorPos(c.away.x, c.away.y);
    InfoBarFrm.Timer1_Timer();
    EXPECT_FALSE(IsWindowVisible(InfoBarFrm.hwnd())) << c.edge;
    DWORD& clock = restClock;
    clock = 5000;
    seams::TickCountFn = [] { return restClock; };
    SetCursorPos(c.touch.x, c.touch.y);
    InfoBarFrm.Timer1_Timer();
    EXPECT_EQ(!IsWindowVisible(InfoBarFrm.hwnd()), c.waits) << c.edge << ": shown at once unless it waits";
    clock += InfoBarFrmForm::kEdgeRestMs;
    InfoBarFrm.Timer1_Timer();
    EXPECT_TRUE(IsWindowVisible(InfoBarFrm.hwnd())) << c.edge;
    EXPECT_TRUE(SameRect(BarRect(), Band(c.edge))) << c.edge << Describe(BarRect());
    if (c.edge == 1) {
      // Within 50 pixels of the right end the bar stays away.
      SetCursorPos(500, 400);
      InfoBarFrm.Timer1_Timer();
      SetCursorPos(1000, 0);
      InfoBarFrm.Timer1_Timer();
      EXPECT_FALSE(IsWindowVisible(InfoBarFrm.hwnd()));
    }
    InfoBarFrm.Unload();
    EXPECT_TRUE(AutoHide);
  }
}

TEST_F(BarTest, NeverSlidesWhileForeground) {
  AutoHide = true;
  LoadBar(3, {1});
  SetCursorPos(500, 767);
  InfoBarFrm.Timer1_Timer();
  ASSERT_TRUE(IsWindowVisible(InfoBarFrm.hwnd()));
  SetForegroundWindow(InfoBarFrm.hwnd());
  if (GetForegroundWindow() != InfoBarFrm.hwnd()) GTEST_SKIP() << "the bar could not be made the foreground window";
  SetCursorPos(500, 300);
  InfoBarFrm.Timer1_Timer();
  EXPECT_TRUE(IsWindowVisible(InfoBarFrm.hwnd()));
}

TEST_F(BarTest, ADragMovesTheAutoHideRegistration) {
  AutoHide = true;
  LoadBar(1, {1});
  calls.clear();
  HWND bar = InfoBarFrm.hwnd();
  SendMessageA(bar, WM_ENTERSIZEMOVE, 0, 0);
  SetCursorPos(500, 760);
  RECT outline = {};
  SendMessageA(bar, WM_MOVING, 0, reinterpret_cast<LPARAM>(&outline));
  SendMessageA(bar, WM_EXITSIZEMOVE, 0, 0);
  auto reg = Calls(ABM_SETAUTOHIDEBAR);
  ASSERT_EQ(reg.size(), 2u);
  EXPECT_EQ(reg[0].edge, static_cast<UINT>(ABE_TOP));
  EXPECT_EQ(reg[0].lParam, 0);
  EXPECT_EQ(reg[1].edge, static_cast<UINT>(ABE_BOTTOM));
  EXPECT_EQ(reg[1].lParam, -1);
  EXPECT_TRUE(SameRect(BarRect(), Band(3))) << Describe(BarRect());
}

TEST_F(BarTest, ARefusedAutoHideSaysSoOnceAndStaysDocked) {
  refuseAutoHide = true;
  LoadBar(2, {1});
  ChooseFromMenu({'a'});
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0],
            "There is already an auto hidden window on this edge. \r\nOnly one auto hidden window is allowed on each "
            "edge");
  EXPECT_FALSE(InfoBarFrm.Bar()->InfoBarFrmInfo().AutoHide);
  EXPECT_TRUE(IsWindowVisible(InfoBarFrm.hwnd()));
  EXPECT_TRUE(SameRect(BarRect(), Band(2))) << Describe(BarRect());
  InfoBarFrm.Timer1_Timer();
  EXPECT_EQ(messages.size(), 1u);
  EXPECT_FALSE(InfoBarFrm.mnuSetAutoHide->Checked() && InfoBarFrm.Bar()->InfoBarFrmInfo().AutoHide);
}

TEST_F(BarTest, AFullScreenProgramHidesAndShowsTheBar) {
  LoadBar(3, {1});
  SendMessageA(InfoBarFrm.hwnd(), kAppBarCallback, ABN_FULLSCREENAPP, 1);
  EXPECT_FALSE(IsWindowVisible(InfoBarFrm.hwnd()));
  SendMessageA(InfoBarFrm.hwnd(), kAppBarCallback, ABN_FULLSCREENAPP, 0);
  EXPECT_TRUE(IsWindowVisible(InfoBarFrm.hwnd()));
}

TEST_F(BarTest, ClosingFromTheMenuLeavesTheBarOffAfterExit) {
  InterfaceFrm.MainTbl[0].SetValue("ToolBar", false);
  Position = 1;
  InterfaceFrm.MainTbl[0].ClickButton("ToolBar");
  ASSERT_TRUE(InfoBarFrm.Loaded());
  ASSERT_TRUE(Toolbar);
  ChooseFromMenu({'c'});
  EXPECT_FALSE(InfoBarFrm.Loaded());
  EXPECT_FALSE(Toolbar);
  CleanUpOnExit();
  IsExiting = false;
  EXPECT_EQ(testsupport::Option("General", "Toolbar"), "False");
  EXPECT_EQ(Count(ABM_REMOVE), 1);
}

TEST_F(BarTest, TheExitsUnloadThenARealUnloadRemoveOnce) {
  AutoHide = true;
  LoadBar(0, {1});
  Views.trackerBar.Unload();  // as the exit does, before it saves the settings
  InfoBarFrm.Unload();
  EXPECT_EQ(Count(ABM_REMOVE), 1);
  EXPECT_TRUE(AutoHide);
  EXPECT_EQ(AppBarCount, 0);
  AutoHide = false;
  calls.clear();
  ASSERT_TRUE(InfoBarFrm.Load());
  EXPECT_EQ(AppBarCount, 1);
  EXPECT_EQ(Count(ABM_NEW), 1);
  EXPECT_TRUE(SameRect(BarRect(), Band(0))) << Describe(BarRect());
}
