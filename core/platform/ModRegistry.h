// Registry procedures for the Run value, the App Paths key and the start-up manager.
#pragma once
#include <windows.h>

#include <string>

// Opens Root\Path; 0 when it cannot be opened. Full access unless asked otherwise.
HKEY OpenRegKey(HKEY root, const std::string& path, REGSAM access = KEY_ALL_ACCESS);
// Kind 1: the number of subkeys; kind 0: the number of values.
long CountRegItems(HKEY key, int kind);
// The name of the value at Index, trimmed of blanks ("" past the last value).
std::string EnumRegValueName(HKEY key, DWORD index);
long DeleteRegValue(HKEY key, const std::string& name);
// Stores Data as text (Type 0 means REG_SZ) under Root\Path, Name; answers the
// system's result code (ERROR_SUCCESS when stored).
long SetRegValue(HKEY root, const std::string& path, const std::string& name, const std::string& data,
                 DWORD type = 0);
// The text of a REG_SZ or REG_EXPAND_SZ value up to its first NUL, trimmed of blanks.
// A missing or unreadable value, or one of another type, gives 1023 NUL characters,
// so callers test the first character.
std::string GetRegValue(HKEY key, const std::string& name);
inline bool RegValueMissing(const std::string& value) { return !value.empty() && value[0] == '\0'; }

// One value exactly as the registry holds it: its type and its bytes.
struct RegRawValue {
  DWORD type = REG_NONE;
  std::string bytes;
  bool operator==(const RegRawValue& other) const { return type == other.type && bytes == other.bytes; }
  bool operator!=(const RegRawValue& other) const { return !(*this == other); }
};
// Reads Name of an open key whatever its type and size; the system's result code.
long ReadRegRaw(HKEY key, const std::string& name, RegRawValue& value);
// Writes Name of an open key with exactly that type and those bytes.
long WriteRegRaw(HKEY key, const std::string& name, const RegRawValue& value);
// The exact name of the value at Index, blanks and all, however long; false past
// the last value.
bool EnumRegValueNameExact(HKEY key, DWORD index, std::string& name);
