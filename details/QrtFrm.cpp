#include "QrtFrm.h"

#include <windows.h>

QrtFrmForm QrtFrm;

namespace {
ui::FormSpec Layout() {
  ui::FormSpec form;
  form.caption = "Quarantine";
  form.width = 420;
  form.height = 260;
  return form;
}
}  // namespace

QrtFrmForm::QrtFrmForm() : Window(Layout()) {}

bool QrtFrmForm::MoveToQrt(const std::string& path) {
  Load();
  // MoveFile fails when the new name exists or the file is still in use.
  return MoveFileA(path.c_str(), (path + "_XX").c_str()) != FALSE;
}
