#include "MForceFore.h"

#include "LoopSeams.h"
#include "ModProgInfo.h"
#include "ModWndOpr.h"

namespace {

bool AnyTopLevelWindowHung() {
  DoProcessListOp(kProcRebuild, "");
  GetWndInfo(kWndRebuildTable, "");
  for (int i = 0; i <= WndTableLast && i < static_cast<int>(WndTable.size()); ++i) {
    const std::string handle =
        std::to_string(static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(WndTable[i])));
    if (!GetWndInfo(kWndResponding, handle).IsTrue()) return true;
  }
  return false;
}

}  // namespace

HWND GetTopVisibleParent(HWND window) {
  HWND top = window;
  for (HWND parent = GetParent(top); parent && IsWindowVisible(parent); parent = GetParent(top)) top = parent;
  return top;
}

bool ForceForeground(HWND window, bool skipHungCheck) {
  if (!skipHungCheck && AnyTopLevelWindowHung()) {
    SetForegroundWindow(window);
    return false;
  }
  HWND target = GetTopVisibleParent(window);
  if (target == GetForegroundWindow()) return true;
  const DWORD foregroundThread = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
  const DWORD ownThread = GetCurrentThreadId();
  BOOL done;
  if (foregroundThread && foregroundThread != ownThread) {
    // Sharing the foreground thread's input lets the system accept the change.
    loopseams::AttachThreadInputFn(foregroundThread, ownThread, TRUE);
    done = SetForegroundWindow(target);
    loopseams::AttachThreadInputFn(foregroundThread, ownThread, FALSE);
  } else {
    done = SetForegroundWindow(target);
  }
  ShowWindow(target, IsIconic(target) ? SW_RESTORE : SW_SHOW);
  return done != FALSE;
}
