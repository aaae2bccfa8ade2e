#include "ModProcMon.h"

#include <windows.h>

#include "ViewBindings.h"
#include "Window.h"
#include "ModMainPlatform.h"
#include "ModSettings.h"
#include "ModStartupPlatform.h"

std::vector<std::unique_ptr<HistogramCls>> MonitoredProgHist;
int16_t MonitoredProgCount;

// The start values of this module's state, given at program start and again by
// ResetProgramState.
void ResetProcMonState() {
  MonitoredProgHist.clear();
  MonitoredProgCount = 0;
}
namespace {
const bool resetProcMonStateDone = (ResetProcMonState(), true);
}  // namespace

std::string RiskMonitorLogFolder() { return AppPath() + "\\Risk Monitor Logs\\"; }

void InitRiskMonitor() {
  DeleteSection(ProgramTitle, "tmpcpu");
  SaveSetting(ProgramTitle, "tmpcpu", "path", RiskMonitorLogFolder());
  if (!IsWinNTFlag) return;
  // The hook library is loaded by name at its first call; a missing one never
  // stops the program.
  HMODULE brackel = LoadLibraryA("Brackel.dll");
  if (!brackel) return;
  using InstallHookFn = long(WINAPI*)(long mode, HWND window);
  auto install = reinterpret_cast<InstallHookFn>(GetProcAddress(brackel, "InstallHook"));
  if (Views.status.form) Views.status.form->Load();
  if (install) install(-1, BoundHwnd(Views.status.form));
}

int16_t GetRiskRating(const std::string&) { return 0; }
