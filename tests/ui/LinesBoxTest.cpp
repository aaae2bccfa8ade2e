// The read-only box of lines: it takes and gives its text as a text box does, shows
// each CR LF-ended line as a row drawn from the text, scrolls as wide as its widest
// line, and lets the user select whole lines and copy them, all through real input.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "Container.h"
#include "Input.h"
#include "LinesBox.h"
#include "Menus.h"
#include "UiWait.h"
#include "Window.h"

using testsupport::ClickAt;
using testsupport::PressKey;
using testsupport::PumpUntil;
using testsupport::SendKey;

namespace {

// On a container, as on a page of a window: its drawing and measuring messages go
// through the container to the form.
class LinesForm : public ui::Window {
 public:
  LinesForm()
      : Window({.caption = "Lines", .x = 0, .y = 0, .width = 420, .height = 300}),
        page(*this, {10, 10, 400, 280}),
        FileTextTxt(*this, {0, 0, 380, 200}),
        readOnlyBox(*this, {0, 210, 380, 60}, "", ES_MULTILINE | ES_READONLY | WS_VSCROLL | WS_HSCROLL) {
    FileTextTxt.SetContainer(page);
    readOnlyBox.SetContainer(page);
  }
  ui::Container page;
  ui::LinesBox FileTextTxt;
  ui::TextBox readOnlyBox;  // what the lines box stands in for
};

void EmptyClipboard_() {
  if (!OpenClipboard(nullptr)) return;
  EmptyClipboard();
  CloseClipboard();
}

std::string Numbered(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += "line " + std::to_string(i) + "\r\n";
  return text;
}

int SelectedCount(const ui::LinesBox& box) {
  return static_cast<int>(SendMessageA(box.hwnd(), LB_GETSELCOUNT, 0, 0));
}

POINT RowCentre(const ui::LinesBox& box, int row) {
  RECT r = {};
  SendMessageA(box.hwnd(), LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// The darkest pixel of a row as the screen shows it (0 black, 765 white).
int DarkestInRow(const ui::LinesBox& box, int row) {
  RECT r = {};
  SendMessageA(box.hwnd(), LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
  HDC dc = GetDC(box.hwnd());
  int darkest = 765;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < std::min<LONG>(r.right, r.left + 80); ++x) {
      const COLORREF c = GetPixel(dc, x, y);
      darkest = std::min(darkest, GetRValue(c) + GetGValue(c) + GetBValue(c));
    }
  ReleaseDC(box.hwnd(), dc);
  return darkest;
}

int Brightness(COLORREF c) { return GetRValue(c) + GetGValue(c) + GetBValue(c); }

COLORREF PixelAt(HWND window, int x, int y) {
  HDC dc = GetDC(window);
  const COLORREF colour = GetPixel(dc, x, y);
  ReleaseDC(window, dc);
  return colour;
}

class LinesBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.Show();
    testsupport::BringToFront(form.hwnd());
    Settle();
  }
  void TearDown() override { form.Unload(); }
  void Settle() { testsupport::PumpUntilIdle(); }
  void Click(int row, int shift = 0) {
    const POINT at = RowCentre(form.FileTextTxt, row);
    if (shift & 1) SendKey(VK_SHIFT, false);
    ClickAt(form.FileTextTxt.hwnd(), at.x, at.y);
    if (shift & 1) SendKey(VK_SHIFT, true);
    Settle();
  }
  LinesForm form;
};

TEST_F(LinesBoxTest, TheTextComesBackWholeAndEachCrLfEndsARow) {
  struct Case {
    std::string text;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"", {}},
      {"No strings were found!", {"No strings were found!"}},
      {"one\r\n", {"one"}},
      {"one\r\ntwo", {"one", "two"}},
      {"one\r\n\r\nthree\r\n", {"one", "", "three"}},
      {"a lone\nfeed and a lone\rreturn\r\n", {"a lone\nfeed and a lone\rreturn"}},
      {"\r\n", {""}},
  };
  ui::LinesBox& box = form.FileTextTxt;
  for (const Case& c : cases) {
    box.SetText(c.text);
    EXPECT_EQ(box.Text(), c.text);
    EXPECT_EQ(GetWindowTextLengthA(box.hwnd()), static_cast<int>(c.text.size()));
    ASSERT_EQ(box.LineCount(), static_cast<int>(c.lines.size())) << c.text;
    EXPECT_EQ(SendMessageA(box.hwnd(), LB_GETCOUNT, 0, 0), box.LineCount()) << "one row a line";
    for (int i = 0; i < box.LineCount(); ++i) EXPECT_EQ(box.Line(i), c.lines[static_cast<size_t>(i)]);
  }
  // A short buffer gets the start of the text, ended.
  box.SetText("abcdef");
  char four[4] = {'x', 'x', 'x', 'x'};
  EXPECT_EQ(GetWindowTextA(box.hwnd(), four, 4), 3);
  EXPECT_STREQ(four, "abc");

  // A text given before the window exists is shown once it is made.
  form.Unload();
  box.SetText(Numbered(3));
  form.Show();
  EXPECT_EQ(SendMessageA(box.hwnd(), LB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(box.Text(), Numbered(3));
}

TEST_F(LinesBoxTest, RowsShowTheirLinesAsHighAsTheFontAndGreyWhileDisabled) {
  ui::LinesBox& box = form.FileTextTxt;
  box.SetText("Planted words\r\n\r\nMore words\r\n");
  Settle();
  HDC dc = GetDC(box.hwnd());
  SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(box.hwnd(), WM_GETFONT, 0, 0)));
  TEXTMETRICA metrics = {};
  GetTextMetricsA(dc, &metrics);
  ReleaseDC(box.hwnd(), dc);
  EXPECT_EQ(SendMessageA(box.hwnd(), LB_GETITEMHEIGHT, 0, 0), metrics.tmHeight) << "a text box's line pitch";

  // The ground of a read-only text box, under the rows and below them.
  const COLORREF ground = PixelAt(form.readOnlyBox.hwnd(), 300, 30);
  EXPECT_EQ(PixelAt(box.hwnd(), 300, 5), ground);
  EXPECT_EQ(PixelAt(box.hwnd(), 300, 150), ground);
  EXPECT_LT(DarkestInRow(box, 0), 200) << "dark text on the first row";
  EXPECT_EQ(DarkestInRow(box, 1), Brightness(ground)) << "the empty line is blank";
  EXPECT_LT(DarkestInRow(box, 2), 200);

  box.SetEnabled(false);
  Settle();
  EXPECT_GE(DarkestInRow(box, 0), Brightness(GetSysColor(COLOR_GRAYTEXT)) - 30) << "no darker than grey";
  EXPECT_LT(DarkestInRow(box, 0), Brightness(ground)) << "yet shown";
  box.SetEnabled(true);
}

TEST_F(LinesBoxTest, ItScrollsAsWideAsItsWidestLine) {
  ui::LinesBox& box = form.FileTextTxt;
  const std::string wide = "A much wider line than the others, with WWWW and MMMM in it to be sure";
  box.SetText("short\r\n" + wide + "\r\nWWW\r\n" + Numbered(50));
  HDC dc = GetDC(box.hwnd());
  SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(box.hwnd(), WM_GETFONT, 0, 0)));
  SIZE size = {};
  GetTextExtentPoint32A(dc, wide.data(), static_cast<int>(wide.size()), &size);
  ReleaseDC(box.hwnd(), dc);
  const LRESULT extent = SendMessageA(box.hwnd(), LB_GETHORIZONTALEXTENT, 0, 0);
  EXPECT_GE(extent, size.cx);
  EXPECT_LE(extent, size.cx + 8);
  SCROLLINFO info = {sizeof info, SIF_RANGE | SIF_PAGE};
  GetScrollInfo(box.hwnd(), SB_HORZ, &info);
  EXPECT_EQ(info.nMax + 1, extent) << "the horizontal bar reaches the widest line";
}

TEST_F(LinesBoxTest, ClicksShiftClicksAndTheKeysCopyWholeLines) {
  ui::LinesBox& box = form.FileTextTxt;
  box.SetText(Numbered(100));
  Settle();
  EmptyClipboard_();
  Click(2);
  Click(4, 1);
  ASSERT_EQ(SelectedCount(box), 3);
  PressKey('C', 2);
  ASSERT_TRUE(PumpUntil([] { return !testsupport::ClipboardText().empty(); }, 2000)) << "Ctrl+C copied nothing";
  EXPECT_EQ(testsupport::ClipboardText(), "line 2\r\nline 3\r\nline 4\r\n");

  PressKey('A', 2);
  ASSERT_TRUE(PumpUntil([&] { return SelectedCount(box) == 100; }, 2000));
  PressKey(VK_INSERT, 2);
  ASSERT_TRUE(PumpUntil([] { return testsupport::ClipboardText().size() > 100; }, 2000));
  EXPECT_EQ(testsupport::ClipboardText(), Numbered(100)) << "every line, as given";

  // A new text shows from its top with nothing selected.
  PressKey(VK_END);
  ASSERT_TRUE(PumpUntil([&] { return SendMessageA(box.hwnd(), LB_GETTOPINDEX, 0, 0) > 0; }, 2000));
  box.SetText(Numbered(100));
  EXPECT_EQ(SendMessageA(box.hwnd(), LB_GETTOPINDEX, 0, 0), 0);
  EXPECT_EQ(SelectedCount(box), 0);

  // With nothing selected the copy keys leave the clipboard alone.
  EmptyClipboard_();
  PressKey('C', 2);
  Settle();
  EXPECT_EQ(testsupport::ClipboardText(), "");
}

// The box's own menu, as a text box has: Select All, then Copy, each by its letter.
TEST_F(LinesBoxTest, TheContextMenuSelectsAllAndCopies) {
  ui::LinesBox& box = form.FileTextTxt;
  box.SetText(Numbered(5));
  Settle();
  EmptyClipboard_();
  const POINT at = RowCentre(box, 1);
  for (WORD letter : {'A', 'C'}) {
    // The menu's loop runs on this thread: the key comes from another once it is up.
    testsupport::MenuWatcher user({letter});
    ClickAt(box.hwnd(), at.x, at.y, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    ASSERT_TRUE(user.Wait().seen) << "no menu for " << static_cast<char>(letter);
    Settle();
  }
  EXPECT_EQ(SelectedCount(box), 5);
  ASSERT_TRUE(PumpUntil([] { return !testsupport::ClipboardText().empty(); }, 2000)) << "the menu's Copy copied nothing";
  EXPECT_EQ(testsupport::ClipboardText(), Numbered(5));
}

}  // namespace
