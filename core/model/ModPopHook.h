// The pop-up blocker's hook and its scan, as the main loop and the exit drive them.
#pragma once

// Installs the hook library's pop-up hook for the status window and remembers the
// browser windows already open as known. A missing library changes nothing.
void InstallPopUpHook();
// Removes the pop-up hook; safe when none is installed.
void RemovePopUpHook();
// One decision pass of the blocker over the browser windows.
void ScanPopUps();
// True while the hook is installed.
bool PopUpHookInstalled();
