// The options dialog: the option globals in seven tabs, checked before they are
// stored, with OK, Apply, Cancel and Default. Each tab is a class of its own that
// shows and stores its options; the dialog holds the tab strip, the buttons, the
// checks that span the tabs and the order in which the options are stored.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Controls.h"
#include "ListView.h"
#include "OptionsGeneralTab.h"
#include "OptionsInternetTab.h"
#include "OptionsListsTab.h"
#include "OptionsPopUpTab.h"
#include "OptionsProgramsTab.h"
#include "OptionsTrackerTab.h"
#include "OptionsWindowsTab.h"
#include "TabPages.h"
#include "Window.h"

class frmOptionsForm : public ui::Window {
 public:
  frmOptionsForm();

  // Tabs: General, Programs, Windows, Task Manager Lists, Tracker Bar, Internet
  // Monitor, Pop-up blocker.
  ui::TabPages SSTab1;
  ui::Button cmdOK, cmdCancel, cmdApply, DefaultBtn, HelpBtn;

  // The tabs, made in tab order: Tab walks the controls in the order they are made.
  OptionsGeneralTab General;
  OptionsProgramsTab Programs;
  OptionsWindowsTab Windows;
  OptionsListsTab Lists;
  OptionsTrackerTab Tracker;
  OptionsInternetTab Internet;
  OptionsPopUpTab PopUp;

  // True when a check failed and its message was shown.
  bool CheckErrors();
  // True when the dialog stays open (a check failed, or a refused hot key is to be changed).
  bool ApplySettings();
  // The lists refreshed in full after options were stored.
  void RefreshLists();

  void cmdOK_Click();
  void cmdCancel_Click();
  void cmdApply_Click();
  void DefaultBtn_Click();
  void HelpBtn_Click();

  // ---- The dialog's names as its callers know them, kept on the form.
  // General
  ui::CheckBox &ChkStartUp = General.ChkStartUp, &ChkSplashAtStartUp = General.ChkSplashAtStartUp,
               &Check1 = General.Check1, &Check2 = General.Check2;
  ui::Frame &HKFram0 = General.HKFram0, &HKFram1 = General.HKFram1, &HistoryFram = General.HistoryFram;
  ui::CheckBox &chkShift0 = General.chkShift0, &chkAlt0 = General.chkAlt0, &chkCtrl0 = General.chkCtrl0;
  ui::CheckBox &chkShift1 = General.chkShift1, &chkAlt1 = General.chkAlt1, &chkCtrl1 = General.chkCtrl1;
  ui::Label &CharLbl0 = General.CharLbl0, &CharLbl1 = General.CharLbl1;
  HotKeyCharBox &txtCharCode0 = General.txtCharCode0, &txtCharCode1 = General.txtCharCode1;
  ui::Label &SecLogLbl = General.SecLogLbl, &NumLogLbl = General.NumLogLbl;
  ui::TextBox &txtSecLogData = General.txtSecLogData, &txtNumLogData = General.txtNumLogData;
  ui::CheckBox& chkShift(int index) { return General.chkShift(index); }
  ui::CheckBox& chkAlt(int index) { return General.chkAlt(index); }
  ui::CheckBox& chkCtrl(int index) { return General.chkCtrl(index); }
  ui::TextBox& txtCharCode(int index) { return General.txtCharCode(index); }
  ui::Frame& HKFram(int index) { return General.HKFram(index); }
  void SeperateModifiers() { General.SeperateModifiers(); }
  void CollectModifiers() { General.CollectModifiers(); }
  void Check1_Click() { General.Check1_Click(); }
  void Check2_Click() { General.Check2_Click(); }
  void txtCharCode_LostFocus(int index) { General.txtCharCode_LostFocus(index); }
  // Programs
  ui::Label& SProgsLbl = Programs.SProgsLbl;
  ui::ListView& SProgsList = Programs.SProgsList;
  ui::Button &AddBtn = Programs.AddBtn, &ChangeBtn = Programs.ChangeBtn, &RemoveBtn = Programs.RemoveBtn,
             &EnableBtn = Programs.EnableBtn;
  ui::CheckBox &ProcWarnChk = Programs.ProcWarnChk, &HideSysProcChk = Programs.HideSysProcChk;
  void ChkBtnsEnbl() { Programs.ChkBtnsEnbl(); }
  void AddBtn_Click() { Programs.AddBtn_Click(); }
  void ChangeBtn_Click() { Programs.ChangeBtn_Click(); }
  void RemoveBtn_Click() { Programs.RemoveBtn_Click(); }
  void EnableBtn_Click() { Programs.EnableBtn_Click(); }
  void SProgsList_ColumnClick(int column) { Programs.SProgsList_ColumnClick(column); }
  // Windows
  ui::CheckBox& HideWndChk = Windows.HideWndChk;
  ui::Frame& WndDisplayFram = Windows.WndDisplayFram;
  ui::OptionButton &WndDisplayOpt0 = Windows.WndDisplayOpt0, &WndDisplayOpt1 = Windows.WndDisplayOpt1,
                   &WndDisplayOpt2 = Windows.WndDisplayOpt2, &WndDisplayOpt3 = Windows.WndDisplayOpt3;
  ui::OptionButton& WndDisplayOpt(int index) { return Windows.WndDisplayOpt(index); }
  // Task Manager Lists
  ui::Frame &AppListFram = Lists.AppListFram, &WndListFram = Lists.WndListFram;
  std::vector<std::unique_ptr<ui::CheckBox>>&AppListChks = Lists.AppListChks, &WndListChks = Lists.WndListChks;
  ui::CheckBox& AppListChk(int index) { return Lists.AppListChk(index); }
  ui::CheckBox& WndListChk(int index) { return Lists.WndListChk(index); }
  // Tracker Bar
  ui::Label& TrackerLbl = Tracker.TrackerLbl;
  ui::ListView& TrackerItemsLV = Tracker.TrackerItemsLV;
  ui::Button &ShiftItemBtn0 = Tracker.ShiftItemBtn0, &ShiftItemBtn1 = Tracker.ShiftItemBtn1;
  ui::Label &LowResLbl = Tracker.LowResLbl, &LowResLbl0 = Tracker.LowResLbl0, &LowResLbl1 = Tracker.LowResLbl1;
  ui::TextBox &txtLowRes0 = Tracker.txtLowRes0, &txtLowRes1 = Tracker.txtLowRes1;
  ui::TextBox& txtLowRes(int index) { return Tracker.txtLowRes(index); }
  ui::Button& ShiftItemBtn(int index) { return Tracker.ShiftItemBtn(index); }
  static std::string TrackerName(int32_t kind) { return OptionsTrackerTab::TrackerName(kind); }
  void ShiftItemBtn_Click(int index) { Tracker.ShiftItemBtn_Click(index); }
  // Internet Monitor
  ui::Label &CostLbl0 = Internet.CostLbl0, &CostLbl1 = Internet.CostLbl1, &CostLbl2 = Internet.CostLbl2;
  ui::TextBox &EveryXSecondsTxt = Internet.EveryXSecondsTxt, &CostOfXSecondTxt = Internet.CostOfXSecondTxt,
              &ExtraCostTxt = Internet.ExtraCostTxt;
  ui::Label &CurrncSymbLbl0 = Internet.CurrncSymbLbl0, &CurrncSymbLbl1 = Internet.CurrncSymbLbl1;
  ui::OptionButton &LANConOpt0 = Internet.LANConOpt0, &LANConOpt1 = Internet.LANConOpt1;
  ui::OptionButton& LANConOpt(int index) { return Internet.LANConOpt(index); }
  ui::Label& CurrncSymbLbl(int index) { return Internet.CurrncSymbLbl(index); }
  static double CostValue(const std::string& text) { return OptionsInternetTab::CostValue(text); }
  bool IsValue(const std::string& text) { return OptionsInternetTab::IsValue(text); }
  // Pop-up blocker
  ui::CheckBox& PopPlaySndChk = PopUp.PopPlaySndChk;
  ui::TextBox& PopPlaySndFileTxt = PopUp.PopPlaySndFileTxt;
  ui::Button& BrowseBtn = PopUp.BrowseBtn;
  ui::Frame& IEFram = PopUp.IEFram;
  ui::CheckBox& BlockDialogChk = PopUp.BlockDialogChk;
  ui::Label& BlockModeLbl = PopUp.BlockModeLbl;
  ui::OptionButton &BlockModeOpt0 = PopUp.BlockModeOpt0, &BlockModeOpt1 = PopUp.BlockModeOpt1;
  ui::Label& Label9 = PopUp.Label9;
  ui::OptionButton& BlockModeOpt(int index) { return PopUp.BlockModeOpt(index); }
  void BrowseBtn_Click() { PopUp.BrowseBtn_Click(); }
  void Label9_Click() { PopUp.Label9_Click(); }

 protected:
  void Form_Load() override;
  void Form_KeyDown(int& keyCode, int shift) override;

 private:
  // Runs one button's work unless another of the dialog's handlers is running: a
  // refresh's event pump may deliver a click in the middle of one.
  template <typename Work>
  void Exclusive(Work work);
  void FailCheck(const std::string& message, int tab, ui::TextBox* field, bool selectAll);
  bool busy_ = false;
  bool stored_ = false;  // the last ApplySettings stored the options
};

extern frmOptionsForm frmOptions;

// The dialog as its openers show it: on the tab given (-1 keeps the one loading selects).
void ShowOptions(int tab = -1);
