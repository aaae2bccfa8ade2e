// Start-up entries as registry values, changed so that no entry is ever lost: every
// write is read back before its source goes, and a failed write puts back what the
// target held.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ModRegistry.h"

// Where an entry lives: the hive of its run type and the key path of its key text.
struct StartUpPlace {
  HKEY hive = nullptr;
  std::string path;
  bool operator==(const StartUpPlace& other) const;  // the same key, letter case aside
};

// Run types below 5 are the machine's keys. The hive's name is cut off the key text by
// its length, as the list and the dialog always hand over a text that starts with it.
StartUpPlace StartUpPlaceOf(const std::string& keyText, int16_t runType);

namespace startupseams {
// Stores one value in an open key; tests make it fail or store other bytes.
extern std::function<long(HKEY key, const std::string& name, const RegRawValue& value)> WriteValueFn;
void Reset();
}  // namespace startupseams

// The value's type and bytes; nothing when the key or the value is missing.
std::optional<RegRawValue> ReadStartUpValue(const StartUpPlace& place, const std::string& name);
// Writes the value (creating the key when missing) and reads it back. When the two
// differ or the write fails, the target gets back what it held and the answer is false.
bool WriteStartUpValue(const StartUpPlace& place, const std::string& name, const RegRawValue& value);
bool DeleteStartUpValue(const StartUpPlace& place, const std::string& name);

// A command line as a new value: an expandable one stays expandable.
RegRawValue StartUpCommandValue(const std::string& cmdLine, DWORD oldType = REG_SZ);

enum class StartUpChange { kDone, kFailed, kNameTaken, kMissing };

// Moves a value between an entry's key and its "-" companion, type and bytes as they
// are. A same-named value in the target with the very same data only loses the source;
// with other data nothing changes (kNameTaken).
StartUpChange MoveStartUpValue(const StartUpPlace& from, const StartUpPlace& to, const std::string& name);

// Puts `value` under `newName` at `to` and then removes `oldName` at `from`, unless
// that is the value just written. A new name differing only in letter case renames
// the value in place, and puts the old one back when the write fails.
StartUpChange ReplaceStartUpValue(const StartUpPlace& from, const std::string& oldName, const StartUpPlace& to,
                                  const std::string& newName, const RegRawValue& value);

// ---- The entries as the program last read them

// One value of a Run-type key or of its "-" companion.
struct StartUpEntry {
  std::string name;     // exactly as stored: the commands find the value by it
  std::string keyText;  // the hive's name and the key path, without the "-"
  int16_t runType = 0;
  bool enabled = true;  // false for a value under the "-" companion
  std::string cmdLine;  // up to 1023 characters, blanks trimmed; "" for a value not text
  bool running = false;  // its program was in the process table when it was read
};

// The entries of one run type, its key's before its companion's. Read access is
// enough: a limited user cannot open the machine's keys for writing.
std::vector<StartUpEntry> ReadStartUpRunType(HKEY hive, const std::string& keyPath, int16_t runType);
// Reads the entries of run types 0 to 6 afresh; they stay the entries until the next read.
const std::vector<StartUpEntry>& ReadStartUpEntries();
// The entries as last read, read now if they never were: reading names every entry's
// program against the process table, which is too slow for program start.
const std::vector<StartUpEntry>& StartUpEntriesAsRead();
// Counts the reads, so a view can tell whether the entries were read since it was made.
unsigned StartUpEntriesReadCount();

// Whether the entry is enabled and its command line runs `lowerPath` (lower case).
bool StartUpEntryRuns(const StartUpEntry& entry, const std::string& lowerPath);
// The index of the first enabled entry that runs the path (any case), -1 when none.
int FindEnabledStartUpEntry(const std::string& path);
// "Is this path an enabled start-up entry", over the entries as last read.
bool IsEnabledStartUpProgram(const std::string& path);

// The program a start-up command line runs, in lower case: a quoted path, or the text
// before the blank after the last ".", a short name matched against the running
// programs, and a bare name placed in the Windows or the System folder.
std::string GetStartUpProgPath(const std::string& cmdLine);
