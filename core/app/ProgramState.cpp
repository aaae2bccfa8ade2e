#include "ModMain.h"
