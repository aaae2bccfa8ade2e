#include "RemindersMsgFrm.h"

#include "ModMain.h"
#include "ModMainLoop.h"
#include "ModSettings.h"
#include "ViewBindings.h"

RemindersMsgFrmForm RemindersMsgFrm;

RemindersMsgFrmForm::RemindersMsgFrmForm()
    : Window({.caption = "Msg", .style = WS_POPUP | WS_CAPTION | WS_SYSMENU,
                  .exStyle = WS_EX_TOPMOST, .width = 400, .height = 160, .centred = true}),
      Label1(*this, {60, 12, 328, 72}),
      ClockImg(*this, {12, 14, 36, 36}),
      DontShowChk(*this, {12, 92, 380, 20}, "Don't show this reminder again (you can show it later from MoreTools )"),
      OKButton(*this, {210, 124, 80, 26}, "&OK"),
      SettingsBtn(*this, {300, 124, 88, 26}, "&Settings ...") {
  OKButton.SetDefault(true);
  OKButton.Click = [this] { OKButton_Click(); };
  SettingsBtn.Click = [this] { SettingsBtn_Click(); };
  ClockImg.SetVisible(false);
  ClockImg.Paint = [](HDC dc) {
    // A clock face at a quarter past ten: our own picture.
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
    Ellipse(dc, 2, 2, 34, 34);
    MoveToEx(dc, 18, 18, nullptr);
    LineTo(dc, 18, 6);
    MoveToEx(dc, 18, 18, nullptr);
    LineTo(dc, 26, 18);
    SelectObject(dc, oldPen);
  };
  Views.reminders.Show = [](int16_t msgType, const std::string& title, const std::string& text) {
    RemindersMsgFrm.ShowFrm(msgType, title, text);
  };
}

void RemindersMsgFrmForm::ShowFrm(int16_t msgType, const std::string& msgTitle, const std::string& msgText) {
  msgType_ = msgType;
  Load();
  SetCaption(msgTitle);
  Label1.SetText(msgText);
  Show();
  ClockImg.SetVisible(true);
}

// A reminder stays above other windows whenever it gets the focus.
void RemindersMsgFrmForm::Form_Activate() {
  SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

void RemindersMsgFrmForm::OKButton_Click() { Unload(); }

// The mini-tools page is where the reminders are set.
void RemindersMsgFrmForm::SettingsBtn_Click() {
  ShowInterfaceFrm();
  if (Views.frame.ClickPageButton) Views.frame.ClickPageButton("MoreTools");
  OKButton_Click();
}

void RemindersMsgFrmForm::Form_Unload(bool& /*cancel*/) {
  if (msgType_ == 0) CheckWindowsReminder(0);  // the usage minutes count again from now
  if (!DontShowChk.Value()) return;
  if (msgType_ == 0)
    WinReminder = 0;
  else if (msgType_ == 1)
    IntReminder = 0;
  SaveSettings();
  // The mini-tools page may show the old period (Settings opened it just now): it
  // would store that again when the user leaves it.
  if (Views.moreTools.ShowReminderOptions && ViewLoaded(Views.moreTools.form)) Views.moreTools.ShowReminderOptions();
}

// An unloaded window comes back as designed: the box unticked.
void RemindersMsgFrmForm::Form_Load() { DontShowChk.SetValue(false); }
