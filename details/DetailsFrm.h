// The program details window. For now it holds the two lists the process walker and
// the module lister fill while it refreshes: its running instances and the modules
// of the selected instance.
#pragma once
#include <string>

#include "ListView.h"
#include "Window.h"

class DetailsFrmForm : public ui::Window {
 public:
  DetailsFrmForm();

  // Process ID, (9x) No. of threads, Priority, the three memory figures, (NT) the
  // local and remote port and host.
  ui::ListView ProcLst;
  // Module Name, Handle, Path, Size, Base address, then the eight version texts.
  ui::ListView ModsLst;

  // Lays out ProcLst's columns for the platform family.
  void CreateProcColumns(bool windowsNT);
  // Refreshes the window's pages for the program it shows.
  void RefreshMe();
  // Shows a program: until the pages arrive, only the program is kept.
  void RefFrm(const std::string& path, bool keepPage);
  // Switches to the page of the key ("riskmon", ...); until the pages arrive, only the
  // key is kept.
  void ShowPage(const std::string& key);
  std::string CurrentPath, CurrentPage;

 protected:
  void Form_Load() override;
};

extern DetailsFrmForm DetailsFrm;
