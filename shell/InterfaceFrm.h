// The main frame that hosts the tool pages, with its menus and command bar. It owns
// the tray icon and the show-window hot key.
#pragma once
#include <map>
#include <string>

#include "Controls.h"
#include "Menu.h"
#include "Timer.h"
#include "Window.h"

class InterfaceFrmForm : public ui::Window {
 public:
  InterfaceFrmForm();

  ui::Label lblOnLineHelp;
  ui::Timer LogTimer;  // the activity log's snapshots; off until logging starts

  ui::Menu MainMenu;
  ui::MenuItem* mnuFile;
  ui::MenuItem* mnuFileOpen;  // shown only in the tray icon's menu
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

  // The current page's own refresh interval (seconds).
  int PageInterval = 4;

  // The command bar's toggle buttons, by key ("ToolBar" shows the tracker bar).
  void SetButtonPressed(const std::string& key, bool pressed);
  bool ButtonPressed(const std::string& key) const;
  void ClickButton(const std::string& key);

  // The page bar: one pressed page ("Quillon", "Performance", "PopUp", "ConInfo",
  // "ProcCPU", "MoreTools"); a click presses the button and shows its page.
  bool PageButtonPressed(const std::string& key) const { return pressedPage_ == key; }
  void ClickPageButton(const std::string& key);
  // Shows a page inside the frame and hides the others.
  void TlbButtons(const std::string& key);
  // Refreshes the page shown; nothing while the frame is hidden.
  void RefreshNow();
  // The timed refresh of the main loop.
  void DoRefresh();

  void mnuSettingsTop_Click();
  void mnuSettingsUpdateSpd_Click(int index);
  void mnuSettingsPopBlock_Click();
  void mnuSettingsMsgBlock_Click();
  void mnuFileTracker_Click();

  // The mouse-up handler, which is also the tray icon's callback: x 515 (a double
  // click on the icon) shows the frame, 517 (a right click) pops up the main menu.
  void Form_MouseUp(int x);

 protected:
  void Form_Load() override;
  void Form_Unload(bool& cancel) override;
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  std::map<std::string, bool> pressed_;
  std::string pressedPage_;
};

extern InterfaceFrmForm InterfaceFrm;
