#include "InfoBarFrm.h"

InfoBarFrmForm InfoBarFrm;

namespace {
ui::FormSpec Spec() {
  ui::FormSpec spec;
  spec.caption = "Quillon Tracker";
  spec.style = WS_POPUP;
  spec.exStyle = WS_EX_TOOLWINDOW;
  spec.width = 400;
  spec.height = 24;
  return spec;
}
}  // namespace

InfoBarFrmForm::InfoBarFrmForm() : Window(Spec()) {}

// Scrolling, sliding and docking arrive with the bar's items and its screen edge;
// until then a tick, a refresh and a rebuild have nothing to move.
void InfoBarFrmForm::Timer1_Timer() {}
void InfoBarFrmForm::RefreshMe() {}
void InfoBarFrmForm::IniTrackerItems() {}
void InfoBarFrmForm::EndAppBar() {}

void InfoBarFrmForm::Form_Unload(bool& /*cancel*/) { EndAppBar(); }
