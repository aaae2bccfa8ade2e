// The text form of one launch-on-connect program, as section "Internet" keeps it in
// "IntProg1", "IntProg2" ...: path & ";" & enabled. Plain C++ with no system
// headers: the stored text is outside input.
#pragma once
#include <cstdint>
#include <string>

struct IntProgEntry {
  std::string path;
  int16_t enabled = 0;  // 1 launch, 0 kept but skipped
};

// A path may hold ";" itself: the entry is split at its last ";", since the flag
// never holds one. A text without ";" is all path, not enabled.
IntProgEntry ParseIntProgEntry(const std::string& text);
// The stored text of an entry; ParseIntProgEntry reads it back equal.
std::string FormatIntProgEntry(const std::string& path, const std::string& enabled);
