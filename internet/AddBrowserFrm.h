// The dialog that adds a browser to the pop-up blocker's list. For now it opens with
// the path it was given; its fields come with the pop-up blocker's windows.
#pragma once
#include <cstdint>
#include <string>

#include "Controls.h"
#include "Window.h"

class AddBrowserFrmForm : public ui::Window {
 public:
  AddBrowserFrmForm();
  void ShowAddBrowserFrm(const std::string& BrowserPath);

  // Opens entry BrowserIndex (1-based) for changing.
  void ShowModifyBrowserFrm(int16_t BrowserIndex);
  ui::TextBox BrowserPathTxt;
};

extern AddBrowserFrmForm AddBrowserFrm;
