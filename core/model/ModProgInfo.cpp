// The process table and its walker: one procedure with a mode for every question the
// program asks about running processes, over a live walk (Toolhelp on the 9x family,
// the process-status calls on NT) or over the cache of the last rebuild.
#include "ModProgInfo.h"
#include "ModStartupPlatform.h"
#include "ModMainPlatform.h"
#include "Controls.h"
#include "ListView.h"
#include "ViewBindings.h"
#include "Window.h"

#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <climits>
#include <map>
#include <winternl.h>
#include <cstdlib>
#include <map>

#include "ModProcMon.h"
#include "ModSProgs.h"
#include "ModSettings.h"
#include "ModWndOpr.h"
#include "OwnedHandle.h"
#include "Seams.h"
#include "SysInfoLink.h"
#include "VbRules.h"
#include "mdlCmd.h"

std::vector<ProgRow> ProgTable;
int16_t ProgTableLast;
std::vector<DWORD> ProcIdList;
std::vector<std::string> ProcPathList;
int16_t ProcListLast;
std::vector<DWORD> DetailsProcIdList;
std::vector<std::string> DetailsProcPathList;
int16_t DetailsProcListLast;
std::string ProcResultPath;
int16_t ProcInstanceCount;
DWORD LastProcWalkTick;
int16_t LogScanning;
bool DetailsRefreshing;
bool DeferMemoryFigures;
std::string MoskinLibraryName = "Moskin.dll";

namespace {

// The process-list mark shared with the hook libraries.
const char kHookApp[] = "Quillon";
const char kHookSection[] = "tmp";
const char kProcChanged[] = "ProcChanged";

const DWORD kThrottleMs = 1000;
const int kCpuTableSize = 1000;

// A process as one system snapshot names it: an id the system may give again, with
// the creation time that tells the two apart.
using ProcessStamp = std::pair<DWORD, LONGLONG>;

// The set of processes a walk saw: the automatic rebuild also runs when the system's
// set no longer matches it. The lists page and the activity log each keep their own:
// with one set, a process that started and ended between the page's walks would leave
// the log's list holding it, since the set is back to the page's.
struct WalkSet {
  std::vector<DWORD> ids;  // sorted
  std::vector<ProcessStamp> stamps;
  bool have = false;
};
WalkSet g_listsWalk;
WalkSet g_logWalk;
// The walk that last filled ProcIdList. The log may keep the list only when it filled
// it itself: one the page filled in between can hold a process that has since ended.
const WalkSet* g_procListFilledBy = nullptr;
// The owner process of mode 4's window, for the cache walk.
DWORD g_windowPid;

std::string Field(const char* text, size_t max) {
  size_t n = 0;
  while (n < max && text[n]) ++n;
  return std::string(text, n);
}

DWORD IdFromText(const std::string& text) {
  char* end = nullptr;
  unsigned long v = std::strtoul(text.c_str(), &end, 10);
  return end && end != text.c_str() ? static_cast<DWORD>(v) : 0;
}

// The file name or path tail of mode 1 matches only a whole name: "pad.exe" must
// not end notepad.exe.
bool EndsAtPathBoundary(const std::string& path, const std::string& tail) {
  if (tail.empty() || tail.size() > path.size()) return false;
  size_t at = path.size() - tail.size();
  if (vb::UCase(path.substr(at)) != vb::UCase(tail)) return false;
  return at == 0 || path[at - 1] == '\\' || tail[0] == '\\';
}

void EndProcess(DWORD pid) {
  if (OwnedHandle h{OpenProcess(PROCESS_TERMINATE, FALSE, pid)}) TerminateProcess(h.get(), 0);
}

std::string PriorityNameOf(HANDLE process) { return process ? GetPriorityName(GetPriorityClass(process)) : ""; }

std::string Sum(const std::string& cell, long add) {
  return std::to_string(static_cast<long long>(vb::Val(cell)) + add);
}

// A process whose memory figures a walk still owes: a row of the process table, or
// (with the first memory column) a row of the details window's instance list.
struct MemoryWanted {
  int row;
  DWORD pid;
  int detailsColumn;  // -1 for the process table
};
std::vector<MemoryWanted> g_memoryWanted;
// Counts the rebuilds of the process table: figures read for an older table are not
// written into a newer one.
unsigned g_tableGeneration;

// Under Wine a process answers a question about its memory itself; one that is
// stopped or dying may never answer. So the figures are read on a worker after the
// walk, each within this time, while this thread's events run: the program answers
// throughout, and a process that does not answer shows what an unreadable one shows.
const DWORD kMemoryAnswerMs = 1000;
// A read that takes this long has the status window show it, with its Cancel.
const DWORD kMemoryStatusAfterMs = 300;
const char kReadingText[] = "Reading Processes ... Please wait...";

// The figures a forced rebuild left owed when DeferMemoryFigures was set, with the
// table they belong to.
std::vector<MemoryWanted> g_tableOwed;
unsigned g_tableOwedGeneration;

// Reads the figures of `wanted` from the front, taking each read one off, until the
// deadline has passed (0: all). Cancel in the status window stops the reading; the
// rows not read keep empty memory cells.
void ReadFigures(std::vector<MemoryWanted>& wanted, unsigned generation, DWORD deadline) {
  if (wanted.empty()) return;
  ui::Window* status = Views.status.form;
  // A status window already on view belongs to a longer operation: its Cancel stops
  // that one too, so the flag is left for it.
  const bool statusOwned = status && !status->Visible();
  bool statusShown = false;
  if (statusOwned) CancelFlag = false;
  size_t taken = 0;
  while (taken < wanted.size()) {
    if (CancelFlag || (deadline && taken > 0 && static_cast<LONG>(GetTickCount() - deadline) >= 0)) break;
    const MemoryWanted w = wanted[taken++];
    const DWORD asked = GetTickCount();
    int32_t memory[3];
    MemoryRead read = TakeProcMemBounded(w.pid, memory, kMemoryAnswerMs, [&] {
      if (statusOwned && !statusShown && GetTickCount() - asked >= kMemoryStatusAfterMs) {
        statusShown = true;
        if (Views.status.lblCancel) Views.status.lblCancel->SetText(kReadingText);
        status->Show();
      }
      ui::DoEvents();
      return !CancelFlag;
    });
    if (read != MemoryRead::kRead) continue;
    if (w.detailsColumn < 0) {
      // A rebuild run by an event meanwhile has its own figures.
      if (generation != g_tableGeneration || w.row > ProgTableLast) {
        taken = wanted.size();
        break;
      }
      ProgRow& r = ProgTable[static_cast<size_t>(w.row)];
      for (int c = 0; c < 3; ++c) r[2 + c] = Sum(r[2 + c], memory[c]);
    } else if (Views.details.ProcLst) {
      ui::ListView& list = *Views.details.ProcLst;
      // The list may have been filled again meanwhile: only the process's own row is written.
      if (w.row >= list.ItemCount() || list.ItemText(w.row) != std::to_string(w.pid)) continue;
      for (int c = 0; c < 3; ++c) list.SetSubItem(w.row, w.detailsColumn + c, std::to_string(memory[c]));
    }
  }
  // Cancel drops the rest, as it always did.
  if (CancelFlag) taken = wanted.size();
  wanted.erase(wanted.begin(), wanted.begin() + static_cast<std::ptrdiff_t>(taken));
  if (statusOwned) {
    CancelFlag = false;
    if (statusShown) status->Hide();
  }
}

// Reads the figures the walk owes, or leaves those of a forced rebuild of the table
// owed when the caller reads them in shares (DeferMemoryFigures).
void ReadMemoryFigures(bool forcedRebuild) {
  std::vector<MemoryWanted> wanted;
  wanted.swap(g_memoryWanted);
  if (forcedRebuild && DeferMemoryFigures) {
    g_tableOwed.swap(wanted);
    g_tableOwedGeneration = g_tableGeneration;
    return;
  }
  ReadFigures(wanted, g_tableGeneration, 0);
}

// The tables a rebuild fills, emptied before it fills them. The activity log's walk
// only takes the processes: the table and the remembered process set stay, or every
// reader would see an empty table until the set changed.
void ResetRebuiltTables() {
  if (!LogScanning) {
    ProgTable.clear();
    ProgTableLast = -1;
    ++g_tableGeneration;
  }
  g_memoryWanted.clear();
  ProcIdList.clear();
  ProcPathList.clear();
  ProcListLast = -1;
}

// A forced rebuild lets events run this often while it reads the processes' paths.
const DWORD kWalkPumpMs = 100;

// Rebuild step of one process.
void AddToTable(const std::string& path, DWORD pid, bool quick) {
  // The program never lists itself.
  if (vb::LCase(path) == vb::LCase(AppExePath)) return;
  OwnedHandle process;
  if (!quick) {
    process.Reset(OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, pid));
    if (!process) return;
  }
  ProcIdList.push_back(pid);
  ProcPathList.push_back(path);
  ProcListLast = static_cast<int16_t>(ProcIdList.size() - 1);

  bool listed = !LogScanning;
  if (listed) {
    int16_t action = DoSProgOp(3, path);
    if ((IsSystemFile(path) == 1 && HideSysProc == 1) || action == 0 || action == 1) listed = false;
  }
  if (listed) {
    int row = -1;
    for (int i = 0; i <= ProgTableLast; ++i)
      if (ProgTable[i][kProgPath] == path) {
        row = i;
        break;
      }
    if (row < 0) {
      ProgTable.emplace_back();
      row = ProgTableLast = static_cast<int16_t>(ProgTable.size() - 1);
      ProgRow& r = ProgTable[row];
      r[0] = path;
      r[5] = "1";
    } else {
      ProgRow& r = ProgTable[row];
      r[5] = Sum(r[5], 1);
    }
    // The memory figures are read once the table stands (ReadMemoryFigures).
    if (!(Views.lists.FastRef && *Views.lists.FastRef) && !quick) g_memoryWanted.push_back({row, pid, -1});
    if (!quick) ProgTable[row][kProgPriority] = PriorityNameOf(process.get());
  }
}

// Mode 3 for one process of the program: a row of the details window's instance
// list while it refreshes, else an entry of the details lists.
void AddDetailsInstance(const std::string& path, DWORD pid, const PROCESSENTRY32* record) {
  OwnedHandle process(OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, pid));
  if (DetailsRefreshing && Views.details.ProcLst) {
    ui::ListView& list = *Views.details.ProcLst;
    int row = list.AddItem(std::to_string(pid));
    int column = 1;
    if (!IsWinNTFlag) list.SetSubItem(row, column++, record ? std::to_string(record->cntThreads) : "");
    list.SetSubItem(row, column++, PriorityNameOf(process.get()));
    // The memory cells are filled once the walk is over (ReadMemoryFigures).
    g_memoryWanted.push_back({row, pid, column});
    for (int c = 0; c < 3; ++c) list.SetSubItem(row, column++, "");
    if (IsWinNTFlag) {
      ConnectionRecord ports = GetProcessPorts(pid);
      list.SetSubItem(row, column++, ports.LocalPort);
      list.SetSubItem(row, column++, ports.LocalHost);
      list.SetSubItem(row, column++, ports.RemotePort);
      list.SetSubItem(row, column++, ports.RemoteHost);
    }
  } else {
    DetailsProcIdList.push_back(pid);
    DetailsProcPathList.push_back(path);
    DetailsProcListLast = static_cast<int16_t>(DetailsProcIdList.size() - 1);
  }
}

// The 9x live walk (modes 0, 2, 3).
vb::Variant WalkToolhelp(long mode, const std::string& argument) {
  bool last = false;
  std::string output;
  const bool walked = ForEachToolhelpProcess([&](const PROCESSENTRY32& entry) {
    last = ProcessOpOnEntry(mode, ToolhelpProcessPath(entry), entry.th32ProcessID, 0, &entry, argument, output);
    return !(mode == 0 && last);
  });
  if (!walked) return vb::Variant();
  return mode == 0 ? vb::Variant::Bool(last) : vb::Variant::Bool(true);
}

// Every process of the system with its creation time, sorted; empty when the system
// will not say.
std::vector<ProcessStamp> ProcessStamps() {
  using QueryFn = LONG(WINAPI*)(int, PVOID, ULONG, PULONG);
  static const QueryFn query =
      reinterpret_cast<QueryFn>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
  std::vector<ProcessStamp> stamps;
  if (!query) return stamps;
  std::vector<unsigned char> buffer(256 * 1024);
  const int kSystemProcessInformation = 5;
  for (int tries = 0; tries < 6; ++tries) {
    ULONG needed = 0;
    LONG status = query(kSystemProcessInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
    if (status == 0) break;
    // STATUS_INFO_LENGTH_MISMATCH: the list grew; anything else ends the attempt.
    if (static_cast<ULONG>(status) != 0xC0000004UL) return stamps;
    buffer.resize(std::max<size_t>(buffer.size() * 2, needed + 4096));
    if (tries == 5) return stamps;
  }
  size_t offset = 0;
  for (;;) {
    const auto* entry = reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(buffer.data() + offset);
    stamps.emplace_back(static_cast<DWORD>(reinterpret_cast<uintptr_t>(entry->UniqueProcessId)),
                        entry->CreateTime.QuadPart);
    if (entry->NextEntryOffset == 0) break;
    offset += entry->NextEntryOffset;
    if (offset + sizeof(SYSTEM_PROCESS_INFORMATION) > buffer.size()) break;
  }
  std::sort(stamps.begin(), stamps.end());
  return stamps;
}

// The path each process had when it was last opened, by id and creation time, so an
// automatic rebuild opens only the processes it has not seen. A process that could
// not be opened is not remembered; ended ones are dropped at each walk.
std::map<ProcessStamp, std::string> g_knownPaths;

WalkSet& CurrentWalkSet() { return LogScanning ? g_logWalk : g_listsWalk; }

bool ProcessSetChanged() {
  const WalkSet& last = CurrentWalkSet();
  if (!last.have) return true;
  if (LogScanning && g_procListFilledBy != &last) return true;
  std::vector<ProcessStamp> stamps = ProcessStamps();
  // A reused id has another creation time, so it counts as a change.
  if (!stamps.empty() || !last.stamps.empty()) return stamps != last.stamps;
  std::vector<DWORD> ids = EnumProcessIds();
  std::sort(ids.begin(), ids.end());
  return ids != last.ids;
}

// The last CPU measurement: when it was taken and each program's figure by path.
bool g_cpuMeasured = false;
DWORD g_cpuMeasuredTick = 0;
std::map<std::string, std::string> g_lastCpuByPath;

}  // namespace

// The start values of this module's state, given at program start and again by
// ResetProgramState.
void ResetProgInfoState() {
  g_cpuMeasured = false;
  g_cpuMeasuredTick = 0;
  g_lastCpuByPath.clear();
  ProgTable.clear();
  ProgTableLast = -1;
  ProcIdList.clear();
  ProcPathList.clear();
  ProcListLast = -1;
  DetailsProcIdList.clear();
  DetailsProcPathList.clear();
  DetailsProcListLast = -1;
  ProcResultPath = std::string();
  ProcInstanceCount = 0;
  LastProcWalkTick = 0;
  LogScanning = 0;
  DetailsRefreshing = false;
  DeferMemoryFigures = false;
  g_tableOwed.clear();
  g_listsWalk = WalkSet();
  g_logWalk = WalkSet();
  g_procListFilledBy = nullptr;
  g_windowPid = 0;
  g_knownPaths.clear();
  ProcessOpensForTest = 0;
}
namespace {
const bool resetProgInfoStateDone = (ResetProgInfoState(), true);
}  // namespace

long ProcessOpensForTest;

std::vector<DWORD> EnumProcessIds() {
  std::vector<DWORD> ids(4);
  for (;;) {
    DWORD bytes = 0;
    DWORD size = static_cast<DWORD>(ids.size() * sizeof(DWORD));
    if (!EnumProcesses(ids.data(), size, &bytes)) return {};
    // A full buffer may have cut the list: ask again with twice the room.
    if (bytes < size) {
      ids.resize(bytes / sizeof(DWORD));
      return ids;
    }
    ids.resize(ids.size() * 2);
  }
}

std::string ToolhelpProcessPath(const PROCESSENTRY32& entry) {
  std::string path = Field(entry.szExeFile, sizeof entry.szExeFile);
  if (path.find('\\') == std::string::npos) {
    OwnedHandle modules(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, entry.th32ProcessID));
    if (modules) {
      MODULEENTRY32 module = {};
      module.dwSize = sizeof module;
      if (Module32First(modules.get(), &module)) path = Field(module.szExePath, sizeof module.szExePath);
    }
  }
  return vb::LCase(path);
}

bool ForEachToolhelpProcess(const std::function<bool(const PROCESSENTRY32&)>& visit) {
  OwnedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return false;
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot.get(), &entry); more && visit(entry);
       more = Process32Next(snapshot.get(), &entry)) {
  }
  return true;
}

std::string NormaliseImagePath(const std::string& modulePath) {
  std::string path = vb::UCase(modulePath);
  if (path.compare(0, 4, "\\??\\") == 0) path.erase(0, 4);
  static const char kRoot[] = "\\SYSTEMROOT";
  if (path.compare(0, sizeof kRoot - 1, kRoot) == 0) path = GetWinDir() + path.substr(sizeof kRoot - 1);
  return path;
}

std::string ProcessImagePath(HANDLE process) {
  HMODULE modules[50];
  DWORD needed = 0;
  if (!EnumProcessModules(process, modules, sizeof modules, &needed) || needed == 0) return "";
  char path[MAX_PATH] = {};
  DWORD n = GetModuleFileNameExA(process, modules[0], path, MAX_PATH);
  if (n == 0) return "";
  return NormaliseImagePath(std::string(path, n));
}

bool ProcessOpOnEntry(long mode, const std::string& path, DWORD pid, DWORD windowPid,
                      const PROCESSENTRY32* record, const std::string& argument, std::string& output) {
  if (pid == 0) return false;
  switch (mode) {
    case 0:
      return vb::UCase(path) == vb::UCase(argument);
    case 1:
      if (EndsAtPathBoundary(path, argument)) EndProcess(pid);
      return false;
    case 2:
      AddToTable(path, pid, argument == vb::BoolText(true));
      return false;
    case 3:
      if (argument.empty() || vb::UCase(path) == vb::UCase(argument)) AddDetailsInstance(path, pid, record);
      return false;
    case 4:
      if (pid != windowPid) return false;
      ProcResultPath = vb::LCase(path);
      return true;
    case 5:
      if (pid != IdFromText(argument)) return false;
      EndProcess(pid);
      return true;
    case 6:
      if (path != argument) return false;
      output = std::to_string(GetRiskRating(path));
      return true;
    case 7:
      if (vb::LCase(path) == vb::LCase(argument)) ++ProcInstanceCount;
      return false;
    case 8:
      if (pid != IdFromText(argument)) return false;
      ProcResultPath = path;
      return true;
    case 9: {
      if (argument.empty()) return false;
      int digit = argument.back() - '0';
      if (digit < 0 || digit > 3 || vb::UCase(path) != vb::UCase(argument.substr(0, argument.size() - 1))) return false;
      if (OwnedHandle h{OpenProcess(PROCESS_SET_INFORMATION, FALSE, pid)})
        SetPriorityClass(h.get(), static_cast<DWORD>(PriorityClasses[digit]));
      return false;
    }
    case 10: {
      if (vb::LCase(path) != vb::LCase(argument)) return false;
      output = PriorityNameOf(OwnedHandle(OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, pid)).get());
      return true;
    }
    default:
      return false;
  }
}

vb::Variant WalkCachedProcessList(long mode, const std::string& argument) {
  if (mode == 4 || mode == 8) ProcResultPath.clear();
  std::string output;
  bool last = false;
  for (size_t i = 0; i < ProcIdList.size() && i < ProcPathList.size(); ++i) {
    last = ProcessOpOnEntry(mode, ProcPathList[i], ProcIdList[i], g_windowPid, nullptr, argument, output);
    if (last) break;
  }
  if (mode == 6 || mode == 10) return vb::Variant::Str(output);
  if (mode == 7) return vb::Variant::Num(ProcInstanceCount);
  return vb::Variant::Bool(last);
}

vb::Variant WalkProcessListPsapi(long mode, const std::string& argument) {
  // The mark is the lists page's: the log's walk leaves it for the page to see.
  const bool remember = mode == 2 && !LogScanning;
  if (remember) SaveSetting(kHookApp, kHookSection, kProcChanged, "0");
  if (mode != 0 && mode != 2 && mode != 3) return WalkCachedProcessList(mode, argument);
  std::vector<DWORD> ids = EnumProcessIds();
  std::vector<ProcessStamp> stamps;
  if (mode == 2) {
    stamps = ProcessStamps();
    WalkSet& walked = CurrentWalkSet();
    walked.ids = ids;
    std::sort(walked.ids.begin(), walked.ids.end());
    walked.stamps = stamps;
    walked.have = true;
    g_procListFilledBy = &walked;
  }
  if (remember) {
    // Ended processes are forgotten.
    for (auto it = g_knownPaths.begin(); it != g_knownPaths.end();)
      it = std::binary_search(stamps.begin(), stamps.end(), it->first) ? std::next(it) : g_knownPaths.erase(it);
  }
  const bool automatic = mode == 2 && argument == vb::BoolText(true);
  // A forced rebuild reads every path before it touches the tables, letting events run
  // meanwhile: on a busy system the paths alone take over a second. Other walks are
  // short or stop early, and keep the one pass.
  const bool readFirst = mode == 2 && !automatic && !LogScanning;
  std::vector<std::string> paths(ids.size());
  DWORD lastPump = GetTickCount();
  bool pumped = false;
  auto pathOf = [&](size_t i) {
    const DWORD id = ids[i];
    auto stamp = std::lower_bound(stamps.begin(), stamps.end(), ProcessStamp(id, LLONG_MIN));
    const bool stamped = stamp != stamps.end() && stamp->first == id;
    auto known = stamped ? g_knownPaths.find(*stamp) : g_knownPaths.end();
    if (automatic && known != g_knownPaths.end()) return known->second;
    OwnedHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id));
    if (!process) return std::string();
    ++ProcessOpensForTest;
    std::string path = ProcessImagePath(process.get());
    if (stamped && !path.empty()) g_knownPaths[*stamp] = path;
    return path;
  };
  if (readFirst) {
    for (size_t i = 0; i < ids.size(); ++i) {
      paths[i] = pathOf(i);
      if (GetTickCount() - lastPump >= kWalkPumpMs) {
        ui::DoEvents();
        pumped = true;
        lastPump = GetTickCount();
      }
    }
    // What an event meanwhile put into the tables is this walk's to replace.
    if (pumped) ResetRebuiltTables();
  }
  bool last = false;
  std::string output;
  for (size_t i = 0; i < ids.size(); ++i) {
    const std::string path = readFirst ? paths[i] : pathOf(i);
    if (!path.empty()) last = ProcessOpOnEntry(mode, path, ids[i], 0, nullptr, argument, output);
    if (mode == 0 && last) break;
  }
  if (mode == 2 && argument != vb::BoolText(true)) UpdateProcessCpu();
  return mode == 0 ? vb::Variant::Bool(last) : vb::Variant::Bool(true);
}

bool ReadOwedMemoryFigures(DWORD deadline) {
  if (g_tableOwedGeneration != g_tableGeneration) g_tableOwed.clear();
  ReadFigures(g_tableOwed, g_tableOwedGeneration, deadline);
  return g_tableOwed.empty();
}

vb::Variant DoProcessListOp(long mode, const std::string& argument) {
  if (mode < 0 || mode > 10) return vb::Variant::Bool(false);
  // An empty name would match every path.
  if (mode == 1 && argument.empty()) return vb::Variant::Bool(false);
  const bool automatic = argument == vb::BoolText(true);
  if (mode == 2) {
    DWORD now = seams::TickCountFn();
    if (static_cast<DWORD>(now - LastProcWalkTick) < kThrottleMs) return vb::Variant::Bool(false);
    if (!automatic) LastProcWalkTick = now;
    // On NT the automatic refresh rebuilds only when something changed: the list was
    // marked, or processes started or ended since the last rebuild.
    if (IsWinNTFlag && automatic && GetSetting(kHookApp, kHookSection, kProcChanged, "0") != "1" &&
        !ProcessSetChanged())
      return vb::Variant();
    ResetRebuiltTables();
  }
  if (mode == 3) {
    DetailsProcIdList.clear();
    DetailsProcPathList.clear();
    DetailsProcListLast = -1;
  }
  ProcInstanceCount = 0;
  if (mode == 4 || mode == 8) ProcResultPath.clear();
  g_windowPid = 0;
  if (mode == 4) {
    HWND window = reinterpret_cast<HWND>(static_cast<uintptr_t>(IdFromText(argument)));
    DWORD owner = 0;
    if (GetWindowThreadProcessId(window, &owner) == 0 || owner == 0) return vb::Variant();
    g_windowPid = owner;
  }
  vb::Variant result;
  bool live = mode == 0 || mode == 2 || mode == 3;
  g_memoryWanted.clear();
  // A table rebuilt anew owes none of the figures of the one before.
  const bool forced = mode == 2 && !automatic && !LogScanning;
  if (mode == 2 && !LogScanning) g_tableOwed.clear();
  if (IsWinNTFlag) {
    result = WalkProcessListPsapi(mode, argument);
  } else if (live) {
    result = WalkToolhelp(mode, argument);
    ReadMemoryFigures(forced);
    return result;
  } else {
    result = WalkCachedProcessList(mode, argument);
  }
  ReadMemoryFigures(forced);
  // The program runs at high priority; a walk puts it back there.
  SetPriorityClass(GetCurrentProcess(), HIGH_PRIORITY_CLASS);
  return result;
}

FARPROC MoskinEntry(const char* entry) {
  static std::string tried;
  static HMODULE library = nullptr;
  if (tried != MoskinLibraryName) {
    // The library is loaded once, by name, at its first use; a missing one is not
    // looked for again until another name is set.
    tried = MoskinLibraryName;
    library = LoadLibraryA(MoskinLibraryName.c_str());
  }
  return library ? GetProcAddress(library, entry) : nullptr;
}

long CallGetCpuUsage(long* table) {
  using GetCpuUsageFn = LONG(WINAPI*)(LONG*);
  auto getCpu = reinterpret_cast<GetCpuUsageFn>(MoskinEntry("GetCpuUsage"));
  if (!getCpu) return -1;
  return getCpu(reinterpret_cast<LONG*>(table));
}

void UpdateProcessCpu() {
  if (!IsWinNTFlag) return;
  // The library measures since its previous call: a second call in one pass would
  // measure a few milliseconds and give 0. A call that soon writes the last figures back.
  // Real time, not the tick seam: the library's interval is real.
  const DWORD now = GetTickCount();
  if (g_cpuMeasured && static_cast<DWORD>(now - g_cpuMeasuredTick) < 500) {
    for (int i = 0; i <= ProgTableLast && i < static_cast<int>(ProgTable.size()); ++i) {
      auto last = g_lastCpuByPath.find(vb::LCase(ProgTable[i][kProgPath]));
      ProgTable[i][kProgCpu] = last == g_lastCpuByPath.end() ? "0" : last->second;
    }
    return;
  }
  g_cpuMeasured = true;
  g_cpuMeasuredTick = now;
  g_lastCpuByPath.clear();
  std::vector<long> table(kCpuTableSize, 0);
  long n = std::min<long>(CallGetCpuUsage(table.data()), kCpuTableSize);

  std::vector<std::string> rowNames;
  for (int i = 0; i <= ProgTableLast; ++i) {
    const std::string& path = ProgTable[i][kProgPath];
    size_t slash = path.find_last_of('\\');
    size_t start = slash == std::string::npos ? 0 : slash + 1;
    size_t dot = path.find_last_of('.');
    size_t end = dot == std::string::npos || dot < start ? path.size() : dot;
    rowNames.push_back(vb::LCase(path.substr(start, end - start)));
    ProgTable[i][kProgCpu] = "0";
  }
  if (n < 3) return;

  const long total = table[n - 1];
  std::vector<double> cpu(rowNames.size(), 0.0);
  std::vector<bool> measured(rowNames.size(), false);
  for (long k = 1; k <= n - 2; ++k) {
    std::string name = vb::LCase(ModProgInfo::TrimAtNull(GetSetting(ProgramTitle, "tmpcpu", std::to_string(k))));
    if (table[k] <= 0 || total <= 0) continue;
    for (size_t i = 0; i < rowNames.size(); ++i) {
      if (rowNames[i] != name) continue;
      // Several processes of one program add up, each step rounded to one decimal.
      cpu[i] = vb::RoundHalfEven((cpu[i] + table[k] * 100.0 / total) * 10) / 10;
      measured[i] = true;
    }
  }
  for (size_t i = 0; i < rowNames.size(); ++i)
    if (measured[i]) {
      ProgTable[i][kProgCpu] = vb::CStr(cpu[i]);
      g_lastCpuByPath[vb::LCase(ProgTable[i][kProgPath])] = ProgTable[i][kProgCpu];
    }
  for (long k = 1; k <= n - 1; ++k) DeleteSetting(ProgramTitle, "tmpcpu", std::to_string(k));
}

bool ProgramHasVisibleWindow(const std::string& path) {
  const std::string wanted = vb::LCase(path);
  for (size_t i = 0; i < ProcIdList.size() && i < ProcPathList.size(); ++i) {
    if (vb::LCase(ProcPathList[i]) != wanted) continue;
    for (int w = 0; w <= WndTableLast && w < static_cast<int>(WndTable.size()); ++w) {
      DWORD owner = 0;
      GetWindowThreadProcessId(WndTable[w], &owner);
      if (owner == ProcIdList[i] && IsWindowVisible(WndTable[w])) return true;
    }
  }
  return false;
}

ConnectionRecord GetProcessPorts(DWORD processId) { return ParseNetstatPorts(GetNetstatOutput(), processId); }
