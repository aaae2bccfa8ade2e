#include "ModRegistry.h"
#include "OwnedHandle.h"

#include "ModRegistryText.h"
#include "VbRules.h"

HKEY OpenRegKey(HKEY root, const std::string& path, REGSAM access) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path.c_str(), 0, access, &key) != ERROR_SUCCESS) return nullptr;
  return key;
}

long CountRegItems(HKEY key, int kind) {
  DWORD subkeys = 0, values = 0;
  if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                       nullptr, nullptr, nullptr) != ERROR_SUCCESS)
    return 0;
  return static_cast<long>(kind == 1 ? subkeys : values);
}

std::string EnumRegValueName(HKEY key, DWORD index) {
  // Only the name is wanted: asking for no data means a long value cannot make
  // the call fail.
  char name[261];
  DWORD len = sizeof name;
  if (RegEnumValueA(key, index, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
    return "";
  return vb::Trim(std::string(name, len));
}

long DeleteRegValue(HKEY key, const std::string& name) { return RegDeleteValueA(key, name.c_str()); }

long SetRegValue(HKEY root, const std::string& path, const std::string& name, const std::string& data,
                 DWORD type) {
  OwnedKey key;
  const LONG opened = RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, key.Receive());
  if (opened != ERROR_SUCCESS) return opened;
  const LONG rc = RegSetValueExA(key.get(), name.c_str(), 0, type == 0 ? REG_SZ : type,
                                 reinterpret_cast<const BYTE*>(data.c_str()), static_cast<DWORD>(data.size() + 1));
  return rc;
}

std::string GetRegValue(HKEY key, const std::string& name) {
  const std::string missing(1023, '\0');
  std::string buf(1024, '\0');
  DWORD size = 1024, type = REG_NONE;
  LONG rc = RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&buf[0]), &size);
  // A value longer than the buffer reports its full size: it is treated as missing
  // rather than read past the buffer. So is a value that holds no text: a number
  // under the Run key is no program to start.
  if (rc != ERROR_SUCCESS || size > buf.size()) return missing;
  std::optional<std::string> text = RegValueText(type, buf.data(), size);
  return text ? vb::Trim(*text) : missing;
}

long ReadRegRaw(HKEY key, const std::string& name, RegRawValue& value) {
  // The size can grow between the two calls: ask again until it fits.
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD type = REG_NONE, size = 0;
    LONG rc = RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size);
    if (rc != ERROR_SUCCESS) return rc;
    std::string bytes(size, '\0');
    rc = RegQueryValueExA(key, name.c_str(), nullptr, &type,
                          size ? reinterpret_cast<BYTE*>(&bytes[0]) : nullptr, &size);
    if (rc == ERROR_MORE_DATA) continue;
    if (rc != ERROR_SUCCESS) return rc;
    bytes.resize(size);
    value.type = type;
    value.bytes = std::move(bytes);
    return ERROR_SUCCESS;
  }
  return ERROR_MORE_DATA;
}

long WriteRegRaw(HKEY key, const std::string& name, const RegRawValue& value) {
  return RegSetValueExA(key, name.c_str(), 0, value.type, reinterpret_cast<const BYTE*>(value.bytes.data()),
                        static_cast<DWORD>(value.bytes.size()));
}

bool EnumRegValueNameExact(HKEY key, DWORD index, std::string& name) {
  DWORD longest = 0;
  if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &longest, nullptr,
                       nullptr, nullptr) != ERROR_SUCCESS)
    return false;
  std::string buffer(longest + 1, '\0');
  DWORD length = longest + 1;
  if (RegEnumValueA(key, index, &buffer[0], &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
    return false;
  name.assign(buffer.data(), length);
  return true;
}
