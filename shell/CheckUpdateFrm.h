// The update check; its request and answer come with the update check itself.
#pragma once
#include "Window.h"

class CheckUpdateFrmForm : public ui::Window {
 public:
  CheckUpdateFrmForm();
};

extern CheckUpdateFrmForm CheckUpdateFrm;
