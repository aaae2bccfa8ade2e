#include "PopUpFrm.h"

PopUpFrmForm PopUpFrm;

PopUpFrmForm::PopUpFrmForm() : Window({.caption = "Latchkey", .style = WS_POPUP, .width = 600, .height = 400}) {}

