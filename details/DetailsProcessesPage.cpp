#include "DetailsProcessesPage.h"

#include <tlhelp32.h>

#include <vector>

#include "DetailsFrm.h"
#include "ListColumns.h"
#include "ModMain.h"
#include "ModMainPlatform.h"
#include "ModStartupPlatform.h"
#include "ModProgInfo.h"
#include "OwnedHandle.h"
#include "ModSettings.h"
#include "VbRules.h"

namespace {

const char* const kCommandKeys[3] = {"Increase Priority", "Decrease Priority", "Terminate Process"};

bool SamePath(const std::string& a, const std::string& b) { return vb::UCase(a) == vb::UCase(b); }

// The image path of a process, read through its modules.
std::string ImagePathOfProcess(DWORD processId) {
  std::string path;
  if (const OwnedHandle process{OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId)})
    path = ProcessImagePath(process.get());
  if (!path.empty()) return path;
  const OwnedHandle modules(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId));
  if (!modules) return "";
  MODULEENTRY32 module = {};
  module.dwSize = sizeof module;
  if (Module32First(modules.get(), &module)) path = module.szExePath;
  return path;
}

}  // namespace

DetailsProcessesPage::DetailsProcessesPage(DetailsFrmForm& form, ui::Container& frame)
    : Label1(form, {0, 0, 624, 32},
             "Each program may have several running instances, these instances are called processes. The following "
             "is a list of processes owned by the specified program:"),
      Toolbar1(form, {0, 34, 624, 28}, false, {150, 26}),
      ProcLst(form, {0, 66, 624, 262}),
      form_(form) {
  for (ui::Control* c : std::initializer_list<ui::Control*>{&Label1, &Toolbar1, &ProcLst}) c->SetContainer(frame);
  Toolbar1.Add("Increase Priority", "Increase Priority", "Increase the priority of the selected process");
  Toolbar1.Add("Decrease Priority", "Decrease Priority", "Decrease the priority of the selected process");
  Toolbar1.Add("Terminate Process", "Terminate Process", "Terminate the selected process");
  Toolbar1.SetDropDown("Increase Priority", true);
  Toolbar1.ButtonClick = [this](int, const std::string& key) { Toolbar1_ButtonClick(key); };
  Toolbar1.DropDown = [this](int, const std::string&) { Toolbar1_ButtonDropDown(); };
  mnuPriority = &PriorityMenu.Add("Priority");
  const char* priorityCaptions[4] = {"&Idle", "&Normal", "&High", "&RealTime"};
  for (int k = 1; k <= 4; ++k) mnuPriority->Add(priorityCaptions[k - 1]).Click = [this, k] { mnuPriority_Click(k); };
}

void DetailsProcessesPage::Form_Load() {
  SetFlatToolbar(Toolbar1.hwnd());
  CreateProcColumns(IsWinNTFlag);
}

void DetailsProcessesPage::CreateProcColumns(bool windowsNT) {
  ProcLst.ClearColumns();
  for (const ListColumn& c : ListColumns(ColumnList::kDetailsProcesses, windowsNT))
    ProcLst.AddColumn(c.key, c.title, kDetailsColumnWidth);
}

// Mode 3 writes the rows only while DetailsRefreshing is set.
void DetailsProcessesPage::FillInstances(DWORD keep) {
  {
    ui::ListView::RedrawGuard guard(ProcLst);
    DetailsRefreshing = true;
    DoProcessListOp(kProcDetailsInstances, form_.CurrentPath);
    DetailsRefreshing = false;
  }
  if (ProcLst.ItemCount() == 0) return;
  int row = keep ? ProcLst.FindItem(std::to_string(keep)) : -1;
  if (row < 0) row = 0;
  ProcLst.SetSelected(row, true);
  ProcLst.SetFocusedRow(row);
}

void DetailsProcessesPage::EnableCommands(bool enabled) {
  for (const char* key : kCommandKeys) Toolbar1.SetButtonEnabled(key, enabled);
}

DWORD DetailsProcessesPage::SelectedId() const {
  const std::vector<int> rows = ProcLst.SelectedRows();
  return rows.empty() ? 0 : static_cast<DWORD>(vb::Val(ProcLst.ItemText(rows.front())));
}

DWORD DetailsProcessesPage::SelectedOwnProcess() const {
  if (form_.CurrentPath.empty()) return 0;
  const DWORD pid = SelectedId();
  // The id may have ended and been given to another program since the fill.
  if (!pid || !SamePath(ImagePathOfProcess(pid), form_.CurrentPath)) return 0;
  return pid;
}

int DetailsProcessesPage::PriorityColumn() const {
  return ColumnIndexOf(ColumnList::kDetailsProcesses, IsWinNTFlag, kDetProcPriority);
}

void DetailsProcessesPage::SetSelectedPriority(int step, int position) {
  const DWORD pid = SelectedOwnProcess();
  const OwnedHandle process(pid ? OpenProcess(PROCESS_SET_INFORMATION, FALSE, pid) : nullptr);
  if (process) {
    int target = -1;
    if (position >= 1 && position <= 4) {
      target = position - 1;
    } else {
      const std::vector<int> rows = ProcLst.SelectedRows();
      const std::string name = ProcLst.SubItem(rows.front(), PriorityColumn());
      int at = -1;
      for (int i = 0; i < 4; ++i)
        if (GetPriorityName(PriorityClasses[i]) == name) at = i;
      if (at >= 0 && at + step >= 0 && at + step <= 3) target = at + step;
    }
    if (target >= 0) SetPriorityClass(process.get(), static_cast<DWORD>(PriorityClasses[target]));
  }
  form_.RefFrm(form_.CurrentPath, false);
}

void DetailsProcessesPage::Toolbar1_ButtonClick(const std::string& key) {
  if (key == "Increase Priority") return SetSelectedPriority(1, 0);
  if (key == "Decrease Priority") return SetSelectedPriority(-1, 0);
  if (key != "Terminate Process") return;
  const DWORD pid = SelectedOwnProcess();
  if (pid) {
    if (ProcWarn && MsgBox("Are you sure you want to terminate the selected process?", MB_YESNO | MB_ICONQUESTION,
                           form_.hwnd()) == IDNO)
      return;
    // This very process: the walker's cache may predate it or hold a reused id.
    if (const OwnedHandle process{OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid)})
      if (TerminateProcess(process.get(), 0)) ui::WaitServingEvents(process.get(), 2000);
  }
  form_.RefFrm(form_.CurrentPath, false);
}

void DetailsProcessesPage::Toolbar1_ButtonDropDown() {
  RECT button = Toolbar1.ButtonRect(Toolbar1.IndexOf("Increase Priority"));
  POINT at = {button.left, button.bottom};
  ClientToScreen(Toolbar1.hwnd(), &at);
  PriorityMenu.Popup(form_, *mnuPriority, at);
}

void DetailsProcessesPage::mnuPriority_Click(int position) { SetSelectedPriority(0, position); }
