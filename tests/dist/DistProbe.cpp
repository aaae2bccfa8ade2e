// Plays the user of a program folder copied to a fresh machine: waits for Quillon
// Pro's first-run question, says what it asks and which Pellmon library the program
// has loaded, then answers No and checks that the program still answers. Exits 1 when
// no question comes, 2 when the program stops answering.
// With --answers it only checks that the running program answers within a second.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <string>

namespace {

BOOL CALLBACK TakeQuestion(HWND hwnd, LPARAM out) {
  char cls[64] = {}, title[64] = {};
  GetClassNameA(hwnd, cls, sizeof cls);
  GetWindowTextA(hwnd, title, sizeof title);
  if (std::string(cls) != "#32770" || std::string(title) != "Quillon Pro" || !IsWindowVisible(hwnd)) return TRUE;
  *reinterpret_cast<HWND*>(out) = hwnd;
  return FALSE;
}

HWND FindQuestion() {
  HWND found = nullptr;
  EnumWindows(TakeQuestion, reinterpret_cast<LPARAM>(&found));
  return found;
}

std::string Lower(std::string s) {
  if (!s.empty()) CharLowerBuffA(&s[0], static_cast<DWORD>(s.size()));
  return s;
}

// The path of the Pellmon library among the process's modules, "" when it has none.
std::string PellmonOf(DWORD processId) {
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
  if (!process) return "";
  HMODULE modules[1024];
  DWORD needed = 0;
  std::string result;
  if (EnumProcessModules(process, modules, sizeof modules, &needed)) {
    for (DWORD i = 0; i < needed / sizeof(HMODULE) && i < 1024; ++i) {
      char path[MAX_PATH] = {};
      if (!GetModuleFileNameExA(process, modules[i], path, MAX_PATH)) continue;
      const std::string lower = Lower(path);
      if (lower.size() >= 11 && lower.compare(lower.size() - 11, 11, "pellmon.dll") == 0) result = path;
    }
  }
  CloseHandle(process);
  return result;
}

BOOL CALLBACK TakeProgramWindow(HWND hwnd, LPARAM out) {
  char cls[64] = {};
  GetClassNameA(hwnd, cls, sizeof cls);
  if (std::string(cls) != "QuillonForm") return TRUE;
  *reinterpret_cast<HWND*>(out) = hwnd;
  return FALSE;
}

// Whether the program answers a message within a second: a hang fails here, where it
// happens, not later as a window slow to come. Says what it found.
bool ProgramAnswers() {
  HWND window = nullptr;
  for (int i = 0; i < 100 && !window; ++i) {
    EnumWindows(TakeProgramWindow, reinterpret_cast<LPARAM>(&window));
    if (!window) Sleep(100);
  }
  DWORD_PTR result = 0;
  const bool answers = window && SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &result);
  std::printf("answers: %s\n", answers ? "within 1 s" : window ? "no" : "no window");
  std::fflush(stdout);
  return answers;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "--answers") return ProgramAnswers() ? 0 : 2;
  HWND box = nullptr;
  for (int i = 0; i < 900 && !box; ++i) {
    box = FindQuestion();
    if (!box) Sleep(100);
  }
  if (!box) {
    std::printf("no question came\n");
    return 1;
  }
  char text[2048] = {};
  GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
  DWORD processId = 0;
  GetWindowThreadProcessId(box, &processId);
  std::printf("question: %s\n", text);
  std::printf("pellmon: %s\n", PellmonOf(processId).c_str());
  std::fflush(stdout);
  PostMessageA(box, WM_COMMAND, IDNO, 0);
  for (int i = 0; i < 50 && IsWindow(box); ++i) Sleep(100);
  return ProgramAnswers() ? 0 : 2;
}
