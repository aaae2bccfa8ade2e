#include "InterfaceFrm.h"

#include <algorithm>
#include <vector>

#include "ActivityLog.h"
#include "CheckUpdateFrm.h"
#include "ConInfoFrm.h"
#include "DetailsFrm.h"
#include "FramePictures.h"
#include "InfoBarFrm.h"
#include "Logfrm.h"
#include "Mainfrm.h"
#include "ModExitWin.h"
#include "ModMain.h"
#include "ModMainLoop.h"
#include "ModProgInfo.h"
#include "ModWndOpr.h"
#include "ModPopHook.h"
#include "ModSettings.h"
#include "ModStartup.h"
#include "MoreToolsFrm.h"
#include "PopUpFrm.h"
#include "ProcCPUFrm.h"
#include "RunFrm.h"
#include "Seams.h"
#include "SysPerfFrm.h"
#include "VbRules.h"
#include "ViewBindings.h"
#include "FileChoice.h"
#include "frmAbout.h"
#include "frmOptions.h"

// After the program's headers: it names a macro after the report window's FindText.

InterfaceFrmForm InterfaceFrm;

namespace {

// The design sizes, in twips: the client area, the smallest outer size, the hint line.
const int kClientWidthTwips = 9810, kClientHeightTwips = 7485;
const int kMinWidthTwips = 10005, kMinHeightTwips = 7845;
const int kHintHeightTwips = 405;
// Pixels of the bars (the frame works in pixels).
const int kPageBarWidth = 84;
const SIZE kCommandButton = {58, 44};
const int kCommandBarHeight = 46;
const COLORREF kHintColour = RGB(12, 135, 194);
const int kLogoWidth = 96;
// The page's refresh asked for by RefreshSoon.
const UINT kPageRefreshMsg = WM_APP + 40;

struct Page {
  const char* key;
  const char* caption;  // short enough for the page bar; the tip is the whole name
  const char* toolTip;
  const char* hint;
  ui::Window* window;
  int interval;  // 0: the page keeps the interval in force
};

const std::vector<Page>& Pages() {
  static const std::vector<Page> pages = {
      {"Quillon", "Tasks", "Task Manager", "Task manager that gives you complete control over running tasks", &Mainfrm, 4},
      {"Performance", "Performance", "System Performance Monitor", "System Performance Monitor that monitors vital System Resources",
       &SysPerfFrm, 2},
      {"PopUp", "Latchkey", "Latchkey", "Latchkey. Manange\\View blocked Pop-up ad", &PopUpFrm, 0},
      {"ConInfo", "Connection", "Internet Connection Monitor",
       "Internet Connection Monitor that provides you with important info about your connection", &ConInfoFrm, 2},
      {"ProcCPU", "Risk Monitor", "Risk Monitor", "Manage applications that are monitored for risky behaviour.", &ProcCPUFrm, 2},
      {"MoreTools", "Mini Tools", "Mini Tools", "Mini tools: Reminders, Media check, tasks history and start-up manager",
       &MoreToolsFrm, 0},
  };
  return pages;
}

const Page* FindPage(const std::string& key) {
  for (const Page& page : Pages())
    if (key == page.key) return &page;
  return nullptr;
}

struct Command {
  int bar;
  const char* key;
  const char* caption;
  const char* toolTip;
  const char* hint;
};

const Command kCommands[] = {
    {0, "Run", "Run", "Run Program", "Run Program, Document ... etc"},
    {0, "Shut", "Shutdown", "Shutdown Options", "Shutdown Windows !!"},
    {0, "ToolBar", "Tracker", "Tracker Bar", "Show/Hide tracker bar"},
    {0, "Destroy", "Terminate", "Terminate And Restart", "Terminate and Restart a Program ... "},
    {0, "Refresh", "Refresh", "Refresh", "Refresh"},
    {0, "Logs", "Logs", "View Logs", "View Logs"},
    {1, "Settings", "Settings", "Quick Settings", "Quick settings"},
    {1, "Options", "Options", "Options", "View Options window"},
    {1, "Help", "Help", "Help", "View Help"},
    {2, "Exit", "Exit", "Exit", "Exit Quillon"},
};

struct ShutDownItem {
  const char* caption;
  const char* prompt;  // nullptr: a separator
  int flags;           // -1: restart in MS-DOS mode
};

const ShutDownItem kShutDown[10] = {
    {"&Exit Windows by Force", "System will shutdown after: ", EWX_SHUTDOWN | EWX_FORCE},
    {"Exit &Windows", "System will shutdown after: ", EWX_SHUTDOWN},
    {"-", nullptr, 0},
    {"&Reboot by Force", "System will reboot after: ", EWX_REBOOT | EWX_FORCE},
    {"Re&boot", "System will reboot after: ", EWX_REBOOT},
    {"-", nullptr, 0},
    {"&Log Off by Force", "System will log off after: ", EWX_LOGOFF | EWX_FORCE},
    {"Log &Off", "System will log off after: ", EWX_LOGOFF},
    {"-", nullptr, 0},
    {"Restart in MS-DOS", "Restart in MS-Dos mode after: ", -1},
};

// Hides a loaded page other than `keep`.
void HideUnless(ui::Window& window, const ui::Window* keep) {
  if (&window != keep && window.Loaded()) window.Hide();
}

// Whether the keyboard is on a page (or on the frame itself, as a page hidden under
// it leaves it): a page switch then moves it into the page shown.
bool KeyboardOnPages(HWND frame) {
  const HWND focus = GetFocus();
  if (!focus) return false;
  if (focus == frame) return true;
  for (const Page& page : Pages())
    if (page.window->Loaded() && (focus == page.window->hwnd() || IsChild(page.window->hwnd(), focus))) return true;
  return false;
}

// Gives a tool window the frame as its parent, as a child at a rectangle.
void Embed(ui::Window& page, HWND frame, RECT at) {
  HWND child = page.hwnd();
  const LONG_PTR style = GetWindowLongPtrA(child, GWL_STYLE);
  SetWindowLongPtrA(child, GWL_STYLE, (style & ~static_cast<LONG_PTR>(WS_POPUP)) | WS_CHILD);
  SetParent(child, frame);
  SetWindowPos(child, nullptr, at.left, at.top, at.right - at.left, at.bottom - at.top, SWP_NOZORDER);
}

// A rectangle in the frame's client area, for SetWindowPos of a page.
RECT PageRect(int x, int y, float width, float height) {
  return {x, y, x + static_cast<int>(width), y + static_cast<int>(height)};
}

}  // namespace

InterfaceFrmForm::InterfaceFrmForm()
    : Window({.caption = ProgramTitle,
              .style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
              .width = vb::TwipsToPixelsX(kClientWidthTwips),
              .height = vb::TwipsToPixelsY(kClientHeightTwips),
              .centred = true,
              .iconId = 1}),
      TopTlbarFram(*this, {2, 2, 650, kCommandBarHeight}),
      MainTbl{{*this, {0, 0, 360, kCommandButton.cy}, false, kCommandButton},
              {*this, {0, 0, 180, kCommandButton.cy}, false, kCommandButton},
              {*this, {0, 0, 60, kCommandButton.cy}, false, kCommandButton}},
      DownBtn{{*this, {0, 0, 12, 12}}, {*this, {0, 0, 12, 12}}},
      Logo(*this, {0, 0, kLogoWidth, 32}),
      Toolbar1(*this, {2, 50, kPageBarWidth, 400}, true, {kPageBarWidth - 4, 56}),
      OnLineHelpFrame(*this, {2, 470, 650, 27}),
      lblOnLineHelp(*this, {0, 6, 650, 18}, "On-Line Help (The limit of this label is 88)"),
      Command1(*this, {0, 0, 34, 20}, "Con"),
      Command2(*this, {0, 0, 34, 20}, "Dis"),
      LogTimer(*this, 0) {
  LogTimer.SetEnabled(false);
  LogTimer.Tick = [this] { LogTimer_Timer(); };
  for (ui::ButtonBar& bar : MainTbl) bar.SetContainer(TopTlbarFram);
  for (ui::PictureBox& arrow : DownBtn) arrow.SetContainer(TopTlbarFram);
  Logo.SetContainer(TopTlbarFram);
  Command1.SetContainer(TopTlbarFram);
  Command2.SetContainer(TopTlbarFram);
  lblOnLineHelp.SetContainer(OnLineHelpFrame);
  Command1.Click = [] { TestMode = true; };
  Command2.Click = [] { TestMode = false; };
  for (int i = 0; i < 2; ++i) {
    DownBtn[i].SetMaskedPicture(DwnArrNormal(), kPictureMask);
    DownBtn[i].Click = [this, i] { DownBtn_Click(i); };
  }
  Logo.SetMaskedPicture(LogoPicture(), kPictureMask);
  BuildBars();
  BuildMenus();
  SetMenu(&MainMenu);

  ViewBindings::Frame& view = Views.frame;
  view.form = this;
  view.lblOnLineHelp = &lblOnLineHelp;
  view.LogTimer = &LogTimer;
  view.mnuFileTracker = mnuFileTracker;
  view.mnuFileBlock = mnuFileBlock;
  view.mnuFileBlockMsg = mnuFileBlockMsg;
  view.mnuSettingsTop = mnuSettingsTop;
  view.mnuSettingsPopBlock = mnuSettingsPopBlock;
  view.mnuSettingsMsgBlock = mnuSettingsMsgBlock;
  for (int i = 0; i < 4; ++i) view.mnuSettingsUpdateSpd[i] = mnuSettingsUpdateSpd[i];
  view.ButtonPressed = [](const std::string& key) { return InterfaceFrm.MainTbl[0].Value(key); };
  view.SetButtonPressed = [](const std::string& key, bool pressed) { InterfaceFrm.MainTbl[0].SetValue(key, pressed); };
  view.PageButtonPressed = [](const std::string& key) { return InterfaceFrm.Toolbar1.Value(key); };
  view.ClickPageButton = [](const std::string& key) {
    InterfaceFrm.Toolbar1.SetValue(key, true);
    InterfaceFrm.Toolbar1.ClickButton(key);
  };
  view.RefreshNow = [] { InterfaceFrm.RefreshNow(); };
  view.DeferRefreshes = [](bool on) { InterfaceFrm.DeferRefreshes(on); };
  view.DoRefresh = [] { InterfaceFrm.DoRefresh(); };
  view.LogCommand = [](int index) { InterfaceFrm.mnuLog_Click(index); };
  view.SwitchMessengerBlock = [] { InterfaceFrm.mnuSettingsMsgBlock_Click(); };
  view.SwitchPopUpBlock = [] { InterfaceFrm.mnuSettingsPopBlock_Click(); };
}

InterfaceFrmForm::~InterfaceFrmForm() = default;

void InterfaceFrmForm::BuildBars() {
  for (const Page& page : Pages()) {
    Toolbar1.Add(page.key, page.caption, page.toolTip, 1);
    Toolbar1.SetPicture(page.key, ButtonPicture(page.key), kPictureMask);
  }
  Toolbar1.SetValue("Quillon", true);
  Toolbar1.ButtonClick = [this](int index, const std::string& key) { Toolbar1_ButtonClick(index, key); };
  Toolbar1.MouseOver = [this](int index, const std::string& key) { Toolbar1_MouseOver(index, key); };
  for (const Command& c : kCommands) {
    MainTbl[c.bar].Add(c.key, c.caption, c.toolTip);
    MainTbl[c.bar].SetPicture(c.key, ButtonPicture(c.key), kPictureMask);
  }
  // Ten captions of different lengths: each button takes what its caption needs, so
  // all of them show whole at the frame's design size.
  for (ui::ButtonBar& bar : MainTbl) bar.SetFitCaptions(true);
  for (int bar = 0; bar < 3; ++bar) {
    MainTbl[bar].ButtonClick = [this, bar](int index, const std::string& key) {
      MainTbl_ButtonClick(bar, index, key);
    };
    MainTbl[bar].MouseOver = [this, bar](int index, const std::string& key) { MainTbl_MouseOver(bar, index, key); };
  }
}

void InterfaceFrmForm::BuildMenus() {
  mnuFile = &MainMenu.Add("&Main");
  mnuFileOpen = &mnuFile->Add("Open");
  mnuFileOpen->SetVisible(false);
  mnuFileOpen->Click = [] { ShowInterfaceFrm(); };
  mnuFileRun = &mnuFile->Add("&Run");
  mnuFileRun->Click = [this] { MainTbl[0].ClickButton("Run"); };
  mnuFile->Add("-");
  mnuFileBlock = &mnuFile->Add("&Block Pop-Up's");
  mnuFileBlock->Click = [this] { mnuFileBlock_Click(); };
  mnuFileBlockMsg = &mnuFile->Add("Block &Messenger Spam");
  mnuFileBlockMsg->Click = [this] { mnuFileBlockMsg_Click(); };
  mnuFile->Add("-");
  mnuFileTracker = &mnuFile->Add("Show/Hide Trac&ker bar");
  mnuFileTracker->Click = [this] { mnuFileTracker_Click(); };
  mnuFileDest = &mnuFile->Add("&Terminate and Restart....");
  mnuFileDest->SetShortcut('T', 2);
  mnuFileDest->Click = [] { StartTermRestartMode(); };
  mnuFileLaunchAll = &mnuFile->Add("Launch All &Internet Programs");
  mnuFileLaunchAll->SetShortcut('I', 2);
  mnuFileLaunchAll->Click = [this] { mnuFileLaunchAll_Click(); };
  mnuFileDetails = &mnuFile->Add("&Programs Details...");
  mnuFileDetails->Click = [] {
    Mainfrm.RefreshMe();
    ShowFrm(DetailsFrm);
    DetailsFrm.RefFrm("", false);
  };
  mnuShutDownHeader = &mnuFile->Add("&Shut Down");
  for (int i = 0; i < 10; ++i) {
    mnuShutDown[i] = &mnuShutDownHeader->Add(kShutDown[i].caption);
    if (kShutDown[i].prompt) mnuShutDown[i]->Click = [this, i] { mnuShutDown_Click(i); };
  }
  mnuFile->Add("-");
  mnuFileOptions = &mnuFile->Add("&Options...");
  mnuFileOptions->Click = [] { ShowFrm(frmOptions); };
  // The menu's Refresh runs the command bar's: the page is refreshed in full.
  mnuFileRefresh = &mnuFile->Add("Refresh");
  mnuFileRefresh->SetShortcut(VK_F5);
  mnuFileRefresh->Click = [this] { RunCommand("Refresh"); };
  mnuFileAbout = &mnuFile->Add("&About");
  mnuFileAbout->SetVisible(false);
  mnuFileAbout->Click = [] { ShowFrm(frmAbout); };
  mnuFile->Add("-");
  mnuFileExit = &mnuFile->Add("&Exit");
  mnuFileExit->Click = [this] { mnuFileExit_Click(); };

  mnuToolsMain = &MainMenu.Add("&Tools");
  const char* tools[6] = {"&Task Manager",  "&System Performance", "&Pop-up Blocker", "&Internet Connection Monitor",
                          "Process &CPU Usage", "&Mini Tools"};
  for (int i = 0; i < 6; ++i) {
    mnuTools[i] = &mnuToolsMain->Add(tools[i]);
    mnuTools[i]->Click = [this, i] { mnuTools_Click(i); };
  }

  mnuSettings = &MainMenu.Add("&Settings");
  mnuSettingsUpdate = &mnuSettings->Add("Update &Speed");
  const char* speeds[4] = {"&High", "&Normal", "&Slow", "&Paused"};
  for (int i = 0; i < 4; ++i) {
    mnuSettingsUpdateSpd[i] = &mnuSettingsUpdate->Add(speeds[i]);
    mnuSettingsUpdateSpd[i]->Click = [this, i] { mnuSettingsUpdateSpd_Click(i); };
  }
  mnuSettings->Add("-");
  mnuSettingsTop = &mnuSettings->Add("Always On &Top");
  mnuSettingsTop->Click = [this] { mnuSettingsTop_Click(); };
  mnuSettings->Add("-");
  mnuSettingsPopBlock = &mnuSettings->Add("Enable &Pop-up blocker on startup");
  mnuSettingsPopBlock->Click = [this] { mnuSettingsPopBlock_Click(); };
  mnuSettingsMsgBlock = &mnuSettings->Add("Enable &Messenger blocker on startup");
  mnuSettingsMsgBlock->Click = [this] { mnuSettingsMsgBlock_Click(); };

  mnuLogHeader = &MainMenu.Add("&Logs");
  const char* logs[5] = {"&Open...", "-", "S&tart Monitoring Running Tasks", "&Pause", "&Stop"};
  for (int i = 0; i < 5; ++i) {
    mnuLog[i] = &mnuLogHeader->Add(logs[i]);
    if (i != 1) mnuLog[i]->Click = [this, i] { mnuLog_Click(i); };
  }
  mnuLog[0]->SetShortcut('L', 2);
  mnuLog[3]->SetShortcut('P', 2);
  mnuLog[4]->SetShortcut('S', 2);
  mnuLog[3]->SetEnabled(false);
  mnuLog[4]->SetEnabled(false);

  mnuHelpHeader = &MainMenu.Add("&Help");
  const char* help[5] = {"Quillon &Help", "&Visit Quillon Website", "Check Updates ...", "-", "&About Quillon"};
  for (int i = 0; i < 5; ++i) {
    mnuhelp[i] = &mnuHelpHeader->Add(help[i]);
    if (i != 3) mnuhelp[i]->Click = [this, i] { mnuhelp_Click(i); };
  }
  mnuhelp[0]->SetShortcut(VK_F1);
}

void InterfaceFrmForm::Form_Load() {
  // A refresh posted to the window of an earlier load went with it.
  refreshPosted_ = false;
  MarginX = 30.0f / vb::TwipsPerPixelX();
  MarginY = 30.0f / vb::TwipsPerPixelY();
  Toolbar1.SetButtonVisible("ProcCPU", IsWinNTFlag);
  mnuTools[4]->SetVisible(IsWinNTFlag);
  mnuShutDown[8]->SetVisible(!IsWinNTFlag);
  mnuShutDown[9]->SetVisible(!IsWinNTFlag);
  SetCaption(ProgramTitle);
  PageInterval = 4;
  SetHintText("");
  HistoryCount = 0;

  SetBackColor(InterfaceBackColor);
  Toolbar1.SetBarColor(InterfaceToolbarColor);
  for (int i = 1; i <= Toolbar1.Count(); ++i) Toolbar1.SetButtonColor(i, InterfaceToolbarColor);
  Toolbar1.SetBackColor(FormBackColor);
  OnLineHelpFrame.SetBackColor(kHintColour);
  lblOnLineHelp.SetForeColor(RGB(255, 255, 255));
  Command1.SetVisible(!IsCompiled);
  Command2.SetVisible(!IsCompiled);
  PlaceControls();

  // The stored position counts only while some screen shows it.
  const std::string left = GetSetting(ProgramTitle, "General", "Left");
  const std::string top = GetSetting(ProgramTitle, "General", "Top");
  auto x = vb::ParseNumber(left), y = vb::ParseNumber(top);
  if (x && y) {
    RECT r;
    GetWindowRect(hwnd(), &r);
    const int px = vb::TwipsToPixelsX(static_cast<int32_t>(*x)), py = vb::TwipsToPixelsY(static_cast<int32_t>(*y));
    RECT at = {px, py, px + (r.right - r.left), py + (r.bottom - r.top)};
    if (MonitorFromRect(&at, MONITOR_DEFAULTTONULL))
      SetWindowPos(hwnd(), nullptr, px, py, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (IsExiting) Unload();
}

// Places every control for the client size now (pixels).
void InterfaceFrmForm::PlaceControls() {
  laidOut_ = {ScaleWidth(), ScaleHeight()};
  const int mx = static_cast<int>(MarginX), my = static_cast<int>(MarginY);
  const int hintHeight = vb::TwipsToPixelsY(kHintHeightTwips);
  const ui::Bounds top = {mx, my, 0, kCommandBarHeight};
  const int pageBarTop = top.y + top.height + my;
  WindowWidth = static_cast<float>(ScaleWidth() - (mx + kPageBarWidth + 4));
  WindowHeight = static_cast<float>(ScaleHeight() - pageBarTop - hintHeight - 2 * MarginY);
  if (WindowHeight < 0) WindowHeight = 0;
  if (WindowWidth < 0) WindowWidth = 0;
  Toolbar1.Move({mx, pageBarTop, kPageBarWidth, static_cast<int>(WindowHeight)});
  const int topWidth = kPageBarWidth + mx + static_cast<int>(WindowWidth);
  TopTlbarFram.Move({top.x, top.y, topWidth, top.height});
  PaintGradient(TopTlbarFram, 238, 238, 238, 157, 174, 201);
  OnLineHelpFrame.Move({mx, pageBarTop + static_cast<int>(WindowHeight) + my, topWidth, hintHeight});
  lblOnLineHelp.Move({4, (hintHeight - 16) / 2, topWidth - 8, 16});

  // Inside the top bar: the command bars centred, each drop-down arrow beside its bar,
  // the logo at the right.
  int x = 4;
  const int barTop = (kCommandBarHeight - kCommandButton.cy) / 2;
  const int arrowTop = (kCommandBarHeight - 12) / 2;
  for (int bar = 0; bar < 3; ++bar) {
    const int fitted = MainTbl[bar].ButtonsExtent().cx;
    const int width = (fitted > 0 ? fitted : MainTbl[bar].Count() * kCommandButton.cx) + 2;
    MainTbl[bar].Move({x, barTop, width, kCommandButton.cy});
    x += width;
    if (bar < 2) {
      DownBtn[bar].Move({x, arrowTop, 12, 12});
      x += 12;
    }
    x += 8;
  }
  Command1.Move({x, 2, 34, 20});
  Command2.Move({x, 24, 34, 20});
  if (!IsCompiled) x += 38;  // the test buttons are shown
  // The logo takes the room right of the bars, and only when there is room for all
  // of it: over a button it would hide the button and take its clicks.
  const int logoLeft = topWidth - kLogoWidth - 4;
  Logo.Move({std::max(logoLeft, x), (kCommandBarHeight - 32) / 2, kLogoWidth, 32});
  Logo.SetVisible(logoLeft >= x);
  for (ui::PictureBox& arrow : DownBtn) arrow.Refresh();
  Logo.Refresh();
}

void InterfaceFrmForm::Form_Resize() {
  // A minimised frame keeps its layout: a new size would restore it.
  if (!hwnd() || IsIconic(hwnd()) || resizing_) return;
  RECT outer;
  GetWindowRect(hwnd(), &outer);
  const int minWidth = vb::TwipsToPixelsX(kMinWidthTwips), minHeight = vb::TwipsToPixelsY(kMinHeightTwips);
  const int width = outer.right - outer.left, height = outer.bottom - outer.top;
  if (width < minWidth || height < minHeight) {
    resizing_ = true;
    SetWindowPos(hwnd(), nullptr, 0, 0, width < minWidth ? minWidth : width, height < minHeight ? minHeight : height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    resizing_ = false;
  }
  // The first show sizes the frame as it was laid out at load: the bars stay, and
  // their gradient is not painted again.
  if (ScaleWidth() != laidOut_.cx || ScaleHeight() != laidOut_.cy) PlaceControls();
  for (int i = 1; i <= Toolbar1.Count(); ++i)
    if (Toolbar1.Value(i)) {
      if (sizingDrag_) {
        // Every step of a drag refreshed the page (a walk of every process): the
        // drag stuttered. The page only follows the frame until the drag ends.
        sizedInDrag_ = true;
        PlacePage(Toolbar1.Key(i));
      } else {
        // The page takes the new size at once; its refresh (a walk of every process)
        // follows as a message of its own, so a maximise or restore answers at once.
        // A page already on show is only placed anew.
        const Page* page = FindPage(Toolbar1.Key(i));
        if (page && page->window->Loaded() && page->window->Visible())
          PlacePage(Toolbar1.Key(i));
        else
          ShowPage(Toolbar1.Key(i));
        RefreshSoon();
      }
      break;
    }
}

void InterfaceFrmForm::PlacePage(const std::string& key) {
  const Page* page = FindPage(key);
  if (!page || !page->window->Loaded()) return;
  const ui::Bounds bar = Toolbar1.GetBounds();
  const RECT at = PageRect(bar.x + bar.width + 2, bar.y, WindowWidth, WindowHeight);
  SetWindowPos(page->window->hwnd(), nullptr, at.left, at.top, at.right - at.left, at.bottom - at.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void InterfaceFrmForm::Form_Activate() {
  // The tray menu brings a hidden frame to the front so the menu can close; that
  // activation must not show it.
  if (!Visible()) return;
  if (AlwaysOnTop)
    SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
  else
    SetWindowPos(hwnd(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void InterfaceFrmForm::TlbButtons(const std::string& key) {
  ShowPage(key);
  if (Visible()) RefreshNow();
}

void InterfaceFrmForm::ShowPage(const std::string& key) {
  const int index = Toolbar1.IndexOf(key);
  {
    // The Tools menu's marks change as one: each change set the menu bar anew, which
    // lays the frame out again, twice for every page switch and for nothing when the
    // page stays.
    ui::Menu::Hold steadyBar(MainMenu);
    for (ui::MenuItem* item : mnuTools) item->SetChecked(false);
    if (index >= 1 && index <= 6) mnuTools[index - 1]->SetChecked(true);
  }

  const Page* page = FindPage(key);
  SetCaption(std::string(ProgramTitle) + " - " + Toolbar1.ToolTip(key));
  const bool keyboardOnPages = hwnd() && KeyboardOnPages(hwnd());
  // The page asked for is not hidden first: the frame's first show places it as the
  // frame takes its size and then presses its button, and a hide and show between
  // the two painted it twice for nothing.
  ui::Window* keep = page ? page->window : nullptr;
  HideUnless(Mainfrm, keep);
  HideUnless(PopUpFrm, keep);
  HideUnless(SysPerfFrm, keep);
  // Hidden like the others, not unloaded: a reload would reset its speed history,
  // time scale and tab.
  HideUnless(ConInfoFrm, keep);
  HideUnless(ProcCPUFrm, keep);
  HideUnless(MoreToolsFrm, keep);
  if (page && Load() && page->window->Load()) {
    const RECT bar = {Toolbar1.GetBounds().x, Toolbar1.GetBounds().y, 0, 0};
    const RECT at = PageRect(bar.left + Toolbar1.GetBounds().width + 2, bar.top, WindowWidth, WindowHeight);
    if (GetParent(page->window->hwnd()) == hwnd())
      SetWindowPos(page->window->hwnd(), nullptr, at.left, at.top, at.right - at.left, at.bottom - at.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    else
      Embed(*page->window, hwnd(), at);
    page->window->Show();
    if (keyboardOnPages) page->window->TakeFocus();
    if (page->window == &MoreToolsFrm) MoreToolsFrm.RefreshMe(false);
  }
  if (page && page->interval && RefreshInterval == PageInterval) {
    PageInterval = page->interval;
    RefreshInterval = static_cast<int16_t>(page->interval);
  }
}

void InterfaceFrmForm::RefreshNow(bool listsInSteps) {
  if (refreshesDeferred_ > 0) {
    RefreshSoon();
    return;
  }
  refreshDue_ = false;  // this refresh is the one asked for
  if (!Visible()) return;
  if (Toolbar1.Value("Quillon")) {
    if (listsInSteps)
      Mainfrm.RefreshMeInSteps();
    else
      Mainfrm.RefreshMe();
  } else if (Toolbar1.Value("Performance"))
    SysPerfFrm.RefreshMe(false);
  else if (Toolbar1.Value("PopUp"))
    PopUpFrm.RefreshMe();
  else if (Toolbar1.Value("ConInfo"))
    ConInfoFrm.RefreshMe();
  else if (Toolbar1.Value("ProcCPU"))
    ProcCPUFrm.RefreshMe();
  else if (Toolbar1.Value("MoreTools") && !Mainfrm.FastRef)
    MoreToolsFrm.RefreshMe(false);
}

void InterfaceFrmForm::RefreshSoon() {
  refreshDue_ = true;
  if (refreshesDeferred_ > 0) return;  // posted when the deferral ends
  if (!refreshPosted_ && hwnd()) refreshPosted_ = PostMessageA(hwnd(), kPageRefreshMsg, 0, 0) != FALSE;
}

void InterfaceFrmForm::DeferRefreshes(bool on) {
  refreshesDeferred_ += on ? 1 : -1;
  if (refreshesDeferred_ == 0 && refreshDue_) RefreshSoon();
}

void InterfaceFrmForm::DoRefresh() {
  Mainfrm.FastRef = true;
  RefreshNow();
}

// A click on the page bar is a message of its own: the lists' reload goes in steps.
void InterfaceFrmForm::Toolbar1_ButtonClick(int /*index*/, const std::string& key) {
  ShowPage(key);
  if (Visible()) RefreshNow(true);
}

void InterfaceFrmForm::Toolbar1_MouseOver(int /*index*/, const std::string& key) {
  if (const Page* page = FindPage(key)) SetHintText(page->hint);
}

void InterfaceFrmForm::MainTbl_MouseOver(int bar, int /*index*/, const std::string& key) {
  for (const Command& c : kCommands)
    if (c.bar == bar && key == c.key) SetHintText(c.hint);
}

void InterfaceFrmForm::RunCommand(const std::string& key) { MainTbl[0].ClickButton(key); }

void InterfaceFrmForm::MainTbl_ButtonClick(int bar, int /*index*/, const std::string& key) {
  if (key == "Shut") {
    DropDown(bar, key, *mnuShutDownHeader);
  } else if (key == "Run") {
    ShowFrm(RunFrm);
  } else if (key == "ToolBar") {
    const bool pressed = !MainTbl[0].Value(key);
    MainTbl[0].SetValue(key, pressed);
    if (pressed)
      InfoBarFrm.Load();
    else
      InfoBarFrm.Unload();
    Toolbar = pressed;
    mnuFileTracker->SetChecked(pressed);
  } else if (key == "Destroy") {
    StartTermRestartMode();
  } else if (key == "Refresh") {
    const int16_t kept = RefreshInterval;
    RefreshInterval = 0;
    Mainfrm.FastRef = false;
    RefreshNow();
    RefreshInterval = kept;
  } else if (key == "Logs") {
    ShowFrm(Logfrm);
  } else if (key == "Settings") {
    DropDown(bar, key, *mnuSettings);
  } else if (key == "Options") {
    ShowFrm(frmOptions);
  } else if (key == "Help") {
    ShowOnlineHelp("");
  } else if (key == "Exit") {
    mnuFileExit_Click();
  }
}

// The button stays pressed while its menu hangs under it.
void InterfaceFrmForm::DropDown(int bar, const std::string& key, const ui::MenuItem& menu) {
  ui::ButtonBar& tbl = MainTbl[bar];
  tbl.SetValue(key, true);
  const RECT button = tbl.ButtonRect(tbl.IndexOf(key));
  POINT at = {button.left, tbl.GetBounds().height};
  ClientToScreen(tbl.hwnd(), &at);
  struct Release {
    ui::ButtonBar& bar;
    const std::string& key;
    ~Release() { bar.SetValue(key, false); }
  } release{tbl, key};
  MainMenu.Popup(*this, menu, at);
}

void InterfaceFrmForm::DownBtn_Click(int index) {
  DownBtn[index].SetMaskedPicture(DwnArrDown(), kPictureMask);
  struct Restore {
    ui::PictureBox& arrow;
    ~Restore() { arrow.SetMaskedPicture(DwnArrNormal(), kPictureMask); }
  } restore{DownBtn[index]};
  const ui::Bounds b = DownBtn[index].GetBounds();
  POINT at = {0, b.height + 80 / vb::TwipsPerPixelY()};
  ClientToScreen(DownBtn[index].hwnd(), &at);
  MainMenu.Popup(*this, index == 0 ? *mnuLogHeader : *mnuHelpHeader, at);
}

void InterfaceFrmForm::mnuFileBlock_Click() {
  BlockPopUps = !BlockPopUps;
  if (BlockPopUps) InstallPopUpHook();
  mnuFileBlock->SetChecked(BlockPopUps);
}

void InterfaceFrmForm::mnuFileBlockMsg_Click() {
  BlockMessenger = !BlockMessenger;
  SetMessengerService();
  mnuFileBlockMsg->SetChecked(BlockMessenger);
}

void InterfaceFrmForm::mnuFileTracker_Click() {
  MainTbl[0].ClickButton("ToolBar");
  mnuFileTracker->SetChecked(MainTbl[0].Value("ToolBar"));
}

void InterfaceFrmForm::mnuFileLaunchAll_Click() {
  // Counted with the page loaded: it is unloaded on every page switch, and an
  // unloaded page's list would say there is nothing to launch.
  ConInfoFrm.Load();
  if (ConInfoFrm.IntProgsList.ItemCount() == 0) {
    MsgBox("You didn't specify any Internet programs, please add your favourite Internet programs",
           MB_ICONINFORMATION, hwnd());
    ShowInterfaceFrm();
    Toolbar1.SetValue("ConInfo", true);
    Toolbar1.ClickButton("ConInfo");
    ConInfoFrm.SSTab1.SetTab(1);
  } else {
    ConInfoFrm.LaunchAllBtn_Click();
  }
}

void InterfaceFrmForm::mnuFileExit_Click() {
  MsgText =
      "Quillon Pro needs to be always running to detect and monitor accurate Internet Connection information and "
      "block pop-ups. Are you still sure you want to exit?";
  MsgStyle = MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2;
  if (ShowMsg(hwnd()) == IDYES) {
    Hide();
    IsExiting = true;
  }
}

void InterfaceFrmForm::mnuShutDown_Click(int index) {
  if (index < 0 || index > 9 || !kShutDown[index].prompt) return;
  if (ShutdownCountdown(kShutDown[index].prompt)) return;
  if (kShutDown[index].flags >= 0) {
    ExitWin(static_cast<UINT>(kShutDown[index].flags));
    return;
  }
  const std::string pif = GetExitToDosPif();
  if (!FileExists(pif)) {
    MsgBox("Cannot find " + pif + "\n\nPlease make sure this file is in your Windows directory", MB_ICONSTOP,
           hwnd());
    return;
  }
  seams::ShellRequest request;
  request.owner = hwnd();
  request.verb = "open";
  request.file = pif;
  request.show = SW_SHOWNORMAL;
  seams::ShellExecuteFn(request);
}

void InterfaceFrmForm::mnuTools_Click(int index) {
  Toolbar1.SetValue(index + 1, true);
  Toolbar1.ClickButton(index + 1);
}

void InterfaceFrmForm::mnuSettingsTop_Click() {
  AlwaysOnTop = !mnuSettingsTop->Checked();
  if (hwnd()) {
    if (AlwaysOnTop)
      SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    else
      SetWindowPos(hwnd(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  }
  mnuSettingsTop->SetChecked(AlwaysOnTop);
}

void InterfaceFrmForm::mnuSettingsUpdateSpd_Click(int index) {
  if (index < 0 || index > 3) return;
  UpdateSpeed = static_cast<int16_t>(index);
  Mainfrm.FastRef = false;
  for (ui::MenuItem* item : mnuSettingsUpdateSpd) item->SetChecked(false);
  static const int kIntervals[4] = {0, 20, 35, 0};
  RefreshInterval = static_cast<int16_t>(index == 0 ? PageInterval : kIntervals[index]);
  mnuSettingsUpdateSpd[index]->SetChecked(true);
}

void InterfaceFrmForm::mnuSettingsPopBlock_Click() {
  mnuSettingsPopBlock->SetChecked(!mnuSettingsPopBlock->Checked());
  SaveSetting(ProgramTitle, "MoreTools", "BlockPopUps", vb::BoolText(mnuSettingsPopBlock->Checked()));
}

void InterfaceFrmForm::mnuSettingsMsgBlock_Click() {
  mnuSettingsMsgBlock->SetChecked(!mnuSettingsMsgBlock->Checked());
  SaveSetting(ProgramTitle, "MoreTools", "BlockMessenger", vb::BoolText(mnuSettingsMsgBlock->Checked()));
}

namespace {

const char kLoggingSince[] = "Quillon Pro is logging now processes and windows. Started at ";
const COLORREF kLogOn = RGB(0, 255, 0), kLogOff = RGB(255, 0, 0);

// The time of a log line: "hh:nn:ss", 24-hour.
std::string LogLineTime() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  char text[16];
  snprintf(text, sizeof text, "%02u:%02u:%02u", now.wHour, now.wMinute, now.wSecond);
  return text;
}

void SetStatus(const std::string& text, COLORREF light) {
  MoreToolsFrm.RecStatusLbl.SetText(text);
  MoreToolsFrm.IndShp.SetBackColor(light);
}

void AppendLines(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) activitylog::AppendHistory(HistoryLog, HistoryCount, line, NumLogData);
}

}  // namespace

void InterfaceFrmForm::mnuLog_Click(int index) {
  switch (index) {
    case 0:
      ShowFrm(Logfrm);
      break;
    case 2:  // start, or start again
      ++logCommands_;
      mnuLog[2]->SetCaption("Res&tart");
      MoreToolsFrm.StartBtn.SetText("Res&tart");
      mnuLog[3]->SetCaption("&Pause");
      MoreToolsFrm.PauseBtn.SetText("&Pause");
      SetLogControls(true, false);
      LogTimer.SetEnabled(true);
      HistoryCount = 0;
      HistoryLog.assign(1, std::string());
      LastProcList.assign(1, std::string());
      LastWndList.assign(1, std::string());
      LogStartTime = vb::Now();
      SetStatus(kLoggingSince + vb::CStrDate(LogStartTime), kLogOn);
      break;
    case 3:  // pause, or resume
      ++logCommands_;
      if (mnuLog[3]->Caption() == "&Resume") {
        mnuLog[3]->SetCaption("&Pause");
        MoreToolsFrm.PauseBtn.SetText("&Pause");
        LogTimer.SetEnabled(true);
        SetStatus(kLoggingSince + vb::CStrDate(LogStartTime), kLogOn);
      } else {
        SetStatus("Logging process is paused since " + vb::CStrDate(vb::Now()), kLogOff);
        mnuLog[3]->SetCaption("&Resume");
        MoreToolsFrm.PauseBtn.SetText("&Resume");
        LogTimer.SetEnabled(false);
      }
      break;
    case 4:  // stop; the history stays until the next start
      ++logCommands_;
      SetLogControls(false, false);
      mnuLog[3]->SetCaption("&Pause");
      MoreToolsFrm.PauseBtn.SetText("&Pause");
      mnuLog[2]->SetCaption("S&tart Monitoring Running Tasks");
      MoreToolsFrm.StartBtn.SetText("S&tart");
      LogTimer.SetEnabled(false);
      SetStatus("Press Start to start logging", kLogOff);
      break;
    default:
      break;
  }
}

void InterfaceFrmForm::SetLogControls(bool running, bool /*paused*/) {
  mnuLog[3]->SetEnabled(running);
  mnuLog[4]->SetEnabled(running);
  MoreToolsFrm.PauseBtn.SetEnabled(running);
  MoreToolsFrm.StopBtn.SetEnabled(running);
}

// The lists are copied right after the walk and the rebuild: the events let run
// meanwhile may refresh a page, which rebuilds the shared tables, or bring a Logs
// command, which ends the tick without writing.
void InterfaceFrmForm::LogTimer_Timer() {
  if (LogBusy) return;
  LogBusy = true;
  const unsigned commands = logCommands_;
  struct Done {
    bool& busy;
    ~Done() {
      busy = false;
      LogScanning = 0;
    }
  } done{LogBusy};
  try {
    LogScanning = -1;
    DoProcessListOp(kProcRebuild, vb::BoolText(true));
    LogScanning = 0;
    std::vector<activitylog::Item> processes;
    for (size_t i = 0; i < ProcIdList.size() && i < ProcPathList.size(); ++i)
      processes.push_back({ProcPathList[i], ProcIdList[i]});
    ui::DoEvents();
    if (commands != logCommands_) return;
    activitylog::Comparison programs =
        activitylog::Compare(LastProcList, processes, activitylog::kProcessWords, LogLineTime(), true);
    AppendLines(programs.lines);
    LastProcList = std::move(programs.entries);

    LogScanning = -1;
    GetWndInfo(kWndRebuildTable, "");
    LogScanning = 0;
    std::vector<activitylog::Item> windows;
    for (int i = 0; i <= WndTableLast && i < static_cast<int>(WndTable.size()); ++i) {
      const std::string title = i < static_cast<int>(WndTitles.size()) ? WndTitles[i] : std::string();
      windows.push_back({title, static_cast<uint64_t>(reinterpret_cast<uintptr_t>(WndTable[i]))});
    }
    ui::DoEvents();
    if (commands != logCommands_) return;
    activitylog::Comparison opened =
        activitylog::Compare(LastWndList, windows, activitylog::kWindowWords, LogLineTime(), true);
    AppendLines(opened.lines);
    LastWndList = std::move(opened.entries);
  } catch (const std::exception&) {
    // A failed snapshot skips this tick; the next one compares again.
  }
}

void InterfaceFrmForm::mnuhelp_Click(int index) {
  switch (index) {
    case 0: ShowOnlineHelp(""); break;
    case 1: OpenUrl(ProductWebSite); break;
    case 2: ShowFrm(CheckUpdateFrm); break;
    case 4: ShowFrm(frmAbout); break;
    default: break;
  }
}

void InterfaceFrmForm::Form_MouseUp(int x) {
  if (x == WM_LBUTTONDBLCLK) {
    ShowInterfaceFrm();
  } else if (x == WM_RBUTTONUP) {
    ShowTrayMenu();
  } else {
    SetPriorityClass(GetCurrentProcess(), HIGH_PRIORITY_CLASS);
  }
}

// The Main menu with the tray's own items. Menu::Popup brings the frame to the front
// even while it is hidden, so a click elsewhere closes the menu; the items are put back
// whatever the chosen command does.
void InterfaceFrmForm::ShowTrayMenu() {
  // The tray's items change the bar for the time of the menu only: the bar is not set
  // anew for them, neither before the menu nor after it.
  ui::Menu::Hold steadyBar(MainMenu);
  struct TrayItems {
    InterfaceFrmForm& f;
    void Set(bool tray) {
      f.mnuFileOpen->SetVisible(tray);
      f.mnuFileAbout->SetVisible(tray);
      f.mnuFileRun->SetVisible(!tray);
      f.mnuFileRefresh->SetVisible(!tray);
    }
    ~TrayItems() { Set(false); }
  } items{*this};
  items.Set(true);
  POINT cursor = {};
  seams::CursorPosFn(&cursor);
  MainMenu.Popup(*this, *mnuFile, cursor);
}

// The tray icon calls back with a right-button-up message carrying its id (1) in
// wParam and its own mouse message in lParam; a real click on the frame carries key
// flags and a position.
bool InterfaceFrmForm::IsTrayMessage(WPARAM wp, LPARAM lp) const { return wp == 1 && HIWORD(lp) == 0; }

// Closing the frame only hides it; the program goes on in the tray until it exits.
void InterfaceFrmForm::Form_Unload(bool& cancel) {
  Hide();
  if (!IsExiting) cancel = true;
}

std::optional<std::string> InterfaceFrmForm::OpenDialog::ShowOpen(HWND owner) {
  FileChoice choice;
  choice.filter = Filter;
  choice.title = DialogTitle;
  choice.mustExist = true;
  auto file = ChooseFileToOpen(owner, choice);
  if (file) FileName = *file;
  return file;
}

std::optional<std::string> InterfaceFrmForm::OpenDialog::ShowSave(HWND owner) {
  FileChoice choice;
  choice.filter = Filter;
  choice.title = DialogTitle;
  choice.fileName = FileName;
  auto file = ChooseFileToSave(owner, choice);
  if (file) FileName = *file;
  return file;
}

LRESULT InterfaceFrmForm::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  // The shell tells every window when it starts again (Explorer restarted): the
  // tray icon it held is gone and must be added anew.
  static const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
  if (taskbarCreated && msg == taskbarCreated) {
    if (!IsExiting) AddTrayIcon();
    return 0;
  }
  if (msg == kPageRefreshMsg) {
    refreshPosted_ = false;
    // A message of its own: the lists' reload goes in steps, each a message too.
    if (refreshDue_) RefreshNow(true);
    return 0;
  }
  if (msg == kBringFrameForwardMsg) {
    BringInterfaceFrmForward();
    return 0;
  }
  switch (msg) {
    case WM_HOTKEY:
      NoteHotKey(hwnd(), wp);
      return 0;
    case WM_ENTERSIZEMOVE:
      sizingDrag_ = true;
      sizedInDrag_ = false;
      break;
    case WM_EXITSIZEMOVE:
      sizingDrag_ = false;
      if (sizedInDrag_) {
        sizedInDrag_ = false;
        Form_Resize();
      }
      break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      SetPriorityClass(GetCurrentProcess(), NORMAL_PRIORITY_CLASS);
      break;
    case WM_RBUTTONUP:
      if (IsTrayMessage(wp, lp)) {
        Form_MouseUp(static_cast<int>(lp));
        return 0;
      }
      SetPriorityClass(GetCurrentProcess(), HIGH_PRIORITY_CLASS);
      break;
    case WM_LBUTTONUP:
      SetPriorityClass(GetCurrentProcess(), HIGH_PRIORITY_CLASS);
      break;
    default:
      break;
  }
  return Window::WndProc(msg, wp, lp);
}
