#include "QrtFrm.h"

#include <vector>

#include "ModMainPlatform.h"
#include "ModProcMonParse.h"
#include "ModSettings.h"
#include "OwnedHandle.h"
#include "ViewBindings.h"

QrtFrmForm QrtFrm;

namespace {

bool WriteAll(HANDLE file, const std::string& bytes) {
  DWORD written = 0;
  return WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

// The whole file; false when a read fails.
bool ReadAll(HANDLE file, std::string& bytes) {
  char buffer[16384];
  DWORD read = 0;
  bool ok = true;
  while ((ok = ReadFile(file, buffer, sizeof buffer, &read, nullptr) != FALSE) && read > 0) bytes.append(buffer, read);
  return ok;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace

std::function<bool(HANDLE, const std::string&)> QrtFrmForm::WriteListBytes = WriteAll;

QrtFrmForm::QrtFrmForm()
    : Window({.caption = "Quarantine", .width = 420, .height = 260, .keyPreview = true}),
      FilesLV(*this, {8, 8, 404, 206}),
      RestoreBtn(*this, {236, 224, 84, 26}, "Restore"),
      CloseBtn(*this, {328, 224, 84, 26}, "Close") {
  FilesLV.AddColumn("File Path", "File Path", 380);
  RestoreBtn.Click = [this] { RestoreBtn_Click(); };
  CloseBtn.Click = [this] { CloseBtn_Click(); };
  Views.quarantine = {.form = this, .MoveToQrt = [](const std::string& path) { return QrtFrm.MoveToQrt(path); }};
}

void QrtFrmForm::Form_Load() {
  QrtPath = AppPath() + "\\Qrt";
  CreateDirectoryA(QrtPath.c_str(), nullptr);
  FilesLV.Clear();
  listReadable_ = ReadList();
}

// Fills the list from list.dat; false when the file is there but cannot be read,
// since a list rewritten from nothing would forget every file in it.
bool QrtFrmForm::ReadList() {
  const std::string listPath = QrtPath + "\\list.dat";
  std::string bytes;
  {
    const OwnedHandle file(CreateFileA(listPath.c_str(), GENERIC_READ,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                       0, nullptr));
    if (!file) {
      const DWORD error = GetLastError();
      return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;  // no list yet
    }
    if (!ReadAll(file.get(), bytes)) return false;
  }
  ui::ListView::RedrawGuard guard(FilesLV);
  FilesLV.Clear();
  for (const std::string& path : DecodeQuarantineList(bytes)) FilesLV.AddItem(path);
  return true;
}

void QrtFrmForm::Form_KeyDown(int& keyCode, int /*shift*/) {
  if (keyCode == VK_F1) ShowOnlineHelp("Quarantine");
}

bool QrtFrmForm::MoveToQrt(const std::string& path) {
  Load();
  // The list holds 255 bytes of a path: a longer one could never be restored.
  if (path.empty() || path.size() > kQrtPathSize) return false;
  if (!listReadable_ && !(listReadable_ = ReadList())) return false;
  const std::string quarantined = path + "_XX";
  // Renaming first keeps a failed try cheap: nothing else is written.
  if (!MoveFileA(path.c_str(), quarantined.c_str())) return false;
  FilesLV.AddItem(path);
  if (UpdateList()) return true;
  FilesLV.RemoveItem(FilesLV.ItemCount() - 1);
  MoveFileA(quarantined.c_str(), path.c_str());
  return false;
}

bool QrtFrmForm::UpdateList() {
  std::vector<std::string> paths;
  for (int row = 0; row < FilesLV.ItemCount(); ++row) paths.push_back(FilesLV.ItemText(row));
  const std::string listPath = QrtPath + "\\list.dat";
  const std::string newPath = QrtPath + "\\list.new";
  bool written = false;
  {
    // Closed before the rename: an open file cannot take the list's place.
    const OwnedHandle file(
        CreateFileA(newPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    written = WriteListBytes(file.get(), EncodeQuarantineList(paths)) && FlushFileBuffers(file.get());
  }
  if (written && MoveFileExA(newPath.c_str(), listPath.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return true;
  DeleteFileA(newPath.c_str());
  return false;
}

// Takes an entry off the list; the row comes back when the list cannot be written,
// so the window never shows less than the file holds.
void QrtFrmForm::Forget(int row) {
  const std::string path = FilesLV.ItemText(row);
  FilesLV.RemoveItem(row);
  if (UpdateList()) return;
  FilesLV.AddItem(path);
  MsgBox("The list of quarantined files can't be written.", MB_OK | MB_ICONSTOP, hwnd());
}

void QrtFrmForm::RestoreBtn_Click() {
  std::vector<int> selected = FilesLV.SelectedRows();
  if (selected.empty()) return;
  const int row = selected.front();
  const std::string path = FilesLV.ItemText(row);
  const std::string quarantined = path + "_XX";
  if (MoveFileA(quarantined.c_str(), path.c_str())) {
    MsgBox("The quarantined file " + path + " has been restored successfuly", MB_OK | MB_ICONINFORMATION, hwnd());
    Forget(row);
    return;
  }
  std::string question;
  UINT icon = MB_ICONSTOP;
  if (Exists(path)) {
    question = "The main file " + path +
               " already exists and thus it can't be restored, would like to remove it from this list?";
    icon = MB_ICONINFORMATION;
  } else if (!Exists(quarantined)) {
    question = "The quarantined file " + path +
               " can't be found and thus it can't be restored, would like to remove it from this list?";
  } else {
    question = "The file " + path + " can't be restored, would like to remove it from this list?";
  }
  if (MsgBox(question, MB_YESNO | MB_DEFBUTTON2 | icon, hwnd()) == IDYES) Forget(row);
}

void QrtFrmForm::CloseBtn_Click() { Unload(); }
