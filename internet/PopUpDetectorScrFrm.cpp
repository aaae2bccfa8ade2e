#include "PopUpDetectorScrFrm.h"

PopUpDetectorScrFrmForm PopUpDetectorScrFrm;

namespace {
ui::FormSpec Spec() {
  ui::FormSpec spec;
  spec.caption = "Latchkey";
  spec.style = WS_POPUP | WS_BORDER;
  spec.exStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  spec.width = 300;
  spec.height = 90;
  return spec;
}
}  // namespace

PopUpDetectorScrFrmForm::PopUpDetectorScrFrmForm() : Window(Spec()) {}
