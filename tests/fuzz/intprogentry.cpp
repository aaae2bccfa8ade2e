// Launch-on-connect entries: a stored entry reads back equal, whatever its path
// holds, and any stored text reads as an entry whose own text reads back the same.
#include "FuzzSupport.h"
#include "ModConInfoParse.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);
  if (in.Take<uint8_t>() % 2 == 0) {
    const int16_t enabled = in.Take<int16_t>();
    const std::string path = in.Rest();
    const IntProgEntry read = ParseIntProgEntry(FormatIntProgEntry(path, std::to_string(enabled)));
    FUZZ_CHECK(read.path == path);
    FUZZ_CHECK(read.enabled == enabled);
    return 0;
  }
  const std::string text = in.Rest();
  const IntProgEntry entry = ParseIntProgEntry(text);
  FUZZ_CHECK(text.compare(0, entry.path.size(), entry.path) == 0);
  const IntProgEntry again = ParseIntProgEntry(FormatIntProgEntry(entry.path, std::to_string(entry.enabled)));
  FUZZ_CHECK(again.path == entry.path && again.enabled == entry.enabled);
  return 0;
}
