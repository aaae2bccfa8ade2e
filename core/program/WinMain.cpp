// The program's entry: common controls, then the start-up procedure.
#include <windows.h>
#include <commctrl.h>

#include "CancelEvent.h"
#include "ModMain.h"
#include "Window.h"
#include "version.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&icc);

  // Until the program's own windows arrive, it shows its status window and ends
  // when Cancel is pressed.
  CancelEvent.Load();
  CancelEvent.lblCancel.SetText(std::string(ProgramTitle) + " " + QP_VERSION_TEXT +
                                " is installed. Its main window is not available yet.");
  CancelEvent.Show();
  while (!CancelFlag && !IsExiting) {
    WaitMessage();
    ui::DoEvents();
  }
  return 0;
}
