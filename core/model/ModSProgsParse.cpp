#include "ModSProgsParse.h"

#include "VbRules.h"

namespace {

int16_t ToInt16(const std::string& text) {
  auto n = vb::CInt(vb::Val(text));
  return n ? *n : 0;
}

}  // namespace

bool ParseSProgEntry(const std::string& text, SProgEntry& entry) {
  // Splitting at the first separators gave "c:\tools\a,b\x.exe,2;1" the path
  // "c:\tools\a", whose prefix then matched every program under "c:\tools\a...".
  const size_t comma = text.rfind(',');
  if (comma == std::string::npos) return false;
  size_t semi = text.rfind(';');
  if (semi != std::string::npos && semi < comma) semi = std::string::npos;  // a ";" of the path
  entry.path = text.substr(0, comma);
  if (semi == std::string::npos) {
    entry.action = ToInt16(text.substr(comma + 1));
    entry.enabled = 0;
  } else {
    entry.action = ToInt16(text.substr(comma + 1, semi - comma - 1));
    entry.enabled = ToInt16(text.substr(semi + 1));
  }
  return true;
}

std::string FormatSProgEntry(const std::string& path, const std::string& action, const std::string& enabled) {
  return path + "," + action + ";" + enabled;
}

std::string FormatSProgEntry(const SProgEntry& entry) {
  return FormatSProgEntry(entry.path, std::to_string(entry.action), std::to_string(entry.enabled));
}
