#include "RemindersMsgFrm.h"

#include "ModMain.h"
#include "ModMainLoop.h"
#include "ViewBindings.h"

RemindersMsgFrmForm RemindersMsgFrm;

RemindersMsgFrmForm::RemindersMsgFrmForm()
    : Window({.caption = "Msg", .style = WS_POPUP | WS_CAPTION | WS_SYSMENU,
                  .exStyle = WS_EX_TOPMOST, .width = 360, .height = 130, .centred = true}),
      Label1(*this, {12, 12, 336, 72}),
      OKButton(*this, {140, 94, 80, 26}, "&OK") {
  OKButton.Click = [this] { OKButton_Click(); };
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
}

// A reminder stays above other windows whenever it gets the focus.
void RemindersMsgFrmForm::Form_Activate() {
  SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

void RemindersMsgFrmForm::OKButton_Click() { Unload(); }

void RemindersMsgFrmForm::Form_Unload(bool& /*cancel*/) {
  if (msgType_ == 0) CheckWindowsReminder(0);  // the usage minutes count again from now
}
