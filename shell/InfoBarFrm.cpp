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
