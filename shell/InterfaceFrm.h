// The main frame: the page bar on the left chooses which tool page it hosts, the
// command bars above run the program's commands, the hint line below says what the
// mouse is over. It owns the menus, the tray icon and the show-window hot key.
#pragma once
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ButtonBar.h"
#include "Container.h"
#include "Controls.h"
#include "Menu.h"
#include "PictureBox.h"
#include "Timer.h"
#include "Window.h"

class InterfaceFrmForm : public ui::Window {
 public:
  InterfaceFrmForm();
  ~InterfaceFrmForm() override;

  ui::PictureBox TopTlbarFram;  // the gradient behind the command bars
  ui::ButtonBar MainTbl[3];
  ui::PictureBox DownBtn[2];  // drop the Logs and the Help menu
  ui::PictureBox Logo;
  ui::ButtonBar Toolbar1;  // the pages, one pressed
  ui::Container OnLineHelpFrame;
  ui::Label lblOnLineHelp;
  ui::Button Command1, Command2;  // TestMode on and off, in development runs only
  ui::Timer LogTimer;  // the activity log's snapshots; off until logging starts

  ui::Menu MainMenu;
  ui::MenuItem* mnuFile;
  ui::MenuItem* mnuFileOpen;  // shown only in the tray icon's menu
  ui::MenuItem* mnuFileRun;
  ui::MenuItem* mnuFileBlock;
  ui::MenuItem* mnuFileBlockMsg;
  ui::MenuItem* mnuFileTracker;
  ui::MenuItem* mnuFileDest;
  ui::MenuItem* mnuFileLaunchAll;
  ui::MenuItem* mnuFileDetails;
  ui::MenuItem* mnuShutDownHeader;
  ui::MenuItem* mnuShutDown[10];
  ui::MenuItem* mnuFileOptions;
  ui::MenuItem* mnuFileRefresh;
  ui::MenuItem* mnuFileAbout;  // shown only in the tray icon's menu
  ui::MenuItem* mnuFileExit;
  ui::MenuItem* mnuToolsMain;
  ui::MenuItem* mnuTools[6];
  ui::MenuItem* mnuSettings;
  ui::MenuItem* mnuSettingsUpdate;
  ui::MenuItem* mnuSettingsUpdateSpd[4];
  ui::MenuItem* mnuSettingsTop;
  ui::MenuItem* mnuSettingsPopBlock;
  ui::MenuItem* mnuSettingsMsgBlock;
  ui::MenuItem* mnuLogHeader;
  ui::MenuItem* mnuLog[5];
  ui::MenuItem* mnuHelpHeader;
  ui::MenuItem* mnuhelp[5];

  // The page area, in pixels.
  float WindowWidth = 0, WindowHeight = 0;
  // The current page's own refresh interval (seconds).
  int PageInterval = 4;

  // Shows a page inside the frame and hides the others, then refreshes it.
  void TlbButtons(const std::string& key);
  // Refreshes the page shown; nothing while the frame is hidden.
  void RefreshNow(bool listsInSteps = false);
  // Refreshes the page shown once the messages waiting now are served: what asked
  // for it answers at once, and the requests made meanwhile come to one refresh.
  void RefreshSoon();
  // While on, every RefreshNow waits as RefreshSoon does, and the refresh's message is
  // posted only when the last DeferRefreshes(false) comes: the frame's show lays out
  // the frame and its page at once, and their contents follow as one refresh after
  // it, never inside a wait of the show (the foreground change serves messages while
  // it reads the processes).
  void DeferRefreshes(bool on);
  // The timed refresh of the main loop.
  void DoRefresh();
  // Runs a command-bar button's command by key (the options dialog asks for "Refresh").
  void RunCommand(const std::string& key);

  void mnuFileBlock_Click();
  void mnuFileBlockMsg_Click();
  void mnuFileTracker_Click();
  void mnuFileLaunchAll_Click();
  void mnuFileExit_Click();
  void mnuShutDown_Click(int index);
  void mnuTools_Click(int index);
  void mnuSettingsTop_Click();
  void mnuSettingsUpdateSpd_Click(int index);
  void mnuSettingsPopBlock_Click();
  void mnuSettingsMsgBlock_Click();
  void mnuLog_Click(int index);
  // The activity log's snapshot: what started, ended, opened or closed since the last.
  void LogTimer_Timer();
  bool LogBusy = false;  // a tick runs
  double LogStartTime = 0;  // when logging last started (a VB date)
  // The previous tick's processes ("path (id)|") and windows ("title (handle)|").
  std::vector<std::string> LastProcList, LastWndList;
  void mnuhelp_Click(int index);

  // The mouse-up handler, which is also the tray icon's callback: x 515 (a double
  // click on the icon) shows the frame, 517 (a right click) pops up the main menu.
  void Form_MouseUp(int x);

  // The frame's Open dialog: the caller sets Filter and DialogTitle; ShowOpen answers
  // the chosen file (also in FileName), or nothing when the user cancelled.
  struct OpenDialog {
    std::string Filter = "All Files (*.*)|*.*";
    std::string DialogTitle;
    std::string FileName;
    std::optional<std::string> ShowOpen(HWND owner);
    // The Save As dialog, starting on FileName; asks before replacing a file.
    std::optional<std::string> ShowSave(HWND owner);
  } CD1;


 protected:
  void Form_Load() override;
  void Form_Activate() override;
  void Form_Resize() override;
  void Form_Unload(bool& cancel) override;
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void BuildMenus();
  void BuildBars();
  void Toolbar1_ButtonClick(int index, const std::string& key);
  void Toolbar1_MouseOver(int index, const std::string& key);
  void MainTbl_ButtonClick(int bar, int index, const std::string& key);
  void MainTbl_MouseOver(int bar, int index, const std::string& key);
  void DownBtn_Click(int index);
  void DropDown(int bar, const std::string& key, const ui::MenuItem& menu);
  void PlaceControls();
  SIZE laidOut_ = {-1, -1};  // the client size PlaceControls last laid out
  bool IsTrayMessage(WPARAM wp, LPARAM lp) const;
  void ShowTrayMenu();

  void SetLogControls(bool running, bool paused);
  // Counts the log's start, pause and stop commands: a tick that sees it change while
  // it lets events run ends without writing.
  unsigned logCommands_ = 0;

  float MarginX = 2, MarginY = 2;
  bool resizing_ = false;
  // A sizing drag is on: its steps only lay the frame out, and the page is shown
  // and refreshed once, when the drag ends.
  bool sizingDrag_ = false;
  bool sizedInDrag_ = false;
  void PlacePage(const std::string& key);
  // Shows a page inside the frame and hides the others; no refresh.
  void ShowPage(const std::string& key);
  // A refresh asked for by RefreshSoon: due, and its message posted.
  bool refreshDue_ = false;
  bool refreshPosted_ = false;
  int refreshesDeferred_ = 0;
};

extern InterfaceFrmForm InterfaceFrm;
