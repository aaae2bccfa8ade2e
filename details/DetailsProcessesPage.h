// The processes page of the details window: the running instances of the program,
// with commands that change the selected one's priority or end it.
#pragma once
#include <windows.h>

#include <string>

#include "ButtonBar.h"
#include "Container.h"
#include "Controls.h"
#include "ListView.h"
#include "Menu.h"

class DetailsFrmForm;

class DetailsProcessesPage {
 public:
  DetailsProcessesPage(DetailsFrmForm& form, ui::Container& frame);

  ui::Label Label1;
  // "Increase Priority" (its arrow drops the priority classes), "Decrease Priority",
  // "Terminate Process".
  ui::ButtonBar Toolbar1;
  ui::Menu PriorityMenu;
  ui::MenuItem* mnuPriority = nullptr;  // "&Idle", "&Normal", "&High", "&RealTime"
  ui::ListView ProcLst;

  void Form_Load();
  // Mode 3 writes the rows; the first row is selected, or the instance with the id
  // kept when the same program is shown again.
  void FillInstances(DWORD keep);
  // The id in the selected row, 0 when none is selected.
  DWORD SelectedId() const;
  // The process of the selected row while it still runs the program shown; 0 otherwise.
  DWORD SelectedOwnProcess() const;
  void EnableCommands(bool enabled);

  void Toolbar1_ButtonClick(const std::string& key);
  void Toolbar1_ButtonDropDown();
  void mnuPriority_Click(int position);  // 1 to 4

 private:
  void CreateProcColumns(bool windowsNT);
  void SetSelectedPriority(int step, int position);
  int PriorityColumn() const;

  DetailsFrmForm& form_;
};
