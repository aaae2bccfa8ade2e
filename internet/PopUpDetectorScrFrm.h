// The notice shown for each blocked pop-up; loaded at start and kept hidden.
#pragma once
#include <cstdint>
#include <string>

#include "Window.h"

class PopUpDetectorScrFrmForm : public ui::Window {
 public:
  PopUpDetectorScrFrmForm();
  // Takes a pop-up the scan found. Until the notice itself is built, a window
  // with a white title or address stays, and any other is closed and counted.
  void ShowPop(const std::string& title, int16_t browser, HWND window, int16_t slot, uint32_t threadId,
               int16_t webDialog);
  void Timer1_Timer() {}
};

extern PopUpDetectorScrFrmForm PopUpDetectorScrFrm;
