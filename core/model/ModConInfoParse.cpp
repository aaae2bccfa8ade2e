#include "ModConInfoParse.h"

#include "VbRules.h"

IntProgEntry ParseIntProgEntry(const std::string& text) {
  IntProgEntry entry;
  const size_t semi = text.rfind(';');
  entry.path = text.substr(0, semi);
  if (semi != std::string::npos) {
    auto n = vb::CInt(vb::Val(text.substr(semi + 1)));
    entry.enabled = n ? *n : 0;
  }
  return entry;
}

std::string FormatIntProgEntry(const std::string& path, const std::string& enabled) {
  return path + ";" + enabled;
}
