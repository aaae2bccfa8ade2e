// The system performance page: uptime and memory figures, and the CPU and memory
// histories it keeps adding samples to.
#pragma once
#include "Controls.h"
#include "Window.h"

class SysPerfFrmForm : public ui::Window {
 public:
  SysPerfFrmForm();

  ui::Label lblFigures;

  // Shows the figures already taken and adds one sample to each history. The
  // argument is not read (the main loop passes True, the frame False).
  void RefreshMe(bool fromLoop);
  // Adds the CPU figure and the three memory loads of the last figures to the histories.
  void UpdateSysPerf();

 protected:
  void Form_Load() override;
};

extern SysPerfFrmForm SysPerfFrm;
