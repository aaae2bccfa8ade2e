#include "ModExitWin.h"
#include "ModSettings.h"
#include "ViewBindings.h"

#include "CancelEvent.h"
#include "LoopSeams.h"
#include "ModMain.h"
#include "ModStartup.h"
#include "Seams.h"

namespace {

void EnablePrivilege(const char* name) {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return;
  TOKEN_PRIVILEGES privileges = {};
  if (LookupPrivilegeValueA("", name, &privileges.Privileges[0].Luid)) {
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    TOKEN_PRIVILEGES previous = {};
    DWORD length = 0;
    AdjustTokenPrivileges(token, FALSE, &privileges, sizeof previous, &previous, &length);
  }
  CloseHandle(token);
}

}  // namespace

void EnableShutdownPrivilege() { EnablePrivilege("SeShutdownPrivilege"); }

void EnableDebugPrivilege() { EnablePrivilege("SeDebugPrivilege"); }

void ExitWin(UINT flags) {
  if (IsWinNTFlag) EnableShutdownPrivilege();
  if (DriveCheck && Views.moreTools.CheckDrivesForMedia) Views.moreTools.CheckDrivesForMedia("all");
  loopseams::ExitWindowsFn(flags, 0xFFFFFFFF);
  HideView(Views.frame.form);
  IsExiting = true;
}

bool ShutdownCountdown(const std::string& text) {
  CancelFlag = false;
  CancelEvent.Show();
  const DWORD start = seams::TickCountFn();
  std::string shown;
  while (!CancelFlag) {
    const DWORD elapsed = (seams::TickCountFn() - start) / 1000;
    if (elapsed >= 5) break;
    const std::string label = text + std::to_string(5 - elapsed);
    if (label != shown) {
      CancelEvent.lblCancel.SetText(label);
      shown = label;
    }
    ui::DoEvents();
    // Sleeps until a click or the next tenth of a second instead of spinning.
    if (!CancelFlag) MsgWaitForMultipleObjectsEx(0, nullptr, 100, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
  const bool cancelled = CancelFlag;
  CancelFlag = false;
  CancelEvent.Hide();
  return cancelled;
}

std::string GetExitToDosPif() { return GetWinDir() + "\\Exit To Dos.pif"; }
