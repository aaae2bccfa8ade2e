#include "OptionsPopUpTab.h"

#include "FileChoice.h"
#include "ModMain.h"
#include "ModMainPlatform.h"
#include "ModSettings.h"
#include "OptionsFields.h"
#include "TabPages.h"
#include "ViewBindings.h"

using namespace optionfields;

OptionsPopUpTab::OptionsPopUpTab(ui::Window& form, ui::Container& page)
    : PopPlaySndChk(form, {12, 34, 400, 20}, "Play sound file when a pop-up is detected"),
      PopPlaySndFileTxt(form, {12, 58, 400, 20}),
      BrowseBtn(form, {420, 56, 80, 24}, "Browse"),
      IEFram(form, {12, 92, 596, 120}, "Special Settings for Microsoft Internet Explorer only"),
      BlockDialogChk(form, {10, 22, 300, 20}, "Block Dialog pop-ups"),
      BlockModeLbl(form, {10, 46, 200, 18}, "Blocking Mode:"),
      BlockModeOpt0(form, {20, 66, 460, 20}, "Aggressive Mode : Close any pop-up", true),
      BlockModeOpt1(form, {20, 90, 460, 20}, "Intelligent Mode: Don't interfere with normal navigation"),
      Label9(form, {12, 222, 596, 32},
             "In order to change other Latchkey settings, double click the desired browser in Browser List in "
             "Latchkey."),
      form_(form) {
  for (ui::Control* c : std::initializer_list<ui::Control*>{&PopPlaySndChk, &PopPlaySndFileTxt, &BrowseBtn, &IEFram,
                                                             &Label9})
    c->SetContainer(page);
  for (ui::Control* c : std::initializer_list<ui::Control*>{&BlockDialogChk, &BlockModeLbl, &BlockModeOpt0,
                                                             &BlockModeOpt1})
    c->SetContainer(IEFram);
  BrowseBtn.Click = [this] { BrowseBtn_Click(); };
  Label9.MouseUp = [this](int button, int, int, int) {
    if (button == 1) Label9_Click();
  };
}

void OptionsPopUpTab::Load() {
  PopPlaySndChk.SetValue(PopPlaySnd != 0);
  PopPlaySndFileTxt.SetText(PopPlaySndFile);
  BlockDialogChk.SetValue(BlockDialog != 0);
  SelectOption([this](int i) -> ui::OptionButton& { return BlockModeOpt(i); }, 2, BlockMode, 1);
}

void OptionsPopUpTab::Store() {
  PopPlaySnd = Flag(PopPlaySndChk);
  PopPlaySndFile = PopPlaySndFileTxt.Text();
  BlockDialog = Flag(BlockDialogChk);
  BlockMode = BlockModeOpt0.Value() ? 0 : 1;
}

void OptionsPopUpTab::BrowseBtn_Click() {
  FileChoice choice;
  choice.filter = "Wave Files (*.wav)|*.wav|All files (*.*)|*.*";
  choice.title = "Browse";
  choice.initialFolder = AppPath() + "\\sounds";
  if (auto file = ChooseFileToOpen(form_.hwnd(), choice)) PopPlaySndFileTxt.SetText(*file);
}

void OptionsPopUpTab::Label9_Click() {
  // The page shows with the frame; its contents follow the click.
  PageRefreshesLater later;
  ShowInterfaceFrm();
  if (Views.frame.ClickPageButton) Views.frame.ClickPageButton("PopUp");
  if (Views.popUpPage.SSTab1) Views.popUpPage.SSTab1->SetTab(2);
}
