#include <windows.h>
#include <richedit.h>

#include "Input.h"
#include "ModMain.h"
#include "ReportSupport.h"
#include "UiWait.h"
#include "ViewBindings.h"
#include "frmFind.h"

namespace reporttest {
namespace {

class FindTest : public ReportTest {
 protected:
  void SetUp() override {
    ReportTest::SetUp();
    Build({});
  }
  void TearDown() override {
    frmFind.Unload();
    ReportTest::TearDown();
  }
  // 70,000 characters and more of CR LF lines, "needle" in some of them.
  static std::string LongText() {
    std::string text;
    for (int i = 0; text.size() < 72000; ++i)
      text += "line " + std::to_string(i) + (i % 250 == 7 ? " Needle here" : " plain words") + "\r\n";
    return text;
  }
  static std::string SelectedText() {
    char buffer[64] = {};
    SendMessageA(Logfrm.LogTxt.hwnd(), EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(buffer));
    return buffer;
  }
  void Search(const std::string& text, int16_t direction, int16_t matchCase = 0) {
    FindText = text;
    FindDirection = direction;
    MatchCase = matchCase;
    FindTextChanged = true;
  }
};

}  // namespace

TEST_F(FindTest, DownAndUpStepThroughEveryHitInTheControlsPositions) {
  const std::string text = LongText();
  Logfrm.LogTxt.SetText(text);
  ASSERT_EQ(Logfrm.LogTxt.Text(), text);
  std::vector<int32_t> hits;
  for (size_t at = text.find("Needle"); at != std::string::npos; at = text.find("Needle", at + 1))
    hits.push_back(static_cast<int32_t>(at));
  ASSERT_GT(hits.size(), 3u);
  ASSERT_GT(hits.back(), 32767);

  Logfrm.Select(0, 0);
  Search("needle", 1);
  for (int32_t hit : hits) {
    FindInLog();
    EXPECT_EQ(Logfrm.SelStart(), hit);
    EXPECT_EQ(SelectedText(), "Needle");
    EXPECT_EQ(LastFoundPos, hit);
    EXPECT_FALSE(FindTextChanged);
  }
  EXPECT_TRUE(shown.empty());
  FindInLog();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, "Cannot find \"needle\"");
  EXPECT_EQ(shown[0].owner, FrameHwnd()) << "the main frame's box";
  EXPECT_EQ(Logfrm.SelStart(), hits.back()) << "the selection stays";

  // Upwards from the last hit, which is selected: the one before it, and so on.
  FindDirection = 0;
  for (size_t i = hits.size() - 1; i-- > 0;) {
    FindInLog();
    EXPECT_EQ(Logfrm.SelStart(), hits[i]);
    EXPECT_EQ(SelectedText(), "Needle");
  }
}

TEST_F(FindTest, UpFindsTheHitJustBeforeTheCaretButNotTheOneAtItAndCaseCounts) {
  Logfrm.LogTxt.SetText("abc Word\r\nword WORD end");
  struct Case {
    const char* what;
    std::string find;
    int16_t direction, matchCase;
    int32_t caret;
    int32_t hit;  // -1: "Cannot find"
  } cases[] = {
      {"up: the hit one before the caret", "word", 0, 0, 5, 4},
      {"up: not the hit at the caret", "word", 0, 0, 4, -1},
      {"up from the end", "word", 0, 0, 24, 15},
      {"up, case counts", "word", 0, 1, 24, 10},
      {"down from the caret takes the hit at it", "WORD", 1, 1, 15, 15},
      {"down, case counts", "WORD", 1, 1, 0, 15},
      {"down, any case", "WORD", 1, 0, 0, 4},
      {"up from the start", "abc", 0, 0, 0, -1},
  };
  for (const Case& c : cases) {
    shown.clear();
    Logfrm.Select(c.caret, 0);
    Search(c.find, c.direction, c.matchCase);
    FindInLog();
    if (c.hit < 0) {
      ASSERT_EQ(shown.size(), 1u) << c.what;
      EXPECT_EQ(shown[0].text, "Cannot find \"" + c.find + "\"") << c.what;
    } else {
      EXPECT_TRUE(shown.empty()) << c.what;
      EXPECT_EQ(Logfrm.SelStart(), c.hit) << c.what;
      EXPECT_EQ(Logfrm.LogTxt.SelLength(), static_cast<int>(c.find.size())) << c.what;
    }
  }
}

TEST_F(FindTest, TheDialogEditsTheOptionsAndHoldsTheReport) {
  Logfrm.LogTxt.SetText("first alpha\r\nsecond alpha\r\n");
  // The first dialog of the run opens on "Up"; a search up from the start finds nothing.
  EXPECT_EQ(FindDirection, 0);
  Logfrm.Select(0, 0);
  Logfrm.Toolbar1.ClickButton(6);  // "Find Next" with no text opens the dialog
  ASSERT_TRUE(frmFind.Visible());
  EXPECT_EQ(frmFind.Caption(), "Find");
  EXPECT_TRUE(frmFind.optDirection0.Value());
  EXPECT_FALSE(frmFind.optDirection1.Value());
  EXPECT_FALSE(frmFind.cmdFind.Enabled()) << "nothing to find yet";
  EXPECT_FALSE(IsWindowEnabled(Logfrm.hwnd())) << "the report waits while the dialog is open";
  EXPECT_EQ(GetWindow(frmFind.hwnd(), GW_OWNER), Logfrm.hwnd());
  EXPECT_EQ(frmFind.Tips.Text(frmFind.cmdcancel), "Return to Notepad");
  EXPECT_EQ(frmFind.Tips.Text(frmFind.optDirection0), "Search to Beginning of Document");
  frmFind.Text1.SetText("alpha");
  frmFind.Text1_Change();
  EXPECT_TRUE(frmFind.cmdFind.Enabled());
  frmFind.cmdFind.PerformClick();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, "Cannot find \"alpha\"");

  // Down, by the dialog's options: Enter presses "&Find", the dialog stays.
  frmFind.optDirection1.SetValue(true);
  frmFind.optDirection_Click(1);
  frmFind.chkCase.SetValue(true);
  frmFind.chkCase_Click();
  EXPECT_EQ(MatchCase, 1);
  frmFind.Text1.SetFocus();
  PostMessageA(frmFind.Text1.hwnd(), WM_KEYDOWN, VK_RETURN, 0);
  testsupport::PumpUntil([] { return Logfrm.SelStart() == 6; }, 3000);
  EXPECT_EQ(Logfrm.SelStart(), 6);
  EXPECT_TRUE(frmFind.Loaded());

  // Cancel (Esc) keeps the typed text for "Find Next".
  frmFind.Text1.SetText("second");
  frmFind.Text1.SetFocus();
  PostMessageA(frmFind.Text1.hwnd(), WM_KEYDOWN, VK_ESCAPE, 0);
  testsupport::PumpUntil([] { return !frmFind.Loaded(); }, 3000);
  ASSERT_FALSE(frmFind.Loaded());
  EXPECT_EQ(FindText, "second");
  EXPECT_TRUE(IsWindowEnabled(Logfrm.hwnd()));
  Logfrm.Select(0, 0);
  Logfrm.FindNext();
  EXPECT_EQ(Logfrm.SelStart(), 13);

  // Over a selection the dialog starts with it; the close box keeps the old text.
  Logfrm.Select(0, 5);
  Logfrm.NewFind();
  EXPECT_EQ(frmFind.Text1.Text(), "first");
  EXPECT_TRUE(frmFind.cmdFind.Enabled());
  EXPECT_TRUE(frmFind.chkCase.Value());
  EXPECT_TRUE(frmFind.optDirection1.Value());
  frmFind.Close();
  EXPECT_FALSE(frmFind.Loaded());
  EXPECT_EQ(FindText, "second");
  EXPECT_TRUE(IsWindowEnabled(Logfrm.hwnd()));

  // The report's unload takes the dialog along.
  Logfrm.NewFind();
  Logfrm.Unload();
  EXPECT_FALSE(frmFind.Loaded());
}

// "Fi&nd What:" shows as "Find What:" (N underlined), not with a literal "&": the
// label's text on the screen ends where "Find What:" ends.
TEST_F(FindTest, TheLabelShowsNoLiteralAmpersand) {
  Logfrm.Show();
  Logfrm.NewFind();
  ASSERT_TRUE(frmFind.Visible());
  SetForegroundWindow(frmFind.hwnd());
  testsupport::PumpUntil([] { return GetForegroundWindow() == frmFind.hwnd(); });
  testsupport::PumpUntilIdle();
  const HWND label = frmFind.Label1.hwnd();
  auto width = [label](const char* text) {
    HDC dc = GetDC(label);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32A(dc, text, static_cast<int>(strlen(text)), &size);
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    return static_cast<int>(size.cx);
  };
  RECT client{};
  GetClientRect(label, &client);
  POINT origin{0, 0};
  ClientToScreen(label, &origin);
  HDC screen = GetDC(nullptr);
  int rightmost = -1;
  for (int x = 0; x < client.right; ++x)
    for (int y = 0; y < client.bottom; ++y) {
      const COLORREF c = GetPixel(screen, origin.x + x, origin.y + y);
      if (c != CLR_INVALID && GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 96) rightmost = x;
    }
  ReleaseDC(nullptr, screen);
  const int plain = width("Find What:"), literal = width("Fi&nd What:");
  ASSERT_GT(literal, plain);
  EXPECT_LT(rightmost, (plain + literal) / 2) << "drawn as far as \"Fi&nd What:\" reaches";
  EXPECT_GE(rightmost, plain - 8);
}

}  // namespace reporttest
