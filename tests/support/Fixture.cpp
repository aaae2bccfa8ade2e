#include "Fixture.h"

#include <gtest/gtest.h>

#include "UiWait.h"

namespace testsupport {

const char kFixtureClass[] = "QuillonFixture";

std::string FixturePath() { return BinDir() + "\\fixture.exe"; }

namespace {
struct Search {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK FindOwnWindow(HWND hwnd, LPARAM lp) {
  auto* s = reinterpret_cast<Search*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  char cls[64];
  if (pid == s->pid && GetClassNameA(hwnd, cls, sizeof cls) && lstrcmpA(cls, kFixtureClass) == 0) {
    s->found = hwnd;
    return FALSE;
  }
  return TRUE;
}
}  // namespace

Fixture::Fixture(const FixtureOptions& o) {
  std::string exe = o.exePath.empty() ? FixturePath() : o.exePath;
  std::string cmd = "\"" + exe + "\" " + o.mode + " \"" + o.title + "\"";
  if (!o.marker.empty()) cmd += " \"" + o.marker + "\"";
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  if (!CreateProcessA(exe.c_str(), &cmd[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                      o.workDir.empty() ? nullptr : o.workDir.c_str(), &si, &pi_))
    return;
  // The fixture sets this event once its window is shown (or hidden) for good, so a
  // test never sees a window caught between creation and its first show.
  char name[64];
  wsprintfA(name, "QuillonFixtureReady-%lu", pi_.dwProcessId);
  HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, name);
  ResumeThread(pi_.hThread);
  if (ready) {
    HANDLE both[2] = {ready, pi_.hProcess};
    WaitForMultipleObjects(2, both, FALSE, 10000);
    CloseHandle(ready);
  }
  Search s = {pi_.dwProcessId, nullptr};
  EnumWindows(FindOwnWindow, reinterpret_cast<LPARAM>(&s));
  hwnd_ = s.found;
}

Fixture::~Fixture() { End(); }

FixtureFolder::FixtureFolder(const std::string& prefix) {
  char temp[MAX_PATH], longTemp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  // The walkers report long paths; a short temp path would never compare equal.
  if (!GetLongPathNameA(temp, longTemp, MAX_PATH)) lstrcpyA(longTemp, temp);
  dir_ = std::string(longTemp) + prefix + "_" + std::to_string(GetCurrentProcessId()) + "\\";
  CreateDirectoryA(dir_.c_str(), nullptr);
}

FixtureFolder::~FixtureFolder() {
  fixtures_.clear();
  for (const std::string& copy : copies_) {
    // An ended process may hold its file for a moment.
    PumpUntil([&] { return DeleteFileA(copy.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND; });
    DeleteFileA((copy + "_XX").c_str());
  }
  RemoveDirectoryA(dir_.c_str());
}

Fixture& FixtureFolder::Start(const std::string& name, const std::string& mode) {
  std::string path = PathOf(name);
  if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
    EXPECT_TRUE(CopyFileA(FixturePath().c_str(), path.c_str(), FALSE)) << path;
    copies_.push_back(path);
  }
  FixtureOptions options;
  options.mode = mode;
  options.title = name;
  options.exePath = path;
  fixtures_.push_back(std::make_unique<Fixture>(options));
  EXPECT_TRUE(fixtures_.back()->Started()) << path;
  return *fixtures_.back();
}

void Fixture::End() {
  if (!pi_.hProcess) return;
  TerminateProcess(pi_.hProcess, 0);
  WaitForSingleObject(pi_.hProcess, 5000);
  CloseHandle(pi_.hProcess);
  CloseHandle(pi_.hThread);
  pi_ = {};
  hwnd_ = nullptr;
}

}  // namespace testsupport
