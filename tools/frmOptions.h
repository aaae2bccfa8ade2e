// The options dialog.
#pragma once
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
};

extern frmOptionsForm frmOptions;
