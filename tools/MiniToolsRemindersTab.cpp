#include "MiniToolsRemindersTab.h"

#include <algorithm>
#include <string>

#include "ModMain.h"
#include "ModMainPlatform.h"
#include "ModSettings.h"
#include "VbRules.h"

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

const char kHint[] = "Mini tools: Reminders, Media check, tasks history and start-up manager";

std::string MinutesText(int16_t minutes) { return minutes < 1 ? "0" : std::to_string(minutes); }

int16_t IntegerOf(const ui::TextBox& box) { return vb::CInt(vb::Val(box.Text())).value_or(0); }

// Out of 1 to 1440 the box takes the fallback period.
void CorrectPeriod(ui::TextBox& box, const char* fallback) {
  const double value = vb::Val(box.Text());
  if (value < 1 || value > 1440) box.SetText(fallback);
}

}  // namespace

MiniToolsRemindersTab::MiniToolsRemindersTab(ui::Window& form, ui::Container& page)
    : HealthFram(form, {8, 8, 525, 192}, "Health Smart Reminder"),
      WinReminderChk(form, {10, 20, 120, 20}, "Remind me every"),
      WinReminderTxt(form, {134, 20, 50, 20}),
      WinMinutesLbl(form, {190, 22, 80, 18}, "minute(s)."),
      IdleLbl(form, {10, 48, 340, 18}, "And dismiss the reminder if the computer is idle for more than"),
      WinReminderIdleTimeTxt(form, {354, 46, 50, 20}),
      IdleMinutesLbl(form, {10, 72, 400, 18}, "minute(s) while working in Windows with this message:"),
      WinReminderTextTxt(form, {10, 92, 505, 62}, "", ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL),
      PresetsLbl(form, {10, 163, 130, 18}, "Pre-defined messages:"),
      MsgsLstCombo(form, {144, 160, 200, 150}),
      IntFram(form, {8, 206, 525, 112}, "Internet Reminder"),
      IntReminderChk(form, {10, 20, 120, 20}, "Remind me every"),
      IntReminderTxt(form, {134, 20, 50, 20}),
      Label4(form, {190, 22, 330, 18}, "minute(s) while connected to the Internet with this message:"),
      Label4_1(form, {10, 46, 200, 18}, "(Dial-up connection only) :"),
      IntReminderTextTxt(form, {10, 66, 505, 38}, "", ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL),
      SaveBtn(form, {365, 324, 80, 24}, "Save"),
      ResetBtn(form, {453, 324, 80, 24}, "Reset"),
      form_(form) {
  for (ui::Control* c : std::initializer_list<ui::Control*>{&HealthFram, &IntFram, &SaveBtn, &ResetBtn})
    c->SetContainer(page);
  for (ui::Control* c : std::initializer_list<ui::Control*>{&WinReminderChk, &WinReminderTxt, &WinMinutesLbl, &IdleLbl,
                                                             &WinReminderIdleTimeTxt, &IdleMinutesLbl,
                                                             &WinReminderTextTxt, &PresetsLbl, &MsgsLstCombo})
    c->SetContainer(HealthFram);
  for (ui::Control* c :
       std::initializer_list<ui::Control*>{&IntReminderChk, &IntReminderTxt, &Label4, &Label4_1, &IntReminderTextTxt})
    c->SetContainer(IntFram);
  for (ui::TextBox* box : {&IntReminderTxt, &WinReminderTxt, &WinReminderIdleTimeTxt}) box->SetNumberStyle(true);

  SaveBtn.Click = [this] { SaveBtn_Click(); };
  ResetBtn.Click = [this] { ResetBtn_Click(); };
  MsgsLstCombo.Click = [this] { MsgsLstCombo_Click(); };
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
      if (!gaining || (gaining != form_.hwnd() && !IsChild(form_.hwnd(), gaining))) UpdateData();
    };
  HealthFram.MouseMove = [](int, int, int, int) { SetHintText(kHint); };
}

void MiniToolsRemindersTab::Prepare() {
  MsgsLstCombo.Clear();
  for (const char* preset : {"Default", "Family (polite)", "Family (hard)", "Office (polite)", "Office (hard)"})
    MsgsLstCombo.AddItem(preset);
}

bool MiniToolsRemindersTab::CheckErrors() {
  filling_ = true;
  if (IntReminderChk.Value()) CorrectPeriod(IntReminderTxt, "60");
  if (WinReminderChk.Value()) CorrectPeriod(WinReminderTxt, "60");
  CorrectPeriod(WinReminderIdleTimeTxt, "3");
  filling_ = false;
  return false;
}

void MiniToolsRemindersTab::UpdateData() {
  if (CheckErrors()) return;
  IntReminder = IntReminderChk.Value() ? IntegerOf(IntReminderTxt) : 0;
  WinReminder = WinReminderChk.Value() ? IntegerOf(WinReminderTxt) : 0;
  WinReminderIdleTime = IntegerOf(WinReminderIdleTimeTxt);
  WinReminderText = WinReminderTextTxt.Text();
  IntReminderText = IntReminderTextTxt.Text();
  SaveSettings();
}

void MiniToolsRemindersTab::Show() {
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
}

bool MiniToolsRemindersTab::IsTextField(HWND window) const {
  if (!window) return false;
  for (const ui::TextBox* box : {&IntReminderTxt, &WinReminderTxt, &WinReminderIdleTimeTxt, &IntReminderTextTxt,
                                 &WinReminderTextTxt})
    if (window == box->hwnd()) return true;
  return false;
}

// The reminder frames take the tab's width. A caption sits beside the box it speaks
// of where it fits on one line, and wraps under itself where the font is too wide.
void MiniToolsRemindersTab::Layout(ui::Container& page) {
  RECT inner{};
  if (!page.hwnd() || !GetClientRect(page.hwnd(), &inner)) return;
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

void MiniToolsRemindersTab::ReminderEdited(ui::CheckBox* tick) {
  if (filling_) return;
  if (tick && form_.Visible()) tick->SetValue(true);
  SaveBtn.SetEnabled(true);
}

void MiniToolsRemindersTab::MsgsLstCombo_Click() {
  const int index = MsgsLstCombo.ListIndex();
  if (index < 0 || index > 4) return;
  WinReminderTextTxt.SetText(kReminderPresets[index]);
  // A multi-line box raises no change for text set by the program.
  ReminderEdited(nullptr);
}

void MiniToolsRemindersTab::SaveBtn_Click() {
  UpdateData();
  SaveBtn.SetEnabled(false);
  MsgBox("The reminders data is saved", MB_OK | MB_ICONINFORMATION, form_.hwnd());
}

// The option defaults of the reminders, to be saved or discarded as any edit.
void MiniToolsRemindersTab::ResetBtn_Click() {
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
