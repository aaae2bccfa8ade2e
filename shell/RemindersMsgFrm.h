// The window of the periodic reminders: the Windows usage reminder (type 0) and the
// Internet reminder (type 1).
#pragma once
#include <cstdint>
#include <string>

#include "Controls.h"
#include "PictureBox.h"
#include "Window.h"

class RemindersMsgFrmForm : public ui::Window {
 public:
  RemindersMsgFrmForm();

  ui::Label Label1;
  ui::PictureBox ClockImg;
  ui::CheckBox DontShowChk;
  ui::Button OKButton;
  ui::Button SettingsBtn;

  // Shows the reminder modeless with its title as caption; a reminder already shown
  // takes the new caption, text and type.
  void ShowFrm(int16_t msgType, const std::string& msgTitle, const std::string& msgText);
  int16_t MsgType() const { return msgType_; }

 protected:
  void Form_Load() override;
  void Form_Activate() override;
  void Form_Unload(bool& cancel) override;

 public:
  void OKButton_Click();
  void SettingsBtn_Click();

 private:
  void FitToText();
  int16_t msgType_ = 0;
};

extern RemindersMsgFrmForm RemindersMsgFrm;
