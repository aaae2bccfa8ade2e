#include "ProcCPUFrm.h"

ProcCPUFrmForm ProcCPUFrm;

ProcCPUFrmForm::ProcCPUFrmForm() : Window({.caption = "Risk Monitor", .style = WS_POPUP, .width = 600, .height = 400}) {}

