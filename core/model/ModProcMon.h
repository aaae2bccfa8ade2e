// The program monitor's start and the risk model: risk descriptions, the static
// properties of a program, the rating 0-100 and its words, and the event categories.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <windows.h>

#include "HistogramCls.h"
#include "ModProcMonParse.h"

// One CPU history per program put under the monitor during the run, its ExtraInfo the
// program's path (emptied when the program is taken off the monitor), and their count.
extern std::vector<std::unique_ptr<HistogramCls>> MonitoredProgHist;
extern int16_t MonitoredProgCount;

// The folder the monitor logs go to: the program folder & "\Risk Monitor Logs\".
std::string RiskMonitorLogFolder();
// Empties section "tmpcpu", stores the log folder as its "path", creates the folder
// and, on the NT family, starts the hook library when it is present. Failures are
// not reported.
void InitRiskMonitor();

// ---- The hook library (Brackel), bound by name at its first call

// The file the binder loads; tests point it at a built copy or at a missing one.
extern std::string BrackelLibraryName;
// Each does nothing when the library or its function is missing.
void BrackelInstallHook(long mode, HWND window);
void BrackelRefHook(unsigned long processId);
void BrackelEjectHook(unsigned long processId);
// True on the NT family when a running process of the program (a full path) could not
// be hooked, so its risky functions go unrecorded: the library refused it or is missing.
bool MonitoredProgramUnhooked(const std::string& path);

// ---- Risk descriptions (RiskDescriptions.dat in the program folder)

extern std::vector<RiskDescription> RiskDescTable;  // RiskDescriptionCount + 1 slots
extern int16_t RiskDescriptionCount;
extern bool RiskDescriptionsLoaded;
extern int16_t LastStaticRiskCode;
// The sum of the bonuses; 32 bits, so a table of large weights cannot wrap.
extern int32_t RiskWeightTotal;
// Where the file is looked for; empty means the program folder.
extern std::string RiskDescriptionsFolder;

// Reads the file once per run. A missing file says "Can't find file
// RiskDescriptions.dat" once and leaves the table empty.
void LoadRiskDescriptions();
// Takes a description text as if it had been the file's.
void UseRiskDescriptions(const std::string& text);

std::string GetRiskDescription(int16_t code);
std::string GetRiskDetails(int16_t code);
int16_t GetRiskScore(int16_t code);
// The index of the first entry with the code; -1 when there is none (so a code
// without an entry scores nothing instead of entry 0's score).
int FindRiskDescription(int16_t code);

// ---- Rating

bool CheckStaticRisk(int16_t code, const std::string& path);
void AddRiskScore(int16_t code, float& max, float& acc);
int16_t GetRiskRating(const std::string& path);
std::string GetRiskLevelText(int16_t rating);
namespace ui {
class ListView;
}
// Shows the rating a cell holds as a bar in its band's colour, bold; with the level,
// dots and the band's words follow.
void ShowRiskRating(ui::ListView& list, int row, int column, bool showLevel);

// The signature answer and the company name's absence, kept per path, file size and
// last write: each costs far too much to ask again for every row of every refresh.
// A file that cannot be read is asked anew each time.
// With `signer`, the signer's name of a verified file comes with the answer, from
// the same check.
bool CachedFileSignature(const std::string& path, std::string* signer = nullptr);
bool CachedNoCompanyName(const std::string& path);
// How many signature checks really ran (the cache's misses), for the benchmark.
extern long SignatureChecksRun;

// ---- Event categories

struct RiskCategory {
  std::string Name;
  int16_t BaseCode = 0;
  bool Shown = true;
};
extern RiskCategory RiskCategories[5];
void InitRiskCategories();
bool IsRiskCategoryHidden(int16_t code);

// Gives this module's state its start values again.
void ResetProcMonState();
