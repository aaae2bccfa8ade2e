// The report window's find dialog: it edits the search options, which outlast it in
// the core module's globals, and starts the search of the report.
#pragma once
#include "Container.h"
#include "Controls.h"
#include "ToolTip.h"
#include "Window.h"

class frmFindForm : public ui::Window {
 public:
  frmFindForm();

  ui::Label Label1;
  ui::TextBox Text1;
  ui::Frame Frame1;
  ui::OptionButton optDirection0, optDirection1;
  ui::OptionButton* optDirection[2];
  ui::CheckBox chkCase;
  ui::Button cmdFind, cmdcancel;
  ui::ToolTip Tips;

  void Text1_Change();
  void chkCase_Click();
  void optDirection_Click(int index);
  void cmdFind_Click();
  void cmdcancel_Click();

 protected:
  void Form_Load() override;
  void Form_Unload(bool& cancel) override;
};

extern frmFindForm frmFind;

// Searches the report for FindText from its caret with the stored options: a hit is
// selected, no hit says "Cannot find" on the main frame.
void FindInLog();
