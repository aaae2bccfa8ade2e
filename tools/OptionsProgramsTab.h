// The options dialog's Programs tab: the special programs and the process list's
// options.
#pragma once
#include "Container.h"
#include "Controls.h"
#include "ImageList.h"
#include "ListView.h"
#include "Window.h"

class OptionsProgramsTab {
 public:
  OptionsProgramsTab(ui::Window& form, ui::Container& page);

  ui::Label SProgsLbl;
  // Special programs: text = path, sub-item 1 = the action's caption, icon = the
  // stored mark (1 enabled, 2 disabled), tag = the stored action code.
  ui::ListView SProgsList;
  ui::Button AddBtn, ChangeBtn, RemoveBtn, EnableBtn;
  ui::CheckBox ProcWarnChk, HideSysProcChk;
  ui::ImageList SProgIcons;

  void Prepare();
  // Shows the option globals; the stored special programs fill the list.
  void Load();
  // Stores the tab's options; the special programs' old stored rows go.
  void Store();
  // Empties the list, as the defaults have no special programs.
  void Clear() { SProgsList.Clear(); }

  void ChkBtnsEnbl();
  void AddBtn_Click();
  void ChangeBtn_Click();
  void RemoveBtn_Click();
  void EnableBtn_Click();
  void SProgsList_ColumnClick(int column);

 private:
  bool sortAscending_ = true;
};
