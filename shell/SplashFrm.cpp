#include "SplashFrm.h"

#include "Gdi.h"
#include "ModMain.h"
#include "FramePictures.h"
#include "ModStartup.h"
#include "ModStartupPlatform.h"
#include "version.h"
#include "ViewBindings.h"

SplashFrmForm SplashFrm;

SplashFrmForm::SplashFrmForm()
    : Window({.caption = "Quillon Pro", .style = WS_POPUP | WS_BORDER,
                  .exStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST, .width = 360, .height = 150,
                  .centred = true}),
      Image1(*this, {12, 12, 96, 32}),
      Image2(*this, {300, 100, 48, 40}),
      Label1(*this, {112, 20, 236, 40}, ProgramTitle, SS_CENTER),
      lblVersion(*this, {20, 76, 320, 20}, "", SS_CENTER),
      LoadingLbl(*this, {20, 104, 320, 20}, "Please wait.", SS_CENTER),
      debugLbl(*this, {12, 128, 100, 16}, "Debug Mode"),
      Timer1(*this, 3000),
      Timer2(*this, 200) {
  Label1.SetFont("Arial", 20, true);
  Timer1.Tick = [this] { Timer1_Timer(); };
  Timer2.Tick = [this] { Timer2_Timer(); };
  // Our own pictures: the logo above, a gauge in the corner below.
  Image2.Paint = [](HDC dc) {
    {
      const ui::OwnedBrush fill(CreateSolidBrush(RGB(90, 110, 170)));
      const ui::SelectIn select(dc, fill.get());
      Pie(dc, 2, 2, 46, 46, 46, 24, 2, 24);
    }
    MoveToEx(dc, 24, 24, nullptr);
    LineTo(dc, 36, 8);
  };
  Views.splash.form = this;
}

void SplashFrmForm::Form_Load() {
  PaintGradient(*this, 245, 245, 245, 176, 184, 207);
  lblVersion.SetText("Quillon Version " + std::to_string(QP_VERSION_MAJOR) + "." +
                     std::to_string(QP_VERSION_MINOR) + "." + std::to_string(QP_VERSION_REVISION) +
                     "  is loading");
  Timer1.SetEnabled(true);
  Image1.SetPicture(LogoPicture());
  debugLbl.SetVisible(!IsCompiled);
  MakeRoundForm(hwnd(), 12);
}

// The system owns a region once SetWindowRgn took it and frees it itself when the
// region is replaced: deleting it here as well would free a handle twice.
void SplashFrmForm::Form_Unload(bool& /*cancel*/) { SetWindowRgn(hwnd(), nullptr, FALSE); }

void SplashFrmForm::Timer1_Timer() { Unload(); }

void SplashFrmForm::Timer2_Timer() {
  std::string text = lblVersion.Text();
  if (text.size() >= 5 && text.compare(text.size() - 5, 5, ".....") == 0)
    text.resize(text.size() - 3);
  else
    text += ".";
  lblVersion.SetText(text);
}
