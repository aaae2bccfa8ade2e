#include "CheckUpdateFrm.h"

CheckUpdateFrmForm CheckUpdateFrm;

CheckUpdateFrmForm::CheckUpdateFrmForm() : Window({.caption = "Check Updates", .width = 360, .height = 160, .centred = true}) {}

