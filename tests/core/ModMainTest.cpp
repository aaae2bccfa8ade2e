#include <gtest/gtest.h>

#include <thread>

#include "ModMain.h"
#include "Seams.h"
#include "UiWait.h"
#include "ProgramState.h"

namespace {

class ModMainTest : public testing::Test {
 protected:
  void TearDown() override { ResetProgramState(); }
};

TEST_F(ModMainTest, GradientBandsGrowEveryChannelFromTheFirstColour) {
  struct Case {
    int from[3], to[3];
    int band;
    COLORREF expected;
  } cases[] = {
      {{0, 0, 0}, {255, 128, 0}, 0, RGB(0, 0, 0)},
      {{0, 0, 0}, {255, 128, 0}, 255, RGB(255, 128, 0)},
      {{0, 0, 0}, {255, 128, 0}, 100, RGB(100, 50, 0)},      // 50.196 rounds to 50
      {{245, 245, 245}, {200, 200, 200}, 0, RGB(245, 245, 245)},
      {{245, 245, 245}, {200, 200, 200}, 51, RGB(254, 254, 254)},
      {{245, 245, 245}, {200, 200, 200}, 255, RGB(255, 255, 255)},  // capped
      {{100, 0, 0}, {0, 0, 0}, 255, RGB(200, 0, 0)},             // distance, not direction
  };
  for (const Case& c : cases) {
    auto bands = GradientBands(c.from[0], c.from[1], c.from[2], c.to[0], c.to[1], c.to[2]);
    ASSERT_EQ(bands.size(), 256u);
    EXPECT_EQ(bands[c.band], c.expected) << "band " << c.band;
  }
}

TEST_F(ModMainTest, MessagesCarryTheProgramTitleAndLeaveTheAnswer) {
  std::string caption, text;
  UINT style = 0;
  seams::MessageBoxFn = [&](HWND, const std::string& t, const std::string& c, UINT s) {
    text = t;
    caption = c;
    style = s;
    return IDNO;
  };
  MsgText = "Are you still sure?";
  MsgStyle = 292;
  EXPECT_EQ(ShowMsg(), IDNO);
  EXPECT_EQ(MsgResponse, IDNO);
  EXPECT_EQ(caption, "Quillon Pro");
  EXPECT_EQ(text, "Are you still sure?");
  EXPECT_EQ(style, 292u);
}

// The real message box, answered the way a user would: by its No button.
TEST_F(ModMainTest, ARealMessageBoxCanBeReadAndAnswered) {
  std::string seen;
  std::thread answer([&] {
    for (int i = 0; i < 500; ++i) {
      HWND box = FindWindowA("#32770", "Quillon Pro");
      if (box) {
        char buf[256];
        GetDlgItemTextA(box, 0xFFFF, buf, sizeof buf);
        seen = buf;
        PostMessageA(box, WM_COMMAND, IDNO, 0);
        return;
      }
      Sleep(10);
    }
  });
  int answerGiven = MsgBox("Keep going?", MB_YESNO | MB_ICONQUESTION);
  answer.join();
  EXPECT_EQ(answerGiven, IDNO);
  EXPECT_EQ(seen, "Keep going?");
}

TEST_F(ModMainTest, OpenUrlRunsTheShellAtNormalPriorityThenReturnsToHigh) {
  DWORD classDuringCall = 0;
  seams::ShellRequest seen;
  seams::ShellExecuteFn = [&](const seams::ShellRequest& r) {
    classDuringCall = GetPriorityClass(GetCurrentProcess());
    seen = r;
    return false;  // a failing shell is not reported
  };
  OpenUrl("http://localhost/online_help.htm", SW_SHOWNORMAL);
  EXPECT_EQ(classDuringCall, static_cast<DWORD>(NORMAL_PRIORITY_CLASS));
  EXPECT_EQ(GetPriorityClass(GetCurrentProcess()), static_cast<DWORD>(HIGH_PRIORITY_CLASS));
  EXPECT_EQ(seen.verb, "Open");
  EXPECT_EQ(seen.file, "http://localhost/online_help.htm");
  EXPECT_EQ(seen.show, SW_SHOWNORMAL);
  SetPriorityClass(GetCurrentProcess(), NORMAL_PRIORITY_CLASS);
}

TEST_F(ModMainTest, TimeAndCursorComeThroughTheirSeams) {
  seams::TickCountFn = [] { return DWORD{0xFFFFFF00}; };
  seams::CursorPosFn = [](POINT* p) {
    p->x = 12;
    p->y = 34;
    return TRUE;
  };
  POINT p = {};
  seams::CursorPosFn(&p);
  EXPECT_EQ(seams::TickCountFn(), 0xFFFFFF00u);
  EXPECT_EQ(p.x, 12);
  seams::Reset();
  EXPECT_NEAR(static_cast<double>(seams::TickCountFn()), static_cast<double>(GetTickCount()), 1000);
}

}  // namespace
