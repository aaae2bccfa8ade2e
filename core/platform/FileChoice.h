// The system's Open and Save As dialogs, as the CD1 dialogs and the Browse buttons use them.
#pragma once
#include <windows.h>

#include <optional>
#include <string>

struct FileChoice {
  std::string filter = "All Files (*.*)|*.*";  // "Name|pattern|Name|pattern"
  std::string title;                           // empty: the system's own
  std::string initialFolder;                   // empty: the system's choice
  bool mustExist = false;                      // refuse names of files that are not there
  std::string fileName;                        // the name the dialog starts with
};

// The chosen file's path; nothing when the user cancelled or the dialog failed, so the
// caller changes nothing.
std::optional<std::string> ChooseFileToOpen(HWND owner, const FileChoice& choice);
// The system's Save As dialog; it asks before a file is replaced.
std::optional<std::string> ChooseFileToSave(HWND owner, const FileChoice& choice);

// The Browse buttons' choice of a program to start: programs first, any file allowed.
FileChoice BrowseForProgram();
