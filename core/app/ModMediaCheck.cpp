#include "ModMediaCheck.h"
#include "ListView.h"
#include "ViewBindings.h"

#include <windows.h>

#include <cctype>
#include <vector>

#include "CancelEvent.h"
#include "ModMain.h"

namespace {

bool Excluded(char letter) {
  const ui::ListView* excluded = Views.moreTools.DriveEXList;
  for (int i = 0; excluded && i < excluded->ItemCount(); ++i) {
    const std::string entry = excluded->ItemText(i);
    if (!entry.empty() && std::toupper(static_cast<unsigned char>(entry[0])) == letter) return true;
  }
  return false;
}

}  // namespace

bool DriveHasMedia(char letter) {
  const char root[4] = {letter, ':', '\\', '\0'};
  // An empty drive must answer at once, not ask the user to insert a disk.
  const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  const BOOL readable = GetVolumeInformationA(root, nullptr, 0, nullptr, nullptr, nullptr, nullptr, 0);
  SetErrorMode(oldMode);
  return readable != FALSE;
}

void CheckDrivesForMedia(const std::string& drive) {
  std::vector<char> letters;
  if (drive == "all") {
    const DWORD present = GetLogicalDrives();
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
      if (!(present & (1u << (letter - 'A')))) continue;
      const char root[4] = {letter, ':', '\\', '\0'};
      const UINT type = GetDriveTypeA(root);
      if ((type == DRIVE_REMOVABLE || type == DRIVE_CDROM) && !Excluded(letter)) letters.push_back(letter);
    }
  } else if (!drive.empty() && std::isalpha(static_cast<unsigned char>(drive[0]))) {
    letters.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(drive[0]))));
  }
  if (letters.empty()) return;
  CancelFlag = false;
  CancelEvent.Show();
  for (char letter : letters) {
    CancelEvent.lblCancel.SetText(std::string("Checking drive ") + letter + ": for media ...");
    ui::DoEvents();
    if (CancelFlag) break;
    if (DriveHasMedia(letter))
      MsgBox(std::string("There is a disk or CD left in drive ") + letter + ":. Please remove it.",
             MB_OK | MB_ICONEXCLAMATION, CancelEvent.hwnd());
  }
  CancelFlag = false;
  CancelEvent.Hide();
}
