// The commands of the lists page on the selected programs and windows.
#include <algorithm>
#include <functional>

#include "AddBrowserFrm.h"
#include "AddStartupFrm.h"
#include "AddWhiteFrm.h"
#include "CancelEvent.h"
#include "Clipboard.h"
#include "ConInfoFrm.h"
#include "DetailsFrm.h"
#include "Mainfrm.h"
#include "ModMain.h"
#include "ModMainPlatform.h"
#include "ModProcMon.h"
#include "ModProgInfo.h"
#include "ModSettings.h"
#include "ModSProgs.h"
#include "ModStartupPlatform.h"
#include "ModWndOpr.h"
#include "MoreToolsFrm.h"
#include "OwnedHandle.h"
#include "PopUpFrm.h"
#include "Seams.h"
#include "SpywareSearchFrm.h"
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
  if (ms) ui::PauseServingEvents(ms);
  ui::DoEvents();
}

bool Cancelled() { return CancelFlag; }

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
    const OwnedHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
    if (!process) continue;
    const std::string path = vb::LCase(ProcessImagePath(process.get()));
    if (path.size() >= lowerTail.size() && !lowerTail.empty() &&
        path.compare(path.size() - lowerTail.size(), lowerTail.size(), lowerTail) == 0)
      ids.push_back(pid);
  }
  return ids;
}

// A single-instance program refuses a start while its ended copies still live. The
// copies may take seconds to go: the thread answers its messages meanwhile, and the
// status window's Cancel ends the wait.
void WaitForExit(const std::vector<DWORD>& ids, DWORD timeoutMs) {
  std::vector<OwnedHandle> handles;
  for (DWORD pid : ids)
    if (OwnedHandle h(OpenProcess(SYNCHRONIZE, FALSE, pid)); h) handles.push_back(std::move(h));
  const DWORD start = GetTickCount();
  for (const OwnedHandle& h : handles) {
    const DWORD spent = GetTickCount() - start;
    if (!ui::WaitServingEvents(h.get(), spent >= timeoutMs ? 0 : timeoutMs - spent, Cancelled) && Cancelled()) return;
  }
}

bool Confirm(const std::string& text) {
  return ProcWarn == 0 || MsgBox(text, MB_YESNO | MB_ICONQUESTION) == IDYES;
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
  {
    StatusScope status;
    // The rows as they stand now: no refresh runs under this loop (see CommandScope).
    const std::vector<std::string> paths = SelectedKeys();
    for (const std::string& path : paths) {
      SetProgress(ProgressPrefix(killAndRestart) + path + " ...");
      ui::PauseServingEvents(500, Cancelled);
      if (status.Cancelled()) return;
      DestroyAndRes(path, killAndRestart);
    }
  }
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

std::vector<std::string> MainfrmForm::SelectedKeys() const {
  std::vector<std::string> keys;
  for (int row : AppLst.SelectedRows()) keys.push_back(AppLst.Key(row));
  return keys;
}

std::string MainfrmForm::SelectedPaths() const {
  std::string text;
  for (const std::string& path : SelectedKeys()) {
    if (!text.empty()) text += "  -  ";
    text += path;
  }
  return text;
}

void MainfrmForm::mnuCopyPath_Click() { ui::SetClipboardText(hwnd(), SelectedPaths()); }

// Changes the priority class of each selected program through `change`, with the
// status window and a pause between programs; the "K6" cells follow.
static void PriorityLoop(MainfrmForm& page, const std::function<void(const std::string&)>& change) {
  StatusScope status;
  const std::vector<std::string> paths = page.SelectedKeys();
  for (const std::string& path : paths) {
    SetProgress("Changing performance of: " + path + " ...");
    ui::DoEvents();
    change(path);
    ui::DoEvents();
    if (status.Cancelled()) break;
    ui::PauseServingEvents(300, Cancelled);
  }
  // Only a shown priority column has a cell to write.
  if (const int16_t column = page.GetColumn(0, 6); column > 0)
    for (int row : page.AppLst.SelectedRows())
      page.AppLst.SetSubItem(row, column - 1, DoProcessListOp(kProcPriorityName, page.AppLst.Key(row)).Text());
}

// 0 idle, 1 normal, 2 high.
void MainfrmForm::SetSelectedPriority(int level) {
  if (level < 0 || level > 3 || AppLst.SelectedRows().empty()) return;
  CommandScope busy(*this);
  PriorityLoop(*this, [level](const std::string& path) {
    DoProcessListOp(kProcSetPriority, path + std::to_string(level));
  });
}

// One step along idle, normal, high, real time; a step up never reaches real time.
void MainfrmForm::ChangeSelectedPriority(int step) {
  if (AppLst.SelectedRows().empty()) return;
  CommandScope busy(*this);
  PriorityLoop(*this, [step](const std::string& path) {
    const std::string name = DoProcessListOp(kProcPriorityName, path).Text();
    if (step > 0 && name == "High") return;
    int index = -1;
    for (int i = 0; i < 4; ++i)
      if (GetPriorityName(PriorityClasses[i]) == name) index = i;
    if (index < 0) return;
    const int next = index + step;
    if (next < 0 || next > 3) return;
    DoProcessListOp(kProcSetPriority, path + std::to_string(next));
  });
}

void MainfrmForm::mnuProgsDetails_Click() {
  const std::vector<int> rows = AppLst.SelectedRows();
  if (rows.empty()) return;
  ShowFrm(DetailsFrm);
  DetailsFrm.RefFrm(AppLst.Key(rows[0]), false);
}

void MainfrmForm::mnuProgsSpywareSearch_Click() {
  const std::vector<int> rows = AppLst.SelectedRows();
  if (rows.empty()) return;
  const std::string path = AppLst.Key(rows[0]);
  SpywareSearchFrm.Load();
  // The search opens in place of the frame, which goes to the tray.
  if (Views.frame.form) Views.frame.form->Close();
  SpywareSearchFrm.ShowSpywareSearchFrm(path);
}

void MainfrmForm::mnuProgsSendToStartUp_Click() {
  const std::vector<int> rows = AppLst.SelectedRows();
  if (rows.empty()) return;
  const std::string path = AppLst.Key(rows[0]);
  if (Views.frame.ClickPageButton) Views.frame.ClickPageButton("MoreTools");
  MoreToolsFrm.SSTab1.SetTab(2);
  MoreToolsFrm.RefreshMe(false);
  const int16_t row = MoreToolsFrm.SearchStartUpLV(path);
  if (row == 0) {
    // The path is the name too, so OK writes the entry at once.
    AddStartupFrm.ShowAddStartUpFrm(path, path);
    return;
  }
  ui::ListView& entries = MoreToolsFrm.StartUpLV;
  const int at = ui::ListView::FromOneBased(row);
  for (int other : entries.SelectedRows()) entries.SetSelected(other, false);
  entries.SetSelected(at, true);
  entries.SetFocusedRow(at);
  if (entries.hwnd()) SendMessageA(entries.hwnd(), LVM_ENSUREVISIBLE, at, FALSE);
}

void MainfrmForm::mnuProgsMoveToQrt_Click() {
  if (MsgBox("Terminating a program can cause undesired results including loss of data and system instability. "
             "Are you sure you want to terminate the selected program(s) and move it to the quarantine?",
             MB_YESNO | MB_ICONQUESTION) != IDYES)
    return;
  CommandScope busy(*this);
  {
    StatusScope status;
    const std::vector<std::string> paths = SelectedKeys();
    for (const std::string& path : paths) {
      SetProgress("Terminating and isolating: " + path + " ...");
      PumpAndPause(500);
      if (status.Cancelled()) break;
      if (!TerminateAndQuarantine(path))
        MsgBox("The program " + path + " can't be send to the quarantine.", MB_ICONSTOP);
    }
  }
  busy.RefreshAtEnd();
}

namespace {

bool IsMonitored(const std::string& path) {
  const std::string lower = vb::LCase(path);
  for (const auto& history : MonitoredProgHist)
    if (history && vb::LCase(history->ExtraInfo) == lower) return true;
  return false;
}

void ShowPage(const std::string& key) {
  if (Views.frame.ClickPageButton) Views.frame.ClickPageButton(key);
}

}  // namespace

// Adding stops at the first program the monitor refuses, and then the page stays.
void MainfrmForm::mnuProgsMonitorCPU_Click() {
  const std::vector<std::string> paths = SelectedKeys();
  bool added = false;
  for (const std::string& path : paths) {
    if (IsMonitored(path)) continue;
    if (!Views.procCpu.AddProcess || !Views.procCpu.AddProcess(GetFileInfoField(2, path), path, false)) return;
    added = true;
  }
  if (added) ShowPage("ProcCPU");
}

void MainfrmForm::mnuProgsInternet_Click() {
  const std::vector<std::string> paths = SelectedKeys();
  if (paths.empty()) return;
  ShowPage("ConInfo");
  ConInfoFrm.Load();
  ConInfoFrm.SSTab1.SetTab(1);
  for (const std::string& path : paths) {
    bool listed = false;
    for (int i = 0; i < ConInfoFrm.IntProgsList.ItemCount() && !listed; ++i)
      listed = vb::LCase(ConInfoFrm.IntProgsList.ItemText(i)) == vb::LCase(path);
    if (!listed) ConInfoFrm.AddIntStartProg(path);
  }
}

void MainfrmForm::mnuProgsSendToBrowsers_Click() {
  const std::vector<int> rows = AppLst.SelectedRows();
  if (rows.empty()) return;
  const std::string path = AppLst.Key(rows[0]);
  ShowPage("PopUp");
  PopUpFrm.Load();
  PopUpFrm.SSTab1.SetTab(2);
  AddBrowserFrm.ShowAddBrowserFrm(path);
}

void MainfrmForm::mnuWndsSendToWhite_Click() {
  const std::vector<int> rows = WndLst.SelectedRows();
  if (rows.empty()) return;
  const HWND window = RowWindow(rows[0]);
  ShowPage("PopUp");
  PopUpFrm.Load();
  PopUpFrm.SSTab1.SetTab(1);
  GetWndInfo(kWndFillCurWnd, WndHandleText(window));
  AddWhiteFrm.ShowAddWhiteFrm("", CurWnd.Title);
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
  StatusScope status;
  for (int row = 0; row < WndLst.ItemCount(); ++row) {
    if (WndLst.Selected(row)) {
      SetProgress("Checking: " + WndLst.ItemText(row) + " ...");
      ui::DoEvents();
      const bool answers = IsWndResponding(RowWindow(row), true);
      if (row < WndLst.ItemCount()) WndLst.SetSubItem(row, column - 1, answers ? "Responding" : "Not Responding");
    }
    if (status.Cancelled()) break;
    ui::DoEvents();
  }
}

void MainfrmForm::mnuWndClose_Click() {
  if (WndLst.SelectedRows().empty()) return;
  const int16_t column = GetColumn(1, 1);
  CommandScope busy(*this);
  // False when cancelled before a window was asked: the rows are left as they are.
  const auto closeEach = [&] {
    StatusScope status;
    std::vector<std::pair<HWND, std::string>> windows;
    for (int row : WndLst.SelectedRows()) windows.emplace_back(RowWindow(row), WndLst.ItemText(row));
    for (const auto& [window, title] : windows) {
      SetProgress("Closing: " + title + " ...");
      PumpAndPause(0);
      if (status.Cancelled()) return false;
      if (GetWndInfo(kWndResponding, WndHandleText(window)).IsTrue()) {
        BringWndToFront(window);
        CloseWnd(false, window);
        while (IsWindow(window)) {
          PumpAndPause(10);
          if (status.Cancelled()) return true;
        }
      } else {
        const int row = WndLst.FindKey("K" + WndHandleText(window));
        if (column > 0 && row >= 0) WndLst.SetSubItem(row, column - 1, "Not Responding");
        if (MsgBox("The window (" + title + ") couldn't be closed safly, would like to terminate it?",
                   MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2) == IDOK)
          CloseWnd(true, window);
      }
    }
    return true;
  };
  if (closeEach()) busy.RefreshAtEnd();
}

void MainfrmForm::WndTerminate(bool restart) {
  if (WndLst.SelectedRows().empty()) return;
  if (!Confirm(kWndKillQuestion)) return;
  CommandScope busy(*this);
  // False when cancelled before a window was ended: the rows are left as they are.
  const auto endEach = [&] {
    StatusScope status;
    std::vector<HWND> windows;
    for (int row : WndLst.SelectedRows()) windows.push_back(RowWindow(row));
    for (HWND window : windows) {
      const std::string path = GetWndInfo(kWndExePath, WndHandleText(window)).Text();
      SetProgress((restart ? "Terminating and Restarting: " : "Terminating: ") + path + " ...");
      PumpAndPause(0);
      if (status.Cancelled()) return false;
      // A declined warning or a failed end leaves the window: waiting for it to go
      // would never end, and it must not be started a second time.
      if (!CloseWnd(true, window)) continue;
      const std::string endedPath = ProcResultPath.empty() ? path : ProcResultPath;
      while (IsWindow(window)) {
        PumpAndPause(10);
        if (status.Cancelled()) return true;
      }
      if (restart) Restart(hwnd(), endedPath);
    }
    return true;
  };
  if (endEach()) busy.RefreshAtEnd();
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
    ui::PauseServingEvents(400);
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
    ui::PauseServingEvents(400);
  }
  busy.RefreshAtEnd();
}

void MainfrmForm::mnuWndShowState_Click(int showCommand) {
  for (int row : WndLst.SelectedRows()) ShowWindowAsync(RowWindow(row), showCommand);
}

void MainfrmForm::mnuWndSwitch_Click() {
  const int row = WndLst.FocusedRow() >= 0 && WndLst.Selected(WndLst.FocusedRow())
                      ? WndLst.FocusedRow()
                      : (WndLst.SelectedRows().empty() ? -1 : WndLst.SelectedRows()[0]);
  if (row < 0) return;
  const int16_t column = GetColumn(1, 1);
  HWND window = RowWindow(row);
  const bool answers = GetWndInfo(kWndResponding, WndHandleText(window)).IsTrue();
  if (answers) {
    HideView(Views.frame.form);
    BringWndToFront(window);
  } else {
    MsgBox("The window is not responding, the program can't switch to it", MB_ICONSTOP);
  }
  if (column > 0 && row < WndLst.ItemCount()) WndLst.SetSubItem(row, column - 1, answers ? "Responding" : "Not Responding");
}

void MainfrmForm::mnuWndShowForSeconds_Click() {
  if (WndLst.SelectedRows().empty()) return;
  CommandScope busy(*this);
  StatusScope status;
  ui::DoEvents();
  const int16_t column = GetColumn(1, 1);
  for (int row = 0; row < WndLst.ItemCount(); ++row) {
    if (WndLst.Selected(row)) {
      HWND window = RowWindow(row);
      const bool answers = GetWndInfo(kWndResponding, WndHandleText(window)).IsTrue();
      if (answers) {
        HideView(Views.frame.form);
        BringWndToFront(window);
        SetProgress("Showing " + WndLst.ItemText(row) + " for seconds...");
        ui::PauseServingEvents(2000, Cancelled);
        ShowInterfaceFrm();
      } else {
        MsgBox("The window is not responding, the program can't show to it", MB_ICONSTOP);
      }
      if (column > 0 && row < WndLst.ItemCount())
        WndLst.SetSubItem(row, column - 1, answers ? "Responding" : "Not Responding");
    }
    if (status.Cancelled()) break;
    ui::DoEvents();
  }
}

void MainfrmForm::mnuWndCopyNameHandle_Click() {
  std::string text;
  for (int row : WndLst.SelectedRows()) {
    HWND window = RowWindow(row);
    GetWndInfo(kWndFillCurWnd, WndHandleText(window));
    if (!text.empty()) text += "\r\n";
    text += ModProgInfo::TrimAtNull(CurWnd.Title) + " [" + WndHandleText(window) + "]";
  }
  ui::SetClipboardText(hwnd(), text);
}
