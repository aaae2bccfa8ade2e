#include "StartupTestSupport.h"

#include <shlwapi.h>

#include "CancelEvent.h"
#include "InfoBarFrm.h"
#include "InterfaceFrm.h"
#include "ModMain.h"
#include "ModSProgs.h"
#include "ModStartup.h"
#include "Seams.h"
#include "SplashFrm.h"
#include "frmOptions.h"

namespace startuptest {

void DeleteTree(HKEY root, const std::string& path) { SHDeleteKeyA(root, path.c_str()); }

std::string RegText(HKEY root, const std::string& path, const std::string& name) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return kMissing;
  char buf[4096];
  DWORD size = sizeof buf, type = 0;
  LONG rc = RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buf), &size);
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS) return kMissing;
  return std::string(buf, size > 0 && buf[size - 1] == '\0' ? size - 1 : size);
}

void SetRegText(HKEY root, const std::string& path, const std::string& name, const std::string& value) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>(value.size() + 1));
  RegCloseKey(key);
}

std::string Option(const std::string& section, const std::string& key) {
  return RegText(HKEY_CURRENT_USER, "Software\\Quillon Pro\\" + section, key);
}

void SetOption(const std::string& section, const std::string& key, const std::string& value) {
  SetRegText(HKEY_CURRENT_USER, "Software\\Quillon Pro\\" + section, key, value);
}

std::vector<std::string> ValueNames(HKEY root, const std::string& path) {
  std::vector<std::string> names;
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return names;
  for (DWORD i = 0;; ++i) {
    char name[512];
    DWORD len = sizeof name;
    if (RegEnumValueA(key, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(name, len);
  }
  RegCloseKey(key);
  return names;
}

std::string AppPathsOf(const std::string& exeFileName) {
  return "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" + exeFileName;
}

std::string TestExeFileName() { return AppExeName() + ".exe"; }

void StoreTest::CleanStore() {
  DeleteTree(HKEY_CURRENT_USER, "Software\\Quillon Pro");
  DeleteTree(HKEY_CURRENT_USER, "Software\\Quillon");
  DeleteTree(HKEY_LOCAL_MACHINE, AppPathsOf(TestExeFileName()));
}

void StoreTest::SetUp() {
  CleanStore();
  SProgErrorReported = false;
  IsExiting = false;
  seams::MessageBoxFn = [this](HWND owner, const std::string& text, const std::string& caption, UINT style) {
    EXPECT_EQ(caption, "Quillon Pro");
    shown.push_back({owner, text, style});
    return answer(shown.back());
  };
  seams::EndProcessFn = [](UINT) { ADD_FAILURE() << "the test program was asked to end"; };
}

void StoreTest::TearDown() {
  seams::Reset();
  ReleaseInstanceMark();
  SplashFrm.Unload();
  frmOptions.Hide();
  InfoBarFrm.Unload();
  if (InterfaceFrm.mnuSettingsTop->Checked()) InterfaceFrm.mnuSettingsTop_Click();
  CleanStore();
}

std::vector<ShownMessage> StoreTest::ShownWithText(const std::string& text) const {
  std::vector<ShownMessage> found;
  for (const auto& m : shown)
    if (m.text == text) found.push_back(m);
  return found;
}

}  // namespace startuptest
