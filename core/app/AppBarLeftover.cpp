#include "AppBarLeftover.h"

#include <shellapi.h>

#include <cstdint>
#include <string>

#include "ModMainPlatform.h"
#include "ModSettings.h"
#include "VbRules.h"

namespace {
const char kSection[] = "TrackerBar";
const char kKey[] = "AppBarWnd";
}  // namespace

void RememberAppBarWindow(HWND bar) {
  // Window handles are 32-bit values on both widths, so the number reads back on either.
  SaveSetting(ProgramTitle, kSection, kKey, std::to_string(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(bar))));
}

void ForgetAppBarWindow() { DeleteSetting(ProgramTitle, kSection, kKey); }

bool RemoveLeftoverAppBar() {
  const std::string stored = GetSetting(ProgramTitle, kSection, kKey, "");
  if (stored.empty()) return false;
  ForgetAppBarWindow();
  const double value = vb::Val(stored);
  if (value <= 0 || value > 4294967295.0) return false;
  const HWND bar = reinterpret_cast<HWND>(static_cast<uintptr_t>(value));
  // A live window is somebody's bar (ours under another run, or the handle given anew):
  // its band is not ours to take.
  if (IsWindow(bar)) return false;
  APPBARDATA data = {};
  data.cbSize = sizeof data;
  data.hWnd = bar;
  return SHAppBarMessage(ABM_REMOVE, &data) != 0;
}
