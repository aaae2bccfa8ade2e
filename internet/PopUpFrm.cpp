#include "PopUpFrm.h"

PopUpFrmForm PopUpFrm;

PopUpFrmForm::PopUpFrmForm()
    : Window({.caption = "Latchkey", .style = WS_POPUP, .width = 600, .height = 400}),
      SSTab1(*this, {8, 8, 584, 384}, {"Blocked Pop-ups", "White List", "Browsers List"}) {}
