// The program's entry: common controls and COM, then the start-up procedure.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "ModStartup.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES};
  InitCommonControlsEx(&icc);
  // The performance object is apartment-threaded and used from this thread only.
  CoInitialize(nullptr);
  Main();
  CoUninitialize();
  return 0;
}
