// The dialog that adds an item to the pop-up blocker's white list. For now it opens
// with the address and title it was given; its fields come with the pop-up blocker's
// windows.
#pragma once
#include <cstdint>
#include <string>

#include "Controls.h"
#include "Window.h"

class AddWhiteFrmForm : public ui::Window {
 public:
  AddWhiteFrmForm();
  void ShowAddWhiteFrm(const std::string& URL, const std::string& WindowName);

  // Opens item ItemIndex (1-based) for changing.
  void ShowModifyWhiteFrm(int16_t ItemIndex);
  ui::TextBox ByURLTxt;
  ui::TextBox ByNameTxt;
};

extern AddWhiteFrmForm AddWhiteFrm;
