#include "InterfaceFrm.h"

#include "ConInfoFrm.h"
#include "InfoBarFrm.h"
#include "Mainfrm.h"
#include "ModMain.h"
#include "ModMainLoop.h"
#include "ModSettings.h"
#include "ModStartup.h"
#include "MoreToolsFrm.h"
#include "ProcCPUFrm.h"
#include "SysPerfFrm.h"
#include "VbRules.h"
#include "ViewBindings.h"

InterfaceFrmForm InterfaceFrm;

namespace {

const int kHintHeight = 24;

struct Page {
  const char* key;
  const char* toolTip;
  ui::Window* window;  // null: the page arrives with its subsystem
  int interval;        // 0: the page keeps the interval in force
};

const Page* FindPage(const std::string& key) {
  static const Page pages[] = {
      {"Quillon", "Task Manager", &Mainfrm, 4},
      {"Performance", "System Performance Monitor", &SysPerfFrm, 2},
      {"PopUp", "Latchkey", nullptr, 0},
      {"ConInfo", "Internet Connection Monitor", &ConInfoFrm, 2},
      {"ProcCPU", "Risk Monitor", &ProcCPUFrm, 2},
      {"MoreTools", "Mini Tools", &MoreToolsFrm, 0},
  };
  for (const Page& page : pages)
    if (key == page.key) return &page;
  return nullptr;
}

void HideIfLoaded(ui::Window& window) {
  if (window.Loaded()) window.Hide();
}

}  // namespace

InterfaceFrmForm::InterfaceFrmForm()
    : Window({.caption = ProgramTitle, .style = WS_OVERLAPPEDWINDOW, .width = 640, .height = 440,
                  .centred = true, .iconId = 1}),
      lblOnLineHelp(*this, {0, 440 - kHintHeight, 640, kHintHeight}),
      LogTimer(*this, 0) {
  LogTimer.SetEnabled(false);
  mnuFile = &MainMenu.Add("&File");
  mnuFileOpen = &mnuFile->Add("Open");
  mnuFileOpen->SetVisible(false);
  mnuFileOpen->Click = [] { ShowInterfaceFrm(); };
  mnuFileTracker = &mnuFile->Add("Show/Hide Trac&ker bar");
  mnuFileTracker->Click = [this] { mnuFileTracker_Click(); };
  mnuFileBlock = &mnuFile->Add("&Block Pop-Up's");
  mnuFileBlockMsg = &mnuFile->Add("Block &Messenger Spam");
  mnuFile->Add("-");
  mnuFileExit = &mnuFile->Add("E&xit");
  mnuFileExit->Click = [this] {
    Hide();
    IsExiting = true;
  };

  mnuSettings = &MainMenu.Add("&Settings");
  mnuSettingsUpdate = &mnuSettings->Add("Update &Speed");
  const char* speeds[4] = {"&High", "&Normal", "&Slow", "&Paused"};
  for (int i = 0; i < 4; ++i) {
    mnuSettingsUpdateSpd[i] = &mnuSettingsUpdate->Add(speeds[i]);
    mnuSettingsUpdateSpd[i]->Click = [this, i] { mnuSettingsUpdateSpd_Click(i); };
  }
  mnuSettingsTop = &mnuSettings->Add("Always On &Top");
  mnuSettingsTop->Click = [this] { mnuSettingsTop_Click(); };
  mnuSettingsPopBlock = &mnuSettings->Add("Enable &Pop-up blocker on startup");
  mnuSettingsPopBlock->Click = [this] { mnuSettingsPopBlock_Click(); };
  mnuSettingsMsgBlock = &mnuSettings->Add("Enable &Messenger blocker on startup");
  mnuSettingsMsgBlock->Click = [this] { mnuSettingsMsgBlock_Click(); };
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
  view.ButtonPressed = [](const std::string& key) { return InterfaceFrm.ButtonPressed(key); };
  view.SetButtonPressed = [](const std::string& key, bool pressed) { InterfaceFrm.SetButtonPressed(key, pressed); };
  view.PageButtonPressed = [](const std::string& key) { return InterfaceFrm.PageButtonPressed(key); };
  view.ClickPageButton = [](const std::string& key) { InterfaceFrm.ClickPageButton(key); };
  view.RefreshNow = [] { InterfaceFrm.RefreshNow(); };
  view.DoRefresh = [] { InterfaceFrm.DoRefresh(); };
}

void InterfaceFrmForm::Form_Load() {
  SetBackColor(InterfaceBackColor);
  PageInterval = 4;
}

void InterfaceFrmForm::SetButtonPressed(const std::string& key, bool pressed) { pressed_[key] = pressed; }

bool InterfaceFrmForm::ButtonPressed(const std::string& key) const {
  auto it = pressed_.find(key);
  return it != pressed_.end() && it->second;
}

void InterfaceFrmForm::ClickButton(const std::string& key) {
  if (key != "ToolBar") return;
  bool pressed = !ButtonPressed(key);
  SetButtonPressed(key, pressed);
  if (pressed)
    InfoBarFrm.Load();
  else
    InfoBarFrm.Unload();
  Toolbar = pressed;
  mnuFileTracker->SetChecked(pressed);
}

void InterfaceFrmForm::ClickPageButton(const std::string& key) {
  pressedPage_ = key;
  TlbButtons(key);
}

void InterfaceFrmForm::TlbButtons(const std::string& key) {
  const Page* page = FindPage(key);
  SetCaption(std::string(ProgramTitle) + " - " + (page ? page->toolTip : ""));
  HideIfLoaded(Mainfrm);
  HideIfLoaded(SysPerfFrm);
  ConInfoFrm.Unload();  // loaded again on its next use
  HideIfLoaded(MoreToolsFrm);
  HideIfLoaded(ProcCPUFrm);
  if (page && page->window && Load() && page->window->Load()) {
    HWND child = page->window->hwnd();
    const LONG style = GetWindowLongA(child, GWL_STYLE);
    SetWindowLongA(child, GWL_STYLE, (style & ~WS_POPUP) | WS_CHILD);
    SetParent(child, hwnd());
    SetWindowPos(child, nullptr, 0, 0, ScaleWidth(), ScaleHeight() - kHintHeight, SWP_NOZORDER);
    page->window->Show();
    if (page->window == &MoreToolsFrm) MoreToolsFrm.RefreshMe(false);
  }
  if (page && page->interval && RefreshInterval == PageInterval) {
    PageInterval = page->interval;
    RefreshInterval = static_cast<int16_t>(page->interval);
  }
  if (Visible()) RefreshNow();
}

void InterfaceFrmForm::RefreshNow() {
  if (!Visible()) return;
  if (pressedPage_ == "Quillon")
    Mainfrm.RefreshMe();
  else if (pressedPage_ == "Performance")
    SysPerfFrm.RefreshMe(false);
  else if (pressedPage_ == "ConInfo")
    ConInfoFrm.RefreshMe();
  else if (pressedPage_ == "ProcCPU")
    ProcCPUFrm.RefreshMe();
  else if (pressedPage_ == "MoreTools" && !Mainfrm.FastRef)
    MoreToolsFrm.RefreshMe(false);
}

void InterfaceFrmForm::DoRefresh() {
  Mainfrm.FastRef = true;
  RefreshNow();
}

void InterfaceFrmForm::mnuFileTracker_Click() {
  ClickButton("ToolBar");
  mnuFileTracker->SetChecked(ButtonPressed("ToolBar"));
}

void InterfaceFrmForm::mnuSettingsTop_Click() {
  if (hwnd()) {
    if (mnuSettingsTop->Checked())
      SetWindowPos(hwnd(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    else
      SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
  }
  mnuSettingsTop->SetChecked(!mnuSettingsTop->Checked());
}

void InterfaceFrmForm::mnuSettingsUpdateSpd_Click(int index) {
  UpdateSpeed = static_cast<int16_t>(index);
  Mainfrm.FastRef = false;
  for (ui::MenuItem* item : mnuSettingsUpdateSpd) item->SetChecked(false);
  static const int kIntervals[4] = {0, 20, 35, 0};
  if (index < 0 || index > 3) return;
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

void InterfaceFrmForm::Form_MouseUp(int x) {
  if (x == WM_LBUTTONDBLCLK) {
    ShowInterfaceFrm();
  } else if (x == WM_RBUTTONUP) {
    if (Visible()) SetForegroundWindow(hwnd());
    POINT cursor = {};
    GetCursorPos(&cursor);
    mnuFileOpen->SetVisible(true);
    MainMenu.Popup(*this, *mnuFile, cursor);
    mnuFileOpen->SetVisible(false);
  } else {
    SetPriorityClass(GetCurrentProcess(), HIGH_PRIORITY_CLASS);
  }
}

// Closing the frame only hides it; the program goes on in the tray until it exits.
void InterfaceFrmForm::Form_Unload(bool& cancel) {
  Hide();
  if (!IsExiting) cancel = true;
}

LRESULT InterfaceFrmForm::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  // The shell tells every window when it starts again (Explorer restarted): the
  // tray icon it held is gone and must be added anew.
  static const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
  if (taskbarCreated && msg == taskbarCreated) {
    if (!IsExiting) AddTrayIcon();
    return 0;
  }
  switch (msg) {
    case WM_HOTKEY:
      NoteHotKey(hwnd(), wp);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      SetPriorityClass(GetCurrentProcess(), NORMAL_PRIORITY_CLASS);
      break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
      // The tray icon's messages arrive here with the icon's mouse message as x.
      Form_MouseUp(static_cast<short>(LOWORD(lp)));
      return 0;
    case WM_SIZE:
      lblOnLineHelp.Move({0, HIWORD(lp) - kHintHeight, LOWORD(lp), kHintHeight});
      break;
    default:
      break;
  }
  return Window::WndProc(msg, wp, lp);
}
