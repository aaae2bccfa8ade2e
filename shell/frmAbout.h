// The About window: the program's name and version, the web site, and the Windows
// System Information tool.
#pragma once
#include <windows.h>

#include <string>

#include "Controls.h"
#include "PictureBox.h"
#include "Window.h"

class frmAboutForm : public ui::Window {
 public:
  frmAboutForm();

  ui::PictureBox Image1;
  ui::Label AppNameLbl;
  ui::Label Label2;  // "Web:"
  ui::Label ContactLbl;
  ui::Label Label4;
  ui::Label RegInfoLbl;
  ui::Button cmdOK;
  ui::Button cmdSysInfo;

  void ContactLbl_Click();
  void cmdSysInfo_Click();
  void cmdOK_Click();

 protected:
  void Form_Load() override;
};

// Runs the System Information tool from where the registry says it is; a message box
// when it cannot be found.
void StartSysInfo();
// A registry value as text: REG_SZ without its closing NUL, REG_DWORD as its number
// (read through "&h" and its bytes, last to first), other types raw. False with an
// empty text when the key or value cannot be read.
bool GetKeyValue(HKEY KeyRoot, const std::string& KeyName, const std::string& SubKeyRef, std::string& KeyVal);

extern frmAboutForm frmAbout;
