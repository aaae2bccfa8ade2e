// Leaving the program: the release steps in this process, the loop that sleeps until
// its tasks fall due, and the real program under Wine, called up by one hot key and
// ended by the other aimed at itself.
#include <gtest/gtest.h>

#include <shlwapi.h>

#include "ApplyGlobalSettings.h"
#include "InterfaceFrm.h"
#include "LoopSeams.h"
#include "LoopTestSupport.h"
#include "Mainfrm.h"
#include "ModConInfo.h"
#include "ModMain.h"
#include "ModMainLoop.h"
#include "ModSettings.h"
#include "ModStartup.h"
#include "Seams.h"
#include "UiWait.h"

using namespace looptest;

namespace {

const UINT kCtrlAlt = MOD_CONTROL | MOD_ALT;

class ExitTest : public LoopTest {};

LRESULT CALLBACK StopperProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_APP) IsExiting = true;
  return DefWindowProcA(h, m, w, l);
}

DWORD WINAPI StopAfterFourSeconds(LPVOID window) {
  Sleep(4000);  // the loop under test measures this wall-clock time itself
  PostMessageA(static_cast<HWND>(window), WM_APP, 0, 0);
  return 0;
}

TEST_F(ExitTest, CleanUpReleasesEverythingAndSavesTheSettings) {
  AppHK = {1, static_cast<int32_t>(kCtrlAlt), VK_F11};
  DestHK = {1, static_cast<int32_t>(kCtrlAlt), VK_F12};
  LANCon = 1;
  ApplyGlobalSettings();
  ASSERT_TRUE(TrayIconPresent(InterfaceFrm.hwnd()));
  ASSERT_FALSE(OtherProcessCanRegister(kCtrlAlt, VK_F11));
  ASSERT_FALSE(OtherProcessCanRegister(kCtrlAlt, VK_F12));
  Pass();  // the leased line's start is handled
  ASSERT_FALSE(LanStartPending);
  const HWND frame = InterfaceFrm.hwnd();
  InterfaceFrm.MainTbl[0].SetValue("ToolBar", true);
  Toolbar = false;
  SetPriorityClass(GetCurrentProcess(), HIGH_PRIORITY_CLASS);

  CleanUpOnExit();
  EXPECT_TRUE(IsExiting);
  EXPECT_EQ(GetPriorityClass(GetCurrentProcess()), static_cast<DWORD>(NORMAL_PRIORITY_CLASS));
  EXPECT_TRUE(Toolbar) << "the tracker bar's button decides";
  EXPECT_EQ(Option("General", "Toolbar"), "True");
  EXPECT_NE(Option("Options", "ProcWarn"), kMissing) << "the options were saved";
  EXPECT_EQ(Option("Internet", "GeneralConInfo.ConnectTimes"), "1") << "the open connection was recorded";
  EXPECT_FALSE(TrayIconPresent(frame));
  EXPECT_TRUE(OtherProcessCanRegister(kCtrlAlt, VK_F11));
  EXPECT_TRUE(OtherProcessCanRegister(kCtrlAlt, VK_F12));
  EXPECT_FALSE(InterfaceFrm.Loaded());
  EXPECT_FALSE(Mainfrm.Loaded());
  InterfaceFrm.MainTbl[0].SetValue("ToolBar", false);
}

TEST_F(ExitTest, ADialUpConnectionUpAtExitBecomesTheLastConnection) {
  dialUp = true;
  Pass();
  now += 125000;
  Pass();
  ASSERT_EQ(CurCon.Duration, 125);
  CleanUpOnExit();
  EXPECT_EQ(Option("Internet", "LastCon.Duration"), "125");
  EXPECT_EQ(LastCon.flag, "1");
  EXPECT_TRUE(ConnectionPending);
}

TEST_F(ExitTest, NothingIsRecordedWhenNoConnectionStarted) {
  LANCon = 1;  // the leased line, but no pass has handled its start yet
  CleanUpOnExit();
  EXPECT_EQ(GeneralConInfo.ConnectTimes, 0);
  EXPECT_EQ(Option("Internet", "GeneralConInfo.ConnectTimes"), kMissing);
}

TEST_F(ExitTest, EndProgramEndsTheProcessOnce) {
  std::vector<UINT> ends;
  seams::EndProcessFn = [&](UINT code) { ends.push_back(code); };
  InterfaceFrm.Show();
  EndProgram();
  EXPECT_EQ(ends, std::vector<UINT>{0});
  EXPECT_TRUE(IsExiting);
  EXPECT_FALSE(InterfaceFrm.Loaded());
}

// The loop with no message arriving at all: its timed tasks still run on time, and
// in between it sleeps.
TEST_F(ExitTest, TheIdleLoopRunsItsTasksOnTimeWithoutSpinning) {
  seams::TickCountFn = GetTickCount;
  std::vector<UINT> ends;
  seams::EndProcessFn = [&](UINT code) { ends.push_back(code); };
  LANCon = 1;
  LanStartPending = false;  // the leased line is up: rates every 800 ms
  ConnectionPending = true;
  LastRateTick = GetTickCount();
  RefreshInterval = 0;
  WinReminder = 0;
  Toolbar = false;
  std::vector<DWORD> rateTimes;
  loopseams::TotalNetBytesFn = [&](long direction) {
    if (direction == 1) rateTimes.push_back(GetTickCount());
    return 0u;
  };
  // Only a message from another thread after 4 seconds ends the loop.
  HWND stopper = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  SetWindowLongPtrA(stopper, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(StopperProc));
  ui::DoEvents();
  HANDLE stop = CreateThread(nullptr, 0, StopAfterFourSeconds, stopper, 0, nullptr);
  FILETIME created, exited, kernelBefore, userBefore, kernelAfter, userAfter;
  GetThreadTimes(GetCurrentThread(), &created, &exited, &kernelBefore, &userBefore);
  const DWORD start = GetTickCount();
  MainLoop();
  const DWORD wall = GetTickCount() - start;
  GetThreadTimes(GetCurrentThread(), &created, &exited, &kernelAfter, &userAfter);
  WaitForSingleObject(stop, 5000);
  CloseHandle(stop);
  DestroyWindow(stopper);

  auto ms = [](const FILETIME& a, const FILETIME& b) {
    ULARGE_INTEGER x, y;
    x.LowPart = a.dwLowDateTime, x.HighPart = a.dwHighDateTime;
    y.LowPart = b.dwLowDateTime, y.HighPart = b.dwHighDateTime;
    return static_cast<double>(y.QuadPart - x.QuadPart) / 10000.0;
  };
  const double cpu = ms(kernelBefore, kernelAfter) + ms(userBefore, userAfter);
  EXPECT_GE(wall, 3900u);
  EXPECT_EQ(ends, std::vector<UINT>{0}) << "the loop ended through EndProgram";
  // About one rate every 800 ms (the exit's own bookkeeping is not counted here).
  ASSERT_GE(rateTimes.size(), 4u) << "the rates were computed although no message came";
  for (size_t i = 1; i + 1 < rateTimes.size(); ++i) {
    EXPECT_GT(rateTimes[i] - rateTimes[i - 1], 800u);
    EXPECT_LT(rateTimes[i] - rateTimes[i - 1], 1100u);
  }
  EXPECT_LT(cpu, wall * 0.2) << "the loop kept the processor busy: " << cpu << " ms in " << wall << " ms";
}

// ---- The real program

struct Program {
  PROCESS_INFORMATION pi = {};
  ~Program() {
    testsupport::EndProcess(pi);
  }
};

struct FindFrameSearch {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK MatchFrame(HWND hwnd, LPARAM lp) {
  auto* f = reinterpret_cast<FindFrameSearch*>(lp);
  DWORD owner = 0;
  GetWindowThreadProcessId(hwnd, &owner);
  if (owner != f->pid || !GetMenu(hwnd) || testsupport::WindowText(hwnd).find("Quillon Pro") != 0) return TRUE;
  f->found = hwnd;
  return FALSE;
}

// The program's main window: its caption begins with the title and it has a menu bar.
HWND FindFrame(DWORD pid) {
  FindFrameSearch find = {pid, nullptr};
  EnumWindows(MatchFrame, reinterpret_cast<LPARAM>(&find));
  return find.found;
}

void PressCtrlAlt(WORD key) {
  const WORD keys[3] = {VK_CONTROL, VK_MENU, key};
  INPUT input[6] = {};
  for (int i = 0; i < 3; ++i) {
    input[i].type = INPUT_KEYBOARD;
    input[i].ki.wVk = keys[i];
    input[5 - i].type = INPUT_KEYBOARD;
    input[5 - i].ki.wVk = keys[i];
    input[5 - i].ki.dwFlags = KEYEVENTF_KEYUP;
  }
  SendInput(6, input, sizeof(INPUT));
}

class RealProgramExitTest : public RealProgramTest {
 protected:
  void SetUp() override {
    RealProgramTest::SetUp();
    SetOption("Options", "RunAtStartUp", "1");
  }
  // Starts the program and waits until its hot keys are taken (they follow the Run value).
  bool Start(Program& program) {
    if (!testsupport::StartQuietly(exe, "\"" + exe + "\"", testsupport::BinDir(), program.pi)) return false;
    return testsupport::PumpUntil(
        [&] { return RegText(HKEY_CURRENT_USER, kRunPath, "Quillon Pro") != kMissing && FindFrame(program.pi.dwProcessId); },
        20000);
  }
};

TEST_F(RealProgramExitTest, CtrlAltEShowsTheFrameAndExitReleasesEverything) {
  Program program;
  ASSERT_TRUE(Start(program));
  const HWND frame = FindFrame(program.pi.dwProcessId);
  EXPECT_FALSE(IsWindowVisible(frame)) << "the program starts with no window on view";
  // Both keys belong to the program now.
  ASSERT_TRUE(testsupport::PumpUntil([] { return !OtherProcessCanRegister(kCtrlAlt, 'E'); }, 5000));
  EXPECT_FALSE(OtherProcessCanRegister(kCtrlAlt, 'D'));

  PressCtrlAlt('E');
  ASSERT_TRUE(testsupport::PumpUntil([&] { return IsWindowVisible(frame) != FALSE; }, 10000))
      << "the show-window hot key did not show the frame";
  EXPECT_TRUE(testsupport::PumpUntil(
      [&] { return testsupport::WindowText(frame) == "Quillon Pro - Task Manager"; }, 5000))
      << "the first show opens the lists page";

  // The terminate-and-restart key aimed at the program itself makes it quit the normal
  // way: what the run must leave behind is saved, and nothing of it stays taken.
  DeleteRegValueAt(HKEY_CURRENT_USER, "Software\\Quillon Pro\\Options", "ProcWarn");
  DeleteRegValueAt(HKEY_CURRENT_USER, "Software\\Quillon Pro\\General", "Left");
  RECT r = {};
  GetWindowRect(frame, &r);
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  EXPECT_TRUE(testsupport::AnswersWithin(program.pi.dwProcessId, 1000)) << "before the exit";
  PressCtrlAlt('D');
  ASSERT_EQ(WaitForSingleObject(program.pi.hProcess, 15000), WAIT_OBJECT_0) << "the program did not end";
  DWORD code = 99;
  GetExitCodeProcess(program.pi.hProcess, &code);
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(Option("Options", "ProcWarn"), "1") << "the options were saved at exit";
  EXPECT_NE(Option("General", "Left"), kMissing) << "the window settings were saved at exit";
  EXPECT_EQ(Option("Internet", "GeneralConInfo.ConnectTimes"), "1") << "the leased line's record was closed";
  EXPECT_FALSE(TrayIconPresent(frame));
  EXPECT_TRUE(OtherProcessCanRegister(kCtrlAlt, 'E'));
  EXPECT_TRUE(OtherProcessCanRegister(kCtrlAlt, 'D'));
}

}  // namespace
