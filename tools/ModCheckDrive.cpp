#include "ModCheckDrive.h"
#include "OwnedHandle.h"

#include <winioctl.h>

#include <cctype>

#include "CancelEvent.h"
#include "DriversMsgFrm.h"
#include "LoopSeams.h"
#include "ModMainPlatform.h"
#include "ModSettings.h"
#include "Seams.h"
#include "StallMeter.h"
#include "VbRules.h"
#include "Window.h"

DWORD MediaMsgStartTick = 0;

namespace mediaseams {
std::function<void(const EjectCall&)> EjectObserverFn;
void Reset() { EjectObserverFn = nullptr; }
}  // namespace mediaseams

namespace {

constexpr DWORD kWarningMs = 7000;
bool checking = false;  // a walk is under way (a shut-down command can come in its waits)

std::string UpperFirst(const std::string& text) {
  return text.empty() ? std::string() : std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(text[0]))));
}

// Enters the root as the current folder and goes back, with the system's "insert a
// disk" box held off and the previous folder restored, so the drive is not kept busy.
DWORD EnterRoot(const std::string& root) {
  char previous[MAX_PATH + 1] = {};
  const DWORD length = GetCurrentDirectoryA(sizeof previous, previous);
  const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  const DWORD error = SetCurrentDirectoryA(root.c_str()) ? ERROR_SUCCESS : GetLastError();
  if (length > 0 && length < sizeof previous) SetCurrentDirectoryA(previous);
  SetErrorMode(oldMode);
  return error;
}

int16_t StoredCount() {
  SettingsReader general(ProgramTitle, "General");
  const int16_t count = general.Int16("DriveEXNUM", 0);
  return count < 0 ? 0 : count;
}

void Eject(const std::string& device, DWORD code, std::string block, DWORD access, DWORD creation, DWORD flags) {
  const OwnedHandle handle(CreateFileA(device.c_str(), access, 0, nullptr, creation, flags, nullptr));
  mediaseams::EjectCall call{device, code, block, "", false, false, 0};
  if (!handle) {
    call.error = GetLastError();
    if (mediaseams::EjectObserverFn) mediaseams::EjectObserverFn(call);
    return;
  }
  call.opened = true;
  DWORD returned = 0;
  std::string out = block;
  const BOOL ok = DeviceIoControl(handle.get(), code, block.empty() ? nullptr : &block[0], static_cast<DWORD>(block.size()),
                                  out.empty() ? nullptr : &out[0], static_cast<DWORD>(out.size()), &returned, nullptr);
  call.answered = ok != FALSE;
  call.error = ok ? 0 : GetLastError();
  call.output = out;
  if (mediaseams::EjectObserverFn) mediaseams::EjectObserverFn(call);
}

}  // namespace

std::vector<std::string> StoredExcludedDrives() {
  std::vector<std::string> drives;
  const int16_t count = StoredCount();
  for (int n = 1; n <= count; ++n)
    drives.push_back(GetSetting(ProgramTitle, "General", "DriveEX" + std::to_string(n), ""));
  return drives;
}

void AddExcludedDrive(const std::string& DriveLetter) {
  const int n = StoredCount() + 1;
  SaveSetting(ProgramTitle, "General", "DriveEXNUM", std::to_string(n));
  SaveSetting(ProgramTitle, "General", "DriveEX" + std::to_string(n), UpperFirst(DriveLetter));
}

void RemoveExcludedDrive(const std::string& DriveLetter) {
  const std::vector<std::string> drives = StoredExcludedDrives();
  const std::string letter = UpperFirst(DriveLetter);
  for (size_t i = 0; i < drives.size(); ++i) {
    if (vb::UCase(drives[i]) != letter) continue;
    for (size_t j = i + 1; j < drives.size(); ++j)
      SaveSetting(ProgramTitle, "General", "DriveEX" + std::to_string(j), drives[j]);
    SaveSetting(ProgramTitle, "General", "DriveEXNUM", std::to_string(drives.size() - 1));
    return;
  }
}

int16_t IsDriveMediaPresent(const std::string& DriveRoot) {
  const UINT type = GetDriveTypeA(DriveRoot.c_str());
  if (type != DRIVE_REMOVABLE && type != DRIVE_CDROM) return 0;
  if (type == DRIVE_REMOVABLE) loopseams::SleepFn(100);
  const DWORD error = EnterRoot(DriveRoot);
  if (error == ERROR_SUCCESS) return 1;
  return error == ERROR_PATH_NOT_FOUND || error == ERROR_ACCESS_DENIED || error == ERROR_FILE_NOT_FOUND ? 2 : 0;
}

std::string GetVolumeLabel(const std::string& DriveRoot) {
  char name[256] = {}, system[256] = {};
  DWORD serial = 0, longest = 0, flags = 0;
  const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  if (!GetVolumeInformationA(DriveRoot.c_str(), name, 255, &serial, &longest, &flags, system, 255)) name[0] = '\0';
  SetErrorMode(oldMode);
  return name;
}

void WarnMediaInDrive(const std::string& DriveRoot) {
  const std::string letter = UpperFirst(DriveRoot);
  for (const std::string& drive : StoredExcludedDrives())
    if (drive == letter) return;
  DriversMsgFrm.ShowFrm(DriveRoot);
  MediaMsgStartTick = seams::TickCountFn();
  // The warning waits for the user's click (or its time) with events running, as a
  // modal window does: the program goes on meanwhile.
  const ui::UserWait waitingForTheUser;
  while (DriversMsgFrm.Visible() && seams::TickCountFn() - MediaMsgStartTick <= kWarningMs) {
    ui::DoEvents();
    // Sleeps until a click or the next tenth of a second instead of spinning.
    if (DriversMsgFrm.Visible()) MsgWaitForMultipleObjectsEx(0, nullptr, 100, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
}

void CheckDrivesForMedia(const std::string& Drive) {
  // A shut-down command that arrives while a warning waits finds the walk under way.
  if (checking) return;
  checking = true;
  (void)Drive;  // every caller checks "all"
  StatusScope status("Checking drives for media...");
  char buffer[256] = {};
  const DWORD length = GetLogicalDriveStringsA(255, buffer);
  const char* root = buffer;
  for (int count = 0; length > 0 && length <= 255 && *root && count < 100; ++count, root += strlen(root) + 1) {
    status.SetText(std::string("Checking drive ") + root + " for diskettes...");
    // Once the user asked not to be shown the warning, the rest of the walk is silent.
    if (DriveCheck && IsDriveMediaPresent(root) == 1) {
      loopseams::PlaySoundFn(AppPath() + "\\sounds\\bloop.wav");
      WarnMediaInDrive(root);
    }
    if (status.Cancelled()) break;
  }
  checking = false;
}

void EjectMedia(const std::string& DriveRoot) {
  if (DriveRoot.empty()) return;
  if (GetVersion() & 0x80000000) {
    // The DOS IOCTL that ejects removable media: EBX drive number (A = 1), ECX 0x0849,
    // EAX 0x440D, then EDX, EDI, ESI and the flags, all 0.
    DWORD block[7] = {};
    block[0] = static_cast<DWORD>(std::toupper(static_cast<unsigned char>(DriveRoot[0])) - 'A' + 1);
    block[2] = 0x0849;
    block[3] = 0x440D;
    std::string bytes(reinterpret_cast<const char*>(block), sizeof block);
    Eject("\\\\.\\VWIN32", 1, bytes, 0, 0, FILE_FLAG_DELETE_ON_CLOSE);
  } else {
    Eject("\\\\.\\" + UpperFirst(DriveRoot) + ":", IOCTL_STORAGE_EJECT_MEDIA, "", GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING, 0);
  }
}
