#include "ProgramState.h"

#include "ApplyGlobalSettings.h"
#include "LoopSeams.h"
#include "ModConInfo.h"
#include "ModConProbe.h"
#include "ModMain.h"
#include "ModMainLoop.h"
#include "ModProcMon.h"
#include "ModProgInfo.h"
#include "ModSProgs.h"
#include "ModWndOpr.h"
#include "Seams.h"
#include "SysInfoLink.h"

void ResetProgramState() {
  seams::Reset();
  loopseams::Reset();
  conprobe::Reset();
  ResetMainFlags();
  ResetMainState();
  ResetMainLoopState();
  ResetAppliedSettingsState();
  ResetConInfoState();
  ResetProcMonState();
  ResetProgInfoState();
  ResetWndOprState();
  ResetSProgsState();
  ResetSysInfoLinkState();
}
