// The performance page: memory figures, the chosen memory graph and time scale, and
// sampling while the main frame is hidden.
#include <gtest/gtest.h>

#include "ModStartup.h"
#include "SysInfoLink.h"
#include "SysPerfFrm.h"
#include "TextFit.h"
#include "TrackerTestSupport.h"
#include "ViewBindings.h"
#include "Window.h"

namespace {

class SysPerfTest : public testing::Test {
 protected:
  void SetUp() override {
    savedFrame = Views.frame.form;
    Views.frame.form = &frame;
    ASSERT_TRUE(frame.Load());
    CpuHistory = std::make_unique<HistogramCls>([this] { return now; });
    CpuHistory->StartCounting(100);
    for (auto& h : MemHistory) {
      h = std::make_unique<HistogramCls>([this] { return now; });
      h->StartCounting(100);
    }
    PerfInfoData = {37, 0, 1234567, 2000000, 500000, 1000000, 0, 400000, 0};
  }
  void TearDown() override {
    Views.frame.form = savedFrame;
    SysPerfFrm.MemInfoOpt0.SetValue(true);
    SysPerfFrm.MemInfoOpt2.SetValue(false);
    SysPerfFrm.Unload();
    // The graphs keep the histories they drew; these go now.
    SysPerfFrm.CpuUsageGrph.Refresh(nullptr, 0);
    SysPerfFrm.MemUsageGrph.Refresh(nullptr, 0);
    CpuHistory.reset();
    for (auto& h : MemHistory) h.reset();
    PerfInfoData.clear();
  }
  void Refresh() {
    now += 1000;
    SysPerfFrm.RefreshMe(false);
  }
  DWORD now = 2000000;
  ui::Window frame{{.caption = "frame", .style = WS_POPUP, .width = 50, .height = 50}};
  ui::Window* savedFrame = nullptr;
};

}  // namespace

TEST(SysPerfFormat, MemoryFiguresGroupThousandsAndZeroIsEmpty) {
  EXPECT_EQ(FormatMemFigure(1234567), "1,234,567");
  EXPECT_EQ(FormatMemFigure(999), "999");
  EXPECT_EQ(FormatMemFigure(1000), "1,000");
  EXPECT_EQ(FormatMemFigure(0), "");
}

TEST_F(SysPerfTest, ShowsFiguresAndDrawsTheChosenMemoryKind) {
  frame.Show();
  Refresh();
  EXPECT_EQ(SysPerfFrm.MemDataLbl[0]->Text(), "1,234,567");
  EXPECT_EQ(SysPerfFrm.MemDataLbl[4]->Text(), "");
  EXPECT_EQ(SysPerfFrm.Frame3_1.Text(), "Physical Memory usage history");
  EXPECT_EQ(SysPerfFrm.CpuUsageGrph.PercentUsed(), 37);
  EXPECT_EQ(SysPerfFrm.MemUsageGrph.PercentUsed(), 38);  // 1 - 1234567 / 2000000
  SysPerfFrm.MemInfoOpt0.SetValue(false);
  SysPerfFrm.MemInfoOpt2.SetValue(true);
  PerfInfoData[6] = 100000;
  Refresh();
  EXPECT_EQ(SysPerfFrm.Frame3_1.Text(), "Paging usage history");
  EXPECT_EQ(SysPerfFrm.MemUsageGrph.PercentUsed(), 75);
  EXPECT_EQ(MemHistory[2]->Get_Data(0, MemHistory[2]->Get_Pointer(0)), 75);
}

TEST_F(SysPerfTest, HiddenFrameSamplesButDoesNotDraw) {
  frame.Hide();
  PerfInfoData[0] = 99;
  const std::string shown = SysPerfFrm.CpuUsageGrph.UsageText();
  Refresh();
  EXPECT_EQ(CpuHistory->Get_Data(0, CpuHistory->Get_Pointer(0)), 99);
  EXPECT_EQ(SysPerfFrm.MemDataLbl[1]->Text(), "2,000,000");
  EXPECT_NE(SysPerfFrm.CpuUsageGrph.PercentUsed(), 99);
  EXPECT_EQ(SysPerfFrm.CpuUsageGrph.UsageText(), shown);
}

TEST_F(SysPerfTest, NoTotalOrNoFiguresAddNoSample) {
  PerfInfoData[7] = 0;  // no paging file
  Refresh();
  const int16_t pointer = MemHistory[2]->Get_Pointer(0);
  Refresh();
  EXPECT_EQ(MemHistory[2]->Get_Pointer(0), pointer);
  PerfInfoData.clear();
  Refresh();
  for (auto* label : SysPerfFrm.MemDataLbl) EXPECT_EQ(label->Text(), "");
  EXPECT_NE(SysPerfFrm.UptimeLbl.Text(), "000:00:00");
}

TEST_F(SysPerfTest, F5RefreshesThePage) {
  frame.Show();
  ASSERT_TRUE(SysPerfFrm.Load());
  PerfInfoData[2] = 7654321;
  SysPerfFrm.MemDataLbl0.SetFocus();
  MSG msg = {SysPerfFrm.MemInfoOpt0.hwnd(), WM_KEYDOWN, VK_F5, 0};
  now += 1000;
  ui::DispatchOne(msg);
  EXPECT_EQ(SysPerfFrm.MemDataLbl[0]->Text(), "7,654,321");
}

// What the library gives a 64-bit program for its address space, 2^31 - 1 KB, is its
// ceiling, not the figure: the page shows the system's own figures, whole, in labels
// wide enough for the largest of them.
TEST_F(SysPerfTest, VirtualMemoryPastTheLibrarysRangeShowsWhole) {
  MEMORYSTATUSEX status = {};
  status.dwLength = sizeof status;
  ASSERT_TRUE(GlobalMemoryStatusEx(&status));
  PerfInfoData[4] = PerfInfoData[5] = 0x7FFFFFFF;
  frame.Show();
  Refresh();
  const std::string total = SysPerfFrm.MemDataLbl[3]->Text();
  EXPECT_EQ(total, FormatMemFigure(static_cast<int64_t>(status.ullTotalVirtual >> 10)));
  EXPECT_NE(total, "2,147,483,647");
  EXPECT_NE(SysPerfFrm.MemDataLbl[2]->Text(), "2,147,483,647");
  // The widest figure the labels can be given: 128 TB in KB.
  ui::Label* captions[6] = {&SysPerfFrm.Label1_0, &SysPerfFrm.Label1_1, &SysPerfFrm.Label1_2,
                            &SysPerfFrm.Label1_3, &SysPerfFrm.Label1_4, &SysPerfFrm.Label1_5};
  for (int i = 0; i < 6; ++i) {
    HWND h = SysPerfFrm.MemDataLbl[i]->hwnd();
    RECT room = {};
    GetClientRect(h, &room);
    const std::string widest = FormatMemFigure(137438953344LL);
    const SIZE need = testsupport::OneLineTextSize(h, widest);
    EXPECT_LE(need.cx, room.right) << widest << " in a label " << room.right << " wide";
    // Its caption ("Free:", "Total: ") stays whole and clear of it, and both stay in the frame.
    RECT figure = {}, caption = {}, frame = {};
    GetWindowRect(h, &figure);
    GetWindowRect(captions[i]->hwnd(), &caption);
    GetClientRect(GetParent(h), &frame);
    MapWindowPoints(GetParent(h), nullptr, reinterpret_cast<POINT*>(&frame), 2);
    EXPECT_LE(caption.right, figure.left) << i;
    EXPECT_LE(figure.right, frame.right - 2) << i;
    const std::string text = captions[i]->Text();
    EXPECT_LE(testsupport::OneLineTextSize(h, text).cx, caption.right - caption.left) << text;
  }
}
