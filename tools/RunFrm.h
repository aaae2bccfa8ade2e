// The Run dialog: the user types or picks a program, folder, document or address, and
// it is started through the shell. The last 20 entries are kept in prog.ini "RunApp".
#pragma once
#include <string>

#include "ComboBox.h"
#include "Controls.h"
#include "Window.h"

// How a typed text is run: the program and its parameters, and the text the history
// keeps (the typed text with ".exe" given to a dotless program).
struct RunRequest {
  std::string program, parameters, entry;
};
// A text that names a file whole (with ".exe" when it has no "."), as typed; otherwise
// the quoted part or the text before the first blank is the program and the rest its
// parameters.
RunRequest SplitRunText(const std::string& text, bool (*exists)(const std::string& path));
// The file a program name stands for: itself, or in the Windows or the System folder;
// "" when none is a file.
std::string LocateRunFile(const std::string& name);

class RunFrmForm : public ui::Window {
 public:
  RunFrmForm();

  ui::Label Image1;
  ui::Label Label2, Label1;
  ui::ComboBox Combo1;
  ui::Button OkBtn, CancelBtn, BrowseBtn;

  // The history holds at most this many entries.
  static constexpr int kHistory = 20;

  void Combo1_Change();
  // A pick from the drop-down list: the box shows the item only after this event.
  void Combo1_Click();
  void OkBtn_Click();
  void CancelBtn_Click() { Unload(); }
  void BrowseBtn_Click();

 protected:
  void Form_Load() override;
  void Form_Unload(bool& cancel) override;

 private:
  // The newest entries of the history file: "Number" is trusted for at most kHistory.
  static void ReadHistoryRange(int& first, int& last);
};

extern RunFrmForm RunFrm;
