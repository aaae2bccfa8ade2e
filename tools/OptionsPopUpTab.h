// The options dialog's Pop-up blocker tab: the sound played on a pop-up and the
// browser's dialog blocking.
#pragma once
#include "Container.h"
#include "Controls.h"
#include "Window.h"

class OptionsPopUpTab {
 public:
  OptionsPopUpTab(ui::Window& form, ui::Container& page);

  ui::CheckBox PopPlaySndChk;
  ui::TextBox PopPlaySndFileTxt;
  ui::Button BrowseBtn;
  ui::Frame IEFram;
  ui::CheckBox BlockDialogChk;
  ui::Label BlockModeLbl;
  ui::OptionButton BlockModeOpt0, BlockModeOpt1;
  ui::Label Label9;

  ui::OptionButton& BlockModeOpt(int index) { return index == 0 ? BlockModeOpt0 : BlockModeOpt1; }

  void Load();
  void Store();

  void BrowseBtn_Click();
  void Label9_Click();

 private:
  ui::Window& form_;
};
