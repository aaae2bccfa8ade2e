#include "OptionsGeneralTab.h"

#include <cctype>
#include <string>

#include "ModMain.h"
#include "ModSettings.h"
#include "OptionsFields.h"

using namespace optionfields;

namespace {

const char kDefaultLetters[2] = {'E', 'D'};

bool IsHotKeyChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) && static_cast<unsigned char>(c) < 128; }

}  // namespace

LRESULT HotKeyCharBox::ControlProc(UINT msg, WPARAM wp, LPARAM lp) {
  // Control characters (Backspace, Ctrl+V ...) keep their meaning; anything else
  // that is no letter or digit would register some other key.
  if (msg == WM_CHAR && wp >= 32 && !IsHotKeyChar(static_cast<char>(wp))) {
    MessageBeep(MB_OK);
    return 0;
  }
  if (msg == WM_PASTE) return 0;
  const LRESULT result = TextBox::ControlProc(msg, wp, lp);
  if (msg == WM_KILLFOCUS && LostFocus) LostFocus();
  return result;
}

OptionsGeneralTab::OptionsGeneralTab(ui::Window& form, ui::Container& page)
    : ChkStartUp(form, {12, 34, 300, 20}, "Run Quillon at Startup of Windows"),
      ChkSplashAtStartUp(form, {12, 56, 300, 20}, "Display Splash Screen at start up"),
      Check1(form, {12, 80, 300, 20}, "Quillon Hot Key"),
      HKFram0(form, {12, 100, 596, 62}, "The Hot-Key that when pressed, the Main Window appears."),
      chkShift0(form, {10, 30, 70, 20}, "SHIFT"),
      chkAlt0(form, {90, 30, 70, 20}, "ALT"),
      chkCtrl0(form, {170, 30, 70, 20}, "CTRL"),
      CharLbl0(form, {260, 32, 60, 18}, "Character:"),
      txtCharCode0(form, {324, 30, 30, 20}),
      Check2(form, {12, 166, 300, 20}, "\"Terminate and Restart\" Hot Key"),
      HKFram1(form, {12, 186, 596, 76},
              "When this Hotkey key is pressed, Quillon will immediately terminate and restart the program that "
              "owns the window that the mouse is over."),
      chkShift1(form, {10, 44, 70, 20}, "SHIFT"),
      chkAlt1(form, {90, 44, 70, 20}, "ALT"),
      chkCtrl1(form, {170, 44, 70, 20}, "CTRL"),
      CharLbl1(form, {260, 46, 60, 18}, "Character:"),
      txtCharCode1(form, {324, 44, 30, 20}),
      HistoryFram(form, {12, 268, 596, 72}, "Processes and Windows History"),
      SecLogLbl(form, {10, 22, 260, 18}, "Record Data every (in seconds) : "),
      txtSecLogData(form, {280, 20, 40, 20}),
      NumLogLbl(form, {10, 46, 260, 18}, "Maximum lines of Recorder Logged Data : "),
      txtNumLogData(form, {280, 44, 40, 20}) {
  for (ui::Control* c : std::initializer_list<ui::Control*>{&ChkStartUp, &ChkSplashAtStartUp, &Check1, &HKFram0,
                                                             &Check2, &HKFram1, &HistoryFram})
    c->SetContainer(page);
  for (ui::Control* c : std::initializer_list<ui::Control*>{&chkShift0, &chkAlt0, &chkCtrl0, &CharLbl0, &txtCharCode0})
    c->SetContainer(HKFram0);
  for (ui::Control* c : std::initializer_list<ui::Control*>{&chkShift1, &chkAlt1, &chkCtrl1, &CharLbl1, &txtCharCode1})
    c->SetContainer(HKFram1);
  for (ui::Control* c : std::initializer_list<ui::Control*>{&SecLogLbl, &txtSecLogData, &NumLogLbl, &txtNumLogData})
    c->SetContainer(HistoryFram);

  Check1.Click = [this] { Check1_Click(); };
  Check2.Click = [this] { Check2_Click(); };
  txtCharCode0.LostFocus = [this] { txtCharCode_LostFocus(0); };
  txtCharCode1.LostFocus = [this] { txtCharCode_LostFocus(1); };
}

void OptionsGeneralTab::Prepare() {
  for (ui::TextBox* box : {&txtSecLogData, &txtNumLogData}) box->SetNumberStyle(true);
  LimitText(txtSecLogData, 2);
  LimitText(txtNumLogData, 2);
  LimitText(txtCharCode0, 1);
  LimitText(txtCharCode1, 1);
  for (int i = 0; i < 2; ++i) {
    HWND box = txtCharCode(i).hwnd();
    if (box) SetWindowLongA(box, GWL_STYLE, GetWindowLongA(box, GWL_STYLE) | ES_UPPERCASE);
  }
}

void OptionsGeneralTab::Load() {
  ChkStartUp.SetValue(RunAtStartUp != 0);
  ChkSplashAtStartUp.SetValue(SplashAtStartUp != 0);
  Check1.SetValue(AppHK.Enabled != 0);
  Check1_Click();
  Check2.SetValue(DestHK.Enabled != 0);
  Check2_Click();
  SeperateModifiers();
  for (int i = 0; i < 2; ++i) {
    const int32_t code = i == 0 ? AppHK.CharCode : DestHK.CharCode;
    const bool usable = code > 0 && code < 128 && IsHotKeyChar(static_cast<char>(code));
    txtCharCode(i).SetText(std::string(1, usable ? static_cast<char>(code) : kDefaultLetters[i]));
  }
  txtSecLogData.SetText(IntText(SecLogData));
  txtNumLogData.SetText(IntText(NumLogData));
}

void OptionsGeneralTab::Store() {
  RunAtStartUp = Flag(ChkStartUp);
  SplashAtStartUp = Flag(ChkSplashAtStartUp);
  SecLogData = FieldInt<int32_t>(txtSecLogData);
  NumLogData = FieldInt<int16_t>(txtNumLogData);
  CollectModifiers();
  AppHK.Enabled = Flag(Check1);
  AppHK.CharCode = static_cast<unsigned char>(vb::UCase(txtCharCode0.Text())[0]);
  DestHK.Enabled = Flag(Check2);
  DestHK.CharCode = static_cast<unsigned char>(vb::UCase(txtCharCode1.Text())[0]);
}

void OptionsGeneralTab::SeperateModifiers() {
  const int32_t masks[2] = {AppHK.Modifiers, DestHK.Modifiers};
  for (int i = 0; i < 2; ++i) {
    chkShift(i).SetValue(masks[i] & MOD_SHIFT);
    chkCtrl(i).SetValue(masks[i] & MOD_CONTROL);
    chkAlt(i).SetValue(masks[i] & MOD_ALT);
  }
}

void OptionsGeneralTab::CollectModifiers() {
  int32_t* masks[2] = {&AppHK.Modifiers, &DestHK.Modifiers};
  for (int i = 0; i < 2; ++i)
    *masks[i] = (chkAlt(i).Value() ? MOD_ALT : 0) | (chkCtrl(i).Value() ? MOD_CONTROL : 0) |
                (chkShift(i).Value() ? MOD_SHIFT : 0);
}

void OptionsGeneralTab::Check1_Click() { HKFram0.SetVisible(Check1.Value()); }
void OptionsGeneralTab::Check2_Click() { HKFram1.SetVisible(Check2.Value()); }

void OptionsGeneralTab::RefillCharCode(int index) {
  if (txtCharCode(index).Text().empty()) txtCharCode(index).SetText(std::string(1, kDefaultLetters[index]));
}

void OptionsGeneralTab::txtCharCode_LostFocus(int index) { RefillCharCode(index); }
