// The media check: removable and CD drives are checked for a disc or disk left inside
// before the session ends.
#pragma once
#include <string>

// Checks one drive ("D" or "D:") or, with "all", every removable and CD drive that is
// not excluded, showing the status window; warns once per drive that holds media.
void CheckDrivesForMedia(const std::string& drive);
// True when a disc or disk is in the drive (its volume can be read).
bool DriveHasMedia(char letter);
