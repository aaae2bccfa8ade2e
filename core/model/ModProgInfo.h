// The process module: the process table and its walker, facts of files and
// processes (icons, version texts, names, modules), known system files, signatures,
// terminate-and-quarantine and the network ports of a process.
#pragma once
#include <windows.h>
#include <tlhelp32.h>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "ModProgInfoParse.h"
#include "Variant.h"

class AppendString;

// ---- The process table

// One row per distinct executable path; the columns:
//   0 the path as the walk delivers it (upper case on NT, lower case on 9x)
//   1 the risk score (written by the lists page)
//   2, 3, 4 committed, reserved and free memory KB, summed over the instances
//   5 the instance count
//   6 the CPU figure (NT only)
//   7 the priority name of the last instance seen
// A quick (automatic) rebuild leaves 2 to 4 and 7 empty.
using ProgRow = std::array<std::string, 8>;
enum ProgColumn : int {
  kProgPath = 0,
  kProgRisk = 1,
  kProgCommitted = 2,
  kProgReserved = 3,
  kProgFree = 4,
  kProgInstances = 5,
  kProgCpu = 6,
  kProgPriority = 7,
};
extern std::vector<ProgRow> ProgTable;  // ProgTable[row][column]
extern int16_t ProgTableLast;           // -1 when empty

// Every process the last rebuild accepted, one entry per process, in walk order: the
// cache of the modes that do not walk live.
extern std::vector<DWORD> ProcIdList;
extern std::vector<std::string> ProcPathList;
extern int16_t ProcListLast;  // -1 when empty

// The processes of the program the details window shows (mode 3 outside its refresh).
extern std::vector<DWORD> DetailsProcIdList;
extern std::vector<std::string> DetailsProcPathList;
extern int16_t DetailsProcListLast;

extern std::string ProcResultPath;  // the path modes 4 and 8 found
extern int16_t ProcInstanceCount;   // the count of mode 7
extern DWORD LastProcWalkTick;      // when the last forced rebuild ran

// Set by the activity log while it takes its snapshot: the walker then only fills the
// cache and the window enumeration takes titles.
extern int16_t LogScanning;
// Set by the details window while it fills its pages: mode 3 and the module list then
// write rows into its lists.
extern bool DetailsRefreshing;

// The one door to the running processes. Modes:
//   0 path: is it running? (live)            1 file name or path tail: end every match
//   2 "True" automatic / "" forced: rebuild   3 path or "": the details window's instances
//   4 window handle: ProcResultPath = owner   5 process id: end it
//   6 path: risk rating text                  7 path: instance count
//   8 process id: ProcResultPath = its path   9 path & digit 0-3: set the priority class
//  10 path: priority name
// Results: True/False, Empty (a rebuild skipped, a window without owner), a text or a count.
enum ProcListMode : long {
  kProcIsRunning = 0,
  kProcEndByName = 1,
  kProcRebuild = 2,
  kProcDetailsInstances = 3,
  kProcOwnerOfWindow = 4,
  kProcEndById = 5,
  kProcRiskText = 6,
  kProcInstanceCount = 7,
  kProcPathOfId = 8,
  kProcSetPriority = 9,
  kProcPriorityName = 10,
};
vb::Variant DoProcessListOp(long mode, const std::string& argument);
// Set around a forced rebuild (mode 2, "") by a caller that reads the memory figures
// of the new table in shares: the rebuild then leaves them owed (empty memory cells)
// and ReadOwedMemoryFigures reads them, each call until `deadline` (GetTickCount; 0:
// all), and says whether none are owed any more. A newer rebuild drops what the older
// table was owed; Cancel in the status window drops the rest.
extern bool DeferMemoryFigures;
bool ReadOwedMemoryFigures(DWORD deadline);
vb::Variant WalkCachedProcessList(long mode, const std::string& argument);
vb::Variant WalkProcessListPsapi(long mode, const std::string& argument);
// The step of every mode for one process; true when the walk should stop here.
// `windowPid` is the owner of mode 4's window, `record` the 9x snapshot entry (or null).
bool ProcessOpOnEntry(long mode, const std::string& path, DWORD pid, DWORD windowPid,
                      const PROCESSENTRY32* record, const std::string& argument, std::string& output);

// Fills column 6 from the CPU library's figures (NT only; "0" where it measured nothing).
void UpdateProcessCpu();
// The hook library (CPU use, the pop-up hook), loaded by name at its first use. A
// missing library leaves every CPU figure at "0" and installs no pop-up hook.
extern std::string MoskinLibraryName;
// An entry of that library; null when the library or the entry is missing. The
// library is looked for again only when the name changes.
FARPROC MoskinEntry(const char* entry);
// Calls the library's GetCpuUsage with a table of 1000 entries; -1 when it is missing.
long CallGetCpuUsage(long* table);

// True when a process of the path (from the cache) owns a visible window of the window table.
bool ProgramHasVisibleWindow(const std::string& path);

// The path of a process's main module, with the native prefixes resolved: "\??\" is
// dropped and "\SYSTEMROOT" becomes the Windows folder. Upper case. "" when unreadable.
std::string ProcessImagePath(HANDLE process);
// The same rules on a path already read (upper-cased on the way).
std::string NormaliseImagePath(const std::string& modulePath);
// The lower-case path of a Toolhelp process entry. Where Toolhelp gives a bare file
// name (Wine does), the process's first module gives the full path.
std::string ToolhelpProcessPath(const PROCESSENTRY32& entry);
// Walks a Toolhelp snapshot of the processes until `visit` answers false; false when
// no snapshot could be taken.
bool ForEachToolhelpProcess(const std::function<bool(const PROCESSENTRY32&)>& visit);
// Every process id of the system, in the system's order.
std::vector<DWORD> EnumProcessIds();
// How many processes the NT walker opened to read a path (a count for tests and benchmarks).
extern long ProcessOpensForTest;

// ---- File facts

// The eight version texts of the last file asked with GetFileInfoField mode 1:
// CompanyName, FileDescription, FileVersion, InternalName (the display name instead),
// LegalCopyright, OriginalFileName, ProductName, ProductVersion.
extern std::string VersionFields[8];
extern const char* const VersionFieldNames[8];
// The shell icon of a file, large (32) or small (16); 0 when none. The caller owns it.
HICON GetFileIcon(const std::string& path, bool large);
// Mode 1 fills VersionFields and gives ""; mode 2 gives the file's display name.
std::string GetFileInfoField(int mode, const std::string& path);
// The shell's display name, else the file title, else the text after the last "\".
std::string GetFileDisplayName(const std::string& path);
// "Idle", "Normal", "High" or "Realtime" for the four priority classes; "" otherwise.
std::string GetPriorityName(long priorityClass);
// The modules of a process: rows of the details window's module list while it
// refreshes, otherwise a block per module appended to the report.
// A report asks each file's version texts once: `cache` keeps them by lower-case path.
using VersionFieldCache = std::map<std::string, std::array<std::string, 8>>;
const std::array<std::string, 8>& CachedVersionFields(const std::string& path, VersionFieldCache& cache);
void ListProcessModules(DWORD processId, AppendString* report, VersionFieldCache* cache = nullptr);
// True when a row of the process table holds the path (both lower-cased).
bool IsProgramInTable(const std::string& path);
// One of the user's locale texts (LOCALE_SCURRENCY ...); "" when there is none.
std::string GetLocaleInfoText(LCTYPE type);

namespace ModProgInfo {
// The text before the first NUL; the whole text when it has none.
std::string TrimAtNull(const std::string& text);
}
namespace ModCurrency {
// The text before the first NUL; "" when it has none.
std::string TrimAtNull(const std::string& text);
}

// ---- Known system files, signatures, quarantine

// Full lower-case paths of the known system files, then one empty entry.
extern std::vector<std::string> SystemFilesList;
// Reads systemfiles.dat from the program folder.
void LoadSystemFiles();
// 0 outside the Windows folder, 1 a listed system file, 2 under the Windows folder but unlisted.
int16_t IsSystemFile(const std::string& path);

// True with the signer's name when the file's signature verifies (never on the 9x
// family); False with `signer` untouched otherwise.
bool VerifyFileSignature(const std::string& path, std::string& signer);

// Ends every process of the program and moves its file into quarantine. Nonzero
// exactly when the file was quarantined: the pass that did it plus the try number.
int16_t TerminateAndQuarantine(const std::string& path);
// Ends one process and tries up to 1000 times to quarantine its file; the number of
// the try that worked, 0 when none did.
int16_t TerminateAndQuarantinePid(DWORD processId, const std::string& path);

// ---- Ports

// The last netstat connection of the process; an empty record when it has none.
ConnectionRecord GetProcessPorts(DWORD processId);

// Gives this module's state its start values again.
void ResetProgInfoState();
