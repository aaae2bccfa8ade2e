// The report window. For now it holds the report text that the find dialog searches.
#pragma once
#include <cstdint>

#include "Controls.h"
#include "Window.h"

class LogfrmForm : public ui::Window {
 public:
  LogfrmForm();

  ui::TextBox txtLog;  // the report, read-only

  // The caret (start of the selection), in characters from 0.
  int32_t SelStart() const;
  // Selects `length` characters from `start` and scrolls them into view.
  void Select(int32_t start, int32_t length);

 protected:
  void Form_Load() override;
  void Form_Resize() override;
};

extern LogfrmForm Logfrm;
