// The About window; its text and pictures come with the splash and about windows.
#pragma once
#include "Window.h"

class frmAboutForm : public ui::Window {
 public:
  frmAboutForm();
};

extern frmAboutForm frmAbout;
