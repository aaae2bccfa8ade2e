#include "PopUpDetectorScrFrm.h"
#include "ViewBindings.h"

PopUpDetectorScrFrmForm PopUpDetectorScrFrm;

PopUpDetectorScrFrmForm::PopUpDetectorScrFrmForm() : Window({.caption = "Latchkey",
              .style = WS_POPUP | WS_BORDER, .exStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST,
              .width = 300, .height = 90}) {
  Views.popUpNotice.form = this;
}
