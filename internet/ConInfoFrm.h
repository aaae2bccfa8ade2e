// The Internet connection page.
#pragma once
#include "ComboBox.h"
#include "ListView.h"
#include "Window.h"

class ConInfoFrmForm : public ui::Window {
 public:
  ConInfoFrmForm();

  ui::TabControl SSTab1;
  // Programs launched on connect: text = path, icon = enabled (1 launch, 0 skip).
  ui::ListView IntProgsList;
  // The speed history the page's graph shows (index = traffic history).
  ui::ComboBox NetSpeedCombo;

  void RefreshMe();
  void LaunchAllBtn_Click();

 protected:
  void Form_Load() override;
};

extern ConInfoFrmForm ConInfoFrm;
