#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "ButtonBar.h"
#include "Input.h"
#include "UiWait.h"
#include "Window.h"

using testsupport::Centre;
using testsupport::ClickAt;
using testsupport::PumpUntil;

namespace {

using Event = std::pair<int, std::string>;

// Three pages in one group, then a plain toggle and a plain command.
struct BarForm : ui::Window {
  explicit BarForm(bool vertical)
      : Window({.caption = "Bar", .width = 420, .height = 320}),
        bar(*this, {10, 10, vertical ? 80 : 400, vertical ? 300 : 50}, vertical, {60, 40}) {
    bar.Add("A", "Alpha", "First page", 1);
    bar.Add("B", "Beta", "Second page", 1);
    bar.Add("C", "Gamma", "Third page", 1);
    bar.Add("T", "Toggle", "A toggle");
    bar.Add("X", "Exit", "Leave");
    bar.ButtonClick = [this](int index, const std::string& key) { clicks.push_back({index, key}); };
    bar.MouseOver = [this](int index, const std::string& key) { overs.push_back({index, key}); };
  }
  ui::ButtonBar bar;
  std::vector<Event> clicks, overs;
};

class ButtonBarTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    form.Show();
    testsupport::BringToFront(form.hwnd());
  }
  void Click(int index) {
    const POINT at = Centre(form.bar.ButtonRect(index));
    ClickAt(form.bar.hwnd(), at.x, at.y);
  }
  void Settle() { testsupport::PumpUntilIdle(); }
  BarForm form{GetParam()};
};

TEST_P(ButtonBarTest, ClicksGiveIndexAndKeyAndPressTheGroupButton) {
  form.bar.SetValue("A", true);
  Click(2);
  ASSERT_TRUE(PumpUntil([&] { return !form.clicks.empty(); })) << "no click arrived";
  EXPECT_EQ(form.clicks, (std::vector<Event>{{2, "B"}}));
  EXPECT_FALSE(form.bar.Value("A"));
  EXPECT_TRUE(form.bar.Value(2));
  EXPECT_TRUE(SendMessageA(form.bar.hwnd(), TB_ISBUTTONCHECKED, 102, 0));
  EXPECT_FALSE(SendMessageA(form.bar.hwnd(), TB_ISBUTTONCHECKED, 101, 0));

  // A plain button keeps the state its caller gave, through a click.
  form.bar.SetValue("T", true);
  Click(4);
  ASSERT_TRUE(PumpUntil([&] { return form.clicks.size() == 2; }));
  EXPECT_EQ(form.clicks[1], (Event{4, "T"}));
  EXPECT_TRUE(form.bar.Value("T"));
  EXPECT_TRUE(form.bar.Value("B")) << "a plain button leaves the group alone";
  form.bar.SetValue("T", false);
  Click(4);
  ASSERT_TRUE(PumpUntil([&] { return form.clicks.size() == 3; }));
  EXPECT_FALSE(form.bar.Value("T"));
}

TEST_P(ButtonBarTest, AProgrammaticClickRaisesTheSameEvent) {
  form.bar.ClickButton("C");
  form.bar.ClickButton(5);
  EXPECT_EQ(form.clicks, (std::vector<Event>{{3, "C"}, {5, "X"}}));
  EXPECT_TRUE(form.bar.Value(3));
  EXPECT_FALSE(form.bar.Value(5));
  form.bar.ClickButton("nothing");
  form.bar.ClickButton(0);
  form.bar.ClickButton(6);
  EXPECT_EQ(form.clicks.size(), 2u);
}

TEST_P(ButtonBarTest, ADisabledButtonGivesNothing) {
  form.bar.SetButtonEnabled("B", false);
  EXPECT_FALSE(form.bar.ButtonEnabled("B"));
  Click(2);
  Settle();
  form.bar.ClickButton("B");
  EXPECT_TRUE(form.clicks.empty());
  EXPECT_FALSE(form.bar.Value("B"));
  form.bar.SetButtonEnabled("B", true);
  Click(2);
  ASSERT_TRUE(PumpUntil([&] { return !form.clicks.empty(); }));
}

TEST_P(ButtonBarTest, AMoveOverAButtonRaisesMouseOver) {
  const POINT at = Centre(form.bar.ButtonRect(3));
  testsupport::MoveMouseTo(form.bar.hwnd(), at.x, at.y);
  ASSERT_TRUE(PumpUntil([&] { return !form.overs.empty(); })) << "no mouse-over arrived";
  EXPECT_EQ(form.overs[0], (Event{3, "C"}));
  const POINT next = Centre(form.bar.ButtonRect(5));
  testsupport::MoveMouseTo(form.bar.hwnd(), next.x, next.y);
  ASSERT_TRUE(PumpUntil([&] { return form.overs.size() == 2; }));
  EXPECT_EQ(form.overs[1], (Event{5, "X"}));
}

TEST_P(ButtonBarTest, TheToolTipComesFromTheBarsToolTipControl) {
  HWND tips = reinterpret_cast<HWND>(SendMessageA(form.bar.hwnd(), TB_GETTOOLTIPS, 0, 0));
  ASSERT_TRUE(tips);
  for (int index = 1; index <= form.bar.Count(); ++index) {
    char text[80] = {};
    TOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = form.bar.hwnd();
    tool.uId = 100 + index;
    tool.lpszText = text;
    SendMessageA(tips, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    EXPECT_EQ(text, form.bar.ToolTip(form.bar.Key(index))) << index;
  }
  EXPECT_EQ(form.bar.ToolTip("B"), "Second page");
  EXPECT_EQ(form.bar.Caption("X"), "Exit");
}

TEST_P(ButtonBarTest, KeysIndexesCountAndPictures) {
  EXPECT_EQ(form.bar.Count(), 5);
  EXPECT_EQ(form.bar.IndexOf("T"), 4);
  EXPECT_EQ(form.bar.IndexOf("none"), 0);
  EXPECT_EQ(form.bar.Key(1), "A");
  EXPECT_EQ(form.bar.Key(9), "");

  HDC screen = GetDC(nullptr);
  HBITMAP picture = CreateCompatibleBitmap(screen, 16, 16);
  ReleaseDC(nullptr, screen);
  form.bar.SetPicture("X", picture, RGB(255, 0, 255));
  EXPECT_EQ(form.bar.Picture("X"), picture);
  TBBUTTONINFOA info = {};
  info.cbSize = sizeof info;
  info.dwMask = TBIF_IMAGE;
  SendMessageA(form.bar.hwnd(), TB_GETBUTTONINFOA, 105, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.iImage, 0);
  HIMAGELIST images = reinterpret_cast<HIMAGELIST>(SendMessageA(form.bar.hwnd(), TB_GETIMAGELIST, 0, 0));
  EXPECT_EQ(ImageList_GetImageCount(images), 1);
  DeleteObject(picture);
}

// A picture of one colour, with a mask-coloured corner.
HBITMAP Filled(COLORREF colour) {
  HDC screen = GetDC(nullptr);
  HBITMAP picture = CreateCompatibleBitmap(screen, 16, 16);
  HDC dc = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, picture);
  RECT all = {0, 0, 16, 16}, corner = {0, 0, 2, 2};
  HBRUSH fill = CreateSolidBrush(colour), magenta = CreateSolidBrush(RGB(255, 0, 255));
  FillRect(dc, &all, fill);
  FillRect(dc, &corner, magenta);
  DeleteObject(fill);
  DeleteObject(magenta);
  SelectObject(dc, old);
  DeleteDC(dc);
  return picture;
}

TEST_P(ButtonBarTest, APictureGivenAgainTakesTheButtonsPlaceAndAddsNoImage) {
  HBITMAP red = Filled(RGB(200, 0, 0)), blue = Filled(RGB(0, 0, 200));
  form.bar.SetPicture("A", red, RGB(255, 0, 255));
  for (int i = 0; i < 50; ++i) form.bar.SetPicture("X", i % 2 ? red : blue, RGB(255, 0, 255));
  HIMAGELIST images = reinterpret_cast<HIMAGELIST>(SendMessageA(form.bar.hwnd(), TB_GETIMAGELIST, 0, 0));
  EXPECT_EQ(ImageList_GetImageCount(images), 2) << "one image per button with a picture";
  // The last picture given is the one drawn, and the other button's stays its own.
  auto drawn = [&](const char* key) {
    TBBUTTONINFOA info = {};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_IMAGE;
    SendMessageA(form.bar.hwnd(), TB_GETBUTTONINFOA, 100 + form.bar.IndexOf(key), reinterpret_cast<LPARAM>(&info));
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP canvas = CreateCompatibleBitmap(screen, 16, 16);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, canvas);
    RECT all = {0, 0, 16, 16};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    ImageList_Draw(images, info.iImage, dc, 0, 0, ILD_NORMAL);
    std::pair<COLORREF, COLORREF> seen = {GetPixel(dc, 8, 8), GetPixel(dc, 0, 0)};
    SelectObject(dc, old);
    DeleteObject(canvas);
    DeleteDC(dc);
    return seen;
  };
  EXPECT_EQ(drawn("X").first, RGB(200, 0, 0));
  EXPECT_EQ(drawn("X").second, RGB(255, 255, 255)) << "the mask colour is see-through";
  EXPECT_EQ(drawn("A").first, RGB(200, 0, 0));
  form.bar.SetPicture("X", blue, RGB(255, 0, 255));
  EXPECT_EQ(drawn("X").first, RGB(0, 0, 200));
  EXPECT_EQ(drawn("A").first, RGB(200, 0, 0));
  EXPECT_EQ(ImageList_GetImageCount(images), 2);
  DeleteObject(red);
  DeleteObject(blue);
}

TEST_P(ButtonBarTest, TheBarAndButtonColoursArePainted) {
  form.bar.SetBackColor(RGB(10, 200, 30));
  form.bar.SetBarColor(RGB(200, 10, 30));
  form.bar.SetButtonColor(5, RGB(20, 30, 220));
  SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);  // nothing hot
  Settle();
  InvalidateRect(form.bar.hwnd(), nullptr, TRUE);
  UpdateWindow(form.bar.hwnd());
  Settle();
  HDC dc = GetDC(form.bar.hwnd());
  RECT client, last = form.bar.ButtonRect(5);
  GetClientRect(form.bar.hwnd(), &client);
  EXPECT_EQ(GetPixel(dc, client.right - 2, client.bottom - 2), RGB(10, 200, 30)) << "back colour";
  EXPECT_EQ(GetPixel(dc, last.left + 2, last.top + 2), RGB(20, 30, 220)) << "button colour";
  ReleaseDC(form.bar.hwnd(), dc);
}

INSTANTIATE_TEST_SUITE_P(Both, ButtonBarTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Vertical" : "Horizontal"; });

TEST(ButtonBar, HidingAButtonMovesTheNextOneAndKeepsTheIndexes) {
  BarForm form(false);
  form.Show();
  const int before = form.bar.ButtonLeft("C");
  const int width = form.bar.ButtonRect(2).right - form.bar.ButtonRect(2).left;
  form.bar.SetButtonVisible("B", false);
  EXPECT_FALSE(form.bar.ButtonVisible("B"));
  EXPECT_EQ(form.bar.ButtonLeft("B"), -1);
  EXPECT_EQ(form.bar.ButtonLeft("C"), before - width);
  EXPECT_EQ(form.bar.IndexOf("C"), 3);
  form.bar.SetButtonVisible("B", true);
  EXPECT_EQ(form.bar.ButtonLeft("C"), before);
}

TEST(ButtonBar, ButtonsAddedBeforeTheWindowKeepTheirState) {
  BarForm form(true);
  form.bar.SetValue("B", true);
  form.bar.SetValue("T", true);
  form.bar.SetButtonEnabled("X", false);
  form.Load();
  EXPECT_TRUE(SendMessageA(form.bar.hwnd(), TB_ISBUTTONCHECKED, 102, 0));
  EXPECT_TRUE(SendMessageA(form.bar.hwnd(), TB_ISBUTTONCHECKED, 104, 0));
  EXPECT_FALSE(SendMessageA(form.bar.hwnd(), TB_ISBUTTONENABLED, 105, 0));
  // A vertical bar stacks its buttons.
  EXPECT_EQ(form.bar.ButtonRect(2).left, form.bar.ButtonRect(1).left);
  EXPECT_GT(form.bar.ButtonRect(2).top, form.bar.ButtonRect(1).top);
}

}  // namespace
