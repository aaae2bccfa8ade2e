#include "ModProcMon.h"

#include <windows.h>

#include <fstream>
#include <map>
#include <sstream>

#include "ModMainPlatform.h"
#include "ModProgInfo.h"
#include "ModSettings.h"
#include "ModStartupPlatform.h"
#include "ListView.h"
#include "ModWndOpr.h"
#include "ProcMonCls.h"
#include "StartUpEntries.h"
#include "VbRules.h"
#include "ViewBindings.h"
#include "Window.h"

std::vector<std::unique_ptr<HistogramCls>> MonitoredProgHist;
int16_t MonitoredProgCount;

std::vector<RiskDescription> RiskDescTable;
int16_t RiskDescriptionCount;
bool RiskDescriptionsLoaded;
int16_t LastStaticRiskCode;
int32_t RiskWeightTotal;
std::string RiskDescriptionsFolder;
long SignatureChecksRun;
RiskCategory RiskCategories[5];

namespace {

bool g_categoriesFilled = false;

// What is known of one file while it keeps its size and last write.
struct FileFacts {
  ULONGLONG size = 0;
  FILETIME lastWrite = {};
  int signedOk = -1;   // -1 not asked yet
  std::string signer;  // of a verified file
  int noCompany = -1;
};
std::map<std::string, FileFacts> g_fileFacts;

// The facts kept for the file as it is now; null when the file cannot be read.
FileFacts* FactsOf(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA now = {};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &now)) return nullptr;
  const ULONGLONG size = (static_cast<ULONGLONG>(now.nFileSizeHigh) << 32) | now.nFileSizeLow;
  FileFacts& facts = g_fileFacts[vb::LCase(path)];
  if (facts.size != size || CompareFileTime(&facts.lastWrite, &now.ftLastWriteTime) != 0) {
    facts = FileFacts();
    facts.size = size;
    facts.lastWrite = now.ftLastWriteTime;
  }
  return &facts;
}

}  // namespace

// The start values of this module's state, given at program start and again by
// ResetProgramState.
void ResetProcMonState() {
  MonitoredProgHist.clear();
  MonitoredProgCount = 0;
  RiskDescTable.clear();
  RiskDescriptionCount = 0;
  RiskDescriptionsLoaded = false;
  LastStaticRiskCode = 0;
  RiskWeightTotal = 0;
  RiskDescriptionsFolder.clear();
  SignatureChecksRun = 0;
  g_fileFacts.clear();
  for (RiskCategory& category : RiskCategories) category = RiskCategory();
  g_categoriesFilled = false;
}
namespace {
const bool resetProcMonStateDone = (ResetProcMonState(), true);
}  // namespace

std::string RiskMonitorLogFolder() { return AppPath() + "\\Risk Monitor Logs\\"; }

void InitRiskMonitor() {
  DeleteSection(ProgramTitle, "tmpcpu");
  SaveSetting(ProgramTitle, "tmpcpu", "path", RiskMonitorLogFolder());
  // The hook library appends to logs in this folder; it cannot create it.
  CreateDirectoryA(RiskMonitorLogFolder().c_str(), nullptr);
  if (!IsWinNTFlag) return;
  if (Views.status.form) Views.status.form->Load();
  BrackelInstallHook(-1, BoundHwnd(Views.status.form));
}

// ---- The hook library

std::string BrackelLibraryName = "Brackel.dll";

namespace {

// The library's three calls: 32-bit arguments by value, stdcall, results unused. A
// window handle fits 32 bits on both builds, so it travels as one.
using BrackelCall = LONG(WINAPI*)(LONG);
using BrackelInstall = LONG(WINAPI*)(LONG, LONG);
using BrackelProgramState = LONG(WINAPI*)(LPCSTR);
struct BrackelBinding {
  std::string tried;
  BrackelInstall install = nullptr;
  BrackelCall refHook = nullptr, ejectHook = nullptr;
  BrackelProgramState programState = nullptr;
};

// Loads the library once per name; a missing one is not looked for again until
// another name is set.
const BrackelBinding& Brackel() {
  static BrackelBinding binding;
  if (binding.tried == BrackelLibraryName && !binding.tried.empty()) return binding;
  binding = BrackelBinding();
  binding.tried = BrackelLibraryName;
  if (HMODULE lib = LoadLibraryA(BrackelLibraryName.c_str())) {
    binding.install = reinterpret_cast<BrackelInstall>(GetProcAddress(lib, "InstallHook"));
    binding.refHook = reinterpret_cast<BrackelCall>(GetProcAddress(lib, "RefHook"));
    binding.ejectHook = reinterpret_cast<BrackelCall>(GetProcAddress(lib, "EjectHook"));
    binding.programState = reinterpret_cast<BrackelProgramState>(GetProcAddress(lib, "HookStateOfProgram"));
  }
  return binding;
}

}  // namespace

void BrackelInstallHook(long mode, HWND window) {
  if (auto install = Brackel().install)
    install(static_cast<LONG>(mode), static_cast<LONG>(reinterpret_cast<LONG_PTR>(window)));
}
void BrackelRefHook(unsigned long processId) {
  if (auto refHook = Brackel().refHook) refHook(static_cast<LONG>(processId));
}
void BrackelEjectHook(unsigned long processId) {
  if (auto ejectHook = Brackel().ejectHook) ejectHook(static_cast<LONG>(processId));
}

bool MonitoredProgramUnhooked(const std::string& path) {
  if (!IsWinNTFlag) return false;
  const BrackelBinding& brackel = Brackel();
  if (!brackel.install) return IsProgramInTable(path);
  const LONG kRefused = 2;
  return brackel.programState && brackel.programState(path.c_str()) == kRefused;
}

// ---- Risk descriptions

void UseRiskDescriptions(const std::string& text) {
  RiskDescriptionFile file = ParseRiskDescriptions(text);
  RiskDescTable = std::move(file.Table);
  RiskDescriptionCount = file.Count;
  LastStaticRiskCode = file.LastStaticRiskCode;
  RiskWeightTotal = file.WeightTotal;
  RiskDescriptionsLoaded = true;
}

void LoadRiskDescriptions() {
  // Checked first: the total is the table's and must survive a second call.
  if (RiskDescriptionsLoaded) return;
  RiskWeightTotal = 0;
  const std::string fileName = "RiskDescriptions.dat";
  const std::string folder = RiskDescriptionsFolder.empty() ? AppPath() : RiskDescriptionsFolder;
  std::ifstream file(folder + "\\" + fileName, std::ios::binary);
  if (!file) {
    RiskDescriptionsLoaded = true;  // before the message: it pumps, and a rating may come in
    RiskDescTable.assign(1, RiskDescription());
    RiskDescriptionCount = 0;
    LastStaticRiskCode = 0;
    MsgBox("Can't find file " + fileName, MB_OK | MB_ICONSTOP, FrameHwnd());
    return;
  }
  std::ostringstream text;
  text << file.rdbuf();
  UseRiskDescriptions(text.str());
}

int FindRiskDescription(int16_t code) {
  if (!RiskDescriptionsLoaded) LoadRiskDescriptions();
  for (int i = 0; i < RiskDescriptionCount && i < static_cast<int>(RiskDescTable.size()); ++i)
    if (RiskDescTable[i].Code == code) return i;
  return -1;
}

std::string GetRiskDescription(int16_t code) {
  int i = FindRiskDescription(code);
  return i < 0 ? "" : RiskDescTable[i].Description;
}

std::string GetRiskDetails(int16_t code) {
  int i = FindRiskDescription(code);
  if (i >= 0 && !RiskDescTable[i].Details.empty()) return RiskDescTable[i].Details;
  return GetRiskDescription(code);
}

int16_t GetRiskScore(int16_t code) {
  if (!RiskDescriptionsLoaded) LoadRiskDescriptions();
  for (int i = 0; i < RiskDescriptionCount && i < static_cast<int>(RiskDescTable.size()); ++i) {
    const RiskDescription& entry = RiskDescTable[i];
    if (entry.Code != code || entry.Score <= 0) continue;
    double score = vb::RoundHalfEven(entry.Score + entry.Bonus * 20.0 / 100.0);
    return static_cast<int16_t>(score > 32767 ? 32767 : score < -32768 ? -32768 : score);
  }
  return 0;
}

// ---- Rating

bool CachedFileSignature(const std::string& path, std::string* signer) {
  FileFacts* facts = FactsOf(path);
  if (!facts) return false;
  if (facts->signedOk < 0) {
    facts->signedOk = VerifyFileSignature(path, facts->signer) ? 1 : 0;
    ++SignatureChecksRun;
  }
  if (signer) *signer = facts->signer;
  return facts->signedOk == 1;
}

bool CachedNoCompanyName(const std::string& path) {
  FileFacts* facts = FactsOf(path);
  if (facts && facts->noCompany >= 0) return facts->noCompany == 1;
  GetFileInfoField(1, path);
  const bool noCompany = VersionFields[0].empty();
  if (facts) facts->noCompany = noCompany ? 1 : 0;
  return noCompany;
}

bool CheckStaticRisk(int16_t code, const std::string& path) {
  switch (code) {
    case 120:
      return CachedFileSignature(path);
    case 121:
      return IsSystemFile(path) == 1;
    case 130:
      // A table never built this run would make every program windowless.
      if (WndTableLast < 0) GetWndInfo(kWndRebuildTable, "");
      return !ProgramHasVisibleWindow(path);
    case 131:
      return CachedNoCompanyName(path);
    case 132:
      return IsEnabledStartUpProgram(path);
    case 133:
      return IsSystemFile(path) == 2;
    default:
      return false;
  }
}

void AddRiskScore(int16_t code, float& max, float& acc) {
  if (code < 120) return;
  int i = FindRiskDescription(code);
  if (i < 0) return;
  const RiskDescription& entry = RiskDescTable[i];
  if (entry.Score < 0) {
    const float cap = -static_cast<float>(entry.Score);
    if (max > cap) max = cap;
    return;
  }
  if (max < entry.Score) max = entry.Score;
  if (RiskWeightTotal > 0) acc = static_cast<float>(acc + static_cast<int32_t>(entry.Bonus) * 80 / static_cast<double>(RiskWeightTotal));
}

int16_t GetRiskRating(const std::string& path) {
  if (!RiskDescriptionsLoaded) LoadRiskDescriptions();
  float max = 0, acc = 0;
  for (int code = 130; code <= LastStaticRiskCode; ++code)
    if (CheckStaticRisk(static_cast<int16_t>(code), path)) AddRiskScore(static_cast<int16_t>(code), max, acc);
  const std::string wanted = vb::LCase(path);
  for (int i = 0; i < MonitoredProgCount && i < static_cast<int>(MonitoredProgHist.size()); ++i) {
    if (!MonitoredProgHist[i] || vb::LCase(MonitoredProgHist[i]->ExtraInfo) != wanted) continue;
    ProcMonCls log;
    log.OpenLogFile(path);
    std::vector<int16_t> seen;
    int16_t code = 0;
    std::string timeText, rest;
    while (log.GetNextLine(code, timeText, rest)) {
      bool known = false;
      for (int16_t s : seen) known = known || s == code;
      if (known) continue;
      seen.push_back(code);
      AddRiskScore(code, max, acc);
    }
    log.CloseLogFile();
    break;
  }
  for (int code = 120; code <= 129; ++code)
    if (CheckStaticRisk(static_cast<int16_t>(code), path)) AddRiskScore(static_cast<int16_t>(code), max, acc);
  float rating = max + acc;
  if (rating < 0) rating = 0;
  if (rating > 100) rating = 100;
  return static_cast<int16_t>(vb::RoundHalfEven(rating));
}

std::string GetRiskLevelText(int16_t rating) { return RiskLevelText(rating); }

void ShowRiskRating(ui::ListView& list, int row, int column, bool showLevel) {
  RiskRatingCell cell = FormatRiskRating(list.SubItem(row, column), showLevel);
  list.SetSubItem(row, column, cell.text);
  list.SetCellStyle(row, column, cell.foreColour, cell.bold);
}

// ---- Event categories

void InitRiskCategories() {
  if (g_categoriesFilled) return;
  g_categoriesFilled = true;
  const char* const names[5] = {"File System Operations", "Registry Operations", "Network Operations",
                                "System Operations", "Other"};
  for (int i = 0; i < 5; ++i) RiskCategories[i] = {names[i], static_cast<int16_t>(200 + 100 * i), true};
}

bool IsRiskCategoryHidden(int16_t code) {
  InitRiskCategories();
  for (const RiskCategory& category : RiskCategories)
    if (category.BaseCode < code && code < category.BaseCode + 100) return !category.Shown;
  return false;
}
