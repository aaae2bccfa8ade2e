#include "DriversMsgFrm.h"

#include "Gdi.h"

#include "ModCheckDrive.h"
#include "ModMainPlatform.h"
#include "ModSettings.h"
#include "MoreToolsFrm.h"
#include "Seams.h"

DriversMsgFrmForm DriversMsgFrm;

DriversMsgFrmForm::DriversMsgFrmForm()
    : Window({.caption = "Drives media check",
              .style = WS_POPUP | WS_CAPTION | WS_SYSMENU,
              .exStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW,
              .width = 420,
              .height = 180,
              .centred = true}),
      DrivesImg(*this, {12, 14, 48, 48}),
      Label1(*this, {72, 14, 336, 20}),
      lblDrvLbl(*this, {72, 38, 336, 20}, "Drive_Label"),
      EjectBtn(*this, {72, 66, 80, 26}, "Eject"),
      DontCheckBtn(*this, {160, 66, 200, 26}, "Don't check this drive again"),
      // Two lines high: the caption wraps where the box is narrower than it.
      DontShowChk(*this, {12, 102, 396, 30},
                  "Don't show this message again (you can show it later from MoreTools )"),
      OKButton(*this, {328, 144, 80, 26}, "OK"),
      Timer1(*this, 500) {
  OKButton.SetDefault(true);
  EjectBtn.Click = [this] { EjectBtn_Click(); };
  DontCheckBtn.Click = [this] { DontCheckBtn_Click(); };
  OKButton.Click = [this] { OKButton_Click(); };
  Timer1.Tick = [this] {
    StayInFront();
    if (hwnd()) RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  };
  DrivesImg.Paint = [this](HDC dc) { PaintDrive(dc); };
}

// A drive drawn by hand: a grey box with a slot and a green light.
void DriversMsgFrmForm::PaintDrive(HDC dc) {
  const ui::OwnedBrush body(CreateSolidBrush(RGB(192, 192, 192))), slot(CreateSolidBrush(RGB(32, 32, 32))),
      light(CreateSolidBrush(RGB(0, 200, 0)));
  RECT box{4, 12, 44, 38}, gap{10, 20, 38, 24}, led{36, 30, 41, 34};
  FillRect(dc, &box, body.get());
  FrameRect(dc, &box, slot.get());
  FillRect(dc, &gap, slot.get());
  FillRect(dc, &led, light.get());
}

void DriversMsgFrmForm::StayInFront() {
  if (hwnd()) SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void DriversMsgFrmForm::Form_Activate() { StayInFront(); }

// Each load starts as designed: the controls keep their state while the form has no
// window, and a tick left from the last warning would turn the check off unasked.
void DriversMsgFrmForm::Form_Load() {
  DontShowChk.SetValue(false);
  lblDrvLbl.SetText("Drive_Label");
}

void DriversMsgFrmForm::ShowFrm(const std::string& root) {
  if (!Load()) return;
  DriveRoot = root;
  SetCaption("Drives media check");
  Label1.SetText("You forgot a disk in Drive: " + std::string(" ") + DriveRoot);
  Show();
  UpdateWindow(hwnd());
  lblDrvLbl.SetText(GetVolumeLabel(DriveRoot));
  EjectBtn.SetVisible(GetDriveTypeA(DriveRoot.c_str()) == DRIVE_CDROM);
  StayInFront();
}

void DriversMsgFrmForm::EjectBtn_Click() {
  MediaMsgStartTick = seams::TickCountFn();
  EjectMedia(DriveRoot);
}

void DriversMsgFrmForm::DontCheckBtn_Click() {
  AddExcludedDrive(DriveRoot);
  // The page's list and the stored keys stay the same.
  const std::string letter =
      DriveRoot.empty() ? "" : std::string(1, static_cast<char>(toupper(static_cast<unsigned char>(DriveRoot[0]))));
  bool listed = false;
  for (int i = 0; i < MoreToolsFrm.DriveEXList.ListCount(); ++i)
    listed = listed || MoreToolsFrm.DriveEXList.List(i) == letter;
  if (!listed && !letter.empty()) MoreToolsFrm.DriveEXList.AddItem(letter);
  OKButton_Click();
}

void DriversMsgFrmForm::OKButton_Click() { Unload(); }

void DriversMsgFrmForm::Form_Unload(bool& /*cancel*/) {
  Hide();
  if (!DontShowChk.Value()) return;
  // The option, its stored value and the page's box change together.
  DriveCheck = 0;
  SaveSetting(ProgramTitle, "MoreTools", "DriveCheck", "0");
  MoreToolsFrm.MediaChk.SetValue(false);
}
