// Moskin: a small library the program loads by name.
//
// GetCpuUsage measures how much processor time every process used since the previous
// call. The figures come from the system's process list (NtQuerySystemInformation),
// because GetProcessTimes cannot be asked about processes this one cannot open (and
// under Wine answers 0 for every other process). The caller's table receives:
//   entry 0          the idle time of the interval
//   entries 1..n-2   the time each process used, in units of 100 microseconds
//   entry n-1        the total processor time of the interval (every processor)
// and the result is n. The executable name (without its extension) of the process in
// entry k is written to the program's settings, section "tmpcpu", value "k", for the
// caller to match and then delete.
//
// InstallMainHook(window, 1) sets the pop-up blocker's hooks for every process;
// (window, 0) removes them (harmless when none is set). In every process they are
// loaded into, except the installer's, they write the hand-over values of section
// "tmp" under the application name "Quillon":
//   "NewWin", "WinTime"      a top-level, non-tool window became visible (its
//                            WM_SHOWWINDOW, or SWP_SHOWWINDOW, once it is visible),
//                            never at creation
//   "MenuName", "Time"       a menu item was chosen: WM_MENUSELECT only highlights, so
//                            the caption is kept and written when the WM_COMMAND of
//                            the same item arrives (menus post it)
//   "MouseHwnd", "MouseTime", "MouseTimeD"  a left click: the window under it, the
//                            tick, and the address of its top-level window (the text
//                            of an "Edit" child holding ":")
// and post one message ("QuillonPopUpHookEvent") to the installer's window, so its
// loop wakes and scans. Everything else is dropped at once. The hooks share nothing
// but the store: the installer's window is the value "HookWnd", read at each event.
// They never send to another process and never wait.
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "OwnedHandle.h"

namespace {

// The caller's table has 1000 entries; the last measured process goes at 998.
const int kTableSize = 1000;
const char kSettingsPath[] = "Software\\Quillon Pro\\tmpcpu";
const ULONG kSystemProcessInformation = 5;
const LONG kStatusInfoLengthMismatch = static_cast<LONG>(0xC0000004);

// The leading part of the system's process record, as the native call lays it out.
struct ProcessRecord {
  ULONG NextEntryOffset;
  ULONG NumberOfThreads;
  LARGE_INTEGER Reserved[3];
  LARGE_INTEGER CreateTime;
  LARGE_INTEGER UserTime;
  LARGE_INTEGER KernelTime;
  USHORT NameLength;  // bytes
  USHORT NameMaximumLength;
  PWSTR NameBuffer;
  LONG BasePriority;
  HANDLE UniqueProcessId;
  HANDLE InheritedFromUniqueProcessId;
};

using QueryFn = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
using SystemTimesFn = BOOL(WINAPI*)(FILETIME*, FILETIME*, FILETIME*);

struct Sample {
  uint64_t busy = 0;  // user + kernel, 100 ns
  uint64_t create = 0;
};

// What the previous call saw: a process id is only compared with itself when its
// creation time is unchanged (ids are reused).
std::map<DWORD, Sample> g_previous;
uint64_t g_previousIdle = 0, g_previousTotal = 0;
bool g_havePrevious = false;

uint64_t Ticks(const LARGE_INTEGER& v) { return static_cast<uint64_t>(v.QuadPart); }
uint64_t Ticks(const FILETIME& f) { return (static_cast<uint64_t>(f.dwHighDateTime) << 32) | f.dwLowDateTime; }

bool ReadProcessList(std::vector<char>& buffer) {
  static QueryFn query =
      reinterpret_cast<QueryFn>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation"));
  if (!query) return false;
  if (buffer.size() < 0x10000) buffer.resize(0x10000);
  for (int i = 0; i < 8; ++i) {
    ULONG needed = 0;
    LONG status = query(kSystemProcessInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
    if (status >= 0) return true;
    if (status != kStatusInfoLengthMismatch) return false;
    // The list can grow between two calls: ask again with room to spare.
    buffer.resize(needed > buffer.size() ? needed + 0x4000 : buffer.size() * 2);
  }
  return false;
}

std::string NameWithoutExtension(const ProcessRecord& r) {
  if (!r.NameBuffer || r.NameLength == 0) return "";
  int chars = r.NameLength / 2;
  int n = WideCharToMultiByte(CP_ACP, 0, r.NameBuffer, chars, nullptr, 0, nullptr, nullptr);
  std::string name(n > 0 ? n : 0, '\0');
  if (n > 0) WideCharToMultiByte(CP_ACP, 0, r.NameBuffer, chars, &name[0], n, nullptr, nullptr);
  size_t slash = name.find_last_of('\\');
  if (slash != std::string::npos) name.erase(0, slash + 1);
  size_t dot = name.find_last_of('.');
  if (dot != std::string::npos) name.erase(dot);
  return name;
}

void WriteName(HKEY key, int index, const std::string& name) {
  if (!key) return;
  std::string value = std::to_string(index);
  RegSetValueExA(key, value.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(name.c_str()),
                 static_cast<DWORD>(name.size() + 1));
}

int32_t Units(uint64_t hundredNs) {
  uint64_t u = hundredNs / 1000;  // 100 microseconds
  return u > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int32_t>(u);
}

}  // namespace

extern "C" __declspec(dllexport) LONG WINAPI GetCpuUsage(LONG* table) {
  if (!table) return 0;
  std::vector<char> buffer;
  if (!ReadProcessList(buffer)) return 0;

  // The interval's total time of every processor, from the machine's own counters
  // where they exist; otherwise the sum of every process, the idle one included.
  // (Looked up by name: systems before XP SP1 lack the call.)
  static SystemTimesFn systemTimes =
      reinterpret_cast<SystemTimesFn>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetSystemTimes"));
  FILETIME idleTime, kernelTime, userTime;
  bool haveSystemTimes = systemTimes && systemTimes(&idleTime, &kernelTime, &userTime);
  uint64_t idleNow = haveSystemTimes ? Ticks(idleTime) : 0;
  uint64_t totalNow = haveSystemTimes ? Ticks(kernelTime) + Ticks(userTime) : 0;

  std::map<DWORD, Sample> current;
  OwnedKey key;
  RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsPath, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.Receive(), nullptr);

  int n = 1;  // next entry to fill
  uint64_t sumAll = 0, idleDelta = 0;
  size_t offset = 0;
  for (;;) {
    const ProcessRecord& r = *reinterpret_cast<const ProcessRecord*>(buffer.data() + offset);
    DWORD pid = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(r.UniqueProcessId));
    Sample s;
    s.busy = Ticks(r.UserTime) + Ticks(r.KernelTime);
    s.create = Ticks(r.CreateTime);
    current[pid] = s;
    uint64_t delta = s.busy;
    auto old = g_previous.find(pid);
    if (old != g_previous.end() && old->second.create == s.create)
      delta = s.busy >= old->second.busy ? s.busy - old->second.busy : 0;
    if (!g_havePrevious) delta = 0;  // the first call only sets the baseline
    sumAll += delta;
    if (pid == 0) {
      idleDelta = delta;
    } else if (n < kTableSize - 1) {
      table[n] = Units(delta);
      WriteName(key.get(), n, NameWithoutExtension(r));
      ++n;
    }
    if (r.NextEntryOffset == 0 || offset + r.NextEntryOffset + sizeof(ProcessRecord) > buffer.size()) break;
    offset += r.NextEntryOffset;
  }

  uint64_t total = sumAll;
  if (haveSystemTimes && g_havePrevious && totalNow >= g_previousTotal) {
    total = totalNow - g_previousTotal;
    idleDelta = idleNow >= g_previousIdle ? idleNow - g_previousIdle : 0;
  }
  table[0] = Units(idleDelta);
  table[n] = Units(total);

  g_previous.swap(current);
  g_previousIdle = idleNow;
  g_previousTotal = totalNow;
  g_havePrevious = true;
  return n + 1;
}

namespace {

const char kHandOverPath[] = "Software\\Quillon\\tmp";
const char kWakeMessage[] = "QuillonPopUpHookEvent";

HINSTANCE g_module = nullptr;
// Set in the installer's process only.
HHOOK g_callWndHook = nullptr, g_getMsgHook = nullptr, g_mouseHook = nullptr;
// The menu item last highlighted in this process (each process has its own copy).
UINT g_menuItem = 0;
char g_menuCaption[256] = "";

void PutValues(const char* const* names, const std::string* values, int count) {
  OwnedKey key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kHandOverPath, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.Receive(),
                      nullptr) != ERROR_SUCCESS)
    return;
  for (int i = 0; i < count; ++i)
    RegSetValueExA(key.get(), names[i], 0, REG_SZ, reinterpret_cast<const BYTE*>(values[i].c_str()),
                   static_cast<DWORD>(values[i].size() + 1));
}

// The installer's window while the hooks are meant to work here; null in the
// installer's own process, and once they are removed.
// Read with the calls every system has: RegGetValueA came only with Vista, and a
// library importing it does not load on the older ones. Only a text value counts,
// and one too long for a window number is no window.
bool ReadHookWindowText(char (&text)[32]) {
  OwnedKey key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kHandOverPath, 0, KEY_QUERY_VALUE, key.Receive()) != ERROR_SUCCESS)
    return false;
  DWORD size = sizeof text - 1, type = 0;
  const LONG read = RegQueryValueExA(key.get(), "HookWnd", nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
  if (read != ERROR_SUCCESS || type != REG_SZ) return false;
  text[size] = '\0';  // a value stored without its terminator still ends here
  return true;
}

HWND WakeWindow() {
  char text[32] = "";
  if (!ReadHookWindowText(text)) return nullptr;
  HWND window = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(std::strtoull(text, nullptr, 10)));
  DWORD owner = 0;
  if (!window || !GetWindowThreadProcessId(window, &owner) || owner == GetCurrentProcessId()) return nullptr;
  return window;
}

void Report(const char* const* names, const std::string* values, int count) {
  HWND wake = WakeWindow();
  if (!wake) return;
  PutValues(names, values, count);
  static const UINT message = RegisterWindowMessageA(kWakeMessage);
  PostMessageA(wake, message, 0, 0);
}

std::string Tick() { return std::to_string(static_cast<unsigned long>(GetTickCount())); }

void WindowShown(HWND window) {
  if (GetAncestor(window, GA_PARENT) != GetDesktopWindow()) return;
  if (GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) return;
  const char* names[] = {"WinTime", "NewWin"};
  const std::string values[] = {Tick(), "1"};
  Report(names, values, 2);
}

struct AddressSearch {
  std::string address;
};

// Only this thread's own edits are read: one of another thread could be hung, and
// the hook never waits.
BOOL CALLBACK FindAddress(HWND child, LPARAM lp) {
  char cls[8] = "";
  if (!GetClassNameA(child, cls, sizeof cls) || lstrcmpiA(cls, "Edit") != 0) return TRUE;
  if (GetWindowThreadProcessId(child, nullptr) != GetCurrentThreadId()) return TRUE;
  char text[1024] = "";
  GetWindowTextA(child, text, sizeof text);
  if (std::strchr(text, ':')) reinterpret_cast<AddressSearch*>(lp)->address = text;
  return TRUE;
}

void Clicked(HWND window) {
  if (!window) return;
  AddressSearch search;
  if (HWND top = GetAncestor(window, GA_ROOT)) EnumChildWindows(top, FindAddress, reinterpret_cast<LPARAM>(&search));
  const char* names[] = {"MouseTime", "MouseTimeD", "MouseHwnd"};
  const std::string values[] = {Tick(), search.address,
                                std::to_string(static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(window)))};
  Report(names, values, 3);
}

void MenuHighlighted(WPARAM wp, LPARAM lp) {
  const UINT item = LOWORD(wp), flags = HIWORD(wp);
  // The menu closes (0xFFFF, no menu) before its WM_COMMAND arrives: the item
  // highlighted last is the one chosen, so the close keeps it.
  if (flags == 0xFFFF && !lp) return;
  g_menuItem = 0;
  g_menuCaption[0] = '\0';
  if ((flags & (MF_POPUP | MF_SEPARATOR)) || !lp) return;
  if (GetMenuStringA(reinterpret_cast<HMENU>(lp), item, g_menuCaption, sizeof g_menuCaption, MF_BYCOMMAND) > 0)
    g_menuItem = item;
}

void MenuChosen(UINT item) {
  if (!g_menuItem || item != g_menuItem) return;
  const char* names[] = {"MenuName", "Time"};
  const std::string values[] = {g_menuCaption, Tick()};
  g_menuItem = 0;
  Report(names, values, 2);
}

LRESULT CALLBACK CallWndProc(int code, WPARAM wp, LPARAM lp) {
  if (code == HC_ACTION) {
    const CWPSTRUCT* m = reinterpret_cast<const CWPSTRUCT*>(lp);
    // WM_SHOWWINDOW comes before the window is visible, and a scan woken by the
    // report at once would pass it by: it is reported once it is visible, which
    // the SWP_SHOWWINDOW of its WM_WINDOWPOSCHANGED says.
    if (m->message == WM_SHOWWINDOW && m->wParam && IsWindowVisible(m->hwnd)) {
      WindowShown(m->hwnd);
    } else if (m->message == WM_WINDOWPOSCHANGED) {
      const WINDOWPOS* pos = reinterpret_cast<const WINDOWPOS*>(m->lParam);
      if (pos && (pos->flags & SWP_SHOWWINDOW)) WindowShown(m->hwnd);
    } else if (m->message == WM_MENUSELECT) {
      MenuHighlighted(m->wParam, m->lParam);
    }
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

LRESULT CALLBACK GetMsgProc(int code, WPARAM wp, LPARAM lp) {
  if (code == HC_ACTION && wp == PM_REMOVE) {
    const MSG* m = reinterpret_cast<const MSG*>(lp);
    // A menu's choice: no notification code and no control.
    if (m->message == WM_COMMAND && HIWORD(m->wParam) == 0 && m->lParam == 0) MenuChosen(LOWORD(m->wParam));
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

LRESULT CALLBACK MouseProc(int code, WPARAM wp, LPARAM lp) {
  if (code == HC_ACTION && (wp == WM_LBUTTONDOWN || wp == WM_LBUTTONDBLCLK))
    Clicked(reinterpret_cast<const MOUSEHOOKSTRUCT*>(lp)->hwnd);
  return CallNextHookEx(nullptr, code, wp, lp);
}

void Unhook() {
  for (HHOOK* hook : {&g_callWndHook, &g_getMsgHook, &g_mouseHook}) {
    if (*hook) UnhookWindowsHookEx(*hook);
    *hook = nullptr;
  }
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_module = instance;
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

extern "C" __declspec(dllexport) LONG WINAPI InstallMainHook(LONG hWnd, LONG onOff) {
  // Installing again replaces the hooks; removing when none is set does nothing harmful.
  Unhook();
  const char* names[] = {"HookWnd"};
  if (!onOff) {
    const std::string none[] = {"0"};
    PutValues(names, none, 1);
    return 0;
  }
  const std::string window[] = {std::to_string(static_cast<unsigned long>(static_cast<ULONG>(hWnd)))};
  PutValues(names, window, 1);
  g_callWndHook = SetWindowsHookExA(WH_CALLWNDPROC, CallWndProc, g_module, 0);
  g_getMsgHook = SetWindowsHookExA(WH_GETMESSAGE, GetMsgProc, g_module, 0);
  g_mouseHook = SetWindowsHookExA(WH_MOUSE, MouseProc, g_module, 0);
  return g_callWndHook && g_getMsgHook && g_mouseHook ? 1 : 0;
}
