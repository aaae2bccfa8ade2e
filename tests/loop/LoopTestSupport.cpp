#include "LoopTestSupport.h"

#include <shlwapi.h>

#include <algorithm>

#include "AppBarLeftover.h"
#include "ApplyGlobalSettings.h"
#include "CancelEvent.h"
#include "InterfaceFrm.h"
#include "Logfrm.h"
#include "LoopSeams.h"
#include "Mainfrm.h"
#include "ModConInfo.h"
#include "ModMain.h"
#include "ModMainLoop.h"
#include "ModProcMon.h"
#include "ModProgInfo.h"
#include "ModSettings.h"
#include "ModStartup.h"
#include "MoreToolsFrm.h"
#include "RemindersMsgFrm.h"
#include "Seams.h"
#include "SysInfoLink.h"
#include "UiWait.h"
#include "frmOptions.h"
#include "ProgramState.h"

namespace looptest {

namespace {

PROCESS_INFORMATION StartProbe(const std::string& mode, UINT modifiers, UINT key) {
  const std::string exe = testsupport::BinDir() + "\\hotkey_probe.exe";
  std::string cmd = "\"" + exe + "\" " + mode + " " + std::to_string(modifiers) + " " + std::to_string(key);
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessA(exe.c_str(), &cmd[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr, &si, &pi))
    ADD_FAILURE() << "hotkey_probe.exe did not start";
  return pi;
}

}  // namespace

bool OtherProcessCanRegister(UINT modifiers, UINT key) {
  PROCESS_INFORMATION pi = StartProbe("try", modifiers, key);
  if (!pi.hProcess) return false;
  ResumeThread(pi.hThread);
  WaitForSingleObject(pi.hProcess, 10000);
  DWORD code = 99;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  return code == 0;
}

HotKeyHolder::HotKeyHolder(UINT modifiers, UINT key) {
  pi_ = StartProbe("hold", modifiers, key);
  if (!pi_.hProcess) return;
  const std::string name = "QuillonHotKeyHeld-" + std::to_string(pi_.dwProcessId);
  HANDLE held = CreateEventA(nullptr, TRUE, FALSE, name.c_str());
  ResumeThread(pi_.hThread);
  HANDLE both[2] = {held, pi_.hProcess};
  holding_ = WaitForMultipleObjects(2, both, FALSE, 10000) == WAIT_OBJECT_0;
  CloseHandle(held);
}

HotKeyHolder::~HotKeyHolder() {
  testsupport::EndProcess(pi_);
}

bool TrayIconPresent(HWND window, UINT id) {
  NOTIFYICONDATAA data = {};
  data.cbSize = kTrayIconDataSize;
  data.hWnd = window;
  data.uID = id;
  data.uFlags = NIF_TIP;
  lstrcpyA(data.szTip, "Quillon Pro");
  return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

void LoopTest::MainLoopPassNoWait() { MainLoopPass(false); }

void LoopTest::CleanStore() {
  SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Quillon Pro");
  SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Quillon");
  DeleteRegValueAt(HKEY_CURRENT_USER, kRunPath, "Quillon Pro");
  DeleteRegValueAt(HKEY_LOCAL_MACHINE, kRunPath, "Quillon Pro");
}

void LoopTest::SetUp() {
  CleanStore();
  ResetProgramState();
  seams::TickCountFn = [this] { return now; };
  seams::CursorPosFn = [this](POINT* p) {
    *p = cursor;
    return TRUE;
  };
  seams::MessageBoxFn = [this](HWND owner, const std::string& text, const std::string& caption, UINT style) {
    EXPECT_EQ(caption, "Quillon Pro");
    shown.push_back({owner, text, style});
    return answer(shown.back());
  };
  seams::ShellExecuteFn = [this](const seams::ShellRequest& r) {
    launched.push_back({r.file, r.parameters, r.show});
    return true;
  };
  seams::EndProcessFn = [](UINT) { ADD_FAILURE() << "the test program was asked to end"; };
  loopseams::DialUpConnectedFn = [this] { return dialUp; };
  loopseams::TotalNetBytesFn = [this](long direction) {
    ++netProbes;
    return bytes[direction == 0 ? 0 : 1];
  };
  loopseams::PlaySoundFn = [this](const std::string& path) { sounds.push_back(path); };
  loopseams::KeyStateFn = [this](int vk) -> SHORT {
    return std::find(keysDown.begin(), keysDown.end(), vk) != keysDown.end() ? SHORT(0x8000) : SHORT(0);
  };
  loopseams::SleepFn = [this](DWORD ms) {
    sleeps.push_back(ms);
    if (onSleep) onSleep(ms);
  };
  loopseams::PauseFn = loopseams::SleepFn;
  loopseams::ExitWindowsFn = [](UINT, DWORD) {
    ADD_FAILURE() << "Windows was asked to end the session";
    return FALSE;
  };

  TestMode = false;
  IsWinNTFlag = IsWinNT();
  AppExePath = AppPath() + "\\QuillonPro.exe";
  BuildColumnTables();
  DefaultSettings();
  LANCon = 0;
  IntReminder = 0;
  WinReminder = 0;
  WinReminderIdleTime = 3;
  IntProgCount = 0;
  BlockPopUps = false;
  Toolbar = false;
  DriveCheck = 0;
  RefreshInterval = 0;
  LastRefreshTick = now;
  ConnectionPending = LanStartPending = true;
  LastRateTick = now;
  CreateSampleHistories();
  // The process table is rebuilt on the next walk, whatever earlier tests left.
  LastProcWalkTick = now - 100000;
  SetRegText(HKEY_CURRENT_USER, "Software\\Quillon\\tmp", "ProcChanged", "1");
  InterfaceFrm.Load();
  Mainfrm.Load();
  CancelEvent.Load();
}

void LoopTest::TearDown() {
  RemindersMsgFrm.Unload();
  CancelEvent.Hide();
  if (InterfaceFrm.Loaded()) {
    InterfaceFrm.Hide();
    UnregisterHotKey(InterfaceFrm.hwnd(), kHotKeyId);
    RemoveTrayIcon();
  }
  if (Mainfrm.Loaded()) UnregisterHotKey(Mainfrm.hwnd(), kHotKeyId);
  if (InterfaceFrm.mnuSettingsTop->Checked()) InterfaceFrm.mnuSettingsTop_Click();
  frmOptions.Hide();
  Logfrm.Hide();
  ResetProgramState();
  CleanStore();
}

namespace {
constexpr char kAppPaths[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\QuillonPro.exe";
}

void RealProgramTest::SetUp() {
  LoopTest::SetUp();
  exe = testsupport::BinDir() + "\\QuillonPro.exe";
  SetRegText(HKEY_LOCAL_MACHINE, kAppPaths, "", exe);
  SetOption("Options", "SplashAtStartUp", "0");
  SetOption("Options", "LANCon", "1");
}

void RealProgramTest::TearDown() {
  if (pi.hProcess) {
    // Every walk ends with the program still answering: a hang fails the walk where it
    // happened rather than later as a slow window. A program the walk ended is done.
    if (WaitForSingleObject(pi.hProcess, 0) != WAIT_OBJECT_0 && !testsupport::TopLevelWindowsOf(pi.dwProcessId).empty())
      EXPECT_TRUE(testsupport::AnswersWithin(pi.dwProcessId, 1000)) << "at the end of the walk";
    testsupport::EndProcess(pi, 10000);
    // A program ended from outside leaves its docked bar's band reserved; the store it
    // remembered the bar in is cleaned next, so the band is freed now or never.
    RemoveLeftoverAppBar();
  }
  SHDeleteKeyA(HKEY_LOCAL_MACHINE, kAppPaths);
  LoopTest::TearDown();
}

}  // namespace looptest
