#include <gtest/gtest.h>
#include <gtest/gtest-spi.h>

#include <cctype>
#include <cstring>
#include <stdexcept>

#include "Controls.h"
#include "Failures.h"
#include "Input.h"
#include "Timer.h"
#include "UiWait.h"
#include "Window.h"

using testsupport::PumpUntil;

namespace {

class TestForm : public ui::Window {
 public:
  TestForm()
      : Window({.caption = "Test form", .width = 240, .height = 140}),
        OkBtn(*this, {10, 10, 80, 24}, "OK"),
        lblInfo(*this, {10, 40, 200, 20}, "info"),
        chkOn(*this, {10, 64, 120, 20}, "On"),
        txtValue(*this, {10, 90, 120, 22}),
        Timer1(*this, 0) {
    OkBtn.Click = [this] { ++clicks; if (throwOnClick) throw std::runtime_error("handler failed"); };
    Timer1.Tick = [this] { ++ticks; };
  }
  ui::Button OkBtn;
  ui::Label lblInfo;
  ui::CheckBox chkOn;
  ui::TextBox txtValue;
  ui::Timer Timer1;

  int loads = 0, clicks = 0, ticks = 0, resizes = 0;
  bool throwOnClick = false, refuseQuery = false, refuseUnload = false;
  std::vector<int> queryModes;

 protected:
  void Form_Load() override { ++loads; }
  void Form_Resize() override { ++resizes; }
  void Form_QueryUnload(bool& cancel, int mode) override {
    queryModes.push_back(mode);
    cancel = refuseQuery;
  }
  void Form_Unload(bool& cancel) override { cancel = refuseUnload; }
};

TEST(Window, IsCreatedOnFirstUseWithItsControls) {
  TestForm form;
  EXPECT_FALSE(form.Loaded());
  EXPECT_FALSE(form.OkBtn.hwnd());
  form.Show();
  ASSERT_TRUE(form.Loaded());
  form.Show();
  EXPECT_EQ(form.loads, 1);
  EXPECT_TRUE(form.Visible());
  EXPECT_EQ(GetParent(form.OkBtn.hwnd()), form.hwnd());
  EXPECT_EQ(form.ScaleWidth(), 240);  // the client area is what the form asked for
  EXPECT_EQ(form.ScaleHeight(), 140);
  form.Hide();
  EXPECT_FALSE(form.Visible());
  EXPECT_TRUE(form.Loaded());
}

TEST(Window, RoutesControlEventsById) {
  TestForm form;
  form.Load();
  SendMessageA(form.OkBtn.hwnd(), BM_CLICK, 0, 0);
  EXPECT_EQ(form.clicks, 1);
  SendMessageA(form.chkOn.hwnd(), BM_CLICK, 0, 0);
  EXPECT_TRUE(form.chkOn.Value());
  int changes = 0;
  form.txtValue.Change = [&] { ++changes; };
  SetWindowTextA(form.txtValue.hwnd(), "typed");
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(form.txtValue.Text(), "typed");
}

TEST(Window, AFailingHandlerLosesOnlyItsOwnMessage) {
  TestForm form;
  form.Load();
  {
    testsupport::ExpectFailures failures(1);
    form.throwOnClick = true;
    SendMessageA(form.OkBtn.hwnd(), BM_CLICK, 0, 0);
    form.throwOnClick = false;
    SendMessageA(form.OkBtn.hwnd(), BM_CLICK, 0, 0);
    ASSERT_EQ(failures.seen(), std::vector<std::string>{"handler failed"});
  }
  EXPECT_EQ(form.clicks, 2);
  EXPECT_TRUE(IsWindow(form.hwnd()));
}

// Without a guard a throwing handler fails the test it runs in, wherever it was
// stopped: at the form's window procedure, at a control's own, or in a key preview.
TEST(Window, AFailingHandlerFailsTheTestUnlessExpected) {
  TestForm form;
  form.Load();
  form.throwOnClick = true;
  EXPECT_NONFATAL_FAILURE(SendMessageA(form.OkBtn.hwnd(), BM_CLICK, 0, 0), "handler failed");
  form.lblInfo.MouseDown = [](int, int, int, int) { throw std::runtime_error("mouse handler"); };
  EXPECT_NONFATAL_FAILURE(SendMessageA(form.lblInfo.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, 0), "mouse handler");
  form.throwOnClick = false;
  SendMessageA(form.OkBtn.hwnd(), BM_CLICK, 0, 0);  // no failure: nothing thrown
  EXPECT_EQ(form.clicks, 2);
}

TEST(Window, ExpectedFailuresMustAllCome) {
  // A guard that waited for a failure which never came fails the test too.
  EXPECT_NONFATAL_FAILURE({ testsupport::ExpectFailures failures(1); }, "failures reported");
  TestForm form;
  form.Load();
  form.throwOnClick = true;
  testsupport::ExpectFailures outer(1);
  {
    testsupport::ExpectFailures inner(2);  // the nearest guard counts
    SendMessageA(form.OkBtn.hwnd(), BM_CLICK, 0, 0);
    SendMessageA(form.OkBtn.hwnd(), BM_CLICK, 0, 0);
  }
  SendMessageA(form.OkBtn.hwnd(), BM_CLICK, 0, 0);
}

TEST(Window, UnloadAsksTheFormAndCanBeRefused) {
  TestForm form;
  form.Load();
  form.refuseQuery = true;
  EXPECT_FALSE(form.Unload());
  form.refuseQuery = false;
  form.refuseUnload = true;
  SendMessageA(form.hwnd(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(form.Loaded());
  form.refuseUnload = false;
  EXPECT_TRUE(form.Unload());
  EXPECT_FALSE(form.Loaded());
  EXPECT_FALSE(form.OkBtn.hwnd());
  EXPECT_EQ(form.queryModes, (std::vector<int>{ui::vbFormCode, ui::vbFormControlMenu, ui::vbFormCode}));
  // Loading again creates a new window and runs Form_Load again.
  form.Load();
  EXPECT_EQ(form.loads, 2);
  EXPECT_TRUE(IsWindow(form.OkBtn.hwnd()));
}

TEST(Window, ClosingThroughTheCloseBoxUnloads) {
  TestForm form;
  form.Show();
  SendMessageA(form.hwnd(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(form.Loaded());
  EXPECT_EQ(form.queryModes, std::vector<int>{ui::vbFormControlMenu});
}

// The tests' checks that a key did nothing, and their reads of painted pixels, stand
// on this wait: once it returns, a key sent before it has been typed, and what it
// changed has been painted.
TEST(Window, AWaitForTheQueueToEmptyEndsWithTheKeysTypedAndTheWindowPainted) {
  TestForm form;
  form.Show();
  SetForegroundWindow(form.hwnd());
  ASSERT_TRUE(testsupport::PumpUntilForeground(form.hwnd()));
  SetFocus(form.txtValue.hwnd());
  for (const char* typed : {"q", "qu", "qui"}) {
    testsupport::PressKey(static_cast<WORD>(std::toupper(typed[std::strlen(typed) - 1])));
    ASSERT_TRUE(testsupport::PumpUntilIdle());
    EXPECT_EQ(form.txtValue.Text(), typed);
    EXPECT_FALSE(GetUpdateRect(form.txtValue.hwnd(), nullptr, FALSE)) << "the text box is painted";
  }
  InvalidateRect(form.hwnd(), nullptr, TRUE);
  ASSERT_TRUE(testsupport::PumpUntilIdle());
  EXPECT_FALSE(GetUpdateRect(form.hwnd(), nullptr, FALSE));
}

TEST(Window, TimersTickOnlyWhileEnabled) {
  TestForm form;
  form.Timer1.SetInterval(10);
  form.Load();
  EXPECT_TRUE(PumpUntil([&] { return form.ticks >= 2; }));
  form.Timer1.SetEnabled(false);
  int stopped = form.ticks;
  PumpUntil([] { return false; }, 100);  // ten intervals of wall-clock time: a tick would have come
  EXPECT_EQ(form.ticks, stopped);
}

TEST(Window, ControlsKeepStateSetBeforeTheyExist) {
  TestForm form;
  form.chkOn.SetValue(true);
  form.lblInfo.SetText("before load");
  form.OkBtn.SetEnabled(false);
  form.txtValue.SetNumberStyle(true);
  form.Load();
  EXPECT_EQ(SendMessageA(form.chkOn.hwnd(), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(testsupport::WindowText(form.lblInfo.hwnd()), "before load");
  EXPECT_FALSE(IsWindowEnabled(form.OkBtn.hwnd()));
  EXPECT_TRUE(GetWindowLongA(form.txtValue.hwnd(), GWL_STYLE) & ES_NUMBER);
  form.txtValue.SetNumberStyle(false);
  EXPECT_FALSE(GetWindowLongA(form.txtValue.hwnd(), GWL_STYLE) & ES_NUMBER);
}

TEST(Window, LabelChangeRunsAgainForTheChangeItMakes) {
  TestForm form;
  form.Load();
  int runs = 0;
  form.lblInfo.Change = [&] {
    ++runs;
    if (form.lblInfo.Text().size() > 4) form.lblInfo.SetText(form.lblInfo.Text().substr(0, 4));
  };
  form.lblInfo.SetText("abcdefgh");
  EXPECT_EQ(runs, 2);
  EXPECT_EQ(testsupport::WindowText(form.lblInfo.hwnd()), "abcd");
}

TEST(Window, ButtonWithItsOwnColourIsDrawnInIt) {
  TestForm form;
  form.OkBtn.SetBackColor(RGB(218, 218, 218));
  form.Show();
  UpdateWindow(form.hwnd());
  RedrawWindow(form.OkBtn.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  HDC dc = GetDC(form.OkBtn.hwnd());
  EXPECT_EQ(GetPixel(dc, 5, 12), RGB(218, 218, 218));
  ReleaseDC(form.OkBtn.hwnd(), dc);
}

// An owner-drawn list box: its item height comes from the control, asked while the
// list box is still being created.
class TallList : public ui::Control {
 public:
  TallList(ui::Window& owner, ui::Bounds bounds)
      : Control(owner, "LISTBOX", WS_VISIBLE | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS, bounds, "") {}
  HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
  ~TallList() override { DeleteObject(brush); }

 protected:
  bool OnMeasureItem(MEASUREITEMSTRUCT& item) override {
    item.itemHeight = 23;
    return true;
  }
  HBRUSH OnCtlColor(HDC) override { return brush; }
};

TEST(Window, RoutesMeasuringAndListColoursToTheControl) {
  struct ListForm : ui::Window {
    ListForm() : Window(ui::FormDesign{}), List(*this, {0, 0, 100, 80}) {}
    TallList List;
  } form;
  form.Load();
  EXPECT_EQ(SendMessageA(form.List.hwnd(), LB_GETITEMHEIGHT, 0, 0), 23);
  HDC dc = GetDC(form.List.hwnd());
  for (UINT msg : {WM_CTLCOLORLISTBOX, WM_CTLCOLORSCROLLBAR})
    EXPECT_EQ(SendMessageA(form.hwnd(), msg, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(form.List.hwnd())),
              reinterpret_cast<LRESULT>(form.List.brush))
        << msg;
  ReleaseDC(form.List.hwnd(), dc);
}

}  // namespace
