// The windows' controls and actions that code below the windows fills, reads or calls.
// Each window binds its part when it is constructed, so the model and the running
// program never name a window; a part whose window is not in the program stays null
// and the code that would use it does without.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace ui {
class Window;
class Control;
class Label;
class CheckBox;
class TextBox;
class OptionButton;
class ListView;
class ListBox;
class TabControl;
class TabPages;
class Timer;
class MenuItem;
}  // namespace ui

struct ViewBindings {
  // The main frame: the owner of message boxes, the tray icon and the hot key.
  struct Frame {
    ui::Window* form;
    ui::Label* lblOnLineHelp;
    ui::Timer* LogTimer;
    ui::MenuItem* mnuFileTracker;
    ui::MenuItem* mnuFileBlock;
    ui::MenuItem* mnuFileBlockMsg;
    ui::MenuItem* mnuSettingsTop;
    ui::MenuItem* mnuSettingsPopBlock;
    ui::MenuItem* mnuSettingsMsgBlock;
    ui::MenuItem* mnuSettingsUpdateSpd[4];
    bool (*ButtonPressed)(const std::string& key);
    void (*SetButtonPressed)(const std::string& key, bool pressed);
    bool (*PageButtonPressed)(const std::string& key);
    void (*ClickPageButton)(const std::string& key);
    void (*RefreshNow)();
    void (*DoRefresh)();
    // While on, the shown page's refreshes wait for the next message.
    void (*DeferRefreshes)(bool on);
    // The activity log's menu commands (2 start, 3 pause or resume, 4 stop), which the
    // mini-tools page's buttons give too.
    void (*LogCommand)(int index);
    // The Settings menu's blocker switches, which the mini-tools page's boxes also flip.
    void (*SwitchMessengerBlock)();
    void (*SwitchPopUpBlock)();
  } frame;
  // The lists page: running programs and open windows.
  struct Lists {
    ui::Window* form;
    ui::ListView* AppLst;
    ui::ListView* WndLst;
    bool* FastRef;
    // True while the page's refresh runs (it pumps events, so options can be applied
    // in the middle of it).
    bool* Refreshing;
    ui::MenuItem* mnuAppLstView[3];
    ui::MenuItem* mnuWndLstView[3];
    // Ends (and, when asked, restarts) a program as the page's own command does; false
    // when the user kept a special program running. The details window ends one too.
    bool (*DestroyAndRes)(const std::string& path, bool restart);
    // The page's rows brought up to date for a report, and its view choice (0 to 2).
    void (*RefreshForReport)();
    const int16_t* ProgWndImgIndex;
  } lists;
  // The program details window: the instances and modules the walkers fill.
  struct Details {
    ui::Window* form;
    ui::ListView* ProcLst;
    ui::ListView* ModsLst;
    void (*RefreshMe)();
  } details;
  struct Quarantine {
    ui::Window* form;
    bool (*MoveToQrt)(const std::string& path);
  } quarantine;
  // The performance page, which keeps sampling while it is not on view.
  struct Performance {
    ui::Window* form;
    void (*RefreshMe)(bool fromLoop);
  } performance;
  struct TrackerBar {
    ui::Window* form;
    void (*Timer1_Timer)();
    // True while the tick has work that no message announces (sliding, scrolling
    // under a resting cursor, showing the bar again): the loop then ticks it often.
    bool (*TickWanted)();
    void (*RefreshMe)();
    void (*IniTrackerItems)();
    void (*Unload)();  // gives up the screen edge and keeps the bar's state in the globals
  } trackerBar;
  // The reminder window: a reminder of a type (0 Windows, 1 Internet), its title and text.
  struct Reminders {
    void (*Show)(int16_t msgType, const std::string& title, const std::string& text);
  } reminders;
  // The connection page: programs launched on connect.
  struct Connection {
    ui::Window* form;
    ui::ListView* IntProgsList;
  } connection;
  struct Options {
    ui::Window* form;
    ui::TabPages* SSTab1;
    ui::ListView* SProgsList;
    ui::OptionButton* LANConOpt[2];
  } options;
  // The special-program dialog's action captions.
  struct SpecialProgram {
    const std::vector<std::string>* SProgOpt;
  } specialProgram;
  struct MoreTools {
    ui::Window* form;
    ui::ListBox* DriveEXList;
    ui::CheckBox* IntReminderChk;
    ui::TextBox* IntReminderTxt;
    ui::Label* Label4;
    void (*LoadMoreToolsData)();
    // Shows the reminder options as they now stand, after a writer other than the page
    // (the reminder's "Don't show") changed them.
    void (*ShowReminderOptions)();
    // The media-check option's box, which the warning's don't-show box clears too.
    ui::CheckBox* MediaChk;
    // The media check of the exits: "all" walks every drive.
    void (*CheckDrivesForMedia)(const std::string& drive);
    // Reads the start-up list again (the page loaded first), and only that: the
    // reminder fields may hold the user's unsaved edits.
    void (*RefreshStartUpList)();
  } moreTools;
  // The report window that the find dialog searches.
  struct Report {
    ui::Window* form;
    ui::Control* txtLog;
    int32_t (*SelStart)();
    void (*Select)(int32_t start, int32_t length);
  } report;
  struct Splash {
    ui::Window* form;
  } splash;
  // The pop-up blocker's page: its tabs (2 is the browser list).
  struct PopUpPage {
    ui::Window* form;
    ui::TabPages* SSTab1;
    // The browser list (name, path) and the white list, refilled by every load.
    ui::ListView* BrowsersLst;
    ui::ListView* WhiteWndLst;
    ui::ListView* BlockedWndLst;  // the blocked pop-ups, read by the report
  } popUpPage;
  // The notice the scan hands each pop-up to, and ticks on every pass while shown.
  struct PopUpNotice {
    ui::Window* form;
    void (*ShowPop)(const std::string& title, int16_t browser, HWND window, int16_t slot, uint32_t threadId,
                    int16_t webDialog);
    void (*Timer1_Timer)();
    // Records and closes the held pop-up and hides the notice (the program's end).
    void (*ReleaseHeld)();
  } popUpNotice;
  // The Risk Monitor page: the lists page puts programs under the monitor through it.
  struct ProcCpu {
    ui::Window* form;
    bool (*AddProcess)(const std::string& title, const std::string& path, bool notRunning);
    void (*RefreshMe)();
  } procCpu;
  // The status window: progress text and Cancel, and the hook libraries' window.
  struct Status {
    ui::Window* form;
    ui::Label* lblCancel;
  } status;
};

// Zero until the windows bind themselves: only pointers, so no order of construction
// can undo a binding.
extern ViewBindings Views;

// The handle of a bound window, null when it is not bound or not created.
HWND BoundHwnd(const ui::Window* form);
// The main frame's handle: the owner of the program's message boxes.
inline HWND FrameHwnd() { return BoundHwnd(Views.frame.form); }

// A bound window's common calls; each does nothing (or answers false) when unbound.
bool LoadView(ui::Window* form);
void HideView(ui::Window* form);
bool ViewLoaded(const ui::Window* form);
bool ViewVisible(const ui::Window* form);
