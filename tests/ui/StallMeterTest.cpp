// The stall meter: a slow handler is recorded once, under its own message and form;
// short messages that add up are charged to the pass around them; time the user
// takes to answer a question box or a modal form is no stall.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <thread>

#include "Controls.h"
#include "Input.h"
#include "Seams.h"
#include "StallMeter.h"
#include "Timer.h"
#include "UiWait.h"
#include "Window.h"

using testsupport::PumpUntil;

namespace {

const UINT kBusy = WM_APP + 7;

class StallForm : public ui::Window {
 public:
  explicit StallForm(const char* caption = "Stall form")
      : Window({.caption = caption, .x = 100, .y = 100, .width = 200, .height = 80}),
        SlowBtn(*this, {10, 10, 120, 28}, "Slow") {
    SlowBtn.Click = [this] {
      ++clicks;
      if (onClick) onClick();
    };
  }
  ui::Button SlowBtn;
  std::function<void()> onClick;
  int clicks = 0;

 protected:
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == kBusy) {
      Sleep(static_cast<DWORD>(wp));
      return 0;
    }
    return Window::WndProc(msg, wp, lp);
  }
};

class StallMeter : public testing::Test {
 protected:
  void SetUp() override { before_ = ui::RecordedStalls().size(); }
  // Only this test's own records: the meter's record is the whole program's.
  std::vector<ui::Stall> Recorded() const {
    std::vector<ui::Stall> all = ui::RecordedStalls();
    return std::vector<ui::Stall>(all.begin() + static_cast<std::ptrdiff_t>(std::min(before_, all.size())), all.end());
  }

 private:
  size_t before_ = 0;
};

TEST_F(StallMeter, SlowClickIsRecordedOnceUnderItsMessageAndForm) {
  StallForm form;
  form.Show();
  form.onClick = [] { Sleep(180); };
  ui::ExpectedStalls onPurpose;
  {
    ui::StallScope pass("test pass");
    RECT r;
    GetWindowRect(form.SlowBtn.hwnd(), &r);
    testsupport::ClickAt(form.SlowBtn.hwnd(), 20, 10);
    ASSERT_TRUE(PumpUntil([&] { return form.clicks == 1; }));
  }
  const auto stalls = Recorded();
  ASSERT_EQ(stalls.size(), 1u) << (stalls.empty() ? "" : stalls[0].what);
  EXPECT_GE(stalls[0].ms, 150u);
  EXPECT_NE(stalls[0].what.find("WM_COMMAND"), std::string::npos) << stalls[0].what;
  EXPECT_NE(stalls[0].what.find("\"Stall form\""), std::string::npos) << stalls[0].what;
  EXPECT_NE(stalls[0].what.find("StallMeter.SlowClickIsRecordedOnceUnderItsMessageAndForm"), std::string::npos)
      << stalls[0].what;
  EXPECT_TRUE(stalls[0].expected);
}

TEST_F(StallMeter, ShortMessagesThatAddUpAreChargedToThePassAroundThem) {
  StallForm form;
  form.Show();
  ui::ExpectedStalls onPurpose;
  {
    ui::StallScope pass("test pass");
    for (int i = 0; i < 4; ++i) SendMessageA(form.hwnd(), kBusy, 40, 0);
  }
  // A message of its own over the limit leaves the pass only the rest.
  {
    ui::StallScope pass("second pass");
    SendMessageA(form.hwnd(), kBusy, 150, 0);
    SendMessageA(form.hwnd(), kBusy, 10, 0);
  }
  const auto stalls = Recorded();
  ASSERT_EQ(stalls.size(), 2u);
  EXPECT_EQ(stalls[0].what.rfind("test pass", 0), 0u) << stalls[0].what;
  EXPECT_GE(stalls[0].ms, 150u);
  EXPECT_EQ(stalls[1].what.rfind("WM_APP+7 to form \"Stall form\"", 0), 0u) << stalls[1].what;
}

// Answers the question box of that caption after `afterMs`, from another thread.
std::thread AnswerLater(const char* caption, DWORD afterMs) {
  return std::thread([caption, afterMs] {
    Sleep(afterMs);  // the user's slow answer is the wall-clock time under test
    for (int i = 0; i < 500; ++i) {
      if (HWND box = FindWindowA("#32770", caption)) {
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        return;
      }
      Sleep(10);
    }
  });
}

TEST_F(StallMeter, TimeTheUserTakesToAnswerIsNoStall) {
  StallForm form;
  form.Show();
  int answer = 0;
  form.onClick = [&] { answer = seams::MessageBoxFn(form.hwnd(), "Go on?", "Stall question", MB_OK); };
  std::thread user = AnswerLater("Stall question", 400);
  {
    ui::StallScope pass("test pass");
    testsupport::ClickAt(form.SlowBtn.hwnd(), 20, 10);
    ASSERT_TRUE(PumpUntil([&] { return answer == IDOK; }));
  }
  user.join();
  for (const ui::Stall& s : Recorded()) ADD_FAILURE() << s.ms << " ms " << s.what;
}

TEST_F(StallMeter, TimeAModalFormIsOpenIsNoStall) {
  StallForm form;
  StallForm dialog("Stall modal");
  ui::Timer closer(dialog, 300);
  closer.Tick = [&] {
    closer.SetInterval(0);
    dialog.Hide();
  };
  form.Show();
  form.onClick = [&] { dialog.ShowModal(&form); };
  {
    ui::StallScope pass("test pass");
    testsupport::ClickAt(form.SlowBtn.hwnd(), 20, 10);
    ASSERT_TRUE(PumpUntil([&] { return form.clicks == 1 && !dialog.Visible() && IsWindowEnabled(form.hwnd()); }));
  }
  for (const ui::Stall& s : Recorded()) ADD_FAILURE() << s.ms << " ms " << s.what;
}

TEST_F(StallMeter, PrintsTheFiveLongestOfAKindLongestFirst) {
  StallForm form;
  form.Show();
  {
    ui::ExpectedStalls onPurpose;
    const DWORD waits[] = {110, 160, 120, 150, 130, 140};
    for (DWORD ms : waits) SendMessageA(form.hwnd(), kBusy, ms, 0);
  }
  ASSERT_EQ(Recorded().size(), 6u);
  char path[MAX_PATH];
  GetTempPathA(MAX_PATH, path);
  lstrcatA(path, "stalls-print.txt");
  FILE* out = fopen(path, "w+");
  ASSERT_TRUE(out);
  ui::PrintStalls(out);
  rewind(out);
  std::vector<unsigned> expected;
  char line[512];
  while (fgets(line, sizeof line, out)) {
    unsigned ms = 0;
    if (sscanf(line, "stalls (expected): %u ms", &ms) == 1) expected.push_back(ms);
    else EXPECT_EQ(std::string(line).rfind("stalls: ", 0), 0u) << line;
  }
  fclose(out);
  DeleteFileA(path);
  ASSERT_EQ(expected.size(), 5u);
  for (size_t i = 1; i < expected.size(); ++i) EXPECT_LE(expected[i], expected[i - 1]) << "longest first";
  EXPECT_GE(expected.back(), 120u) << "the shortest of the six is left out";
}

}  // namespace
