// The benchmarks' clock: wall time from the high-resolution counter, which Wine
// reads from the host's monotonic clock, so a busy machine does not skew it the way
// GetTickCount's 10-16 ms steps would.
// Header only: some benchmarks link nothing of the test support.
#pragma once

#include <windows.h>

namespace testsupport {

// Milliseconds since an arbitrary start; only differences mean anything.
inline double NowMs() {
  static const double perMs = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart) / 1000.0;
  }();
  LARGE_INTEGER c;
  QueryPerformanceCounter(&c);
  return static_cast<double>(c.QuadPart) / perMs;
}

// Milliseconds one call of `f` takes.
template <typename F>
double MsOf(F&& f) {
  const double start = NowMs();
  f();
  return NowMs() - start;
}

}  // namespace testsupport
