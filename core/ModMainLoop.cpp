#include "ModMainLoop.h"

#include <windows.h>

#include "InterfaceFrm.h"
#include "ModMain.h"
#include "Window.h"

bool TestMode = false;
bool ConnectionPending = false;
bool LanStartPending = false;
std::unique_ptr<HistogramCls> NetSpeedHist[6];

void MainLoop() {
  // The program has no tray icon or hot key yet through which the user could call
  // up its main window, so the frame is shown at once; closing it ends the program.
  InterfaceFrm.ShowUntilClosed();
  while (!IsExiting) {
    WaitMessage();
    ui::DoEvents();
  }
}
