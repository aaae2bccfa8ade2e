// Facts of files and processes: icons, version texts, display names, priority names,
// the modules of a process and the user's locale texts.
#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <vector>

#include "AppendString.h"
#include "LateBinding.h"
#include "ModStartupPlatform.h"
#include "OwnedHandle.h"
#include "ListView.h"
#include "ViewBindings.h"
#include "ModProgInfo.h"
#include "VbRules.h"

std::string VersionFields[8];
const char* const VersionFieldNames[8] = {"CompanyName",    "FileDescription",  "FileVersion", "InternalName",
                                          "LegalCopyright", "OriginalFileName", "ProductName", "ProductVersion"};

namespace {

// A fixed-size text field of a system record, up to its first NUL.
std::string Field(const char* text, size_t max) {
  size_t n = 0;
  while (n < max && text[n]) ++n;
  return std::string(text, n);
}

const size_t kMaxFieldLength = 255;

}  // namespace

namespace ModProgInfo {
std::string TrimAtNull(const std::string& text) {
  size_t nul = text.find('\0');
  return nul == std::string::npos ? text : text.substr(0, nul);
}
}  // namespace ModProgInfo

namespace ModCurrency {
std::string TrimAtNull(const std::string& text) {
  size_t nul = text.find('\0');
  return nul == std::string::npos ? "" : text.substr(0, nul);
}
}  // namespace ModCurrency

HICON GetFileIcon(const std::string& path, bool large) {
  SHFILEINFOA info = {};
  UINT flags = SHGFI_ICON | (large ? 0 : SHGFI_SMALLICON);
  if (!SHGetFileInfoA(path.c_str(), 0, &info, sizeof info, flags)) return nullptr;
  return info.hIcon;
}

std::string GetFileDisplayName(const std::string& path) {
  SHFILEINFOA info = {};
  SHGetFileInfoA(path.c_str(), 0, &info, sizeof info, SHGFI_DISPLAYNAME | SHGFI_TYPENAME);
  std::string name = Field(info.szDisplayName, sizeof info.szDisplayName);
  if (!name.empty()) return name;
  char title[255] = {};
  using GetFileTitleFn = short(WINAPI*)(LPCSTR, LPSTR, WORD);
  static const auto getFileTitle = LateBound<GetFileTitleFn>("comdlg32.dll", "GetFileTitleA");
  if (getFileTitle && getFileTitle(path.c_str(), title, sizeof title) == 0) {
    name = Field(title, sizeof title);
    if (!name.empty()) return name;
  }
  size_t slash = path.find_last_of('\\');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string GetFileInfoField(int mode, const std::string& path) {
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
  std::vector<char> data(size > 0 ? size : 1);
  bool ok = size > 0 && GetFileVersionInfoA(path.c_str(), 0, size, data.data());
  char translation[16] = {};
  if (ok) {
    WORD* pair = nullptr;
    UINT len = 0;
    ok = VerQueryValueA(data.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&pair), &len) &&
         pair && len >= 4;
    // Language first, then code page: 0x0409 and 0x04B0 give "040904B0".
    if (ok) std::snprintf(translation, sizeof translation, "%04X%04X", pair[0], pair[1]);
  }
  if (!ok) {
    // No version data: only the display name is known.
    std::string name = GetFileDisplayName(path);
    if (mode == 1) {
      for (auto& f : VersionFields) f.clear();
      VersionFields[3] = name;
    }
    return mode == 2 ? name : "";
  }
  std::string fields[8];
  for (int i = 0; i < 8; ++i) {
    if (i == 3) {
      // The internal name says little to a user: the display name stands in for it.
      fields[i] = GetFileDisplayName(path);
      if (mode == 2) return fields[i];
      continue;
    }
    // A field the resource lacks stays empty; the fields it has keep their values.
    char* value = nullptr;
    UINT len = 0;
    std::string key = std::string("\\StringFileInfo\\") + translation + "\\" + VersionFieldNames[i];
    if (VerQueryValueA(data.data(), key.c_str(), reinterpret_cast<void**>(&value), &len) && value)
      fields[i] = Field(value, len < kMaxFieldLength ? len : kMaxFieldLength);
  }
  if (mode == 1)
    for (int i = 0; i < 8; ++i) VersionFields[i] = fields[i];
  return "";
}

std::string GetPriorityName(long priorityClass) {
  static const char* const kNames[4] = {"Idle", "Normal", "High", "Realtime"};
  for (int i = 0; i < 4; ++i)
    if (PriorityClasses[i] == priorityClass) return kNames[i];
  return "";
}

const std::array<std::string, 8>& CachedVersionFields(const std::string& path, VersionFieldCache& cache) {
  const std::string key = vb::LCase(path);
  auto found = cache.find(key);
  if (found != cache.end()) return found->second;
  GetFileInfoField(1, path);
  std::array<std::string, 8>& fields = cache[key];
  for (int i = 0; i < 8; ++i) fields[static_cast<size_t>(i)] = VersionFields[i];
  return fields;
}

void ListProcessModules(DWORD processId, AppendString* report, VersionFieldCache* cache) {
  const OwnedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId));
  if (!snapshot) return;
  MODULEENTRY32 module = {};
  module.dwSize = sizeof module;
  for (BOOL more = Module32First(snapshot.get(), &module); more; more = Module32Next(snapshot.get(), &module)) {
    std::string path = Field(module.szExePath, sizeof module.szExePath);
    const std::string name = Field(module.szModule, sizeof module.szModule);
    const std::string handle = std::to_string(reinterpret_cast<uintptr_t>(module.hModule));
    const std::string base = std::to_string(reinterpret_cast<uintptr_t>(module.modBaseAddr));
    if (DetailsRefreshing && Views.details.ModsLst) {
      GetFileInfoField(1, path);
      ui::ListView& list = *Views.details.ModsLst;
      int row = list.AddItem(name);
      list.SetSubItem(row, 1, handle);
      list.SetSubItem(row, 2, path);
      list.SetSubItem(row, 3, std::to_string(module.modBaseSize));
      list.SetSubItem(row, 4, base);
      for (int i = 0; i < 8; ++i) list.SetSubItem(row, 5 + i, VersionFields[i]);
    } else if (report) {
      std::array<std::string, 8> fields;
      if (cache) {
        fields = CachedVersionFields(path, *cache);
      } else {
        GetFileInfoField(1, path);
        for (int i = 0; i < 8; ++i) fields[static_cast<size_t>(i)] = VersionFields[i];
      }
      std::string block = "       --> " + name + " (" + handle + ")" + " (" + path + ")" + " (" +
                          std::to_string(module.modBaseSize) + ")" + " (" + base + ")";
      for (int i = 0; i < 8; ++i)
        block += std::string("\r\n           ") + VersionFieldNames[i] + ": " + fields[static_cast<size_t>(i)];
      report->AddToString(block + "\r\n\r\n");
    }
  }
}

bool IsProgramInTable(const std::string& path) {
  // An empty table (or one of a single row) may never have been built: take a fresh one.
  if (ProgTableLast <= 0) DoProcessListOp(kProcRebuild, "True");
  const std::string wanted = vb::LCase(path);
  for (int i = 0; i <= ProgTableLast && i < static_cast<int>(ProgTable.size()); ++i) {
    if (vb::LCase(ProgTable[i][kProgPath]) == wanted) return true;
  }
  return false;
}

std::string GetLocaleInfoText(LCTYPE type) {
  char buffer[100] = {};
  GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buffer, 99);
  return ModCurrency::TrimAtNull(std::string(buffer, sizeof buffer));
}
