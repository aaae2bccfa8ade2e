// The system performance page: uptime, memory figures and the CPU and memory usage
// graphs. The histories it draws are the model's (PerfHistories.h).
#pragma once
#include <string>

#include "Container.h"
#include "Controls.h"
#include "GraphControl.h"
#include "Window.h"

class SysPerfFrmForm : public ui::Window {
 public:
  SysPerfFrmForm();

  ui::Label Label2;
  ui::Label UptimeLbl;
  ui::Frame Frame1;
  ui::OptionButton MemInfoOpt0, MemInfoOpt1, MemInfoOpt2;
  ui::OptionButton* MemInfoOpt[3];
  ui::Frame Frame2_0, Frame2_1, Frame2_2;
  ui::Frame* Frame2[3];
  ui::Label Label1_0, Label1_1, Label1_2, Label1_3, Label1_4, Label1_5;
  ui::Label MemDataLbl0, MemDataLbl1, MemDataLbl2, MemDataLbl3, MemDataLbl4, MemDataLbl5;
  ui::Label* MemDataLbl[6];
  ui::Frame Frame3_0, Frame3_1;
  GraphControl CpuUsageGrph;
  GraphControl MemUsageGrph;
  ui::Frame IntervalFrame;
  ui::OptionButton IntervalOpt0, IntervalOpt1, IntervalOpt2;
  ui::OptionButton* IntervalOpt[3];

  // Shows uptime and memory figures, adds one sample to each history and, while the
  // main frame is on view, draws the graphs. The argument is not read (the main loop
  // passes True, the frame False).
  void RefreshMe(bool fromLoop = false);
  // Adds the CPU figure and the three memory loads of the last figures to the histories
  // (SamplePerfHistories); the tracker's graphs call it too.
  void UpdateSysPerf();
  void DrawUsage() {}

 protected:
  void Form_Load() override;
  void Form_Resize() override;
  void Form_KeyDown(int& keyCode, int shift) override;

 private:
  void Hint(ui::Control& control, const char* text);
};

extern SysPerfFrmForm SysPerfFrm;

// A memory figure as the page shows it: groups of three digits with the locale's
// separator, no decimals, and empty text for 0.
std::string FormatMemFigure(int64_t kb);
