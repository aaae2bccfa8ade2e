// The update check: fetches the site's "update_check.txt" and offers the download
// page when it names a version other than ours.
#pragma once
#include "Controls.h"
#include "InetTransfer.h"
#include "Window.h"

class CheckUpdateFrmForm : public ui::Window {
 public:
  CheckUpdateFrmForm();

  ui::Label statusLbl;
  ui::Button CheckUpdatesBtn;
  ui::Button UpdateBtn;
  ui::Button CloseBtn;
  ui::InetTransfer Inet1;

  void CheckUpdatesBtn_Click();
  void UpdateBtn_Click();
  void CloseBtn_Click();

 protected:
  void Form_Load() override;
  void Form_Unload(bool& cancel) override;

 private:
  void Inet1_StateChanged(const ui::InetResult& result);
};

extern CheckUpdateFrmForm CheckUpdateFrm;
// Our words before the reason when the check got no usable answer.
extern const char kCheckFailedText[];
