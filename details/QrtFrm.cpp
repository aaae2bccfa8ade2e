#include "QrtFrm.h"

#include <windows.h>

QrtFrmForm QrtFrm;

QrtFrmForm::QrtFrmForm() : Window({.caption = "Quarantine", .width = 420, .height = 260}) {}

bool QrtFrmForm::MoveToQrt(const std::string& path) {
  Load();
  // MoveFile fails when the new name exists or the file is still in use.
  return MoveFileA(path.c_str(), (path + "_XX").c_str()) != FALSE;
}
