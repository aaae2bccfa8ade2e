// The file-open dialog as the tools' Browse buttons use it.
#pragma once
#include <windows.h>

#include <optional>
#include <string>

struct FileChoice {
  std::string filter;  // "Name|pattern|Name|pattern"
  std::string title;
  std::string initialFolder;  // empty: the system's choice
};

// The chosen file's path; empty when the user cancelled or the dialog failed, so the
// caller changes nothing.
std::optional<std::string> ChooseFileToOpen(HWND owner, const FileChoice& choice);
