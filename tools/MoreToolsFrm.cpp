#include "MoreToolsFrm.h"

#include "Failure.h"
#include "ModCheckDrive.h"
#include "ModMain.h"
#include "ModMainPlatform.h"
#include "ModSettings.h"
#include "ModStartup.h"
#include "ViewBindings.h"

namespace {

enum MiniToolsTab { kRemindersTab, kTasksTab, kStartUpTab };

const char kHint[] = "Mini tools: Reminders, Media check, tasks history and start-up manager";

// Posted on the page's first show: by the time it arrives, an opener that refreshes
// the page as it shows it has read the start-up list already.
const UINT kReadStartUpList = WM_APP + 0x35;

}  // namespace

MoreToolsFrmForm MoreToolsFrm;

MoreToolsFrmForm::MoreToolsFrmForm()
    : Window({.caption = "More Tools", .style = WS_POPUP, .width = 600, .height = 400, .keyPreview = true}),
      SSTab1(*this, {10, 10, 580, 380}, {"Reminders", "Tasks History and Media Check", "Windows Start-up Manager"}),
      Reminders(*this, SSTab1.Page(kRemindersTab)),
      Tasks(*this, SSTab1.Page(kTasksTab)),
      StartUp(*this, SSTab1.Page(kStartUpTab)) {
  StartUp.RefreshPage = [this] { RefreshMe(false); };
  SSTab1.Click = [this](int) { SSTab1_Click(); };
  Views.moreTools = {.form = this,
                     .DriveEXList = &Tasks.DriveEXList,
                     .IntReminderChk = &Reminders.IntReminderChk,
                     .IntReminderTxt = &Reminders.IntReminderTxt,
                     .Label4 = &Reminders.Label4,
                     .LoadMoreToolsData = [] { MoreToolsFrm.LoadMoreToolsData(); },
                     .ShowReminderOptions = [] { MoreToolsFrm.RefreshMe(true); },
                     .MediaChk = &Tasks.MediaChk,
                     .CheckDrivesForMedia = [](const std::string& drive) { CheckDrivesForMedia(drive); },
                     .RefreshStartUpList = [] {
                       MoreToolsFrm.Load();
                       MoreToolsFrm.RefreshStartUpList();
                     }};
}

MoreToolsFrmForm::~MoreToolsFrmForm() = default;

// ---- Loading, refreshing, layout and keys

void MoreToolsFrmForm::Form_Load() {
  SetBackColor(FormBackColor);
  SSTab1.SetTab(kRemindersTab);
  Tasks.Prepare();
  Reminders.Prepare();
  StartUp.Prepare();
  // The start-up list waits for the page's first show or the first question about
  // it: reading it here cost a quarter to a half second of every program start.
  RefreshMe(true);
}

void MoreToolsFrmForm::Form_Activate() { RefreshMe(true); }

void MoreToolsFrmForm::RefreshMe(bool KeepStartUpList) {
  Reminders.Show();
  if (!KeepStartUpList) StartUp.RefreshStartUpList();
  StartUp.cmdDel.SetEnabled(StartUp.StartUpLV.ItemCount() > 0);
  Tasks.ShowBlockers();
}

void MoreToolsFrmForm::Form_Resize() {
  const int width = ScaleWidth() - 20, height = ScaleHeight() - 20;
  if (width > 0 && height > 0) SSTab1.Move({10, 10, width, height});
  Reminders.Layout(SSTab1.Page(kRemindersTab));
  SSTab1_Click();
}

void MoreToolsFrmForm::SSTab1_Click() {
  if (SSTab1.Tab() == kStartUpTab) StartUp.Layout(SSTab1.Page(kStartUpTab));
}

void MoreToolsFrmForm::Form_KeyDown(int& keyCode, int /*shift*/) {
  if (keyCode == VK_F1) {
    ShowOnlineHelp("MoreTools");
  } else if (keyCode == VK_F5) {
    RefreshMe(false);
  } else if (keyCode == VK_ESCAPE && Reminders.IsTextField(GetFocus())) {
    RefreshMe(false);
    keyCode = 0;
  }
}

LRESULT MoreToolsFrmForm::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_MOUSEMOVE) SetHintText(kHint);
  // Hiding the page (another page chosen, the frame hidden) keeps the edits too.
  if (msg == WM_SHOWWINDOW && !wp) ui::Guarded([this] { UpdateData(); });
  if (msg == WM_SHOWWINDOW && wp && !StartUp.StartUpListRead()) PostMessageA(hwnd(), kReadStartUpList, 0, 0);
  if (msg == kReadStartUpList) {
    ui::Guarded([this] { StartUp.EnsureStartUpList(); });
    return 0;
  }
  return Window::WndProc(msg, wp, lp);
}
