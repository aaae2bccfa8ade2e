#include "OptionsWindowsTab.h"

#include "ModSettings.h"
#include "OptionsFields.h"

using namespace optionfields;

OptionsWindowsTab::OptionsWindowsTab(ui::Window& form, ui::Container& page)
    : HideWndChk(form, {12, 34, 400, 20}, "Don't show  'Hidden' windows in windows list"),
      WndDisplayFram(form, {12, 62, 596, 130}, "What windows do you want to display in the Task Manager?"),
      WndDisplayOpt0(form, {10, 24, 470, 20}, "Display the same windows displayed by Windows Task Manager", true),
      WndDisplayOpt1(form, {10, 48, 470, 20}, "Recommended windows types"),
      WndDisplayOpt2(form, {10, 72, 470, 20}, "All Dialogue windows (for professionals)"),
      WndDisplayOpt3(form, {10, 96, 470, 20}, "All windows on the system (for professionals)") {
  HideWndChk.SetContainer(page);
  WndDisplayFram.SetContainer(page);
  for (int i = 0; i < 4; ++i) WndDisplayOpt(i).SetContainer(WndDisplayFram);
}

ui::OptionButton& OptionsWindowsTab::WndDisplayOpt(int index) {
  switch (index) {
    case 0: return WndDisplayOpt0;
    case 1: return WndDisplayOpt1;
    case 2: return WndDisplayOpt2;
    default: return WndDisplayOpt3;
  }
}

void OptionsWindowsTab::Load() {
  HideWndChk.SetValue(HideWnd != 0);
  SelectOption([this](int i) -> ui::OptionButton& { return WndDisplayOpt(i); }, 4, WndDisplay, 1);
}

void OptionsWindowsTab::Store() {
  HideWnd = Flag(HideWndChk);
  for (int i = 0; i < 4; ++i)
    if (WndDisplayOpt(i).Value()) {
      WndDisplay = static_cast<int16_t>(i);
      break;
    }
}
