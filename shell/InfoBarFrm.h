// The tracker bar docked to a screen edge.
#pragma once
#include "Window.h"

class InfoBarFrmForm : public ui::Window {
 public:
  InfoBarFrmForm();
};

extern InfoBarFrmForm InfoBarFrm;
