#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "ComboBox.h"
#include "Container.h"
#include "Controls.h"
#include "Failures.h"
#include "PictureBox.h"
#include "ProgressBar.h"
#include "RichTextBox.h"
#include "StatusBar.h"
#include "TabPages.h"
#include "UiWait.h"
#include "Window.h"

using testsupport::PumpUntil;

namespace {

// The controls as an options dialog and a report window place them: a button on the
// second tab is declared before the tab control, so it is created first.
class ControlsForm : public ui::Window {
 public:
  ControlsForm()
      : Window({.caption = "Controls", .style = WS_OVERLAPPEDWINDOW, .x = 0, .y = 0, .width = 520,
                .height = 360}),
        cmdApply(*this, {10, 10, 80, 24}, "Apply"),
        SSTab1(*this, {10, 10, 300, 200}, {"General", "Programs", "Windows"}),
        HKFram(*this, {10, 10, 200, 80}, "Hot key"),
        chkShift(*this, {10, 24, 100, 20}, "SHIFT"),
        picGraph(*this, {320, 10, 100, 60}),
        LogTxt(*this, {10, 220, 300, 100}),
        NetSpeedCombo(*this, {320, 80, 150, 120}),
        ProgressBar1(*this, {320, 110, 150, 16}),
        SBar(*this, {0, 80, 60}) {
    cmdApply.SetContainer(SSTab1.Page(1));
    HKFram.SetContainer(SSTab1.Page(0));
    chkShift.SetContainer(HKFram);
    cmdApply.Click = [this] { ++applyClicks; };
    SSTab1.Click = [this](int previous) { previousTabs.push_back(previous); };
  }
  ui::Button cmdApply;
  ui::TabPages SSTab1;
  ui::Frame HKFram;
  ui::CheckBox chkShift;
  ui::PictureBox picGraph;
  ui::RichTextBox LogTxt;
  ui::ComboBox NetSpeedCombo;
  ui::ProgressBar ProgressBar1;
  ui::StatusBar SBar;

  int applyClicks = 0;
  std::vector<int> previousTabs;
};

// A handler that throws inside one of our window procedures fails the test (the test
// entry's failure hook).
class Controls : public testing::Test {};

bool Shown(HWND hwnd) { return IsWindowVisible(hwnd) != 0; }

RECT ClientRectOf(HWND hwnd) {
  RECT r;
  GetClientRect(hwnd, &r);
  return r;
}

// Where a page sits in its tab control, and where the strip says its display area is.
RECT RectIn(HWND child, HWND parent) {
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

void ClickAt(HWND hwnd, POINT at) {
  SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
  SendMessageA(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
}

POINT TabCentre(HWND strip, int index) {
  RECT r;
  SendMessageA(strip, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

COLORREF ScreenPixel(HWND hwnd, int x, int y) {
  HDC dc = GetDC(hwnd);
  COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(hwnd, dc);
  return c;
}

// ---- tab pages

TEST_F(Controls, ControlsLiveOnTheirPageAndReachTheirHandlers) {
  ControlsForm form;
  form.Show();
  HWND page0 = form.SSTab1.Page(0).hwnd(), page1 = form.SSTab1.Page(1).hwnd();
  ASSERT_TRUE(page0 && page1);
  EXPECT_EQ(GetParent(form.cmdApply.hwnd()), page1);
  EXPECT_EQ(GetParent(form.HKFram.hwnd()), page0);
  EXPECT_EQ(GetParent(form.chkShift.hwnd()), form.HKFram.hwnd());
  EXPECT_EQ(GetParent(page0), form.SSTab1.hwnd());
  EXPECT_EQ(GetParent(form.SSTab1.strip()), form.SSTab1.hwnd());
  EXPECT_TRUE(GetWindowLongA(page1, GWL_EXSTYLE) & WS_EX_CONTROLPARENT);

  // Bounds are the page's own: the button sits 10 pixels into it.
  EXPECT_EQ(RectIn(form.cmdApply.hwnd(), page1).left, 10);
  // Every page covers the strip's display area.
  RECT area = ClientRectOf(form.SSTab1.hwnd());
  SendMessageA(form.SSTab1.strip(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
  RECT placed = RectIn(page1, form.SSTab1.hwnd());
  EXPECT_TRUE(EqualRect(&area, &placed));

  EXPECT_TRUE(Shown(page0));
  EXPECT_FALSE(Shown(page1));
  EXPECT_FALSE(Shown(form.cmdApply.hwnd()));

  // Notifications from controls on a page (and on a frame on a page) reach the form's routing.
  SendMessageA(form.cmdApply.hwnd(), BM_CLICK, 0, 0);
  EXPECT_EQ(form.applyClicks, 1);
  int shiftClicks = 0;
  form.chkShift.Click = [&] { ++shiftClicks; };
  SendMessageA(form.chkShift.hwnd(), BM_CLICK, 0, 0);
  EXPECT_EQ(shiftClicks, 1);
  EXPECT_TRUE(form.chkShift.Value());
}

TEST_F(Controls, ATabChosenByCodeOrByAClickShowsItsPageAndRaisesClick) {
  ControlsForm form;
  form.Show();
  ui::TabPages& tabs = form.SSTab1;
  auto onlyShown = [&](int index) {
    for (int i = 0; i < tabs.Tabs(); ++i)
      if (Shown(tabs.Page(i).hwnd()) != (i == index)) return false;
    return SendMessageA(tabs.strip(), TCM_GETCURSEL, 0, 0) == index && tabs.Tab() == index;
  };

  tabs.SetTab(1);
  EXPECT_TRUE(onlyShown(1));
  EXPECT_TRUE(Shown(form.cmdApply.hwnd()));
  tabs.SetTab(1);  // the same tab again: no change, no Click
  tabs.SetTab(7);
  EXPECT_EQ(form.previousTabs, std::vector<int>{0});

  // The user's click on the third tab, through the strip's own mouse handling.
  std::vector<POINT> downs;
  tabs.MouseDown = [&](int button, int, int x, int y) { if (button == 1) downs.push_back({x, y}); };
  POINT third = TabCentre(tabs.strip(), 2);
  ClickAt(tabs.strip(), third);
  EXPECT_TRUE(onlyShown(2));
  EXPECT_EQ(form.previousTabs, (std::vector<int>{0, 1}));
  ASSERT_EQ(downs.size(), 1u);
  EXPECT_EQ(downs[0].x, third.x);
  EXPECT_EQ(downs[0].y, third.y);

  // A disabled tab can be neither clicked nor chosen by code.
  tabs.SetTabEnabled(0, false);
  ClickAt(tabs.strip(), TabCentre(tabs.strip(), 0));
  tabs.SetTab(0);
  EXPECT_TRUE(onlyShown(2));
  EXPECT_EQ(form.previousTabs.size(), 2u);

  // Focus on a control of a page that goes away moves to the strip.
  tabs.SetTab(1);
  form.cmdApply.SetFocus();
  ASSERT_EQ(GetFocus(), form.cmdApply.hwnd());
  tabs.SetTab(2);
  EXPECT_EQ(GetFocus(), tabs.strip());
}

TEST_F(Controls, ALabelTakesTheColourOfTheFrameItSitsOn) {
  struct Form : ui::Window {
    Form()
        : Window({.caption = "Colours", .width = 200, .height = 120}),
          Frame1(*this, {10, 10, 180, 100}, "Colours"),
          Label1(*this, {10, 30, 100, 20}, "on the frame"),
          Label2(*this, {10, 10, 100, 16}, "on the form") {
      Label1.SetContainer(Frame1);
    }
    ui::Frame Frame1;
    ui::Label Label1;
    ui::Label Label2;
  } form;
  form.SetBackColor(RGB(233, 233, 233));
  form.Frame1.SetBackColor(RGB(200, 220, 240));
  ASSERT_TRUE(form.Load());
  HDC dc = GetDC(form.Label1.hwnd());
  // The frame passes its children's colour questions on to the form, as Windows asks them.
  auto brush = reinterpret_cast<HBRUSH>(SendMessageA(form.Frame1.hwnd(), WM_CTLCOLORSTATIC,
                                                     reinterpret_cast<WPARAM>(dc),
                                                     reinterpret_cast<LPARAM>(form.Label1.hwnd())));
  EXPECT_EQ(brush, form.Frame1.BackBrush());
  EXPECT_EQ(GetBkColor(dc), RGB(200, 220, 240));
  brush = reinterpret_cast<HBRUSH>(SendMessageA(form.hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                                reinterpret_cast<LPARAM>(form.Label2.hwnd())));
  EXPECT_EQ(brush, form.BackBrush());
  EXPECT_EQ(GetBkColor(dc), RGB(233, 233, 233));
  ReleaseDC(form.Label1.hwnd(), dc);
}

TEST_F(Controls, TheTabAndCaptionsChosenBeforeLoadingAreShown) {
  ControlsForm form;
  form.SSTab1.SetTab(2);
  form.SSTab1.SetTabCaption(1, "Special Programs");
  EXPECT_EQ(form.previousTabs, std::vector<int>{0});
  form.Show();
  EXPECT_EQ(SendMessageA(form.SSTab1.strip(), TCM_GETCURSEL, 0, 0), 2);
  EXPECT_TRUE(Shown(form.SSTab1.Page(2).hwnd()));
  EXPECT_FALSE(Shown(form.SSTab1.Page(0).hwnd()));
  char caption[64] = {};
  TCITEMA item = {};
  item.mask = TCIF_TEXT;
  item.pszText = caption;
  item.cchTextMax = sizeof caption;
  SendMessageA(form.SSTab1.strip(), TCM_GETITEMA, 1, reinterpret_cast<LPARAM>(&item));
  EXPECT_STREQ(caption, "Special Programs");

  // Loaded again, the form gets new pages in the same state, and clicks still work.
  ASSERT_TRUE(form.Unload());
  EXPECT_FALSE(form.SSTab1.strip());
  form.Show();
  EXPECT_EQ(GetParent(form.cmdApply.hwnd()), form.SSTab1.Page(1).hwnd());
  EXPECT_EQ(SendMessageA(form.SSTab1.strip(), TCM_GETCURSEL, 0, 0), 2);
  EXPECT_TRUE(Shown(form.SSTab1.Page(2).hwnd()));
  ClickAt(form.SSTab1.strip(), TabCentre(form.SSTab1.strip(), 0));
  EXPECT_TRUE(Shown(form.SSTab1.Page(0).hwnd()));
  EXPECT_EQ(form.previousTabs, (std::vector<int>{0, 2}));
}

// ---- drawing surface

TEST_F(Controls, WhatPaintDrawsIsOnScreenAndFollowsResizing) {
  ControlsForm form;
  ui::PictureBox& pic = form.picGraph;
  const COLORREF back = RGB(0, 0, 128), ink = RGB(0, 255, 0);
  int paints = 0;
  COLORREF corner = ink;
  // A block in the bottom-right corner, wherever that is now.
  pic.Paint = [&](HDC dc) {
    ++paints;
    HBRUSH brush = CreateSolidBrush(corner);
    RECT r = {pic.ScaleWidth() - 10, pic.ScaleHeight() - 10, pic.ScaleWidth(), pic.ScaleHeight()};
    FillRect(dc, &r, brush);
    DeleteObject(brush);
  };
  pic.SetBackColor(back);
  form.Show();
  UpdateWindow(form.hwnd());
  EXPECT_EQ(ScreenPixel(pic.hwnd(), 95, 55), ink);
  EXPECT_EQ(ScreenPixel(pic.hwnd(), 5, 5), back);

  int before = paints;
  corner = RGB(255, 0, 0);
  pic.Refresh();
  EXPECT_EQ(paints, before + 1);
  EXPECT_EQ(ScreenPixel(pic.hwnd(), 95, 55), RGB(255, 0, 0));

  pic.Move({320, 10, 180, 120});
  UpdateWindow(pic.hwnd());
  EXPECT_EQ(ScreenPixel(pic.hwnd(), 175, 115), RGB(255, 0, 0));
  EXPECT_EQ(ScreenPixel(pic.hwnd(), 95, 55), back);  // the old corner was drawn over

  // The copy holds what is shown.
  HBITMAP copy = pic.Snapshot();
  ASSERT_TRUE(copy);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, copy);
  EXPECT_EQ(GetPixel(dc, 175, 115), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(dc, 5, 5), back);
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(copy);
}

TEST_F(Controls, APictureShowsAtTheCornerOrStretched) {
  ControlsForm form;
  ui::PictureBox& pic = form.picGraph;
  pic.SetBackColor(RGB(255, 255, 255));
  form.Show();
  // A 4x4 bitmap, all red.
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 4, 4);
  ReleaseDC(nullptr, screen);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECT all = {0, 0, 4, 4};
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  FillRect(dc, &all, red);
  DeleteObject(red);
  SelectObject(dc, old);
  DeleteDC(dc);

  pic.SetPicture(bitmap);
  EXPECT_EQ(ScreenPixel(pic.hwnd(), 1, 1), RGB(255, 0, 0));
  EXPECT_EQ(ScreenPixel(pic.hwnd(), 50, 30), RGB(255, 255, 255));
  pic.SetPicture(bitmap, true);
  EXPECT_EQ(ScreenPixel(pic.hwnd(), 50, 30), RGB(255, 0, 0));
  pic.SetPicture(nullptr);
  DeleteObject(bitmap);
}

struct MouseCase {
  UINT msg;
  WPARAM keys;
  const char* expected;  // what the picture box raises, in order
};

TEST_F(Controls, PostedMouseMessagesRaiseVbMouseEvents) {
  ControlsForm form;
  ui::PictureBox& pic = form.picGraph;
  std::string events;
  auto record = [&](const char* kind) {
    return [&events, kind](int button, int shift, int x, int y) {
      events += std::string(kind) + "(" + std::to_string(button) + "," + std::to_string(shift) + "," +
                std::to_string(x) + "," + std::to_string(y) + ") ";
    };
  };
  pic.MouseDown = record("Down");
  pic.MouseUp = record("Up");
  // Taking the mouse makes the system report where the real cursor is: only the
  // posted point counts here.
  pic.MouseMove = [&, move = record("Move")](int button, int shift, int x, int y) {
    if (x == 7 && y == 9) move(button, shift, x, y);
  };
  pic.Click = [&] { events += "Click "; };
  pic.DblClick = [&] { events += "DblClick "; };
  form.Show();

  const MouseCase cases[] = {
      {WM_LBUTTONDOWN, MK_LBUTTON, "Down(1,0,7,9) "},
      {WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, "Move(1,1,7,9) "},
      {WM_LBUTTONUP, 0, "Up(1,0,7,9) Click "},
      {WM_RBUTTONDOWN, MK_RBUTTON | MK_SHIFT, "Down(2,1,7,9) "},
      {WM_RBUTTONUP, MK_SHIFT, "Up(2,1,7,9) Click "},
      {WM_MBUTTONDOWN, MK_MBUTTON | MK_CONTROL, "Down(4,2,7,9) "},
      {WM_MBUTTONUP, MK_CONTROL, "Up(4,2,7,9) "},  // the middle button makes no click
      {WM_LBUTTONDBLCLK, MK_LBUTTON, "DblClick "},
      {WM_LBUTTONUP, 0, "Up(1,0,7,9) "},  // the release after a double click is no click
  };
  for (const MouseCase& c : cases) {
    events.clear();
    PostMessageA(pic.hwnd(), c.msg, c.keys, MAKELPARAM(7, 9));
    PumpUntil([&] { return !events.empty(); }, 1000);
    EXPECT_EQ(events, c.expected) << "message 0x" << std::hex << c.msg;
  }

  // The mouse is held while a button is down, so the release comes back here.
  SendMessageA(pic.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  EXPECT_EQ(GetCapture(), pic.hwnd());
  events.clear();
  SendMessageA(pic.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(-20, 3));  // released outside: no click
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(events, "Up(1,0,-20,3) ");
}

TEST_F(Controls, AHandlerThatThrowsIsReportedAndLosesOnlyItsMessage) {
  ControlsForm form;
  form.Show();
  testsupport::ExpectFailures failures(1);
  int downs = 0;
  form.picGraph.MouseDown = [&](int, int, int, int) {
    if (++downs == 1) throw std::runtime_error("mouse handler failed");
  };
  SendMessageA(form.picGraph.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, 0);
  SendMessageA(form.picGraph.hwnd(), WM_LBUTTONUP, 0, 0);
  SendMessageA(form.picGraph.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, 0);
  SendMessageA(form.picGraph.hwnd(), WM_LBUTTONUP, 0, 0);
  EXPECT_EQ(downs, 2);
  EXPECT_EQ(failures.seen(), std::vector<std::string>{"mouse handler failed"});
}

// ---- rich text

TEST_F(Controls, AWordFoundInTheTextIsTheWordSelected) {
  ControlsForm form;
  ui::RichTextBox& log = form.LogTxt;
  form.Show();
  const std::string text = "first line\r\nsecond Line\r\nthird line target\r\n";
  log.SetText(text);
  ASSERT_EQ(log.Text(), text);  // line ends come back as they went in
  ASSERT_EQ(log.TextLength(), static_cast<int>(text.size()));

  struct FindCase {
    const char* what;
    int start;
    bool matchCase, down;
    int expected;
  };
  const FindCase cases[] = {
      {"target", 0, true, true, 36},
      {"Line", 0, true, true, 19},    // exact case skips "line" at 6
      {"LINE", 7, false, true, 19},   // any case: the next one from 7
      {"line", 36, true, false, 31},  // up: the nearest one before 36
      {"line", 31, false, false, 19},
      {"first", 1, true, false, 0},
      {"first", 0, true, false, -1},  // nothing lies before the start
      {"missing", 0, false, true, -1},
      {"", 0, false, true, -1},
  };
  for (const FindCase& c : cases) {
    SCOPED_TRACE(std::string(c.what) + " from " + std::to_string(c.start));
    int at = log.Find(c.what, c.start, c.matchCase, c.down);
    ASSERT_EQ(at, c.expected);
    if (at < 0) continue;
    const int length = static_cast<int>(std::string(c.what).size());
    log.Select(at, length);
    EXPECT_EQ(log.SelStart(), at);
    EXPECT_EQ(log.SelLength(), length);
    EXPECT_EQ(log.SelText(), text.substr(at, length));
  }

  // VB's selection properties.
  log.SetSelStart(12);
  log.SetSelLength(6);
  EXPECT_EQ(log.SelText(), "second");
  log.SetSelText("2nd");
  EXPECT_EQ(log.Text(), "first line\r\n2nd Line\r\nthird line target\r\n");
}

TEST_F(Controls, AReadOnlyBoxRefusesTypedCharacters) {
  ControlsForm form;
  ui::RichTextBox& log = form.LogTxt;
  log.SetText("report");
  log.SetReadOnly(true);
  form.Show();
  int changes = 0;
  log.Change = [&] { ++changes; };
  log.SetSelStart(0);
  SendMessageA(log.hwnd(), WM_CHAR, 'x', 1);
  EXPECT_EQ(log.Text(), "report");
  EXPECT_TRUE(GetWindowLongA(log.hwnd(), GWL_STYLE) & ES_READONLY);

  log.SetReadOnly(false);
  SendMessageA(log.hwnd(), WM_CHAR, 'x', 1);
  EXPECT_EQ(log.Text(), "xreport");
  EXPECT_EQ(changes, 1);
}

// ---- combo box

TEST_F(Controls, AComboKeepsItsItemsAndRaisesClickOnTheUsersChoice) {
  ControlsForm form;
  ui::ComboBox& combo = form.NetSpeedCombo;
  for (const char* text : {"Receiving Speed", "Sending Speed", "Average Receiving Speed"}) combo.AddItem(text);
  combo.SetItemData(2, 42);
  int clicks = 0;
  combo.Click = [&] { ++clicks; };
  combo.SetListIndex(1);  // chosen before the window exists
  EXPECT_EQ(clicks, 1);
  form.Show();
  ASSERT_EQ(SendMessageA(combo.hwnd(), CB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(SendMessageA(combo.hwnd(), CB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(combo.Text(), "Sending Speed");
  EXPECT_EQ(SendMessageA(combo.hwnd(), CB_GETITEMDATA, 2, 0), 42);
  EXPECT_EQ(combo.ItemData(2), 42);
  EXPECT_EQ(combo.List(0), "Receiving Speed");
  EXPECT_EQ(combo.List(3), "");

  // The user moves down with the keyboard: the control tells the form.
  SendMessageA(combo.hwnd(), WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(combo.ListIndex(), 2);
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(combo.Text(), "Average Receiving Speed");

  combo.SetListIndex(2);  // no change, no Click
  EXPECT_EQ(clicks, 2);
  combo.RemoveItem(0);
  EXPECT_EQ(combo.ListIndex(), 1);
  EXPECT_EQ(combo.ListCount(), 2);
  EXPECT_EQ(combo.ItemData(1), 42);
  combo.Clear();
  EXPECT_EQ(combo.ListIndex(), -1);
  EXPECT_EQ(SendMessageA(combo.hwnd(), CB_GETCOUNT, 0, 0), 0);
}

TEST_F(Controls, TypingInAnEditComboRaisesChangeAndDropsTheChoice) {
  struct EditComboForm : ui::Window {
    EditComboForm() : Window({.caption = "Combo"}), Combo1(*this, {10, 10, 150, 120}, CBS_DROPDOWN) {}
    ui::ComboBox Combo1;
  } form;
  form.Combo1.AddItem("one");
  form.Combo1.SetListIndex(0);
  int changes = 0;
  form.Combo1.Change = [&] { ++changes; };
  form.Show();
  HWND edit = FindWindowExA(form.Combo1.hwnd(), nullptr, "Edit", nullptr);
  ASSERT_TRUE(edit);
  SendMessageA(edit, WM_CHAR, 'x', 1);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(form.Combo1.ListIndex(), -1);
  EXPECT_NE(form.Combo1.Text().find('x'), std::string::npos);
}

// ---- status bar and progress bar

TEST_F(Controls, StatusPanelsHoldTheirTextsAndFollowTheFormsWidth) {
  ControlsForm form;
  form.SBar.SetPanelText(0, "Loading data. This may take few seconds, please wait ... ");
  form.Show();
  HWND bar = form.SBar.hwnd();
  char text[128] = {};
  SendMessageA(bar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "Loading data. This may take few seconds, please wait ... ");
  form.SBar.SetPanelText(2, "12:00");
  EXPECT_EQ(form.SBar.PanelText(2), "12:00");
  EXPECT_EQ(form.SBar.PanelText(1), "");
  EXPECT_EQ(form.SBar.PanelText(3), "");

  auto edges = [&] {
    int parts[3] = {};
    EXPECT_EQ(SendMessageA(bar, SB_GETPARTS, 3, reinterpret_cast<LPARAM>(parts)), 3);
    return std::vector<int>(parts, parts + 3);
  };
  const int width = ClientRectOf(bar).right;
  EXPECT_EQ(edges(), (std::vector<int>{width - 140, width - 60, -1}));
  EXPECT_EQ(RectIn(bar, form.hwnd()).bottom, form.ScaleHeight());

  SetWindowPos(form.hwnd(), nullptr, 0, 0, 700, 450, SWP_NOMOVE | SWP_NOZORDER);
  form.SBar.Resize();
  const int wider = ClientRectOf(bar).right;
  EXPECT_EQ(wider, form.ScaleWidth());
  EXPECT_EQ(edges(), (std::vector<int>{wider - 140, wider - 60, -1}));
  EXPECT_EQ(RectIn(bar, form.hwnd()).bottom, form.ScaleHeight());
  EXPECT_EQ(form.SBar.Height(), RectIn(bar, form.hwnd()).bottom - RectIn(bar, form.hwnd()).top);
}

TEST_F(Controls, ProgressValuesAreReadBackFromTheBar) {
  ControlsForm form;
  ui::ProgressBar& bar = form.ProgressBar1;
  bar.SetMax(500000);  // more than the 16-bit range holds
  bar.SetValue(70000);
  form.Show();
  EXPECT_EQ(SendMessageA(bar.hwnd(), PBM_GETRANGE, FALSE, 0), 500000);
  EXPECT_EQ(SendMessageA(bar.hwnd(), PBM_GETPOS, 0, 0), 70000);

  struct ValueCase {
    int min, max, value;
    int readMin, readMax, readValue;
  };
  const ValueCase cases[] = {
      {0, 100, 45, 0, 100, 45},
      {10, 20, 5, 10, 20, 10},    // below Min: held at Min
      {10, 20, 99, 10, 20, 20},   // above Max: held at Max
      {-50, 50, -25, -50, 50, -25},
  };
  for (const ValueCase& c : cases) {
    bar.SetMin(c.min);
    bar.SetMax(c.max);
    bar.SetValue(c.value);
    EXPECT_EQ(bar.Min(), c.readMin);
    EXPECT_EQ(bar.Max(), c.readMax);
    EXPECT_EQ(bar.Value(), c.readValue);
  }
}

}  // namespace
