// The pop-up blocker page; its lists come with the pop-up blocker.
#pragma once
#include "TabPages.h"
#include "Window.h"

class PopUpFrmForm : public ui::Window {
 public:
  PopUpFrmForm();
  // Refreshes the page while it is shown; nothing yet.
  void RefreshMe() {}

  ui::TabPages SSTab1;  // "Blocked Pop-ups", "White List", "Browsers List"
};

extern PopUpFrmForm PopUpFrm;
