#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "HistogramCls.h"

namespace {

struct Step {
  uint32_t atMs;  // tick of the call, counted from the StartCounting tick
  int32_t value;
};

// The newest `count` samples of a series, oldest first.
std::vector<int> Newest(const HistogramCls& h, int series, int count) {
  std::vector<int> out;
  const int ring = h.Get_DataNum(series) + 1;
  for (int k = count - 1; k >= 0; --k)
    out.push_back(h.Get_Data(series, ((h.Get_Pointer(series) - k) % ring + ring) % ring));
  return out;
}

struct Scenario {
  const char* name;
  uint32_t startTick;
  int32_t startMax;
  std::vector<Step> steps;
  std::function<void(const HistogramCls&)> check;
};

std::vector<Step> Every(uint32_t fromMs, int count, int32_t value) {
  std::vector<Step> steps;
  for (int i = 0; i < count; ++i) steps.push_back({fromMs + 1000u * i, value});
  return steps;
}

TEST(HistogramCls, SamplesGapsScalesAndRings) {
  const Scenario scenarios[] = {
      {"two consecutive seconds", 0, 100, {{1000, 50}, {2000, 50}},
       [](const HistogramCls& h) { EXPECT_EQ(Newest(h, 0, 2), (std::vector<int>{50, 50})); }},
      {"missed seconds become a straight line, halves to even", 0, 100, {{1000, 30}, {5000, 60}},
       [](const HistogramCls& h) {
         EXPECT_EQ(Newest(h, 0, 5), (std::vector<int>{30, 38, 45, 52, 60}));
       }},
      {"a second call within the same second is dropped", 0, 100, {{1000, 20}, {1500, 90}, {1999, 90}},
       [](const HistogramCls& h) {
         EXPECT_EQ(h.Get_Pointer(0), 1);
         EXPECT_EQ(h.Get_Data(0, 1), 20);
       }},
      {"seconds are counted from the start, not from the last call", 0, 100,
       {{1400, 10}, {2300, 20}, {2500, 30}},
       // 2300 opens the third second since the start; 2500 falls in the same second.
       [](const HistogramCls& h) {
         EXPECT_EQ(h.Get_Pointer(0), 2);
         EXPECT_EQ(Newest(h, 0, 2), (std::vector<int>{10, 20}));
       }},
      {"ring wrap carries the average in value units", 0, 1, Every(1000, 60, 1000),
       [](const HistogramCls& h) {
         EXPECT_EQ(h.Get_Pointer(0), 0);
         // 59 samples of 1000 and the initial zero: 59000 / 60.
         EXPECT_EQ(h.Get_MaxValue(1), 983);
         EXPECT_EQ(h.Get_Pointer(1), 1);
         EXPECT_EQ(h.Get_Data(1, 1), 100);
       }},
      {"fixed-scale average", 0, 100, Every(1000, 60, 50),
       [](const HistogramCls& h) {
         EXPECT_EQ(h.Get_Data(1, 1), 49);  // (0 + 59 * 50) \ 60
         EXPECT_EQ(h.Get_MaxValue(1), 100);
       }},
      {"a 70-second pause clears the seconds and leaves a gap minute", 0, 100,
       {{1000, 40}, {71000, 55}},
       [](const HistogramCls& h) {
         EXPECT_EQ(h.Get_Pointer(1), 1);
         EXPECT_EQ(h.Get_Data(1, 1), HistogramCls::kGap);
         EXPECT_EQ(h.Get_Pointer(0), 12);  // the cleared ring keeps its position: 10 gaps, then the value
         EXPECT_EQ(Newest(h, 0, 12), (std::vector<int>{0, 5, 10, 15, 20, 25, 30, 35, 40, 45, 50, 55}));
       }},
      {"self-scaling grows with a larger value", 0, 1, {{1000, 10}, {2000, 3}},
       [](const HistogramCls& h) {
         EXPECT_EQ(h.Get_MaxValue(0), 10);
         EXPECT_EQ(Newest(h, 0, 2), (std::vector<int>{100, 30}));  // peak 100: no halving
       }},
      {"self-scaling halves once all samples are small", 0, 1,
       {{1000, 10}, {2000, 3}, {63000, 3}, {64000, 3}, {65000, 3}},
       [](const HistogramCls& h) {
         // The pause cleared the ring; the first small sample halved the maximum once.
         EXPECT_EQ(h.Get_MaxValue(0), 5);
         EXPECT_EQ(Newest(h, 0, 4), (std::vector<int>{30, 60, 60, 60}));
       }},
      {"the tick count wraps between two samples", 0xFFFFFC00u, 100, {{1000, 70}, {2000, 80}},
       [](const HistogramCls& h) {
         EXPECT_EQ(h.Get_Pointer(0), 2);
         EXPECT_EQ(Newest(h, 0, 2), (std::vector<int>{70, 80}));
         EXPECT_EQ(h.Get_Pointer(1), 0);
       }},
      {"nothing is stored before counting starts", 0, 0, {{1000, 50}},
       [](const HistogramCls& h) { EXPECT_EQ(h.Get_Pointer(0), 0); }},
  };
  for (const Scenario& s : scenarios) {
    SCOPED_TRACE(s.name);
    uint32_t now = s.startTick;
    HistogramCls h([&] { return now; });
    if (s.startMax) h.StartCounting(s.startMax);
    for (const Step& step : s.steps) {
      now = s.startTick + step.atMs;
      h.AddPoint(step.value);
    }
    s.check(h);
  }
}

TEST(HistogramCls, ASelfScalingMaximumNeverFallsToZero) {
  uint32_t now = 0;
  HistogramCls h([&] { return now; });
  h.StartCounting(1);
  now = 1000;
  h.AddPoint(1);
  // The fall from 100 % to 0 is drawn as a line of small percentages; once they are
  // all that is left, each sample would halve a maximum of 1.
  now = 59000;
  h.AddPoint(0);
  for (int i = 0; i < 120; ++i) {
    now += 1000;
    h.AddPoint(0);
    ASSERT_GE(h.Get_MaxValue(0), 1) << "after " << i << " samples";
  }
  now += 1000;
  h.AddPoint(1);
  EXPECT_EQ(h.Get_Data(0, h.Get_Pointer(0)), 100);
}

// Every stored sample of every series: the gap marker or a percentage up to 100.
void ExpectWithinScale(const HistogramCls& h, int low) {
  for (int series = 0; series < 3; ++series)
    for (int i = 0; i <= h.Get_DataNum(series); ++i) {
      EXPECT_LE(h.Get_Data(series, i), 100) << "series " << series << " index " << i;
      EXPECT_GE(h.Get_Data(series, i), low) << "series " << series << " index " << i;
    }
}

TEST(HistogramCls, OutOfRangeFiguresNeverLeaveTheScale) {
  uint32_t now = 0;
  {
    // Traffic: a negative figure, then sixty near the top of the 32-bit range, whose
    // sum in the minute's average passes 2^31.
    HistogramCls h([&] { return now; });
    h.StartCounting(1);
    now = 1000;
    h.AddPoint(-30000000);
    EXPECT_EQ(h.Get_Data(0, 1), 0);
    for (int i = 0; i < 61; ++i) {
      now += 1000;
      h.AddPoint(2000000000);
    }
    EXPECT_EQ(h.Get_MaxValue(0), 2000000000);
    EXPECT_GE(h.Get_MaxValue(1), 1900000000);  // the average carried, not 0
    EXPECT_GE(h.Get_Data(1, h.Get_Pointer(1)), 95);
    ExpectWithinScale(h, INT16_MIN);  // gaps of a small maximum are stored far below 0
  }
  {
    // 1000, a minute later 200, then 900: the halving for 200's small peak must not
    // leave 900 above the maximum.
    now = 0;
    HistogramCls h([&] { return now; });
    h.StartCounting(1);
    now = 1000;
    h.AddPoint(1000);
    now = 61000;
    h.AddPoint(200);
    now = 62000;
    h.AddPoint(900);
    EXPECT_GE(h.Get_MaxValue(0), 900);
    EXPECT_EQ(h.Get_Data(0, h.Get_Pointer(0)), 100);
    ExpectWithinScale(h, INT16_MIN);
  }
  {
    // Fixed scale: one huge CPU figure (the 9x road reads it raw) must not raise the
    // maximum and flatten every later sample to 0.
    now = 0;
    HistogramCls h([&] { return now; });
    h.StartCounting(100);
    now = 1000;
    h.AddPoint(2147483647);
    now = 2000;
    h.AddPoint(50);
    EXPECT_EQ(h.Get_MaxValue(0), 100);
    EXPECT_EQ(Newest(h, 0, 2), (std::vector<int>{100, 50}));
    ExpectWithinScale(h, HistogramCls::kGap);
  }
  EXPECT_EQ(ClampPercent(-3), 0);
  EXPECT_EQ(ClampPercent(57), 57);
  EXPECT_EQ(ClampPercent(4000), 100);
}

TEST(HistogramCls, IndexesOutsideTheRingsAreRefused) {
  HistogramCls h;
  EXPECT_EQ(h.Get_DataNum(0), 59);
  EXPECT_EQ(h.Get_DataNum(1), 59);
  EXPECT_EQ(h.Get_DataNum(2), 23);
  EXPECT_NO_THROW(h.Get_Data(2, 100));
  EXPECT_THROW(h.Get_Data(3, 0), std::out_of_range);
  EXPECT_THROW(h.Get_Data(0, 101), std::out_of_range);
  EXPECT_THROW(h.Get_Data(-1, 0), std::out_of_range);
}

}  // namespace
