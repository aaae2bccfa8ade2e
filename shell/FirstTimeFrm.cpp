#include "FirstTimeFrm.h"

#include <algorithm>

#include "Gdi.h"
#include "ModMain.h"
#include "ModSettings.h"

FirstTimeFrmForm FirstTimeFrm;

namespace {

const int kBodyHeight = 100;  // the body's height at design

std::string MsgKey(int16_t id) { return "MsgID-" + std::to_string(id); }

const char* const kPopUpBody =
    "This is your first time to use"
    " Quillon pop-up blocker, Latchkey. When Quillon detects"
    " a pop-up, it hides it and just shows information"
    " about it. With a simple mouse hover you can take"
    " a peek and decide whether to show it. Otherwise,"
    " the pop-up will be automatically blocked after"
    " a few seconds. You can also add the pop-up to"
    " the white list, so that it is always shown.";

const char* const kTrackerBody =
    "This is your first time to use"
    " Auto-Hide feature. The Tracker will now be hidden"
    " .To display it, simply put your mouse at the top"
    " of the screen and leave it for moments.";

}  // namespace

bool FirstTimeMessageOn(int16_t intMsgID) {
  // A value only an outside edit could leave reads as True and stops nothing.
  return SettingsReader(ProgramTitle, "General").Flag(MsgKey(intMsgID), true);
}

FirstTimeFrmForm::FirstTimeFrmForm()
    : Window({.caption = "Dialog Caption", .style = WS_POPUP | WS_CAPTION | WS_SYSMENU, .exStyle = WS_EX_TOPMOST,
              .width = 380, .height = 190, .centred = true}),
      Image1(*this, {12, 14, 36, 36}),
      MsgBodyLbl(*this, {60, 12, 308, kBodyHeight}, "Message Body"),
      Line1(*this, {8, 120, 364, 2}, "", SS_ETCHEDHORZ),
      Line2(*this, {8, 123, 364, 2}, "", SS_ETCHEDHORZ),
      DontDisplayChk(*this, {12, 150, 240, 22}, "Don't show this message again"),
      OKButton(*this, {288, 148, 80, 26}, "OK") {
  OKButton.SetDefault(true);
  OKButton.Click = [this] { OKButton_Click(); };
  Image1.Paint = [](HDC dc) { DrawIcon(dc, 2, 2, LoadIcon(nullptr, IDI_INFORMATION)); };
}

bool FirstTimeFrmForm::ShowFirstTime(int16_t intMsgID, ui::Window* OwnerFrm) {
  msgId_ = intMsgID;
  if (!FirstTimeMessageOn(intMsgID)) {
    if (Loaded()) Unload();
    return false;
  }
  Load();
  if (intMsgID == 1) {
    SetCaption("Latchkey");
    MsgBodyLbl.SetText(kPopUpBody);
  } else if (intMsgID == 2) {
    SetCaption("Tracker Bar");
    MsgBodyLbl.SetText(kTrackerBody);
  }
  FitBody();
  SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
  ShowModal(OwnerFrm);
  return true;
}

// The body is as tall as its text wrapped in the label's width in the label's font
// (the screen's font decides it), and the lines, box and button follow below it.
void FirstTimeFrmForm::FitBody() {
  const ui::Bounds body = MsgBodyLbl.GetBounds();
  RECT text = {0, 0, body.width, 0};
  {
    const ui::WindowDC dc(MsgBodyLbl.hwnd());
    const ui::SelectIn font(dc.get(), reinterpret_cast<HFONT>(SendMessageA(MsgBodyLbl.hwnd(), WM_GETFONT, 0, 0)));
    const std::string said = MsgBodyLbl.Text();
    DrawTextA(dc.get(), said.c_str(), -1, &text, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  }
  const int height = std::max<int>(kBodyHeight, text.bottom + 4);
  MsgBodyLbl.Move({body.x, body.y, body.width, height});
  const int lines = body.y + height + 8;
  Line1.Move({8, lines, 364, 2});
  Line2.Move({8, lines + 3, 364, 2});
  DontDisplayChk.Move({12, lines + 30, 240, 22});
  OKButton.Move({288, lines + 28, 80, 26});
  RECT outer = {0, 0, 380, lines + 28 + 26 + 16};
  AdjustWindowRectEx(&outer, static_cast<DWORD>(GetWindowLongA(hwnd(), GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongA(hwnd(), GWL_EXSTYLE)));
  SetWindowPos(hwnd(), nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FirstTimeFrmForm::OKButton_Click() {
  if (DontDisplayChk.Value()) SaveSetting(ProgramTitle, "General", MsgKey(msgId_), "False");
  Unload();
}

// An unloaded window comes back as designed: the box unticked.
void FirstTimeFrmForm::Form_Load() { DontDisplayChk.SetValue(false); }
