// Special-program entries: a stored entry reads back equal, whatever its path holds,
// and any stored text reads as an entry whose own text reads back the same.
#include "FuzzSupport.h"
#include "ModSProgsParse.h"

namespace {

bool Same(const SProgEntry& a, const SProgEntry& b) {
  return a.path == b.path && a.action == b.action && a.enabled == b.enabled;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);
  if (in.Take<uint8_t>() % 2 == 0) {
    SProgEntry stored;
    stored.action = in.Take<int16_t>();
    stored.enabled = in.Take<int16_t>();
    stored.path = in.Rest();
    SProgEntry read;
    FUZZ_CHECK(ParseSProgEntry(FormatSProgEntry(stored), read));
    FUZZ_CHECK(Same(read, stored));
    return 0;
  }
  const std::string text = in.Rest();
  SProgEntry entry;
  if (!ParseSProgEntry(text, entry)) {
    FUZZ_CHECK(text.find(',') == std::string::npos);
    return 0;
  }
  FUZZ_CHECK(text.compare(0, entry.path.size() + 1, entry.path + ",") == 0);
  SProgEntry again;
  FUZZ_CHECK(ParseSProgEntry(FormatSProgEntry(entry), again));
  FUZZ_CHECK(Same(again, entry));
  return 0;
}
