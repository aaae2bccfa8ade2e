// Brackel: the program monitor's hook library.
//
// In the program that loads it by name (the "service"):
//   InstallHook(-1, window)  starts the service and its watch;
//   InstallHook(0, window)   stops it and lets go of every process it hooked;
//   RefHook(pid)             hooks one process;
//   EjectHook(pid)           lets go of one process;
//   HookStateOfProgram(path) tells whether the processes of a program are hooked.
// Before InstallHook(-1) RefHook and EjectHook do nothing (systems without the
// service). The watch hooks, within half a second of its start, every process whose
// path is listed in the settings section "tmpcpu" (a value named by a full path).
//
// Hooking loads this library into the process (a remote thread on LoadLibraryA), then
// runs BrackelAttach there, which patches the executable's import table for the calls
// of the generated code table. Each hook passes the call on, keeps its result and its
// last error, and appends "hh:mm:ss CODE rest" to the program's monitor log.
// winsock2.h first: windows.h would otherwise pull in the old socket header.
#include <winsock2.h>
#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "MonitorLogLine.h"
#include "OwnedHandle.h"
#include "RiskEventCodes.h"

#define BRACKEL_EXPORT extern "C" __declspec(dllexport)

namespace {

const char kSectionPath[] = "Software\\Quillon Pro\\tmpcpu";
// How long one process may hold its hooker: a hung or suspended one is skipped.
const DWORD kRemoteWaitMs = 2000;
const DWORD kWatchPeriodMs = 200;

HMODULE g_self = nullptr;

std::string Lower(std::string text) {
  CharLowerBuffA(&text[0], static_cast<DWORD>(text.size()));
  return text;
}

// ===================================================================== the hooked side

CRITICAL_SECTION g_logLock;  // the duplicate table and the log path
volatile LONG g_enabled = 0;
volatile LONG g_writing = 0;  // hooks between their enabled check and the end of their line
OwnedHandle g_hooker;         // the service's process: once it ends nothing more is written
std::string g_logPath;
DWORD g_lineSecond = ~0u;
std::vector<std::string> g_linesThisSecond;

struct Patch {
  void** slot;
  void* original;
};
std::vector<Patch> g_patches;

// Appends under the logs' shared mutex; our own import table is never patched, so
// none of this comes back into a hook.
void AppendToLog(const std::string& line) {
  OwnedHandle file(CreateFileA(g_logPath.c_str(), FILE_APPEND_DATA,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  if (file) WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

void AppendLine(const std::string& line) {
  OwnedHandle mutex(CreateMutexA(nullptr, FALSE, MONITOR_LOG_MUTEX_NAME));
  if (mutex) WaitForSingleObject(mutex.get(), 5000);
  AppendToLog(line);  // the file is closed before the next writer may open it
  if (mutex) ReleaseMutex(mutex.get());
}

// Keeps a hook's effect on the thread's last error nil whatever the logging does.
class LastErrorKeeper {
 public:
  LastErrorKeeper() : error_(GetLastError()) {}
  ~LastErrorKeeper() { SetLastError(error_); }

 private:
  DWORD error_;
};

void Log(int code, const std::string& rest) {
  InterlockedIncrement(&g_writing);
  if (g_enabled) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    std::string line = FormatMonitorLogLine(now.wHour, now.wMinute, now.wSecond, code, rest);
    DWORD second = (now.wHour * 60u + now.wMinute) * 60u + now.wSecond;
    bool repeat = false;
    EnterCriticalSection(&g_logLock);
    if (second != g_lineSecond) {
      g_lineSecond = second;
      g_linesThisSecond.clear();
    }
    for (const std::string& seen : g_linesThisSecond) repeat = repeat || seen == line;
    if (!repeat) g_linesThisSecond.push_back(line);
    LeaveCriticalSection(&g_logLock);
    // Asked only before a write: each question is a round trip to the system.
    if (!repeat && g_hooker && WaitForSingleObject(g_hooker.get(), 0) == WAIT_OBJECT_0) InterlockedExchange(&g_enabled, 0);
    if (!repeat && g_enabled) AppendLine(line);
  }
  InterlockedDecrement(&g_writing);
}

std::string Narrow(const wchar_t* text) {
  if (!text) return "";
  int n = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string out(n > 0 ? n - 1 : 0, '\0');
  if (n > 1) WideCharToMultiByte(CP_ACP, 0, text, -1, &out[0], n, nullptr, nullptr);
  return out;
}
std::string Text(const char* text) { return text ? text : ""; }

std::string FileOfHandle(HANDLE file) {
  using FinalPathFn = DWORD(WINAPI*)(HANDLE, LPSTR, DWORD, DWORD);
  static FinalPathFn finalPath =
      reinterpret_cast<FinalPathFn>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetFinalPathNameByHandleA"));
  if (!finalPath || GetFileType(file) != FILE_TYPE_DISK) return "";
  char path[MAX_PATH * 2];
  DWORD n = finalPath(file, path, sizeof path, 0);
  if (n == 0 || n >= sizeof path) return "";
  std::string name(path, n);
  if (name.compare(0, 4, "\\\\?\\") == 0) name.erase(0, 4);
  return name;
}

bool WritesFile(DWORD access, DWORD disposition) {
  return (access & (GENERIC_WRITE | GENERIC_ALL | FILE_WRITE_DATA | FILE_APPEND_DATA)) != 0 ||
         disposition == CREATE_NEW || disposition == CREATE_ALWAYS || disposition == TRUNCATE_EXISTING;
}

std::string KeyName(HKEY key, const std::string& sub) {
  const char* root = key == HKEY_CURRENT_USER    ? "HKEY_CURRENT_USER"
                     : key == HKEY_LOCAL_MACHINE ? "HKEY_LOCAL_MACHINE"
                     : key == HKEY_CLASSES_ROOT  ? "HKEY_CLASSES_ROOT"
                     : key == HKEY_USERS         ? "HKEY_USERS"
                                                 : nullptr;
  std::string name = root ? root : "key";
  return sub.empty() ? name : name + "\\" + sub;
}

std::string Address(const sockaddr* address) {
  if (!address || address->sa_family != AF_INET) return "address";
  const auto* in = reinterpret_cast<const sockaddr_in*>(address);
  const auto* b = reinterpret_cast<const unsigned char*>(&in->sin_addr);
  char text[32];
  wsprintfA(text, "%u.%u.%u.%u:%u", b[0], b[1], b[2], b[3], (unsigned)((in->sin_port & 0xFF) << 8 | in->sin_port >> 8));
  return text;
}

// GetProcessId came with XP SP1: bound by name, so the library still loads before it.
std::string ProcessIdText(HANDLE process) {
  using ProcessIdFn = DWORD(WINAPI*)(HANDLE);
  static const auto processId =
      reinterpret_cast<ProcessIdFn>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetProcessId"));
  const DWORD id = processId ? processId(process) : 0;
  return id ? "process " + std::to_string(id) : "a process";
}

std::string ProcessName(HANDLE process) {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameExA(process, nullptr, path, MAX_PATH);
  return n ? std::string(path, n) : ProcessIdText(process);
}

// One hook per call: the typedef of the original, the pointer the patch saved, and the
// replacement. Each replacement passes its call on first and logs afterwards.
#define HOOK(name, ret, params)      \
  using name##_t = ret(WINAPI*) params; \
  name##_t Real_##name = nullptr;    \
  ret WINAPI Hook_##name params

HOOK(CreateFileA, HANDLE, (LPCSTR f, DWORD a, DWORD s, LPSECURITY_ATTRIBUTES sa, DWORD d, DWORD fl, HANDLE t)) {
  HANDLE r = Real_CreateFileA(f, a, s, sa, d, fl, t);
  LastErrorKeeper keep;
  if (WritesFile(a, d)) Log(kRiskWritesOrCreatesAFile, Text(f));
  return r;
}
HOOK(CreateFileW, HANDLE, (LPCWSTR f, DWORD a, DWORD s, LPSECURITY_ATTRIBUTES sa, DWORD d, DWORD fl, HANDLE t)) {
  HANDLE r = Real_CreateFileW(f, a, s, sa, d, fl, t);
  LastErrorKeeper keep;
  if (WritesFile(a, d)) Log(kRiskWritesOrCreatesAFile, Narrow(f));
  return r;
}
HOOK(WriteFile, BOOL, (HANDLE h, LPCVOID b, DWORD n, LPDWORD w, LPOVERLAPPED o)) {
  BOOL r = Real_WriteFile(h, b, n, w, o);
  LastErrorKeeper keep;
  std::string name = FileOfHandle(h);
  if (!name.empty()) Log(kRiskWritesOrCreatesAFile, name);
  return r;
}
HOOK(DeleteFileA, BOOL, (LPCSTR f)) {
  BOOL r = Real_DeleteFileA(f);
  LastErrorKeeper keep;
  Log(kRiskDeletesAFile, Text(f));
  return r;
}
HOOK(DeleteFileW, BOOL, (LPCWSTR f)) {
  BOOL r = Real_DeleteFileW(f);
  LastErrorKeeper keep;
  Log(kRiskDeletesAFile, Narrow(f));
  return r;
}
HOOK(MoveFileA, BOOL, (LPCSTR f, LPCSTR t)) {
  BOOL r = Real_MoveFileA(f, t);
  LastErrorKeeper keep;
  Log(kRiskMovesOrRenamesAFile, Text(f) + " -> " + Text(t));
  return r;
}
HOOK(MoveFileW, BOOL, (LPCWSTR f, LPCWSTR t)) {
  BOOL r = Real_MoveFileW(f, t);
  LastErrorKeeper keep;
  Log(kRiskMovesOrRenamesAFile, Narrow(f) + " -> " + Narrow(t));
  return r;
}
HOOK(MoveFileExA, BOOL, (LPCSTR f, LPCSTR t, DWORD fl)) {
  BOOL r = Real_MoveFileExA(f, t, fl);
  LastErrorKeeper keep;
  Log(kRiskMovesOrRenamesAFile, Text(f) + " -> " + Text(t));
  return r;
}
HOOK(MoveFileExW, BOOL, (LPCWSTR f, LPCWSTR t, DWORD fl)) {
  BOOL r = Real_MoveFileExW(f, t, fl);
  LastErrorKeeper keep;
  Log(kRiskMovesOrRenamesAFile, Narrow(f) + " -> " + Narrow(t));
  return r;
}
HOOK(RegSetValueExA, LONG, (HKEY k, LPCSTR v, DWORD res, DWORD type, const BYTE* d, DWORD n)) {
  LONG r = Real_RegSetValueExA(k, v, res, type, d, n);
  LastErrorKeeper keep;
  Log(kRiskSetsARegistryValue, Text(v));
  return r;
}
HOOK(RegSetValueExW, LONG, (HKEY k, LPCWSTR v, DWORD res, DWORD type, const BYTE* d, DWORD n)) {
  LONG r = Real_RegSetValueExW(k, v, res, type, d, n);
  LastErrorKeeper keep;
  Log(kRiskSetsARegistryValue, Narrow(v));
  return r;
}
HOOK(RegSetValueA, LONG, (HKEY k, LPCSTR sub, DWORD type, LPCSTR d, DWORD n)) {
  LONG r = Real_RegSetValueA(k, sub, type, d, n);
  LastErrorKeeper keep;
  Log(kRiskSetsARegistryValue, KeyName(k, Text(sub)));
  return r;
}
HOOK(RegDeleteValueA, LONG, (HKEY k, LPCSTR v)) {
  LONG r = Real_RegDeleteValueA(k, v);
  LastErrorKeeper keep;
  Log(kRiskDeletesARegistryValue, Text(v));
  return r;
}
HOOK(RegDeleteValueW, LONG, (HKEY k, LPCWSTR v)) {
  LONG r = Real_RegDeleteValueW(k, v);
  LastErrorKeeper keep;
  Log(kRiskDeletesARegistryValue, Narrow(v));
  return r;
}
HOOK(RegCreateKeyExA, LONG,
     (HKEY k, LPCSTR sub, DWORD res, LPSTR cls, DWORD o, REGSAM sam, LPSECURITY_ATTRIBUTES sa, PHKEY out, LPDWORD disp)) {
  LONG r = Real_RegCreateKeyExA(k, sub, res, cls, o, sam, sa, out, disp);
  LastErrorKeeper keep;
  Log(kRiskCreatesARegistryKey, KeyName(k, Text(sub)));
  return r;
}
HOOK(RegCreateKeyExW, LONG,
     (HKEY k, LPCWSTR sub, DWORD res, LPWSTR cls, DWORD o, REGSAM sam, LPSECURITY_ATTRIBUTES sa, PHKEY out, LPDWORD disp)) {
  LONG r = Real_RegCreateKeyExW(k, sub, res, cls, o, sam, sa, out, disp);
  LastErrorKeeper keep;
  Log(kRiskCreatesARegistryKey, KeyName(k, Narrow(sub)));
  return r;
}
HOOK(RegCreateKeyA, LONG, (HKEY k, LPCSTR sub, PHKEY out)) {
  LONG r = Real_RegCreateKeyA(k, sub, out);
  LastErrorKeeper keep;
  Log(kRiskCreatesARegistryKey, KeyName(k, Text(sub)));
  return r;
}
HOOK(connect, int, (SOCKET s, const sockaddr* a, int n)) {
  int r = Real_connect(s, a, n);
  LastErrorKeeper keep;
  Log(kRiskConnectsToAnotherComputer, Address(a));
  return r;
}
HOOK(listen, int, (SOCKET s, int backlog)) {
  int r = Real_listen(s, backlog);
  LastErrorKeeper keep;
  sockaddr_in local = {};
  int size = sizeof local;
  // Our own import of getsockname is not patched.
  std::string where = getsockname(s, reinterpret_cast<sockaddr*>(&local), &size) == 0
                          ? Address(reinterpret_cast<sockaddr*>(&local))
                          : "socket";
  Log(kRiskListensForConnections, where);
  return r;
}
HOOK(CreateProcessA, BOOL,
     (LPCSTR app, LPSTR cmd, LPSECURITY_ATTRIBUTES pa, LPSECURITY_ATTRIBUTES ta, BOOL inherit, DWORD fl, LPVOID env,
      LPCSTR dir, LPSTARTUPINFOA si, LPPROCESS_INFORMATION pi)) {
  BOOL r = Real_CreateProcessA(app, cmd, pa, ta, inherit, fl, env, dir, si, pi);
  LastErrorKeeper keep;
  Log(kRiskStartsAProgram, app ? Text(app) : Text(cmd));
  return r;
}
HOOK(CreateProcessW, BOOL,
     (LPCWSTR app, LPWSTR cmd, LPSECURITY_ATTRIBUTES pa, LPSECURITY_ATTRIBUTES ta, BOOL inherit, DWORD fl, LPVOID env,
      LPCWSTR dir, LPSTARTUPINFOW si, LPPROCESS_INFORMATION pi)) {
  BOOL r = Real_CreateProcessW(app, cmd, pa, ta, inherit, fl, env, dir, si, pi);
  LastErrorKeeper keep;
  Log(kRiskStartsAProgram, app ? Narrow(app) : Narrow(cmd));
  return r;
}
HOOK(WinExec, UINT, (LPCSTR cmd, UINT show)) {
  UINT r = Real_WinExec(cmd, show);
  LastErrorKeeper keep;
  Log(kRiskStartsAProgram, Text(cmd));
  return r;
}
HOOK(TerminateProcess, BOOL, (HANDLE p, UINT code)) {
  // Named before the call: an ended process has no module left to name.
  std::string name;
  {
    LastErrorKeeper keep;
    name = ProcessName(p);
  }
  BOOL r = Real_TerminateProcess(p, code);
  LastErrorKeeper keep;
  Log(kRiskEndsAnotherProgram, name);
  return r;
}
HOOK(WriteProcessMemory, BOOL, (HANDLE p, LPVOID at, LPCVOID b, SIZE_T n, SIZE_T* w)) {
  BOOL r = Real_WriteProcessMemory(p, at, b, n, w);
  LastErrorKeeper keep;
  Log(kRiskWritesIntoAnotherProgramsMemory, ProcessName(p));
  return r;
}
HOOK(GetAsyncKeyState, SHORT, (int key)) {
  SHORT r = Real_GetAsyncKeyState(key);
  LastErrorKeeper keep;
  Log(kRiskReadsTheStateOfKeys, "key " + std::to_string(key));
  return r;
}
HOOK(GetKeyboardState, BOOL, (PBYTE keys)) {
  BOOL r = Real_GetKeyboardState(keys);
  LastErrorKeeper keep;
  Log(kRiskReadsTheStateOfKeys, "keyboard");
  return r;
}
HOOK(GetClipboardData, HANDLE, (UINT format)) {
  HANDLE r = Real_GetClipboardData(format);
  LastErrorKeeper keep;
  Log(kRiskReadsTheClipboard, "format " + std::to_string(format));
  return r;
}

struct HookEntry {
  const char* function;
  void** real;
  void* hook;
};
#define ENTRY(name) {#name, reinterpret_cast<void**>(&Real_##name), reinterpret_cast<void*>(&Hook_##name)}
const HookEntry kHooks[] = {
    ENTRY(CreateFileA),      ENTRY(CreateFileW),      ENTRY(WriteFile),          ENTRY(DeleteFileA),
    ENTRY(DeleteFileW),      ENTRY(MoveFileA),        ENTRY(MoveFileW),          ENTRY(MoveFileExA),
    ENTRY(MoveFileExW),      ENTRY(RegSetValueExA),   ENTRY(RegSetValueExW),     ENTRY(RegSetValueA),
    ENTRY(RegDeleteValueA),  ENTRY(RegDeleteValueW),  ENTRY(RegCreateKeyExA),    ENTRY(RegCreateKeyExW),
    ENTRY(RegCreateKeyA),    ENTRY(connect),          ENTRY(listen),             ENTRY(CreateProcessA),
    ENTRY(CreateProcessW),   ENTRY(WinExec),          ENTRY(TerminateProcess),   ENTRY(WriteProcessMemory),
    ENTRY(GetAsyncKeyState), ENTRY(GetKeyboardState), ENTRY(GetClipboardData),
};

const HookEntry* HookFor(const char* function) {
  for (const HookEntry& entry : kHooks)
    if (std::strcmp(entry.function, function) == 0) return &entry;
  return nullptr;
}

void WriteSlot(void** slot, void* value) {
  DWORD old = 0;
  if (!VirtualProtect(slot, sizeof(void*), PAGE_READWRITE, &old)) return;
  *slot = value;
  VirtualProtect(slot, sizeof(void*), old, &old);
}

// Patches every import slot of the executable that holds one of the table's calls. The
// slots are matched by address, so a call imported by ordinal or through a forwarder is
// found all the same.
void PatchImports() {
  std::map<void*, const HookEntry*> targets;
  for (const RiskHookedCall& call : kRiskHookedCalls) {
    const HookEntry* entry = HookFor(call.function);
    HMODULE module = GetModuleHandleA(call.module);
    if (!entry || !module) continue;
    void* address = reinterpret_cast<void*>(GetProcAddress(module, call.function));
    if (!address) continue;
    if (!*entry->real) *entry->real = address;
    targets[address] = entry;
  }
  auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
  auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (!dir.VirtualAddress) return;
  for (auto* desc = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); desc->Name; ++desc) {
    for (auto* thunk = reinterpret_cast<IMAGE_THUNK_DATA*>(base + desc->FirstThunk); thunk->u1.Function; ++thunk) {
      void** slot = reinterpret_cast<void**>(&thunk->u1.Function);
      auto found = targets.find(*slot);
      if (found == targets.end()) continue;
      g_patches.push_back({slot, *slot});
      WriteSlot(slot, found->second->hook);
    }
  }
}

std::string ReadSectionValue(const char* name) {
  OwnedKey key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kSectionPath, 0, KEY_QUERY_VALUE, key.Receive()) != ERROR_SUCCESS) return "";
  char data[MAX_PATH * 2] = {};
  DWORD size = sizeof data - 1, type = 0;
  LONG r = RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
  return r == ERROR_SUCCESS && type == REG_SZ ? std::string(data) : "";
}

// ===================================================================== the service

// What HookStateOfProgram answers.
enum HookState : LONG { kNotTried = 0, kHooked = 1, kRefused = 2 };

struct Watched {
  OwnedHandle process;       // held, so the id cannot be reused while it is in the table
  std::string path;          // lower case; "" when it could not be read
  HookState state = kNotTried;
  // The work of a try that outlived its deadline: while it runs the process is still
  // not answering, and another try would only add a thread waiting on it.
  OwnedHandle unfinishedTry;
  BYTE* remoteBase = nullptr;  // this library in the process
};

CRITICAL_SECTION g_serviceLock;
bool g_serviceOn = false;
OwnedHandle g_watchThread;
OwnedHandle g_watchStop;
std::map<DWORD, Watched> g_processes;

// The state of each process by path, kept apart from the table: a question about it
// must not wait behind a watch pass that is waiting on a slow process.
CRITICAL_SECTION g_stateLock;
struct KnownState {
  std::string path;
  HookState state;
};
std::map<DWORD, KnownState> g_states;

void Publish(DWORD pid, const Watched& target) {
  EnterCriticalSection(&g_stateLock);
  g_states[pid] = {target.path, target.state};
  LeaveCriticalSection(&g_stateLock);
}

void Forget(DWORD pid) {
  EnterCriticalSection(&g_stateLock);
  g_states.erase(pid);
  LeaveCriticalSection(&g_stateLock);
}

// Lets go of an entry's handles; the caller drops it from the table.
void Close(DWORD pid, Watched& target) {
  target.unfinishedTry.Reset();
  target.process.Reset();
  Forget(pid);
}

bool Ended(HANDLE process) { return WaitForSingleObject(process, 0) == WAIT_OBJECT_0; }
bool Ended(const OwnedHandle& process) { return Ended(process.get()); }

// A process that has not run yet lists no modules; the system still knows its file
// (Vista on, bound by name).
std::string PathOf(HANDLE process) {
  using ImageNameFn = BOOL(WINAPI*)(HANDLE, DWORD, LPSTR, PDWORD);
  static const auto imageName =
      reinterpret_cast<ImageNameFn>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "QueryFullProcessImageNameA"));
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameExA(process, nullptr, path, MAX_PATH);
  if (!n && imageName) {
    n = MAX_PATH;
    if (!imageName(process, 0, path, &n)) n = 0;
  }
  return n ? Lower(std::string(path, n)) : "";
}

BYTE* RemoteModule(DWORD pid, const char* fileName) {
  OwnedHandle snap;
  for (int i = 0; i < 5 && !snap; ++i) {
    snap.Reset(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid));
    if (!snap && GetLastError() != ERROR_BAD_LENGTH) break;
  }
  if (!snap) return nullptr;
  MODULEENTRY32 module = {};
  module.dwSize = sizeof module;
  BYTE* base = nullptr;
  for (BOOL more = Module32First(snap.get(), &module); more && !base; more = Module32Next(snap.get(), &module))
    if (lstrcmpiA(module.szModule, fileName) == 0) base = module.modBaseAddr;
  return base;
}

// Runs `start` (an address in the process) with `argument` and waits, at most until the
// deadline. False when the thread could not start or did not finish in time.
bool RunRemote(HANDLE process, void* start, void* argument, DWORD deadline, DWORD* exitCode) {
  OwnedHandle thread(CreateRemoteThread(process, nullptr, 0, reinterpret_cast<LPTHREAD_START_ROUTINE>(start), argument,
                                        0, nullptr));
  if (!thread) return false;
  LONG left = static_cast<LONG>(deadline - GetTickCount());
  bool done = WaitForSingleObject(thread.get(), left > 0 ? static_cast<DWORD>(left) : 0) == WAIT_OBJECT_0;
  if (done && exitCode) GetExitCodeThread(thread.get(), exitCode);
  return done;
}

// Under Wine, memory and threads made in another process are made by that process
// itself, and the call waits for it without end: a process stuck in its start would hold
// the watch, and everything waiting on the watch, for good. Such work runs on a thread of
// its own with its own handle of the process; the caller waits only until the deadline.
// The thread keeps this library loaded until it ends.
struct BoundedWork {
  std::function<bool(HANDLE)> work;
  OwnedHandle process;
  HMODULE pin = nullptr;
  bool result = false;
  LONG refs = 2;  // the caller's and the thread's
};

void Release(BoundedWork* w) {
  if (InterlockedDecrement(&w->refs) != 0) return;
  delete w;
}

DWORD WINAPI RunBoundedWork(void* param) {
  auto* w = static_cast<BoundedWork*>(param);
  HMODULE pin = w->pin;
  w->result = w->work(w->process.get());
  Release(w);
  if (pin) FreeLibraryAndExitThread(pin, 0);
  return 0;
}

// When the work does not finish in time and `unfinished` is given, it receives the
// work's thread, to tell later when the work has ended.
bool WithDeadline(HANDLE process, DWORD deadline, std::function<bool(HANDLE)> work,
                  OwnedHandle* unfinished = nullptr) {
  auto* w = new BoundedWork{std::move(work)};
  if (!DuplicateHandle(GetCurrentProcess(), process, GetCurrentProcess(), w->process.Receive(), 0, FALSE,
                       DUPLICATE_SAME_ACCESS)) {
    delete w;
    return false;
  }
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCSTR>(&RunBoundedWork), &w->pin);
  OwnedHandle thread(CreateThread(nullptr, 0, RunBoundedWork, w, 0, nullptr));
  if (!thread) {
    if (w->pin) FreeLibrary(w->pin);
    w->refs = 1;
    Release(w);
    return false;
  }
  LONG left = static_cast<LONG>(deadline - GetTickCount());
  bool finished = WaitForSingleObject(thread.get(), left > 0 ? static_cast<DWORD>(left) : 0) == WAIT_OBJECT_0;
  if (!finished && unfinished) *unfinished = std::move(thread);
  bool result = finished && w->result;
  Release(w);
  return result;
}

void* RemoteExport(BYTE* remoteBase, const char* name) {
  auto local = reinterpret_cast<BYTE*>(GetProcAddress(g_self, name));
  return local ? remoteBase + (local - reinterpret_cast<BYTE*>(g_self)) : nullptr;
}

// Runs an export of this library, already loaded in the process, within the deadline;
// true when it returned 1.
bool RunRemoteExport(HANDLE process, void* start, void* argument, DWORD deadline, OwnedHandle* unfinished = nullptr) {
  return WithDeadline(
      process, deadline,
      [start, argument, deadline](HANDLE p) {
        DWORD exitCode = 0;
        return RunRemote(p, start, argument, deadline, &exitCode) && exitCode == 1;
      },
      unfinished);
}

// Loads this library into the process with LoadLibraryA.
bool LoadInto(HANDLE process, const std::string& self, DWORD deadline, OwnedHandle* unfinished) {
  return WithDeadline(process, deadline, [self](HANDLE p) {
    void* remoteName = VirtualAllocEx(p, nullptr, self.size() + 1, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!remoteName) return false;
    void* loadLibrary = reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "LoadLibraryA"));
    bool loaded = WriteProcessMemory(p, remoteName, self.c_str(), self.size() + 1, nullptr) &&
                  RunRemote(p, loadLibrary, remoteName, GetTickCount() + kRemoteWaitMs, nullptr);
    // Left allocated when the thread may still read it.
    if (loaded) VirtualFreeEx(p, remoteName, 0, MEM_RELEASE);
    return loaded;
  }, unfinished);
}

// Only a process of this library's own width can take it. In a 32-bit process the
// 64-bit LoadLibraryA address means nothing, and a remote thread started there would
// bring the process down; a 32-bit library cannot start threads in a 64-bit process.
// IsWow64Process is bound by name: systems before XP SP2 lack it, and on them every
// process has the one width.
bool SameWidth(HANDLE process) {
  using IsWow64Fn = BOOL(WINAPI*)(HANDLE, PBOOL);
  static const auto isWow64 =
      reinterpret_cast<IsWow64Fn>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "IsWow64Process"));
  if (!isWow64) return true;
  BOOL mine = FALSE, theirs = FALSE;
  return isWow64(GetCurrentProcess(), &mine) && isWow64(process, &theirs) && mine == theirs;
}

// One try at loading this library into the process and attaching it there.
bool TryHook(DWORD pid, Watched& target) {
  if (!SameWidth(target.process.get())) return false;
  const DWORD deadline = GetTickCount() + kRemoteWaitMs;
  char self[MAX_PATH];
  DWORD n = GetModuleFileNameA(g_self, self, MAX_PATH);
  if (!n || !LoadInto(target.process.get(), std::string(self, n), deadline, &target.unfinishedTry)) return false;
  const char* slash = std::strrchr(self, '\\');
  target.remoteBase = RemoteModule(pid, slash ? slash + 1 : self);
  if (!target.remoteBase) return false;
  void* attach = RemoteExport(target.remoteBase, "BrackelAttach");
  return attach && RunRemoteExport(target.process.get(), attach,
                                   reinterpret_cast<void*>(static_cast<ULONG_PTR>(GetCurrentProcessId())), deadline,
                                   &target.unfinishedTry);
}

// Hooks the process unless it is hooked already. The caller holds the service lock. A
// process that could not be hooked is tried again on the next call (the watch makes one
// each pass while the program is listed), unless its last try is still waiting on it.
void Hook(DWORD pid, Watched& target) {
  if (target.state == kHooked || pid == GetCurrentProcessId() || Ended(target.process)) return;
  if (target.unfinishedTry) {
    if (WaitForSingleObject(target.unfinishedTry.get(), 0) != WAIT_OBJECT_0) return;
    target.unfinishedTry.Reset();
  }
  target.state = TryHook(pid, target) ? kHooked : kRefused;
  Publish(pid, target);
}

void Unhook(DWORD pid, Watched& target) {
  if (target.state == kNotTried) return;
  target.state = kNotTried;
  Publish(pid, target);
  if (!target.remoteBase || Ended(target.process)) return;
  if (void* detach = RemoteExport(target.remoteBase, "BrackelDetach"))
    RunRemoteExport(target.process.get(), detach, nullptr, GetTickCount() + kRemoteWaitMs);
}

// The entry of a process, opened when it is new; null when it cannot be opened.
Watched* Entry(DWORD pid) {
  auto found = g_processes.find(pid);
  if (found != g_processes.end()) {
    if (!Ended(found->second.process)) return &found->second;
    Close(pid, found->second);
    g_processes.erase(found);
  }
  OwnedHandle process(OpenProcess(PROCESS_CREATE_THREAD | PROCESS_QUERY_INFORMATION | PROCESS_VM_OPERATION |
                                      PROCESS_VM_READ | PROCESS_VM_WRITE | SYNCHRONIZE,
                                  FALSE, pid));
  if (!process) return nullptr;
  Watched& entry = g_processes[pid];
  entry.process = std::move(process);
  entry.path = PathOf(entry.process.get());
  return &entry;
}

// The programs listed for the watch: values named by a full path with data "1".
std::vector<std::string> ListedPrograms() {
  std::vector<std::string> listed;
  OwnedKey key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kSectionPath, 0, KEY_QUERY_VALUE, key.Receive()) != ERROR_SUCCESS) return listed;
  for (DWORD i = 0;; ++i) {
    char name[MAX_PATH * 2];
    char data[8];
    DWORD nameSize = sizeof name, dataSize = sizeof data, type = 0;
    LONG r = RegEnumValueA(key.get(), i, name, &nameSize, nullptr, &type, reinterpret_cast<BYTE*>(data), &dataSize);
    if (r == ERROR_NO_MORE_ITEMS) break;
    if (r != ERROR_SUCCESS) continue;
    bool fullPath = nameSize > 2 && (name[1] == ':' || (name[0] == '\\' && name[1] == '\\'));
    if (type == REG_SZ && fullPath && dataSize == 2 && data[0] == '1') listed.push_back(Lower(name));
  }
  return listed;
}

// Nothing to hook and nothing held: the pass would walk every process for nothing,
// five times a second for as long as the program runs.
bool WatchIdle() {
  EnterCriticalSection(&g_serviceLock);
  const bool idle = !g_serviceOn || (g_processes.empty() && ListedPrograms().empty());
  LeaveCriticalSection(&g_serviceLock);
  return idle;
}

// False when the system gave no list of processes.
bool RunningProcesses(std::vector<DWORD>& running) {
  OwnedHandle snap(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snap) return false;
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snap.get(), &entry); more; more = Process32Next(snap.get(), &entry))
    if (entry.th32ProcessID != 0 && entry.th32ProcessID != GetCurrentProcessId()) running.push_back(entry.th32ProcessID);
  return true;
}

void WatchTick() {
  if (WatchIdle()) return;
  std::vector<DWORD> running;
  if (!RunningProcesses(running)) return;
  EnterCriticalSection(&g_serviceLock);
  // Read under the lock: a program taken off the list is then either seen gone here or
  // let go by an EjectHook that waited for this pass, never hooked again after it.
  const std::vector<std::string> listed = g_serviceOn ? ListedPrograms() : std::vector<std::string>();
  if (g_serviceOn) {
    // Entries of processes gone from the list are dropped, handles and all, also
    // while nothing is listed.
    for (auto item = g_processes.begin(); item != g_processes.end();) {
      bool stillRunning = std::find(running.begin(), running.end(), item->first) != running.end();
      if (stillRunning && !Ended(item->second.process)) {
        ++item;
        continue;
      }
      Close(item->first, item->second);
      item = g_processes.erase(item);
    }
    for (DWORD pid : listed.empty() ? std::vector<DWORD>() : running) {
      Watched* target = Entry(pid);
      if (!target || target->state == kHooked) continue;
      // A process still starting may not name its file yet.
      if (target->path.empty()) target->path = PathOf(target->process.get());
      for (const std::string& path : listed)
        if (path == target->path) {
          Hook(pid, *target);
          break;
        }
    }
  }
  LeaveCriticalSection(&g_serviceLock);
}

DWORD WINAPI Watch(void*) {
  while (WaitForSingleObject(g_watchStop.get(), kWatchPeriodMs) == WAIT_TIMEOUT) WatchTick();
  return 0;
}

void StartService() {
  EnterCriticalSection(&g_serviceLock);
  bool start = !g_serviceOn;
  g_serviceOn = true;
  LeaveCriticalSection(&g_serviceLock);
  if (!start) return;
  g_watchStop.Reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  g_watchThread.Reset(CreateThread(nullptr, 0, Watch, nullptr, 0, nullptr));
}

void StopService() {
  if (g_watchThread) {
    SetEvent(g_watchStop.get());
    WaitForSingleObject(g_watchThread.get(), INFINITE);
    g_watchThread.Reset();
    g_watchStop.Reset();
  }
  EnterCriticalSection(&g_serviceLock);
  g_serviceOn = false;
  for (auto& item : g_processes) {
    Unhook(item.first, item.second);
    Close(item.first, item.second);
  }
  g_processes.clear();
  LeaveCriticalSection(&g_serviceLock);
}

}  // namespace

// ===================================================================== exports

// Runs in a hooked process, on a thread of the service: `hooker` is the service's
// process id. Patching twice is refused, so a process is never hooked twice.
BRACKEL_EXPORT DWORD WINAPI BrackelAttach(LPVOID hooker) {
  EnterCriticalSection(&g_logLock);
  g_hooker.Reset(OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(hooker))));
  char exe[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, exe, MAX_PATH);
  const char* name = exe + n;
  while (name > exe && name[-1] != '\\' && name[-1] != '/') --name;
  g_logPath = ReadSectionValue("path") + name + ".log";
  LeaveCriticalSection(&g_logLock);
  if (g_patches.empty()) PatchImports();
  InterlockedExchange(&g_enabled, 1);
  return 1;
}

// Restores the import slots and returns once no hook is writing a line; the library
// stays loaded, because a thread may still be inside a hook.
BRACKEL_EXPORT DWORD WINAPI BrackelDetach(LPVOID) {
  InterlockedExchange(&g_enabled, 0);
  for (const Patch& patch : g_patches) WriteSlot(patch.slot, patch.original);
  g_patches.clear();
  for (int i = 0; i < 1000 && g_writing > 0; ++i) Sleep(1);
  return 1;
}

BRACKEL_EXPORT LONG WINAPI InstallHook(LONG mode, LONG window) {
  (void)window;  // the watch runs on a thread of its own
  if (mode == -1) StartService();
  if (mode == 0) StopService();
  return 0;
}

BRACKEL_EXPORT LONG WINAPI RefHook(LONG processId) {
  EnterCriticalSection(&g_serviceLock);
  if (g_serviceOn)
    if (Watched* target = Entry(static_cast<DWORD>(processId))) Hook(static_cast<DWORD>(processId), *target);
  LeaveCriticalSection(&g_serviceLock);
  return 0;
}

BRACKEL_EXPORT LONG WINAPI EjectHook(LONG processId) {
  EnterCriticalSection(&g_serviceLock);
  if (g_serviceOn) {
    auto found = g_processes.find(static_cast<DWORD>(processId));
    if (found != g_processes.end()) Unhook(found->first, found->second);
  }
  LeaveCriticalSection(&g_serviceLock);
  return 0;
}

// 1 when every process of the program (a full path) that was tried is hooked, 2 when
// one of them could not be hooked, 0 when none was tried.
BRACKEL_EXPORT LONG WINAPI HookStateOfProgram(LPCSTR path) {
  const std::string program = Lower(path ? path : "");
  LONG answer = kNotTried;
  EnterCriticalSection(&g_stateLock);
  for (const auto& item : g_states)
    if (item.second.path == program && item.second.state != kNotTried && answer != kRefused)
      answer = item.second.state;
  LeaveCriticalSection(&g_stateLock);
  return answer;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_self = instance;
    InitializeCriticalSection(&g_logLock);
    InitializeCriticalSection(&g_serviceLock);
    InitializeCriticalSection(&g_stateLock);
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}
