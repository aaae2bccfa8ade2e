// The Run dialog; its fields come with the mini tools.
#pragma once
#include "Window.h"

class RunFrmForm : public ui::Window {
 public:
  RunFrmForm();
};

extern RunFrmForm RunFrm;
