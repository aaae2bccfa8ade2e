#include "ModWndOpr.h"

std::vector<HWND> WndTable;
int16_t WndTableLast = -1;
