// Special programs: paths the user hides from the lists or wants a warning for
// before they are ended, kept as "SProg1", "SProg2" ... in section "Options".
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "ModSProgsParse.h"

// Op 1 stores the options window's list, 2 fills it, 3 looks ExePath up (the action
// of the first enabled entry whose path begins it, ignoring case; -1 for none).
// Fill and look-up read entries up to SProgCount and stop at the first missing one.
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
