// The one-time explanation of a feature the user meets for the first time, until the
// user ticks the box against seeing it again.
#pragma once
#include <cstdint>

#include "Controls.h"
#include "PictureBox.h"
#include "Window.h"

class FirstTimeFrmForm : public ui::Window {
 public:
  FirstTimeFrmForm();

  ui::PictureBox Image1;
  ui::Label MsgBodyLbl;
  ui::Label Line1, Line2;
  ui::CheckBox DontDisplayChk;
  ui::Button OKButton;

  // Shows message 1 (the pop-up blocker) or 2 (the tracker bar's auto-hide) top-most
  // and modal to its owner, and answers True once it closes; False, showing nothing,
  // when the user switched the message off.
  bool ShowFirstTime(int16_t intMsgID, ui::Window* OwnerFrm);
  int16_t MsgID() const { return msgId_; }

  void OKButton_Click();

 protected:
  void Form_Load() override;

 private:
  void FitBody();
  int16_t msgId_ = 0;
};

// "General"/"MsgID-" & n read as a Boolean: "True", "False" or a number (0 False);
// missing or any other text is True.
bool FirstTimeMessageOn(int16_t intMsgID);

extern FirstTimeFrmForm FirstTimeFrm;
