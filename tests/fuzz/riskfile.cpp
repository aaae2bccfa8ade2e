// The risk description file and the rating cell: any file gives a table of its
// declared size that never grows past it, and any cell text gives a rating the
// cell can show.
#include "FuzzSupport.h"
#include "ModProcMonParse.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);
  const uint8_t mode = in.Take<uint8_t>();
  const std::string text = in.Rest();
  if (mode % 2 == 0) {
    const RiskDescriptionFile file = ParseRiskDescriptions(text);
    FUZZ_CHECK(file.Count >= 0);
    FUZZ_CHECK(file.Table.size() == static_cast<size_t>(file.Count) + 1);
    FUZZ_CHECK(file.LastStaticRiskCode == 0 || (file.LastStaticRiskCode >= 120 && file.LastStaticRiskCode < 200));
    int32_t bonuses = 0;
    for (const RiskDescription& entry : file.Table) {
      bonuses += entry.Bonus;
      FUZZ_CHECK(entry.Details.find_first_of("\r\n") == std::string::npos);
      FUZZ_CHECK(entry.Description.find_first_of("\r\n") == std::string::npos);
    }
    FUZZ_CHECK(bonuses == file.WeightTotal);
    return 0;
  }
  const RiskRatingCell cell = FormatRiskRating(text, mode & 2);
  FUZZ_CHECK(cell.text.find('%') != std::string::npos);
  FUZZ_CHECK(cell.foreColour == 0x0000FF || cell.foreColour == 0x00D200 || cell.foreColour == 0x9D9DFF);
  FUZZ_CHECK(cell.text.size() < 16 + 32767 / 10 * 2 + 64);
  return 0;
}
