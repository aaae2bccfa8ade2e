#include "StartUpEntries.h"
#include "OwnedHandle.h"

#include "ModMainPlatform.h"
#include "ModProgInfo.h"
#include "VbRules.h"

namespace {

const char kMachineHive[] = "HKEY_LOCAL_MACHINE\\";
const char kUserHive[] = "HKEY_CURRENT_USER\\";

long RealWrite(HKEY key, const std::string& name, const RegRawValue& value) { return WriteRegRaw(key, name, value); }

// Opens the key, creating it when missing; null when the system refuses.
OwnedKey CreatePlace(const StartUpPlace& place) {
  OwnedKey key;
  char keyClass[] = "REG_SZ";
  if (RegCreateKeyExA(place.hive, place.path.c_str(), 0, keyClass, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                      key.Receive(), nullptr) != ERROR_SUCCESS)
    return OwnedKey();
  return key;
}

// Puts a target back as it was before a failed write.
void Restore(HKEY key, const std::string& name, const std::optional<RegRawValue>& before) {
  if (before)
    WriteRegRaw(key, name, *before);
  else
    RegDeleteValueA(key, name.c_str());
}

// Writes past the seam: putting an entry back must not fail the way the write did.
void PutBack(const StartUpPlace& place, const std::string& name, const RegRawValue& value) {
  if (const OwnedKey key = CreatePlace(place)) WriteRegRaw(key.get(), name, value);
}

bool SameName(const std::string& a, const std::string& b) { return vb::LCase(a) == vb::LCase(b); }

struct StartUpLocation {
  HKEY hive;
  const char* keyPath;
};
// By run type: below 5 the machine's keys, then the user's.
const StartUpLocation kStartUpLocations[7] = {
    {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Run"},
    {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce"},
    {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnceEx"},
    {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\RunServices"},
    {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\RunServicesOnce"},
    {HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run"},
    {HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce"},
};

std::vector<StartUpEntry> g_entries;
unsigned g_reads = 0;

std::string StartUpCommandLine(HKEY key, const std::string& name) {
  RegRawValue value;
  if (ReadRegRaw(key, name, value) != ERROR_SUCCESS) return "";
  if (value.type != REG_SZ && value.type != REG_EXPAND_SZ) return "";
  std::string text = value.bytes.substr(0, value.bytes.find('\0'));
  if (text.size() > 1023) text.resize(1023);
  size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

void AddValuesOf(HKEY key, StartUpEntry model, std::vector<StartUpEntry>& entries) {
  const long count = CountRegItems(key, 0);
  for (long index = 0; index < count; ++index) {
    // The exact name, blanks and length as stored.
    if (!EnumRegValueNameExact(key, static_cast<DWORD>(index), model.name)) continue;
    model.cmdLine = StartUpCommandLine(key, model.name);
    model.running = IsProgramInTable(GetStartUpProgPath(model.cmdLine));
    entries.push_back(model);
  }
}

// A short (8.3) path is matched against the running programs' long paths.
std::string LongPathOfRunning(const std::string& text) {
  const std::string shortText = vb::LCase(text);
  for (int row = 0; row <= ProgTableLast && row < static_cast<int>(ProgTable.size()); ++row) {
    const std::string shortPath = vb::LCase(GetShortPath(ProgTable[row][kProgPath]));
    // A path with no short form matches nothing.
    if (!shortPath.empty() && shortPath == shortText) return ProgTable[row][kProgPath];
  }
  return text;
}

}  // namespace

bool StartUpPlace::operator==(const StartUpPlace& other) const {
  return hive == other.hive && vb::LCase(path) == vb::LCase(other.path);
}

StartUpPlace StartUpPlaceOf(const std::string& keyText, int16_t runType) {
  const bool user = runType > 4;
  const size_t cut = user ? sizeof kUserHive - 1 : sizeof kMachineHive - 1;
  return {user ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE, keyText.size() > cut ? keyText.substr(cut) : ""};
}

namespace startupseams {
std::function<long(HKEY, const std::string&, const RegRawValue&)> WriteValueFn = RealWrite;
void Reset() { WriteValueFn = RealWrite; }
}  // namespace startupseams

std::optional<RegRawValue> ReadStartUpValue(const StartUpPlace& place, const std::string& name) {
  const OwnedKey key(OpenRegKey(place.hive, place.path, KEY_READ));
  if (!key) return std::nullopt;
  RegRawValue value;
  const long rc = ReadRegRaw(key.get(), name, value);
  if (rc != ERROR_SUCCESS) return std::nullopt;
  return value;
}

bool WriteStartUpValue(const StartUpPlace& place, const std::string& name, const RegRawValue& value) {
  if (place.path.empty()) return false;
  const OwnedKey key = CreatePlace(place);
  if (!key) return false;
  RegRawValue before;
  std::optional<RegRawValue> previous;
  if (ReadRegRaw(key.get(), name, before) == ERROR_SUCCESS) previous = before;
  bool stored = startupseams::WriteValueFn(key.get(), name, value) == ERROR_SUCCESS;
  RegRawValue written;
  stored = stored && ReadRegRaw(key.get(), name, written) == ERROR_SUCCESS && written == value;
  if (!stored) Restore(key.get(), name, previous);
  return stored;
}

bool DeleteStartUpValue(const StartUpPlace& place, const std::string& name) {
  const OwnedKey key(OpenRegKey(place.hive, place.path));
  return key && DeleteRegValue(key.get(), name) == ERROR_SUCCESS;
}

RegRawValue StartUpCommandValue(const std::string& cmdLine, DWORD oldType) {
  RegRawValue value;
  value.type = oldType == REG_EXPAND_SZ ? REG_EXPAND_SZ : REG_SZ;
  value.bytes = cmdLine + '\0';
  return value;
}

StartUpChange MoveStartUpValue(const StartUpPlace& from, const StartUpPlace& to, const std::string& name) {
  const std::optional<RegRawValue> source = ReadStartUpValue(from, name);
  if (!source) return StartUpChange::kMissing;
  if (const std::optional<RegRawValue> target = ReadStartUpValue(to, name)) {
    if (*target != *source) return StartUpChange::kNameTaken;
    // The same entry is already there: only the source copy goes.
    return DeleteStartUpValue(from, name) ? StartUpChange::kDone : StartUpChange::kFailed;
  }
  if (!WriteStartUpValue(to, name, *source)) return StartUpChange::kFailed;
  DeleteStartUpValue(from, name);
  return StartUpChange::kDone;
}

StartUpChange ReplaceStartUpValue(const StartUpPlace& from, const std::string& oldName, const StartUpPlace& to,
                                  const std::string& newName, const RegRawValue& value) {
  if (from == to && SameName(oldName, newName)) {
    if (oldName == newName) return WriteStartUpValue(to, newName, value) ? StartUpChange::kDone : StartUpChange::kFailed;
    // Only the letter case changes: a write keeps the stored name's case, so the old
    // value goes first and comes back if the new one cannot be written.
    const std::optional<RegRawValue> old = ReadStartUpValue(from, oldName);
    if (old) DeleteStartUpValue(from, oldName);
    if (WriteStartUpValue(to, newName, value)) return StartUpChange::kDone;
    if (old) PutBack(from, oldName, *old);
    return StartUpChange::kFailed;
  }
  if (!WriteStartUpValue(to, newName, value)) return StartUpChange::kFailed;
  DeleteStartUpValue(from, oldName);
  return StartUpChange::kDone;
}

std::vector<StartUpEntry> ReadStartUpRunType(HKEY hive, const std::string& keyPath, int16_t runType) {
  std::vector<StartUpEntry> entries;
  StartUpEntry model;
  model.keyText = std::string(runType < 5 ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER") + "\\" + keyPath;
  model.runType = runType;
  for (bool enabled : {true, false}) {
    const OwnedKey key(OpenRegKey(hive, enabled ? keyPath : keyPath + "-", KEY_READ));
    if (!key) continue;
    model.enabled = enabled;
    AddValuesOf(key.get(), model, entries);
  }
  return entries;
}

const std::vector<StartUpEntry>& ReadStartUpEntries() {
  std::vector<StartUpEntry> entries;
  for (int16_t runType = 0; runType < 7; ++runType) {
    std::vector<StartUpEntry> ofType =
        ReadStartUpRunType(kStartUpLocations[runType].hive, kStartUpLocations[runType].keyPath, runType);
    entries.insert(entries.end(), ofType.begin(), ofType.end());
  }
  g_entries = std::move(entries);
  ++g_reads;
  return g_entries;
}

const std::vector<StartUpEntry>& StartUpEntriesAsRead() { return g_reads ? g_entries : ReadStartUpEntries(); }

unsigned StartUpEntriesReadCount() { return g_reads; }

bool StartUpEntryRuns(const StartUpEntry& entry, const std::string& lowerPath) {
  return entry.enabled && GetStartUpProgPath(entry.cmdLine) == lowerPath;
}

int FindEnabledStartUpEntry(const std::string& path) {
  const std::vector<StartUpEntry>& entries = StartUpEntriesAsRead();
  const std::string wanted = vb::LCase(path);
  for (size_t i = 0; i < entries.size(); ++i)
    if (StartUpEntryRuns(entries[i], wanted)) return static_cast<int>(i);
  return -1;
}

bool IsEnabledStartUpProgram(const std::string& path) { return FindEnabledStartUpEntry(path) >= 0; }

std::string GetStartUpProgPath(const std::string& cmdLine) {
  if (cmdLine.empty()) return "";
  std::string text;
  if (cmdLine[0] == '"') {
    size_t close = cmdLine.find('"', 1);
    if (close == std::string::npos) return "";
    text = cmdLine.substr(1, close - 1);
  } else {
    text = cmdLine;
    size_t dot = text.rfind('.');
    size_t blank = text.find(' ', dot == std::string::npos ? 0 : dot);
    if (blank != std::string::npos) text = text.substr(0, blank);
    if (text.find('~') != std::string::npos) text = LongPathOfRunning(text);
  }
  if (text.find(':') == std::string::npos) {
    const std::string inWindows = GetWinDir() + "\\" + text;
    text = (IsProgramInTable(inWindows) ? inWindows : GetSysDir() + "\\" + text);
  }
  return vb::LCase(text);
}
