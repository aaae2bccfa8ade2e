// The main frame that hosts the tool pages, with its menus and command bar.
#pragma once
#include <map>
#include <string>

#include "Controls.h"
#include "Menu.h"
#include "Window.h"

class InterfaceFrmForm : public ui::Window {
 public:
  InterfaceFrmForm();

  ui::Label lblOnLineHelp;

  ui::Menu MainMenu;
  ui::MenuItem* mnuFile;
  ui::MenuItem* mnuFileTracker;
  ui::MenuItem* mnuFileBlock;
  ui::MenuItem* mnuFileBlockMsg;
  ui::MenuItem* mnuFileExit;
  ui::MenuItem* mnuSettings;
  ui::MenuItem* mnuSettingsUpdate;
  ui::MenuItem* mnuSettingsUpdateSpd[4];
  ui::MenuItem* mnuSettingsTop;
  ui::MenuItem* mnuSettingsPopBlock;
  ui::MenuItem* mnuSettingsMsgBlock;

  // Seconds between automatic refreshes (0 paused) and the current page's own interval.
  int RefreshInterval = 4;
  int PageInterval = 4;

  // The command bar's toggle buttons, by key ("ToolBar" shows the tracker bar).
  void SetButtonPressed(const std::string& key, bool pressed);
  bool ButtonPressed(const std::string& key) const;
  void ClickButton(const std::string& key);

  void mnuSettingsTop_Click();
  void mnuSettingsUpdateSpd_Click(int index);
  void mnuSettingsPopBlock_Click();
  void mnuSettingsMsgBlock_Click();
  void mnuFileTracker_Click();

  // Shows the frame; closing it then ends the program.
  void ShowUntilClosed();

 protected:
  void Form_Load() override;
  void Form_QueryUnload(bool& cancel, int unloadMode) override;

 private:
  std::map<std::string, bool> pressed_;
  bool closeEnds_ = false;
};

extern InterfaceFrmForm InterfaceFrm;
