// The graph control on a real window: meter, grid, line and fill read back from its
// kept image, the clipboard commands and the name label's hover.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "GraphControl.h"
#include "TrackerTestSupport.h"
#include "UiWait.h"
#include "VbRules.h"
#include "Window.h"

using trackertest::Pixels;
using trackertest::Read;
using trackertest::TestHistory;

namespace {

constexpr COLORREF kGreen = RGB(0, 0xFF, 0), kGrey = RGB(0x80, 0x80, 0x80), kBlue = RGB(0, 0, 0xFF);
constexpr COLORREF kLine = RGB(0xFF, 0, 0xFF);

class GraphHost : public ui::Window {
 public:
  explicit GraphHost(ui::Bounds bounds = {4, 4, 360, 100})
      : Window({.caption = "graph host", .style = WS_POPUP, .x = 20, .y = 20, .width = 400, .height = 140}),
        graph(*this, bounds) {
    graph.SetForeColor(kLine);
  }
  GraphControl graph;
};

int Px(double v) { return static_cast<int>(std::floor(v + 0.5)); }

// Where the graph puts percentage p in a graph `h` pixels high.
int ExpectedY(int h, int p) {
  const double m = std::max(h * vb::TwipsPerPixelY() / 200.0, 2.0), d = h - 2 * m;
  return Px((d + m) - p * d / 100.0);
}

struct Point {
  int x, y;
};
// The drawn points of a series, oldest first, gaps left out.
std::vector<Point> ExpectedPoints(const HistogramCls& h, int series, int w, int height) {
  std::vector<Point> points;
  const int n = h.Get_DataNum(series);
  int k = h.Get_Pointer(series) + 1;
  if (k > n) k = 0;
  for (int s = 0; s <= n; ++s) {
    const int v = h.Get_Data(series, k);
    if (v >= 0) points.push_back({Px(double(s) * w / n), ExpectedY(height, v)});
    if (++k > n) k = 0;
  }
  return points;
}

// A history whose series 0 starts with a run of zeros, then `values`.
TestHistory Fed(std::initializer_list<int> values) {
  TestHistory t;
  t.Add(0);
  for (int v : values) t.Add(v);
  return t;
}

// Series 2 all gaps: a day passed without a sample.
void SkipDay(TestHistory& t) { t.Add(10, 24u * 3481u * 1000u + 500u); }

}  // namespace

TEST(GraphControl, MeterLightsStripsByValue) {
  struct Case {
    int value;
    int lit;  // strips lit from the bottom
    const char* text;
  } cases[] = {{0, 0, "0%"}, {1, 3, "1%"}, {7, 3, "7%"}, {95, 12, "95%"}, {100, 13, "100%"}};
  for (const Case& c : cases) {
    GraphHost host;
    ASSERT_TRUE(host.Load());
    EXPECT_EQ(host.graph.PercentUsed(), 0);
    TestHistory t;
    t.Add(c.value);
    host.graph.Refresh(t.h.get(), 0);
    EXPECT_EQ(host.graph.UsageText(), c.text);
    EXPECT_EQ(host.graph.PercentUsed(), c.value);
    Pixels meter = Read(host.graph.picUsage);
    for (int i = 0; i < 13; ++i) {
      const bool lit = i >= 13 - c.lit;
      EXPECT_EQ(meter.At(30, 3 * i + 5), lit ? kGreen : kGrey) << c.value << " strip " << i;
      EXPECT_EQ(meter.At(30, 3 * i + 7), kBlue) << "between strips " << i;
    }
  }
}

TEST(GraphControl, MissingNewestSampleShowsZeroWithNothingLit) {
  GraphHost host;
  ASSERT_TRUE(host.Load());
  TestHistory t;
  SkipDay(t);
  host.graph.Refresh(t.h.get(), 2);
  EXPECT_EQ(host.graph.UsageText(), "0%");
  Pixels meter = Read(host.graph.picUsage);
  for (int i = 0; i < 13; ++i) EXPECT_EQ(meter.At(30, 3 * i + 5), kGrey) << i;
}

TEST(GraphControl, DisabledDrawsEverythingGrey) {
  GraphHost host;
  ASSERT_TRUE(host.Load());
  host.graph.SetBarColor(RGB(0x10, 0x20, 0x30));
  host.graph.SetEnabled(false);
  TestHistory t = Fed({100, 50, 60});
  host.graph.Refresh(t.h.get(), 0);
  const COLORREF grey = GraphDisabledColour();
  Pixels meter = Read(host.graph.picUsage), graph = Read(host.graph.picGraph);
  for (int i = 0; i < 13; ++i) EXPECT_EQ(meter.At(30, 3 * i + 5), grey);
  EXPECT_EQ(graph.Count(kLine), 0);
  EXPECT_EQ(graph.Count(RGB(0x10, 0x20, 0x30)), 0);
  EXPECT_GT(graph.Count(grey), 100);
}

TEST(GraphControl, LineAndGridAtTheirComputedPoints) {
  GraphHost host;
  ASSERT_TRUE(host.Load());
  TestHistory t = Fed({10, 90, 40, 100, 0, 75});
  host.graph.Refresh(t.h.get(), 0);
  Pixels g = Read(host.graph.picGraph);
  ASSERT_GT(g.width, 200);
  for (const Point& p : ExpectedPoints(*t.h, 0, g.width, g.height))
    if (p.x < g.width) {
      EXPECT_TRUE(g.Near(p.x, p.y, kLine)) << p.x << "," << p.y;
    }
  // The grid: one cell per 15 pixels, columns counted from the right edge.
  const int cols = Px(g.width / 15.0);
  for (int i = 1; i < cols; ++i) EXPECT_TRUE(g.Near(Px(g.width - double(i) * g.width / cols), 3, kGrey, 0));
  EXPECT_TRUE(g.Near(10, ExpectedY(g.height, 100), kGrey, 0));
}

TEST(GraphControl, TheDaySeriesSpansTheSameWidth) {
  GraphHost host;
  ASSERT_TRUE(host.Load());
  TestHistory t;
  SkipDay(t);
  for (int i = 0; i < 3 * 3600; ++i) t.Add(i % 3600 < 1800 ? 20 : 80);
  ASSERT_GT(t.h->Get_Data(2, t.h->Get_Pointer(2)), 0);
  host.graph.Refresh(t.h.get(), 2);
  Pixels g = Read(host.graph.picGraph);
  auto points = ExpectedPoints(*t.h, 2, g.width, g.height);
  ASSERT_GE(points.size(), 2u);
  EXPECT_EQ(points.back().x, g.width);  // 23 steps over the whole width
  for (const Point& p : points) EXPECT_TRUE(g.Near(std::min(p.x, g.width - 1), p.y, kLine)) << p.x;
  // Left of the first real sample nothing is drawn.
  for (int x = 0; x < points.front().x - 1; ++x)
    for (int y = 0; y < g.height; ++y) ASSERT_NE(g.At(x, y), kLine) << x << "," << y;
}

TEST(GraphControl, FillOnlyUnderTheLineAndTheBrushGoesBack) {
  GraphHost host;
  ASSERT_TRUE(host.Load());
  host.graph.SetSolidGraph(true);
  // The DC's brush before and after each drawing.
  HGDIOBJ before = nullptr, after = nullptr;
  auto draw = host.graph.picGraph.Paint;
  host.graph.picGraph.Paint = [&](HDC dc) {
    before = GetCurrentObject(dc, OBJ_BRUSH);
    draw(dc);
    after = GetCurrentObject(dc, OBJ_BRUSH);
  };
  TestHistory t;
  t.Add(30, 61000);  // a minute passed: a fresh series 1 with a gap before its first sample
  for (int i = 0; i < 20; ++i) t.Add(50);
  host.graph.Refresh(t.h.get(), 0);
  EXPECT_EQ(before, after);
  Pixels g = Read(host.graph.picGraph);
  const int mid = g.width - 20, line = ExpectedY(g.height, 50);
  EXPECT_EQ(g.At(mid, line + 10), kLine);           // under the line
  EXPECT_EQ(g.At(mid, line - 10), kBlue);           // above it
  EXPECT_EQ(g.Count(kGrey), 0);                     // no grid
  // Series 2 holds only gaps: no line, no fill.
  TestHistory empty;
  SkipDay(empty);
  host.graph.Refresh(empty.h.get(), 2);
  EXPECT_EQ(Read(host.graph.picGraph).Count(kLine), 0);
  EXPECT_EQ(before, after);
}

TEST(GraphControl, TinyGraphsDrawWhatFits) {
  for (ui::Bounds b : {ui::Bounds{4, 4, 0, 0}, ui::Bounds{4, 4, 5, 5}, ui::Bounds{4, 4, 66, 5}}) {
    GraphHost host(b);
    ASSERT_TRUE(host.Load());
    host.graph.SetHideUsage(b.width < 60);
    TestHistory t = Fed({50, 60});
    host.graph.Refresh(t.h.get(), 0);
    host.graph.SetSolidGraph(true);
    host.graph.Refresh(t.h.get(), 0);
    EXPECT_EQ(host.graph.PercentUsed(), 60);
  }
  GraphHost host;
  ASSERT_TRUE(host.Load());
  host.graph.Refresh(nullptr, 0);  // no history: nothing drawn
  TestHistory t = Fed({50});
  host.graph.Refresh(t.h.get(), 3);
  EXPECT_EQ(host.graph.PercentUsed(), 0);
  host.graph.mnuGraphToolsCopy_Click();
}

TEST(GraphControl, CopyGraphDataReadsBackFromTheClipboard) {
  GraphHost host;
  ASSERT_TRUE(host.Load());
  // Nothing kept yet: the clipboard keeps what it had.
  OpenClipboard(nullptr);
  EmptyClipboard();
  CloseClipboard();
  host.graph.mnuGraphToolsCopy_Click();
  EXPECT_EQ(trackertest::ClipboardText(), "");

  TestHistory gaps;
  gaps.Add(50, 61000);  // a minute passed: series 1 holds its gap
  host.graph.Refresh(gaps.h.get(), 1);
  host.graph.mnuGraphToolsCopy_Click();
  std::vector<std::string> lines;
  std::istringstream in(trackertest::ClipboardText());
  for (std::string line; std::getline(in, line);) {
    ASSERT_FALSE(line.empty());
    ASSERT_EQ(line.back(), '\r');
    line.pop_back();
    lines.push_back(line);
  }
  ASSERT_EQ(lines.size(), 60u);
  EXPECT_EQ(lines.back(), "-");
  EXPECT_EQ(lines.front(), " 0");
  TestHistory t(1000);  // a traffic-style scale: samples are percent of 1000
  for (int v : {500, 250, 1000}) t.Add(v);
  host.graph.Refresh(t.h.get(), 0);
  host.graph.mnuGraphToolsCopy_Click();
  std::string text = trackertest::ClipboardText();
  EXPECT_NE(text.find(" 1000\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find(" 250\r\n"), std::string::npos);
  host.graph.Refresh(t.h.get(), 2);
  host.graph.mnuGraphToolsCopy_Click();
  text = trackertest::ClipboardText();
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 24);
}

TEST(GraphControl, CopyGraphAsImageHasTheGraphsSize) {
  GraphHost host;
  ASSERT_TRUE(host.Load());
  TestHistory t = Fed({40});
  host.graph.Refresh(t.h.get(), 0);
  host.graph.mnuGraphToolsGraph_Click();
  ASSERT_TRUE(OpenClipboard(nullptr));
  HBITMAP bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
  BITMAP info = {};
  ASSERT_TRUE(bitmap && GetObjectA(bitmap, sizeof info, &info));
  CloseClipboard();
  EXPECT_EQ(info.bmWidth, host.graph.picGraph.ScaleWidth());
  EXPECT_EQ(info.bmHeight, host.graph.picGraph.ScaleHeight());
}

TEST(GraphControl, CaptionComesBackWhenTheCursorLeavesAcrossTheEdge) {
  GraphHost host;
  ASSERT_TRUE(host.Load());
  host.Show();
  host.graph.SetShowText(true);
  host.graph.SetHideTextOnHover(1);
  host.graph.SetText("CPU:  45");
  RECT r;
  GetWindowRect(host.graph.picGraph.hwnd(), &r);
  SetCursorPos(r.left + 20, r.top + 20);
  SendMessageA(host.graph.picGraph.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(20, 20));
  EXPECT_FALSE(host.graph.ItemNameLbl.Visible());
  EXPECT_TRUE(host.graph.Timer1.Enabled());
  host.graph.Timer1_Timer();  // still inside: stays hidden
  EXPECT_FALSE(host.graph.ItemNameLbl.Visible());
  SetCursorPos(r.left, r.top + 20);  // on the edge pixel
  EXPECT_TRUE(testsupport::PumpUntil([&] { return host.graph.ItemNameLbl.Visible(); }, 2000));
  EXPECT_FALSE(host.graph.Timer1.Enabled());
  EXPECT_EQ(host.graph.Text(), "CPU:  45");
}
