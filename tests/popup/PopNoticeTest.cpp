// The pop-up notice against real pop-ups of a fixture browser: real input through
// SendInput, a movable tick, and seams for the screen's metrics, the sound and the
// one-time explanation.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "AddBrowserFrm.h"
#include "AddWhiteFrm.h"
#include "GdiObjects.h"
#include "Input.h"
#include "LoopSeams.h"
#include "ModGetURL.h"
#include "ModMainPlatform.h"
#include "ModMainLoop.h"
#include "ModPop.h"
#include "ModPopHook.h"
#include "ModSettings.h"
#include "ModWndOpr.h"
#include "PopSupport.h"
#include "PopUpDetectorScrFrm.h"
#include "Seams.h"
#include "UiWait.h"
#include "ViewBindings.h"

using namespace poptest;

namespace {

const UINT kUnrequested = WM_APP + 10;
const UINT kDestroy = WM_APP + 16;
const UINT kStopAnswering = WM_APP + 19;
PopUpDetectorScrFrmForm& Notice = PopUpDetectorScrFrm;

BOOL CALLBACK CountChild(HWND, LPARAM count) {
  ++*reinterpret_cast<int*>(count);
  return TRUE;
}
BOOL CALLBACK CountTopLevel(HWND window, LPARAM count) {
  ++*reinterpret_cast<int*>(count);
  EnumChildWindows(window, CountChild, count);
  return TRUE;
}
// The windows of this thread and their children: what a leak of USER objects grows.
int LiveWindows() {
  int count = 0;
  EnumThreadWindows(GetCurrentThreadId(), CountTopLevel, reinterpret_cast<LPARAM>(&count));
  return count;
}

RECT WindowRect(HWND window) {
  RECT r = {};
  GetWindowRect(window, &r);
  return r;
}

enum class Pop { Hidden, Open, Closed };

class PopNotice : public PopTest {
 protected:
  void SetUp() override {
    PopTest::SetUp();
    Views.popUpNotice.ShowPop = noticeShowPop;
    seams::KeepShellQuiet();
    seams::TickCountFn = [this] { return now; };
    loopseams::PlaySoundFn = [this](const std::string& path) { sounds.push_back(path); };
    noticeseams::ShowFirstTimeFn = [this](int16_t id, ui::Window*) {
      explanations.push_back(id);
      return false;
    };
    PopPlaySnd = 1;
    PopPlaySndFile = "C:\\notice.wav";
    browser = StartBrowser("qpbrowser.exe").hwnd();
    WatchBrowser(folder->PathOf("qpbrowser.exe"));
    Notice.Load();
    Notice.ResetRunState();
    ParkCursor();
  }
  void TearDown() override {
    if (GetCapture()) ReleaseCapture();
    Notice.ResetRunState();
    AddWhiteFrm.Hide();
    AddBrowserFrm.Hide();
    noticeseams::Reset();
    loopseams::Reset();
    PopPlaySnd = 0;
    PopPlaySndFile.clear();
    DeleteSetting(ProgramTitle, "PopUp", "PopScreen");
    PopTest::TearDown();
    Notice.ResetRunState();
  }

  HWND NewPop(WPARAM white = 0) {
    HWND pop = reinterpret_cast<HWND>(SendMessageA(browser, kUnrequested, white, 0));
    EXPECT_TRUE(pop);
    return pop;
  }
  // A pop-up whose address bar already shows its real address.
  HWND NewPopWithAddress() {
    HWND pop = NewPop();
    testsupport::PumpUntil([&] { return ReadWindowAddress(pop) == "http://ads.example/pop"; }, 2000);
    return pop;
  }
  void Announce(HWND pop, int16_t browserIdx = 0, int16_t webDialog = 0) {
    Notice.ShowPop(webDialog ? "" : GetWndTitle(pop), browserIdx, pop, 0, 0, webDialog);
  }
  void Tick(DWORD advance = 40) {
    now += advance;
    Notice.Timer1_Timer();
  }
  // Ticks until the slide is over and the notice has its resting height.
  void SlideIn() {
    for (int i = 0; i < 12 && Notice.HeightTwips() < Notice.BasicHeight(); ++i) Tick();
    Tick();
  }
  void ParkCursor() {
    testsupport::MoveMouseTo(GetDesktopWindow(), 3, 3);
    testsupport::PumpUntil([] {
      POINT p;
      return GetCursorPos(&p) && p.x < 20 && p.y < 20;
    }, 1000);
  }
  void CursorTo(HWND window, int x, int y) {
    testsupport::MoveMouseTo(window, x, y);
    POINT want = {x, y};
    ClientToScreen(window, &want);
    testsupport::PumpUntil([&] {
      POINT p;
      return GetCursorPos(&p) && p.x == want.x && p.y == want.y;
    }, 1000);
    testsupport::PumpUntilIdle();
  }
  static Pop StateOf(HWND pop) {
    if (!IsWindow(pop)) return Pop::Closed;
    return IsWindowVisible(pop) ? Pop::Open : Pop::Hidden;
  }
  static Pop SettledState(HWND pop, Pop expected) {
    testsupport::PumpUntil([&] { return StateOf(pop) == expected; }, 1500);
    return StateOf(pop);
  }
  void ClickBar(ui::ButtonBar& bar, int index) {
    const POINT c = testsupport::Centre(bar.ButtonRect(index));
    testsupport::ClickAt(bar.hwnd(), c.x, c.y);
    testsupport::PumpUntilIdle();
  }

  HWND browser = nullptr;
  std::vector<std::string> sounds;
  std::vector<int16_t> explanations;
};

}  // namespace

// What the browser's entry and the white lists make of a pop-up.
TEST_F(PopNotice, EntryFlagsAndWhiteListsDecideNoticeSoundAndPopUp) {
  enum White { None, Title, Address, ExistingFile };
  struct Case {
    int16_t popDisNotf, hidePop;
    White white;
    bool notice, sound;
    Pop pop;
    int recorded;
  } cases[] = {
      {1, 1, None, true, true, Pop::Hidden, 0},  {1, 0, None, true, true, Pop::Closed, 1},
      {0, 1, None, false, true, Pop::Closed, 1}, {0, 0, None, false, true, Pop::Closed, 1},
      {1, 1, Title, false, false, Pop::Open, 0}, {0, 0, Title, false, false, Pop::Open, 0},
      {1, 1, Address, false, false, Pop::Open, 0}, {0, 1, ExistingFile, false, false, Pop::Open, 0},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "case " << n++);
    Notice.ResetRunState();
    sounds.clear();
    TotalBlockCnt = 0;
    Browsers[0].PopDisNotf = c.popDisNotf;
    Browsers[0].HidePop = c.hidePop;
    WhiteLst_Total = 0;
    HWND pop = NewPopWithAddress();
    if (c.white == Title) WhiteLst[WhiteLst_Total++] = {1, "Fixture pop", 1};  // the whole title, exact
    if (c.white == Address) WhiteLst[WhiteLst_Total++] = {0, "ads.example", 0};
    if (c.white == ExistingFile)
      SetWindowTextA(GetWindow(pop, GW_CHILD), folder->PathOf("qpbrowser.exe").c_str());
    Announce(pop);
    EXPECT_EQ(Notice.Visible(), c.notice);
    EXPECT_EQ(sounds, c.sound ? std::vector<std::string>{"C:\\notice.wav"} : std::vector<std::string>{});
    EXPECT_EQ(SettledState(pop, c.pop), c.pop);
    EXPECT_EQ(TotalBlockCnt, c.recorded);
    // With the pop-up closed at once the notice shows no buttons to act on it.
    if (c.notice) {
      EXPECT_EQ(IsWindowVisible(Notice.asxToolbar1.hwnd()) != FALSE, c.hidePop != 0);
    }
  }
}

TEST_F(PopNotice, SlidesUpInEighthsFromAThinLineThenRestsAtItsFinalPlace) {
  HWND pop = NewPop();
  Announce(pop);
  const int32_t basic = Notice.BasicHeight();
  ASSERT_GT(basic, 0);
  const int32_t bottom = Notice.TopTwips() + Notice.HeightTwips();
  EXPECT_EQ(Notice.HeightTwips(), 10);
  EXPECT_EQ(bottom, Notice.BottomLine() - Notice.FullHeight() + basic - 100 + 10);
  std::vector<int32_t> heights;
  for (int i = 0; i < 20 && Notice.HeightTwips() < basic; ++i) {
    Tick();
    heights.push_back(Notice.HeightTwips());
    EXPECT_EQ(Notice.TopTwips() + Notice.HeightTwips(), bottom) << "the lower edge stays while sliding";
    const RECT r = WindowRect(Notice.hwnd());
    EXPECT_EQ(r.bottom - r.top, Notice.HeightTwips() / vb::TwipsPerPixelY());
  }
  ASSERT_EQ(heights.size(), 8u) << "eight ticks slide it in";
  for (size_t i = 0; i < heights.size(); ++i) EXPECT_EQ(heights[i], 10 + static_cast<int32_t>(i + 1) * (basic / 8));
  Tick();
  EXPECT_EQ(Notice.TopTwips(), Notice.FinalTop());
  EXPECT_EQ(Notice.HeightTwips(), basic) << "compact, with the cursor away";
  EXPECT_EQ(Notice.FinalTop(), Notice.BottomLine() - Notice.FullHeight());
  EXPECT_EQ(explanations, std::vector<int16_t>{1});
}

TEST_F(PopNotice, CursorOnTheNoticeKeepsItAwayItClosesAtTheFirstTickAfterFiveSeconds) {
  HWND pop = NewPop();
  const DWORD shown = now;
  Announce(pop);
  SlideIn();
  CursorTo(Notice.hwnd(), 10, 10);
  now = shown + 60000;
  Tick();
  EXPECT_TRUE(Notice.Visible());
  EXPECT_EQ(StateOf(pop), Pop::Hidden);

  ParkCursor();
  Notice.ResetRunState();  // records the first
  TotalBlockCnt = 0;
  HWND second = NewPop();
  const DWORD start = now;
  Announce(second);
  SlideIn();
  now = start + 4999 - 40;
  Tick();
  EXPECT_TRUE(Notice.Visible());
  EXPECT_EQ(TotalBlockCnt, 0);
  Tick(1);
  EXPECT_FALSE(Notice.Visible());
  EXPECT_EQ(TotalBlockCnt, 1);
  EXPECT_EQ(SettledState(second, Pop::Closed), Pop::Closed);
}

TEST_F(PopNotice, PeekShowsTheHeldPopUpAndTheNextTickAwayHidesIt) {
  SaveSetting(ProgramTitle, "PopUp", "PopScreen", "0");
  Notice.ResetRunState();
  HWND pop = NewPop();
  Announce(pop);
  SlideIn();
  ASSERT_EQ(StateOf(pop), Pop::Hidden);
  const RECT strip = WindowRect(Notice.Picture1.hwnd());
  CursorTo(Notice.Picture1.hwnd(), 4, (strip.bottom - strip.top) / 2);
  EXPECT_TRUE(Notice.PeekShown());
  EXPECT_TRUE(SkipNextScan) << "the scan ignores the activation the peek causes";
  EXPECT_EQ(SettledState(pop, Pop::Open), Pop::Open);
  Tick();
  EXPECT_EQ(StateOf(pop), Pop::Open) << "still on the strip";
  CursorTo(Notice.InfoPic.hwnd(), 10, 5);
  Tick();
  EXPECT_FALSE(Notice.PeekShown());
  EXPECT_EQ(SettledState(pop, Pop::Hidden), Pop::Hidden);
  EXPECT_TRUE(Notice.Visible());

  // Its browser shows the held pop-up again, with no peek: the next tick hides it again.
  ShowWindow(pop, SW_SHOWNOACTIVATE);
  ASSERT_EQ(SettledState(pop, Pop::Open), Pop::Open);
  // Past any hide still on its way from the peek's end: the pop-up stays shown until a tick.
  PumpUntilDelivered(pop);
  ASSERT_EQ(StateOf(pop), Pop::Open);
  Tick();
  EXPECT_EQ(SettledState(pop, Pop::Hidden), Pop::Hidden);
  EXPECT_TRUE(Notice.Visible());
}

TEST_F(PopNotice, ShowWhiteAndCloseButtonsLetThePopUpGo) {
  SaveSetting(ProgramTitle, "PopUp", "PopScreen", "0");
  struct Case {
    const char* key;
    Pop pop;
    int recorded;
    bool whiteDialog;
  } cases[] = {{"Show", Pop::Open, 0, false}, {"White", Pop::Open, 0, true}, {"Close", Pop::Closed, 1, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    Notice.ResetRunState();
    AddWhiteFrm.Hide();
    TotalBlockCnt = 0;
    HWND pop = NewPopWithAddress();
    Announce(pop);
    SlideIn();
    ClickBar(Notice.asxToolbar1, Notice.asxToolbar1.IndexOf(c.key));
    EXPECT_FALSE(Notice.Visible());
    EXPECT_EQ(Notice.PopHwnd(), nullptr);
    EXPECT_EQ(SettledState(pop, c.pop), c.pop);
    EXPECT_EQ(TotalBlockCnt, c.recorded);
    EXPECT_EQ(AddWhiteFrm.Visible(), c.whiteDialog);
  }
  EXPECT_EQ(Notice.asxToolbar1.ToolTip("White"), "Show pop-up window and add it to white list");
}

TEST_F(PopNotice, ASecondPopUpRecordsTheFirstAndTakesTheNoticeAtItsFinalPlace) {
  HWND first = NewPop();
  Announce(first);
  Tick();
  HWND second = NewPop();
  Announce(second);
  EXPECT_EQ(TotalBlockCnt, 1);
  EXPECT_EQ(SettledState(first, Pop::Closed), Pop::Closed);
  EXPECT_EQ(Notice.PopHwnd(), second);
  EXPECT_EQ(Notice.TopTwips(), Notice.FinalTop());
  EXPECT_EQ(Notice.HeightTwips(), Notice.BasicHeight());
  EXPECT_EQ(SettledState(second, Pop::Hidden), Pop::Hidden);
}

TEST_F(PopNotice, AnAddressThatTurnsWhiteReleasesThePopUpAtTheNextTick) {
  WhiteLst_Total = 1;
  WhiteLst[0] = {0, "ads.example", 0};
  HWND pop = NewPop();
  Announce(pop);  // still "about:blank"
  ASSERT_TRUE(Notice.Visible());
  EXPECT_EQ(Notice.URLLbl.Text(), " about:blank");
  testsupport::PumpUntil([&] { return ReadWindowAddress(pop) == "http://ads.example/pop"; }, 2000);
  Tick();
  EXPECT_FALSE(Notice.Visible());
  EXPECT_EQ(SettledState(pop, Pop::Open), Pop::Open);
  EXPECT_EQ(TotalBlockCnt, 0);
}

TEST_F(PopNotice, CompactWhenTheSettingIsMissingMinimizeSwitchesToFullAndBack) {
  HWND pop = NewPopWithAddress();
  Announce(pop);
  SlideIn();
  EXPECT_TRUE(Notice.Compact());
  EXPECT_TRUE(Notice.asxToolbarClose.Value("Minimize"));
  EXPECT_FALSE(IsWindowVisible(Notice.TopImg.hwnd()));
  EXPECT_EQ(Notice.WnNameLbl.Text(), " Fixture pop");
  EXPECT_EQ(Notice.URLLbl.Text(), " http://ads.example/pop");
  // Compact: the whole notice only while the cursor is on it.
  EXPECT_EQ(Notice.HeightTwips(), Notice.BasicHeight());
  CursorTo(Notice.hwnd(), 10, 10);
  Tick();
  EXPECT_EQ(Notice.HeightTwips(), Notice.FullHeight());
  ParkCursor();
  Tick();
  EXPECT_EQ(Notice.HeightTwips(), Notice.BasicHeight());

  ClickBar(Notice.asxToolbarClose, 2);
  EXPECT_EQ(GetSetting(ProgramTitle, "PopUp", "PopScreen"), "0");
  EXPECT_FALSE(Notice.Compact());
  EXPECT_FALSE(Notice.asxToolbarClose.Value("Minimize"));
  EXPECT_TRUE(IsWindowVisible(Notice.TopImg.hwnd()));
  EXPECT_TRUE(Notice.TopImg.Picture()) << "the banner the build puts beside the program";
  EXPECT_TRUE(IsWindowVisible(Notice.Label2_0.hwnd()));
  EXPECT_EQ(Notice.WnNameLbl.Text(), "Window Name:        Fixture pop");
  EXPECT_EQ(Notice.URLLbl.Text(), "URL:      http://ads.example/pop");
  Tick();
  EXPECT_EQ(Notice.HeightTwips(), Notice.FullHeight()) << "full: whole with the cursor away";

  ClickBar(Notice.asxToolbarClose, 2);
  EXPECT_EQ(GetSetting(ProgramTitle, "PopUp", "PopScreen"), "1");
  EXPECT_TRUE(Notice.Compact());
  EXPECT_EQ(Notice.WnNameLbl.Text(), " Fixture pop");
}

TEST_F(PopNotice, ADraggedNoticeAndTheNextOneStayWhereItWasDropped) {
  SaveSetting(ProgramTitle, "PopUp", "PopScreen", "0");
  Notice.ResetRunState();
  Announce(NewPop());
  SlideIn();
  const RECT before = WindowRect(Notice.hwnd());
  const RECT label = WindowRect(Notice.ScreenLabel.hwnd());
  const POINT grip = {(label.right - label.left) / 2, (label.bottom - label.top) / 2};
  const POINT from = {label.left + grip.x, label.top + grip.y};
  testsupport::DragMouse(from, {from.x - 120, from.y - 100});
  const RECT after = WindowRect(Notice.hwnd());
  POINT cursor;
  GetCursorPos(&cursor);
  const POINT moved = {cursor.x - from.x, cursor.y - from.y};
  ASSERT_EQ(moved.y, -100) << "the cursor moved";
  ASSERT_EQ(moved.x, -120);
  EXPECT_EQ(after.left - before.left, moved.x);
  EXPECT_EQ(after.top - before.top, moved.y);
  EXPECT_EQ(Notice.FinalTop(), Notice.TopTwips());
  EXPECT_EQ(Notice.BottomLine(), Notice.TopTwips() + Notice.FullHeight());

  ParkCursor();
  Notice.CloseDetector(false, false);
  Announce(NewPop());
  SlideIn();
  const RECT next = WindowRect(Notice.hwnd());
  EXPECT_EQ(next.left, after.left);
  EXPECT_EQ(next.top, after.top);
}

TEST_F(PopNotice, ASystemCloseCountsAsCloseWhileShownAndUnloadsWhenHidden) {
  HWND pop = NewPop();
  Announce(pop);
  SendMessageA(Notice.hwnd(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(Notice.Loaded());
  EXPECT_FALSE(Notice.Visible());
  EXPECT_EQ(TotalBlockCnt, 1);
  EXPECT_EQ(SettledState(pop, Pop::Closed), Pop::Closed);
  SendMessageA(Notice.hwnd(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(Notice.Loaded());
  // The next pop-up loads it again.
  Announce(NewPop());
  EXPECT_TRUE(Notice.Visible());
}

TEST_F(PopNotice, TheExplanationIsOfferedOncePerRunAndDelaysTheAutoClose) {
  noticeseams::ShowFirstTimeFn = [this](int16_t id, ui::Window*) {
    explanations.push_back(id);
    return true;
  };
  Announce(NewPop());
  SlideIn();
  const DWORD explained = now;
  ASSERT_EQ(explanations, std::vector<int16_t>{1});
  now = explained + 5999 - 40;
  Tick();
  EXPECT_TRUE(Notice.Visible()) << "a second more after the explanation";
  Tick(1);
  EXPECT_FALSE(Notice.Visible());
  Announce(NewPop());
  SlideIn();
  EXPECT_EQ(explanations, std::vector<int16_t>{1});

  // The real explanation, switched off by the user, shows nothing and keeps no one waiting.
  noticeseams::Reset();
  Notice.ResetRunState();
  SaveSetting(ProgramTitle, "General", "MsgID-1", "False");
  Announce(NewPop());
  SlideIn();
  EXPECT_TRUE(Notice.Visible());
}

// The notice's lower edge sits 100 twips above the foot of the maximized area, kept
// in 32 bits, and never below the screen's foot.
TEST_F(PopNotice, TheNoticeRestsAtTheFootOfTallAndOfOverhangingScreens) {
  SaveSetting(ProgramTitle, "PopUp", "PopScreen", "0");
  struct Case {
    int maxWide, maxTall, screenWide, screenTall;
    int32_t bottomLine;  // twips
    int bottom, right;   // pixels
  } cases[] = {
      {1600, 2400, 1600, 2400, 35900, 2393, 1573},  // past 32767 twips
      {1032, 806, 1024, 768, 11420, 761, 997},      // a maximized frame hanging over the edges
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.maxTall);
    noticeseams::SystemMetricFn = [c](int index) {
      switch (index) {
        case SM_CXMAXIMIZED: return c.maxWide;
        case SM_CYMAXIMIZED: return c.maxTall;
        case SM_CXSCREEN: return c.screenWide;
        case SM_CYSCREEN: return c.screenTall;
        default: return GetSystemMetrics(index);
      }
    };
    Notice.ResetRunState();
    EXPECT_EQ(Notice.BottomLine(), c.bottomLine);
    Announce(NewPop());
    SlideIn();
    const RECT r = WindowRect(Notice.hwnd());
    EXPECT_EQ(r.top, Notice.FinalTop() / vb::TwipsPerPixelY());
    EXPECT_NEAR(r.bottom, c.bottom, 1);
    EXPECT_NEAR(r.right, c.right, 1);
  }
}

TEST_F(PopNotice, AHungPopUpNeverHoldsTheProgram) {
  HWND pop = NewPopWithAddress();
  PostMessageA(browser, kStopAnswering, 0, 0);
  ASSERT_TRUE(PumpUntilHung(browser)) << "the browser still answers";
  auto quick = [](const std::function<void()>& work) {
    const DWORD start = GetTickCount();
    work();
    return GetTickCount() - start;
  };
  EXPECT_LT(quick([&] { Announce(pop); }), 400u);
  EXPECT_TRUE(Notice.Visible());
  for (int i = 0; i < 3; ++i) EXPECT_LT(quick([&] { Tick(); }), 300u);
  EXPECT_LT(quick([&] { Notice.asxToolbar1_ButtonClick(1); }), 400u) << "Show";
  EXPECT_EQ(TotalBlockCnt, 0);
  EXPECT_LT(quick([&] { Notice.ShowPop("Fixture pop", 0, pop, 0, 0, 0); }), 400u);
  EXPECT_LT(quick([&] { Notice.asxToolbar1_ButtonClick(3); }), 400u) << "Close";
  EXPECT_EQ(TotalBlockCnt, 1);
}

TEST_F(PopNotice, AClosedPopUpKeepsItsLastTitleAndIsRecordedUnderIt) {
  HWND pop = NewPop();
  Announce(pop);
  SendMessageA(browser, kDestroy, reinterpret_cast<WPARAM>(pop), 0);
  ASSERT_FALSE(IsWindow(pop));
  Tick();
  EXPECT_EQ(Notice.PopTitle(), "Fixture pop");
  EXPECT_EQ(Notice.WnNameLbl.Text(), " Fixture pop");
  now += 6000;
  Tick();
  EXPECT_FALSE(Notice.Visible());
  EXPECT_EQ(TotalBlockCnt, 1);
}

TEST_F(PopNotice, AHandleWithItsTopBitSetIsStillReleased) {
  const HWND odd = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(0x80001234u));
  Notice.ShowPop("odd", 0, odd, 0, 0, 0);
  ASSERT_EQ(Notice.PopHwnd(), odd);
  Announce(NewPop());
  EXPECT_EQ(TotalBlockCnt, 1) << "the first was recorded when the second came";
}

// An entry outside the list (none at all under a web page dialog's notice, or one
// removed meanwhile) is never read: both flags count as set, and "Browser settings"
// opens the dialog to add a browser.
TEST_F(PopNotice, ABrowserIndexOutsideTheListCountsAsDefaultsAndSettingsAdd) {
  Browsers[3].PopDisNotf = 0;  // stale contents beyond the total
  Browsers[3].HidePop = 0;
  HWND pop = NewPop();
  Announce(pop, 3);
  EXPECT_TRUE(Notice.Visible());
  EXPECT_EQ(SettledState(pop, Pop::Hidden), Pop::Hidden);
  Notice.mnuSettingsItems0->Click();
  EXPECT_TRUE(AddBrowserFrm.Visible());
  EXPECT_EQ(AddBrowserFrm.Caption(), "Add Browser");
  AddBrowserFrm.Hide();

  Announce(NewPop(), 0, -1);  // a web page dialog's notice
  Notice.mnuSettingsItems0->Click();
  EXPECT_EQ(AddBrowserFrm.Caption(), "Add Browser") << "a web page dialog";
  AddBrowserFrm.Hide();
  BrowsersLst_Total = 0;
  Announce(NewPop(), 0);
  Notice.mnuSettingsItems0->Click();
  EXPECT_EQ(AddBrowserFrm.Caption(), "Add Browser") << "an empty list";
  AddBrowserFrm.Hide();
  WatchBrowser(folder->PathOf("qpbrowser.exe"));
  Announce(NewPop(), 0);
  Notice.mnuSettingsItems0->Click();
  EXPECT_EQ(AddBrowserFrm.Caption(), "Modify Browser") << "a listed browser";
}

// The loop ticks a shown notice at the notice's own pace, whether or not the scans run.
TEST_F(PopNotice, TheLoopTicksANoticeWhileBlockingIsOffAndTheExitReleasesItsPopUp) {
  const PopOnlyLoop loop(false);
  HWND pop = NewPop();
  Announce(pop);
  EXPECT_LE(NextTaskDelay(), kNoticeTickMs) << "the loop wakes for the notice";
  MainLoopPass(false);
  const int32_t afterOne = Notice.HeightTwips();
  EXPECT_GT(afterOne, 10);
  MainLoopPass(false);
  EXPECT_EQ(Notice.HeightTwips(), afterOne) << "no second tick within the period";
  for (int i = 0; i < 200 && Notice.Visible(); ++i) {
    now += kNoticeTickMs;
    MainLoopPass(false);
  }
  EXPECT_FALSE(Notice.Visible());
  EXPECT_EQ(TotalBlockCnt, 1);
  EXPECT_EQ(SettledState(pop, Pop::Closed), Pop::Closed);
  EXPECT_EQ(NoticeTickDelay(now), INFINITE) << "a hidden notice wakes nothing";

  // The scan offers its tick too, once per period.
  BlockPopUps = true;
  Announce(NewPop());
  now += kNoticeTickMs;
  ScanPopUps();
  const int32_t scanned = Notice.HeightTwips();
  ScanPopUps();
  EXPECT_EQ(Notice.HeightTwips(), scanned);
  EXPECT_GT(scanned, 10);

  // At the end a held pop-up is recorded and closed, never left hidden.
  HWND held = NewPop();
  Announce(held);
  ReleasePopUpNotice();
  EXPECT_FALSE(Notice.Visible());
  EXPECT_EQ(SettledState(held, Pop::Closed), Pop::Closed);
}

TEST_F(PopNotice, AHundredNoticesLeaveGdiAndUserObjectsLevel) {
  PopPlaySnd = 0;
  auto round = [&] {
    HWND pop = NewPop();
    Announce(pop);
    SlideIn();
    now += 6000;
    Tick();
    SettledState(pop, Pop::Closed);
  };
  for (int i = 0; i < 5; ++i) round();
  const int gdi = testsupport::LiveGdiObjects(), user = LiveWindows();
  for (int i = 0; i < 100; ++i) round();
  EXPECT_LE(testsupport::LiveGdiObjects(), gdi + 3);
  EXPECT_EQ(LiveWindows(), user);
  EXPECT_EQ(TotalBlockCnt, 105);
}
