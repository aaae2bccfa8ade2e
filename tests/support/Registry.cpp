#include "Registry.h"

#include <shlwapi.h>

#include <gtest/gtest.h>

namespace testsupport {

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

void DeleteRegValueAt(HKEY root, const std::string& path, const std::string& name) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
  RegDeleteValueA(key, name.c_str());
  RegCloseKey(key);
}

void DeleteTree(HKEY root, const std::string& path) { SHDeleteKeyA(root, path.c_str()); }

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

std::string Option(const std::string& section, const std::string& key) {
  return RegText(HKEY_CURRENT_USER, "Software\\Quillon Pro\\" + section, key);
}

void SetOption(const std::string& section, const std::string& key, const std::string& value) {
  SetRegText(HKEY_CURRENT_USER, "Software\\Quillon Pro\\" + section, key, value);
}

}  // namespace testsupport
