#include "RunFrm.h"

RunFrmForm RunFrm;

RunFrmForm::RunFrmForm() : Window({.caption = "Run", .width = 360, .height = 150, .centred = true}) {}

