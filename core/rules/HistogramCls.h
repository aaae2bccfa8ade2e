// The recent history of one measured quantity at three time scales: the last 60
// seconds, 60 minutes and 24 hours, each sample a whole percentage of the scale's
// maximum. The maximum is fixed at 100 or follows the values (traffic rates).
// Plain C++ with no system headers: the values come from outside (the registry, the
// network counters) and the class is exercised natively.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

// Clamps a percentage figure to 0..100 before it enters a fixed-scale history.
int32_t ClampPercent(int32_t value);

class HistogramCls {
 public:
  using TickSource = std::function<uint32_t()>;
  // A millisecond tick count that wraps at 2^32. It defaults to a steady clock; the
  // program passes its own, which tests can move.
  explicit HistogramCls(TickSource ticks = nullptr);

  // A negative value counts as 0. On the fixed scale a value above 100 counts as 100;
  // a self-scaling history grows to any value, so no stored sample passes 100 %.
  void AddPoint(int32_t value);
  int16_t Get_Data(int series, int index) const;  // throws std::out_of_range outside 0..2, 0..100
  int16_t Get_DataNum(int series) const;
  int16_t Get_Pointer(int series) const;
  int32_t Get_MaxValue(int series) const;
  void Set_MaxValue(int series, int32_t value);
  void StartCounting(int32_t maxValue);
  std::string ExtraInfo;  // free for the owner (the program monitor keeps a path here)

  static constexpr int16_t kGap = -1;  // a second, minute or hour with no sample

 private:
  struct HistSeries {
    int16_t Data[101] = {};
    int16_t LastIndex = 0;
    int16_t Pointer = 0;
    int32_t MaxValue = 0;
    int32_t Peak = 0;
  };
  void AddSample(int series, int32_t value);
  int32_t SeriesAverage(int series) const;
  void ClearSeries(int series);
  void FillGapsBefore(HistSeries& s, int16_t p);
  uint32_t Now() const;

  HistSeries Series[3];
  uint32_t StartTick = 0;
  bool FixedScale = false;
  TickSource ticks_;
};
