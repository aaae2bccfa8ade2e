#include "QrtFrm.h"
#include "ViewBindings.h"

#include <windows.h>

QrtFrmForm QrtFrm;

QrtFrmForm::QrtFrmForm() : Window({.caption = "Quarantine", .width = 420, .height = 260}) {
  Views.quarantine = {.form = this, .MoveToQrt = [](const std::string& path) { return QrtFrm.MoveToQrt(path); }};
}

bool QrtFrmForm::MoveToQrt(const std::string& path) {
  Load();
  // MoveFile fails when the new name exists or the file is still in use.
  return MoveFileA(path.c_str(), (path + "_XX").c_str()) != FALSE;
}
