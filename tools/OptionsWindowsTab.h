// The options dialog's Windows tab: which windows the windows list shows.
#pragma once
#include "Container.h"
#include "Controls.h"
#include "Window.h"

class OptionsWindowsTab {
 public:
  OptionsWindowsTab(ui::Window& form, ui::Container& page);

  ui::CheckBox HideWndChk;
  ui::Frame WndDisplayFram;
  ui::OptionButton WndDisplayOpt0, WndDisplayOpt1, WndDisplayOpt2, WndDisplayOpt3;

  ui::OptionButton& WndDisplayOpt(int index);

  void Load();
  void Store();
};
