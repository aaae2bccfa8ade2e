// The system-file list: every entry names a file, and the 9x family's list is the
// other family's with its own entries added, in the file's order.
#include "FuzzSupport.h"
#include "ModProgInfoParse.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const auto nt = ParseSystemFiles(text, false);
  const auto nine = ParseSystemFiles(text, true);
  size_t j = 0;
  for (const SystemFileLine& entry : nt) {
    FUZZ_CHECK(!entry.name.empty());
    FUZZ_CHECK(entry.name.find('\n') == std::string::npos);
    FUZZ_CHECK(entry.name.back() != ' ' && entry.name.back() != '\t' && entry.name.back() != '\r');
    while (j < nine.size() && !(nine[j].name == entry.name && nine[j].folder == entry.folder)) ++j;
    FUZZ_CHECK(j < nine.size());
    ++j;
  }
  FUZZ_CHECK(nine.size() >= nt.size());
  return 0;
}
