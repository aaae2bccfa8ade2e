// The frame's bars, pages and layout against the real windows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ConInfoFrm.h"
#include "Fixture.h"
#include "HistogramCls.h"
#include "InfoBarFrm.h"
#include "InterfaceFrm.h"
#include "Input.h"
#include "Mainfrm.h"
#include "ModMain.h"
#include "ModMainLoop.h"
#include "ModProgInfo.h"
#include "ModSettings.h"
#include "ModStartup.h"
#include "MoreToolsFrm.h"
#include "PopUpFrm.h"
#include "ProcCPUFrm.h"
#include "ShellTestSupport.h"
#include "SysInfoLink.h"
#include "SysPerfFrm.h"
#include "UiWait.h"
#include "VbRules.h"

using shelltest::FrameTest;
using testsupport::PumpUntil;

namespace {

struct PageCase {
  const char* key;
  const char* toolTip;
  ui::Window* page;
  int toolsItem;
};

const PageCase kPages[] = {
    {"Quillon", "Task Manager", &Mainfrm, 0},
    {"Performance", "System Performance Monitor", &SysPerfFrm, 1},
    {"PopUp", "Latchkey", &PopUpFrm, 2},
    {"ConInfo", "Internet Connection Monitor", &ConInfoFrm, 3},
    {"ProcCPU", "Risk Monitor", &ProcCPUFrm, 4},
    {"MoreTools", "Mini Tools", &MoreToolsFrm, 5},
};

// A child window's rectangle in its parent's client area.
RECT ChildRect(HWND child) {
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

RECT ExpectedPageRect() {
  const ui::Bounds bar = InterfaceFrm.Toolbar1.GetBounds();
  const int x = bar.x + bar.width + 2, y = bar.y;
  return {x, y, x + static_cast<int>(InterfaceFrm.WindowWidth), y + static_cast<int>(InterfaceFrm.WindowHeight)};
}

void ExpectRect(const RECT& got, const RECT& want, const std::string& what) {
  EXPECT_EQ(got.left, want.left) << what;
  EXPECT_EQ(got.top, want.top) << what;
  EXPECT_EQ(got.right, want.right) << what;
  EXPECT_EQ(got.bottom, want.bottom) << what;
}

TEST_F(FrameTest, EachPageButtonShowsItsPageAloneAtThePageRectangle) {
  for (const PageCase& c : kPages) {
    SCOPED_TRACE(c.key);
    // A real click on the page bar.
    const POINT at = testsupport::Centre(InterfaceFrm.Toolbar1.ButtonRect(InterfaceFrm.Toolbar1.IndexOf(c.key)));
    testsupport::ClickAt(InterfaceFrm.Toolbar1.hwnd(), at.x, at.y);
    ASSERT_TRUE(PumpUntil([&] { return c.page->Loaded() && c.page->Visible(); })) << "the page did not show";
    EXPECT_EQ(InterfaceFrm.Caption(), std::string("Quillon Pro - ") + c.toolTip);
    EXPECT_TRUE(InterfaceFrm.Toolbar1.Value(c.key));
    EXPECT_EQ(GetParent(c.page->hwnd()), InterfaceFrm.hwnd());
    EXPECT_TRUE(GetWindowLongPtrA(c.page->hwnd(), GWL_STYLE) & WS_CHILD);
    ExpectRect(ChildRect(c.page->hwnd()), ExpectedPageRect(), "page rectangle");
    for (const PageCase& other : kPages)
      if (other.page != c.page) {
        EXPECT_FALSE(other.page->Visible()) << other.key << " still shown";
        EXPECT_FALSE(InterfaceFrm.Toolbar1.Value(other.key)) << other.key << " still pressed";
      }
    for (int i = 0; i < 6; ++i) EXPECT_EQ(InterfaceFrm.mnuTools[i]->Checked(), i == c.toolsItem) << i;
  }
}

void ClickPageButton(const char* key) {
  const POINT at = testsupport::Centre(InterfaceFrm.Toolbar1.ButtonRect(InterfaceFrm.Toolbar1.IndexOf(key)));
  testsupport::ClickAt(InterfaceFrm.Toolbar1.hwnd(), at.x, at.y);
}

void ClickControl(HWND control) {
  RECT r;
  GetClientRect(control, &r);
  testsupport::ClickAt(control, 8, r.bottom / 2);
}

TEST_F(FrameTest, TheConnectionPageKeepsItsChoicesAcrossPageSwitches) {
  ClickPageButton("ConInfo");
  ASSERT_TRUE(PumpUntil([] { return ConInfoFrm.Visible(); }));
  ConInfoFrm.NetSpeedCombo.SetListIndex(4);
  ClickControl(ConInfoFrm.IntervalOpt1.hwnd());
  ClickControl(ConInfoFrm.ConnectionOtp1.hwnd());
  ASSERT_TRUE(PumpUntil([] { return ConInfoFrm.ConnectionOtp1.Value() && ConInfoFrm.IntervalOpt1.Value(); }));
  const std::string firstRow = ConInfoFrm.ConInfoLst.ItemCount() ? ConInfoFrm.ConInfoLst.ItemText(0) : "";

  for (const char* other : {"Quillon", "Performance", "PopUp"}) {
    SCOPED_TRACE(other);
    ClickPageButton(other);
    ASSERT_TRUE(PumpUntil([] { return !ConInfoFrm.Visible(); }));
    ClickPageButton("ConInfo");
    ASSERT_TRUE(PumpUntil([] { return ConInfoFrm.Visible(); }));
    EXPECT_EQ(ConInfoFrm.NetSpeedCombo.ListIndex(), 4) << "the speed history";
    EXPECT_TRUE(ConInfoFrm.IntervalOpt1.Value()) << "the time scale";
    EXPECT_FALSE(ConInfoFrm.IntervalOpt0.Value());
    EXPECT_TRUE(ConInfoFrm.ConnectionOtp1.Value()) << "the view";
    EXPECT_EQ(ConInfoFrm.ConnectionOtp1.BackColor(), RGB(255, 255, 255)) << "the marker on the view shown";
    EXPECT_NE(ConInfoFrm.ConnectionOtp0.BackColor(), RGB(255, 255, 255));
    if (!firstRow.empty()) {
      ASSERT_GT(ConInfoFrm.ConInfoLst.ItemCount(), 0);
      EXPECT_EQ(ConInfoFrm.ConInfoLst.ItemText(0), firstRow);
    }
  }

  // The tab too.
  ConInfoFrm.SSTab1.SetTab(1);
  ClickPageButton("MoreTools");
  ASSERT_TRUE(PumpUntil([] { return !ConInfoFrm.Visible(); }));
  ClickPageButton("ConInfo");
  ASSERT_TRUE(PumpUntil([] { return ConInfoFrm.Visible(); }));
  EXPECT_EQ(ConInfoFrm.SSTab1.Tab(), 1);
  ConInfoFrm.SSTab1.SetTab(0);
}

TEST_F(FrameTest, AKeyThatNamesNoPageShowsNone) {
  InterfaceFrm.TlbButtons("Nothing");
  for (const PageCase& c : kPages) EXPECT_FALSE(c.page->Visible()) << c.key;
}

TEST_F(FrameTest, ThePageIntervalFollowsThePagesOnlyAtHighSpeed) {
  struct Step {
    const char* key;
    int interval;
  };
  InterfaceFrm.mnuSettingsUpdateSpd_Click(0);
  EXPECT_EQ(RefreshInterval, 4);
  for (const Step& s : {Step{"Performance", 2}, Step{"PopUp", 2}, Step{"Quillon", 4}, Step{"ConInfo", 2},
                        Step{"MoreTools", 2}, Step{"ProcCPU", 2}, Step{"Quillon", 4}}) {
    InterfaceFrm.Toolbar1.ClickButton(s.key);
    EXPECT_EQ(RefreshInterval, s.interval) << s.key;
    EXPECT_EQ(InterfaceFrm.PageInterval, s.interval) << s.key;
  }
  InterfaceFrm.mnuSettingsUpdateSpd_Click(1);
  EXPECT_EQ(RefreshInterval, 20);
  for (const char* key : {"Performance", "Quillon", "ConInfo"}) {
    InterfaceFrm.Toolbar1.ClickButton(key);
    EXPECT_EQ(RefreshInterval, 20) << key;
  }
  EXPECT_EQ(InterfaceFrm.PageInterval, 4) << "kept from the last high-speed switch";
  InterfaceFrm.mnuSettingsUpdateSpd_Click(0);
  EXPECT_EQ(RefreshInterval, 4) << "High takes the kept page interval";
  InterfaceFrm.mnuSettingsUpdateSpd_Click(3);
  EXPECT_EQ(RefreshInterval, 0);
  InterfaceFrm.mnuSettingsUpdateSpd_Click(2);
  EXPECT_EQ(RefreshInterval, 35);
}

TEST_F(FrameTest, OnlyThePressedPageIsRefreshedAndOnlyWhileTheFrameIsShown) {
  InterfaceFrm.Toolbar1.ClickButton("Performance");
  PerfInfoData.assign(9, 37);
  int16_t pointer = CpuHistory->Get_Pointer(0);
  now += 1000;  // the history takes one sample a second
  InterfaceFrm.DoRefresh();
  EXPECT_NE(CpuHistory->Get_Pointer(0), pointer) << "the performance page took a sample";

  pointer = CpuHistory->Get_Pointer(0);
  InterfaceFrm.Hide();
  now += 1000;
  InterfaceFrm.DoRefresh();
  EXPECT_EQ(CpuHistory->Get_Pointer(0), pointer) << "nothing while the frame is hidden";

  ShowInterfaceFrm();
  InterfaceFrm.Toolbar1.ClickButton("PopUp");
  pointer = CpuHistory->Get_Pointer(0);
  now += 1000;
  InterfaceFrm.DoRefresh();
  EXPECT_EQ(CpuHistory->Get_Pointer(0), pointer) << "the performance page is not pressed";
}

TEST_F(FrameTest, ASmallerFrameSnapsBackAndThePageFollows) {
  InterfaceFrm.Toolbar1.ClickButton("MoreTools");
  SetWindowPos(InterfaceFrm.hwnd(), nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER);
  RECT outer;
  GetWindowRect(InterfaceFrm.hwnd(), &outer);
  EXPECT_EQ(outer.right - outer.left, vb::TwipsToPixelsX(10005));
  EXPECT_EQ(outer.bottom - outer.top, vb::TwipsToPixelsY(7845));
  ExpectRect(ChildRect(MoreToolsFrm.hwnd()), ExpectedPageRect(), "after the snap");

  SetWindowPos(InterfaceFrm.hwnd(), nullptr, 0, 0, 900, 700, SWP_NOMOVE | SWP_NOZORDER);
  RECT client;
  GetClientRect(InterfaceFrm.hwnd(), &client);
  EXPECT_EQ(InterfaceFrm.WindowWidth, client.right - (InterfaceFrm.Toolbar1.GetBounds().x + 84 + 4));
  ExpectRect(ChildRect(MoreToolsFrm.hwnd()), ExpectedPageRect(), "grown");
  const RECT hint = ChildRect(InterfaceFrm.OnLineHelpFrame.hwnd());
  EXPECT_EQ(hint.top, ExpectedPageRect().bottom + 2);
  EXPECT_EQ(hint.bottom - hint.top, 27);

  // Minimised, the frame keeps its size and layout.
  ShowWindow(InterfaceFrm.hwnd(), SW_MINIMIZE);
  Settle();
  EXPECT_TRUE(IsIconic(InterfaceFrm.hwnd()));
  ShowWindow(InterfaceFrm.hwnd(), SW_RESTORE);
  Settle();
  GetClientRect(InterfaceFrm.hwnd(), &client);
  EXPECT_EQ(InterfaceFrm.WindowWidth, client.right - (InterfaceFrm.Toolbar1.GetBounds().x + 84 + 4));
  SetWindowPos(InterfaceFrm.hwnd(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOZORDER);
}

// A resize that is not a drag (a maximise, a restore): the page takes the new size at
// once, and its lists follow as soon as the frame's messages run.
TEST_F(FrameTest, AMaximiseLaysThePageOutAtOnceAndItsListsFollow) {
  Settle();
  testsupport::FixtureFolder folder("qp_resize");
  folder.Start("resizea.exe", "plain");
  const std::string path = vb::LCase(folder.PathOf("resizea.exe"));
  const auto listed = [&] {
    for (int r = 0; r < Mainfrm.AppLst.ItemCount(); ++r)
      if (vb::LCase(Mainfrm.AppLst.Key(r)) == path) return true;
    return false;
  };
  ASSERT_FALSE(listed());
  for (int show : {SW_MAXIMIZE, SW_RESTORE}) {
    SCOPED_TRACE(show == SW_MAXIMIZE ? "maximised" : "restored");
    Mainfrm.FastRef = false;
    LastProcWalkTick = now - 100000;
    ShowWindow(InterfaceFrm.hwnd(), show);
    ExpectRect(ChildRect(Mainfrm.hwnd()), ExpectedPageRect(), "page rectangle");
    if (show == SW_MAXIMIZE) EXPECT_FALSE(listed()) << "the resize waited for the lists' refresh";
    EXPECT_TRUE(PumpUntil(listed)) << "the lists did not follow";
    Settle();
  }
}

TEST_F(FrameTest, TheGradientHintLineAndPageBarAreItsColours) {
  RedrawWindow(InterfaceFrm.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  PointerAway();
  const std::vector<COLORREF> bands = GradientBands(238, 238, 238, 157, 174, 201);
  HWND top = InterfaceFrm.TopTlbarFram.hwnd();
  RECT r;
  GetClientRect(top, &r);
  HDC dc = GetDC(top);
  // The bands share the rows out as the shared painter does; the top row shows the
  // last band that reaches it.
  size_t topBand = 0;
  while (r.bottom * static_cast<int>(topBand + 1) / static_cast<int>(bands.size()) < 1) ++topBand;
  EXPECT_EQ(GetPixel(dc, r.right - 110, 0), bands[topBand]) << "top row";
  EXPECT_EQ(GetPixel(dc, r.right - 110, r.bottom - 1), bands.back()) << "bottom row";
  ReleaseDC(top, dc);

  HWND hint = InterfaceFrm.OnLineHelpFrame.hwnd();
  GetClientRect(hint, &r);
  dc = GetDC(hint);
  EXPECT_EQ(GetPixel(dc, r.right - 2, 1), RGB(12, 135, 194));
  ReleaseDC(hint, dc);

  HWND bar = InterfaceFrm.Toolbar1.hwnd();
  GetClientRect(bar, &r);
  dc = GetDC(bar);
  const RECT first = InterfaceFrm.Toolbar1.ButtonRect(1);
  EXPECT_EQ(GetPixel(dc, r.right / 2, r.bottom - 2), FormBackColor) << "below the buttons";
  const RECT second = InterfaceFrm.Toolbar1.ButtonRect(2);
  EXPECT_EQ(GetPixel(dc, second.left + 2, second.top + 2), InterfaceToolbarColor) << "a released button";
  (void)first;
  ReleaseDC(bar, dc);
}

TEST_F(FrameTest, TheNineXAndNTFamiliesHideTheirItems) {
  for (bool nt : {false, true}) {
    SCOPED_TRACE(nt ? "NT" : "9x");
    IsExiting = true;
    InterfaceFrm.Unload();
    IsExiting = false;
    IsWinNTFlag = nt;
    ASSERT_TRUE(InterfaceFrm.Load());
    EXPECT_EQ(InterfaceFrm.Toolbar1.ButtonVisible("ProcCPU"), nt);
    EXPECT_EQ(InterfaceFrm.mnuTools[4]->Visible(), nt);
    HMENU shut = nullptr;
    HMENU main = GetSubMenu(GetMenu(InterfaceFrm.hwnd()), 0);
    for (int i = 0; i < GetMenuItemCount(main); ++i)
      if (GetSubMenu(main, i)) shut = GetSubMenu(main, i);
    ASSERT_TRUE(shut);
    const std::vector<std::string> items = shelltest::MenuCaptions(shut);
    EXPECT_EQ(items.back(), nt ? "Log &Off" : "Restart in MS-DOS");
    EXPECT_EQ(items.size(), nt ? 8u : 10u);
  }
}

TEST_F(FrameTest, TheCloseBoxHidesAndOnlyTheExitUnloads) {
  const HWND frame = InterfaceFrm.hwnd();
  InterfaceFrm.Close();
  EXPECT_TRUE(IsWindow(frame));
  EXPECT_FALSE(InterfaceFrm.Visible());
  IsExiting = true;
  EXPECT_TRUE(InterfaceFrm.Unload());
  EXPECT_FALSE(IsWindow(frame));
  IsExiting = false;
  InterfaceFrm.Load();
}

TEST_F(FrameTest, TheHintLineSaysWhatTheMouseIsOver) {
  struct Hint {
    ui::ButtonBar* bar;
    const char* key;
    const char* hint;
  };
  const Hint hints[] = {
      {&InterfaceFrm.Toolbar1, "Quillon", "Task manager that gives you complete control over running tasks"},
      {&InterfaceFrm.Toolbar1, "Performance", "System Performance Monitor that monitors vital System Resources"},
      {&InterfaceFrm.Toolbar1, "PopUp", "Latchkey. Manange\\View blocked Pop-up ad"},
      {&InterfaceFrm.Toolbar1, "ConInfo",
       "Internet Connection Monitor that provides you with important info about your connection"},
      {&InterfaceFrm.Toolbar1, "ProcCPU", "Manage applications that are monitored for risky behaviour."},
      {&InterfaceFrm.Toolbar1, "MoreTools", "Mini tools: Reminders, Media check, tasks history and start-up manager"},
      {&InterfaceFrm.MainTbl[0], "Run", "Run Program, Document ... etc"},
      {&InterfaceFrm.MainTbl[0], "Shut", "Shutdown Windows !!"},
      {&InterfaceFrm.MainTbl[0], "ToolBar", "Show/Hide tracker bar"},
      {&InterfaceFrm.MainTbl[0], "Destroy", "Terminate and Restart a Program ... "},
      {&InterfaceFrm.MainTbl[0], "Refresh", "Refresh"},
      {&InterfaceFrm.MainTbl[0], "Logs", "View Logs"},
      {&InterfaceFrm.MainTbl[1], "Settings", "Quick settings"},
      {&InterfaceFrm.MainTbl[1], "Options", "View Options window"},
      {&InterfaceFrm.MainTbl[1], "Help", "View Help"},
      {&InterfaceFrm.MainTbl[2], "Exit", "Exit Quillon"},
  };
  for (const Hint& h : hints) {
    SetHintText("");
    const POINT at = testsupport::Centre(h.bar->ButtonRect(h.bar->IndexOf(h.key)));
    testsupport::MoveMouseTo(h.bar->hwnd(), at.x, at.y);
    EXPECT_TRUE(PumpUntil([&] { return InterfaceFrm.lblOnLineHelp.Text() == h.hint; }, 2000)) << h.key;
  }
}

TEST_F(FrameTest, TheCommandBarsCarryTheirButtons) {
  const std::vector<std::vector<std::string>> keys = {
      {"Run", "Shut", "ToolBar", "Destroy", "Refresh", "Logs"}, {"Settings", "Options", "Help"}, {"Exit"}};
  const std::vector<std::vector<std::string>> captions = {
      {"Run", "Shutdown", "Tracker", "Terminate", "Refresh", "Logs"}, {"Settings", "Options", "Help"}, {"Exit"}};
  for (int bar = 0; bar < 3; ++bar) {
    ASSERT_EQ(InterfaceFrm.MainTbl[bar].Count(), static_cast<int>(keys[bar].size()));
    for (size_t i = 0; i < keys[bar].size(); ++i) {
      EXPECT_EQ(InterfaceFrm.MainTbl[bar].Key(static_cast<int>(i) + 1), keys[bar][i]);
      EXPECT_EQ(InterfaceFrm.MainTbl[bar].Caption(keys[bar][i]), captions[bar][i]);
      EXPECT_TRUE(InterfaceFrm.MainTbl[bar].Picture(keys[bar][i]));
    }
  }
  EXPECT_EQ(InterfaceFrm.MainTbl[0].ToolTip("Destroy"), "Terminate And Restart");
  EXPECT_EQ(InterfaceFrm.MainTbl[1].ToolTip("Settings"), "Quick Settings");
  // The development switches show only outside the normal run.
  EXPECT_EQ(InterfaceFrm.Command1.Visible(), !IsCompiled);
  InterfaceFrm.Command1.PerformClick();
  EXPECT_TRUE(TestMode);
  InterfaceFrm.Command2.PerformClick();
  EXPECT_FALSE(TestMode);
}

TEST_F(FrameTest, TheTrackerButtonTogglesTheBarAndItsMenuItem) {
  ASSERT_FALSE(InterfaceFrm.MainTbl[0].Value("ToolBar"));
  const POINT at = testsupport::Centre(InterfaceFrm.MainTbl[0].ButtonRect(3));
  testsupport::ClickAt(InterfaceFrm.MainTbl[0].hwnd(), at.x, at.y);
  ASSERT_TRUE(PumpUntil([] { return Toolbar; }));
  EXPECT_TRUE(InterfaceFrm.MainTbl[0].Value("ToolBar"));
  EXPECT_TRUE(InterfaceFrm.mnuFileTracker->Checked());
  // The bar docks at the top with its row: every item of the settings, each captioned
  // and in its place after the one before.
  ASSERT_TRUE(PumpUntil([] { return IsWindowVisible(InfoBarFrm.hwnd()) && !InfoBarFrm.ItemsPending(); }));
  RECT bar = {};
  GetWindowRect(InfoBarFrm.hwnd(), &bar);
  EXPECT_EQ(bar.top, 0);
  EXPECT_EQ(bar.right - bar.left, GetSystemMetrics(SM_CXSCREEN));
  int shown = 0;
  for (int s = 1; s <= 10; ++s) shown += TrackerItemsShow[s] ? 1 : 0;
  ASSERT_GT(shown, 0);
  EXPECT_EQ(InfoBarFrm.TrackerItemCount, shown);
  for (int i = 0; i < InfoBarFrm.TrackerItemCount; ++i) {
    EXPECT_TRUE(InfoBarFrm.ItemGrph(i).Visible()) << i;
    EXPECT_FALSE(InfoBarFrm.ItemNameLbl(i).Text().empty()) << i;
    if (i > 0) {
      EXPECT_GT(InfoBarFrm.GraphLeft[i], InfoBarFrm.GraphLeft[i - 1]) << i;
    }
  }
  InterfaceFrm.mnuFileTracker_Click();
  EXPECT_FALSE(Toolbar);
  EXPECT_FALSE(InterfaceFrm.MainTbl[0].Value("ToolBar"));
  EXPECT_FALSE(InterfaceFrm.mnuFileTracker->Checked());
}

TEST_F(FrameTest, TheRefreshCommandRefreshesTheMiniToolsPageTheTimedOneDoesNot) {
  InterfaceFrm.Toolbar1.ClickButton("MoreTools");
  RefreshInterval = 20;
  InterfaceFrm.DoRefresh();
  EXPECT_TRUE(Mainfrm.FastRef);
  InterfaceFrm.RunCommand("Refresh");
  EXPECT_FALSE(Mainfrm.FastRef) << "the next refresh is a full one";
  EXPECT_EQ(RefreshInterval, 20) << "kept";
}

}  // namespace

namespace {

TEST_F(FrameTest, TheToolsMenuPressesThePageButtonAlsoFromTheKeyboard) {
  for (int i = 0; i < 6; ++i) {
    InterfaceFrm.mnuTools[i]->Click();
    EXPECT_TRUE(InterfaceFrm.Toolbar1.Value(i + 1)) << i;
    EXPECT_TRUE(kPages[i].page->Visible()) << i;
  }
  InterfaceFrm.Toolbar1.ClickButton("Quillon");
  SetForegroundWindow(InterfaceFrm.hwnd());
  PumpUntil([] { return GetForegroundWindow() == InterfaceFrm.hwnd(); });
  testsupport::PressKey('T', 4);  // Alt+T: the Tools menu
  testsupport::PressKey('M');     // "&Mini Tools"
  EXPECT_TRUE(PumpUntil([] { return InterfaceFrm.Toolbar1.Value("MoreTools") && MoreToolsFrm.Visible(); }));
}

TEST_F(FrameTest, TheStoredPositionCountsOnlyOnAScreen) {
  auto reload = [] {
    IsExiting = true;
    InterfaceFrm.Unload();
    IsExiting = false;
    InterfaceFrm.Load();
    RECT r;
    GetWindowRect(InterfaceFrm.hwnd(), &r);
    return r;
  };
  looptest::SetOption("General", "Left", "1500");  // 100 pixels
  looptest::SetOption("General", "Top", "750");
  RECT r = reload();
  EXPECT_EQ(r.left, 100);
  EXPECT_EQ(r.top, 50);

  looptest::SetOption("General", "Left", "-300000");
  looptest::SetOption("General", "Top", "750");
  r = reload();
  const int width = r.right - r.left;
  RECT work;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_NEAR(r.left, work.left + (work.right - work.left - width) / 2, 1) << "off every screen: centred";
  EXPECT_EQ(r.right - r.left, width);
  EXPECT_EQ(InterfaceFrm.ScaleWidth(), vb::TwipsToPixelsX(9810));
  EXPECT_EQ(InterfaceFrm.ScaleHeight(), vb::TwipsToPixelsY(7485));
}

}  // namespace
