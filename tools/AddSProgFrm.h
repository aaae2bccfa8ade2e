// The dialog that adds or changes one special program of the options dialog's list.
#pragma once
#include <string>
#include <vector>

#include "Container.h"
#include "Controls.h"
#include "Window.h"

class AddSProgFrmForm : public ui::Window {
 public:
  AddSProgFrmForm();

  ui::Frame PathFram;
  ui::TextBox SProgTxt;
  ui::Button BrowseBtn;
  ui::Frame ActionFram;
  ui::OptionButton SProgOpt0, SProgOpt1, SProgOpt2;
  ui::Button cmdOK, cmdCancel, cmdApply;

  ui::OptionButton& SProgOpt(int index);
  // The caption of the selected action, empty when none is selected.
  std::string GetSelectedOptText();

  // Opens the dialog over the options dialog, which takes no input until it goes.
  void OpenToAdd();
  // On the options list's row with this id.
  void OpenToChange(int rowId);

  void BrowseBtn_Click();
  void cmdApply_Click();
  void cmdOK_Click();
  void cmdCancel_Click();
  void SProgOpt_Click();
  void SProgTxt_Change();

 protected:
  void Form_Load() override;
  void Form_Unload(bool& cancel) override;

 private:
  void Open(const std::string& caption, const std::string& path, int action);
  // Apply's work; false when it refused the entry and the dialog must stay.
  bool ApplyEntry();
  int editedRow_ = 0;  // id of the row being changed; 0 while adding
};

extern AddSProgFrmForm AddSProgFrm;
