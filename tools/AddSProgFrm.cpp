#include "AddSProgFrm.h"

AddSProgFrmForm AddSProgFrm;
