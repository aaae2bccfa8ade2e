// The media check: before the program or the Windows session ends, removable and CD
// drives are checked for a disk left inside and the user is warned, drive by drive.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// "all" walks every drive root.
void CheckDrivesForMedia(const std::string& Drive);
// Warns about one drive unless it is excluded, and waits for the user or 7 seconds.
void WarnMediaInDrive(const std::string& DriveRoot);
// 1: a readable medium; 2: the root cannot be entered for a path or access error; 0
// otherwise (also for drives that are neither removable nor CD).
int16_t IsDriveMediaPresent(const std::string& DriveRoot);
std::string GetVolumeLabel(const std::string& DriveRoot);
// Appends the drive's upper-case letter to the excluded drives of the settings.
void AddExcludedDrive(const std::string& DriveLetter);
// The excluded drives as stored, keys 1 to the count (empty ones included).
std::vector<std::string> StoredExcludedDrives();
// Removes the first stored key holding the letter; the later ones move down.
void RemoveExcludedDrive(const std::string& DriveLetter);

// Asks the drive of the root to eject its medium; failures are silent.
void EjectMedia(const std::string& DriveRoot);

// When the warning or its last Eject came.
extern DWORD MediaMsgStartTick;

namespace mediaseams {
// Each eject request, after the system answered it (or refused to open the device).
struct EjectCall {
  std::string device;
  DWORD code = 0;
  std::string input;   // the bytes handed in (the 9x register block), empty for none
  std::string output;  // the bytes handed back
  bool opened = false;    // the device opened
  bool answered = false;  // DeviceIoControl succeeded
  DWORD error = 0;        // the last error of the open or the request when it failed
};
extern std::function<void(const EjectCall&)> EjectObserverFn;
void Reset();
}  // namespace mediaseams
