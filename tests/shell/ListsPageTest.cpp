// The lists page inside the frame, driven as a user drives it: real mouse drags,
// clicks and keys on the real windows, and what the user sees checked on the screen.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "ApplyGlobalSettings.h"
#include "ConInfoFrm.h"
#include "FirstTimeFrm.h"
#include "Fixture.h"
#include "Input.h"
#include "InterfaceFrm.h"
#include "Mainfrm.h"
#include "ProcCPUFrm.h"
#include "MainfrmPictures.h"
#include "ModMain.h"
#include "ModProcMon.h"
#include "ModProgInfo.h"
#include "ModSettings.h"
#include "ModStartup.h"
#include "ModWndOpr.h"
#include "MoreToolsFrm.h"
#include "Registry.h"
#include "Seams.h"
#include "ShellTestSupport.h"
#include "TextFit.h"
#include "UiWait.h"
#include "VbRules.h"

using shelltest::FrameTest;
using shelltest::MenuWatcher;
using shelltest::PostedAction;
using testsupport::Fixture;
using testsupport::FixtureFolder;
using testsupport::PumpUntil;

namespace {

RECT ScreenRect(HWND hwnd) {
  RECT r;
  GetWindowRect(hwnd, &r);
  return r;
}

int Height(HWND hwnd) {
  const RECT r = ScreenRect(hwnd);
  return r.bottom - r.top;
}

// What the screen shows of a window, pixel by pixel.
class ScreenShot {
 public:
  explicit ScreenShot(HWND hwnd) {
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    rect_ = ScreenRect(hwnd);
    HDC screen = GetDC(nullptr);
    dc_ = CreateCompatibleDC(screen);
    bitmap_ = CreateCompatibleBitmap(screen, Width(), HeightOf());
    old_ = SelectObject(dc_, bitmap_);
    BitBlt(dc_, 0, 0, Width(), HeightOf(), screen, rect_.left, rect_.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
  }
  ~ScreenShot() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  int Width() const { return rect_.right - rect_.left; }
  int HeightOf() const { return rect_.bottom - rect_.top; }
  COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }
  // The pixels of a part given in screen coordinates.
  std::vector<COLORREF> Part(const RECT& screen) const {
    std::vector<COLORREF> pixels;
    for (int y = screen.top; y < screen.bottom; ++y)
      for (int x = screen.left; x < screen.right; ++x) pixels.push_back(At(x - rect_.left, y - rect_.top));
    return pixels;
  }
  int Count(COLORREF colour) const {
    int n = 0;
    for (int y = 0; y < HeightOf(); ++y)
      for (int x = 0; x < Width(); ++x) n += At(x, y) == colour;
    return n;
  }

 private:
  RECT rect_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
};

RECT ButtonOnScreen(const ui::ButtonBar& bar, int index) {
  RECT r = bar.ButtonRect(index);
  MapWindowPoints(bar.hwnd(), nullptr, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

class ListsPageTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    AppList = "111111111111";
    WndList = "1111111111";
    ColumnsPending = true;
    ApplyPendingColumns();
    folder = std::make_unique<FixtureFolder>("page");
    Mainfrm.ProgWndImgIndex = 2;
    Mainfrm.Toolbar3.SetValue("All", true);
  }
  void TearDown() override {
    folder.reset();
    if (Mainfrm.ProgWndImgIndex != 2) {
      Mainfrm.ProgWndImgIndex = 1;
      Mainfrm.Toolbar3_ButtonClick("All");
    }
    FrameTest::TearDown();
  }
  void Full() {
    now += 2000;
    Mainfrm.FastRef = false;
    Mainfrm.RefreshMe();
  }
  std::string Key(const std::string& name) {
    const int16_t i = Mainfrm.GetAppId(folder->PathOf(name));
    return i < 0 ? "" : ProgTable[static_cast<size_t>(i)][kProgPath];
  }
  int AppRow(const std::string& name) { return Mainfrm.AppLst.FindKey(Key(name)); }
  int WndRow(HWND h) { return Mainfrm.WndLst.FindKey("K" + WndHandleText(h)); }
  // The middle of a row's text, in the list's client area.
  POINT RowPoint(ui::ListView& list, int row) {
    RECT r = {LVIR_LABEL, 0, 0, 0};
    SendMessageA(list.hwnd(), LVM_ENSUREVISIBLE, row, FALSE);
    SendMessageA(list.hwnd(), LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
    return {r.left + 12, (r.top + r.bottom) / 2};
  }
  void ClickButton(ui::ButtonBar& bar, const std::string& key) {
    const POINT at = testsupport::Centre(bar.ButtonRect(bar.IndexOf(key)));
    testsupport::ClickAt(bar.hwnd(), at.x, at.y);
  }
  std::set<std::string> WindowKeys() {
    std::set<std::string> keys;
    for (int r = 0; r < Mainfrm.WndLst.ItemCount(); ++r) keys.insert(Mainfrm.WndLst.Key(r));
    return keys;
  }
  std::unique_ptr<FixtureFolder> folder;
};

// ---- the splitter

TEST_F(ListsPageTest, TheSplitterFollowsARealDragWithinItsBounds) {
  Settle();
  HWND bar = Mainfrm.ResizeBar.hwnd();
  RECT inner;
  GetClientRect(Mainfrm.hwnd(), &inner);
  const int appHeight = Height(Mainfrm.AppLst.hwnd());
  const int wndBottom = ScreenRect(Mainfrm.WndLst.hwnd()).bottom;

  // Over the bar the pointer is the north-south sizing arrow.
  const RECT r = ScreenRect(bar);
  const POINT grip = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  SetCursorPos(grip.x, grip.y + 40);
  Settle();
  testsupport::MoveMouseTo(bar, (r.right - r.left) / 2, (r.bottom - r.top) / 2);
  ASSERT_TRUE(PumpUntil([] { return GetCursor() == LoadCursor(nullptr, IDC_SIZENS); }, 2000))
      << "the pointer over the splitter";

  struct Step {
    int by;         // pixels the mouse moves, down when positive
    int expected;   // the program list's height after the drag, from the height before it
  };
  for (const Step& s : {Step{80, 80}, Step{-80, -80}, Step{-30, -30}, Step{30, 30}}) {
    SCOPED_TRACE("drag by " + std::to_string(s.by));
    const int before = Height(Mainfrm.AppLst.hwnd());
    const RECT at = ScreenRect(bar);
    const POINT from = {grip.x, (at.top + at.bottom) / 2};
    testsupport::DragMouse(from, {from.x, from.y + s.by});
    EXPECT_NEAR(Height(Mainfrm.AppLst.hwnd()), before + s.expected, 1);
    // The window list fills the rest, its bottom where it was; the splitter between.
    EXPECT_EQ(ScreenRect(Mainfrm.WndLst.hwnd()).bottom, wndBottom);
    EXPECT_EQ(ScreenRect(bar).top, ScreenRect(Mainfrm.AppLst.hwnd()).bottom);
    EXPECT_EQ(ScreenRect(Mainfrm.WndLst.hwnd()).top, ScreenRect(bar).bottom);
    EXPECT_EQ(GetCapture(), nullptr) << "the mouse is let go with the button";
  }
  EXPECT_NEAR(Height(Mainfrm.AppLst.hwnd()), appHeight, 1);

  // Far past either bound, the list stops short of it: between a tenth and four
  // fifths of the page's inner height.
  for (int by : {-600, 600}) {
    const RECT at = ScreenRect(bar);
    const POINT from = {grip.x, (at.top + at.bottom) / 2};
    testsupport::DragMouse(from, {from.x, std::max<LONG>(5, from.y + by)}, 16);
    const int height = Height(Mainfrm.AppLst.hwnd());
    EXPECT_GT(height, inner.bottom / 10) << by;
    EXPECT_LT(height, inner.bottom * 4 / 5) << by;
    EXPECT_NE(height, appHeight) << "moved toward the bound " << by;
  }
  // A mouse moving over the bar with no button down moves nothing.
  const int height = Height(Mainfrm.AppLst.hwnd());
  const RECT at = ScreenRect(bar);
  testsupport::MoveMouseTo(bar, 20, 2);
  Settle();
  SetCursorPos(at.left + 20, at.top + 60);
  Settle();
  EXPECT_EQ(Height(Mainfrm.AppLst.hwnd()), height);
}

// ---- keyboard selection and the context menu narrow the other list

TEST_F(ListsPageTest, KeysAndTheRightButtonNarrowTheWindowListBeforeTheMenuOpens) {
  Fixture& a = folder->Start("narrowa.exe", "plain");
  Fixture& b = folder->Start("narrowb.exe", "plain");
  Full();
  ASSERT_GE(AppRow("narrowa.exe"), 0);
  ASSERT_GE(AppRow("narrowb.exe"), 0);
  // Mode 1 by a real click: programs with only their windows.
  ClickButton(Mainfrm.Toolbar3, "ProgWnd");
  ASSERT_TRUE(PumpUntil([] { return Mainfrm.ProgWndImgIndex == 1; })) << "the view-mode button";

  // A row chosen with the keyboard narrows the window list to its program's windows.
  ui::ListView& apps = Mainfrm.AppLst;
  const int rowA = AppRow("narrowa.exe");
  apps.SetFocus();
  for (int r = 0; r < apps.ItemCount(); ++r) apps.SetSelected(r, false);
  const int start = rowA > 0 ? rowA - 1 : rowA + 1;
  apps.SetSelected(start, true);
  apps.SetFocusedRow(start);
  testsupport::PressKey(rowA > 0 ? VK_DOWN : VK_UP);
  ASSERT_TRUE(PumpUntil([&] { return WndRow(a.hwnd()) >= 0; })) << "the arrow key's row did not narrow";
  EXPECT_EQ(apps.SelectedRows(), std::vector<int>{rowA});
  EXPECT_EQ(WndRow(b.hwnd()), -1);
  EXPECT_EQ(WindowKeys(), std::set<std::string>{"K" + WndHandleText(a.hwnd())});

  // The context-menu key on the other program: the window list
  // is narrowed to its windows before the menu opens.
  std::set<std::string> whileOpen;
  {
    MenuWatcher menu({VK_ESCAPE}, [&] { whileOpen = WindowKeys(); });
    // Chosen without the item event (as code chooses): only the key narrows here.
    for (int r = 0; r < apps.ItemCount(); ++r) apps.SetSelected(r, r == AppRow("narrowb.exe"));
    apps.SetFocusedRow(AppRow("narrowb.exe"));
    apps.SetFocus();
    EXPECT_EQ(WndRow(b.hwnd()), -1) << "narrowed already";
    testsupport::PressKey(VK_APPS);
    const shelltest::ShownMenu& shown = menu.Wait();
    ASSERT_TRUE(shown.seen) << "no menu for the context-menu key";
    EXPECT_EQ(shown.items.front(), "More &Details...");
  }
  EXPECT_EQ(whileOpen, std::set<std::string>{"K" + WndHandleText(b.hwnd())});
}

// ---- one refresh at a time

TEST_F(ListsPageTest, FFivePressedDuringAViewModeReloadListsEachProgramOnce) {
  for (const char* name : {"oncea.exe", "onceb.exe", "oncec.exe", "onced.exe"}) folder->Start(name, "plain");
  Full();
  ClickButton(Mainfrm.Toolbar3, "ProgWnd");
  ASSERT_TRUE(PumpUntil([] { return Mainfrm.ProgWndImgIndex == 1; }));
  Mainfrm.AppLst.SetFocus();
  // The click on "All" starts the full reload; F5, sent with it, arrives while the
  // reload lets events run.
  const int before = Mainfrm.AppLst.ItemCount();
  ClickButton(Mainfrm.Toolbar3, "All");
  testsupport::PressKey(VK_F5);
  ASSERT_TRUE(PumpUntil([&] { return Mainfrm.ProgWndImgIndex == 2 && !Mainfrm.Refreshing; }));
  Settle();
  std::set<std::string> keys;
  for (int r = 0; r < Mainfrm.AppLst.ItemCount(); ++r) keys.insert(Mainfrm.AppLst.Key(r));
  EXPECT_EQ(keys.size(), static_cast<size_t>(Mainfrm.AppLst.ItemCount())) << "a program listed twice";
  EXPECT_EQ(Mainfrm.AppLst.ItemCount(), before);
  EXPECT_EQ(Mainfrm.AppLst.ItemCount(), ProgTableLast + 1);
  std::set<std::string> windows = WindowKeys();
  EXPECT_EQ(windows.size(), static_cast<size_t>(Mainfrm.WndLst.ItemCount())) << "a window listed twice";
}

// ---- the reload in steps

// What the lists must show once a reload is over: every program of the table once, a
// window once, the named program and window among them, and the start-up view with the
// new start-up entry marked running.
void ExpectListsFollowTheMachine(const std::string& program, HWND window, const std::string& startUpPath) {
  std::set<std::string> programs;
  for (int r = 0; r < Mainfrm.AppLst.ItemCount(); ++r) programs.insert(vb::LCase(Mainfrm.AppLst.Key(r)));
  EXPECT_EQ(programs.size(), static_cast<size_t>(Mainfrm.AppLst.ItemCount())) << "a program listed twice";
  EXPECT_EQ(Mainfrm.AppLst.ItemCount(), ProgTableLast + 1);
  EXPECT_EQ(programs.count(vb::LCase(program)), 1u) << "the program started last is missing";
  std::set<std::string> windows;
  for (int r = 0; r < Mainfrm.WndLst.ItemCount(); ++r) windows.insert(Mainfrm.WndLst.Key(r));
  EXPECT_EQ(windows.size(), static_cast<size_t>(Mainfrm.WndLst.ItemCount())) << "a window listed twice";
  EXPECT_EQ(windows.count("K" + WndHandleText(window)), 1u) << "its window is missing";
  const int16_t row = MoreToolsFrm.SearchStartUpLV(startUpPath);
  ASSERT_GT(row, 0) << "the start-up view missed the new entry";
  EXPECT_EQ(MoreToolsFrm.StartUpLV.SubItem(ui::ListView::FromOneBased(row), 4), "Running");
  EXPECT_FALSE(IsWindowVisible(Mainfrm.WaitLbl.hwnd())) << "the wait text stayed";
}

// F5 typed, and typed again while the reload is under way: the page takes the key
// between the reload's steps (its wait text up meanwhile), reloads once more, and ends
// with the lists and the start-up view as the machine stands.
TEST_F(ListsPageTest, FFiveTypedAgainWhileTheReloadRunsEndsWithEachProgramOnceAndTheStartUpViewCurrent) {
  for (const char* name : {"stepa.exe", "stepb.exe", "stepc.exe"}) folder->Start(name, "plain");
  Full();
  MoreToolsFrm.RefreshMe(false);  // read once, before the program starts with Windows
  const std::string path = vb::LCase(folder->PathOf("stepsup.exe"));
  testsupport::SetRegText(HKEY_CURRENT_USER, looptest::kRunPath, "QpStepsUp", path);
  HWND window = folder->Start("stepsup.exe", "plain").hwnd();
  now += 2000;
  Mainfrm.AppLst.SetFocus();
  testsupport::PressKey(VK_F5);
  const bool waitShown = PumpUntil([] { return Mainfrm.Refreshing && IsWindowVisible(Mainfrm.WaitLbl.hwnd()); });
  const bool stillLoading = Mainfrm.Refreshing;
  testsupport::PressKey(VK_F5);
  const bool done = PumpUntil([] { return !Mainfrm.Refreshing; }, 20000);
  testsupport::DeleteRegValueAt(HKEY_CURRENT_USER, looptest::kRunPath, "QpStepsUp");
  ASSERT_TRUE(done) << "the reload never ended";
  EXPECT_TRUE(waitShown) << "no wait text while the reload ran";
  EXPECT_TRUE(stillLoading) << "the reload ended before the second F5";
  ExpectListsFollowTheMachine(folder->PathOf("stepsup.exe"), window, path);
}

// A click on the page bar's "Quillon" button from the connection page reloads the lists in
// steps too (the reload the frame asks for): the program started meanwhile is listed,
// once, and the start-up view follows.
TEST_F(ListsPageTest, BackToTheListsByThePageBarTheyAndTheStartUpViewFollowTheMachine) {
  folder->Start("backa.exe", "plain");
  Full();
  MoreToolsFrm.RefreshMe(false);
  const std::string path = vb::LCase(folder->PathOf("backsup.exe"));
  testsupport::SetRegText(HKEY_CURRENT_USER, looptest::kRunPath, "QpBackSup", path);
  HWND window = folder->Start("backsup.exe", "plain").hwnd();
  // The new program's window came up over the frame; the user brings the frame back.
  SetForegroundWindow(InterfaceFrm.hwnd());
  SetWindowPos(InterfaceFrm.hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  Settle();
  const POINT other = testsupport::Centre(InterfaceFrm.Toolbar1.ButtonRect(InterfaceFrm.Toolbar1.IndexOf("ConInfo")));
  testsupport::ClickAt(InterfaceFrm.Toolbar1.hwnd(), other.x, other.y);
  ASSERT_TRUE(PumpUntil([] { return ConInfoFrm.Visible() && !Mainfrm.Visible() && !Mainfrm.Refreshing; }));
  ASSERT_LT(AppRow("backsup.exe"), 0) << "listed before the page came back";
  now += 2000;
  Mainfrm.FastRef = false;
  const POINT lists = testsupport::Centre(InterfaceFrm.Toolbar1.ButtonRect(InterfaceFrm.Toolbar1.IndexOf("Quillon")));
  testsupport::ClickAt(InterfaceFrm.Toolbar1.hwnd(), lists.x, lists.y);
  const bool done = PumpUntil([&] { return Mainfrm.Visible() && !Mainfrm.Refreshing && AppRow("backsup.exe") >= 0; }, 20000);
  Settle();
  testsupport::DeleteRegValueAt(HKEY_CURRENT_USER, looptest::kRunPath, "QpBackSup");
  ASSERT_TRUE(done) << "the lists did not follow: page shown " << Mainfrm.Visible() << ", refreshing "
                    << Mainfrm.Refreshing << ", program in the table " << Key("backsup.exe");
  ExpectListsFollowTheMachine(folder->PathOf("backsup.exe"), window, path);
}

// ---- the start-up list behind the risk column

TEST_F(ListsPageTest, ItsRefreshKeepsTheStartUpListAndWhatTheRatingReadsThereCurrent) {
  Full();
  MoreToolsFrm.RefreshMe(false);  // read once, before the program starts with Windows
  const std::string path = vb::LCase(folder->PathOf("startsup.exe"));
  testsupport::SetRegText(HKEY_CURRENT_USER, looptest::kRunPath, "QpStartsUp", path);
  folder->Start("startsup.exe", "plain");
  // The timed refresh of the page, as the main loop makes it.
  now += 2000;
  Mainfrm.FastRef = true;
  Mainfrm.RefreshMe();
  const int16_t row = MoreToolsFrm.SearchStartUpLV(path);
  testsupport::DeleteRegValueAt(HKEY_CURRENT_USER, looptest::kRunPath, "QpStartsUp");
  ASSERT_GT(row, 0) << "the start-up list missed a new entry";
  EXPECT_EQ(MoreToolsFrm.StartUpLV.SubItem(ui::ListView::FromOneBased(row), 4), "Running");
  EXPECT_TRUE(CheckStaticRisk(132, path)) << "the rating does not see that it starts with Windows";
}

// ---- owned message boxes

// With "Always On Top" the terminate question is owned by the frame: it shows above
// it, and the frame takes no input until it is answered.
TEST_F(ListsPageTest, TheTerminateQuestionIsOwnedByTheFrameAlsoAlwaysOnTop) {
  Fixture& a = folder->Start("askeda.exe", "plain");
  Full();
  InterfaceFrm.mnuSettingsTop_Click();
  ASSERT_TRUE(InterfaceFrm.mnuSettingsTop->Checked());
  ASSERT_TRUE(GetWindowLongA(InterfaceFrm.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  ProcWarn = 1;
  seams::MessageBoxFn = [](HWND owner, const std::string& text, const std::string& caption, UINT style) {
    return MessageBoxA(owner, text.c_str(), caption.c_str(), style);
  };
  ui::ListView& apps = Mainfrm.AppLst;
  const POINT row = RowPoint(apps, AppRow("askeda.exe"));
  testsupport::ClickAt(apps.hwnd(), row.x, row.y);
  ASSERT_TRUE(PumpUntil([&] { return apps.SelectedRows() == std::vector<int>{AppRow("askeda.exe")}; }));

  struct Seen {
    HWND box = nullptr, owner = nullptr;
    bool frameEnabled = true, boxTopmost = false, boxAboveFrame = false;
    std::string text;
  } seen;
  std::atomic<bool> done{false};
  std::thread user([&] {
    for (int i = 0; i < 300 && !seen.box; ++i) {
      seen.box = FindWindowA("#32770", "Quillon Pro");
      if (!seen.box || !IsWindowVisible(seen.box)) seen.box = nullptr, Sleep(20);
    }
    if (seen.box) {
      // Settled in front of the frame once it is the window in front.
      for (int i = 0; i < 150 && GetForegroundWindow() != seen.box; ++i) Sleep(20);
      seen.owner = GetWindow(seen.box, GW_OWNER);
      seen.frameEnabled = IsWindowEnabled(InterfaceFrm.hwnd()) != FALSE;
      seen.boxTopmost = (GetWindowLongA(seen.box, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
      for (HWND h = GetWindow(InterfaceFrm.hwnd(), GW_HWNDPREV); h; h = GetWindow(h, GW_HWNDPREV))
        if (h == seen.box) seen.boxAboveFrame = true;
      char text[512] = "";
      GetDlgItemTextA(seen.box, 0xFFFF, text, sizeof text);
      seen.text = text;
      PostMessageA(seen.box, WM_COMMAND, IDNO, 0);
    }
    done = true;
  });
  ClickButton(Mainfrm.ProgBar2, "Destroy");
  PumpUntil([&] { return done.load(); }, 10000);
  user.join();
  ASSERT_NE(seen.box, nullptr) << "no question";
  EXPECT_NE(seen.text.find("Are you sure"), std::string::npos) << seen.text;
  EXPECT_EQ(seen.owner, InterfaceFrm.hwnd());
  EXPECT_FALSE(seen.frameEnabled) << "the frame took input under its question";
  EXPECT_TRUE(seen.boxTopmost) << "the question is not above an always-on-top frame";
  EXPECT_TRUE(seen.boxAboveFrame) << "the question opened behind the frame";
  EXPECT_EQ(WaitForSingleObject(a.process(), 300), static_cast<DWORD>(WAIT_TIMEOUT)) << "No ends nothing";
  EXPECT_TRUE(PumpUntil([] { return IsWindowEnabled(InterfaceFrm.hwnd()) != FALSE; }));
}

// ---- what the bars show

TEST_F(ListsPageTest, EveryCommandButtonShowsItsOwnPictureAndACaptionThatFits) {
  Settle();
  std::vector<std::vector<COLORREF>> faces;
  for (ui::ButtonBar* bar : {&Mainfrm.ProgBar1, &Mainfrm.ProgBar2, &Mainfrm.WndBar1, &Mainfrm.WndBar2}) {
    HDC dc = GetDC(bar->hwnd());
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(bar->hwnd(), WM_GETFONT, 0, 0)));
    for (int i = 1; i <= bar->Count(); ++i) {
      const std::string caption = bar->Caption(bar->Key(i));
      SIZE text = {};
      GetTextExtentPoint32A(dc, caption.c_str(), static_cast<int>(caption.size()), &text);
      const RECT r = bar->ButtonRect(i);
      EXPECT_LE(text.cx + 4, r.right - r.left) << caption << " is clipped";
      EXPECT_NE(caption, bar->ToolTip(bar->Key(i)).substr(0, caption.size()) + "...");
      // The picture the button shows, pixel by pixel.
      HBITMAP picture = bar->Picture(bar->Key(i));
      ASSERT_NE(picture, nullptr) << caption << " has no picture";
      std::vector<COLORREF> pixels(24 * 24);
      HDC memory = CreateCompatibleDC(dc);
      HGDIOBJ was = SelectObject(memory, picture);
      for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x) pixels[static_cast<size_t>(y * 24 + x)] = GetPixel(memory, x, y);
      SelectObject(memory, was);
      DeleteDC(memory);
      faces.push_back(pixels);
    }
    SelectObject(dc, old);
    ReleaseDC(bar->hwnd(), dc);
    ScreenShot shot(bar->hwnd());
    EXPECT_EQ(shot.Count(ui::kPictureMask), 0) << "the mask colour shows on a bar";
  }
  // No two buttons show the same picture.
  int same = 0;
  for (size_t i = 0; i < faces.size(); ++i)
    for (size_t j = i + 1; j < faces.size(); ++j) same += faces[i] == faces[j];
  EXPECT_EQ(same, 0) << "buttons that look alike";
  // Terminate and Terminate and Restart: told apart by picture and caption.
  EXPECT_NE(Mainfrm.ProgBar2.Caption("Destroy"), Mainfrm.ProgBar1.Caption("DestroyAndRes"));
  EXPECT_NE(Mainfrm.WndBar1.Caption("Destroy"), Mainfrm.WndBar2.Caption("DestAndRes"));
}

TEST_F(ListsPageTest, TheViewModeButtonShowsEachModesPicture) {
  Settle();
  auto face = [](const std::string& key) {
    ScreenShot shot(Mainfrm.Toolbar3.hwnd());
    const RECT r = ButtonOnScreen(Mainfrm.Toolbar3, Mainfrm.Toolbar3.IndexOf(key));
    return shot.Part({r.left + 3, r.top + 3, r.right - 3, r.top + 28});
  };
  std::vector<std::vector<COLORREF>> modes(5);
  modes[2] = face("ProgWnd");
  const std::vector<COLORREF> allDown = face("All");
  for (int mode : {1, 3, 1}) {
    ClickButton(Mainfrm.Toolbar3, "ProgWnd");
    ASSERT_TRUE(PumpUntil([&] { return Mainfrm.ProgWndImgIndex == mode && !Mainfrm.Refreshing; })) << mode;
    Settle();
    modes[mode] = face("ProgWnd");
    EXPECT_EQ(Mainfrm.Toolbar3.Picture("ProgWnd"), ModePicture(mode));
    EXPECT_EQ(Mainfrm.Toolbar3.Picture("All"), ModePicture(6));
  }
  ClickButton(Mainfrm.Toolbar3, "ProgWnd");  // 1 -> 3
  ASSERT_TRUE(PumpUntil([&] { return Mainfrm.ProgWndImgIndex == 3 && !Mainfrm.Refreshing; }));
  ClickButton(Mainfrm.Toolbar3, "All");  // 3 -> 4
  ASSERT_TRUE(PumpUntil([&] { return Mainfrm.ProgWndImgIndex == 4 && !Mainfrm.Refreshing; }));
  Settle();
  modes[4] = face("ProgWnd");
  EXPECT_EQ(face("All"), allDown);
  for (int i = 1; i <= 4; ++i)
    for (int j = i + 1; j <= 4; ++j) EXPECT_NE(modes[i], modes[j]) << "modes " << i << " and " << j << " look alike";
  ScreenShot shot(Mainfrm.Toolbar3.hwnd());
  EXPECT_EQ(shot.Count(ui::kPictureMask), 0);
}

// ---- the page's own look and its hint line

TEST_F(ListsPageTest, ThePageHasItsBackgroundAndTheHintGoesWhenTheMouseLeavesTheLists) {
  Settle();
  ScreenShot shot(Mainfrm.hwnd());
  EXPECT_EQ(shot.At(2, 2), FormBackColor) << "the page's own background";
  const RECT apps = ScreenRect(Mainfrm.AppLst.hwnd());
  testsupport::MoveMouseTo(Mainfrm.AppLst.hwnd(), 40, 40);
  ASSERT_TRUE(PumpUntil([] { return InterfaceFrm.lblOnLineHelp.Text() == "Running programs list"; }));
  // Out of the list onto the page between the list and the bars.
  testsupport::MoveMouseTo(Mainfrm.hwnd(), apps.right - ScreenRect(Mainfrm.hwnd()).left + 2, 40);
  EXPECT_TRUE(PumpUntil([] { return InterfaceFrm.lblOnLineHelp.Text().empty(); }))
      << InterfaceFrm.lblOnLineHelp.Text();
}

// ---- the frame's look at its default size on a 1024 x 768 screen

// Every caption of a bar fits its button in the bar's font.
void ExpectCaptionsFit(const ui::ButtonBar& bar, const std::string& name) {
  HDC dc = GetDC(bar.hwnd());
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(bar.hwnd(), WM_GETFONT, 0, 0)));
  for (int i = 1; i <= bar.Count(); ++i) {
    if (!bar.ButtonVisible(bar.Key(i))) continue;
    const std::string caption = bar.Caption(bar.Key(i));
    SIZE text = {};
    GetTextExtentPoint32A(dc, caption.c_str(), static_cast<int>(caption.size()), &text);
    const RECT r = bar.ButtonRect(i);
    EXPECT_LE(text.cx + 6, r.right - r.left) << name << " \"" << caption << "\" is clipped";
  }
  SelectObject(dc, old);
  ReleaseDC(bar.hwnd(), dc);
}

bool Overlap(const RECT& a, const RECT& b) {
  RECT both;
  return IntersectRect(&both, &a, &b) != FALSE;
}

TEST_F(ListsPageTest, TheFrameAtItsDefaultSizeShowsEveryCaptionWholeAndNoMaskColour) {
  // The frame's design size, centred on the 1024 x 768 screen.
  SetWindowPos(InterfaceFrm.hwnd(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOZORDER);
  Settle();
  ASSERT_LE(ScreenRect(InterfaceFrm.hwnd()).right, GetSystemMetrics(SM_CXSCREEN));
  ExpectCaptionsFit(InterfaceFrm.Toolbar1, "page bar");
  for (int bar = 0; bar < 3; ++bar) ExpectCaptionsFit(InterfaceFrm.MainTbl[bar], "command bar");
  ExpectCaptionsFit(Mainfrm.Toolbar3, "view-mode bar");

  // Nothing covers a button or an arrow: the logo shows only where it has room.
  std::vector<RECT> buttons;
  for (const ui::ButtonBar& bar : InterfaceFrm.MainTbl)
    for (int i = 1; i <= bar.Count(); ++i) buttons.push_back(ButtonOnScreen(bar, i));
  for (const ui::PictureBox& arrow : InterfaceFrm.DownBtn) buttons.push_back(ScreenRect(arrow.hwnd()));
  const RECT top = ScreenRect(InterfaceFrm.TopTlbarFram.hwnd());
  for (const RECT& b : buttons) {
    EXPECT_LE(b.right, top.right) << "a button past the top bar";
    if (InterfaceFrm.Logo.Visible()) EXPECT_FALSE(Overlap(ScreenRect(InterfaceFrm.Logo.hwnd()), b)) << "the logo covers a button";
  }
  // A click where the Exit button shows reaches the Exit button.
  const RECT exit = ButtonOnScreen(InterfaceFrm.MainTbl[2], 1);
  const POINT middle = testsupport::Centre(exit);
  EXPECT_EQ(WindowFromPoint(middle), InterfaceFrm.MainTbl[2].hwnd());

  // No picture shows its mask colour, in the top bar (logo, arrows, buttons) or on the
  // page bar.
  {
    PointerAway();
    ScreenShot shot(InterfaceFrm.TopTlbarFram.hwnd());
    EXPECT_EQ(shot.Count(ui::kPictureMask), 0) << "the mask colour in the top bar";
    ScreenShot pages(InterfaceFrm.Toolbar1.hwnd());
    EXPECT_EQ(pages.Count(ui::kPictureMask), 0) << "the mask colour on the page bar";
  }

  // The list headers show their titles whole.
  for (ui::ListView* list : {&Mainfrm.AppLst, &Mainfrm.WndLst}) {
    HWND header = ListView_GetHeader(list->hwnd());
    HDC dc = GetDC(header);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(header, WM_GETFONT, 0, 0)));
    for (int c = 0; c < list->ColumnCount(); ++c) {
      RECT item = {};
      SendMessageA(header, HDM_GETITEMRECT, c, reinterpret_cast<LPARAM>(&item));
      const std::string title = list->ColumnText(c);
      SIZE text = {};
      GetTextExtentPoint32A(dc, title.c_str(), static_cast<int>(title.size()), &text);
      EXPECT_LE(text.cx + 12, item.right - item.left) << "\"" << title << "\" is clipped";
    }
    SelectObject(dc, old);
    ReleaseDC(header, dc);
  }
}

// The pop-up blocker's first-time message shows its whole text above its lines.
TEST_F(ListsPageTest, ThePopUpFirstTimeMessageShowsItsLastLine) {
  CleanStore();
  RECT body = {}, needed = {}, line = {}, ok = {}, client = {};
  PostedAction look([&] {
    HWND label = FirstTimeFrm.MsgBodyLbl.hwnd();
    GetClientRect(label, &body);
    needed = {0, 0, body.right, 0};
    HDC dc = GetDC(label);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0)));
    const std::string text = testsupport::WindowText(label);
    DrawTextA(dc, text.c_str(), -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    line = ScreenRect(FirstTimeFrm.Line1.hwnd());
    ok = ScreenRect(FirstTimeFrm.OKButton.hwnd());
    GetClientRect(FirstTimeFrm.hwnd(), &client);
    MapWindowPoints(FirstTimeFrm.hwnd(), nullptr, reinterpret_cast<POINT*>(&client), 2);
    const RECT shown = ScreenRect(label);
    body.bottom = shown.bottom;  // the label on screen, for the order below
    body.top = shown.top;
    FirstTimeFrm.OKButton.PerformClick();
  });
  look.Post();
  ASSERT_TRUE(FirstTimeFrm.ShowFirstTime(1, &InterfaceFrm));
  EXPECT_LE(needed.bottom, body.bottom - body.top) << "the text's last line is cut";
  EXPECT_LE(body.bottom, line.top) << "the lines cross the text";
  EXPECT_LE(ok.bottom, client.bottom) << "the OK button is cut";
}

// ---- the program list's monitor command

// A program put under monitoring from the program list leaves the Risk Monitor's
// running list, even when that list already showed it, and its monitored row is
// marked running (black), not stopped (red).
TEST_F(ListsPageTest, AProgramMonitoredFromTheListLeavesTheRunningListAndShowsRunning) {
  Fixture& watched = folder->Start("watched.exe", "plain");
  Full();
  const std::string path = Key("watched.exe");
  ASSERT_FALSE(path.empty());
  ProcCPUFrm.Load();
  ProcCPUFrm.CurrentProcLV.Clear();
  auto rowIn = [&](ui::ListView& list) {
    for (int r = 0; r < list.ItemCount(); ++r)
      if (vb::LCase(list.SubItem(r, 1)) == vb::LCase(path)) return r;
    return -1;
  };
  // The Risk Monitor page seen first: the program is among the running ones.
  ClickButton(InterfaceFrm.Toolbar1, "ProcCPU");
  ASSERT_TRUE(PumpUntil([&] { return rowIn(ProcCPUFrm.AppsLV) >= 0; })) << "not listed as running";
  ClickButton(InterfaceFrm.Toolbar1, "Quillon");
  ASSERT_TRUE(PumpUntil([] { return Mainfrm.Visible(); }));
  Full();

  // Its row chosen and the command taken from the row's menu, as a user does; the
  // offer to restart it is declined.
  answer = [](const looptest::ShownMessage&) { return IDNO; };
  ui::ListView& apps = Mainfrm.AppLst;
  const POINT row = RowPoint(apps, AppRow("watched.exe"));
  testsupport::ClickAt(apps.hwnd(), row.x, row.y);
  ASSERT_TRUE(PumpUntil([&] { return apps.SelectedRows() == std::vector<int>{AppRow("watched.exe")}; }));
  {
    MenuWatcher menu({VK_DOWN, VK_DOWN, VK_RETURN});
    testsupport::ClickAt(apps.hwnd(), row.x, row.y, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    const shelltest::ShownMenu& shown = menu.Wait();
    ASSERT_TRUE(shown.seen) << "no menu on the row";
    ASSERT_GE(shown.items.size(), 2u);
    EXPECT_EQ(shown.items[1], "Monitor for &Risky Behavior");
  }
  ASSERT_TRUE(PumpUntil([] { return InterfaceFrm.Toolbar1.Value("ProcCPU"); })) << "the page did not switch";
  ASSERT_TRUE(PumpUntil([&] { return rowIn(ProcCPUFrm.CurrentProcLV) >= 0; })) << "not monitored";
  now += 2000;
  ProcCPUFrm.RefreshMe();
  Settle();
  EXPECT_EQ(rowIn(ProcCPUFrm.AppsLV), -1) << "still listed as running while monitored";
  const int monitored = rowIn(ProcCPUFrm.CurrentProcLV);
  ASSERT_GE(monitored, 0);
  EXPECT_EQ(ProcCPUFrm.CurrentProcLV.CellForeColor(monitored, 0), RGB(0, 0, 0)) << "drawn as if it had stopped";
  shelltest::SaveShot(InterfaceFrm.hwnd(), "risk-monitor-monitored");

  // Once it ends, the row turns red, and it does not come back among the running ones.
  watched.End();
  ASSERT_TRUE(PumpUntil([&] {
    now += 2000;
    ProcCPUFrm.RefreshMe();
    return ProcCPUFrm.CurrentProcLV.CellForeColor(rowIn(ProcCPUFrm.CurrentProcLV), 0) == RGB(255, 0, 0);
  }, 10000)) << "an ended program is not marked";
  EXPECT_EQ(rowIn(ProcCPUFrm.AppsLV), -1);
  ProcCPUFrm.RemoveProcess(static_cast<int16_t>(vb::Val(ProcCPUFrm.CurrentProcLV.Key(rowIn(ProcCPUFrm.CurrentProcLV)).substr(1))), path);
}

// ---- the large-icon view

// In the large-icon view of both lists, chosen from each list's "Views" button, every
// row keeps its own cell: no icon or label overlaps another, and each label shows its
// whole name.
TEST_F(ListsPageTest, LargeIconsKeepEachRowsIconAndLabelInItsOwnCell) {
  for (const char* name : {"company.exe", "garden2.exe", "garden.exe", "longerprogramname.exe"})
    folder->Start(name, "plain");
  Full();
  struct Case {
    ui::ButtonBar* bar;
    ui::ListView* list;
  };
  for (const Case& c : {Case{&Mainfrm.ProgBar2, &Mainfrm.AppLst}, Case{&Mainfrm.WndBar2, &Mainfrm.WndLst}}) {
    {
      MenuWatcher menu({VK_DOWN, VK_RETURN});
      ClickButton(*c.bar, "ListView");
      const shelltest::ShownMenu& shown = menu.Wait();
      ASSERT_TRUE(shown.seen) << "no menu on the Views button";
      EXPECT_EQ(shown.items.front(), "Lar&ge Icons");
    }
    ASSERT_TRUE(PumpUntil([&] { return c.list->View() == LVS_ICON && !Mainfrm.Refreshing; }));
  }
  Full();
  Settle();
  shelltest::SaveShot(InterfaceFrm.hwnd(), "large-icons");
  for (ui::ListView* list : {&Mainfrm.AppLst, &Mainfrm.WndLst}) {
    HWND h = list->hwnd();
    ASSERT_GE(list->ItemCount(), 4);
    std::vector<RECT> icons, labels;
    for (int r = 0; r < list->ItemCount(); ++r) {
      RECT icon = {LVIR_ICON, 0, 0, 0}, label = {LVIR_LABEL, 0, 0, 0};
      SendMessageA(h, LVM_GETITEMRECT, r, reinterpret_cast<LPARAM>(&icon));
      SendMessageA(h, LVM_GETITEMRECT, r, reinterpret_cast<LPARAM>(&label));
      icons.push_back(icon);
      labels.push_back(label);
      // The whole name fits the label's cell, wrapped as the list wraps it.
      const std::string text = list->ItemText(r);
      const SIZE one = testsupport::OneLineTextSize(h, text);
      const int lines = (label.bottom - label.top) / std::max<int>(one.cy, 1);
      EXPECT_LE(one.cx, (label.right - label.left) * std::max(lines, 1)) << "\"" << text << "\" is cut";
    }
    for (size_t a = 0; a < icons.size(); ++a)
      for (size_t b = 0; b < icons.size(); ++b) {
        if (a == b) continue;
        const std::string names = "\"" + list->ItemText(static_cast<int>(a)) + "\" and \"" +
                                  list->ItemText(static_cast<int>(b)) + "\"";
        EXPECT_FALSE(Overlap(labels[a], labels[b])) << "the labels of " << names << " overlap";
        EXPECT_FALSE(Overlap(labels[a], icons[b])) << "a label over an icon: " << names;
        EXPECT_FALSE(Overlap(icons[a], icons[b])) << "the icons of " << names << " overlap";
      }
  }
  Mainfrm.mnuAppLstView_Click(2);
  Mainfrm.mnuWndLstView_Click(2);
}

}  // namespace
