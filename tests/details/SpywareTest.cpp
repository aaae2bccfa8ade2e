// The spyware list reader and the spyware search window: counts of every kind, the
// addresses a link builds, and the window against real files, the shell seam and
// real mouse input.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <fstream>

#include "DetailsFrm.h"
#include "Input.h"
#include "ModMainPlatform.h"
#include "ModStartupPlatform.h"
#include "ProgramState.h"
#include "Seams.h"
#include "SpywareListParse.h"
#include "SpywareSearchFrm.h"
#include "UiWait.h"
#include "VbRules.h"
#include "Window.h"

namespace {

std::string Record(const std::string& name, const std::string& start = "", const std::string& end = "",
                   const std::string& description = "", int16_t style = 0) {
  return EncodeSpywareLinkRecord({name, start, end, description, style});
}

std::string File(const std::string& count, int links) {
  std::string bytes = Record(count);
  for (int i = 1; i <= links; ++i)
    bytes += Record("Link " + std::to_string(i), "https://example.org/?q=", "", "About link " + std::to_string(i));
  return bytes;
}

TEST(SpywareListTest, TheHeaderCountAgainstTheRecordsThereAre) {
  struct Case {
    std::string count;
    size_t expected;
  } cases[] = {{"2", 2}, {"0", 0}, {"abc", 0}, {"-3", 0}, {"2.5", 2}, {"3.5", 3}, {"1.5", 2}, {"99999999", 3}, {"", 0}};
  for (const Case& c : cases) EXPECT_EQ(ParseSpywareList(File(c.count, 3)).size(), c.expected) << c.count;
  // A ragged end: the part record is no record.
  std::string ragged = File("3", 3);
  ragged.resize(ragged.size() - 10);
  EXPECT_EQ(ParseSpywareList(ragged).size(), 2u);
  EXPECT_TRUE(ParseSpywareList("").empty());
  EXPECT_TRUE(ParseSpywareList(std::string(819, ' ')).empty());
  const std::vector<SpywareLinkRecord> links = ParseSpywareList(File("2", 2));
  EXPECT_EQ(vb::Trim(links[1].Name), "Link 2");
  EXPECT_EQ(vb::Trim(links[1].Description), "About link 2");
}

TEST(SpywareListTest, TheStyleIsLittleEndianAtItsOffset) {
  const std::string bytes = Record("x", "", "", "", -1);
  ASSERT_EQ(bytes.size(), 820u);
  EXPECT_EQ(static_cast<unsigned char>(bytes[818]), 0xFF);
  EXPECT_EQ(static_cast<unsigned char>(bytes[819]), 0xFF);
  EXPECT_EQ(DecodeSpywareLinkRecord(Record("x", "", "", "", 0x0102).data()).NameStyle, 0x0102);
}

TEST(SpywareListTest, TheAddressALinkOpens) {
  struct Case {
    const char* start;
    const char* end;
    int16_t style;
    const char* file;
    const char* address;
  } cases[] = {
      {"http://a.org/?q=", "", -1, "setup.exe", "http://a.org/?q=setup"},
      {"http://a.org/?q=", "", 0, "setup.exe", "http://a.org/?q=setup.exe"},
      {"  https://a.org/?q=  ", "  &x=1  ", 0, "my setup.exe", "https://a.org/?q=my setup.exe&x=1"},
      {"HTTPS://a.org/", "", 5, "a.exe", "HTTPS://a.org/a.exe"},
      {"http://a.org/", "", -1, "abc", ""},      // too short to lose four characters
      {"http://a.org/", "", -1, "abcd", "http://a.org/"},
      {"", "", 0, "setup.exe", ""},              // the bare file name would run the program
      {"ftp://a.org/", "", 0, "setup.exe", ""},
      {"file://c:/", "", 0, "setup.exe", ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(SpywareLinkAddress({"n", c.start, c.end, "", c.style}, c.file), c.address) << c.start << c.file;
}

class SpywareFrmTest : public testing::Test {
 protected:
  void SetUp() override {
    ResetProgramState();
    IsWinNTFlag = true;
    seams::ShellExecuteFn = [this](const seams::ShellRequest& r) {
      opened.push_back(r.file);
      return true;
    };
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    list = std::string(temp) + "qp_spyware_test.dat";
    DeleteFileA(list.c_str());
    SpywareSearchFrm.ListFile = list;
  }
  void TearDown() override {
    ui::SetDockedBand(nullptr);
    SpywareSearchFrm.Unload();
    DetailsFrm.Unload();
    SpywareSearchFrm.ListFile.clear();
    DeleteFileA(list.c_str());
    seams::Reset();
  }
  void Write(const std::string& bytes) {
    std::ofstream out(list, std::ios::binary);
    out << bytes;
  }
  std::string list;
  std::vector<std::string> opened;
};

TEST_F(SpywareFrmTest, RowsTheFirstDescribedAndClicksOpenWebAddressesOnly) {
  Write(Record("2") + Record("  Minus  ", " http://s.org/?q= ", " &end ", "First link", -1) +
        Record("Whole", "https://w.org/", "", "Second link", 0) + Record("Extra", "http://x.org/"));
  SpywareSearchFrm.ShowSpywareSearchFrm("C:\\Tools\\setup.exe");
  ui::ListView& links = SpywareSearchFrm.LinksLV;
  ASSERT_EQ(links.ItemCount(), 2);
  EXPECT_EQ(links.ItemText(0), "Minus");
  EXPECT_TRUE(links.Selected(0));
  EXPECT_EQ(SpywareSearchFrm.ProcNameLbl.Text(), "setup.exe");
  EXPECT_EQ(SpywareSearchFrm.DescTxt.Text(), "Description: " + Record("", "", "", "First link").substr(562, 256));
  EXPECT_FALSE(SpywareSearchFrm.WaitTxt.Visible());

  SpywareSearchFrm.LinksLV_Click(0);
  SpywareSearchFrm.LinksLV_Click(1);
  ASSERT_EQ(opened.size(), 2u);
  EXPECT_EQ(opened[0], "http://s.org/?q=setup&end");
  EXPECT_EQ(opened[1], "https://w.org/setup.exe");

  // A short name with style -1, and a link whose address is no web address: nothing opens.
  Write(Record("2") + Record("Short", "http://s.org/", "", "", -1) + Record("Local", "", "", "", 0));
  SpywareSearchFrm.ShowSpywareSearchFrm("C:\\a.b");
  SpywareSearchFrm.LinksLV_Click(0);
  SpywareSearchFrm.LinksLV_Click(1);
  SpywareSearchFrm.LinksLV_Click(5);
  EXPECT_EQ(opened.size(), 2u);
}

// A user's click on a link shows its own description, and it stays after the link opened.
TEST_F(SpywareFrmTest, AClickedLinkKeepsItsDescription) {
  Write(Record("2") + Record("One", "http://one.org/", "", "First link", 0) +
        Record("Two", "http://two.org/", "", "Second link", 0));
  SpywareSearchFrm.ShowSpywareSearchFrm("C:\\Tools\\setup.exe");
  ui::ListView& links = SpywareSearchFrm.LinksLV;
  ASSERT_EQ(links.ItemCount(), 2);
  SetForegroundWindow(SpywareSearchFrm.hwnd());
  for (int row : {1, 0}) {
    SCOPED_TRACE(row);
    RECT r = {};
    r.left = LVIR_LABEL;
    SendMessageA(links.hwnd(), LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
    const size_t before = opened.size();
    testsupport::ClickAt(links.hwnd(), r.left + 10, (r.top + r.bottom) / 2);
    ASSERT_TRUE(testsupport::PumpUntil([&] { return opened.size() > before; }, 5000));
    // Still there once no second click could make a double click of it.
    testsupport::PassDoubleClickTime();
    EXPECT_EQ(SpywareSearchFrm.DescTxt.Text(),
              "Description: " + Record("", "", "", row == 1 ? "Second link" : "First link").substr(562, 256));
  }
  EXPECT_EQ(opened, (std::vector<std::string>{"http://two.org/setup.exe", "http://one.org/setup.exe"}));
}

TEST_F(SpywareFrmTest, AMissingFileStaysMissingAndAHeldOneStillLists) {
  SpywareSearchFrm.ShowSpywareSearchFrm("C:\\x.exe");
  EXPECT_EQ(SpywareSearchFrm.LinksLV.ItemCount(), 0);
  EXPECT_EQ(SpywareSearchFrm.DescTxt.Text(), "Description: ");
  EXPECT_EQ(GetFileAttributesA(list.c_str()), INVALID_FILE_ATTRIBUTES) << "reading created the file";

  Write(File("2", 2));
  // Held by another handle that shares reading only.
  HANDLE held = CreateFileA(list.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                            nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  SpywareSearchFrm.ShowSpywareSearchFrm("C:\\x.exe");
  CloseHandle(held);
  EXPECT_EQ(SpywareSearchFrm.LinksLV.ItemCount(), 2);
}

TEST_F(SpywareFrmTest, PlacedBottomRightKeptOnTopAndDraggedByItsStrip) {
  Write(File("1", 1));
  SpywareSearchFrm.ShowSpywareSearchFrm("C:\\x.exe");
  HWND window = SpywareSearchFrm.hwnd();
  RECT r;
  GetWindowRect(window, &r);
  const int tx = vb::TwipsPerPixelX(), ty = vb::TwipsPerPixelY();
  // The corner the maximized size gives, kept on the work area: under Wine on a bare
  // display the maximized size passes the screen (806 on 768 lines).
  const RECT work = ui::OpenWorkArea();
  EXPECT_EQ(r.left, std::min<LONG>((GetSystemMetrics(SM_CXMAXIMIZED) * tx - (r.right - r.left) * tx - 400) / tx,
                                   work.right - (r.right - r.left)));
  EXPECT_EQ(r.top, std::min<LONG>((GetSystemMetrics(SM_CYMAXIMIZED) * ty - (r.bottom - r.top) * ty - 100) / ty,
                                  work.bottom - (r.bottom - r.top)));
  EXPECT_TRUE(GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
  UpdateWindow(window);
  POINT background = {SpywareSearchFrm.ScaleWidth() - 4, 60};
  ClientToScreen(window, &background);
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(GetPixel(screen, background.x, background.y), RGB(255, 246, 247));
  ReleaseDC(nullptr, screen);

  // The timer keeps it on top every 250 ms. (Wine 8 does not give WS_EX_TOPMOST back to
  // a window that lost it through HWND_NOTOPMOST, so only the timer itself is checked.)
  EXPECT_TRUE(SpywareSearchFrm.Timer1.Enabled());
  EXPECT_EQ(SpywareSearchFrm.Timer1.Interval(), 250u);
  SpywareSearchFrm.Timer1_Timer();
  EXPECT_TRUE(GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_TRUE(IsWindowVisible(window));

  // A real drag on the top strip moves the window with the pointer.
  SetWindowPos(window, nullptr, 200, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  GetWindowRect(window, &r);
  HWND strip = SpywareSearchFrm.TopImg.hwnd();
  testsupport::MoveMouseTo(strip, 10, 30);
  testsupport::PumpUntilIdle();
  INPUT down = {};
  down.type = INPUT_MOUSE;
  down.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  SendInput(1, &down, sizeof down);
  testsupport::PumpUntilIdle();
  testsupport::MoveMouseTo(strip, 60, 50);  // 50 right, 20 down
  testsupport::PumpUntilIdle();
  INPUT up = down;
  up.mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(1, &up, sizeof up);
  RECT moved;
  testsupport::PumpUntil([&] {
    GetWindowRect(window, &moved);
    return moved.left - r.left == 50 && moved.top - r.top == 20;
  }, 3000);
  EXPECT_EQ(moved.left - r.left, 50);
  EXPECT_EQ(moved.top - r.top, 20);
}

// Both windows open whole on the work area and clear of a docked bar, whatever place
// their own rule gives them; the search window's Details button can be reached.
TEST_F(SpywareFrmTest, BothWindowsOpenWholeOnTheWorkAreaClearOfTheBar) {
  Write(File("1", 1));
  RECT work = {};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  const RECT bands[] = {{work.left, work.top, work.right, work.top + 32},
                        {work.left, work.bottom - 32, work.right, work.bottom}};
  for (const RECT& band : bands) {
    SCOPED_TRACE(band.top);
    ui::SetDockedBand(&band);
    SpywareSearchFrm.ShowSpywareSearchFrm("C:\\x.exe");
    SpywareSearchFrm.detailsBtn_Click();
    for (HWND window : {SpywareSearchFrm.hwnd(), DetailsFrm.hwnd()}) {
      RECT r = {}, overlap = {};
      GetWindowRect(window, &r);
      const std::string where = testsupport::WindowText(window) + " at " + std::to_string(r.left) + "," +
                                std::to_string(r.top) + " - " + std::to_string(r.right) + "," + std::to_string(r.bottom);
      EXPECT_TRUE(IsWindowVisible(window)) << where;
      EXPECT_TRUE(r.left >= work.left && r.top >= work.top && r.right <= work.right && r.bottom <= work.bottom) << where;
      EXPECT_FALSE(IntersectRect(&overlap, &r, &band)) << where;
    }
    RECT button = {};
    GetWindowRect(SpywareSearchFrm.detailsBtn.hwnd(), &button);
    EXPECT_LE(button.bottom, work.bottom);
    SpywareSearchFrm.Unload();
    DetailsFrm.Unload();
  }
  ui::SetDockedBand(nullptr);
}

// What a user sees on the strip: the title in white on the dark strip, and the close
// button, which a real click on it answers by closing the window.
TEST_F(SpywareFrmTest, TheTitleReadsAndARealClickOnTheCloseButtonCloses) {
  Write(File("1", 1));
  SpywareSearchFrm.ShowSpywareSearchFrm("C:\\x.exe");
  HWND window = SpywareSearchFrm.hwnd();
  SetForegroundWindow(window);
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  testsupport::PumpUntilForeground(window);
  testsupport::PumpUntilIdle();
  const ui::Bounds title = SpywareSearchFrm.ScreenLabel.GetBounds();
  HDC screen = GetDC(nullptr);
  int white = 0, dark = 0;
  for (int y = title.y; y < title.y + title.height; ++y)
    for (int x = title.x; x < title.x + 120; ++x) {
      POINT at = {x, y};
      ClientToScreen(window, &at);
      const COLORREF c = GetPixel(screen, at.x, at.y);
      if (c == RGB(255, 255, 255)) ++white;
      if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 200) ++dark;
    }
  ReleaseDC(nullptr, screen);
  EXPECT_GT(white, 40) << "white letters";
  EXPECT_GT(dark, 120 * title.height / 2) << "on a dark strip";

  HWND close = SpywareSearchFrm.asxToolbarClose.hwnd();
  RECT r = {};
  GetWindowRect(close, &r);
  const POINT middle = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  EXPECT_EQ(WindowFromPoint(middle), close) << "the close button is in front, not under the strip";
  const RECT button = SpywareSearchFrm.asxToolbarClose.ButtonRect(1);
  testsupport::ClickAt(close, (button.left + button.right) / 2, (button.top + button.bottom) / 2);
  EXPECT_TRUE(testsupport::PumpUntil([] { return !SpywareSearchFrm.Loaded(); }, 3000)) << "a click closes it";
}

TEST_F(SpywareFrmTest, DetailsOpensTheProgramAndTheCloseButtonUnloads) {
  Write(File("1", 1));
  const std::string path = "C:\\nowhere\\ghost.exe";
  SpywareSearchFrm.ShowSpywareSearchFrm(path);
  SpywareSearchFrm.detailsBtn_Click();
  EXPECT_TRUE(DetailsFrm.Visible());
  EXPECT_EQ(DetailsFrm.CurrentPath, path);
  EXPECT_EQ(DetailsFrm.ProgIntNameLbl.Text().find(" (the program is not active)") != std::string::npos, true);
  SpywareSearchFrm.asxToolbarClose.ClickButton("CloseButton");
  EXPECT_FALSE(SpywareSearchFrm.Loaded());
}

TEST_F(SpywareFrmTest, TheShippedFileReadsThroughTheProgramsReader) {
  SpywareSearchFrm.ListFile = testsupport::BinDir() + "\\spywarelist.dat";
  SpywareSearchFrm.ShowSpywareSearchFrm("C:\\Tools\\setup.exe");
  ASSERT_GE(SpywareSearchFrm.LinksLV.ItemCount(), 2);
  bool minus = false, whole = false;
  for (size_t i = 0; i < SpywareSearchFrm.Links.size(); ++i) {
    const std::string address = SpywareLinkAddress(SpywareSearchFrm.Links[i], "setup.exe");
    EXPECT_EQ(address.compare(0, 8, "https://"), 0) << address;
    minus = minus || SpywareSearchFrm.Links[i].NameStyle == -1;
    whole = whole || SpywareSearchFrm.Links[i].NameStyle == 0;
    EXPECT_FALSE(SpywareSearchFrm.LinksLV.ItemText(static_cast<int>(i)).empty());
  }
  EXPECT_TRUE(minus && whole) << "both name styles are used";
}

}  // namespace
