// The window shown while the program starts; it closes itself after three seconds.
#pragma once
#include "Controls.h"
#include "PictureBox.h"
#include "Timer.h"
#include "Window.h"

class SplashFrmForm : public ui::Window {
 public:
  SplashFrmForm();

  ui::PictureBox Image1, Image2;
  ui::Label Label1;
  ui::Label lblVersion;
  ui::Label LoadingLbl;
  ui::Label debugLbl;  // development runs only
  ui::Timer Timer1;  // closes the window
  ui::Timer Timer2;  // moves the progress dots

 protected:
  void Form_Load() override;
  void Form_Unload(bool& cancel) override;

 private:
  void Timer1_Timer();
  void Timer2_Timer();
};

extern SplashFrmForm SplashFrm;
