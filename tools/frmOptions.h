// The options dialog: the option globals in seven tabs, checked before they are
// stored, with OK, Apply, Cancel and Default.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Container.h"
#include "Controls.h"
#include "ImageList.h"
#include "ListView.h"
#include "TabPages.h"
#include "Window.h"

// A hot-key character field: one letter or digit, the only characters whose code is
// also their key code.
class HotKeyCharBox : public ui::TextBox {
 public:
  HotKeyCharBox(ui::Window& owner, ui::Bounds bounds) : TextBox(owner, bounds) {}
  std::function<void()> LostFocus;

 protected:
  LRESULT ControlProc(UINT msg, WPARAM wp, LPARAM lp) override;
};

class frmOptionsForm : public ui::Window {
 public:
  frmOptionsForm();

  // Tabs: General, Programs, Windows, Task Manager Lists, Tracker Bar, Internet
  // Monitor, Pop-up blocker.
  ui::TabPages SSTab1;
  ui::Button cmdOK, cmdCancel, cmdApply, DefaultBtn, HelpBtn;

  // General
  // (Declared in reading order: Tab walks the controls in the order they are made.)
  ui::CheckBox ChkStartUp, ChkSplashAtStartUp, Check1;
  ui::Frame HKFram0;
  ui::CheckBox chkShift0, chkAlt0, chkCtrl0;
  ui::Label CharLbl0;
  HotKeyCharBox txtCharCode0;
  ui::CheckBox Check2;
  ui::Frame HKFram1;
  ui::CheckBox chkShift1, chkAlt1, chkCtrl1;
  ui::Label CharLbl1;
  HotKeyCharBox txtCharCode1;
  ui::Frame HistoryFram;
  ui::Label SecLogLbl;
  ui::TextBox txtSecLogData;
  ui::Label NumLogLbl;
  ui::TextBox txtNumLogData;

  // Programs. Special programs: text = path, sub-item 1 = the action's caption, icon =
  // the stored mark (1 enabled, 2 disabled), tag = the stored action code.
  ui::Label SProgsLbl;
  ui::ListView SProgsList;
  ui::Button AddBtn, ChangeBtn, RemoveBtn, EnableBtn;
  ui::CheckBox ProcWarnChk, HideSysProcChk;

  // Windows
  ui::CheckBox HideWndChk;
  ui::Frame WndDisplayFram;
  ui::OptionButton WndDisplayOpt0, WndDisplayOpt1, WndDisplayOpt2, WndDisplayOpt3;

  // Task Manager Lists
  ui::Frame AppListFram, WndListFram;
  std::vector<std::unique_ptr<ui::CheckBox>> AppListChks, WndListChks;

  // Tracker Bar
  ui::Label TrackerLbl;
  ui::ListView TrackerItemsLV;
  ui::Button ShiftItemBtn0, ShiftItemBtn1;
  ui::Label LowResLbl, LowResLbl0, LowResLbl1;
  ui::TextBox txtLowRes0, txtLowRes1;

  // Internet Monitor
  ui::Label CostLbl0, CostLbl1, CostLbl2;
  ui::TextBox EveryXSecondsTxt;
  ui::Label CurrncSymbLbl0;
  ui::TextBox CostOfXSecondTxt;
  ui::Label CurrncSymbLbl1;
  ui::TextBox ExtraCostTxt;
  ui::OptionButton LANConOpt0, LANConOpt1;

  // Pop-up blocker
  ui::CheckBox PopPlaySndChk;
  ui::TextBox PopPlaySndFileTxt;
  ui::Button BrowseBtn;
  ui::Frame IEFram;
  ui::CheckBox BlockDialogChk;
  ui::Label BlockModeLbl;
  ui::OptionButton BlockModeOpt0, BlockModeOpt1;
  ui::Label Label9;

  ui::ImageList SProgIcons;

  ui::OptionButton& LANConOpt(int index) { return index == 0 ? LANConOpt0 : LANConOpt1; }
  ui::OptionButton& WndDisplayOpt(int index);
  ui::OptionButton& BlockModeOpt(int index) { return index == 0 ? BlockModeOpt0 : BlockModeOpt1; }
  ui::CheckBox& chkShift(int index) { return index == 0 ? chkShift0 : chkShift1; }
  ui::CheckBox& chkAlt(int index) { return index == 0 ? chkAlt0 : chkAlt1; }
  ui::CheckBox& chkCtrl(int index) { return index == 0 ? chkCtrl0 : chkCtrl1; }
  ui::TextBox& txtCharCode(int index) { return index == 0 ? txtCharCode0 : txtCharCode1; }
  ui::Frame& HKFram(int index) { return index == 0 ? HKFram0 : HKFram1; }
  ui::TextBox& txtLowRes(int index) { return index == 0 ? txtLowRes0 : txtLowRes1; }
  ui::Label& CurrncSymbLbl(int index) { return index == 0 ? CurrncSymbLbl0 : CurrncSymbLbl1; }
  ui::Button& ShiftItemBtn(int index) { return index == 0 ? ShiftItemBtn0 : ShiftItemBtn1; }
  ui::CheckBox& AppListChk(int index) { return *AppListChks.at(index); }
  ui::CheckBox& WndListChk(int index) { return *WndListChks.at(index); }

  void SeperateModifiers();
  void CollectModifiers();
  void ChkBtnsEnbl();
  // True when a check failed and its message was shown.
  bool CheckErrors();
  bool IsValue(const std::string& text);
  static std::string TrackerName(int32_t kind);
  // True when the dialog stays open (a check failed, or a refused hot key is to be changed).
  bool ApplySettings();
  // The lists refreshed in full after options were stored.
  void RefreshLists();

  // The value of a cost field: its leading number, "." or "," as the separator.
  static double CostValue(const std::string& text);

  // Handlers
  void cmdOK_Click();
  void cmdCancel_Click();
  void cmdApply_Click();
  void DefaultBtn_Click();
  void HelpBtn_Click();
  void Check1_Click();
  void Check2_Click();
  void txtCharCode_LostFocus(int index);
  void ShiftItemBtn_Click(int index);
  void BrowseBtn_Click();
  void Label9_Click();
  void AddBtn_Click();
  void ChangeBtn_Click();
  void RemoveBtn_Click();
  void EnableBtn_Click();
  void SProgsList_ColumnClick(int column);

 protected:
  void Form_Load() override;
  void Form_KeyDown(int& keyCode, int shift) override;

 private:
  // Runs one button's work unless another of the dialog's handlers is running: a
  // refresh's event pump may deliver a click in the middle of one.
  template <typename Work>
  void Exclusive(Work work);
  void RefillCharCode(int index);
  void FailCheck(const std::string& message, int tab, ui::TextBox* field, bool selectAll);
  bool sortAscending_ = true;
  bool busy_ = false;
  bool stored_ = false;  // the last ApplySettings stored the options
};

extern frmOptionsForm frmOptions;

// The dialog as its openers show it: on the tab given (-1 keeps the one loading selects).
void ShowOptions(int tab = -1);
