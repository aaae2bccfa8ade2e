// The dialog that adds one start-up entry or changes one, at any of the seven places.
#pragma once
#include <cstdint>
#include <string>

#include "ComboBox.h"
#include "Controls.h"
#include "Window.h"

class AddStartupFrmForm : public ui::Window {
 public:
  AddStartupFrmForm();

  ui::Label NameLbl, CmdLineLbl, LocationLbl;
  ui::TextBox txtName, txtCmdLine;
  ui::ComboBox Combo1;  // the seven key texts, by run type
  ui::Button cmdBrowse, OkBtn, CancelBtn;

  void ShowAddStartUpFrm(const std::string& Name, const std::string& CmdLine);
  void ShowModifyStartUpFrm(const std::string& Name, const std::string& KeyText, const std::string& CmdLine,
                            int16_t RunType, bool Disabled);

  void cmdBrowse_Click();
  void OkBtn_Click();
  void CancelBtn_Click();

  bool AddMode = true;
  std::string OldName, OldKey, OldCmdLine;
  int16_t OldRunType = 0;
  bool OldDisabled = false;

 protected:
  void Form_Load() override;
  void Form_KeyDown(int& keyCode, int shift) override;

 private:
  void Open(const std::string& caption, const std::string& okCaption, const std::string& name,
            const std::string& cmdLine, int runType);
  // Yes when there is no such entry at the place yet, or the user lets it be replaced.
  bool MayWrite(const std::string& name, const std::string& keyText, int16_t runType);
};

extern AddStartupFrmForm AddStartupFrm;
