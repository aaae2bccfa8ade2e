// The tracker bar docked to a screen edge.
#pragma once
#include "Window.h"

class InfoBarFrmForm : public ui::Window {
 public:
  InfoBarFrmForm();

  // The bar's tick, driven by the main loop on every pass while the bar is on.
  void Timer1_Timer();
  // Updates the items' figures.
  void RefreshMe();
  // Rebuilds the item row from the settings.
  void IniTrackerItems();
  // Gives up the bar's screen edge and keeps its state in the settings globals; the
  // exit calls it directly before it saves them.
  void Form_Unload(bool& cancel) override;

 private:
  void EndAppBar();
};

extern InfoBarFrmForm InfoBarFrm;
