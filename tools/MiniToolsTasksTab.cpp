#include "MiniToolsTasksTab.h"

#include <string>

#include "DetailsFrm.h"
#include "Logfrm.h"
#include "ModCheckDrive.h"
#include "ModMain.h"
#include "ModMainPlatform.h"
#include "ModSettings.h"
#include "VbRules.h"
#include "ViewBindings.h"

const char kDriveLetterText[] = "Type one drive letter, A to Z, to leave that drive out of the media check.";

namespace {

const char kHint[] = "Mini tools: Reminders, Media check, tasks history and start-up manager";

// The frame keeps the log and its menu: the buttons give the same commands.
void LogCommand(int index) {
  if (Views.frame.LogCommand) Views.frame.LogCommand(index);
}

}  // namespace

MiniToolsTasksTab::MiniToolsTasksTab(ui::Window& form, ui::Container& page)
    : HistoryFram(form, {8, 8, 525, 104}, "Processes and Windows History"),
      StartBtn(form, {10, 20, 80, 26}, "S&tart"),
      PauseBtn(form, {96, 20, 80, 26}, "&Pause"),
      ViewBtn(form, {182, 20, 80, 26}, "View"),
      StopBtn(form, {268, 20, 80, 26}, "&Stop"),
      StatusLbl(form, {10, 58, 50, 18}, "Status:"),
      RecStatusLbl(form, {62, 58, 420, 36},
                   "Press Start to start logging processes and windows that are launched/terminated."),
      IndShp(form, {496, 58, 16, 16}, true),
      MediaFram(form, {8, 118, 525, 112}, "Media Check"),
      MediaChk(form, {10, 18, 505, 20}, "Warn me if there exists any removable media (disks, CDs, ..etc) on Shutdown."),
      DriveEXLbl(form, {10, 46, 150, 18}, "Don't check these drives :"),
      // The edit upper-cases as it is typed: replacing the text afterwards put the caret
      // back at the start, so the next key landed before the letter.
      DriveEXLetter(form, {164, 44, 30, 20}, "", ES_UPPERCASE),
      AddDriveEXBtn(form, {200, 42, 60, 24}, "Add"),
      DriveEXList(form, {280, 44, 120, 60}),
      DetailsFram(form, {8, 236, 275, 88}, "Program's details"),
      DetailsLbl(form, {10, 18, 255, 32}, "Click the button for information about running programs in details:"),
      Command4(form, {10, 54, 100, 24}, "&Details..."),
      BlockersFram(form, {290, 236, 243, 88}, "Blockers"),
      // Two lines high: the captions wrap in the narrow frame.
      EnableSpamChk(form, {10, 16, 228, 30}, "Enable Messenger Spam blocker on start up"),
      EnablePopUpChk(form, {10, 50, 228, 30}, "Enable the pop-up blocker on startup"),
      form_(form) {
  auto place = [](ui::Control& container, std::initializer_list<ui::Control*> controls) {
    for (ui::Control* c : controls) c->SetContainer(container);
  };
  place(page, {&HistoryFram, &MediaFram, &DetailsFram, &BlockersFram});
  place(HistoryFram, {&StartBtn, &PauseBtn, &ViewBtn, &StopBtn, &StatusLbl, &RecStatusLbl, &IndShp});
  place(MediaFram, {&MediaChk, &DriveEXLbl, &DriveEXLetter, &AddDriveEXBtn, &DriveEXList});
  place(DetailsFram, {&DetailsLbl, &Command4});
  place(BlockersFram, {&EnableSpamChk, &EnablePopUpChk});
  PauseBtn.SetEnabled(false);
  StopBtn.SetEnabled(false);
  IndShp.SetBackColor(RGB(255, 0, 0));
  mnuDrive = &Menus.Add("mnuDrive");
  mnuDriveRemove = &mnuDrive->Add("&Remove");

  StartBtn.Click = [this] { StartBtn_Click(); };
  PauseBtn.Click = [this] { PauseBtn_Click(); };
  StopBtn.Click = [this] { StopBtn_Click(); };
  ViewBtn.Click = [this] { ViewBtn_Click(); };
  MediaChk.Click = [this] { MediaChk_Click(); };
  AddDriveEXBtn.Click = [this] { AddDriveEXBtn_Click(); };
  Command4.Click = [this] { Command4_Click(); };
  EnableSpamChk.Click = [this] { EnableSpamChk_Click(); };
  EnablePopUpChk.Click = [this] { EnablePopUpChk_Click(); };
  mnuDriveRemove->Click = [this] { mnuDriveRemove_Click(); };
  DriveEXLetter.Change = [this] {
    const std::string text = DriveEXLetter.Text(), upper = vb::UCase(text);
    if (text == upper) return;
    DWORD start = 0, end = 0;
    SendMessageA(DriveEXLetter.hwnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    DriveEXLetter.SetText(upper);
    SendMessageA(DriveEXLetter.hwnd(), EM_SETSEL, start, end);
  };
  DriveEXList.MouseDown = [this](int button, int, int x, int y) {
    if (button != 2) return;
    POINT at{x, y};
    ClientToScreen(DriveEXList.hwnd(), &at);
    Menus.Popup(form_, *mnuDrive, at);
  };
  DriveEXList.KeyDown = [this](int keyCode, int) {
    if (keyCode == VK_DELETE) mnuDriveRemove_Click();
  };
  auto hint = [](int, int, int, int) { SetHintText(kHint); };
  for (ui::Frame* frame : {&HistoryFram, &MediaFram}) frame->MouseMove = hint;
}

void MiniToolsTasksTab::Prepare() {
  // One drive letter: "cd" would show "CD" and store only the "C".
  SendMessageA(DriveEXLetter.hwnd(), EM_LIMITTEXT, 1, 0);
}

void MiniToolsTasksTab::LoadMoreToolsData() {
  SettingsReader more(ProgramTitle, "MoreTools");
  int16_t check = more.Int16("DriveCheck", 1);
  DriveCheck = check == 0 ? 0 : 1;
  MediaChk.SetValue(DriveCheck == 1);
  DriveEXList.Clear();
  for (const std::string& drive : StoredExcludedDrives())
    if (!drive.empty()) DriveEXList.AddItem(drive);
  ShowBlockers();
}

void MiniToolsTasksTab::SaveMoreToolsData() {
  SaveSetting(ProgramTitle, "MoreTools", "DriveCheck", MediaChk.Value() ? "1" : "0");
}

void MiniToolsTasksTab::StartBtn_Click() { LogCommand(2); }
void MiniToolsTasksTab::PauseBtn_Click() { LogCommand(3); }
void MiniToolsTasksTab::StopBtn_Click() { LogCommand(4); }

void MiniToolsTasksTab::ViewBtn_Click() {
  TasksHistoryOnly = true;
  ShowFrm(Logfrm);
  TasksHistoryOnly = false;
}

// The box, the option the exit reads and the stored value change together, so an
// unticked box is heeded at this very shutdown.
void MiniToolsTasksTab::MediaChk_Click() {
  DriveCheck = MediaChk.Value() ? 1 : 0;
  SaveMoreToolsData();
}

void MiniToolsTasksTab::AddDriveEXBtn_Click() {
  const std::string text = vb::UCase(DriveEXLetter.Text());
  if (text.size() != 1 || text[0] < 'A' || text[0] > 'Z') {
    MsgBox(kDriveLetterText, MB_OK | MB_ICONEXCLAMATION, form_.hwnd());
    return;
  }
  for (int i = 0; i < DriveEXList.ListCount(); ++i)
    if (DriveEXList.List(i) == text) {
      DriveEXList.SetListIndex(i);  // already left out: shown, not added twice
      return;
    }
  AddExcludedDrive(text);
  DriveEXList.AddItem(text);
}

void MiniToolsTasksTab::mnuDriveRemove_Click() {
  const int row = DriveEXList.ListIndex();
  if (row < 0) return;
  // The key is found by its letter: a row stands for no fixed key number once an
  // empty key was skipped at load.
  RemoveExcludedDrive(DriveEXList.List(row));
  DriveEXList.RemoveItem(row);
}

void MiniToolsTasksTab::Command4_Click() { ShowFrm(DetailsFrm); }

void MiniToolsTasksTab::ShowBlockers() {
  if (const ui::MenuItem* item = Views.frame.mnuSettingsMsgBlock) EnableSpamChk.SetValue(item->Checked());
  if (const ui::MenuItem* item = Views.frame.mnuSettingsPopBlock) EnablePopUpChk.SetValue(item->Checked());
}

// The boxes switch what the frame's Settings menu switches, so box and tick agree.
void MiniToolsTasksTab::EnableSpamChk_Click() {
  if (Views.frame.mnuSettingsMsgBlock && EnableSpamChk.Value() != Views.frame.mnuSettingsMsgBlock->Checked())
    if (Views.frame.SwitchMessengerBlock) Views.frame.SwitchMessengerBlock();
  ShowBlockers();
  SaveMoreToolsData();
}

void MiniToolsTasksTab::EnablePopUpChk_Click() {
  if (Views.frame.mnuSettingsPopBlock && EnablePopUpChk.Value() != Views.frame.mnuSettingsPopBlock->Checked())
    if (Views.frame.SwitchPopUpBlock) Views.frame.SwitchPopUpBlock();
  ShowBlockers();
  SaveMoreToolsData();
}
