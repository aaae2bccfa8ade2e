// The bar's items: captions and colours from the program's figures, the row, its
// scrolling and the pages the items open.
#include <gtest/gtest.h>

#include "InfoBarFrm.h"
#include "InterfaceFrm.h"
#include "ListView.h"
#include "Window.h"
#include "ConInfoFrm.h"
#include "ModConInfo.h"
#include "ModMainLoop.h"
#include "ModPop.h"
#include "ModSettings.h"
#include "ModStartup.h"
#include "Seams.h"
#include "SysInfoLink.h"
#include "TrackerTestSupport.h"
#include "UiWait.h"
#include "ViewBindings.h"

using trackertest::BarTest;

namespace {

class ItemsTest : public BarTest {
 protected:
  void SetUp() override {
    BarTest::SetUp();
    CpuHistory = std::make_unique<HistogramCls>([this] { return now; });
    CpuHistory->StartCounting(100);
    for (auto& h : MemHistory) {
      h = std::make_unique<HistogramCls>([this] { return now; });
      h->StartCounting(100);
    }
    for (auto& h : NetSpeedHist) {
      h = std::make_unique<HistogramCls>([this] { return now; });
      h->StartCounting(1);
    }
    CurCon = ConInfoRec();
    PerfInfoData = {100, 0, 5496, 10000, 500, 1000, 0, 0, 0};
    seams::TickCountFn = [this] { return tick; };
  }
  void TearDown() override {
    BarTest::TearDown();
    CpuHistory.reset();
    for (auto& h : MemHistory) h.reset();
    for (auto& h : NetSpeedHist) h.reset();
    PerfInfoData.clear();
    CurCon = ConInfoRec();
  }
  std::string Caption(int slot) { return InfoBarFrm.ItemGrph(slot).Text(); }
  COLORREF Colour(int slot) { return InfoBarFrm.ItemGrph(slot).ForeColor(); }
  DWORD now = 3000000, tick = 0;
};

}  // namespace

TEST_F(ItemsTest, CaptionsAndColoursFromTheFigures) {
  struct Case {
    int kind;
    std::vector<int32_t> perf;  // empty: the fixture's
    DWORD tick;
    float send;
    const char* caption;
    COLORREF colour;
  } cases[] = {
      {1, {100, 0, 0, 1, 0, 1, 0, 1, 0}, 0, 0, "CPU:    100", 0x0000FF},
      {1, {80, 0, 0, 1, 0, 1, 0, 1, 0}, 0, 0, "CPU:     80", 0xFF00FF},
      {1, {95, 0, 0, 1, 0, 1, 0, 1, 0}, 0, 0, "CPU:     95", 0xFF0000},
      {2, {0, 0, 5496, 10000}, 0, 0, "Mem:     45", 0xFF00FF},      // 45.04
      {2, {0, 0, 5494, 10000}, 0, 0, "Mem:   45.1", 0xFF00FF},      // 45.06
      {2, {0, 0, 2000, 10000}, 0, 0, "Mem:     80", 0xFF00FF},      // at LowRes(0)
      {2, {0, 0, 1990, 10000}, 0, 0, "Mem:   80.1", 0xFF0000},      // a tenth above
      {2, {0, 0, 500, 10000}, 0, 0, "Mem:     95", 0xFF0000},
      {2, {0, 0, 490, 10000}, 0, 0, "Mem:   95.1", 0x0000FF},
      {3, {}, 360000000u, 0, "Uptime: 100:00:00", 0xFF00FF},       // exactly 9 wide
      {3, {}, 3600000000u, 0, "Uptime: 1000:00:00", 0xFF00FF},     // wider, kept whole
      {3, {}, 2200000000u, 0, "Uptime: 611:06:40", 0xFF00FF},      // past 24.8 days
      {10, {}, 0, 0, "Pops:    0", 0xFF00FF},
      {6, {}, 0, 0, "Send:          0", 0xFF00FF},
      {6, {}, 0, 12.25f, "Send:       12.2", 0xFF00FF},
  };
  for (const Case& c : cases) {
    if (!c.perf.empty()) PerfInfoData = c.perf;
    tick = c.tick;
    CurCon.SndSpd = c.send;
    now += 1000;
    LoadBar(1, {c.kind});
    EXPECT_EQ(Caption(0), c.caption) << c.kind;
    EXPECT_EQ(Colour(0), c.colour) << c.caption;
    if (c.kind == 6) {
      EXPECT_EQ(InfoBarFrm.TrackerItemObjs[0].PercentageMax, c.send ? 12.2 : 1.0);
    }
    InfoBarFrm.Unload();
  }
}

// "Pops" counts this run's blocked pop-ups, one more with each pop-up closed.
TEST_F(ItemsTest, PopsCountsTheBlockedPopUps) {
  const int32_t savedTotal = TotalBlockCnt;
  // Real windows: blocking one closes it.
  auto block = [](const char* title) {
    AddBlockedWebDialog(CreateWindowExA(0, "STATIC", title, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr),
                        title);
  };
  const int before = BlockedPopUpCount();
  for (const char* title : {"one", "two", "three"}) block(title);
  ASSERT_EQ(BlockedPopUpCount(), before + 3);
  LoadBar(1, {10});
  EXPECT_EQ(Caption(0), "Pops:    " + std::to_string(before + 3));
  block("four");
  now += 1000;
  InfoBarFrm.RefreshMe();
  EXPECT_EQ(Caption(0), "Pops:    " + std::to_string(before + 4));
  TotalBlockCnt = savedTotal;
}

TEST_F(ItemsTest, AMemoryTotalOfZeroKeepsTheText) {
  LoadBar(1, {2});
  EXPECT_EQ(Caption(0), "Mem:     45");
  const int16_t pointer = MemHistory[0]->Get_Pointer(0);
  PerfInfoData[3] = 0;
  now += 1000;
  InfoBarFrm.RefreshMe();
  EXPECT_EQ(Caption(0), "Mem:     45");
  EXPECT_EQ(MemHistory[0]->Get_Pointer(0), pointer);
  PerfInfoData.clear();
  InfoBarFrm.RefreshMe();
  EXPECT_EQ(Caption(0), "Mem:     45");
}

TEST_F(ItemsTest, TheRowFollowsTheSettings) {
  LoadBar(1);
  EXPECT_EQ(InfoBarFrm.TrackerItemCount, 0);  // every slot hidden
  EXPECT_FALSE(InfoBarFrm.ItemLoaded(1));
  TrackerItems[3] = 1;
  TrackerItems[7] = 1;
  TrackerItemsShow[3] = TrackerItemsShow[7] = true;
  HWND bar = InfoBarFrm.hwnd();
  Views.trackerBar.IniTrackerItems();  // as applying the settings does
  EXPECT_EQ(InfoBarFrm.hwnd(), bar);
  ASSERT_EQ(InfoBarFrm.TrackerItemCount, 2);
  EXPECT_EQ(Caption(0), "CPU:    100");
  EXPECT_EQ(Caption(1), "CPU:    100");
  const RECT first = [] { RECT r; GetWindowRect(InfoBarFrm.ItemGrph(0).hwnd(), &r); return r; }();
  const RECT second = [] { RECT r; GetWindowRect(InfoBarFrm.ItemGrph(1).hwnd(), &r); return r; }();
  EXPECT_NEAR(second.left - first.right, 7, 1);  // the gap between items
  EXPECT_EQ(first.left - BarRect().left, 14 + 7);  // the cap, then the first offset
  TrackerItemsShow[7] = false;
  Views.trackerBar.IniTrackerItems();
  EXPECT_EQ(InfoBarFrm.TrackerItemCount, 1);
  EXPECT_FALSE(InfoBarFrm.ItemLoaded(1));
}

TEST_F(ItemsTest, HoverScrollStopsAtBothEnds) {
  LoadBar(0, {1, 2, 3, 4});  // the side band is far narrower than the row
  ASSERT_GT(InfoBarFrm.HScroll.Max, 0);
  RECT right, left;
  GetWindowRect(InfoBarFrm.RightPic.hwnd(), &right);
  GetWindowRect(InfoBarFrm.LeftPic.hwnd(), &left);
  SetCursorPos(right.left + 2, right.top + 2);
  SendMessageA(InfoBarFrm.RightPic.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
  EXPECT_TRUE(InfoBarFrm.ScrollRightOn);
  InfoBarFrm.SetScrollValue(InfoBarFrm.HScroll.Max - 1);
  for (int i = 0; i < 3; ++i) InfoBarFrm.Timer1_Timer();
  EXPECT_EQ(InfoBarFrm.HScroll.Value, InfoBarFrm.HScroll.Max);
  EXPECT_DOUBLE_EQ(InfoBarFrm.GraphLeft[0], 20.0 / 3 - InfoBarFrm.HScroll.Max);
  SetCursorPos(left.left + 2, left.top + 2);
  InfoBarFrm.Timer1_Timer();
  EXPECT_FALSE(InfoBarFrm.ScrollRightOn);  // the cursor left the right cap
  SendMessageA(InfoBarFrm.LeftPic.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
  InfoBarFrm.SetScrollValue(1);
  for (int i = 0; i < 3; ++i) InfoBarFrm.Timer1_Timer();
  EXPECT_EQ(InfoBarFrm.HScroll.Value, 0);
}

TEST_F(ItemsTest, ClicksOpenTheItemsPages) {
  LoadBar(1, {3, 10, 9});
  auto click = [](int slot) {
    HWND graph = InfoBarFrm.ItemGrph(slot).picGraph.hwnd();
    SendMessageA(graph, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    SendMessageA(graph, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
  };
  click(0);
  EXPECT_TRUE(Views.frame.PageButtonPressed("Performance"));
  click(1);
  EXPECT_TRUE(Views.frame.PageButtonPressed("PopUp"));
  click(2);
  EXPECT_TRUE(Views.frame.PageButtonPressed("ConInfo"));
  EXPECT_EQ(ConInfoFrm.NetSpeedCombo.List(ConInfoFrm.NetSpeedCombo.ListIndex()), "Average Receiving Speed");
  InterfaceFrm.Hide();
}

TEST_F(ItemsTest, TheStripIsTiledAndADoubleClickShowsTheMainWindow) {
  LoadBar(1, {1});
  // The tile's dark border rows run along the whole strip, past the items.
  testsupport::PumpUntilIdle();  // the bar paints
  trackertest::Pixels strip = trackertest::Read(InfoBarFrm.MainPic);
  ASSERT_EQ(strip.width, 1024 - 28);
  for (int x : {0, 500, strip.width - 1}) {
    EXPECT_EQ(strip.At(x, 0), RGB(15, 20, 30)) << x;
    EXPECT_EQ(strip.At(x, 31), RGB(15, 20, 30)) << x;
  }
  InterfaceFrm.Hide();
  HWND main = InfoBarFrm.MainPic.hwnd();
  SendMessageA(main, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(900, 10));
  SendMessageA(main, WM_LBUTTONUP, 0, MAKELPARAM(900, 10));
  EXPECT_TRUE(InterfaceFrm.Visible());
  InterfaceFrm.Hide();
}
