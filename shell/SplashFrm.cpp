#include "SplashFrm.h"

#include "ModMain.h"
#include "ModStartup.h"
#include "version.h"
#include "ViewBindings.h"

SplashFrmForm SplashFrm;

SplashFrmForm::SplashFrmForm()
    : Window({.caption = "Quillon Pro", .style = WS_POPUP | WS_BORDER,
                  .exStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST, .width = 360, .height = 150,
                  .centred = true}),
      Label1(*this, {20, 24, 320, 40}, ProgramTitle, SS_CENTER),
      lblVersion(*this, {20, 76, 320, 20}, "", SS_CENTER),
      LoadingLbl(*this, {20, 104, 320, 20}, "Please wait.", SS_CENTER),
      Timer1(*this, 3000),
      Timer2(*this, 200) {
  Label1.SetFont("Arial", 20, true);
  Timer1.Tick = [this] { Timer1_Timer(); };
  Timer2.Tick = [this] { Timer2_Timer(); };
  Views.splash.form = this;
}

void SplashFrmForm::Form_Load() {
  PaintGradient(*this, 245, 245, 245, 176, 184, 207);
  lblVersion.SetText("Quillon Version " + std::to_string(QP_VERSION_MAJOR) + "." +
                     std::to_string(QP_VERSION_MINOR) + "." + std::to_string(QP_VERSION_REVISION) +
                     "  is loading");
  Timer1.SetEnabled(true);
  MakeRoundForm(hwnd(), 12);
}

void SplashFrmForm::Timer1_Timer() { Unload(); }

void SplashFrmForm::Timer2_Timer() {
  std::string text = lblVersion.Text();
  if (text.size() >= 5 && text.compare(text.size() - 5, 5, ".....") == 0)
    text.resize(text.size() - 3);
  else
    text += ".";
  lblVersion.SetText(text);
}
