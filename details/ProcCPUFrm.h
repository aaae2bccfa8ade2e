// The risk monitor page; its monitored programs come with the risk model.
#pragma once
#include "Window.h"

class ProcCPUFrmForm : public ui::Window {
 public:
  ProcCPUFrmForm();
  // Refreshes the page while it is shown; nothing yet.
  void RefreshMe() {}
};

extern ProcCPUFrmForm ProcCPUFrm;
