#include "StartUpEntries.h"
#include "OwnedHandle.h"

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
