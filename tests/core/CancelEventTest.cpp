#include <gtest/gtest.h>

#include "CancelEvent.h"
#include "ModMain.h"
#include "Seams.h"
#include "UiWait.h"
#include "ProgramState.h"

using testsupport::PumpUntil;
using testsupport::WindowText;

namespace {

class CancelEventTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(CancelEvent.Load());
    CancelFlag = false;
  }
  void TearDown() override {
    CancelEvent.Hide();
    ResetProgramState();
  }
};

TEST_F(CancelEventTest, LongCaptionsAreCutTo98CharactersAndAnEllipsis) {
  struct Case {
    size_t length;
    bool cut;
  } cases[] = {{0, false}, {1, false}, {101, false}, {102, false}, {103, true}, {150, true}, {2000, true}};
  for (const Case& c : cases) {
    std::string text;
    for (size_t i = 0; i < c.length; ++i) text += static_cast<char>('a' + i % 26);
    CancelEvent.lblCancel.SetText(text);
    std::string shown = WindowText(CancelEvent.lblCancel.hwnd());
    if (c.cut) {
      EXPECT_EQ(shown, text.substr(0, 98) + " ...") << c.length;
      EXPECT_EQ(shown.size(), 102u);
    } else {
      EXPECT_EQ(shown, text) << c.length;
    }
  }
}

TEST_F(CancelEventTest, RefusesToClose) {
  CancelEvent.Show();
  SendMessageA(CancelEvent.hwnd(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(CancelEvent.hwnd()));
  SendMessageA(CancelEvent.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(IsWindow(CancelEvent.hwnd()));
  EXPECT_FALSE(CancelEvent.Unload());
  EXPECT_TRUE(CancelEvent.Loaded());
}

TEST_F(CancelEventTest, CancelButtonSetsTheFlagAndHidesTheWindow) {
  CancelEvent.Show();
  ASSERT_TRUE(IsWindowVisible(CancelEvent.hwnd()));
  SendMessageA(CancelEvent.btnCancel.hwnd(), BM_CLICK, 0, 0);
  EXPECT_TRUE(CancelFlag);
  EXPECT_FALSE(IsWindowVisible(CancelEvent.hwnd()));
  ui::DoEvents();
  EXPECT_TRUE(CancelFlag);  // stays set until the running operation clears it
}

TEST_F(CancelEventTest, StaysOnTopWhenAnotherWindowIsActivated) {
  CancelEvent.Show();
  EXPECT_TRUE(GetWindowLongA(CancelEvent.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  HWND other = CreateWindowExA(0, "STATIC", "other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200,
                               100, nullptr, nullptr, nullptr, nullptr);
  SetForegroundWindow(other);
  SetActiveWindow(other);
  ASSERT_TRUE(testsupport::PumpUntilForeground(other));
  testsupport::PumpUntilIdle();
  EXPECT_TRUE(GetWindowLongA(CancelEvent.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_TRUE(IsWindowVisible(CancelEvent.hwnd()));
  // Above the other window in the z-order.
  bool above = false;
  for (HWND h = GetWindow(other, GW_HWNDPREV); h; h = GetWindow(h, GW_HWNDPREV))
    if (h == CancelEvent.hwnd()) above = true;
  EXPECT_TRUE(above);
  DestroyWindow(other);
}

TEST_F(CancelEventTest, SessionEndStartsTheExitOnce) {
  int ends = 0;
  seams::EndProcessFn = [&](UINT) { ++ends; };
  LRESULT allowed = SendMessageA(CancelEvent.hwnd(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
  EXPECT_TRUE(allowed);
  EXPECT_EQ(ends, 1);
  EXPECT_TRUE(SessionEnding);
  EXPECT_TRUE(IsExiting);
  SendMessageA(CancelEvent.hwnd(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
  EXPECT_EQ(ends, 1);  // the exit already running is not started again
  EXPECT_TRUE(IsWindow(CancelEvent.hwnd()));
}

TEST_F(CancelEventTest, AnExitAlreadyRunningIsNotMarkedAsASessionEnd) {
  int ends = 0;
  seams::EndProcessFn = [&](UINT) { ++ends; };
  IsExiting = true;
  SendMessageA(CancelEvent.hwnd(), WM_QUERYENDSESSION, 0, 0);
  EXPECT_EQ(ends, 0);
  EXPECT_FALSE(SessionEnding);
}

TEST_F(CancelEventTest, BackgroundIsAGradientFromLightGrey) {
  CancelEvent.Show();
  HDC dc = GetDC(CancelEvent.hwnd());
  RECT client;
  GetClientRect(CancelEvent.hwnd(), &client);
  SendMessageA(CancelEvent.hwnd(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  // 256 bands share the client height, so the top row shows one of the first few.
  COLORREF top = GetPixel(dc, client.right - 2, 0);
  EXPECT_GE(GetRValue(top), 245);
  EXPECT_LE(GetRValue(top), 247);
  EXPECT_EQ(GetRValue(top), GetBValue(top));
  EXPECT_EQ(GetPixel(dc, client.right - 2, client.bottom - 1), RGB(255, 255, 255));
  ReleaseDC(CancelEvent.hwnd(), dc);
}

}  // namespace
