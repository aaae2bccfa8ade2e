#include "UiWait.h"

#include "Window.h"

namespace testsupport {

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > timeoutMs) return done();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    ui::DoEvents();
  }
  return true;
}

bool PumpUntilIdle(DWORD timeoutMs) {
  constexpr UINT kPending = QS_INPUT | QS_POSTMESSAGE | QS_SENDMESSAGE | QS_PAINT;
  return PumpUntil([] { return HIWORD(GetQueueStatus(kPending)) == 0; }, timeoutMs);
}

void PassDoubleClickTime() {
  const DWORD wait = GetDoubleClickTime() + 100;
  PumpUntil([] { return false; }, wait);
}

bool PumpUntilForeground(HWND hwnd, DWORD timeoutMs) {
  return PumpUntil([hwnd] { return IsWindowVisible(hwnd) && GetForegroundWindow() == hwnd; }, timeoutMs);
}

bool BringToFront(HWND hwnd) {
  SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  SetForegroundWindow(hwnd);
  return PumpUntilForeground(hwnd);
}

std::string BinDir() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string s(path, n);
  return s.substr(0, s.find_last_of('\\'));
}

std::string WindowText(HWND hwnd) {
  char buf[1024];
  int n = GetWindowTextA(hwnd, buf, sizeof buf);
  return std::string(buf, n > 0 ? n : 0);
}

bool StartQuietly(const std::string& exe, const std::string& commandLine, const std::string& folder,
                  PROCESS_INFORMATION& pi) {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE nul = CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                           OPEN_EXISTING, 0, nullptr);
  if (nul == INVALID_HANDLE_VALUE) return false;
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = si.hStdOutput = si.hStdError = nul;
  std::string cmd = commandLine;
  const BOOL started = CreateProcessA(exe.c_str(), &cmd[0], nullptr, nullptr, TRUE, 0, nullptr,
                                      folder.empty() ? nullptr : folder.c_str(), &si, &pi);
  CloseHandle(nul);
  return started != 0;
}

std::string ClipboardText() {
  std::string text;
  if (!OpenClipboard(nullptr)) return text;
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    if (const char* p = static_cast<const char*>(GlobalLock(data))) text = p;
    GlobalUnlock(data);
  }
  CloseClipboard();
  return text;
}

void EndProcess(PROCESS_INFORMATION& pi, DWORD waitMs) {
  if (pi.hProcess) {
    if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) {
      TerminateProcess(pi.hProcess, 1);
      WaitForSingleObject(pi.hProcess, waitMs);
    }
    CloseHandle(pi.hProcess);
  }
  if (pi.hThread) CloseHandle(pi.hThread);
  pi = {};
}

void EndProcessById(DWORD pid, DWORD waitMs) {
  PROCESS_INFORMATION pi = {};
  pi.hProcess = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
  EndProcess(pi, waitMs);
}

namespace {

BOOL CALLBACK AddWindow(HWND h, LPARAM lp) {
  reinterpret_cast<std::vector<HWND>*>(lp)->push_back(h);
  return TRUE;
}

}  // namespace

std::vector<HWND> TopLevelWindowsOf(DWORD pid) {
  std::vector<HWND> all, owned;
  EnumWindows(AddWindow, reinterpret_cast<LPARAM>(&all));
  for (HWND h : all) {
    DWORD owner = 0;
    GetWindowThreadProcessId(h, &owner);
    if (owner == pid) owned.push_back(h);
  }
  return owned;
}

std::string ShownWindowsOf(DWORD pid) {
  std::string titles;
  for (HWND h : TopLevelWindowsOf(pid)) {
    char title[128] = "", text[512] = "", cls[64] = "";
    if (!IsWindowVisible(h) || !GetWindowTextA(h, title, sizeof title)) continue;
    GetClassNameA(h, cls, sizeof cls);
    GetDlgItemTextA(h, 0xFFFF, text, sizeof text);  // a message box's text
    titles += std::string("[") + title + " (" + cls + ") " + text + "]";
  }
  return titles;
}

testing::AssertionResult AnswersWithin(DWORD pid, DWORD timeoutMs) {
  const std::vector<HWND> windows = TopLevelWindowsOf(pid);
  if (windows.empty()) return testing::AssertionFailure() << "process " << pid << " has no window";
  DWORD_PTR result = 0;
  const DWORD start = GetTickCount();
  for (HWND window : windows) {
    if (SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &result)) return testing::AssertionSuccess();
    // A passing window (a tip, a box just answered) may go between the list and the
    // question: that is no silence of the program, so another of its windows is asked.
    if (IsWindow(window)) {
      // How long it really took tells a hang from a stall.
      const bool late = SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &result) != 0;
      return testing::AssertionFailure() << "the program did not answer within " << timeoutMs << " ms ("
                                         << (late ? "it answered after " : "no answer after ")
                                         << GetTickCount() - start << " ms); it shows " << ShownWindowsOf(pid);
    }
  }
  return testing::AssertionFailure() << "process " << pid << "'s windows all went while it was asked";
}

}  // namespace testsupport
