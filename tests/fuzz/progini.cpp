// prog.ini's owner-class list: sized only by a sound count, filled entry by entry
// from what the file holds; and a read entry never passes its first NUL.
#include "FuzzSupport.h"
#include "modIniParse.h"

#include <map>

namespace {

// "key=value" lines of the input play the entries of section "Classes".
std::map<std::string, std::string> Entries(const std::string& text) {
  std::map<std::string, std::string> entries;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    const size_t eq = line.find('=');
    if (eq != std::string::npos) entries[line.substr(0, eq)] = line.substr(eq + 1);
    start = end + 1;
  }
  return entries;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::string read = IniReadResult(text.data(), text.size());
  FUZZ_CHECK(read.find('\0') == std::string::npos);
  FUZZ_CHECK(text.compare(0, read.size(), read) == 0);
  FUZZ_CHECK(read.compare(0, 6, "Failed") != 0);

  const auto entries = Entries(text);
  auto get = [&](const std::string& key) {
    auto it = entries.find(key);
    return it == entries.end() ? std::string() : it->second;
  };
  const auto classes = ReadDialogOwnerClasses(get);
  if (!classes) return 0;
  FUZZ_CHECK(!get("Number").empty());
  FUZZ_CHECK(classes->size() >= 1 && classes->size() <= static_cast<size_t>(kMaxDialogOwnerClasses) + 1);
  FUZZ_CHECK((*classes)[0].empty());
  for (size_t i = 1; i < classes->size(); ++i) FUZZ_CHECK((*classes)[i] == get("Class" + std::to_string(i)));
  return 0;
}
