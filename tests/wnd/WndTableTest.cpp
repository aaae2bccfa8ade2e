// The window table against windows of fixture processes under Wine: which windows
// each display option lists, special programs, the program's own windows and the
// titles of the activity-log snapshot.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>

#include "ModProgInfo.h"
#include "ModSettings.h"
#include "ModWndOpr.h"
#include "UiWait.h"
#include "WndTestSupport.h"
#include "modIni.h"

namespace {

using namespace wndtest;

// The kinds one "kinds" fixture makes, by title suffix ("" is its main window).
const char* const kKinds[] = {"", " invisible", " tool", " owned", " owned app", " owner", " dialog", " dialog other"};

// Listed or not, per kind, for display modes 0 to 3; the first table with invisible
// windows kept (HideWnd 0), the second with them removed (HideWnd 1).
struct Expected {
  const char* kind;
  bool shown[2][4];  // [HideWnd][WndDisplay]
};
const Expected kTable[] = {
    //  kind             HideWnd 0: 0 1 2 3          HideWnd 1: 0 1 2 3
    {"", {{true, true, true, true}, {true, true, true, true}}},
    {" invisible", {{true, true, true, true}, {false, false, false, false}}},
    {" tool", {{false, false, false, true}, {false, false, false, true}}},
    {" owned", {{false, false, false, true}, {false, false, false, true}}},
    {" owned app", {{true, true, true, true}, {true, true, true, true}}},
    {" owner", {{true, true, true, true}, {false, false, false, false}}},
    {" dialog", {{false, true, true, true}, {false, true, true, true}}},
    {" dialog other", {{false, false, true, true}, {false, false, true, true}}},
};

class WndTableTest : public WndTest {};

TEST_F(WndTableTest, EveryDisplayModeAndHideSettingListsItsKindsOfWindows) {
  // The owner's class is lower case: the filter upper-cases it before the comparison.
  testsupport::Fixture& f = Start("kinds.exe", "kinds:rundll");
  std::map<std::string, HWND> windows;
  for (const char* kind : kKinds) {
    windows[kind] = FindWindowOf(f.pid(), std::string("kinds.exe") + kind);
    ASSERT_TRUE(windows[kind]) << "no window for kind '" << kind << "'";
  }
  ASSERT_FALSE(IsWindowVisible(windows[" invisible"]));
  ASSERT_TRUE(IsWindowVisible(windows[" dialog"]));
  ForceProcessWalk();

  for (int hide = 0; hide <= 1; ++hide)
    for (int mode = 0; mode <= 3; ++mode) {
      HideWnd = static_cast<int16_t>(hide);
      WndDisplay = static_cast<int16_t>(mode);
      EXPECT_TRUE(GetWndInfo(0, "").IsEmpty());
      EXPECT_EQ(WndTableLast + 1, static_cast<int>(WndTable.size()));
      for (const Expected& e : kTable)
        EXPECT_EQ(Listed(windows[e.kind]), e.shown[hide][mode])
            << "kind '" << e.kind << "' with HideWnd " << hide << " and WndDisplay " << mode;
    }
}

TEST_F(WndTableTest, RecommendedModeMatchesOwnerClassesExactlyAfterUpperCasing) {
  testsupport::Fixture& f = Start("stub.exe", "kinds:StubWindow32");
  HWND dialog = FindWindowOf(f.pid(), "stub.exe dialog");
  ASSERT_TRUE(dialog);
  ForceProcessWalk();
  WndDisplay = 1;

  GetWndInfo(0, "");
  EXPECT_TRUE(Listed(dialog));

  // A lower-case entry never matches, nor does one with other letters.
  DialogOwnerClasses = {"", "stubwindow32", "RUNDLL"};
  GetWndInfo(0, "");
  EXPECT_FALSE(Listed(dialog));
  // Entry 0 is never looked at.
  DialogOwnerClasses = {"STUBWINDOW32"};
  GetWndInfo(0, "");
  EXPECT_FALSE(Listed(dialog));
  DialogOwnerClasses = {"", "STUBWINDOW32"};
  GetWndInfo(0, "");
  EXPECT_TRUE(Listed(dialog));
}

TEST_F(WndTableTest, OnlyHideWithWindowsTakesAProgramsWindowsOut) {
  testsupport::Fixture& hide = Start("act0.exe");
  testsupport::Fixture& hideAll = Start("act1.exe");
  testsupport::Fixture& warn = Start("act2.exe");
  testsupport::Fixture& plain = Start("plain.exe");
  SetSpecialPrograms({{PathOf("act0.exe"), 0}, {PathOf("act1.exe"), 1}, {PathOf("act2.exe"), 2}});
  ForceProcessWalk();

  for (int mode = 0; mode <= 3; ++mode) {
    WndDisplay = static_cast<int16_t>(mode);
    GetWndInfo(0, "");
    EXPECT_TRUE(Listed(hide.hwnd())) << "action 0, mode " << mode;
    EXPECT_FALSE(Listed(hideAll.hwnd())) << "action 1, mode " << mode;
    EXPECT_TRUE(Listed(warn.hwnd())) << "action 2, mode " << mode;
    EXPECT_TRUE(Listed(plain.hwnd())) << "mode " << mode;
  }
}

TEST_F(WndTableTest, TheProgramsOwnWindowsNeverEnterTheTable) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "WndTableOwn";
  RegisterClassA(&wc);
  HWND own = CreateWindowExA(WS_EX_APPWINDOW, "WndTableOwn", "own", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100, 100,
                             nullptr, nullptr, wc.hInstance, nullptr);
  ASSERT_TRUE(own);
  testsupport::Fixture& f = Start("other.exe");
  ForceProcessWalk();
  WndDisplay = 3;
  HideWnd = 0;
  GetWndInfo(0, "");
  EXPECT_TRUE(Listed(f.hwnd()));
  EXPECT_FALSE(Listed(own));
  for (int i = 0; i <= WndTableLast; ++i) {
    DWORD pid = 0;
    GetWindowThreadProcessId(WndTable[i], &pid);
    EXPECT_NE(pid, GetCurrentProcessId());
  }
  DestroyWindow(own);
}

TEST_F(WndTableTest, TheLogSnapshotTakesTitlesAndNeverAsksAHungWindow) {
  testsupport::Fixture& hung = Start("hung.exe", "hung");
  testsupport::Fixture& plain = Start("titled.exe");
  ForceProcessWalk();
  WndDisplay = 0;

  // Outside the snapshot the titles are left as they were.
  WndTitles = {"kept"};
  GetWndInfo(0, "");
  EXPECT_EQ(WndTitles, std::vector<std::string>{"kept"});

  LogScanning = 1;
  DWORD start = GetTickCount();
  GetWndInfo(0, "");
  DWORD took = Since(start);
  LogScanning = 0;
  ASSERT_EQ(WndTitles.size(), WndTable.size());
  std::map<HWND, std::string> titles;
  for (int i = 0; i <= WndTableLast; ++i) titles[WndTable[i]] = WndTitles[i];
  ASSERT_TRUE(titles.count(hung.hwnd()));
  ASSERT_TRUE(titles.count(plain.hwnd()));
  EXPECT_EQ(titles[hung.hwnd()], "(Not responding)");
  // The title carries no terminating character: it equals the window's text.
  EXPECT_EQ(titles[plain.hwnd()], "titled.exe");
  EXPECT_EQ(titles[plain.hwnd()].size(), 10u);
  // One short probe for the hung window, not a wait for it.
  EXPECT_LT(took, 3000u);
}

TEST_F(WndTableTest, CodesOutsideTheTableChangeNothing) {
  testsupport::Fixture& f = Start("codes.exe");
  ForceProcessWalk();
  GetWndInfo(0, "");
  std::vector<HWND> table(WndTable.begin(), WndTable.begin() + WndTableLast + 1);
  GetWndInfo(10, WndHandleText(f.hwnd()));
  WndInfo before = CurWnd;
  for (long code : {-1L, 11L, 100L}) {
    EXPECT_TRUE(GetWndInfo(code, WndHandleText(f.hwnd())).IsEmpty()) << code;
  }
  EXPECT_EQ(std::vector<HWND>(WndTable.begin(), WndTable.begin() + WndTableLast + 1), table);
  EXPECT_EQ(CurWnd.Title, before.Title);
  EXPECT_EQ(CurWnd.ProcessId, before.ProcessId);
}

}  // namespace
