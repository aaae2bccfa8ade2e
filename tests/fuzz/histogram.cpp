// The sample history: fed any figures at any times, a fixed-scale history holds only
// gaps and percentages 0 to 100 and keeps its maximum of 100; a self-scaling one
// never stores a sample above 100 % and never lets its maximum fall below 1.
#include "FuzzSupport.h"
#include "HistogramCls.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);
  const uint8_t kind = in.Take<uint8_t>();
  const bool fixed = kind % 2 == 0;
  uint32_t now = in.Take<uint32_t>();
  HistogramCls h([&now] { return now; });
  h.StartCounting(fixed ? 100 : 1);
  for (int step = 0; step < 2000 && !in.Empty(); ++step) {
    const uint8_t how = in.Take<uint8_t>();
    // Mostly the next seconds; sometimes a long pause, up to the tick count's wrap.
    now += how & 0x80 ? in.Take<uint32_t>() : 1000u * (how & 0x7F) + in.Take<uint8_t>();
    int32_t value = in.Take<int32_t>();
    if (how & 0x40) value = value % 2000;  // small figures, so the scale also shrinks
    h.AddPoint(value);
  }
  for (int series = 0; series < 3; ++series) {
    if (fixed) {
      FUZZ_CHECK(h.Get_MaxValue(series) == 100);
    } else {
      FUZZ_CHECK(h.Get_MaxValue(series) >= 1);
    }
    for (int i = 0; i <= h.Get_DataNum(series); ++i) {
      const int16_t sample = h.Get_Data(series, i);
      FUZZ_CHECK(sample <= 100);
      if (fixed) FUZZ_CHECK(sample >= HistogramCls::kGap);
    }
  }
  return 0;
}
