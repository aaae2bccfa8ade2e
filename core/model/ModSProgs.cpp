#include "ModSProgs.h"
#include "ModMainPlatform.h"
#include "ListView.h"
#include "ViewBindings.h"

#include <algorithm>

#include "ModSettings.h"
#include "VbRules.h"

bool SProgErrorReported;

// The start values of this module's state, given at program start and again by
// ResetProgramState.
void ResetSProgsState() {
  SProgErrorReported = false;
}
namespace {
const bool resetSProgsStateDone = (ResetSProgsState(), true);
}  // namespace

namespace {

std::string EntryKey(int i) { return "SProg" + std::to_string(i); }

void ReportBadEntry() {
  if (SProgErrorReported) return;
  SProgErrorReported = true;
  MsgBox("Error loading special programs, default settings will be loaded", MB_ICONSTOP, FrameHwnd());
}

}  // namespace

int16_t DoSProgOp(int op, const std::string& exePath) {
  if (SProgCount < 1 || op < 1 || op > 3) return -1;
  if (op == 1) {
    if (!Views.options.SProgsList) return -1;
    ui::ListView& list = *Views.options.SProgsList;
    for (int i = 1; i <= SProgCount && i <= list.ItemCount(); ++i) {
      // An action with no caption keeps the code it was stored with (the row's tag).
      std::string code = GetSProgOptText(1, list.SubItem(i - 1, 1));
      if (code.empty()) code = list.Tag(i - 1);
      SaveSetting(ProgramTitle, "Options", EntryKey(i),
                  FormatSProgEntry(list.ItemText(i - 1), code, std::to_string(list.SmallIcon(i - 1))));
    }
    return -1;
  }
  // The walker compares upper-case paths on one family and lower-case ones on the
  // other, while entries are stored in lower case: compare without regard to case.
  const std::string wanted = vb::LCase(exePath);
  for (int i = 1; i <= SProgCount; ++i) {
    // The stored count is only a promise (up to 32767): the list ends at the first
    // missing entry, as resetting it assumes, so a large count costs no reads.
    const std::optional<std::string> text = StoredSetting(ProgramTitle, "Options", EntryKey(i));
    if (!text) break;
    SProgEntry entry;
    if (!ParseSProgEntry(*text, entry)) {
      ReportBadEntry();
      continue;
    }
    if (op == 2) {
      if (ui::ListView* list = Views.options.SProgsList) {
        int row = list->AddItem(entry.path, entry.enabled);
        list->SetSubItem(row, 1, GetSProgOptText(2, std::to_string(entry.action)));
        list->SetTag(row, std::to_string(entry.action));
      }
    } else if (entry.enabled == 1 && !entry.path.empty() && wanted.compare(0, entry.path.size(), vb::LCase(entry.path)) == 0 &&
               entry.path.size() <= wanted.size()) {
      return entry.action;
    }
  }
  return -1;
}

const std::vector<std::string> SProgActionCaptions = {
    "Hide from programs list", "Hide it and all its windows from lists", "Give warning message before closing it"};

std::string GetSProgOptText(int mode, const std::string& text) {
  const auto& captions = SProgActionCaptions;
  for (size_t i = 0; i < captions.size(); ++i) {
    if (mode == 1 && captions[i] == text) return std::to_string(i);
    if (mode == 2 && vb::Val(text) == static_cast<double>(i)) return captions[i];
  }
  return "";
}

void DefaultSProgs() {
  SaveSetting(ProgramTitle, "Options", "SProg1", vb::LCase(FormatSProgEntry(GetWinDir() + "\\explorer.exe", "2", "1")));
  SaveSetting(ProgramTitle, "Options", "SProg2", vb::LCase(FormatSProgEntry(GetSysDir() + "\\kernel32.dll", "0", "1")));
  SProgCount = 2;
  SaveSetting(ProgramTitle, "Options", "SProgCount", "2");
}

bool WarnSpecialProgKill(const std::string& exePath) {
  if (DoSProgOp(3, exePath) != 2) return false;
  int answer = MsgBox("Terminating " + exePath + " may be dangrous, Are you still sure you want to terminate it ?",
                      0x114, FrameHwnd());
  return answer == IDNO;
}
