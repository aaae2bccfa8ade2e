#include "AddSProgFrm.h"

#include "ViewBindings.h"

AddSProgFrmForm AddSProgFrm;

AddSProgFrmForm::AddSProgFrmForm() { Views.specialProgram.SProgOpt = &SProgOpt; }
