// Pop.dat: a record decodes and encodes back to its own bytes, and a file gives no
// more records than its header counts and its bytes hold.
#include "FuzzSupport.h"
#include "ModPopParse.h"
#include "VbRules.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  if (size >= PopDatRecord::kSize) {
    const std::vector<char> record(bytes.begin(), bytes.begin() + PopDatRecord::kSize);
    FUZZ_CHECK(EncodePopDatRecord(DecodePopDatRecord(record.data())) == bytes.substr(0, PopDatRecord::kSize));
  }
  // The version test of any text against any record stays within its answer.
  const std::string text = bytes.substr(0, 16);
  FUZZ_CHECK(PopDatVersionFits(0, text));
  if (size >= 2) {
    const int16_t major = static_cast<int16_t>(data[0] | (data[1] << 8));
    // A non-zero version fits only a text that starts with a digit.
    if (major != 0 && PopDatVersionFits(major, text.substr(2)))
      FUZZ_CHECK(major > 0 && text.size() > 2 && text[2] >= '0' && text[2] <= '9');
  }
  std::vector<PopDatRecord> records;
  const bool read = ParsePopDat(bytes, records);
  FUZZ_CHECK(read == (size >= PopDatRecord::kSize));
  if (!read) {
    FUZZ_CHECK(records.empty());
    return 0;
  }
  FUZZ_CHECK(records.size() <= size / PopDatRecord::kSize - 1);
  const double counted = vb::Val(vb::Trim(DecodePopDatRecord(bytes.data()).ExeName));
  FUZZ_CHECK(records.empty() || static_cast<double>(records.size()) <= counted);
  for (size_t i = 0; i < records.size(); ++i)
    FUZZ_CHECK(EncodePopDatRecord(records[i]) == bytes.substr((i + 1) * PopDatRecord::kSize, PopDatRecord::kSize));
  return 0;
}
