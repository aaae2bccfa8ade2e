#include "SysPerfFrm.h"

#include <windows.h>

#include "ModMain.h"
#include "ModMainLoop.h"
#include "ModStartup.h"
#include "SysInfoLink.h"
#include "VbRules.h"
#include "ViewBindings.h"

SysPerfFrmForm SysPerfFrm;

namespace {
// The load of one memory kind in percent: 1 - available / total.
bool MemoryLoad(size_t available, size_t total, int32_t& load) {
  if (PerfInfoData.size() <= total || PerfInfoData[total] <= 0) return false;
  load = static_cast<int32_t>(
      vb::RoundHalfEven((1.0 - static_cast<double>(PerfInfoData[available]) / PerfInfoData[total]) * 100.0));
  return true;
}
}  // namespace

SysPerfFrmForm::SysPerfFrmForm() : Window({.caption = "System Performance", .style = WS_POPUP,
              .width = 600, .height = 400}), lblFigures(*this, {12, 12, 576, 120}) {
  Views.performance = {.form = this, .RefreshMe = [](bool fromLoop) { SysPerfFrm.RefreshMe(fromLoop); }};
}

void SysPerfFrmForm::Form_Load() {
  SetBackColor(FormBackColor);
  SysPerfLoaded = true;
}

void SysPerfFrmForm::RefreshMe(bool /*fromLoop*/) {
  Load();
  UpdateSysPerf();
  std::string text = "Up time: " + SecsToTimeStr(static_cast<int32_t>(GetTickCount() / 1000));
  if (PerfInfoData.size() >= 8) {
    text += "\r\nPhysical memory: " + std::to_string(PerfInfoData[2]) + " KB free of " + std::to_string(PerfInfoData[3]) +
            " KB\r\nVirtual memory: " + std::to_string(PerfInfoData[4]) + " KB free of " +
            std::to_string(PerfInfoData[5]) + " KB\r\nPage file: " + std::to_string(PerfInfoData[6]) +
            " KB free of " + std::to_string(PerfInfoData[7]) + " KB";
  }
  lblFigures.SetText(text);
}

void SysPerfFrmForm::UpdateSysPerf() {
  if (CpuHistory && !PerfInfoData.empty()) CpuHistory->AddPoint(ClampPercent(PerfInfoData[0]));
  const size_t pairs[3][2] = {{2, 3}, {4, 5}, {6, 7}};
  for (int i = 0; i < 3; ++i) {
    int32_t load = 0;
    if (MemHistory[i] && MemoryLoad(pairs[i][0], pairs[i][1], load)) MemHistory[i]->AddPoint(ClampPercent(load));
  }
}
