// The cost of the pop-up scan and of the hook; run by hand:
//   popup_bench.exe
// One scan with a new window reported over five windows of a fixture browser, one
// idle pass, and what the hook adds to each window shown and each mouse move in a
// browser.
#include <windows.h>

#include <cstdio>
#include <string>

#include "BenchClock.h"
#include "CancelEvent.h"
#include "Fixture.h"
#include "Input.h"
#include "ModPop.h"
#include "ModPopHook.h"
#include "ModProgInfo.h"
#include "ModSettings.h"
#include "ModMainPlatform.h"
#include "ModWndOpr.h"
#include "Registry.h"
#include "UiWait.h"

namespace {

const UINT kNewWindow = WM_APP + 15, kHiddenWindow = WM_APP + 17, kPageMoves = WM_APP + 20;

void Drain() {
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
}

void SetHandOver(const std::string& key, const std::string& value) {
  testsupport::SetRegText(HKEY_CURRENT_USER, "Software\\Quillon\\tmp", key, value);
}

// Milliseconds per show and hide of a window of the browser.
double ShowHideCycle(HWND window, int cycles) {
  const double start = testsupport::NowMs();
  for (int i = 0; i < cycles; ++i) {
    ShowWindow(window, SW_SHOWNOACTIVATE);
    ShowWindow(window, SW_HIDE);
    if (i % 50 == 0) Drain();
  }
  const double ms = (testsupport::NowMs() - start) / cycles;
  Drain();
  return ms;
}

// Milliseconds from a mouse move in the page until the page has seen it.
double MouseMove(HWND browser, HWND page, int moves) {
  const LRESULT before = SendMessageA(browser, kPageMoves, 0, 0);
  testsupport::MoveMouseTo(page, 20, 20);
  testsupport::PumpUntil([&] { return SendMessageA(browser, kPageMoves, 0, 0) != before; }, 2000);
  const double start = testsupport::NowMs();
  for (int i = 0; i < moves; ++i) {
    const LRESULT seen = SendMessageA(browser, kPageMoves, 0, 0);
    testsupport::MoveMouseTo(page, 20 + (i % 2), 20);
    for (int spin = 0; spin < 1000 && SendMessageA(browser, kPageMoves, 0, 0) == seen; ++spin) Sleep(0);
    if (i % 50 == 0) Drain();
  }
  const double ms = (testsupport::NowMs() - start) / moves;
  Drain();
  return ms;
}

}  // namespace

int main() {
  testsupport::FixtureFolder folder("popup_bench");
  testsupport::Fixture& browser = folder.Start("qpbrowser.exe", "browser");
  if (!browser.Started()) {
    std::printf("the fixture browser did not start\n");
    return 1;
  }
  for (int i = 0; i < 4; ++i) SendMessageA(browser.hwnd(), kNewWindow, 0, 0);
  BrowsersLst_Total = 1;
  Browsers[0].Path = folder.PathOf("qpbrowser.exe");
  Browsers[0].MenuName[0] = "Open in New Window";

  MoskinLibraryName = "NoSuchMoskin.dll";  // the bench writes the hook's values
  InstallPopUpHook();
  const int scans = 50;
  double start = testsupport::NowMs();
  for (int i = 0; i < scans; ++i) {
    SetHandOver("NewWin", "1");
    ScanPopUps();
  }
  const double full = (testsupport::NowMs() - start) / scans;
  start = testsupport::NowMs();
  for (int i = 0; i < scans; ++i) ScanPopUps();
  const double idle = (testsupport::NowMs() - start) / scans;
  std::printf("ScanPopUps, new window reported, 5 browser windows: %.2f ms\n", full);
  // Where a full pass goes.
  start = testsupport::NowMs();
  for (int i = 0; i < scans; ++i) GetWndInfo(kWndRebuildTable, "");
  std::printf("  window table rebuilt:           %.2f ms\n", (testsupport::NowMs() - start) / scans);
  start = testsupport::NowMs();
  for (int i = 0; i < scans; ++i) GetWndInfo(kWndFillCurWnd, WndHandleText(browser.hwnd()));
  std::printf("  one window's facts (CurWnd):    %.2f ms\n", (testsupport::NowMs() - start) / scans);
  start = testsupport::NowMs();
  for (int i = 0; i < scans; ++i) GetShortPath(Browsers[0].Path);
  std::printf("  one short path:                 %.3f ms\n", (testsupport::NowMs() - start) / scans);
  std::printf("ScanPopUps, idle pass:                          %.3f ms\n", idle);

  HWND shown = reinterpret_cast<HWND>(SendMessageA(browser.hwnd(), kHiddenWindow, 0, 0));
  HWND page = FindWindowExA(browser.hwnd(), nullptr, "Internet Explorer_Server", nullptr);
  const int cycles = 1000, moves = 300;
  const double showBare = ShowHideCycle(shown, cycles);
  const double moveBare = MouseMove(browser.hwnd(), page, moves);
  MoskinLibraryName = "Moskin.dll";
  CancelEvent.Load();
  InstallPopUpHook();
  const double showHooked = ShowHideCycle(shown, cycles);
  const double moveHooked = MouseMove(browser.hwnd(), page, moves);
  RemovePopUpHook();
  std::printf("show and hide of a browser window: %.3f ms bare, %.3f ms hooked (+%.3f ms)\n", showBare,
              showHooked, showHooked - showBare);
  std::printf("mouse move seen by the page:       %.3f ms bare, %.3f ms hooked (+%.3f ms)\n", moveBare, moveHooked,
              moveHooked - moveBare);
  testsupport::DeleteTree(HKEY_CURRENT_USER, "Software\\Quillon\\tmp");
  return 0;
}
