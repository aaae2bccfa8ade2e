// Cost of the connection probes, run by hand: once with WINEDLLOVERRIDES=...;rasapi32=n
// (our dial-up library beside it, a connected line) and once without (Wine's stub).
#include <windows.h>

#include <cstdio>
#include <fstream>

#include "../support/BenchClock.h"
#include "ModConProbe.h"

namespace {

template <typename F>
double PerCall(int rounds, F f) {
  return testsupport::MsOf([&] {
           for (int i = 0; i < rounds; ++i) f();
         }) * 1000.0 / rounds;
}

}  // namespace

int main() {
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  const std::string scenario = std::string(temp) + "qp-bench-line.txt";
  std::ofstream(scenario, std::ios::trunc) << "conn 0x2000\n";
  SetEnvironmentVariableA("QP_FAKERAS", scenario.c_str());
  char ras[MAX_PATH] = "(none)";
  if (HMODULE m = LoadLibraryA("rasapi32.dll")) GetModuleFileNameA(m, ras, sizeof ras);
  const int kRounds = 2000;
  volatile bool up = false;
  volatile uint32_t bytes = 0;
  const double probe = PerCall(kRounds, [&] { up = IsDialUpConnected(); });
  const double table = PerCall(kRounds, [&] { bytes = GetTotalNetBytes(1); });
  std::printf("dial-up library: %s (connected: %d)\n", ras, up ? 1 : 0);
  std::printf("IsDialUpConnected: %.1f us per call\n", probe);
  std::printf("GetTotalNetBytes:  %.1f us per call\n", table);
  std::printf("one tick (probe + rate step of two table reads): %.1f us\n", probe + 2 * table);
  DeleteFileA(scenario.c_str());
  return static_cast<int>(bytes & 0);
}
