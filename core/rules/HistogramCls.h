// The recent history of one measured quantity at three time scales: the last 60
// seconds, 60 minutes and 24 hours, each sample a whole percentage of the scale's
// maximum. The maximum is fixed at 100 or follows the values (traffic rates).
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

class HistogramCls {
 public:
  using TickSource = std::function<DWORD()>;
  // The tick source defaults to the system tick count; the program passes its own
  // clock, which tests can move.
  explicit HistogramCls(TickSource ticks = nullptr);

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
  DWORD Now() const;

  HistSeries Series[3];
  DWORD StartTick = 0;
  bool FixedScale = false;
  TickSource ticks_;
};
