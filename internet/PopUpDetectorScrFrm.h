// The notice shown for each blocked pop-up; loaded at start and kept hidden.
#pragma once
#include "Window.h"

class PopUpDetectorScrFrmForm : public ui::Window {
 public:
  PopUpDetectorScrFrmForm();
};

extern PopUpDetectorScrFrmForm PopUpDetectorScrFrm;
