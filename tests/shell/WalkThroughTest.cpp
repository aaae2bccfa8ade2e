// The real program driven from outside as a new user drives it: real keys and clicks
// on its windows, and after each walk the check that it still answers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Input.h"
#include "LoopTestSupport.h"
#include "Menus.h"
#include "UiWait.h"
#include "AppBarLeftover.h"

#include <shlwapi.h>

using testsupport::PressKey;
using testsupport::PumpUntil;

namespace {


bool IsClass(HWND hwnd, const char* name) {
  char cls[64] = {};
  GetClassNameA(hwnd, cls, sizeof cls);
  return lstrcmpA(cls, name) == 0;
}

std::string ChildrenOf(HWND parent) {
  std::string all;
  for (HWND h = GetWindow(parent, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
    char cls[64] = {};
    GetClassNameA(h, cls, sizeof cls);
    all += std::string("[") + cls + " " + testsupport::WindowText(h) + (IsWindowVisible(h) ? " visible" : "") + "]";
  }
  return all;
}

// Whether another program holds the hot key.
bool HotKeyTaken(UINT modifiers, UINT key) {
  if (!RegisterHotKey(nullptr, 0x7000, modifiers, key)) return true;
  UnregisterHotKey(nullptr, 0x7000);
  return false;
}

// The program started from its build folder as a user's program: known from an
// earlier run (no first-run question), no splash, no docked bar (a bar left by a
// program ended the hard way keeps its band in Wine's explorer).
class WalkThroughTest : public looptest::RealProgramTest {
 protected:
  void SetUp() override {
    RealProgramTest::SetUp();
    looptest::SetOption("General", "Toolbar", withBar ? "True" : "False");
    looptest::SetOption("General", "Position", "1");
    looptest::SetOption("General", "AutoHide", "False");
    ASSERT_TRUE(testsupport::StartQuietly(exe, "\"" + exe + "\"", testsupport::BinDir(), pi));
    ASSERT_TRUE(PumpUntil([&] { return (frame = FindFrame()) != nullptr; }, 20000)) << "no frame";
    // The start-up ends by registering the hot keys: Ctrl+Alt+E is then taken.
    ASSERT_TRUE(PumpUntil([] { return HotKeyTaken(MOD_CONTROL | MOD_ALT, 'E'); }, 60000)) << "no hot key";
    ASSERT_TRUE(testsupport::AnswersWithin(pi.dwProcessId, 1000));
  }

  HWND FindFrame() const {
    for (HWND h : testsupport::TopLevelWindowsOf(pi.dwProcessId))
      if (GetMenu(h) && testsupport::WindowText(h).find("Quillon Pro") == 0) return h;
    return nullptr;
  }
  // The program's message box in front, nullptr while there is none.
  HWND ShownBox() const {
    for (HWND h : testsupport::TopLevelWindowsOf(pi.dwProcessId))
      if (IsClass(h, "#32770") && IsWindowVisible(h) && GetDlgItem(h, 0xFFFF)) return h;
    return nullptr;
  }
  // The tool page shown in the frame.
  HWND ShownPage() const {
    for (HWND h = GetWindow(frame, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
      if (IsClass(h, "QuillonForm") && IsWindowVisible(h)) return h;
    return nullptr;
  }
  // The main window shown by its hot key (Ctrl+Alt+E) and clicked into, as a user
  // starts: the click puts the focus on a control of the shown page.
  void ShowAndClickIntoFrame() {
    PressKey('E', 2 | 4);
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(frame) && GetForegroundWindow() == frame; }, 10000))
        << "the hot key shows the frame in front: visible " << IsWindowVisible(frame) << ", in front "
        << GetForegroundWindow() << " " << testsupport::WindowText(GetForegroundWindow()) << "; "
        << testsupport::ShownWindowsOf(pi.dwProcessId);
    HWND page = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (page = ShownPage()) != nullptr; }));
    RECT r;
    GetClientRect(page, &r);
    testsupport::ClickAt(page, r.right / 2, r.bottom / 2);
    // The click has landed once the focus is inside the page (the walk checks where).
    const DWORD thread = GetWindowThreadProcessId(frame, nullptr);
    PumpUntil([&] {
      GUITHREADINFO gui = {sizeof gui};
      return GetGUIThreadInfo(thread, &gui) && gui.hwndFocus && (gui.hwndFocus == page || IsChild(page, gui.hwndFocus));
    }, 3000);
  }
  // Alt and a menu's letter open that menu of the frame's bar, and Esc closes it.
  void ExpectMenuOpensWith(char letter) {
    PressKey(letter, 4);
    EXPECT_TRUE(testsupport::AnswersWithin(pi.dwProcessId, 1000)) << "after Alt+" << letter;
    // Wine can take an Alt that follows the last menu's Esc as leaving menu mode: the
    // program still answered above, so the keys are pressed once more before failing.
    bool opened = PumpUntil([] { return testsupport::VisibleMenuWindow() != nullptr; }, 5000);
    if (!opened) {
      PressKey(VK_ESCAPE);
      PressKey(letter, 4);
      EXPECT_TRUE(testsupport::AnswersWithin(pi.dwProcessId, 1000)) << "after Alt+" << letter << " again";
      opened = PumpUntil([] { return testsupport::VisibleMenuWindow() != nullptr; }, 5000);
    }
    EXPECT_TRUE(opened) << "Alt+" << letter << " opens its menu";
    PressKey(VK_ESCAPE);
    PressKey(VK_ESCAPE);
    PumpUntil([] { return testsupport::VisibleMenuWindow() == nullptr; }, 3000);
  }

  HWND frame = nullptr;
  bool withBar = false;
};

// Real mouse input from this thread: the program is another process, so its own
// thread takes the input as a user's.
void SendMouse(POINT at, DWORD flags) {
  INPUT in = {};
  in.type = INPUT_MOUSE;
  in.mi.dx = at.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
  in.mi.dy = at.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
  in.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &in, sizeof in);
}

// The program with its tracker bar docked at the top, as the drag finds it.
class TrackerDragTest : public WalkThroughTest {
 protected:
  TrackerDragTest() { withBar = true; }
  void TearDown() override {
    // Ended the hard way, the program would leave its band reserved: freed before the
    // settings that name its bar go.
    if (pi.hProcess && WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) {
      EXPECT_TRUE(testsupport::AnswersWithin(pi.dwProcessId, 1000)) << "at the end of the walk";
      TerminateProcess(pi.hProcess, 1);
      WaitForSingleObject(pi.hProcess, 10000);
    }
    RemoveLeftoverAppBar();
    WalkThroughTest::TearDown();
  }
  HWND Bar() const {
    for (HWND h : testsupport::TopLevelWindowsOf(pi.dwProcessId))
      if (testsupport::WindowText(h) == "Quillon Tracker" && IsWindowVisible(h)) return h;
    return nullptr;
  }
  // A press on the bar's strip, moves in steps to `to`, a release: each a real input.
  void Drag(POINT from, POINT to) {
    SendMouse(from, MOUSEEVENTF_MOVE);
    PumpUntil([&] {
      POINT p;
      return GetCursorPos(&p) && p.x == from.x && p.y == from.y;
    }, 1000);
    SendMouse(from, MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTDOWN);
    // The bar has taken the press once its thread holds the mouse.
    const DWORD thread = GetWindowThreadProcessId(Bar(), nullptr);
    PumpUntil([thread] {
      GUITHREADINFO gui = {sizeof gui};
      return GetGUIThreadInfo(thread, &gui) && (gui.hwndCapture || (gui.flags & GUI_INMOVESIZE));
    }, 3000);
    for (int i = 1; i <= 10; ++i) {
      SendMouse({from.x + (to.x - from.x) * i / 10, from.y + (to.y - from.y) * i / 10}, MOUSEEVENTF_MOVE);
      PumpUntil([] { return false; }, 40);  // a hand's pace: the bar follows each move as it comes
    }
    PumpUntil([] { return false; }, 150);  // the hand rests before the release, as the drop is read there
    SendMouse(to, MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTUP);
  }
  // The bar's items are in place: its strip shows between them.
  static bool StripShows(HWND bar) {
    RECT r = {};
    GetWindowRect(bar, &r);
    const int y = (r.top + r.bottom) / 2;
    for (int x = r.right - 30; x > r.left; x -= 4)
      if (GetParent(WindowFromPoint({x, y})) == bar) return true;
    return false;
  }
  // A point of the bar's strip itself, clear of its items: from the right end, past
  // the right cap, the first point whose window is a picture of the bar itself.
  static POINT StripPoint(HWND bar) {
    RECT r = {};
    GetWindowRect(bar, &r);
    const int y = (r.top + r.bottom) / 2;
    for (int x = r.right - 30; x > r.left; x -= 4)
      if (GetParent(WindowFromPoint({x, y})) == bar) return {x, y};
    return {r.right - 30, y};
  }
  static std::string Describe(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " - " + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
  }
};


TEST_F(WalkThroughTest, LaunchAllWithNoProgramsOpensTheConnectionPageAndTheKeysStillWork) {
  ShowAndClickIntoFrame();
  PressKey('I', 2);
  HWND box = nullptr;
  ASSERT_TRUE(PumpUntil([&] { return (box = ShownBox()) != nullptr; }, 10000)) << "Ctrl+I asks for programs";
  char text[512] = {};
  GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
  EXPECT_STREQ(text, "You didn't specify any Internet programs, please add your favourite Internet programs");
  PumpUntil([&] { return GetForegroundWindow() == box; }, 3000);
  PressKey(VK_RETURN);
  ASSERT_TRUE(PumpUntil([&] { return !IsWindow(box); }, 5000)) << "Enter answers the box";
  EXPECT_TRUE(PumpUntil(
      [&] { return testsupport::WindowText(frame) == "Quillon Pro - Internet Connection Monitor"; }, 5000))
      << testsupport::WindowText(frame);
  HWND page = nullptr;
  ASSERT_TRUE(PumpUntil([&] { return (page = ShownPage()) != nullptr; }, 5000)) << ChildrenOf(frame);
  // The keyboard ends up where the user looks: inside the page now shown. The switch
  // and the box's own hand-back of the focus are separate messages, which a loaded
  // machine may deliver a moment apart.
  DWORD thread = GetWindowThreadProcessId(frame, nullptr);
  GUITHREADINFO gui = {sizeof gui};
  const bool focusInPage = PumpUntil([&] {
    return GetGUIThreadInfo(thread, &gui) && gui.hwndFocus && (gui.hwndFocus == page || IsChild(page, gui.hwndFocus));
  }, 3000);
  EXPECT_TRUE(focusInPage) << "the focus is on " << gui.hwndFocus << " (" << testsupport::WindowText(gui.hwndFocus)
                           << "), a hidden control: " << !IsWindowVisible(gui.hwndFocus);

  ExpectMenuOpensWith('T');
  // A typed letter reaches the page and leaves the program answering.
  PressKey('Q');
  EXPECT_TRUE(testsupport::AnswersWithin(pi.dwProcessId, 1000)) << "after a typed letter";
  ExpectMenuOpensWith('M');
  EXPECT_TRUE(testsupport::AnswersWithin(pi.dwProcessId, 1000));
}

// A drag of the bar ends with the release: the bar docks at the top or bottom edge it
// is dropped on, whole and readable, the program keeps answering and its hot key works.
// A drop beside a side edge docks at the nearer of top and bottom: the row of items
// cannot stand in a side column.
TEST_F(TrackerDragTest, TheBarDocksWhereItIsDroppedAndTheProgramAnswers) {
  HWND bar = nullptr;
  ASSERT_TRUE(PumpUntil([&] { return (bar = Bar()) != nullptr; }, 20000)) << testsupport::ShownWindowsOf(pi.dwProcessId);
  const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
  RECT r = {};
  ASSERT_TRUE(PumpUntil([&] { return GetWindowRect(bar, &r) && r.top == 0 && r.right - r.left == cx; }, 5000))
      << Describe(r);
  const int height = r.bottom - r.top;
  PumpUntil([&] { return StripShows(bar); }, 5000);  // its items are in place
  // Measured on the 32-bit build: a drag started as soon as the items show is lost,
  // and the bar gives no sign of when its start-up has settled.
  PumpUntil([] { return false; }, 1000);
  struct Case {
    POINT to;
    int top;  // where the bar must dock
  } cases[] = {{{500, cy - 20}, cy - height}, {{10, cy / 2 - 150}, 0}, {{cx - 5, cy / 2 + 150}, cy - height}};
  for (const Case& c : cases) {
    SCOPED_TRACE(Describe({c.to.x, c.to.y, c.to.x, c.to.y}));
    GetWindowRect(bar, &r);
    Drag(StripPoint(bar), c.to);
    EXPECT_TRUE(testsupport::AnswersWithin(pi.dwProcessId, 1000)) << "after the release";
    EXPECT_TRUE(PumpUntil([&] { return GetWindowRect(bar, &r) && r.top == c.top && r.left == 0 &&
                                       r.right == cx && r.bottom - r.top == height; }, 3000))
        << Describe(r);
    // The drag is over: a move without the button moves nothing.
    SendMouse({600, cy / 2}, MOUSEEVENTF_MOVE);
    // The program takes the move in its own time and shows no sign of having taken it.
    PumpUntil([] { return false; }, 300);
    GetWindowRect(bar, &r);
    EXPECT_EQ(r.top, c.top) << Describe(r);
  }
  // Its hot key still answers: the frame comes.
  PressKey('E', 2 | 4);
  EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(frame) != FALSE; }, 5000)) << "Ctrl+Alt+E after the drags";
  EXPECT_TRUE(testsupport::AnswersWithin(pi.dwProcessId, 1000));
}

}  // namespace
