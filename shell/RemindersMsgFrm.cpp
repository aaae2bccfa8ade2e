#include "RemindersMsgFrm.h"

#include <algorithm>

#include "Gdi.h"
#include "ModMain.h"
#include "ModMainLoop.h"
#include "ModSettings.h"
#include "ViewBindings.h"

RemindersMsgFrmForm RemindersMsgFrm;

RemindersMsgFrmForm::RemindersMsgFrmForm()
    : Window({.caption = "Msg", .style = WS_POPUP | WS_CAPTION | WS_SYSMENU,
                  .exStyle = WS_EX_TOPMOST, .width = 400, .height = 160, .centred = true}),
      Label1(*this, {60, 12, 328, 72}),
      ClockImg(*this, {12, 14, 36, 36}),
      DontShowChk(*this, {12, 92, 380, 20}, "Don't show this reminder again (you can show it later from MoreTools )"),
      OKButton(*this, {210, 124, 80, 26}, "&OK"),
      SettingsBtn(*this, {300, 124, 88, 26}, "&Settings ...") {
  OKButton.SetDefault(true);
  OKButton.Click = [this] { OKButton_Click(); };
  SettingsBtn.Click = [this] { SettingsBtn_Click(); };
  ClockImg.SetVisible(false);
  ClockImg.Paint = [](HDC dc) {
    // A clock face at a quarter past ten: our own picture.
    const ui::SelectIn pen(dc, GetStockObject(BLACK_PEN));
    Ellipse(dc, 2, 2, 34, 34);
    MoveToEx(dc, 18, 18, nullptr);
    LineTo(dc, 18, 6);
    MoveToEx(dc, 18, 18, nullptr);
    LineTo(dc, 26, 18);
  };
  Views.reminders.Show = [](int16_t msgType, const std::string& title, const std::string& text) {
    RemindersMsgFrm.ShowFrm(msgType, title, text);
  };
}

void RemindersMsgFrmForm::ShowFrm(int16_t msgType, const std::string& msgTitle, const std::string& msgText) {
  msgType_ = msgType;
  Load();
  SetCaption(msgTitle);
  Label1.SetText(msgText);
  FitToText();
  Show();
  ClockImg.SetVisible(true);
}

namespace {
constexpr int kTextLeft = 60, kTextWidth = 328, kTextTop = 12, kMinTextHeight = 72, kMaxTextHeight = 400;
constexpr int kBoxHeight = 30, kButtonHeight = 26, kGap = 8;
}  // namespace

// The message and the box below it wrap within the window: a long message (the
// presets run to eight lines) makes the window taller rather than being cut off.
void RemindersMsgFrmForm::FitToText() {
  int textHeight = kMinTextHeight;
  if (HWND label = Label1.hwnd()) {
    const ui::WindowDC dc(label);
    const ui::SelectIn font(dc.get(), reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0)));
    RECT need = {0, 0, kTextWidth, 0};
    const std::string text = Label1.Text();
    DrawTextA(dc.get(), text.c_str(), static_cast<int>(text.size()), &need, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    textHeight = std::min(std::max(static_cast<int>(need.bottom), kMinTextHeight), kMaxTextHeight);
  }
  Label1.Move({kTextLeft, kTextTop, kTextWidth, textHeight});
  const int boxTop = kTextTop + textHeight + kGap, buttonTop = boxTop + kBoxHeight + kGap;
  DontShowChk.Move({12, boxTop, 376, kBoxHeight});
  OKButton.Move({210, buttonTop, 80, kButtonHeight});
  SettingsBtn.Move({300, buttonTop, 88, kButtonHeight});
  RECT frame = {0, 0, 400, buttonTop + kButtonHeight + 10};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongA(hwnd(), GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongA(hwnd(), GWL_EXSTYLE)));
  SetWindowPos(hwnd(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// A reminder stays above other windows whenever it gets the focus.
void RemindersMsgFrmForm::Form_Activate() {
  SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

void RemindersMsgFrmForm::OKButton_Click() { Unload(); }

// The mini-tools page is where the reminders are set.
void RemindersMsgFrmForm::SettingsBtn_Click() {
  ShowInterfaceFrm();
  if (Views.frame.ClickPageButton) Views.frame.ClickPageButton("MoreTools");
  OKButton_Click();
}

void RemindersMsgFrmForm::Form_Unload(bool& /*cancel*/) {
  if (msgType_ == 0) CheckWindowsReminder(0);  // the usage minutes count again from now
  if (!DontShowChk.Value()) return;
  if (msgType_ == 0)
    WinReminder = 0;
  else if (msgType_ == 1)
    IntReminder = 0;
  SaveSettings();
  // The mini-tools page may show the old period (Settings opened it just now): it
  // would store that again when the user leaves it.
  if (Views.moreTools.ShowReminderOptions && ViewLoaded(Views.moreTools.form)) Views.moreTools.ShowReminderOptions();
}

// An unloaded window comes back as designed: the box unticked.
void RemindersMsgFrmForm::Form_Load() { DontShowChk.SetValue(false); }
