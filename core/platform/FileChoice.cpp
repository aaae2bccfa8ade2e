#include "FileChoice.h"

#include <commdlg.h>

#include "LateBinding.h"

std::optional<std::string> ChooseFileToOpen(HWND owner, const FileChoice& choice) {
  // Bound at first use: most runs never open the dialog, and comdlg32 is large.
  using GetOpenFileNameFn = BOOL(WINAPI*)(OPENFILENAMEA*);
  static const auto getOpenFileName = LateBound<GetOpenFileNameFn>("comdlg32.dll", "GetOpenFileNameA");
  if (!getOpenFileName) return std::nullopt;
  // The dialog's filter is pairs of texts ended by NULs, the whole by two.
  std::string filter = choice.filter;
  for (char& c : filter)
    if (c == '|') c = '\0';
  filter.append(2, '\0');
  char file[MAX_PATH] = {};
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
  if (!getOpenFileName(&ofn)) return std::nullopt;
  return std::string(file);
}
