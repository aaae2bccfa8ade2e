#include "DialogAnswer.h"
#include "ModMainPlatform.h"
#include "ReportSupport.h"
#include "ViewBindings.h"
#include "modprinting.h"

namespace reporttest {
namespace {

// A printer of 600 dots per inch on a letter page, that records what it is asked.
class PrintTest : public ReportTest {
 protected:
  void SetUp() override {
    ReportTest::SetUp();
    Build({});
    box = Logfrm.LogTxt.hwnd();
    Printer.PrintDlg = [this](PRINTDLGA* d) {
      ++dialogs;
      flags = d->Flags;
      if (!dialogAnswer) return FALSE;
      d->hDC = fakeDc;
      d->nCopies = static_cast<WORD>(copies);
      return TRUE;
    };
    Printer.StartDoc = [this](HDC, const DOCINFOA*) { return log("doc"), 1; };
    Printer.StartPage = [this](HDC) {
      log("page");
      if (failPage && ++pagesStarted == failPage) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
      }
      return 1;
    };
    Printer.EndPage = [this](HDC) { return log("endpage"), 1; };
    Printer.EndDoc = [this](HDC) { return log("enddoc"), 1; };
    Printer.AbortDoc = [this](HDC) { return log("abort"), 1; };
    Printer.DeleteDC = [this](HDC) { return log("delete"), TRUE; };
    Printer.GetDeviceCaps = [](HDC, int index) {
      switch (index) {
        case LOGPIXELSX: case LOGPIXELSY: return 600;
        case PHYSICALOFFSETX: return 60;
        case PHYSICALOFFSETY: return 30;
        case PHYSICALWIDTH: return 5100;
        case PHYSICALHEIGHT: return 6600;
        case HORZRES: return 4980;
        case VERTRES: return 6480;
        default: return 0;
      }
    };
    // A formatter that fits `perPage` characters on a page.
    Printer.FormatRange = [this](HWND, WPARAM render, FORMATRANGE* range) -> LRESULT {
      if (!range) return log("release"), 0;
      EXPECT_EQ(render, 1u);
      ranges.push_back(*range);
      log("format");
      const LRESULT length = SendMessageA(box, WM_GETTEXTLENGTH, 0, 0);
      return std::min<LRESULT>(range->chrg.cpMin + perPage, length);
    };
  }
  void TearDown() override {
    ResetPrinterCalls();
    ReportTest::TearDown();
  }
  void log(const char* what) { calls += std::string(calls.empty() ? "" : " ") + what; }

  HWND box = nullptr;
  HDC fakeDc = reinterpret_cast<HDC>(0x1234);
  int dialogs = 0, copies = 1, failPage = 0, pagesStarted = 0;
  DWORD flags = 0;
  bool dialogAnswer = true;
  LRESULT perPage = 1000;
  std::string calls;
  std::vector<FORMATRANGE> ranges;
};

}  // namespace

TEST_F(PrintTest, PagesFollowTheFormatterWithMarginsInsideThePrintableArea) {
  Logfrm.LogTxt.SetText(std::string(2500, 'x'));
  EXPECT_EQ(PrintRichText(box, fakeDc, 1440, 1440, 1440, 1440), 0u);
  EXPECT_EQ(calls, "doc page format endpage page format endpage page format endpage enddoc release");
  ASSERT_EQ(ranges.size(), 3u);
  EXPECT_EQ(ranges[0].chrg.cpMin, 0);
  EXPECT_EQ(ranges[1].chrg.cpMin, 1000);
  EXPECT_EQ(ranges[2].chrg.cpMin, 2000);
  EXPECT_EQ(ranges[0].chrg.cpMax, -1);
  // Offsets 60 and 30 dots are 144 and 72 twips; the page 12240 x 15840 twips.
  const RECT rc = ranges[0].rc, page = ranges[0].rcPage;
  EXPECT_EQ(rc.left, 1440 - 144);
  EXPECT_EQ(rc.top, 1440 - 72);
  EXPECT_EQ(rc.right, 12240 - 1440 - 144);
  EXPECT_EQ(rc.bottom, 15840 - 1440 - 72);
  EXPECT_EQ(page.right, 4980 * 1440 / 600);
  EXPECT_EQ(page.bottom, 6480 * 1440 / 600);
  EXPECT_EQ(ranges[0].hdc, fakeDc);
  EXPECT_EQ(ranges[0].hdcTarget, fakeDc);
}

TEST_F(PrintTest, AnEmptyBoxOrAStuckFormatterEndsAfterOnePage) {
  Logfrm.LogTxt.SetText("");
  EXPECT_EQ(PrintRichText(box, fakeDc, 1440, 1440, 1440, 1440), 0u);
  EXPECT_EQ(calls, "doc page format endpage enddoc release") << "one blank page, two calls";

  // A formatter that lays out nothing (Wine's stub answers 0) would loop for ever.
  calls.clear();
  Logfrm.LogTxt.SetText("some text\r\nmore");
  perPage = 0;
  EXPECT_EQ(PrintRichText(box, fakeDc, 1440, 1440, 1440, 1440), 0u);
  EXPECT_EQ(calls, "doc page format endpage enddoc release");

  // The real control, rendering into a metafile.
  ResetPrinterCalls();
  HDC meta = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(meta, nullptr);
  int pages = 0;
  Printer.StartDoc = [](HDC, const DOCINFOA*) { return 1; };
  Printer.StartPage = [&](HDC) { return ++pages, 1; };
  Printer.EndPage = [](HDC) { return 1; };
  Printer.EndDoc = [](HDC) { return 1; };
  Logfrm.LogTxt.SetText(std::string(5000, 'y'));
  EXPECT_EQ(PrintRichText(box, meta, 1440, 1440, 1440, 1440), 0u);
  EXPECT_GE(pages, 1);
  EXPECT_LT(pages, 100) << "it stops";
  DeleteEnhMetaFile(CloseEnhMetaFile(meta));
}

TEST_F(PrintTest, APageThatFailsAbortsTheJobAndSaysWhy) {
  Logfrm.LogTxt.SetText(std::string(2500, 'x'));
  failPage = 2;
  EXPECT_EQ(PrintRichText(box, fakeDc, 1440, 1440, 1440, 1440), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
  EXPECT_EQ(calls, "doc page format endpage page abort release");

  calls.clear();
  pagesStarted = 0;
  Logfrm.Toolbar1.ClickButton(4);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, SystemErrorText(ERROR_NOT_ENOUGH_MEMORY));
  EXPECT_TRUE(shown[0].style & MB_ICONEXCLAMATION);
  EXPECT_EQ(calls, "doc page format endpage page abort release delete") << "one job, the DC freed";
}

TEST_F(PrintTest, PrintRunsOneJobPerCopyAndACancelPrintsNothing) {
  Logfrm.LogTxt.SetText("short");
  copies = 3;
  Logfrm.Toolbar1.ClickButton(4);
  EXPECT_EQ(dialogs, 1);
  EXPECT_EQ(flags, static_cast<DWORD>(PD_HIDEPRINTTOFILE | PD_COLLATE | PD_NOPAGENUMS | PD_NOSELECTION | PD_RETURNDC));
  const std::string job = "doc page format endpage enddoc release";
  EXPECT_EQ(calls, job + " " + job + " " + job + " delete");
  EXPECT_EQ(Logfrm.SBar.PanelText(0), "");
  EXPECT_TRUE(shown.empty());

  calls.clear();
  dialogAnswer = false;
  Logfrm.Toolbar1.ClickButton(4);
  EXPECT_EQ(calls, "");
  EXPECT_TRUE(shown.empty());
}

}  // namespace reporttest

namespace reporttest {

TEST_F(PrintTest, WithoutAPrinterTheSystemsBoxIsAllThatShows) {
  Logfrm.LogTxt.SetText("text");
  Printer.PrintDlg = [](PRINTDLGA* d) { return PrintDlgA(d); };
  {
    // Wine says there is no printer in a box of its own and the dialog answers FALSE;
    // a machine with a printer shows the dialog, which is cancelled.
    BoxAnswer answer(IDCANCEL);
    Logfrm.PrintText();
    EXPECT_TRUE(answer.seen);
    EXPECT_EQ(answer.caption, "Print");
  }
  EXPECT_EQ(calls, "") << "nothing printed";
  EXPECT_TRUE(shown.empty()) << "no message of ours";
}

TEST_F(PrintTest, ALongReportIsReplacedWholeInABoxMadeAnew) {
  Logfrm.Toolbar1.ClickButton(7);
  std::string longText;
  while (longText.size() < 100000) longText += std::string(78, 'z') + "\r\n";
  Logfrm.LogTxt.ReplaceAll(longText);
  EXPECT_EQ(Logfrm.LogTxt.TextLength(), static_cast<int>(longText.size())) << "the limit is raised";
  const HWND before = Logfrm.LogTxt.hwnd();
  Logfrm.LogTxt.ReplaceAll("short\r\ntext");
  EXPECT_NE(Logfrm.LogTxt.hwnd(), before) << "made anew";
  EXPECT_EQ(Logfrm.LogTxt.Text(), "short\r\ntext");
  EXPECT_TRUE(GetWindowLongPtrA(Logfrm.LogTxt.hwnd(), GWL_STYLE) & ES_READONLY);
  EXPECT_EQ(Logfrm.LogTxt.RightMargin(), 10773);
  EXPECT_EQ(Views.report.txtLog, &Logfrm.LogTxt);
  Logfrm.LogTxt.ReplaceAll(longText + "end");
  EXPECT_EQ(Logfrm.LogTxt.TextLength(), static_cast<int>(longText.size()) + 3);
  Logfrm.WriteData();
  EXPECT_NE(Logfrm.LogTxt.Text().find("  -  End of Report -"), std::string::npos);
}

TEST_F(PrintTest, PrinterViewWrapsTheTextAtThePrintedWidth) {
  EXPECT_EQ(Logfrm.LogTxt.RightMargin(), 40000);
  Logfrm.Toolbar1.ClickButton(7);
  EXPECT_TRUE(Logfrm.Toolbar1.Value(7));
  EXPECT_EQ(Logfrm.LogTxt.RightMargin(), 10773);
  // Long lines now wrap inside the box: more lines than paragraphs.
  Logfrm.LogTxt.SetText(std::string(400, 'w') + "\r\nshort");
  EXPECT_GT(SendMessageA(box, EM_GETLINECOUNT, 0, 0), 2);
  Logfrm.Toolbar1.ClickButton(7);
  EXPECT_FALSE(Logfrm.Toolbar1.Value(7));
  EXPECT_EQ(Logfrm.LogTxt.RightMargin(), 40000);
}

}  // namespace reporttest
