// The options dialog.
#pragma once
#include "Controls.h"
#include "ListView.h"
#include "Window.h"

class frmOptionsForm : public ui::Window {
 public:
  frmOptionsForm();

  // Tabs: General, Programs, Windows, Task Manager Lists, Tracker Bar, Internet
  // Monitor, Pop-up blocker.
  ui::TabControl SSTab1;
  // Special programs: text = path, sub-item 1 = the action's caption, icon = enabled (1/0).
  ui::ListView SProgsList;
  // The connection type: 0 dial-up (a modem), 1 leased line.
  ui::OptionButton LANConOpt0;
  ui::OptionButton LANConOpt1;
  ui::OptionButton& LANConOpt(int index) { return index == 0 ? LANConOpt0 : LANConOpt1; }
};

extern frmOptionsForm frmOptions;
