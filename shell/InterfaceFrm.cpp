#include "InterfaceFrm.h"

#include "InfoBarFrm.h"
#include "Mainfrm.h"
#include "ModMain.h"
#include "ModSettings.h"
#include "ModStartup.h"
#include "VbRules.h"

InterfaceFrmForm InterfaceFrm;

namespace {
ui::FormSpec Spec() {
  ui::FormSpec spec;
  spec.caption = ProgramTitle;
  spec.style = WS_OVERLAPPEDWINDOW;
  spec.width = 640;
  spec.height = 440;
  spec.centred = true;
  spec.iconId = 1;
  return spec;
}
}  // namespace

InterfaceFrmForm::InterfaceFrmForm()
    : Window(Spec()),
      lblOnLineHelp(*this, {12, 12, 600, 60},
                    "Quillon Pro is running. Its lists, monitors and tools are not available yet.") {
  mnuFile = &MainMenu.Add("&File");
  mnuFileTracker = &mnuFile->Add("Show/Hide Trac&ker bar");
  mnuFileTracker->Click = [this] { mnuFileTracker_Click(); };
  mnuFileBlock = &mnuFile->Add("&Block Pop-Up's");
  mnuFileBlockMsg = &mnuFile->Add("Block &Messenger Spam");
  mnuFile->Add("-");
  mnuFileExit = &mnuFile->Add("E&xit");
  mnuFileExit->Click = [] { IsExiting = true; };

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
}

void InterfaceFrmForm::Form_Load() { SetBackColor(InterfaceBackColor); }

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
  RefreshInterval = index == 0 ? PageInterval : kIntervals[index];
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

void InterfaceFrmForm::ShowUntilClosed() {
  closeEnds_ = true;
  ShowFrm(*this);
}

void InterfaceFrmForm::Form_QueryUnload(bool& cancel, int /*unloadMode*/) {
  // The frame is only hidden; while there is no tray icon to bring it back,
  // closing it ends the program.
  cancel = true;
  Hide();
  if (closeEnds_) IsExiting = true;
}
