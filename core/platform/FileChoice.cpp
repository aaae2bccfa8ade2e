#include "FileChoice.h"

#include <commdlg.h>

#include "LateBinding.h"
#include "StallMeter.h"

namespace {

using FileDialogFn = BOOL(WINAPI*)(OPENFILENAMEA*);

std::optional<std::string> ChooseFile(HWND owner, const FileChoice& choice, FileDialogFn dialog, bool save) {
  if (!dialog) return std::nullopt;
  // The dialog's filter is pairs of texts ended by NULs, the whole by two.
  std::string filter = choice.filter;
  for (char& c : filter)
    if (c == '|') c = '\0';
  filter.append(2, '\0');
  char file[MAX_PATH] = {};
  choice.fileName.copy(file, sizeof file - 1);
  OPENFILENAMEA ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
  ofn.lpstrTitle = choice.title.empty() ? nullptr : choice.title.c_str();
  ofn.lpstrInitialDir = choice.initialFolder.empty() ? nullptr : choice.initialFolder.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY;
  if (choice.mustExist) ofn.Flags |= OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
  // A save asks before it replaces a file, and keeps the program's current folder.
  if (save) ofn.Flags |= OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
  bool chosen;
  {
    ui::UserWait choosing;
    chosen = dialog(&ofn) != FALSE;
  }
  if (!chosen) return std::nullopt;
  return std::string(file);
}

}  // namespace

std::optional<std::string> ChooseFileToOpen(HWND owner, const FileChoice& choice) {
  // Bound at first use: most runs never open the dialog, and comdlg32 is large.
  static const auto open = LateBound<FileDialogFn>("comdlg32.dll", "GetOpenFileNameA");
  return ChooseFile(owner, choice, open, false);
}

std::optional<std::string> ChooseFileToSave(HWND owner, const FileChoice& choice) {
  static const auto save = LateBound<FileDialogFn>("comdlg32.dll", "GetSaveFileNameA");
  return ChooseFile(owner, choice, save, true);
}

FileChoice BrowseForProgram() {
  FileChoice choice;
  choice.filter = "Programs (*.exe)|*.exe|All files (*.*)|*.*";
  choice.title = "Browse";
  choice.mustExist = true;
  return choice;
}
