// The band of a docked bar outlives its program when the program is ended without
// removing it: the shell keeps reserving it, and the next bar docks beside it. The bar
// window of the running program is remembered, so the next start can free the band
// that a copy ended that way left behind.
#pragma once
#include <windows.h>

// Remembers the window whose band the shell now reserves.
void RememberAppBarWindow(HWND bar);
// The band was removed as it should be: nothing is left to free.
void ForgetAppBarWindow();
// Frees the band of a remembered window that no longer exists; true when one was freed.
bool RemoveLeftoverAppBar();
