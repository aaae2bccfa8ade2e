// The quarantine window. For now only its one operation: a quarantined file keeps its
// folder and gets "_XX" appended to its name, which takes it out of use.
#pragma once
#include <string>

#include "Window.h"

class QrtFrmForm : public ui::Window {
 public:
  QrtFrmForm();

  // Renames the file to its path & "_XX"; true when that worked. Shows nothing: the
  // caller retries and reports.
  bool MoveToQrt(const std::string& path);
};

extern QrtFrmForm QrtFrm;
