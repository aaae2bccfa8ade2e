#include "ModExitWin.h"
#include "OwnedHandle.h"
#include "ModSettings.h"
#include "ViewBindings.h"

#include "CancelEvent.h"
#include "LoopSeams.h"
#include "ModMain.h"
#include "ModStartup.h"
#include "Seams.h"

namespace {

void EnablePrivilege(const char* name) {
  OwnedHandle token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.Receive())) return;
  TOKEN_PRIVILEGES privileges = {};
  if (LookupPrivilegeValueA("", name, &privileges.Privileges[0].Luid)) {
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    TOKEN_PRIVILEGES previous = {};
    DWORD length = 0;
    AdjustTokenPrivileges(token.get(), FALSE, &privileges, sizeof previous, &previous, &length);
  }
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
  StatusScope status;
  const DWORD start = seams::TickCountFn();
  std::string shown;
  while (!status.Cancelled()) {
    const DWORD elapsed = (seams::TickCountFn() - start) / 1000;
    if (elapsed >= 5) break;
    const std::string label = text + std::to_string(5 - elapsed);
    if (label != shown) {
      CancelEvent.lblCancel.SetText(label);
      shown = label;
    }
    ui::DoEvents();
    // Sleeps until a click or the next tenth of a second instead of spinning.
    if (!status.Cancelled()) MsgWaitForMultipleObjectsEx(0, nullptr, 100, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
  return status.Cancelled();
}

std::string GetExitToDosPif() { return GetWinDir() + "\\Exit To Dos.pif"; }
