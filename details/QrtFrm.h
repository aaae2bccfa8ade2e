// The quarantine window: a quarantined file keeps its folder and gets "_XX" appended
// to its name, which takes it out of use; the list of such files lives in
// Qrt\list.dat and the window gives them their names back.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "Controls.h"
#include "ListView.h"
#include "Window.h"

class QrtFrmForm : public ui::Window {
 public:
  QrtFrmForm();

  ui::ListView FilesLV;  // one row per quarantined file: its path before quarantine
  ui::Button RestoreBtn;
  ui::Button CloseBtn;
  std::string QrtPath;  // the quarantine folder, set at load

  // Renames the file to its path & "_XX" and lists it; true when both worked. A list
  // that cannot be written renames the file back: a file that is not listed is lost
  // to the user. Refuses a path longer than a list record holds, and refuses while
  // the list on disk could not be read. Shows nothing: the caller retries and reports.
  bool MoveToQrt(const std::string& path);
  // Writes the list beside list.dat and then puts it in its place, so a failed write
  // leaves the old list whole. False when the list could not be written.
  bool UpdateList();

  void RestoreBtn_Click();
  void CloseBtn_Click();

  // Writes the list's bytes to the open file; tests make it fail halfway.
  static std::function<bool(HANDLE file, const std::string& bytes)> WriteListBytes;

 protected:
  void Form_Load() override;
  void Form_KeyDown(int& keyCode, int shift) override;

 private:
  bool ReadList();
  void Forget(int row);
  bool listReadable_ = true;
};

extern QrtFrmForm QrtFrm;
