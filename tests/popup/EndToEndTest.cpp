// The blocker whole: the built hook in a fixture browser, real input, the scan and
// the program's notice (which keeps white windows and closes and counts the others).
#include <windows.h>

#include <gtest/gtest.h>

#include "Input.h"
#include "LoopSeams.h"
#include "ModMainLoop.h"
#include "ModMainPlatform.h"
#include "ModPop.h"
#include "ModPopHook.h"
#include "ModProgInfo.h"
#include "ModSettings.h"
#include "PopSupport.h"
#include "PopUpDetectorScrFrm.h"
#include "Seams.h"
#include "UiWait.h"
#include "ViewBindings.h"

using namespace poptest;

namespace {

const UINT kUnrequested = WM_APP + 10;

class PopBlockEndToEnd : public PopTest {
 protected:
  void SetUp() override {
    PopTest::SetUp();
    // The hook writes real ticks; the program's notice takes the pop-ups.
    seams::TickCountFn = [] { return GetTickCount(); };
    Views.popUpNotice.ShowPop = noticeShowPop;
    ASSERT_TRUE(Views.popUpNotice.ShowPop);
    MoskinLibraryName = "Moskin.dll";
    browser = StartBrowser("qpbrowser.exe").hwnd();
    WatchBrowser(folder->PathOf("qpbrowser.exe"));
    // These tests look at what the scan decides: a pop-up is closed and counted at
    // once, as its browser's entry can ask, instead of being held under the notice.
    Browsers[0].HidePop = 0;
    SaveSetting(ProgramTitle, "General", "MsgID-1", "False");
    InstallPopUpHook();
    SetHandOver("NewWin", "0");
  }
  void TearDown() override {
    RemovePopUpHook();
    PopUpDetectorScrFrm.ResetRunState();
    PopTest::TearDown();
  }
  // Waits for the window to be shown and reported, then scans as the loop would.
  HWND AwaitAndScan(const char* title) {
    HWND window = nullptr;
    testsupport::PumpUntil([&] {
      window = FindWindowA(nullptr, title);
      return window && IsWindowVisible(window) && HandOver("NewWin") == "1";
    });
    EXPECT_TRUE(window) << title;
    ScanPopUps();
    return window;
  }
  // Still there after the notice had time to close it.
  bool Stays(HWND window) {
    testsupport::PumpUntil([&] { return !IsWindow(window); }, 700);
    return IsWindow(window) != FALSE;
  }
  void ClickPage() {
    SetForegroundWindow(browser);
    testsupport::ClickAt(FindWindowExA(browser, nullptr, "Internet Explorer_Server", nullptr), 20, 20);
  }

  HWND browser = nullptr;
};

}  // namespace

TEST_F(PopBlockEndToEnd, AWindowOpenedFromTheMenuStays) {
  ClickBrowserMenuOpen(browser);
  HWND opened = AwaitAndScan("Fixture new 1");
  EXPECT_TRUE(Stays(opened));
  EXPECT_EQ(TotalBlockCnt, 0);
}

TEST_F(PopBlockEndToEnd, APageClickOpensInIntelligentModeOnly) {
  BlockMode = 1;
  ClickPage();
  HWND intelligent = AwaitAndScan("Fixture new 1");
  EXPECT_TRUE(Stays(intelligent));
  BlockMode = 0;
  SetHandOver("NewWin", "0");
  ClickPage();
  HWND aggressive = AwaitAndScan("Fixture new 2");
  EXPECT_FALSE(Stays(aggressive));
  EXPECT_EQ(TotalBlockCnt, 1);
}

TEST_F(PopBlockEndToEnd, AnUnrequestedWindowIsClosedAndCountedAWhiteOneStays) {
  SendMessageA(browser, kUnrequested, 0, 0);
  HWND pop = AwaitAndScan("Fixture pop");
  EXPECT_FALSE(Stays(pop));
  EXPECT_EQ(TotalBlockCnt, 1);
  EXPECT_EQ(testsupport::Option("PopUp", "TotalBlockCnt"), "1");

  WhiteLst_Total = 1;
  WhiteLst[0] = {1, "Fixture pop", 1};
  SetHandOver("NewWin", "0");
  SendMessageA(browser, kUnrequested, 0, 0);
  HWND white = AwaitAndScan("Fixture pop");
  EXPECT_TRUE(Stays(white));
  EXPECT_EQ(TotalBlockCnt, 1);
}

TEST_F(PopBlockEndToEnd, TheHooksMessageAloneWakesTheWaitingLoopIntoAScan) {
  const PopOnlyLoop loop(true);
  // The clock stands still: no task of the loop falls due while it waits.
  seams::TickCountFn = [this] { return now; };
  MainLoopPass(false);
  MainLoopPass(false);
  ASSERT_GE(NextTaskDelay(), 700u);
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
  SetHandOver("NewWin", "0");
  PostMessageA(browser, kUnrequested, 0, 0);
  const DWORD start = GetTickCount();
  MainLoopPass(true);
  EXPECT_LT(GetTickCount() - start, 600u);
  // That pass scanned: the pop-up is closed and counted.
  EXPECT_EQ(TotalBlockCnt, 1);
  EXPECT_EQ(HandOver("NewWin"), "0");
}
