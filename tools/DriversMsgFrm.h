// The warning about a disk left in a drive: shown in front of everything while the
// media check waits, with Eject for CD drives.
#pragma once
#include <string>

#include "Controls.h"
#include "PictureBox.h"
#include "Timer.h"
#include "Window.h"

class DriversMsgFrmForm : public ui::Window {
 public:
  DriversMsgFrmForm();

  ui::PictureBox DrivesImg;
  ui::Label Label1, lblDrvLbl;
  ui::Button EjectBtn, DontCheckBtn;
  ui::CheckBox DontShowChk;
  ui::Button OKButton;
  ui::Timer Timer1;

  std::string DriveRoot;

  // Fills the warning for the drive and shows it without waiting.
  void ShowFrm(const std::string& root);
  void EjectBtn_Click();
  void DontCheckBtn_Click();
  void OKButton_Click();

 protected:
  void Form_Load() override;
  void Form_Activate() override;
  void Form_Unload(bool& cancel) override;

 private:
  void StayInFront();
  void PaintDrive(HDC dc);
};

extern DriversMsgFrmForm DriversMsgFrm;
