// The quarantine list: paths written read back as they were (blanks trimmed), and any
// bytes read give no more paths than complete records, none longer than a record's path.
#include "FuzzSupport.h"
#include "ModProcMonParse.h"

#include <vector>

namespace {

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);
  if (in.Take<uint8_t>() % 2 == 0) {
    std::vector<std::string> paths;
    while (!in.Empty() && paths.size() < 64) paths.push_back(in.TakeText(kQrtPathSize));
    const std::string bytes = EncodeQuarantineList(paths);
    FUZZ_CHECK(bytes.size() == (paths.size() + 1) * kQrtRecordSize);
    const std::vector<std::string> read = DecodeQuarantineList(bytes);
    FUZZ_CHECK(read.size() == paths.size());
    for (size_t i = 0; i < read.size(); ++i) FUZZ_CHECK(read[i] == Trimmed(paths[i]));
    return 0;
  }
  const std::string bytes = in.Rest();
  const std::vector<std::string> read = DecodeQuarantineList(bytes);
  const size_t records = bytes.size() / kQrtRecordSize;
  FUZZ_CHECK(read.size() <= (records > 0 ? records - 1 : 0));
  for (const std::string& path : read) FUZZ_CHECK(path.size() <= kQrtPathSize);
  return 0;
}
