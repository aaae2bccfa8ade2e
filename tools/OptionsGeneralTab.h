// The options dialog's General tab: start-up, the two hot keys and the history's
// recording figures.
#pragma once
#include <functional>

#include "Container.h"
#include "Controls.h"
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

class OptionsGeneralTab {
 public:
  OptionsGeneralTab(ui::Window& form, ui::Container& page);

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

  ui::CheckBox& chkShift(int index) { return index == 0 ? chkShift0 : chkShift1; }
  ui::CheckBox& chkAlt(int index) { return index == 0 ? chkAlt0 : chkAlt1; }
  ui::CheckBox& chkCtrl(int index) { return index == 0 ? chkCtrl0 : chkCtrl1; }
  ui::TextBox& txtCharCode(int index) { return index == 0 ? txtCharCode0 : txtCharCode1; }
  ui::Frame& HKFram(int index) { return index == 0 ? HKFram0 : HKFram1; }

  // Once the controls exist: number fields, lengths and upper-case letters.
  void Prepare();
  // Shows the option globals.
  void Load();
  // Stores the tab's options in the globals.
  void Store();
  // An empty character field gets its key's default letter back.
  void RefillCharCode(int index);

  void SeperateModifiers();
  void CollectModifiers();

  void Check1_Click();
  void Check2_Click();
  void txtCharCode_LostFocus(int index);
};
