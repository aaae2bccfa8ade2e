#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <functional>

#include "AddBrowserFrm.h"
#include "AddWhiteFrm.h"
#include "ApplyGlobalSettings.h"
#include "ConInfoFrm.h"
#include "Fixture.h"
#include "Input.h"
#include "LoopTestSupport.h"
#include "Mainfrm.h"
#include "ModMainLoop.h"
#include "ModMainPlatform.h"
#include "ModProcMon.h"
#include "ModProgInfo.h"
#include "ModSettings.h"
#include "ModStartup.h"
#include "ModWndOpr.h"
#include "PopUpFrm.h"
#include "Seams.h"
#include "UiWait.h"
#include "VbRules.h"
#include "ViewBindings.h"

namespace {

using testsupport::Fixture;
using testsupport::FixtureFolder;

TEST(FormatGroupedTest, DigitsMaskOfMemoryCells) {
  const std::string sep = vb::FormatNumber(1000, 0, true).substr(1, 1);  // the locale's group mark
  struct Case {
    const char* in;
    std::string out;
  } cases[] = {{"", ""},        {"0", ""},      {"0.4", ""},
               {"12", "12"},    {"1234", "1" + sep + "234"},
               {"1234567", "1" + sep + "234" + sep + "567"},
               {"abc", "abc"},  {"999.5", "1" + sep + "000"}};
  for (const Case& c : cases) EXPECT_EQ(vb::FormatGrouped(c.in), c.out) << c.in;
}

class ListsTest : public looptest::LoopTest {
 protected:
  void SetUp() override {
    LoopTest::SetUp();
    seams::ShellExecuteFn = [this](const seams::ShellRequest& r) {
      requests.push_back(r);
      return true;
    };
    BuildColumnTables();
    AppList = "111111111111";
    WndList = "1111111111";
    HideWnd = 0;
    ProcWarn = 0;
    ColumnsPending = true;
    ApplyPendingColumns();
    Mainfrm.ProgWndImgIndex = 2;
    Mainfrm.AppLst.Clear();
    Mainfrm.WndLst.Clear();
    Mainfrm.Load();
    Mainfrm.Show();
    folder = std::make_unique<FixtureFolder>("lists");
  }
  void TearDown() override {
    folder.reset();
    Mainfrm.Hide();
    Mainfrm.FastRef = false;
    Mainfrm.SharesHeld = false;
    LoopTest::TearDown();
  }
  void Full() {
    now += 2000;
    Mainfrm.FastRef = false;
    Mainfrm.RefreshMe();
  }
  // The timed refresh with the page in front.
  void Timed() {
    now += 2000;
    SetForegroundWindow(Mainfrm.hwnd());
    testsupport::PumpUntil([] { return GetForegroundWindow() == Mainfrm.hwnd(); }, 1000);
    Mainfrm.FastRef = true;
    Mainfrm.RefreshMe();
  }
  // The shares the page reads between ticks, half a second apart on the clock: after
  // them every window row has been read again.
  void Shares() {
    for (unsigned share = 0; share < MainfrmForm::kFactsMaxAgeMs / MainfrmForm::kSliceMs; ++share) {
      now += MainfrmForm::kSliceMs;
      Mainfrm.ReadSlice();
    }
  }
  // The list key of a fixture copy: the path as the process table holds it.
  std::string Key(const std::string& name) {
    int16_t i = Mainfrm.GetAppId(folder->PathOf(name));
    return i < 0 ? "" : ProgTable[static_cast<size_t>(i)][kProgPath];
  }
  int AppRow(const std::string& name) { return Mainfrm.AppLst.FindKey(Key(name)); }
  int WndRow(HWND h) { return Mainfrm.WndLst.FindKey("K" + WndHandleText(h)); }

  std::unique_ptr<FixtureFolder> folder;
  std::vector<seams::ShellRequest> requests;
};

TEST_F(ListsTest, FullRefreshMarksChangeAndKeepsSelection) {
  folder->Start("lista.exe", "plain");
  folder->Start("listb.exe", "plain");
  // The mark is there when the walker first asks the clock (it takes the mark then).
  SaveSetting("Quillon", "tmp", "ProcChanged", "0");
  std::string markSeen;
  seams::TickCountFn = [&] {
    if (markSeen.empty()) markSeen = GetSetting("Quillon", "tmp", "ProcChanged", "");
    return now;
  };
  Full();
  seams::TickCountFn = [this] { return now; };
  EXPECT_EQ(markSeen, "1");
  const int a = AppRow("lista.exe");
  ASSERT_GE(a, 0);
  ASSERT_GE(AppRow("listb.exe"), 0);
  EXPECT_TRUE(Mainfrm.AppLst.Sorted());
  for (int r = 0; r < Mainfrm.AppLst.ItemCount(); ++r) Mainfrm.AppLst.SetSelected(r, r == a);
  Full();
  const std::vector<int> selected = Mainfrm.AppLst.SelectedRows();
  ASSERT_EQ(selected.size(), 1u);
  EXPECT_EQ(Mainfrm.AppLst.Key(selected[0]), Key("lista.exe"));
  // Every row has its own image or none, never a neighbour's.
  std::vector<int> icons;
  for (int r = 0; r < Mainfrm.AppLst.ItemCount(); ++r)
    if (Mainfrm.AppLst.SmallIcon(r) >= 0) icons.push_back(Mainfrm.AppLst.SmallIcon(r));
  std::sort(icons.begin(), icons.end());
  EXPECT_EQ(std::adjacent_find(icons.begin(), icons.end()), icons.end());
}

TEST_F(ListsTest, TimedMergeAppendsRemovesAndKeepsRows) {
  Fixture& a = folder->Start("mergea.exe", "plain");
  Full();
  const int idA = Mainfrm.AppLst.RowId(AppRow("mergea.exe"));
  const int wndA = Mainfrm.WndLst.RowId(WndRow(a.hwnd()));
  ASSERT_GT(idA, 0);
  ASSERT_GT(wndA, 0);

  // Another program in front: the timed refresh does nothing.
  Fixture& b = folder->Start("mergeb.exe", "plain");
  now += 2000;
  SetForegroundWindow(b.hwnd());
  Mainfrm.FastRef = true;
  if (GetForegroundWindow() != Mainfrm.hwnd()) {
    Mainfrm.RefreshMe();
    EXPECT_LT(AppRow("mergeb.exe"), 0);
  }

  Timed();
  const int rowB = AppRow("mergeb.exe");
  ASSERT_GE(rowB, 0);
  EXPECT_EQ(rowB, Mainfrm.AppLst.ItemCount() - 1) << "a new program goes to the bottom";
  EXPECT_EQ(Mainfrm.AppLst.RowId(AppRow("mergea.exe")), idA);
  EXPECT_FALSE(Mainfrm.AppLst.Sorted());

  // A title change rewrites that cell of the same row.
  SetWindowTextA(a.hwnd(), "renamed fixture");
  Timed();
  Shares();
  const int w = WndRow(a.hwnd());
  ASSERT_GE(w, 0);
  EXPECT_EQ(Mainfrm.WndLst.RowId(w), wndA);
  EXPECT_EQ(Mainfrm.WndLst.SubItem(w, Mainfrm.GetColumn(1, 0) - 1), "renamed fixture");

  // An ended program and its window go.
  a.End();
  Timed();
  EXPECT_LT(AppRow("mergea.exe"), 0);
  EXPECT_LT(Mainfrm.AppLst.FindKey(folder->PathOf("mergea.exe")), 0);
  EXPECT_LT(WndRow(a.hwnd()), 0);
  EXPECT_GE(AppRow("mergeb.exe"), 0);
}

// The timed merge reads a window's facts its own cheaper way; the rows must read as a
// full reload makes them, window by window, also for two windows of one thread in
// different states and for a window that stopped answering.
TEST_F(ListsTest, TimedMergeShowsWhatAFullReloadShows) {
  Fixture& two = folder->Start("factsa.exe", "many:2");
  Fixture& hung = folder->Start("factsh.exe", "hung");
  Full();
  std::vector<HWND> windows;
  for (int16_t i = 0; i <= WndTableLast; ++i) {
    DWORD pid = 0;
    GetWindowThreadProcessId(WndTable[static_cast<size_t>(i)], &pid);
    if (pid == two.pid() || pid == hung.pid()) windows.push_back(WndTable[static_cast<size_t>(i)]);
  }
  HWND other = nullptr;
  for (HWND h : windows) {
    const std::string title = GetWndTitle(h);
    if (title.size() > 2 && title.compare(title.size() - 2, 2, " 2") == 0) other = h;  // the second of many:2
  }
  ASSERT_TRUE(other);
  EnableWindow(other, FALSE);
  SetWindowPos(two.hwnd(), HWND_TOPMOST, 5, 7, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
  SetWindowTextA(two.hwnd(), "changed facts");
  auto rows = [&] {
    std::vector<std::vector<std::string>> cells;
    for (HWND h : windows) {
      const int row = WndRow(h);
      std::vector<std::string> one;
      for (int c = 0; c < Mainfrm.WndLst.ColumnCount(); ++c) one.push_back(row < 0 ? "" : Mainfrm.WndLst.SubItem(row, c));
      cells.push_back(one);
    }
    return cells;
  };
  Timed();
  Shares();
  const auto merged = rows();
  Full();
  EXPECT_EQ(merged, rows());
  const int status = Mainfrm.GetColumn(1, 1) - 1;
  ASSERT_GE(status, 0);
  EXPECT_EQ(Mainfrm.WndLst.SubItem(WndRow(hung.hwnd()), status), "Not Responding");
  EXPECT_EQ(Mainfrm.WndLst.SubItem(WndRow(other), Mainfrm.GetColumn(1, 6) - 1), "Disabled");
  EXPECT_EQ(Mainfrm.WndLst.SubItem(WndRow(two.hwnd()), Mainfrm.GetColumn(1, 5) - 1), "Always On Top");
  SetWindowPos(two.hwnd(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

// The timed refresh reads the facts of the window rows on screen; the other rows are
// read a share at a time between ticks, each within two seconds of the clock; a row
// the user scrolls into view is read at once; a forced refresh reads everything.
TEST_F(ListsTest, RowsOnScreenAreReadEachTickTheOthersInTurnAndScrolledRowsAtOnce) {
  RefreshInterval = 4;  // the shares run only while the page refreshes itself
  Fixture& many = folder->Start("turnmany.exe", "many:40");
  Full();
  std::vector<HWND> mine;
  for (int16_t i = 0; i <= WndTableLast; ++i) {
    DWORD pid = 0;
    GetWindowThreadProcessId(WndTable[static_cast<size_t>(i)], &pid);
    if (pid == many.pid()) mine.push_back(WndTable[static_cast<size_t>(i)]);
  }
  ASSERT_GE(mine.size(), 40u);
  // A tick that lets no message run, so the page's own shares wait for the test.
  auto tick = [this] {
    now += 100;
    Mainfrm.FastRef = true;
    Mainfrm.RefreshMe();
  };
  Mainfrm.SharesHeld = true;
  SetForegroundWindow(Mainfrm.hwnd());
  ASSERT_TRUE(testsupport::PumpUntil([] { return GetForegroundWindow() == Mainfrm.hwnd(); }, 1000));
  tick();
  const std::vector<int> shown = Mainfrm.WndLst.ShownRows();
  ASSERT_FALSE(shown.empty());
  ASSERT_LT(shown.size(), static_cast<size_t>(Mainfrm.WndLst.ItemCount())) << "the list must not show every row";
  auto onScreen = [&](HWND h) { return std::find(shown.begin(), shown.end(), WndRow(h)) != shown.end(); };
  std::vector<HWND> off;
  HWND seen = nullptr;
  for (HWND h : mine) {
    if (!onScreen(h))
      off.push_back(h);
    else if (!seen)
      seen = h;
  }
  ASSERT_TRUE(seen);
  ASSERT_GE(off.size(), 2u);
  const int name = Mainfrm.GetColumn(1, 0) - 1;
  auto cell = [&](HWND h) { return Mainfrm.WndLst.SubItem(WndRow(h), name); };
  SetWindowTextA(seen, "read at once");
  SetWindowTextA(off[0], "read in turn");
  SetWindowTextA(off[1], "read when forced");

  tick();
  EXPECT_EQ(cell(seen), "read at once");
  EXPECT_NE(cell(off[0]), "read in turn") << "a row off screen waits for its turn";
  Shares();  // every row is read again within two seconds
  EXPECT_EQ(cell(off[0]), "read in turn");
  Mainfrm.SharesHeld = false;

  // Scrolled into view with the wheel: read once the list has painted it (the page's
  // own shares held, so no share reads it meanwhile).
  Mainfrm.SharesHeld = true;
  SetWindowTextA(off[0], "scrolled into view");
  RECT box;
  GetClientRect(Mainfrm.WndLst.hwnd(), &box);
  testsupport::ClickAt(Mainfrm.WndLst.hwnd(), box.right / 2, box.bottom / 2);
  testsupport::PumpUntil([] { return GetFocus() == Mainfrm.WndLst.hwnd(); }, 1000);
  auto onScreenNow = [&](HWND h) {
    const std::vector<int> rows = Mainfrm.WndLst.ShownRows();
    return std::find(rows.begin(), rows.end(), WndRow(h)) != rows.end();
  };
  // The wheel reaches the focus or the window under the cursor, and a window left by
  // another test or program can cover the list: the list's window is brought up, given
  // the focus and the cursor before each notch.
  const HWND root = GetAncestor(Mainfrm.WndLst.hwnd(), GA_ROOT);
  POINT middle = {box.right / 2, box.bottom / 2};
  ClientToScreen(Mainfrm.WndLst.hwnd(), &middle);
  for (int notch = 0; notch < 80 && !onScreenNow(off[0]); ++notch) {
    if (GetFocus() != Mainfrm.WndLst.hwnd()) {
      SetWindowPos(root, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
      SetForegroundWindow(root);
      SetFocus(Mainfrm.WndLst.hwnd());
    }
    SetCursorPos(middle.x, middle.y);
    INPUT wheel = {};
    wheel.type = INPUT_MOUSE;
    wheel.mi.dwFlags = MOUSEEVENTF_WHEEL;
    wheel.mi.mouseData = static_cast<DWORD>(Mainfrm.WndLst.ShownRows().front() < WndRow(off[0]) ? -WHEEL_DELTA : WHEEL_DELTA);
    SendInput(1, &wheel, sizeof wheel);
    testsupport::PumpUntil([&] { return onScreenNow(off[0]); }, 100);
  }
  ASSERT_TRUE(onScreenNow(off[0])) << "the wheel did not scroll the row in; the focus is on " << GetFocus()
                                   << ", the list is " << Mainfrm.WndLst.hwnd() << ", under the cursor "
                                   << WindowFromPoint(middle);
  EXPECT_TRUE(testsupport::PumpUntil([&] { return cell(off[0]) == "scrolled into view"; }, 2000));
  Mainfrm.SharesHeld = false;

  Full();
  EXPECT_EQ(cell(off[1]), "read when forced");
}

TEST_F(ListsTest, AColumnChangeTakesTheFullRoad) {
  folder->Start("cola.exe", "plain");
  Full();
  AppList = "001";  // only the path
  ColumnsPending = true;
  ApplyPendingColumns();
  Mainfrm.FastRef = true;  // as if the options had been applied between refreshes
  Timed();
  const int row = AppRow("cola.exe");
  ASSERT_GE(row, 0);
  EXPECT_EQ(Mainfrm.AppLst.ItemText(row), Key("cola.exe"));
  EXPECT_TRUE(Mainfrm.AppLst.Sorted()) << "the full road";
}

TEST_F(ListsTest, TimedRefreshOfAnEmptyListTakesTheFullRoad) {
  folder->Start("emptya.exe", "plain");
  Timed();
  EXPECT_GE(AppRow("emptya.exe"), 0);
  EXPECT_TRUE(Mainfrm.AppLst.Sorted());
}

TEST_F(ListsTest, GetColumnFollowsTheShownFields) {
  AppList = "101";
  WndList = "0100000001";
  ColumnsPending = true;
  ApplyPendingColumns();
  struct Case {
    long list;
    int16_t field, column;
  } cases[] = {{0, 0, 1}, {0, 1, 0}, {0, 2, 2}, {0, 6, 0}, {1, 1, 1}, {1, 9, 2}, {1, 0, 0}, {2, 0, 0}, {-1, 1, 0}};
  for (const Case& c : cases) EXPECT_EQ(Mainfrm.GetColumn(c.list, c.field), c.column) << c.list << "," << c.field;
}

TEST_F(ListsTest, ModesListEachProgramOnceAndItsWindows) {
  Fixture& one = folder->Start("modea.exe", "plain");
  Fixture& two = folder->Start("modea.exe", "plain");
  folder->Start("modeb.exe", "plain");
  Full();
  // Mode 3: both windows of one program selected give one program row.
  for (int r = 0; r < Mainfrm.WndLst.ItemCount(); ++r)
    Mainfrm.WndLst.SetSelected(r, r == WndRow(one.hwnd()) || r == WndRow(two.hwnd()));
  Mainfrm.ProgWndImgIndex = 3;
  Full();
  ASSERT_EQ(Mainfrm.AppLst.ItemCount(), 1);
  EXPECT_EQ(vb::LCase(Mainfrm.AppLst.Key(0)), vb::LCase(folder->PathOf("modea.exe")));
  // Mode 1: the selected program's two windows, nothing else.
  Mainfrm.ProgWndImgIndex = 2;
  Full();
  for (int r = 0; r < Mainfrm.AppLst.ItemCount(); ++r) Mainfrm.AppLst.SetSelected(r, r == AppRow("modea.exe"));
  Mainfrm.ProgWndImgIndex = 1;
  Full();
  // Only windows of that program (a fixture owns more than its visible window).
  EXPECT_GE(Mainfrm.WndLst.ItemCount(), 2);
  for (int r = 0; r < Mainfrm.WndLst.ItemCount(); ++r)
    EXPECT_EQ(vb::LCase(GetWndInfo(kWndExePath, Mainfrm.WndLst.Key(r).substr(1)).Text()),
              vb::LCase(folder->PathOf("modea.exe")));
  EXPECT_GE(WndRow(one.hwnd()), 0);
  EXPECT_GE(WndRow(two.hwnd()), 0);
}

TEST_F(ListsTest, KillAppAsksEndsAndRestartsFromTheRoot) {
  Fixture& a = folder->Start("killa.exe", "plain");
  Full();
  Mainfrm.AppLst.SetSelected(AppRow("killa.exe"), true);
  ProcWarn = 1;
  answer = [](const looptest::ShownMessage&) { return IDNO; };
  Mainfrm.KillApp(false);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_NE(shown[0].text.find("Terminating a program can cause"), std::string::npos);
  EXPECT_EQ(WaitForSingleObject(a.process(), 0), WAIT_TIMEOUT);

  ProcWarn = 0;
  Mainfrm.AppLst.SetSelected(AppRow("killa.exe"), true);
  now += 2000;  // the refresh at the end may walk again
  Mainfrm.KillApp(true);
  EXPECT_EQ(WaitForSingleObject(a.process(), 5000), WAIT_OBJECT_0);
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].directory, "C:\\");
  EXPECT_EQ(vb::LCase(requests[0].file), vb::LCase(folder->PathOf("killa.exe")));
  EXPECT_LT(Mainfrm.AppLst.FindKey(requests[0].file), 0) << "the list was refreshed";
}

void CALLBACK PressCancel(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  CancelFlag = true;
}

TEST_F(ListsTest, CancelInTheFirstPauseEndsNothing) {
  Fixture& a = folder->Start("cancela.exe", "plain");
  Full();
  Mainfrm.AppLst.SetSelected(AppRow("cancela.exe"), true);
  const int rows = Mainfrm.AppLst.ItemCount();
  // Cancel is pressed while the page pauses: a timer handled in its pump.
  SetTimer(nullptr, 0, 100, PressCancel);
  Mainfrm.KillApp(false);
  EXPECT_EQ(WaitForSingleObject(a.process(), 200), WAIT_TIMEOUT);
  EXPECT_EQ(Mainfrm.AppLst.ItemCount(), rows);
  EXPECT_FALSE(CancelFlag);
}

TEST_F(ListsTest, RefreshDuringACommandWaitsForItsEnd) {
  folder->Start("busya.exe", "plain");
  Full();
  Mainfrm.CommandRunning = true;
  Fixture& b = folder->Start("busyb.exe", "plain");
  Full();
  EXPECT_LT(AppRow("busyb.exe"), 0);
  Mainfrm.CommandRunning = false;
  Full();
  EXPECT_GE(AppRow("busyb.exe"), 0);
  (void)b;
}

TEST_F(ListsTest, SelectionCommandsWalkEveryRow) {
  folder->Start("sela.exe", "plain");
  folder->Start("selb.exe", "plain");
  folder->Start("selc.exe", "plain");
  Full();
  ui::ListView& list = Mainfrm.AppLst;
  ASSERT_GE(list.ItemCount(), 3);
  for (int r = 0; r < list.ItemCount(); ++r) list.SetSelected(r, r == 0);
  Mainfrm.InvertSelection(list);
  EXPECT_FALSE(list.Selected(0));
  EXPECT_EQ(static_cast<int>(list.SelectedRows().size()), list.ItemCount() - 1);
  Mainfrm.SelectAll(list);
  EXPECT_EQ(static_cast<int>(list.SelectedRows().size()), list.ItemCount());
  for (int r = 0; r < list.ItemCount(); ++r) list.SetSelected(r, r == AppRow("sela.exe") || r == AppRow("selb.exe"));
  const std::string paths = Mainfrm.SelectedPaths();
  EXPECT_NE(paths.find("  -  "), std::string::npos);
  EXPECT_NE(paths.find(Key("sela.exe")), std::string::npos);
  EXPECT_NE(paths.find(Key("selb.exe")), std::string::npos);
}

TEST_F(ListsTest, WindowCommandsOnPlainAndHungWindows) {
  Fixture& plain = folder->Start("wnda.exe", "plain");
  Fixture& hung = folder->Start("wndh.exe", "hung");
  Full();
  ui::ListView& list = Mainfrm.WndLst;
  auto only = [&](HWND h) {
    for (int r = 0; r < list.ItemCount(); ++r) list.SetSelected(r, r == WndRow(h));
  };
  only(plain.hwnd());
  Mainfrm.mnuWndOnTop_Click();
  EXPECT_TRUE(testsupport::PumpUntil([&] { return IsWndOnTop(plain.hwnd()); }, 2000));
  only(plain.hwnd());
  Mainfrm.mnuWndOnTop_Click();
  EXPECT_TRUE(testsupport::PumpUntil([&] { return !IsWndOnTop(plain.hwnd()); }, 2000));

  // A hung window cannot hold the program.
  only(hung.hwnd());
  const DWORD start = GetTickCount();
  Mainfrm.mnuWndOnTop_Click();
  Mainfrm.mnuWndShowState_Click(SW_MINIMIZE);
  EXPECT_LT(GetTickCount() - start, 1500u);

  // The status column hidden: only the notice.
  WndList = "1000000000";
  ColumnsPending = true;
  ApplyPendingColumns();
  only(plain.hwnd());
  Mainfrm.mnuWndCheckStatus_Click();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, "Please, check the status column from options");
}

// Presses Yes in the fixture's own question once it has been up a while.
DWORD WINAPI AnswerFixtureQuestion(void*) {
  for (int i = 0; i < 100; ++i, Sleep(50)) {
    HWND box = FindWindowA(nullptr, "Quillon fixture");
    if (box && IsWindowVisible(box)) {
      Sleep(500);  // the user's slow answer, which the command must wait for
      PostMessageA(box, WM_COMMAND, IDYES, 0);
      return 1;
    }
  }
  return 0;
}

TEST_F(ListsTest, CloseWaitsForAnAskingWindowAndOffersToEndAHungOne) {
  Fixture& asking = folder->Start("closea.exe", "ask");
  Fixture& hung = folder->Start("closeh.exe", "hung");
  Full();
  ui::ListView& list = Mainfrm.WndLst;
  auto only = [&](HWND h) {
    for (int r = 0; r < list.ItemCount(); ++r) list.SetSelected(r, r == WndRow(h));
  };
  // The asking window closes only once its question is answered; the command waits.
  only(asking.hwnd());
  HANDLE answerer = CreateThread(nullptr, 0, AnswerFixtureQuestion, nullptr, 0, nullptr);
  const DWORD start = GetTickCount();
  Mainfrm.mnuWndClose_Click();
  EXPECT_GE(GetTickCount() - start, 400u) << "the command did not wait for the question";
  EXPECT_FALSE(IsWindow(asking.hwnd()));
  WaitForSingleObject(answerer, 5000);
  CloseHandle(answerer);

  // A hung window: the offer to end it, declined and then taken.
  for (int reply : {IDCANCEL, IDOK}) {
    shown.clear();
    answer = [reply](const looptest::ShownMessage&) { return reply; };
    only(hung.hwnd());
    Mainfrm.mnuWndClose_Click();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "The window (" + std::string("closeh.exe") +
                                 ") couldn't be closed safly, would like to terminate it?");
    EXPECT_EQ(WaitForSingleObject(hung.process(), reply == IDOK ? 5000 : 300),
              static_cast<DWORD>(reply == IDOK ? WAIT_OBJECT_0 : WAIT_TIMEOUT));
  }
}

TEST_F(ListsTest, TerminatingAWindowAsksThenEndsItsProgramAndRestartsItFromTheRoot) {
  Fixture& a = folder->Start("wkilla.exe", "plain");
  Full();
  ui::ListView& list = Mainfrm.WndLst;
  auto select = [&] {
    for (int r = 0; r < list.ItemCount(); ++r) list.SetSelected(r, r == WndRow(a.hwnd()));
  };
  ProcWarn = 1;
  answer = [](const looptest::ShownMessage&) { return IDNO; };
  select();
  Mainfrm.WndTerminate(true);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_NE(shown[0].text.find("own the selected window(s)?"), std::string::npos);
  EXPECT_EQ(WaitForSingleObject(a.process(), 300), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_TRUE(requests.empty());

  answer = [](const looptest::ShownMessage&) { return IDYES; };
  select();
  now += 2000;
  Mainfrm.WndTerminate(true);
  EXPECT_EQ(WaitForSingleObject(a.process(), 5000), static_cast<DWORD>(WAIT_OBJECT_0));
  EXPECT_FALSE(IsWindow(a.hwnd())) << "restarted only once the window was gone";
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].directory, "C:\\");
  EXPECT_EQ(vb::LCase(requests[0].file), vb::LCase(folder->PathOf("wkilla.exe")));
}

// Wine answers 0 for GetGuiResources, so the icons kept are counted where they live:
// the lists' image lists stay level however often the lists are refreshed.
TEST_F(ListsTest, RepeatedRefreshesKeepTheImageListsLevel) {
  folder->Start("levela.exe", "plain");
  folder->Start("levelb.exe", "plain");
  Full();
  Timed();
  auto images = [] {
    int n = 0;
    for (int which = 0; which < 2; ++which) {
      HIMAGELIST list = Mainfrm.TmpIconImg[which].handle();
      n += list ? ImageList_GetImageCount(list) : 0;
    }
    return n;
  };
  const int first = images();
  for (int i = 0; i < 100; ++i) {
    if (i % 10 == 0)
      Full();
    else
      Timed();
  }
  EXPECT_LE(images(), first + 2) << "from " << first;

  // Programs that come and go between timed refreshes: each brings its icons, and
  // takes them along when it ends.
  auto counts = [] {
    std::vector<int> n;
    for (int which = 0; which < 2; ++which) {
      HIMAGELIST list = Mainfrm.TmpIconImg[which].handle();
      n.push_back(list ? ImageList_GetImageCount(list) : 0);
    }
    return n;
  };
  Timed();
  const std::vector<int> level = counts();
  for (int cycle = 0; cycle < 8; ++cycle) {
    SCOPED_TRACE("cycle " + std::to_string(cycle));
    Fixture& comer = folder->Start("levelc.exe", "plain");
    Timed();
    ASSERT_GE(AppRow("levelc.exe"), 0);
    ASSERT_GE(WndRow(comer.hwnd()), 0);
    EXPECT_GE(Mainfrm.AppLst.SmallIcon(AppRow("levelc.exe")), 0) << "the new program's icon";
    comer.End();
    Timed();
    EXPECT_EQ(AppRow("levelc.exe"), -1);
    EXPECT_EQ(counts(), level);
  }
  // Every row still shows an image of its own.
  for (ui::ListView* list : {&Mainfrm.AppLst, &Mainfrm.WndLst}) {
    std::vector<int> icons;
    for (int r = 0; r < list->ItemCount(); ++r)
      if (list->SmallIcon(r) >= 0) icons.push_back(list->SmallIcon(r));
    std::sort(icons.begin(), icons.end());
    EXPECT_EQ(std::adjacent_find(icons.begin(), icons.end()), icons.end());
    if (!icons.empty()) EXPECT_LT(icons.back(), counts()[list == &Mainfrm.AppLst ? 0 : 1]);
  }
}

TEST_F(ListsTest, SwitchingToAWindowThatDoesNotAnswerIsRefused) {
  Fixture& hung = folder->Start("switchh.exe", "hung");
  Full();
  ui::ListView& list = Mainfrm.WndLst;
  for (int r = 0; r < list.ItemCount(); ++r) list.SetSelected(r, r == WndRow(hung.hwnd()));
  Mainfrm.mnuWndSwitch_Click();
  Mainfrm.mnuWndShowForSeconds_Click();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].text, "The window is not responding, the program can't switch to it");
  EXPECT_EQ(shown[1].text, "The window is not responding, the program can't show to it");
  const int column = Mainfrm.GetColumn(1, 1);
  ASSERT_GT(column, 0);
  EXPECT_EQ(list.SubItem(WndRow(hung.hwnd()), column - 1), "Not Responding");
}

TEST_F(ListsTest, ShowHideTellsOnceAndKeepsHiddenWindowsListed) {
  Fixture& a = folder->Start("showa.exe", "plain");
  Full();
  HideWnd = 1;
  ui::ListView& list = Mainfrm.WndLst;
  for (int r = 0; r < list.ItemCount(); ++r) list.SetSelected(r, r == WndRow(a.hwnd()));
  Mainfrm.mnuWndShowHide_Click();
  EXPECT_TRUE(testsupport::PumpUntil([&] { return !IsWindowVisible(a.hwnd()); }, 2000));
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_NE(shown[0].text.find("Quillon will show hidden windows"), std::string::npos);
  EXPECT_EQ(HideWnd, 0);
  for (int r = 0; r < list.ItemCount(); ++r) list.SetSelected(r, r == WndRow(a.hwnd()));
  Mainfrm.mnuWndShowHide_Click();
  EXPECT_TRUE(testsupport::PumpUntil([&] { return IsWindowVisible(a.hwnd()) != FALSE; }, 2000));
  EXPECT_EQ(shown.size(), 1u);
}

TEST_F(ListsTest, CopyNameAndHandleJoinsLines) {
  Fixture& a = folder->Start("copya.exe", "plain");
  Fixture& b = folder->Start("copyb.exe", "plain");
  Full();
  ui::ListView& list = Mainfrm.WndLst;
  for (int r = 0; r < list.ItemCount(); ++r) list.SetSelected(r, r == WndRow(a.hwnd()) || r == WndRow(b.hwnd()));
  Mainfrm.mnuWndCopyNameHandle_Click();
  const std::string text = testsupport::ClipboardText();
  const std::string first = WndRow(a.hwnd()) < WndRow(b.hwnd()) ? "copya.exe" : "copyb.exe";
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1);
  EXPECT_EQ(text.substr(0, first.size()), first);
  EXPECT_NE(text.find(" [" + WndHandleText(a.hwnd()) + "]"), std::string::npos);
  EXPECT_NE(text.back(), '\n');
}

}  // namespace

namespace {

TEST(ListsPageRules, SplitterBoundsAndBarColours) {
  struct Case {
    int inner, wanted, result;
  } cases[] = {{400, 40, -1}, {400, 41, 41}, {400, 319, 319}, {400, 320, -1}, {400, 500, -1}, {399, 40, 40}};
  for (const Case& c : cases) EXPECT_EQ(MainfrmForm::SplitterHeight(c.inner, c.wanted), c.result) << c.wanted;
  EXPECT_EQ(MainfrmForm::BarColourForDepth(16), RGB(255, 255, 255));
  EXPECT_EQ(MainfrmForm::BarColourForDepth(24), FormBackColor);
  EXPECT_EQ(MainfrmForm::BarColourForDepth(32), FormBackColor);
}

TEST_F(ListsTest, ViewModeButtonsStepThroughTheModes) {
  struct Case {
    int16_t from;
    const char* key;
    int16_t to;
  } cases[] = {{2, "ProgWnd", 1}, {1, "ProgWnd", 3}, {3, "ProgWnd", 1}, {4, "ProgWnd", 3},
               {1, "All", 2},     {3, "All", 4},     {2, "All", 2},     {4, "All", 4}};
  for (const Case& c : cases) {
    Mainfrm.ProgWndImgIndex = c.from;
    Mainfrm.FastRef = true;
    Mainfrm.Toolbar3_ButtonClick(c.key);
    EXPECT_EQ(Mainfrm.ProgWndImgIndex, c.to) << c.from << " " << c.key;
    EXPECT_FALSE(Mainfrm.FastRef);
  }
}

TEST_F(ListsTest, PrioritiesReadBackAndIncreaseStopsAtHigh) {
  Fixture& a = folder->Start("prioa.exe", "plain");
  Full();
  ui::ListView& list = Mainfrm.AppLst;
  const int16_t column = Mainfrm.GetColumn(0, 6);
  ASSERT_GT(column, 0);
  auto select = [&] {
    for (int r = 0; r < list.ItemCount(); ++r) list.SetSelected(r, r == AppRow("prioa.exe"));
  };
  struct Step {
    std::function<void()> run;
    DWORD cls;
    const char* cell;
  } steps[] = {
      {[] { Mainfrm.SetSelectedPriority(0); }, IDLE_PRIORITY_CLASS, "Idle"},
      {[] { Mainfrm.ChangeSelectedPriority(1); }, NORMAL_PRIORITY_CLASS, "Normal"},
      {[] { Mainfrm.ChangeSelectedPriority(1); }, HIGH_PRIORITY_CLASS, "High"},
      {[] { Mainfrm.ChangeSelectedPriority(1); }, HIGH_PRIORITY_CLASS, "High"},
      {[] { Mainfrm.ChangeSelectedPriority(-1); }, NORMAL_PRIORITY_CLASS, "Normal"},
  };
  for (const Step& s : steps) {
    select();
    s.run();
    EXPECT_EQ(GetPriorityClass(a.process()), s.cls);
    EXPECT_EQ(list.SubItem(AppRow("prioa.exe"), column - 1), s.cell);
  }
  // With the priority column hidden no other cell is written.
  AppList = "111111";
  ColumnsPending = true;
  ApplyPendingColumns();
  Full();
  select();
  const int row = AppRow("prioa.exe");
  std::vector<std::string> before;
  for (int c = 0; c < list.ColumnCount(); ++c) before.push_back(list.SubItem(row, c));
  Mainfrm.SetSelectedPriority(2);
  for (int c = 0; c < list.ColumnCount(); ++c) EXPECT_EQ(list.SubItem(row, c), before[static_cast<size_t>(c)]);
}

// What the page hands on, seen through the bindings the other pages fill.
std::vector<std::string> pagesShown, monitorAsked;
bool monitorAnswer = true;

TEST_F(ListsTest, SendToCommandsHandTheSelectionToTheirPages) {
  const auto keptFrame = Views.frame.ClickPageButton;
  const auto keptMonitor = Views.procCpu.AddProcess;
  Views.frame.ClickPageButton = [](const std::string& key) { pagesShown.push_back(key); };
  Views.procCpu.AddProcess = [](const std::string&, const std::string& path, bool notRunning) {
    monitorAsked.push_back(path + (notRunning ? " not running" : ""));
    return monitorAnswer;
  };
  pagesShown.clear();
  monitorAsked.clear();
  Fixture& a = folder->Start("senda.exe", "plain");
  folder->Start("sendb.exe", "plain");
  folder->Start("sendc.exe", "plain");
  Full();
  ui::ListView& list = Mainfrm.AppLst;
  auto select = [&](std::vector<std::string> names) {
    for (int r = 0; r < list.ItemCount(); ++r)
      list.SetSelected(r, std::any_of(names.begin(), names.end(), [&](const std::string& n) { return r == AppRow(n); }));
  };

  // Monitor: a program already monitored is skipped; a refusal ends the command
  // before the page is shown.
  MonitoredProgHist.push_back(std::make_unique<HistogramCls>());
  MonitoredProgHist.back()->ExtraInfo = vb::LCase(Key("senda.exe"));
  select({"senda.exe", "sendb.exe", "sendc.exe"});
  monitorAnswer = false;
  Mainfrm.mnuProgsMonitorCPU_Click();
  EXPECT_EQ(monitorAsked.size(), 1u) << "the first refusal ends the command";
  EXPECT_TRUE(pagesShown.empty());
  monitorAsked.clear();
  monitorAnswer = true;
  Mainfrm.mnuProgsMonitorCPU_Click();
  ASSERT_EQ(monitorAsked.size(), 2u);
  for (const std::string& asked : monitorAsked) EXPECT_NE(vb::LCase(asked), vb::LCase(Key("senda.exe")));
  EXPECT_EQ(pagesShown, std::vector<std::string>{"ProcCPU"});
  MonitoredProgHist.pop_back();

  // Internet start-up: each path once, also when sent again.
  pagesShown.clear();
  select({"sendb.exe"});
  Mainfrm.mnuProgsInternet_Click();
  Mainfrm.mnuProgsInternet_Click();
  int listed = 0;
  for (int i = 0; i < ConInfoFrm.IntProgsList.ItemCount(); ++i)
    listed += ConInfoFrm.IntProgsList.ItemText(i) == vb::LCase(Key("sendb.exe"));
  EXPECT_EQ(listed, 1);
  EXPECT_EQ(ConInfoFrm.SSTab1.Tab(), 1);
  EXPECT_EQ(pagesShown.front(), "ConInfo");
  EXPECT_TRUE(shown.empty()) << "a path already listed is skipped without a word";

  // The browsers list: the add dialog holds the row's path, the page its tab.
  pagesShown.clear();
  select({"sendc.exe"});
  Mainfrm.mnuProgsSendToBrowsers_Click();
  EXPECT_EQ(pagesShown, std::vector<std::string>{"PopUp"});
  EXPECT_EQ(PopUpFrm.SSTab1.Tab(), 2);
  EXPECT_EQ(AddBrowserFrm.BrowserPathTxt.Text(), Key("sendc.exe"));
  EXPECT_TRUE(AddBrowserFrm.Visible());

  // The white list: the window's title, by name.
  pagesShown.clear();
  ui::ListView& windows = Mainfrm.WndLst;
  for (int r = 0; r < windows.ItemCount(); ++r) windows.SetSelected(r, r == WndRow(a.hwnd()));
  char title[256] = "";
  GetWindowTextA(a.hwnd(), title, sizeof title);
  Mainfrm.mnuWndsSendToWhite_Click();
  EXPECT_EQ(pagesShown, std::vector<std::string>{"PopUp"});
  EXPECT_EQ(PopUpFrm.SSTab1.Tab(), 1);
  EXPECT_EQ(AddWhiteFrm.ByNameTxt.Text(), title);
  EXPECT_EQ(AddWhiteFrm.ByURLTxt.Text(), "");

  AddBrowserFrm.Hide();
  AddWhiteFrm.Hide();
  ConInfoFrm.IntProgsList.Clear();
  Views.frame.ClickPageButton = keptFrame;
  Views.procCpu.AddProcess = keptMonitor;
}

TEST_F(ListsTest, MoveToQuarantineGoesOnAfterAFailure) {
  Fixture& a = folder->Start("qrta.exe", "plain");
  Full();
  ui::ListView& list = Mainfrm.AppLst;
  for (int r = 0; r < list.ItemCount(); ++r) list.SetSelected(r, r == AppRow("qrta.exe"));
  answer = [](const looptest::ShownMessage& m) {
    return m.text.find("move it to the quarantine") != std::string::npos ? IDYES : IDOK;
  };
  // The file held open without delete-sharing cannot be moved.
  const std::string path = folder->PathOf("qrta.exe");
  HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  now += 2000;
  Mainfrm.mnuProgsMoveToQrt_Click();
  CloseHandle(held);
  EXPECT_EQ(WaitForSingleObject(a.process(), 5000), WAIT_OBJECT_0);
  const bool moved = GetFileAttributesA((path + "_XX").c_str()) != INVALID_FILE_ATTRIBUTES;
  const bool failed = std::any_of(shown.begin(), shown.end(), [&](const looptest::ShownMessage& m) {
    return m.text.find("can't be send to the quarantine.") != std::string::npos;
  });
  EXPECT_NE(moved, failed) << "either the file moved or the user was told";
  EXPECT_LT(AppRow("qrta.exe"), 0) << "the list was refreshed";
}

}  // namespace

namespace {

std::vector<ProgRow> PathsAndCounts() {
  std::vector<ProgRow> rows(ProgTable.begin(), ProgTable.begin() + (ProgTableLast + 1));
  for (ProgRow& r : rows)
    for (int c : {kProgRisk, kProgCommitted, kProgReserved, kProgFree, kProgCpu, kProgPriority}) r[c].clear();
  return rows;
}

TEST_F(ListsTest, TheRememberedWalkEqualsAFullWalkAndOpensOnlyNewProcesses) {
  folder->Start("walka.exe", "hidden");
  now += 2000;
  DoProcessListOp(kProcRebuild, "");
  const std::vector<ProgRow> full = PathsAndCounts();
  SaveSetting("Quillon", "tmp", "ProcChanged", "1");
  now += 2000;
  ProcessOpensForTest = 0;
  DoProcessListOp(kProcRebuild, vb::BoolText(true));
  EXPECT_EQ(ProcessOpensForTest, 0) << "every process was known";
  EXPECT_EQ(PathsAndCounts(), full);

  Fixture& b = folder->Start("walkb.exe", "hidden");
  now += 2000;
  ProcessOpensForTest = 0;
  DoProcessListOp(kProcRebuild, vb::BoolText(true));
  EXPECT_EQ(ProcessOpensForTest, 1) << "only the new process is opened";
  ASSERT_GE(Mainfrm.GetAppId(folder->PathOf("walkb.exe")), 0);
  std::vector<ProgRow> remembered = PathsAndCounts();
  now += 2000;
  DoProcessListOp(kProcRebuild, "");
  EXPECT_EQ(remembered, PathsAndCounts());

  // An ended process is a change, and it goes.
  b.End();
  now += 2000;
  DoProcessListOp(kProcRebuild, vb::BoolText(true));
  EXPECT_LT(Mainfrm.GetAppId(folder->PathOf("walkb.exe")), 0);
}

}  // namespace
