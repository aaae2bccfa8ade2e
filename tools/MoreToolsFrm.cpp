#include "MoreToolsFrm.h"

#include <commctrl.h>

#include <algorithm>

#include "AddStartupFrm.h"
#include "DetailsFrm.h"
#include "Failure.h"
#include "InterfaceFrm.h"
#include "Logfrm.h"
#include "Mainfrm.h"
#include "ModCheckDrive.h"
#include "ModMain.h"
#include "ModMainPlatform.h"
#include "ModProgInfo.h"
#include "ModRegistry.h"
#include "ModSettings.h"
#include "ModStartup.h"
#include "Seams.h"
#include "StartUpEntries.h"
#include "VbRules.h"
#include "ViewBindings.h"

const char* const kReminderPresets[5] = {
    "'Long hours on the computer can be rewarding, even fun, but they can also lead to aches and pains in your "
    "neck, shoulders, arms and hands.' This is one of the several warning signs of using computers for long time. "
    "Do you know that few minutes every hour can save you from all these dangers? Let Quillon Pro reminds you "
    "kindly every specified active interval to walk around for a few minutes, stretch, and relax to protect your "
    "invaluable health.",
    "Dear Family, pleeeease ... don't touch the keyboard. I just went to walk around for few minutes and will "
    "return back soon.",
    "Dear Family, if you want a very easy and fast way to get hung to the ceil, then simply touch the keyboard! I "
    "just went to walk around for few minutes and will return back soon. OK!!?",
    "Dear Boss, excuse me, I have been working for long time. So, I just went to walk around for few minutes, "
    "stretch and relax. Otherwise, I will pay all my salary on visiting doctors!",
    "Dear Boss, don't get surprised, yes I left my office to walk around for a few minutes, stretch, and relax. I "
    "will NEVER make this digital box destory my health any more.",
};

namespace {

struct StartUpLocation {
  HKEY hive;
  const char* keyPath;
};
// By run type: below 5 the machine's keys, then the user's.
const StartUpLocation kStartUpLocations[7] = {
    {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Run"},
    {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce"},
    {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnceEx"},
    {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\RunServices"},
    {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\RunServicesOnce"},
    {HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run"},
    {HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce"},
};

enum StartUpColumn { kStartUpName = 0, kStartUpStatus = 1, kStartUpCmdLine = 2, kStartUpKey = 3, kStartUpRunning = 4 };

const char kHint[] = "Mini tools: Reminders, Media check, tasks history and start-up manager";

// A value's text, up to 1023 characters, blanks trimmed; "" for a value that is not
// text.
std::string StartUpCommandLine(HKEY key, const std::string& name) {
  RegRawValue value;
  if (ReadRegRaw(key, name, value) != ERROR_SUCCESS) return "";
  if (value.type != REG_SZ && value.type != REG_EXPAND_SZ) return "";
  std::string text = value.bytes.substr(0, value.bytes.find('\0'));
  if (text.size() > 1023) text.resize(1023);
  size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

int16_t RunTypeOf(const std::string& tag) {
  const double value = vb::Val(tag);
  return value >= 0 && value <= 6 ? static_cast<int16_t>(value) : 0;
}

std::string MinutesText(int16_t minutes) { return minutes < 1 ? "0" : std::to_string(minutes); }

int16_t IntegerOf(const ui::TextBox& box) { return vb::CInt(vb::Val(box.Text())).value_or(0); }

// Out of 1 to 1440 the box takes the fallback period.
void CorrectPeriod(ui::TextBox& box, const char* fallback) {
  const double value = vb::Val(box.Text());
  if (value < 1 || value > 1440) box.SetText(fallback);
}

}  // namespace

MoreToolsFrmForm MoreToolsFrm;

const char kDriveLetterText[] = "Type one drive letter, A to Z, to leave that drive out of the media check.";

MoreToolsFrmForm::MoreToolsFrmForm()
    : Window({.caption = "More Tools", .style = WS_POPUP, .width = 600, .height = 400, .keyPreview = true}),
      SSTab1(*this, {10, 10, 580, 380},
             {"Reminders", "Tasks History and Media Check", "Windows Start-up Manager"}),
      HealthFram(*this, {8, 8, 525, 192}, "Health Smart Reminder"),
      WinReminderChk(*this, {10, 20, 120, 20}, "Remind me every"),
      WinReminderTxt(*this, {134, 20, 50, 20}),
      WinMinutesLbl(*this, {190, 22, 80, 18}, "minute(s)."),
      IdleLbl(*this, {10, 48, 340, 18}, "And dismiss the reminder if the computer is idle for more than"),
      WinReminderIdleTimeTxt(*this, {354, 46, 50, 20}),
      IdleMinutesLbl(*this, {10, 72, 400, 18}, "minute(s) while working in Windows with this message:"),
      WinReminderTextTxt(*this, {10, 92, 505, 62}, "", ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL),
      PresetsLbl(*this, {10, 163, 130, 18}, "Pre-defined messages:"),
      MsgsLstCombo(*this, {144, 160, 200, 150}),
      IntFram(*this, {8, 206, 525, 112}, "Internet Reminder"),
      IntReminderChk(*this, {10, 20, 120, 20}, "Remind me every"),
      IntReminderTxt(*this, {134, 20, 50, 20}),
      Label4(*this, {190, 22, 330, 18}, "minute(s) while connected to the Internet with this message:"),
      Label4_1(*this, {10, 46, 200, 18}, "(Dial-up connection only) :"),
      IntReminderTextTxt(*this, {10, 66, 505, 38}, "", ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL),
      SaveBtn(*this, {365, 324, 80, 24}, "Save"),
      ResetBtn(*this, {453, 324, 80, 24}, "Reset"),
      HistoryFram(*this, {8, 8, 525, 104}, "Processes and Windows History"),
      StartBtn(*this, {10, 20, 80, 26}, "S&tart"),
      PauseBtn(*this, {96, 20, 80, 26}, "&Pause"),
      ViewBtn(*this, {182, 20, 80, 26}, "View"),
      StopBtn(*this, {268, 20, 80, 26}, "&Stop"),
      StatusLbl(*this, {10, 58, 50, 18}, "Status:"),
      RecStatusLbl(*this, {62, 58, 420, 36},
                   "Press Start to start logging processes and windows that are launched/terminated."),
      IndShp(*this, {496, 58, 16, 16}, true),
      MediaFram(*this, {8, 118, 525, 112}, "Media Check"),
      MediaChk(*this, {10, 18, 505, 20},
               "Warn me if there exists any removable media (disks, CDs, ..etc) on Shutdown."),
      DriveEXLbl(*this, {10, 46, 150, 18}, "Don't check these drives :"),
      // The edit upper-cases as it is typed: replacing the text afterwards put the caret
      // back at the start, so the next key landed before the letter.
      DriveEXLetter(*this, {164, 44, 30, 20}, "", ES_UPPERCASE),
      AddDriveEXBtn(*this, {200, 42, 60, 24}, "Add"),
      DriveEXList(*this, {280, 44, 120, 60}),
      DetailsFram(*this, {8, 236, 275, 88}, "Program's details"),
      DetailsLbl(*this, {10, 18, 255, 32}, "Click the button for information about running programs in details:"),
      Command4(*this, {10, 54, 100, 24}, "&Details..."),
      BlockersFram(*this, {290, 236, 243, 88}, "Blockers"),
      // Two lines high: the captions wrap in the narrow frame.
      EnableSpamChk(*this, {10, 16, 228, 30}, "Enable Messenger Spam blocker on start up"),
      EnablePopUpChk(*this, {10, 50, 228, 30}, "Enable the pop-up blocker on startup"),
      StartUpLV(*this, {8, 8, 525, 290}),
      cmdAdd0(*this, {8, 306, 70, 24}, "&Add"),
      cmdAdd1(*this, {82, 306, 70, 24}, "&Ed&it"),
      EnableBtn0(*this, {156, 306, 70, 24}, "&Enable"),
      EnableBtn1(*this, {230, 306, 70, 24}, "&Disable"),
      detailsBtn(*this, {304, 306, 70, 24}, "De&tails"),
      SwitchBtn(*this, {378, 306, 70, 24}, "&Jump to it"),
      cmdDel(*this, {452, 306, 70, 24}, "&Delete") {
  for (const auto& column : {std::make_pair("Program Name", 120), std::make_pair("Status", 60),
                             std::make_pair("Command Line", 220), std::make_pair("Key", 200),
                             std::make_pair("Running", 70)})
    StartUpLV.AddColumn(column.first, column.first, column.second);
  auto place = [](ui::Control& container, std::initializer_list<ui::Control*> controls) {
    for (ui::Control* c : controls) c->SetContainer(container);
  };
  place(SSTab1.Page(0), {&HealthFram, &IntFram, &SaveBtn, &ResetBtn});
  place(HealthFram, {&WinReminderChk, &WinReminderTxt, &WinMinutesLbl, &IdleLbl, &WinReminderIdleTimeTxt,
                     &IdleMinutesLbl, &WinReminderTextTxt, &PresetsLbl, &MsgsLstCombo});
  place(IntFram, {&IntReminderChk, &IntReminderTxt, &Label4, &Label4_1, &IntReminderTextTxt});
  place(SSTab1.Page(1), {&HistoryFram, &MediaFram, &DetailsFram, &BlockersFram});
  place(HistoryFram, {&StartBtn, &PauseBtn, &ViewBtn, &StopBtn, &StatusLbl, &RecStatusLbl, &IndShp});
  place(MediaFram, {&MediaChk, &DriveEXLbl, &DriveEXLetter, &AddDriveEXBtn, &DriveEXList});
  place(DetailsFram, {&DetailsLbl, &Command4});
  place(BlockersFram, {&EnableSpamChk, &EnablePopUpChk});
  place(SSTab1.Page(2), {&StartUpLV, &cmdAdd0, &cmdAdd1, &EnableBtn0, &EnableBtn1, &detailsBtn, &SwitchBtn, &cmdDel});
  PauseBtn.SetEnabled(false);
  StopBtn.SetEnabled(false);
  IndShp.SetBackColor(RGB(255, 0, 0));
  for (ui::TextBox* box : {&IntReminderTxt, &WinReminderTxt, &WinReminderIdleTimeTxt}) box->SetNumberStyle(true);
  mnuDrive = &Menus.Add("mnuDrive");
  mnuDriveRemove = &mnuDrive->Add("&Remove");
  BindEvents();
  Views.moreTools = {.form = this,
                     .DriveEXList = &DriveEXList,
                     .IntReminderChk = &IntReminderChk,
                     .IntReminderTxt = &IntReminderTxt,
                     .Label4 = &Label4,
                     .LoadMoreToolsData = [] { MoreToolsFrm.LoadMoreToolsData(); },
                     .ShowReminderOptions = [] { MoreToolsFrm.RefreshMe(true); },
                     .SearchStartUpLV = [](const std::string& path) { return MoreToolsFrm.SearchStartUpLV(path); },
                     .MediaChk = &MediaChk,
                     .CheckDrivesForMedia = [](const std::string& drive) { CheckDrivesForMedia(drive); }};
}

MoreToolsFrmForm::~MoreToolsFrmForm() = default;

void MoreToolsFrmForm::BindEvents() {
  StartUpLV.ColumnClick = [this](int column) { StartUpLV_ColumnClick(column); };
  StartUpLV.DblClick = [this](int) { detailsBtn_Click(); };
  StartBtn.Click = [this] { StartBtn_Click(); };
  PauseBtn.Click = [this] { PauseBtn_Click(); };
  StopBtn.Click = [this] { StopBtn_Click(); };
  ViewBtn.Click = [this] { ViewBtn_Click(); };
  cmdAdd0.Click = [this] { cmdAdd_Click(0); };
  cmdAdd1.Click = [this] { cmdAdd_Click(1); };
  EnableBtn0.Click = [this] { EnableBtn_Click(0); };
  EnableBtn1.Click = [this] { EnableBtn_Click(1); };
  detailsBtn.Click = [this] { detailsBtn_Click(); };
  SwitchBtn.Click = [this] { SwitchBtn_Click(); };
  cmdDel.Click = [this] { cmdDel_Click(); };
  SaveBtn.Click = [this] { SaveBtn_Click(); };
  ResetBtn.Click = [this] { ResetBtn_Click(); };
  MsgsLstCombo.Click = [this] { MsgsLstCombo_Click(); };
  MediaChk.Click = [this] { MediaChk_Click(); };
  AddDriveEXBtn.Click = [this] { AddDriveEXBtn_Click(); };
  Command4.Click = [this] { Command4_Click(); };
  EnableSpamChk.Click = [this] { EnableSpamChk_Click(); };
  EnablePopUpChk.Click = [this] { EnablePopUpChk_Click(); };
  mnuDriveRemove->Click = [this] { mnuDriveRemove_Click(); };
  SSTab1.Click = [this](int) { SSTab1_Click(); };

  // A period typed ticks its reminder; any edit enables Save. A mere click into the
  // box ticks nothing: leaving the page would then store a switched-off reminder as on.
  IntReminderTxt.Change = [this] { ReminderEdited(&IntReminderChk); };
  WinReminderTxt.Change = [this] { ReminderEdited(&WinReminderChk); };
  for (ui::TextBox* box : {&WinReminderIdleTimeTxt, &IntReminderTextTxt, &WinReminderTextTxt})
    box->Change = [this] { ReminderEdited(nullptr); };
  IntReminderChk.Click = [this] { ReminderEdited(nullptr); };
  WinReminderChk.Click = [this] { ReminderEdited(nullptr); };
  // A page gets no focus of its own to lose: the edits are kept when the focus goes
  // from a reminder field to anything outside the page.
  for (ui::Control* field : std::initializer_list<ui::Control*>{
           &IntReminderChk, &IntReminderTxt, &IntReminderTextTxt, &WinReminderChk, &WinReminderTxt,
           &WinReminderIdleTimeTxt, &WinReminderTextTxt, &MsgsLstCombo, &SaveBtn, &ResetBtn})
    field->LostFocus = [this](HWND gaining) {
      if (!gaining || (gaining != hwnd() && !IsChild(hwnd(), gaining))) UpdateData();
    };

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
    Menus.Popup(*this, *mnuDrive, at);
  };
  DriveEXList.KeyDown = [this](int keyCode, int) {
    if (keyCode == VK_DELETE) mnuDriveRemove_Click();
  };
  auto hint = [](int, int, int, int) { SetHintText(kHint); };
  for (ui::Frame* frame : {&HealthFram, &HistoryFram, &MediaFram}) frame->MouseMove = hint;
}

// ---- Loading, refreshing, layout and keys

void MoreToolsFrmForm::Form_Load() {
  SetBackColor(FormBackColor);
  SSTab1.SetTab(0);
  // One drive letter: "cd" would show "CD" and store only the "C".
  SendMessageA(DriveEXLetter.hwnd(), EM_LIMITTEXT, 1, 0);
  MsgsLstCombo.Clear();
  for (const char* preset : {"Default", "Family (polite)", "Family (hard)", "Office (polite)", "Office (hard)"})
    MsgsLstCombo.AddItem(preset);
  // Images 1 and 2 of the list: an enabled and a disabled entry.
  if (IntProgImg.Count() == 0) {
    IntProgImg.Add(LoadIcon(nullptr, IDI_APPLICATION), "Enabled");
    IntProgImg.Add(LoadIcon(nullptr, IDI_HAND), "Disabled");
  }
  StartUpLV.SetImageList(LVSIL_SMALL, IntProgImg.handle());
  toolTips_ = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, hwnd(), nullptr, GetModuleHandleA(nullptr), nullptr);
  const std::pair<ui::Button*, const char*> tips[] = {
      {&cmdAdd0, "Add new start-up program"},
      {&cmdAdd1, "Edit selected program."},
      {&EnableBtn0, "Enable selected program"},
      {&EnableBtn1,
       "Disable selected program. Disabling the program will stop it from running at startup but will not delete "
       "it entirely. "},
      {&detailsBtn, "View details about the selected program"},
      {&SwitchBtn, "Jump to the program in Task Manager programs list"},
      {&cmdDel, "Delete selected program"},
  };
  for (const auto& tip : tips) {
    TOOLINFOA info{};
    info.cbSize = sizeof info;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = hwnd();
    info.uId = reinterpret_cast<UINT_PTR>(tip.first->hwnd());
    info.lpszText = const_cast<char*>(tip.second);
    SendMessageA(toolTips_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
  }
  RefreshMe(false);
}

void MoreToolsFrmForm::Form_Activate() { RefreshMe(true); }

void MoreToolsFrmForm::Form_Resize() {
  const int width = ScaleWidth() - 20, height = ScaleHeight() - 20;
  if (width > 0 && height > 0) SSTab1.Move({10, 10, width, height});
  LayoutRemindersTab();
  SSTab1_Click();
}

// The reminder frames take the tab's width. A caption sits beside the box it speaks
// of where it fits on one line, and wraps under itself where the font is too wide.
void MoreToolsFrmForm::LayoutRemindersTab() {
  RECT inner{};
  if (!SSTab1.Page(0).hwnd() || !GetClientRect(SSTab1.Page(0).hwnd(), &inner)) return;
  const int margin = 8, frameWidth = inner.right - 2 * margin;
  if (frameWidth < 300) return;
  const int lineHeight = 14, room = frameWidth - 10 - 8;  // a frame's controls start at x 10
  auto oneLine = [](const ui::Label& label) { return static_cast<int>(label.TextExtent().cx) + 4; };

  HealthFram.Move({margin, 8, frameWidth, 192});
  WinReminderChk.Move({10, 20, 124, 20});
  WinReminderTxt.Move({138, 20, 44, 20});
  WinMinutesLbl.Move({188, 22, 80, 18});
  const int idleWidth = std::min(oneLine(IdleLbl), room - 50 - 4);
  IdleLbl.Move({10, 48, idleWidth, 18});
  WinReminderIdleTimeTxt.Move({10 + idleWidth + 4, 46, 50, 20});
  IdleMinutesLbl.Move({10, 72, room, 18});
  WinReminderTextTxt.Move({10, 92, room, 62});

  IntFram.Move({margin, 206, frameWidth, 112});
  IntReminderChk.Move({10, 20, 124, 20});
  IntReminderTxt.Move({138, 20, 44, 20});
  const int captionLeft = 186, captionWidth = frameWidth - captionLeft - 8;
  const int lines = oneLine(Label4) <= captionWidth ? 1 : 2;
  Label4.Move({captionLeft, 22, captionWidth, 4 + lines * lineHeight});
  const int dialUpTop = std::max(46, 22 + 4 + lines * lineHeight + 2);
  Label4_1.Move({10, dialUpTop, room, 18});
  const int textTop = dialUpTop + 20;
  IntReminderTextTxt.Move({10, textTop, room, std::max(112 - 8 - textTop, 24)});
  ResetBtn.Move({margin + frameWidth - 80, 324, 80, 24});
  SaveBtn.Move({margin + frameWidth - 168, 324, 80, 24});
}

void MoreToolsFrmForm::SSTab1_Click() {
  if (SSTab1.Tab() == 2) LayoutStartUpTab();
}

// The seven buttons share one row along the bottom; the list takes the rest.
void MoreToolsFrmForm::LayoutStartUpTab() {
  RECT inner{};
  if (!SSTab1.Page(2).hwnd() || !GetClientRect(SSTab1.Page(2).hwnd(), &inner)) return;
  const int margin = 8, gap = 4, height = 24;
  const int width = inner.right - 2 * margin, top = inner.bottom - margin - height;
  if (width < 100 || top < 40) return;
  StartUpLV.Move({margin, margin, width, top - 2 * margin});
  ui::Button* buttons[] = {&cmdAdd0, &cmdAdd1, &EnableBtn0, &EnableBtn1, &detailsBtn, &SwitchBtn, &cmdDel};
  const int each = (width - 6 * gap) / 7;
  for (int i = 0; i < 7; ++i) buttons[i]->Move({margin + i * (each + gap), top, each, height});
}

void MoreToolsFrmForm::Form_KeyDown(int& keyCode, int /*shift*/) {
  if (keyCode == VK_F1) {
    ShowOnlineHelp("MoreTools");
  } else if (keyCode == VK_F5) {
    RefreshMe(false);
  } else if (keyCode == VK_ESCAPE) {
    const HWND focus = GetFocus();
    for (ui::TextBox* box : {&IntReminderTxt, &WinReminderTxt, &WinReminderIdleTimeTxt, &IntReminderTextTxt,
                             &WinReminderTextTxt})
      if (focus && focus == box->hwnd()) {
        RefreshMe(false);
        keyCode = 0;
      }
  }
}

LRESULT MoreToolsFrmForm::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_MOUSEMOVE) SetHintText(kHint);
  // Hiding the page (another page chosen, the frame hidden) keeps the edits too.
  if (msg == WM_SHOWWINDOW && !wp) ui::Guarded([this] { UpdateData(); });
  return Window::WndProc(msg, wp, lp);
}

void MoreToolsFrmForm::LoadMoreToolsData() {
  SettingsReader more(ProgramTitle, "MoreTools");
  int16_t check = more.Int16("DriveCheck", 1);
  DriveCheck = check == 0 ? 0 : 1;
  MediaChk.SetValue(DriveCheck == 1);
  DriveEXList.Clear();
  for (const std::string& drive : StoredExcludedDrives())
    if (!drive.empty()) DriveEXList.AddItem(drive);
  ShowBlockers();
}

void MoreToolsFrmForm::SaveMoreToolsData() {
  SaveSetting(ProgramTitle, "MoreTools", "DriveCheck", MediaChk.Value() ? "1" : "0");
}

// ---- Reminders

bool MoreToolsFrmForm::CheckErrors() {
  filling_ = true;
  if (IntReminderChk.Value()) CorrectPeriod(IntReminderTxt, "60");
  if (WinReminderChk.Value()) CorrectPeriod(WinReminderTxt, "60");
  CorrectPeriod(WinReminderIdleTimeTxt, "3");
  filling_ = false;
  return false;
}

void MoreToolsFrmForm::UpdateData() {
  if (CheckErrors()) return;
  IntReminder = IntReminderChk.Value() ? IntegerOf(IntReminderTxt) : 0;
  WinReminder = WinReminderChk.Value() ? IntegerOf(WinReminderTxt) : 0;
  WinReminderIdleTime = IntegerOf(WinReminderIdleTimeTxt);
  WinReminderText = WinReminderTextTxt.Text();
  IntReminderText = IntReminderTextTxt.Text();
  SaveSettings();
}

void MoreToolsFrmForm::RefreshMe(bool KeepStartUpList) {
  // The fields are written by the program here: that is no edit.
  filling_ = true;
  const bool leased = LANCon == 1;
  for (ui::Control* c : std::initializer_list<ui::Control*>{&IntReminderChk, &IntReminderTxt, &IntReminderTextTxt,
                                                             &Label4, &Label4_1})
    c->SetEnabled(!leased);
  if (leased) IntReminder = 0;
  IntReminderChk.SetValue(IntReminder >= 1);
  IntReminderTxt.SetText(MinutesText(IntReminder));
  WinReminderChk.SetValue(WinReminder >= 1);
  WinReminderTxt.SetText(MinutesText(WinReminder));
  WinReminderIdleTimeTxt.SetText(std::to_string(WinReminderIdleTime));
  IntReminderTextTxt.SetText(IntReminderText);
  WinReminderTextTxt.SetText(WinReminderText);
  SaveBtn.SetEnabled(false);
  filling_ = false;
  if (!KeepStartUpList) RefreshStartUpList();
  cmdDel.SetEnabled(StartUpLV.ItemCount() > 0);
  ShowBlockers();
}

void MoreToolsFrmForm::RefreshStartUpList() {
  {
    ui::ListView::RedrawGuard guard(StartUpLV);
    StartUpLV.Clear();
    ListStartUpKeys();
    // Rows are placed by their name as they come; the chosen column orders them now.
    if (StartUpLV.Sorted()) StartUpLV.Sort();
  }
  cmdDel.SetEnabled(StartUpLV.ItemCount() > 0);
}

void MoreToolsFrmForm::ReminderEdited(ui::CheckBox* tick) {
  if (filling_) return;
  if (tick && Visible()) tick->SetValue(true);
  SaveBtn.SetEnabled(true);
}

void MoreToolsFrmForm::MsgsLstCombo_Click() {
  const int index = MsgsLstCombo.ListIndex();
  if (index < 0 || index > 4) return;
  WinReminderTextTxt.SetText(kReminderPresets[index]);
  // A multi-line box raises no change for text set by the program.
  ReminderEdited(nullptr);
}

void MoreToolsFrmForm::SaveBtn_Click() {
  UpdateData();
  SaveBtn.SetEnabled(false);
  MsgBox("The reminders data is saved", MB_OK | MB_ICONINFORMATION, hwnd());
}

// The option defaults of the reminders, to be saved or discarded as any edit.
void MoreToolsFrmForm::ResetBtn_Click() {
  filling_ = true;
  IntReminderChk.SetValue(LANCon != 1);
  IntReminderTxt.SetText(LANCon == 1 ? "0" : "60");
  IntReminderTextTxt.SetText(kDefaultIntReminderText);
  WinReminderChk.SetValue(true);
  WinReminderTxt.SetText("60");
  WinReminderIdleTimeTxt.SetText("3");
  WinReminderTextTxt.SetText(kDefaultWinReminderText);
  filling_ = false;
  SaveBtn.SetEnabled(true);
}

// ---- Tasks history, media check, details and blockers

void MoreToolsFrmForm::StartBtn_Click() { InterfaceFrm.mnuLog_Click(2); }
void MoreToolsFrmForm::PauseBtn_Click() { InterfaceFrm.mnuLog_Click(3); }
void MoreToolsFrmForm::StopBtn_Click() { InterfaceFrm.mnuLog_Click(4); }

void MoreToolsFrmForm::ViewBtn_Click() {
  TasksHistoryOnly = true;
  ShowFrm(Logfrm);
  TasksHistoryOnly = false;
}

// The box, the option the exit reads and the stored value change together, so an
// unticked box is heeded at this very shutdown.
void MoreToolsFrmForm::MediaChk_Click() {
  DriveCheck = MediaChk.Value() ? 1 : 0;
  SaveMoreToolsData();
}

void MoreToolsFrmForm::AddDriveEXBtn_Click() {
  const std::string text = vb::UCase(DriveEXLetter.Text());
  if (text.size() != 1 || text[0] < 'A' || text[0] > 'Z') {
    MsgBox(kDriveLetterText, MB_OK | MB_ICONEXCLAMATION, hwnd());
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

void MoreToolsFrmForm::mnuDriveRemove_Click() {
  const int row = DriveEXList.ListIndex();
  if (row < 0) return;
  // The key is found by its letter: a row stands for no fixed key number once an
  // empty key was skipped at load.
  RemoveExcludedDrive(DriveEXList.List(row));
  DriveEXList.RemoveItem(row);
}

void MoreToolsFrmForm::Command4_Click() { ShowFrm(DetailsFrm); }

void MoreToolsFrmForm::ShowBlockers() {
  if (const ui::MenuItem* item = Views.frame.mnuSettingsMsgBlock) EnableSpamChk.SetValue(item->Checked());
  if (const ui::MenuItem* item = Views.frame.mnuSettingsPopBlock) EnablePopUpChk.SetValue(item->Checked());
}

// The boxes switch what the frame's Settings menu switches, so box and tick agree.
void MoreToolsFrmForm::EnableSpamChk_Click() {
  if (Views.frame.mnuSettingsMsgBlock && EnableSpamChk.Value() != Views.frame.mnuSettingsMsgBlock->Checked())
    InterfaceFrm.mnuSettingsMsgBlock_Click();
  ShowBlockers();
  SaveMoreToolsData();
}

void MoreToolsFrmForm::EnablePopUpChk_Click() {
  if (Views.frame.mnuSettingsPopBlock && EnablePopUpChk.Value() != Views.frame.mnuSettingsPopBlock->Checked())
    InterfaceFrm.mnuSettingsPopBlock_Click();
  ShowBlockers();
  SaveMoreToolsData();
}

// ---- The start-up list

void MoreToolsFrmForm::ListStartUpKeys() {
  for (int16_t runType = 0; runType < 7; ++runType)
    GetKeysRunType(kStartUpLocations[runType].hive, kStartUpLocations[runType].keyPath, runType);
}

void MoreToolsFrmForm::GetKeysRunType(HKEY hive, const std::string& keyPath, int16_t runType) {
  const std::string keyText =
      std::string(runType < 5 ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER") + "\\" + keyPath;
  for (bool enabled : {true, false}) {
    // Read access is enough to list: a limited user cannot open the machine's keys
    // for writing, and would see none of their entries.
    HKEY key = OpenRegKey(hive, enabled ? keyPath : keyPath + "-", KEY_READ);
    if (!key) continue;
    const long count = CountRegItems(key, 0);
    for (long index = 0; index < count; ++index) {
      // The exact name, blanks and length as stored: the commands find the value by it.
      std::string name;
      if (!EnumRegValueNameExact(key, static_cast<DWORD>(index), name)) continue;
      const std::string cmdLine = StartUpCommandLine(key, name);
      const int row = StartUpLV.AddItem(name, enabled ? 0 : 1);
      StartUpLV.SetTag(row, std::to_string(runType));
      const bool running = IsProgramInTable(GetStartUpProgPath(cmdLine));
      StartUpLV.SetCells(row, {name, enabled ? "Enabled" : "Disabled", cmdLine, keyText,
                               running ? "Running" : "Not Running"});
      if (running) StartUpLV.SetRowBold(row, true);
    }
    RegCloseKey(key);
  }
}

int16_t MoreToolsFrmForm::SearchStartUpLV(const std::string& Path) {
  const std::string wanted = vb::LCase(Path);
  for (int row = 0; row < StartUpLV.ItemCount(); ++row) {
    if (StartUpLV.SubItem(row, kStartUpStatus) != "Enabled") continue;
    if (GetStartUpProgPath(StartUpLV.SubItem(row, kStartUpCmdLine)) == wanted)
      return static_cast<int16_t>(ui::ListView::ToOneBased(row));
  }
  return 0;
}

void MoreToolsFrmForm::StartUpLV_ColumnClick(int column) {
  StartUpLV.SortBy(column, ui::SortKind::kText, !StartUpLV.SortAscending());
  StartUpLV.SetSorted(true);
}

int MoreToolsFrmForm::SelectedStartUpRow() const {
  const std::vector<int> rows = StartUpLV.SelectedRows();
  return rows.empty() ? -1 : rows.front();
}

bool MoreToolsFrmForm::SelectStartUpEntry(const std::string& name, const std::string& keyText, bool disabled) {
  for (int row = 0; row < StartUpLV.ItemCount(); ++row) {
    if (StartUpLV.ItemText(row) != name || StartUpLV.SubItem(row, kStartUpKey) != keyText ||
        (StartUpLV.SubItem(row, kStartUpStatus) == "Disabled") != disabled)
      continue;
    for (int other : StartUpLV.SelectedRows()) StartUpLV.SetSelected(other, false);
    StartUpLV.SetSelected(row, true);
    StartUpLV.SetFocusedRow(row);
    if (StartUpLV.hwnd()) SendMessageA(StartUpLV.hwnd(), LVM_ENSUREVISIBLE, row, FALSE);
    return true;
  }
  return false;
}

// ---- The start-up commands

void MoreToolsFrmForm::EnableBtn_Click(int16_t Index) {
  const int row = SelectedStartUpRow();
  if (row < 0 || (Index != 0 && Index != 1)) return;
  const bool disabled = StartUpLV.SubItem(row, kStartUpStatus) == "Disabled";
  // Enable acts on disabled rows only, Disable on enabled ones: a namesake under "-"
  // is another entry, not a copy to clean away.
  if ((Index == 0) != disabled) return;
  const std::string name = StartUpLV.ItemText(row), keyText = StartUpLV.SubItem(row, kStartUpKey);
  const int16_t runType = RunTypeOf(StartUpLV.Tag(row));
  const StartUpPlace enabledPlace = StartUpPlaceOf(keyText, runType),
                     disabledPlace = StartUpPlaceOf(keyText + "-", runType);
  const bool enabling = Index == 0;
  const std::string targetText = enabling ? keyText : keyText + "-";
  switch (MoveStartUpValue(enabling ? disabledPlace : enabledPlace, enabling ? enabledPlace : disabledPlace, name)) {
    case StartUpChange::kFailed:
      MsgBox("The start-up program '" + name + "' couldn't be written to " + targetText + "; nothing was changed.",
             MB_OK | MB_ICONSTOP, hwnd());
      break;
    case StartUpChange::kNameTaken:
      MsgBox("A start-up program named '" + name + "' is already in " + targetText + "; nothing was changed.",
             MB_OK | MB_ICONEXCLAMATION, hwnd());
      break;
    default:
      break;
  }
  RefreshMe(false);
  if (!SelectStartUpEntry(name, keyText, !disabled)) SelectStartUpEntry(name, keyText, disabled);
}

void MoreToolsFrmForm::AddStartUp(const std::string& Name, const std::string& KeyText, int16_t RunType,
                                  const std::string& CmdLine) {
  if (!WriteStartUpValue(StartUpPlaceOf(KeyText, RunType), Name, StartUpCommandValue(CmdLine)))
    MsgBox("The start-up program '" + Name + "' couldn't be written to " + KeyText + "; nothing was changed.",
           MB_OK | MB_ICONSTOP, hwnd());
  RefreshMe(false);
  const bool disabled = !KeyText.empty() && KeyText.back() == '-';
  SelectStartUpEntry(Name, disabled ? KeyText.substr(0, KeyText.size() - 1) : KeyText, disabled);
}

void MoreToolsFrmForm::DelStartUp(const std::string& Name, const std::string& KeyText, int16_t RunType) {
  DeleteStartUpValue(StartUpPlaceOf(KeyText, RunType), Name);
  RefreshMe(false);
}

void MoreToolsFrmForm::cmdDel_Click() {
  const int row = SelectedStartUpRow();
  if (row < 0) return;
  const std::string name = StartUpLV.ItemText(row);
  const int answer = seams::MessageBoxFn(
      DialogOwner(hwnd()), "Are you sure you want to delete the program/service '" + name + "' from the startup list?",
      "Confirm Delete", MB_YESNO | MB_ICONQUESTION);
  if (answer == IDNO) return;
  const std::string keyText = StartUpLV.SubItem(row, kStartUpKey);
  const bool disabled = StartUpLV.SubItem(row, kStartUpStatus) == "Disabled";
  DelStartUp(name, disabled ? keyText + "-" : keyText, RunTypeOf(StartUpLV.Tag(row)));
}

void MoreToolsFrmForm::cmdAdd_Click(int16_t Index) {
  if (Index == 0) {
    AddStartupFrm.ShowAddStartUpFrm("", "");
    return;
  }
  const int row = SelectedStartUpRow();
  if (row < 0) return;
  AddStartupFrm.ShowModifyStartUpFrm(StartUpLV.ItemText(row), StartUpLV.SubItem(row, kStartUpKey),
                                     StartUpLV.SubItem(row, kStartUpCmdLine), RunTypeOf(StartUpLV.Tag(row)),
                                     StartUpLV.SubItem(row, kStartUpStatus) == "Disabled");
}

void MoreToolsFrmForm::detailsBtn_Click() {
  const int row = SelectedStartUpRow();
  if (row < 0) return;
  const std::string path = GetStartUpProgPath(StartUpLV.SubItem(row, kStartUpCmdLine));
  ShowFrm(DetailsFrm);
  DetailsFrm.RefFrm(path, false);
}

void MoreToolsFrmForm::SwitchBtn_Click() {
  const int row = SelectedStartUpRow();
  if (row < 0) return;
  if (Views.frame.ClickPageButton) Views.frame.ClickPageButton("Quillon");
  Mainfrm.Toolbar3.SetValue("All", true);
  Mainfrm.Toolbar3_ButtonClick("All");
  const std::string path = GetStartUpProgPath(StartUpLV.SubItem(row, kStartUpCmdLine));
  ui::ListView& apps = Mainfrm.AppLst;
  // The lists key their rows by path, in the case the system gives (upper case on NT).
  for (int app = 0; app < apps.ItemCount(); ++app) {
    if (path.empty() || vb::LCase(apps.Key(app)) != path) continue;
    for (int other : apps.SelectedRows()) apps.SetSelected(other, false);
    apps.SetSelected(app, true);
    apps.SetFocusedRow(app);
    if (apps.hwnd()) SendMessageA(apps.hwnd(), LVM_ENSUREVISIBLE, app, FALSE);
    return;
  }
  MsgBox("The program is not currently running", MB_OK | MB_ICONEXCLAMATION, hwnd());
}

std::string GetStartUpProgPath(const std::string& cmdLine) {
  if (cmdLine.empty()) return "";
  std::string text;
  if (cmdLine[0] == '"') {
    size_t close = cmdLine.find('"', 1);
    if (close == std::string::npos) return "";
    text = cmdLine.substr(1, close - 1);
  } else {
    text = cmdLine;
    size_t dot = text.rfind('.');
    size_t blank = text.find(' ', dot == std::string::npos ? 0 : dot);
    if (blank != std::string::npos) text = text.substr(0, blank);
    if (text.find('~') != std::string::npos) {
      const std::string shortText = vb::LCase(text);
      for (int row = 0; row <= ProgTableLast && row < static_cast<int>(ProgTable.size()); ++row) {
        const std::string shortPath = vb::LCase(GetShortPath(ProgTable[row][kProgPath]));
        // A path with no short form matches nothing.
        if (!shortPath.empty() && shortPath == shortText) {
          text = ProgTable[row][kProgPath];
          break;
        }
      }
    }
  }
  if (text.find(':') == std::string::npos) {
    const std::string inWindows = GetWinDir() + "\\" + text;
    text = (IsProgramInTable(inWindows) ? inWindows : GetSysDir() + "\\" + text);
  }
  return vb::LCase(text);
}
