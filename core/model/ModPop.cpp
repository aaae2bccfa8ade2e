#include "ModPop.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "ListView.h"
#include "ModGetURL.h"
#include "ModMainPlatform.h"
#include "ModProgInfo.h"
#include "ModSettings.h"
#include "ModStartupPlatform.h"
#include "ModWndOpr.h"
#include "VbRules.h"
#include "ViewBindings.h"

BrowserEntry Browsers[kMaxBrowsers];
int16_t BrowsersLst_Total = 0;
WhiteListEntry WhiteLst[kMaxWhiteEntries];
int16_t WhiteLst_Total = 0;
int32_t TotalBlockCnt = 0;
vb::Date TotalBlockSince = 0;
std::string PopDatFile;

namespace {

const char kPopUp[] = "PopUp";

std::string BrowserKey(int i, const std::string& rest) { return "Browsers(" + std::to_string(i) + ")." + rest; }
std::string WhiteKey(int i, const std::string& rest) { return "WhiteLst(" + std::to_string(i) + ")." + rest; }

// The catalogue's white items of the browser: every record for its path whose version
// test passes is applied in file order, so the last one wins.
void ApplyCatalogueItems(BrowserEntry& b, const std::vector<PopDatRecord>& catalogue) {
  // A slot reused after a removal must not keep another browser's items.
  for (auto& item : b.PreDefinedWhite) item = WhiteListEntry();
  if (b.Path.empty()) return;
  for (const PopDatRecord& record : catalogue) {
    if (vb::LCase(GetAppPathsEntry(vb::Trim(record.ExeName))) != vb::LCase(b.Path)) continue;
    if (!MajorVersionMatches(record.MajorVersion, b.Path)) continue;
    for (int k = 0; k < 6; ++k) {
      b.PreDefinedWhite[k].WhiteType = record.WhiteType[k];
      b.PreDefinedWhite[k].URL_Or_Name_text = record.WhiteText[k];
      b.PreDefinedWhite[k].ExactText = record.ExactText[k];
    }
  }
}

const char kEntryKeyPrefix[] = "entry";
std::string EntryKey(int entry) { return kEntryKeyPrefix + std::to_string(entry); }

// The page's browser row: the file's display name, or its product name when that is
// shorter than three characters, and the path.
void AddBrowserRow(ui::ListView& list, const std::string& path, int entry) {
  std::string name = GetFileInfoField(2, path);
  if (name.size() < 3) {
    GetFileInfoField(1, path);
    name = VersionFields[6];
  }
  const int row = list.AddItem(name);
  list.SetSubItem(row, 1, path);
  list.SetKey(row, EntryKey(entry));
}

}  // namespace

std::string PopDatPath() { return PopDatFile.empty() ? AppPath() + "\\Pop.dat" : PopDatFile; }

std::string FileVersionText(const std::string& path) {
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
  if (size < 1) return "";
  std::vector<char> data(size);
  if (!GetFileVersionInfoA(path.c_str(), 0, size, data.data())) return "";
  WORD* lang = nullptr;
  UINT len = 0;
  if (!VerQueryValueA(data.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&lang), &len) ||
      !lang || len < 4)
    return "";
  char key[64];
  std::snprintf(key, sizeof key, "\\StringFileInfo\\%04X%04X\\FileVersion", lang[0], lang[1]);
  char* value = nullptr;
  if (!VerQueryValueA(data.data(), key, reinterpret_cast<void**>(&value), &len) || !value) return "";
  size_t n = 0;
  while (n < len && n < 255 && value[n]) ++n;
  return std::string(value, n);
}

bool MajorVersionMatches(int16_t majorVersion, const std::string& path) {
  if (majorVersion == 0) return true;
  return PopDatVersionFits(majorVersion, FileVersionText(path));
}

// The page's lists keep their rows without a window: the page itself loads when it is
// first shown.
void LoadPopUpSettings() {
  SettingsReader r(ProgramTitle, kPopUp);
  // The arrays hold 51 browsers and 201 white-list entries: a larger stored total
  // reads only as many.
  BrowsersLst_Total = static_cast<int16_t>(std::clamp<int>(r.Int16("BrowsersLst_Total", 0), 0, kMaxBrowsers));
  WhiteLst_Total = static_cast<int16_t>(std::clamp<int>(r.Int16("WhiteLst_Total", 0), 0, kMaxWhiteEntries));

  const vb::Date today = std::floor(vb::Now());
  const std::string todayText = vb::CStrDate(today);
  std::string since = r.Text("TotalBlockSince", todayText);
  auto sinceDate = vb::CDate(since);
  // An unreadable date starts the count today, and is written so.
  TotalBlockSince = sinceDate ? *sinceDate : today;
  if (!sinceDate || std::floor(TotalBlockSince) == today)
    SaveSetting(ProgramTitle, kPopUp, "TotalBlockSince", vb::CStrDate(TotalBlockSince));
  TotalBlockCnt = std::max<int32_t>(0, r.Int32("TotalBlockCnt", 0));

  std::vector<PopDatRecord> catalogue;
  ReadPopDat(PopDatPath(), catalogue);
  ui::ListView* browserRows = Views.popUpPage.BrowsersLst;
  if (browserRows) browserRows->Clear();
  for (int i = 0; i < BrowsersLst_Total; ++i) {
    BrowserEntry& b = Browsers[i];
    b.Path = r.Text(BrowserKey(i, "Path"), "");
    b.MenuName[0] = r.Text(BrowserKey(i, "MenuName(0)"), "");
    b.MenuName[1] = r.Text(BrowserKey(i, "MenuName(1)"), "");
    b.HidePop = r.Int16(BrowserKey(i, "HidePop"), 1);
    b.PopDisNotf = r.Int16(BrowserKey(i, "PopDisNotf"), 1);
    ApplyCatalogueItems(b, catalogue);
    if (browserRows) AddBrowserRow(*browserRows, b.Path, i);
  }
  ui::ListView* whiteRows = Views.popUpPage.WhiteWndLst;
  if (whiteRows) whiteRows->Clear();
  for (int i = 0; i < WhiteLst_Total; ++i) {
    // An entry whose type was lost to an outside edit compares with addresses.
    WhiteLst[i].WhiteType = r.Int32(WhiteKey(i, "WhiteType"), 0);
    WhiteLst[i].URL_Or_Name_text = r.Text(WhiteKey(i, "URL_Or_Name_text"), "");
    WhiteLst[i].ExactText = r.Int16(WhiteKey(i, "ExactText"), 0);
    if (whiteRows) whiteRows->SetKey(whiteRows->AddItem(WhiteLst[i].URL_Or_Name_text), EntryKey(i));
  }
}

void SavePopUpSettings() {
  auto put = [](const std::string& key, const std::string& value) {
    SaveSetting(ProgramTitle, kPopUp, key, value);
  };
  put("BrowsersLst_Total", IntText(BrowsersLst_Total));
  for (int i = 0; i < BrowsersLst_Total; ++i) {
    const BrowserEntry& b = Browsers[i];
    put(BrowserKey(i, "Path"), b.Path);
    put(BrowserKey(i, "MenuName(0)"), b.MenuName[0]);
    put(BrowserKey(i, "MenuName(1)"), b.MenuName[1]);
    put(BrowserKey(i, "HidePop"), IntText(b.HidePop));
    put(BrowserKey(i, "PopDisNotf"), IntText(b.PopDisNotf));
    for (int j = 0; j < 6; ++j) {
      const std::string item = "PreDefinedWhite(" + std::to_string(j) + ").";
      put(BrowserKey(i, item + "ExactText"), IntText(b.PreDefinedWhite[j].ExactText));
      put(BrowserKey(i, item + "URL_Or_Name_text"), b.PreDefinedWhite[j].URL_Or_Name_text);
      put(BrowserKey(i, item + "WhiteType"), IntText(b.PreDefinedWhite[j].WhiteType));
    }
  }
  put("WhiteLst_Total", IntText(WhiteLst_Total));
  for (int i = 0; i < WhiteLst_Total; ++i) {
    put(WhiteKey(i, "WhiteType"), IntText(WhiteLst[i].WhiteType));
    put(WhiteKey(i, "URL_Or_Name_text"), WhiteLst[i].URL_Or_Name_text);
    put(WhiteKey(i, "ExactText"), IntText(WhiteLst[i].ExactText));
  }
}

bool AddBrowserFromRecord(const PopDatRecord& record) {
  if (BrowsersLst_Total >= kMaxBrowsers) return false;
  BrowserEntry& b = Browsers[BrowsersLst_Total++];
  b = BrowserEntry();
  b.Path = GetAppPathsEntry(vb::Trim(record.ExeName));
  b.MenuName[0] = vb::Trim(record.MenuName[0]);
  b.MenuName[1] = vb::Trim(record.MenuName[1]);
  b.HidePop = record.HidePop;
  b.PopDisNotf = record.PopDisNotf;
  return true;
}

bool SeedBrowserList() {
  std::vector<PopDatRecord> records;
  const bool read = ReadPopDat(PopDatPath(), records);
  for (const PopDatRecord& record : records) {
    const std::string path = GetAppPathsEntry(vb::Trim(record.ExeName));
    if (path.empty() || !FileExists(path) || !MajorVersionMatches(record.MajorVersion, path)) continue;
    // Records for several versions of one browser may all fit: it joins once.
    bool listed = false;
    for (int i = 0; i < BrowsersLst_Total && !listed; ++i) listed = vb::LCase(Browsers[i].Path) == vb::LCase(path);
    if (!listed) AddBrowserFromRecord(record);
  }
  SavePopUpSettings();
  LoadPopUpSettings();
  return read;
}

void ResetPopUpLists() {
  for (auto& b : Browsers) b = BrowserEntry();
  for (auto& w : WhiteLst) w = WhiteListEntry();
  BrowsersLst_Total = 0;
  WhiteLst_Total = 0;
  TotalBlockCnt = 0;
  TotalBlockSince = 0;
}

namespace {

int g_blockedThisRun = 0;

// The row of a blocked pop-up; the list lives for the run only.
void RecordBlocked(HWND window, const std::string& tag, const std::string& text, const std::string& browserName) {
  CloseWnd(false, window);
  if (ui::ListView* rows = Views.popUpPage.BlockedWndLst) {
    const int row = rows->AddItem(text);
    rows->SetTag(row, tag);
    rows->SetSubItem(row, 1, FoundURL);
    rows->SetSubItem(row, 2, browserName);
    rows->SetSubItem(row, 3, vb::CStrDate(vb::Now()));
  }
  ++g_blockedThisRun;
  ++TotalBlockCnt;
  SaveSetting(ProgramTitle, kPopUp, "TotalBlockCnt", IntText(TotalBlockCnt));
}

}  // namespace

void AddBlockedPopUp(HWND window, const std::string& browserPath, const std::string& title) {
  std::string name = GetFileInfoField(2, browserPath);
  if (name.size() < 3) {
    GetFileInfoField(1, browserPath);
    name = VersionFields[6];  // ProductName
  }
  RecordBlocked(window, browserPath, title.empty() ? "(none)" : title, name);
}

void AddBlockedWebDialog(HWND window, const std::string& title) {
  RecordBlocked(window, "Internet Explorer", title, "Internet Explorer");
}

int BlockedPopUpCount() { return g_blockedThisRun; }

int PopEntryOfRow(const ui::ListView& list, int row) {
  const std::string key = list.Key(row);
  const size_t prefix = sizeof kEntryKeyPrefix - 1;
  if (key.size() <= prefix || key.compare(0, prefix, kEntryKeyPrefix) != 0) return -1;
  return static_cast<int>(vb::Val(key.substr(prefix)));
}

namespace {

// Keeps the entries not named, in order; the new total.
template <typename Entry>
int16_t RemoveEntries(Entry* entries, int16_t total, const std::vector<int>& remove) {
  int16_t kept = 0;
  for (int i = 0; i < total; ++i) {
    if (std::find(remove.begin(), remove.end(), i) != remove.end()) continue;
    if (kept != i) entries[kept] = entries[i];
    ++kept;
  }
  return kept;
}

template <typename Entry>
bool PutEntry(Entry* entries, int16_t& total, int limit, const Entry& entry, int replacing) {
  const bool replaces = replacing >= 0 && replacing < total;
  if (!replaces && total >= limit) return false;
  if (replaces) total = RemoveEntries(entries, total, {replacing});
  entries[total++] = entry;
  SavePopUpSettings();
  LoadPopUpSettings();
  return true;
}

}  // namespace

void RemoveBrowsers(const std::vector<int>& entries) {
  BrowsersLst_Total = RemoveEntries(Browsers, BrowsersLst_Total, entries);
  SavePopUpSettings();
  LoadPopUpSettings();
}

void RemoveWhiteItems(const std::vector<int>& entries) {
  WhiteLst_Total = RemoveEntries(WhiteLst, WhiteLst_Total, entries);
  SavePopUpSettings();
  LoadPopUpSettings();
}

bool PutBrowser(const BrowserEntry& entry, int replacing) {
  return PutEntry(Browsers, BrowsersLst_Total, kMaxBrowsers, entry, replacing);
}

bool PutWhiteItem(const WhiteListEntry& item, int replacing) {
  return PutEntry(WhiteLst, WhiteLst_Total, kMaxWhiteEntries, item, replacing);
}

int ListedBrowser(const std::string& path, int skip) {
  const std::string wanted = vb::LCase(path);
  for (int j = 0; j < BrowsersLst_Total; ++j)
    if (j != skip && vb::LCase(Browsers[j].Path) == wanted) return j;
  return -1;
}

int ListedWhiteItem(const WhiteListEntry& item, int skip) {
  const std::string wanted = vb::LCase(item.URL_Or_Name_text);
  for (int j = 0; j < WhiteLst_Total; ++j) {
    const WhiteListEntry& e = WhiteLst[j];
    if (j != skip && e.ExactText == item.ExactText && e.WhiteType == item.WhiteType &&
        vb::LCase(e.URL_Or_Name_text) == wanted)
      return j;
  }
  return -1;
}

void ResetBlockCounter() {
  TotalBlockSince = std::floor(vb::Now());
  SaveSetting(ProgramTitle, kPopUp, "TotalBlockSince", vb::CStrDate(TotalBlockSince));
  TotalBlockCnt = 0;
  SaveSetting(ProgramTitle, kPopUp, "TotalBlockCnt", IntText(TotalBlockCnt));
}

std::vector<CatalogueBrowser> InstalledCatalogueBrowsers() {
  std::vector<PopDatRecord> records;
  ReadPopDat(PopDatPath(), records);
  std::vector<CatalogueBrowser> installed;
  for (size_t i = 0; i < records.size(); ++i) {
    const std::string path = vb::Trim(GetAppPathsEntry(vb::Trim(records[i].ExeName)));
    if (path.empty() || !FileExists(path) || !MajorVersionMatches(records[i].MajorVersion, path)) continue;
    installed.push_back({vb::Trim(records[i].Name), path, static_cast<int>(i) + 1});
  }
  return installed;
}

bool AddCatalogueBrowser(int record) {
  std::vector<PopDatRecord> records;
  ReadPopDat(PopDatPath(), records);
  if (record < 1 || record > static_cast<int>(records.size())) return false;
  if (!AddBrowserFromRecord(records[record - 1])) return false;
  SavePopUpSettings();
  LoadPopUpSettings();
  return true;
}
