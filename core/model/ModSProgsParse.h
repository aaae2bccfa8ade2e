// The text form of one special-program entry, as section "Options" keeps it in
// "SProg1", "SProg2" ...: path & "," & action & ";" & enabled. Plain C++ with no
// system headers: the stored text is outside input.
#pragma once
#include <cstdint>
#include <string>

struct SProgEntry {
  std::string path;
  int16_t action = 0;  // 0 hide from the program list, 1 hide with its windows, 2 warn
  int16_t enabled = 0;
};

// False when the text is no entry (it has no ","). A path may itself hold "," and
// ";": the entry is split at its last "," and at the last ";" after it, since the
// action and the flag never hold either.
bool ParseSProgEntry(const std::string& text, SProgEntry& entry);
// The stored text of an entry; ParseSProgEntry reads it back equal.
std::string FormatSProgEntry(const std::string& path, const std::string& action, const std::string& enabled);
std::string FormatSProgEntry(const SProgEntry& entry);
