// The commands of the lists page on the selected programs and windows.
#include <algorithm>

#include "CancelEvent.h"
#include "Mainfrm.h"
#include "ModMain.h"
#include "ModMainPlatform.h"
#include "ModProgInfo.h"
#include "ModSProgs.h"
#include "ModSettings.h"
#include "ModWndOpr.h"
#include "Seams.h"
#include "VbRules.h"
#include "ViewBindings.h"

namespace {

constexpr DWORD kRestartExitWaitMs = 2000;

std::string ProgressPrefix(bool restart) { return restart ? "Terminating and Restarting: " : "Terminating : "; }

void SetProgress(const std::string& text) {
  CancelEvent.lblCancel.SetText(text);
}

void PumpAndPause(DWORD ms) {
  ui::DoEvents();
  if (ms) Sleep(ms);
  ui::DoEvents();
}

// Starts the program again from "C:\"; an empty path starts nothing.
void Restart(HWND owner, const std::string& path) {
  if (path.empty()) return;
  seams::ShellRequest request;
  request.owner = owner;
  request.file = path;
  request.directory = "C:\\";
  request.show = SW_SHOWNORMAL;
  seams::ShellExecuteFn(request);
}

// The ids of every running process whose path ends with the text (either case).
std::vector<DWORD> ProcessesEndingWith(const std::string& tail) {
  std::vector<DWORD> ids;
  const std::string lowerTail = vb::LCase(tail);
  for (DWORD pid : EnumProcessIds()) {
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!process) continue;
    const std::string path = vb::LCase(ProcessImagePath(process));
    CloseHandle(process);
    if (path.size() >= lowerTail.size() && !lowerTail.empty() &&
        path.compare(path.size() - lowerTail.size(), lowerTail.size(), lowerTail) == 0)
      ids.push_back(pid);
  }
  return ids;
}

// A single-instance program refuses a start while its ended copies still live.
void WaitForExit(const std::vector<DWORD>& ids, DWORD timeoutMs) {
  std::vector<HANDLE> handles;
  for (DWORD pid : ids)
    if (HANDLE h = OpenProcess(SYNCHRONIZE, FALSE, pid)) handles.push_back(h);
  const DWORD start = GetTickCount();
  for (HANDLE h : handles) {
    const DWORD spent = GetTickCount() - start;
    WaitForSingleObject(h, spent >= timeoutMs ? 0 : timeoutMs - spent);
    CloseHandle(h);
  }
}

bool Confirm(const std::string& text) {
  return ProcWarn == 0 || MsgBox(text, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void SetClipboardText(HWND owner, const std::string& text) {
  if (!OpenClipboard(owner)) return;
  EmptyClipboard();
  if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1)) {
    if (void* p = GlobalLock(memory)) {
      std::copy(text.c_str(), text.c_str() + text.size() + 1, static_cast<char*>(p));
      GlobalUnlock(memory);
      if (!SetClipboardData(CF_TEXT, memory)) GlobalFree(memory);
    } else {
      GlobalFree(memory);
    }
  }
  CloseClipboard();
}

// Keeps the page's busy flag for a scope: refreshes asked by events meanwhile are
// refused, and the outermost scope refreshes once at its end when asked to.
class CommandScope {
 public:
  explicit CommandScope(MainfrmForm& page) : page_(page), outer_(!page.CommandRunning) { page_.CommandRunning = true; }
  ~CommandScope() {
    if (outer_) page_.CommandRunning = false;
  }
  void RefreshAtEnd() {
    if (!outer_) return;
    page_.CommandRunning = false;
    outer_ = false;
    page_.FastRef = false;
    page_.RefreshMe();
  }

 private:
  MainfrmForm& page_;
  bool outer_;
};

const char kKillQuestion[] =
    "Terminating a program can cause undesired results including loss of data and system instability. Are you "
    "sure you want to terminate the selected program(s)?";
const char kWndKillQuestion[] =
    "Terminating a program can cause undesired results including loss of data and system instability. Are you "
    "sure you want to terminate the program(s) that own the selected window(s)?";

}  // namespace

// ---- Ending programs

void MainfrmForm::KillApp(bool killAndRestart) {
  if (AppLst.SelectedRows().empty()) return;
  if (!Confirm(kKillQuestion)) return;
  CommandScope busy(*this);
  CancelFlag = false;
  CancelEvent.Show();
  // The rows as they stand now: no refresh runs under this loop (see CommandScope).
  std::vector<std::string> paths;
  for (int row : AppLst.SelectedRows()) paths.push_back(AppLst.Key(row));
  for (const std::string& path : paths) {
    SetProgress(ProgressPrefix(killAndRestart) + path + " ...");
    ui::DoEvents();
    Sleep(500);
    ui::DoEvents();
    if (CancelFlag) {
      CancelFlag = false;
      CancelEvent.Hide();
      return;
    }
    DestroyAndRes(path, killAndRestart);
  }
  CancelFlag = false;
  CancelEvent.Hide();
  busy.RefreshAtEnd();
}

bool MainfrmForm::DestroyAndRes(const std::string& progPath, bool killAndRestart) {
  SetProgress(ProgressPrefix(killAndRestart) + progPath + "....");
  ui::DoEvents();
  // True when the user declined ending a special program.
  if (WarnSpecialProgKill(progPath)) return false;
  const std::vector<DWORD> ended = killAndRestart ? ProcessesEndingWith(progPath) : std::vector<DWORD>();
  DoProcessListOp(kProcEndByName, progPath);
  ui::DoEvents();
  if (killAndRestart) {
    WaitForExit(ended, kRestartExitWaitMs);
    Restart(hwnd(), progPath);
    ui::DoEvents();
  }
  return true;
}

// ---- Program rows

void MainfrmForm::SelectAll(ui::ListView& list) {
  for (int row = 0; row < list.ItemCount(); ++row) list.SetSelected(row, true);
}

// Every row is walked, also once nothing is selected any more.
void MainfrmForm::InvertSelection(ui::ListView& list) {
  for (int row = 0; row < list.ItemCount(); ++row) list.SetSelected(row, !list.Selected(row));
}

std::string MainfrmForm::SelectedPaths() const {
  std::string text;
  for (int row : AppLst.SelectedRows()) {
    if (!text.empty()) text += "  -  ";
    text += AppLst.Key(row);
  }
  return text;
}

void MainfrmForm::mnuCopyPath_Click() { SetClipboardText(hwnd(), SelectedPaths()); }

// 0 idle, 1 normal, 2 high, 3 realtime.
void MainfrmForm::SetSelectedPriority(int priorityIndex) {
  if (priorityIndex < 0 || priorityIndex > 3) return;
  CommandScope busy(*this);
  const int16_t column = GetColumn(0, 6);
  for (int row : AppLst.SelectedRows()) {
    const std::string path = AppLst.Key(row);
    DoProcessListOp(kProcSetPriority, path + std::to_string(priorityIndex));
    // Only a shown priority column has a cell to write.
    if (column > 0) AppLst.SetSubItem(row, column - 1, DoProcessListOp(kProcPriorityName, path).Text());
  }
}

void MainfrmForm::ChangeSelectedPriority(int step) {
  static const char* const kNames[4] = {"Idle", "Normal", "High", "Realtime"};
  CommandScope busy(*this);
  const int16_t column = GetColumn(0, 6);
  for (int row : AppLst.SelectedRows()) {
    const std::string path = AppLst.Key(row);
    const std::string name = DoProcessListOp(kProcPriorityName, path).Text();
    int index = static_cast<int>(std::find(kNames, kNames + 4, name) - kNames);
    if (index == 4) index = 1;
    // "High" is the top a step reaches: real time starves the system.
    const int next = std::clamp(index + step, 0, 2);
    if (next == index && index != 3) continue;
    if (index == 3 && step > 0) continue;
    DoProcessListOp(kProcSetPriority, path + std::to_string(next));
    if (column > 0) AppLst.SetSubItem(row, column - 1, DoProcessListOp(kProcPriorityName, path).Text());
  }
}

// ---- Window rows

void MainfrmForm::mnuWndCheckStatus_Click() {
  if (WndLst.SelectedRows().empty()) return;
  const int16_t column = GetColumn(1, 1);
  if (column == 0) {
    MsgBox("Please, check the status column from options", MB_ICONINFORMATION);
    return;
  }
  CommandScope busy(*this);
  CancelFlag = false;
  CancelEvent.Show();
  for (int row = 0; row < WndLst.ItemCount(); ++row) {
    if (WndLst.Selected(row)) {
      SetProgress("Checking: " + WndLst.ItemText(row) + " ...");
      ui::DoEvents();
      const bool answers = IsWndResponding(RowWindow(row), true);
      if (row < WndLst.ItemCount()) WndLst.SetSubItem(row, column - 1, answers ? "Responding" : "Not Responding");
    }
    if (CancelFlag) break;
    ui::DoEvents();
  }
  CancelFlag = false;
  CancelEvent.Hide();
}

void MainfrmForm::mnuWndClose_Click() {
  if (WndLst.SelectedRows().empty()) return;
  const int16_t column = GetColumn(1, 1);
  CommandScope busy(*this);
  CancelFlag = false;
  CancelEvent.Show();
  std::vector<std::pair<HWND, std::string>> windows;
  for (int row : WndLst.SelectedRows()) windows.emplace_back(RowWindow(row), WndLst.ItemText(row));
  for (const auto& [window, title] : windows) {
    SetProgress("Closing: " + title + " ...");
    PumpAndPause(0);
    if (CancelFlag) {
      CancelFlag = false;
      CancelEvent.Hide();
      return;
    }
    if (GetWndInfo(kWndResponding, WndHandleText(window)).IsTrue()) {
      BringWndToFront(window);
      CloseWnd(false, window);
      while (IsWindow(window)) {
        PumpAndPause(10);
        if (CancelFlag) {
          CancelFlag = false;
          CancelEvent.Hide();
          busy.RefreshAtEnd();
          return;
        }
      }
    } else {
      const int row = WndLst.FindKey("K" + WndHandleText(window));
      if (column > 0 && row >= 0) WndLst.SetSubItem(row, column - 1, "Not Responding");
      if (MsgBox("The window (" + title + ") couldn't be closed safly, would like to terminate it?",
                 MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2) == IDOK)
        CloseWnd(true, window);
    }
  }
  CancelFlag = false;
  CancelEvent.Hide();
  busy.RefreshAtEnd();
}

void MainfrmForm::WndTerminate(bool restart) {
  if (WndLst.SelectedRows().empty()) return;
  if (!Confirm(kWndKillQuestion)) return;
  CommandScope busy(*this);
  CancelFlag = false;
  CancelEvent.Show();
  std::vector<HWND> windows;
  for (int row : WndLst.SelectedRows()) windows.push_back(RowWindow(row));
  for (HWND window : windows) {
    const std::string path = GetWndInfo(kWndExePath, WndHandleText(window)).Text();
    SetProgress((restart ? "Terminating and Restarting: " : "Terminating: ") + path + " ...");
    PumpAndPause(0);
    if (CancelFlag) {
      CancelFlag = false;
      CancelEvent.Hide();
      return;
    }
    // A declined warning or a failed end leaves the window: waiting for it to go
    // would never end, and it must not be started a second time.
    if (!CloseWnd(true, window)) continue;
    const std::string endedPath = ProcResultPath.empty() ? path : ProcResultPath;
    while (IsWindow(window)) {
      PumpAndPause(10);
      if (CancelFlag) {
        CancelFlag = false;
        CancelEvent.Hide();
        busy.RefreshAtEnd();
        return;
      }
    }
    if (restart) Restart(hwnd(), endedPath);
  }
  CancelFlag = false;
  CancelEvent.Hide();
  busy.RefreshAtEnd();
}

// The placement is asked, not awaited: a hung window would hold this program until
// it answered.
void MainfrmForm::mnuWndOnTop_Click() {
  CommandScope busy(*this);
  for (int row : WndLst.SelectedRows()) {
    HWND window = RowWindow(row);
    const HWND place = IsWndOnTop(window) ? HWND_NOTOPMOST : HWND_TOPMOST;
    SetWindowPos(window, place, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_ASYNCWINDOWPOS);
    Sleep(400);
    ui::DoEvents();
  }
}

void MainfrmForm::mnuWndShowHide_Click() {
  if (WndLst.SelectedRows().empty()) return;
  CommandScope busy(*this);
  for (int row : WndLst.SelectedRows()) {
    HWND window = RowWindow(row);
    if (IsWindowVisible(window)) {
      ShowWindowAsync(window, SW_HIDE);
      if (HideWnd == 1) {
        MsgBox("Quillon will show hidden windows to be capable of seeing hidden windows in windows' list box. You "
               "can change this option at anytime from Options",
               MB_ICONINFORMATION);
        HideWnd = 0;
        SaveSettings();
      }
    } else {
      ShowWindowAsync(window, SW_RESTORE);
    }
    Sleep(400);
    ui::DoEvents();
  }
  busy.RefreshAtEnd();
}

void MainfrmForm::mnuWndShowState_Click(int showCommand) {
  for (int row : WndLst.SelectedRows()) ShowWindowAsync(RowWindow(row), showCommand);
}

void MainfrmForm::mnuWndCopyNameHandle_Click() {
  std::string text;
  for (int row : WndLst.SelectedRows()) {
    HWND window = RowWindow(row);
    GetWndInfo(kWndFillCurWnd, WndHandleText(window));
    if (!text.empty()) text += "\r\n";
    text += ModProgInfo::TrimAtNull(CurWnd.Title) + " [" + WndHandleText(window) + "]";
  }
  SetClipboardText(hwnd(), text);
}
