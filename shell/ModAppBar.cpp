#include "ModAppBar.h"

#include "AppBarClass.h"
#include "StallMeter.h"
#include "Failure.h"

std::vector<AppBarClass*> AppBars;
int16_t AppBarCount = 0;
WNDPROC OldWndProc = nullptr;

std::function<UINT_PTR(DWORD msg, APPBARDATA& data)> AppBarMessageFn = [](DWORD msg, APPBARDATA& data) {
  return SHAppBarMessage(msg, &data);
};

LRESULT CALLBACK AppBarWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  ui::StallScope timed(hwnd, msg, wp);
  const LRESULT result = OldWndProc ? CallWindowProcA(OldWndProc, hwnd, msg, wp, lp) : DefWindowProcA(hwnd, msg, wp, lp);
  for (AppBarClass* bar : AppBars)
    if (bar && bar->InfoBarFrmData().hWnd == hwnd) {
      ui::Guarded([&] { bar->WindowProc(hwnd, msg, wp, lp); }, "the application bar's handler failed");
      break;
    }
  return result;
}

void ResetAppBarState() {
  AppBars.clear();
  AppBarCount = 0;
  OldWndProc = nullptr;
}
