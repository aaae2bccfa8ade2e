#include "InfoBarFrm.h"
#include "ViewBindings.h"

InfoBarFrmForm InfoBarFrm;

InfoBarFrmForm::InfoBarFrmForm() : Window({.caption = "Quillon Tracker", .style = WS_POPUP,
              .exStyle = WS_EX_TOOLWINDOW, .width = 400, .height = 24}) {
  Views.trackerBar = {.form = this,
                      .Timer1_Timer = [] { InfoBarFrm.Timer1_Timer(); },
                      .RefreshMe = [] { InfoBarFrm.RefreshMe(); },
                      .IniTrackerItems = [] { InfoBarFrm.IniTrackerItems(); },
                      .Unload = [] {
                        bool cancel = false;
                        InfoBarFrm.Form_Unload(cancel);
                      }};
}

// Scrolling, sliding and docking arrive with the bar's items and its screen edge;
// until then a tick, a refresh and a rebuild have nothing to move.
void InfoBarFrmForm::Timer1_Timer() {}
void InfoBarFrmForm::RefreshMe() {}
void InfoBarFrmForm::IniTrackerItems() {}
void InfoBarFrmForm::EndAppBar() {}

void InfoBarFrmForm::Form_Unload(bool& /*cancel*/) { EndAppBar(); }
