// The real program driven from outside as a new user drives it: real keys and clicks
// on its windows, and after each walk the check that it still answers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Input.h"
#include "LoopTestSupport.h"
#include "UiWait.h"

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
    looptest::SetOption("General", "Toolbar", "False");
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
    PumpUntil([] { return false; }, 300);
  }
  static HWND ShownMenu() {
    for (HWND menu = FindWindowExA(nullptr, nullptr, "#32768", nullptr); menu;
         menu = FindWindowExA(nullptr, menu, "#32768", nullptr))
      if (IsWindowVisible(menu)) return menu;
    return nullptr;
  }
  // Alt and a menu's letter open that menu of the frame's bar, and Esc closes it.
  void ExpectMenuOpensWith(char letter) {
    PressKey(letter, 4);
    EXPECT_TRUE(testsupport::AnswersWithin(pi.dwProcessId, 1000)) << "after Alt+" << letter;
    // Wine can take an Alt that follows the last menu's Esc as leaving menu mode: the
    // program still answered above, so the keys are pressed once more before failing.
    bool opened = PumpUntil([] { return ShownMenu() != nullptr; }, 5000);
    if (!opened) {
      PressKey(VK_ESCAPE);
      PressKey(letter, 4);
      EXPECT_TRUE(testsupport::AnswersWithin(pi.dwProcessId, 1000)) << "after Alt+" << letter << " again";
      opened = PumpUntil([] { return ShownMenu() != nullptr; }, 5000);
    }
    EXPECT_TRUE(opened) << "Alt+" << letter << " opens its menu";
    PressKey(VK_ESCAPE);
    PressKey(VK_ESCAPE);
    PumpUntil([] { return ShownMenu() == nullptr; }, 3000);
  }

  HWND frame = nullptr;
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
  // The keyboard is where the user looks: inside the page now shown.
  DWORD thread = GetWindowThreadProcessId(frame, nullptr);
  GUITHREADINFO gui = {sizeof gui};
  ASSERT_TRUE(GetGUIThreadInfo(thread, &gui));
  EXPECT_TRUE(gui.hwndFocus && (gui.hwndFocus == page || IsChild(page, gui.hwndFocus)))
      << "the focus is on " << gui.hwndFocus << ", a hidden page's control: " << !IsWindowVisible(gui.hwndFocus);

  ExpectMenuOpensWith('T');
  // A typed letter reaches the page and leaves the program answering.
  PressKey('Q');
  EXPECT_TRUE(testsupport::AnswersWithin(pi.dwProcessId, 1000)) << "after a typed letter";
  ExpectMenuOpensWith('M');
  EXPECT_TRUE(testsupport::AnswersWithin(pi.dwProcessId, 1000));
}

}  // namespace
