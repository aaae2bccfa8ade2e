#include "Registration.h"

#include <oleauto.h>
#include <olectl.h>

#include <string>

#include "Pellmon.h"
#include "OwnedHandle.h"

namespace pellmon {
namespace {

const char kClsid[] = "{B52F1570-8A88-11D5-87A5-00C04F5F8704}";
const char kLibid[] = "{B52F1562-8A88-11D5-87A5-00C04F5F8704}";
const char kProgId[] = "Pellmon.SysInfo.1";
const char kIndependentProgId[] = "Pellmon.SysInfo";
const char kDescription[] = "SysInfo Class";

struct Entry {
  std::string key;    // under HKEY_CLASSES_ROOT
  const char* name;   // null for the key's default value
  std::string value;
};

bool SetValue(const Entry& e) {
  OwnedKey key;
  if (RegCreateKeyExA(HKEY_CLASSES_ROOT, e.key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, key.Receive(),
                      nullptr) != ERROR_SUCCESS)
    return false;
  LONG rc = RegSetValueExA(key.get(), e.name, 0, REG_SZ, reinterpret_cast<const BYTE*>(e.value.c_str()),
                           static_cast<DWORD>(e.value.size() + 1));
  return rc == ERROR_SUCCESS;
}

// Deletes a key with everything under it (NT's RegDeleteKey leaves a key that has
// subkeys). A key that is not there is already deleted.
bool DeleteTree(HKEY root, const std::string& path) {
  bool ok = true;
  {
    // Closed before the key itself is deleted.
    OwnedKey key;
    LONG rc = RegOpenKeyExA(root, path.c_str(), 0, KEY_READ | KEY_WRITE, key.Receive());
    if (rc == ERROR_FILE_NOT_FOUND) return true;
    if (rc != ERROR_SUCCESS) return false;
    char name[256];
    for (;;) {
      DWORD length = sizeof name;
      if (RegEnumKeyExA(key.get(), 0, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        break;
      if (!DeleteTree(key.get(), name)) {
        ok = false;
        break;
      }
    }
  }
  const LONG rc = RegDeleteKeyA(root, path.c_str());
  return ok && (rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND);
}

bool KeyExists(HKEY root, const std::string& path) {
  OwnedKey key;
  return RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, key.Receive()) == ERROR_SUCCESS;
}

std::string ClsidKey() { return std::string("CLSID\\") + kClsid; }

}  // namespace

HRESULT RegisterServer(HMODULE module) {
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return SELFREG_E_CLASS;
  std::string clsid = ClsidKey();
  // The class key is written afresh: nothing of an older registration stays.
  if (!DeleteTree(HKEY_CLASSES_ROOT, clsid)) return SELFREG_E_CLASS;
  const Entry entries[] = {
      {kProgId, nullptr, kDescription},
      {std::string(kProgId) + "\\CLSID", nullptr, kClsid},
      {kIndependentProgId, nullptr, kDescription},
      {std::string(kIndependentProgId) + "\\CLSID", nullptr, kClsid},
      {std::string(kIndependentProgId) + "\\CurVer", nullptr, kProgId},
      {clsid, nullptr, kDescription},
      {clsid + "\\ProgID", nullptr, kProgId},
      {clsid + "\\VersionIndependentProgID", nullptr, kIndependentProgId},
      {clsid + "\\InprocServer32", nullptr, path},
      {clsid + "\\InprocServer32", "ThreadingModel", "Apartment"},
      {clsid + "\\TypeLib", nullptr, kLibid},
  };
  for (const Entry& e : entries)
    if (!SetValue(e)) return SELFREG_E_CLASS;

  // The type library is a resource of this file.
  wchar_t widePath[MAX_PATH];
  if (!GetModuleFileNameW(module, widePath, MAX_PATH)) return SELFREG_E_TYPELIB;
  ITypeLib* typeLib = nullptr;
  HRESULT hr = LoadTypeLibEx(widePath, REGKIND_REGISTER, &typeLib);
  if (FAILED(hr)) return hr;
  typeLib->Release();
  return S_OK;
}

HRESULT UnregisterServer() {
  bool ok = DeleteTree(HKEY_CLASSES_ROOT, kProgId);
  ok = DeleteTree(HKEY_CLASSES_ROOT, kIndependentProgId) && ok;
  // Only this class's key goes; the CLSID key above it belongs to every class.
  ok = DeleteTree(HKEY_CLASSES_ROOT, ClsidKey()) && ok;
  // A type library that is not registered is already unregistered (asking to
  // unregister it anyway fails, with an error that differs between systems).
  if (KeyExists(HKEY_CLASSES_ROOT, std::string("TypeLib\\") + kLibid + "\\1.0")) {
    if (FAILED(UnRegisterTypeLib(LIBID_PELLMONLib, 1, 0, LANG_NEUTRAL, SYS_WIN32)))
      return SELFREG_E_TYPELIB;
  }
  return ok ? S_OK : SELFREG_E_CLASS;
}

}  // namespace pellmon
