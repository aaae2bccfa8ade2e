#include "PopUpDetectorScrFrm.h"

#include "ModGetURL.h"
#include "ModMainPlatform.h"
#include "ModPop.h"
#include "ModPopHook.h"
#include "ModSettings.h"
#include "ModWndOpr.h"
#include "ViewBindings.h"

PopUpDetectorScrFrmForm PopUpDetectorScrFrm;

PopUpDetectorScrFrmForm::PopUpDetectorScrFrmForm() : Window({.caption = "Latchkey",
              .style = WS_POPUP | WS_BORDER, .exStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST,
              .width = 300, .height = 90}) {
  Views.popUpNotice.form = this;
  Views.popUpNotice.ShowPop = [](const std::string& title, int16_t browser, HWND window, int16_t slot,
                                 uint32_t threadId, int16_t webDialog) {
    PopUpDetectorScrFrm.ShowPop(title, browser, window, slot, threadId, webDialog);
  };
  Views.popUpNotice.Timer1_Timer = [] { PopUpDetectorScrFrm.Timer1_Timer(); };
}

void PopUpDetectorScrFrmForm::ShowPop(const std::string& title, int16_t browser, HWND window, int16_t,
                                      uint32_t, int16_t webDialog) {
  // A new pop-up's address is read afresh: the last one's must not decide.
  FoundURL.clear();
  EnumChildWindows(window, EnumURLChildProc, 0);
  if (IsInWhiteList(1, title) || IsPreDefinedWhite(1, title, browser, window) || IsInWhiteList(0, FoundURL) ||
      IsPreDefinedWhite(0, FoundURL, browser, window))
    return;
  if (webDialog)
    AddBlockedWebDialog(window, title);
  else
    AddBlockedPopUp(window, browser >= 0 && browser < BrowsersLst_Total ? Browsers[browser].Path : "", title);
}
