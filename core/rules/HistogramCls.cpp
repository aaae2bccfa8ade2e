#include "HistogramCls.h"

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <stdexcept>

#include "VbRules.h"

namespace {

// Every fraction becomes a whole number with halves to even, clamped to the range
// of its target first: a cast of an out-of-range double is undefined.
int64_t Nearest(double x, int64_t low, int64_t high) {
  if (std::isnan(x)) return 0;
  const double r = vb::RoundHalfEven(x);
  if (r <= static_cast<double>(low)) return low;
  if (r >= static_cast<double>(high)) return high;
  return static_cast<int64_t>(r);
}
int32_t Nearest32(double x) { return static_cast<int32_t>(Nearest(x, INT32_MIN, INT32_MAX)); }
int16_t Nearest16(double x) { return static_cast<int16_t>(Nearest(x, INT16_MIN, INT16_MAX)); }

uint32_t SteadyTicks() {
  using namespace std::chrono;
  return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

}  // namespace

int32_t ClampPercent(int32_t value) { return value < 0 ? 0 : value > 100 ? 100 : value; }

HistogramCls::HistogramCls(TickSource ticks) : ticks_(std::move(ticks)) {
  Series[0].LastIndex = 59;
  Series[1].LastIndex = 59;
  Series[2].LastIndex = 23;
}

uint32_t HistogramCls::Now() const { return ticks_ ? ticks_() : SteadyTicks(); }

void HistogramCls::StartCounting(int32_t maxValue) {
  for (HistSeries& s : Series) {
    s.MaxValue = maxValue;
    s.Peak = 0;
  }
  if (maxValue == 100) FixedScale = true;
  StartTick = Now();
}

void HistogramCls::AddPoint(int32_t value) {
  if (Series[0].MaxValue == 0) return;
  // A negative figure would be stored as a gap; on the fixed scale one figure above
  // the maximum would otherwise raise it for good and flatten every later sample.
  if (value < 0) value = 0;
  if (FixedScale && value > Series[0].MaxValue) value = Series[0].MaxValue;
  const uint32_t now = Now();
  // Unsigned differences stay right across the tick count's wrap after 49.7 days.
  const uint32_t elapsed = now - StartTick;
  uint32_t e = elapsed / 1000;
  const uint32_t perHour = static_cast<uint32_t>(Series[0].LastIndex) * Series[1].LastIndex;
  if (e > perHour) {
    for (uint32_t i = e / perHour; i > 0; --i) AddSample(2, kGap);
    e %= perHour;
    ClearSeries(0);
    ClearSeries(1);
  }
  const uint32_t perMinute = static_cast<uint32_t>(Series[0].LastIndex);
  if (e > perMinute) {
    for (uint32_t i = e / perMinute; i > 0; --i) AddSample(1, kGap);
    e %= perMinute;
    ClearSeries(0);
  }
  if (e > 0) {
    for (uint32_t i = 1; i < e; ++i) AddSample(0, kGap);
    Set_MaxValue(0, value);
    AddSample(0, value);
  }
  StartTick = now - elapsed % 1000;
}

void HistogramCls::AddSample(int series, int32_t value) {
  HistSeries& s = Series[series];
  const int16_t p = Nearest16(static_cast<double>(value) / s.MaxValue * 100.0);
  if (++s.Pointer > s.LastIndex) {
    s.Pointer = 0;
    if (series < 2) {
      const int32_t carried = SeriesAverage(series);
      Set_MaxValue(series + 1, carried);
      AddSample(series + 1, carried);
    }
  }
  if (value > kGap) FillGapsBefore(s, p);
  s.Data[s.Pointer] = p;
  if (p > s.Peak) s.Peak = p;
}

// The run of gaps just before the new sample becomes the straight line from the
// last real sample to the new one.
void HistogramCls::FillGapsBefore(HistSeries& s, int16_t p) {
  const int ring = s.LastIndex + 1;
  auto back = [&](int k) { return ((s.Pointer - k) % ring + ring) % ring; };
  int n = 0, q = 0;
  for (int k = 1; k <= s.LastIndex; ++k) {
    int16_t v = s.Data[back(k)];
    if (v >= 0) {
      q = v;
      break;
    }
    ++n;
  }
  for (int k = 1; k <= n; ++k) {
    int d = Nearest32(std::abs(p - q) * static_cast<double>(k) / (n + 1));
    s.Data[back(k)] = static_cast<int16_t>(p > q ? p - d : p + d);
  }
}

int32_t HistogramCls::SeriesAverage(int series) const {
  const HistSeries& s = Series[series];
  // Sixty samples near a maximum of two billion pass 2^31: the sum is 64-bit.
  int64_t sum = 0, count = 0;
  for (int i = 0; i <= s.LastIndex; ++i) {
    if (s.Data[i] < 0) continue;
    sum = Nearest(static_cast<double>(s.Data[i]) * s.MaxValue / 100.0 + static_cast<double>(sum), INT64_MIN / 2,
                  INT64_MAX / 2);
    ++count;
  }
  if (sum <= 0 || count <= 0) return 0;
  const int64_t average = sum / count;
  return average > INT32_MAX ? INT32_MAX : static_cast<int32_t>(average);
}

void HistogramCls::Set_MaxValue(int series, int32_t value) {
  if (series < 0 || series > 2) throw std::out_of_range("series");
  HistSeries& s = Series[series];
  if (value <= s.MaxValue && !FixedScale) {
    s.Peak = 0;
    for (int i = 0; i <= s.LastIndex; ++i)
      if (s.Data[i] > s.Peak) s.Peak = s.Data[i];
    // A maximum of 1 is not halved: a maximum of 0 would divide the next sample by zero.
    if (s.Peak >= 1 && s.Peak < 40 && s.MaxValue > 1) {
      for (int i = 0; i <= s.LastIndex; ++i) s.Data[i] = Nearest16(s.Data[i] * 2.0);
      s.Peak *= 2;
      s.MaxValue = Nearest32(s.MaxValue / 2.0);
    }
  }
  // The halving above does not look at the incoming value, which may no longer fit
  // the halved maximum (1000, then 200, then 900 stored 180 %): grow again.
  if (value > s.MaxValue) {
    for (int i = 0; i <= s.LastIndex; ++i)
      s.Data[i] = Nearest16(static_cast<double>(s.MaxValue) / value * s.Data[i]);
    s.MaxValue = value;
  }
}

void HistogramCls::ClearSeries(int series) {
  HistSeries& s = Series[series];
  for (int i = 0; i <= s.LastIndex; ++i) s.Data[i] = 0;
  s.Peak = 0;
}

int16_t HistogramCls::Get_Data(int series, int index) const {
  if (series < 0 || series > 2 || index < 0 || index > 100) throw std::out_of_range("history index");
  return Series[series].Data[index];
}

int16_t HistogramCls::Get_DataNum(int series) const { return Series[series].LastIndex; }
int16_t HistogramCls::Get_Pointer(int series) const { return Series[series].Pointer; }
int32_t HistogramCls::Get_MaxValue(int series) const { return Series[series].MaxValue; }
