#include "MiniToolsTest.h"

#include <sstream>

#include "AddStartupFrm.h"
#include "DriversMsgFrm.h"
#include "ModCheckDrive.h"
#include "MoreToolsFrm.h"
#include "Seams.h"

namespace minitoolstest {

namespace {
const char* const kPaths[7] = {
    "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
    "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
    "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnceEx",
    "Software\\Microsoft\\Windows\\CurrentVersion\\RunServices",
    "Software\\Microsoft\\Windows\\CurrentVersion\\RunServicesOnce",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
    "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
};
}  // namespace

std::string KeyText(int runType) {
  return std::string(runType < 5 ? "HKEY_LOCAL_MACHINE\\" : "HKEY_CURRENT_USER\\") + kPaths[runType];
}

StartUpPlace PlaceOf(int runType, bool disabled) {
  return {runType < 5 ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, std::string(kPaths[runType]) + (disabled ? "-" : "")};
}

std::vector<StartUpKey> FourteenKeys() {
  std::vector<StartUpKey> keys;
  for (int runType = 0; runType < 7; ++runType)
    for (bool disabled : {false, true}) keys.push_back({PlaceOf(runType, disabled).hive, PlaceOf(runType, disabled).path});
  return keys;
}

KeyDump DumpKeys() {
  KeyDump dump;
  for (const StartUpKey& k : FourteenKeys()) {
    HKEY key = OpenRegKey(k.hive, k.path, KEY_READ);
    if (!key) continue;
    std::string name;
    for (DWORD i = 0; EnumRegValueNameExact(key, i, name); ++i) {
      RegRawValue value;
      if (ReadRegRaw(key, name, value) == ERROR_SUCCESS) dump[{k, name}] = value;
    }
    RegCloseKey(key);
  }
  return dump;
}

void EmptyKeys() {
  for (const auto& entry : DumpKeys()) {
    HKEY key = OpenRegKey(entry.first.first.hive, entry.first.first.path);
    ASSERT_TRUE(key);
    RegDeleteValueA(key, entry.first.second.c_str());
    RegCloseKey(key);
  }
}

void LoadKeys(const KeyDump& dump) {
  for (const auto& entry : dump) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(entry.first.first.hive, entry.first.first.path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    WriteRegRaw(key, entry.first.second, entry.second);
    RegCloseKey(key);
  }
}

std::string Describe(const KeyDump& dump) {
  std::ostringstream out;
  for (const auto& entry : dump)
    out << (entry.first.first.hive == HKEY_CURRENT_USER ? "HKCU\\" : "HKLM\\") << entry.first.first.path << " ["
        << entry.first.second << "] type " << entry.second.type << ", " << entry.second.bytes.size() << " bytes\n";
  return out.str();
}

RegRawValue Sz(const std::string& text, DWORD type) {
  RegRawValue value;
  value.type = type;
  value.bytes = text + '\0';
  return value;
}

void Put(int runType, bool disabled, const std::string& name, const RegRawValue& value) {
  KeyDump one;
  const StartUpPlace place = PlaceOf(runType, disabled);
  one[{{place.hive, place.path}, name}] = value;
  LoadKeys(one);
}

void MiniToolsTest::SetUp() {
  LoopTest::SetUp();
  saved_ = DumpKeys();
  EmptyKeys();
  seams::MessageBoxFn = [this](HWND, const std::string& text, const std::string& caption, UINT style) {
    messages.push_back({text, caption, style});
    if (answers.empty()) return IDOK;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
  };
  MoreToolsFrm.Load();
  MoreToolsFrm.StartUpLV.SetSorted(false);
  MoreToolsFrm.RefreshMe(false);
}

void MiniToolsTest::TearDown() {
  AddStartupFrm.Unload();
  DriversMsgFrm.Unload();
  MoreToolsFrm.Hide();
  startupseams::Reset();
  mediaseams::Reset();
  EmptyKeys();
  LoadKeys(saved_);
  LoopTest::TearDown();
}

int MiniToolsTest::Row(const std::string& name, const std::string& status) const {
  const ui::ListView& list = MoreToolsFrm.StartUpLV;
  for (int row = 0; row < list.ItemCount(); ++row)
    if (list.ItemText(row) == name && (status.empty() || list.SubItem(row, 1) == status)) return row;
  return -1;
}

void MiniToolsTest::Select(int row) const {
  ui::ListView& list = MoreToolsFrm.StartUpLV;
  for (int other : list.SelectedRows()) list.SetSelected(other, false);
  if (row >= 0) list.SetSelected(row, true);
}

void MiniToolsTest::ExpectKeys(const KeyDump& expected) const {
  const KeyDump actual = DumpKeys();
  EXPECT_TRUE(actual == expected) << "expected:\n" << Describe(expected) << "actual:\n" << Describe(actual);
}

}  // namespace minitoolstest
