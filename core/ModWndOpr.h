// The window table: the handles of the top-level windows the last enumeration kept.
#pragma once
#include <windows.h>

#include <cstdint>
#include <vector>

extern std::vector<HWND> WndTable;
extern int16_t WndTableLast;  // -1 when empty
