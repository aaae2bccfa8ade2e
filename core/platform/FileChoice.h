// The system's Open dialog, as the frame's CD1 and the Browse buttons use it.
#pragma once
#include <windows.h>

#include <optional>
#include <string>

struct FileChoice {
  std::string filter = "All Files (*.*)|*.*";  // "Name|pattern|Name|pattern"
  std::string title;                           // empty: the system's own
  std::string initialFolder;                   // empty: the system's choice
  bool mustExist = false;                      // refuse names of files that are not there
};

// The chosen file's path; nothing when the user cancelled or the dialog failed, so the
// caller changes nothing.
std::optional<std::string> ChooseFileToOpen(HWND owner, const FileChoice& choice);
