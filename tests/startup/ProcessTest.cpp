// The program as separate processes: the second copy refused, and the column tables
// under the 9x and NT families (the Windows version Wine reports per program).
#include <gtest/gtest.h>

#include <sstream>

#include "AppBarLeftover.h"
#include "ModStartup.h"
#include "StartupTestSupport.h"
#include "UiWait.h"

using namespace startuptest;

namespace {

struct Process {
  PROCESS_INFORMATION pi = {};
  bool Start(const std::string& exe, HANDLE output = nullptr) {
    std::string cmd = "\"" + exe + "\"";
    if (!output) return testsupport::StartQuietly(exe, cmd, testsupport::BinDir(), pi);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = output;
    si.hStdError = output;
    return CreateProcessA(exe.c_str(), &cmd[0], nullptr, nullptr, output != nullptr, 0, nullptr,
                          testsupport::BinDir().c_str(), &si, &pi) != 0;
  }
  bool Running() const { return pi.hProcess && WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT; }
  ~Process() { testsupport::EndProcess(pi); }
};

struct Search {
  DWORD pid;
  const char* className;  // nullptr for any
  bool visibleOnly;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM lp) {
        auto* s = reinterpret_cast<Search*>(lp);
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        if (owner != s->pid || (s->visibleOnly && !IsWindowVisible(hwnd))) return TRUE;
        char cls[64] = {};
        GetClassNameA(hwnd, cls, sizeof cls);
        if (s->className && std::string(cls) != s->className) return TRUE;
        s->found = hwnd;
        return FALSE;
}

HWND FindProcessWindow(DWORD pid, const char* className, bool visibleOnly) {
  Search search = {pid, className, visibleOnly, nullptr};
  EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The program's main window: caption "Quillon Pro" and a menu bar, shown or not.
BOOL CALLBACK MatchMainWindow(HWND hwnd, LPARAM lp) {
  auto* s = reinterpret_cast<Search*>(lp);
  DWORD owner = 0;
  GetWindowThreadProcessId(hwnd, &owner);
  if (owner != s->pid || testsupport::WindowText(hwnd) != "Quillon Pro" || !GetMenu(hwnd)) return TRUE;
  s->found = hwnd;
  return FALSE;
}

HWND FindMainWindow(DWORD pid) {
  Search search = {pid, nullptr, false, nullptr};
  EnumWindows(MatchMainWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

class SecondInstanceTest : public StoreTest {
 protected:
  void SetUp() override {
    StoreTest::SetUp();
    DeleteTree(HKEY_LOCAL_MACHINE, AppPathsOf("QuillonPro.exe"));
  }
  void TearDown() override {
    // The copies were ended from outside: a band their bar left reserved would hold the
    // edge for the test programs after this one, once the store forgets the bar.
    RemoveLeftoverAppBar();
    DeleteTree(HKEY_LOCAL_MACHINE, AppPathsOf("QuillonPro.exe"));
    StoreTest::TearDown();
  }
};

TEST_F(SecondInstanceTest, ASecondCopyShowsTheMessageAndEndsWhileTheFirstRuns) {
  const std::string exe = testsupport::BinDir() + "\\QuillonPro.exe";
  // Registered earlier and without a splash: the first copy starts straight through.
  SetRegText(HKEY_LOCAL_MACHINE, AppPathsOf("QuillonPro.exe"), "", exe);
  SetOption("Options", "SplashAtStartUp", "0");

  Process first;
  ASSERT_TRUE(first.Start(exe));
  // The program starts with no window on view; its main window waits hidden.
  HWND frame = nullptr;
  ASSERT_TRUE(testsupport::PumpUntil([&] { return (frame = FindMainWindow(first.pi.dwProcessId)) != nullptr; }, 20000));

  Process second;
  ASSERT_TRUE(second.Start(exe));
  HWND box = nullptr;
  ASSERT_TRUE(testsupport::PumpUntil([&] { return (box = FindProcessWindow(second.pi.dwProcessId, "#32770", true)) != nullptr; }, 20000));
  char text[512] = {};
  GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
  EXPECT_EQ(std::string(text), "Quillon Pro is already running, double-click Quillon tray icon to launch it");
  EXPECT_EQ(testsupport::WindowText(box), "Quillon Pro");
  EXPECT_EQ(PrevInstanceMessage(), text);
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(WaitForSingleObject(second.pi.hProcess, 10000), WAIT_OBJECT_0);

  // The first copy is untouched.
  EXPECT_TRUE(first.Running());
  EXPECT_TRUE(IsWindow(frame));
  EXPECT_TRUE(testsupport::AnswersWithin(first.pi.dwProcessId, 1000));
}

// A copy ended without removing its docked bar leaves the shell reserving the band; the
// next start frees it, so the new bar docks where the old one was, not beside its ghost.
TEST_F(SecondInstanceTest, AStartFreesTheBandOfACopyThatWasEnded) {
  const std::string exe = testsupport::BinDir() + "\\QuillonPro.exe";
  SetRegText(HKEY_LOCAL_MACHINE, AppPathsOf("QuillonPro.exe"), "", exe);
  SetOption("Options", "SplashAtStartUp", "0");
  auto barOf = [](Process& copy, RECT& where) {
    HWND bar = nullptr;
    const bool shown = testsupport::PumpUntil([&] {
      bar = FindProcessWindow(copy.pi.dwProcessId, nullptr, true);
      return bar && testsupport::WindowText(bar) == "Quillon Tracker";
    }, 20000);
    if (shown) GetWindowRect(bar, &where);
    return shown;
  };
  RECT first{}, second{};
  {
    Process ended;
    ASSERT_TRUE(ended.Start(exe));
    ASSERT_TRUE(barOf(ended, first));
    ASSERT_TRUE(testsupport::PumpUntil([] { return Option("TrackerBar", "AppBarWnd") != kMissing; }));
    EXPECT_TRUE(testsupport::AnswersWithin(ended.pi.dwProcessId, 1000));
    testsupport::EndProcess(ended.pi);
  }
  {
    Process next;
    ASSERT_TRUE(next.Start(exe));
    ASSERT_TRUE(barOf(next, second));
    EXPECT_EQ(second.top, first.top) << "docked beside the band of the ended copy";
    EXPECT_EQ(second.left, first.left);
    EXPECT_EQ(second.bottom - second.top, first.bottom - first.top);
    EXPECT_TRUE(testsupport::AnswersWithin(next.pi.dwProcessId, 1000));
    testsupport::EndProcess(next.pi);
  }
  // This copy's band goes too, so the tests after this one find the edge free.
  EXPECT_TRUE(RemoveLeftoverAppBar());
  EXPECT_EQ(Option("TrackerBar", "AppBarWnd"), kMissing);
}

TEST_F(SecondInstanceTest, AnotherProgramHoldingTheGenericMutexDoesNotStopTheProgram) {
  HANDLE other = CreateMutexA(nullptr, TRUE, "MyProgramsMutexName");
  ASSERT_TRUE(other);
  EXPECT_FALSE(IsPrevInstance());
  CloseHandle(other);
}

// Runs the probe under a Windows version and reads what it prints.
std::vector<std::string> ProbeAs(const char* version) {
  const std::string key = "Software\\Wine\\AppDefaults\\startup_probe.exe";
  SetRegText(HKEY_CURRENT_USER, key, "Version", version);
  SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  CreatePipe(&readEnd, &writeEnd, &sa, 0);
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  std::string out;
  {
    Process probe;
    if (probe.Start(testsupport::BinDir() + "\\startup_probe.exe", writeEnd)) {
      CloseHandle(writeEnd);
      writeEnd = nullptr;
      char buf[1024];
      DWORD got = 0;
      while (ReadFile(readEnd, buf, sizeof buf, &got, nullptr) && got) out.append(buf, got);
      WaitForSingleObject(probe.pi.hProcess, 10000);
    }
  }
  if (writeEnd) CloseHandle(writeEnd);
  CloseHandle(readEnd);
  DeleteTree(HKEY_CURRENT_USER, key);
  std::vector<std::string> lines;
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

TEST(ColumnTables, NineXFamilyHasElevenProgramColumns) {
  auto lines = ProbeAs("win98");
  ASSERT_EQ(lines.size(), 14u);
  EXPECT_EQ(lines[0], "9x -");
  EXPECT_EQ(lines[1], "11");
  EXPECT_EQ(lines[2], "Program Title|84");
  EXPECT_EQ(lines[5], "Committed memory (k)|61.6");
  EXPECT_EQ(lines[9], "Processes|28");
  EXPECT_EQ(lines[12], "Product name|140");
  for (const auto& l : lines) EXPECT_EQ(l.find("CPU usage"), std::string::npos);
  EXPECT_EQ(lines[13], "10");
}

TEST(ColumnTables, NtFamilyHasTwelveProgramColumns) {
  auto lines = ProbeAs("winxp");
  ASSERT_EQ(lines.size(), 15u);
  EXPECT_EQ(lines[0], "NT -");
  EXPECT_EQ(lines[1], "12");
  EXPECT_EQ(lines[5], "Committed memory (K)|61.6");
  EXPECT_EQ(lines[9], "CPU usage (%)|28");
  EXPECT_EQ(lines[10], "Processes|28");
  EXPECT_EQ(lines[13], "Product name|140");
  EXPECT_EQ(lines[14], "10");
  auto nt4 = ProbeAs("nt40");
  ASSERT_FALSE(nt4.empty());
  EXPECT_EQ(nt4[0], "NT NT4");
}

}  // namespace
