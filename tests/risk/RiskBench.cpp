// The cost of a rating per program for 50 running fixture copies: cold (no signature
// answer kept yet), warm, and the signature check's share of the cold pass.
//   risk_bench.exe
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "BenchClock.h"
#include "Fixture.h"
#include "ModProcMon.h"
#include "ModProgInfo.h"
#include "ModStartup.h"
#include "MoreToolsFrm.h"
#include "ProgramState.h"
#include "Seams.h"
#include "VbRules.h"

namespace {

}  // namespace

int main() {
  ResetProgramState();
  IsWinNTFlag = IsWinNT();
  const int kPrograms = 50;
  testsupport::FixtureFolder folder("qp_riskbench");
  std::vector<std::string> paths;
  for (int i = 0; i < kPrograms; ++i) {
    std::string name = "bench" + std::to_string(i) + ".exe";
    folder.Start(name, i % 2 ? "hidden" : "plain");
    paths.push_back(vb::LCase(folder.PathOf(name)));
  }
  DoProcessListOp(2, "");
  MoreToolsFrm.RefreshMe(false);
  LoadRiskDescriptions();

  double start = testsupport::NowMs();
  for (const std::string& path : paths) CachedFileSignature(path);
  const double signatures = testsupport::NowMs() - start;
  ResetProcMonState();
  LoadRiskDescriptions();
  start = testsupport::NowMs();
  for (const std::string& path : paths) GetRiskRating(path);
  const double cold = testsupport::NowMs() - start;
  start = testsupport::NowMs();
  for (const std::string& path : paths) GetRiskRating(path);
  const double warm = testsupport::NowMs() - start;
  // Where the time goes: each static code alone, warm.
  for (int16_t code : {120, 121, 130, 131, 132, 133}) {
    start = testsupport::NowMs();
    for (const std::string& path : paths) CheckStaticRisk(code, path);
    std::printf("code %d: %.2f ms per program\n", code, (testsupport::NowMs() - start) / kPrograms);
  }
  std::printf("programs %d\ncold %.2f ms per program\nwarm %.2f ms per program\n"
              "signature checks %.2f ms per program (%.0f%% of cold)\n",
              kPrograms, cold / kPrograms, warm / kPrograms, signatures / kPrograms, 100.0 * signatures / cold);
  return 0;
}
