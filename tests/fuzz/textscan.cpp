// The readable-texts scanner: any split of the input into pieces gives the result of
// one buffer once something was found, and every line it gives is printable.
#include "DetailsFrmScan.h"
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const size_t piece = 1 + data[0] % 64;
  data += 1;
  size -= 1;
  TextScanState whole;
  std::string once;
  ScanBytes(whole, data, size, once);
  for (size_t i = 0; i < once.size(); ++i) {
    const auto c = static_cast<uint8_t>(once[i]);
    FUZZ_CHECK((c >= 32 && c <= 126) || c == '\r' || c == '\n');
  }
  // Seed the result so the pieces never restart the scan, then compare.
  TextScanState split;
  std::string pieces = "x";
  std::string seeded = "x";
  TextScanState again;
  ScanBytes(again, data, size, seeded);
  for (size_t at = 0; at < size; at += piece)
    ScanBytes(split, data + at, size - at < piece ? size - at : piece, pieces);
  FUZZ_CHECK(pieces == seeded);
  return 0;
}
