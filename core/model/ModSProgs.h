// Special programs: paths the user hides from the lists or wants a warning for
// before they are ended, kept as "SProg1", "SProg2" ... in section "Options".
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// One stored entry: path & "," & action & ";" & enabled.
struct SProgEntry {
  std::string path;
  int16_t action = 0;  // 0 hide from the program list, 1 hide with its windows, 2 warn
  int16_t enabled = 0;
};
// False when the text is no entry (it has no ",").
bool ParseSProgEntry(const std::string& text, SProgEntry& entry);

// Op 1 stores the options window's list, 2 fills it, 3 looks ExePath up (the action
// of the first enabled entry whose path begins it, ignoring case; -1 for none).
int16_t DoSProgOp(int op, const std::string& exePath = "");
// The captions of the actions 0, 1 and 2, as the special-program dialog shows them.
extern const std::vector<std::string> SProgActionCaptions;
// Mode 1: the index ("0" to "2") of the action caption Text; mode 2: the caption of index Text.
std::string GetSProgOptText(int mode, const std::string& text);
// Stores the two default entries and the count 2.
void DefaultSProgs();
// Asks before a program marked "warn" is ended; true when the user said No.
bool WarnSpecialProgKill(const std::string& exePath);

// A malformed entry is reported once per run and then left out.
extern bool SProgErrorReported;

// Gives this module's state its start values again.
void ResetSProgsState();
