// The tray icon as Wine shows it: our icon is a child window of Wine's own tray
// window, and real input on it reaches the frame as the icon's callback.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "InterfaceFrm.h"
#include "Input.h"
#include "ModMain.h"
#include "ModMainPlatform.h"
#include "ShellTestSupport.h"
#include "UiWait.h"

#include <shlwapi.h>

using shelltest::FrameTest;
using shelltest::MenuWatcher;
using testsupport::PumpUntil;

namespace {

// The icons in Wine's stand-alone tray window; explorer owns them, so ours is the
// one that appears when we add it.
std::vector<HWND> TrayIcons() {
  std::vector<HWND> icons;
  HWND tray = FindWindowA("__winex11_standalone_tray", nullptr);
  if (!tray) return icons;
  for (HWND icon = FindWindowExA(tray, nullptr, "__winex11_tray_icon", nullptr); icon;
       icon = FindWindowExA(tray, icon, "__winex11_tray_icon", nullptr))
    icons.push_back(icon);
  return icons;
}

HWND AddOurIcon() {
  RemoveTrayIcon();  // the tray drops the icon's window before it answers
  const std::vector<HWND> before = TrayIcons();
  AddTrayIcon();
  HWND ours = nullptr;
  testsupport::PumpUntil([&] {
    for (HWND icon : TrayIcons())
      if (std::find(before.begin(), before.end(), icon) == before.end()) ours = icon;
    return ours != nullptr;
  });
  return ours;
}

// The tray is in front before the click, as the taskbar is when the user clicks it.
// Otherwise the click activates Wine's tray window some time after the program's own
// SetForegroundWindow (measured: the frame is deactivated about 15 ms into its menu),
// and the menu closes at once.
void ClickTrayIcon(HWND icon, DWORD down, DWORD up, int times) {
  HWND tray = GetParent(icon);
  SetForegroundWindow(tray);
  PumpUntil([tray] { return GetForegroundWindow() == tray; });
  // The tray's thread has taken its activation once it answers a message sent after it.
  DWORD_PTR result = 0;
  SendMessageTimeoutA(tray, WM_NULL, 0, 0, SMTO_NORMAL, 3000, &result);
  testsupport::PumpUntilIdle();
  RECT r;
  GetClientRect(icon, &r);
  for (int i = 0; i < times; ++i) testsupport::ClickAt(icon, r.right / 2, r.bottom / 2, down, up);
}

class TrayTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    icon = AddOurIcon();
    ASSERT_TRUE(icon) << "no tray icon of ours";
    HWND tray = GetParent(icon);
    ShowWindow(tray, SW_SHOWNOACTIVATE);
    SetWindowPos(tray, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    Settle();
  }
  void TearDown() override {
    SetPriorityClass(GetCurrentProcess(), NORMAL_PRIORITY_CLASS);
    FrameTest::TearDown();
  }
  void ClickIcon(DWORD down, DWORD up, int times = 1) { ClickTrayIcon(icon, down, up, times); }
  HWND icon = nullptr;
};

TEST_F(TrayTest, ADoubleClickOnTheIconShowsTheFrame) {
  InterfaceFrm.Hide();
  ClickIcon(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 2);
  EXPECT_TRUE(PumpUntil([] { return InterfaceFrm.Visible(); })) << "the frame did not show";
}

TEST_F(TrayTest, ARightClickShowsTheMainMenuWithTheTraysOwnItems) {
  for (bool frameShown : {true, false}) {
    SCOPED_TRACE(frameShown ? "frame shown" : "frame hidden");
    if (!frameShown) InterfaceFrm.Hide();
    // The menu runs its own loop inside the icon's callback; the watcher closes it.
    MenuWatcher watcher;
    ClickIcon(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    const shelltest::ShownMenu menu = watcher.Wait();
    Settle();
    ASSERT_TRUE(menu.seen) << "no menu appeared";
    ASSERT_FALSE(menu.items.empty());
    EXPECT_EQ(menu.items.front(), "Open");
    EXPECT_NE(std::find(menu.items.begin(), menu.items.end(), "&About"), menu.items.end());
    EXPECT_EQ(std::find(menu.items.begin(), menu.items.end(), "&Run"), menu.items.end());
    EXPECT_EQ(std::find(menu.items.begin(), menu.items.end(), "Refresh\tF5"), menu.items.end());
    EXPECT_EQ(menu.items.back(), "&Exit");
    // The menu bar is itself again.
    EXPECT_FALSE(InterfaceFrm.mnuFileOpen->Visible());
    EXPECT_FALSE(InterfaceFrm.mnuFileAbout->Visible());
    EXPECT_TRUE(InterfaceFrm.mnuFileRun->Visible());
    EXPECT_TRUE(InterfaceFrm.mnuFileRefresh->Visible());
    EXPECT_EQ(InterfaceFrm.Visible(), frameShown);
  }
}

TEST_F(TrayTest, TheTrayMenusOpenRunsItsCommandAndTheItemsComeBackEvenWhenACommandFails) {
  InterfaceFrm.Hide();
  {
    // "Open" is the first item.
    MenuWatcher watcher({VK_DOWN, VK_RETURN});
    ClickIcon(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    ASSERT_TRUE(watcher.Wait().seen);
    EXPECT_TRUE(PumpUntil([] { return InterfaceFrm.Visible(); })) << "Open did not show the frame";
  }
  auto kept = InterfaceFrm.mnuFileOpen->Click;
  InterfaceFrm.mnuFileOpen->Click = [] { throw std::runtime_error("the command failed"); };
  {
    MenuWatcher watcher({VK_DOWN, VK_RETURN});
    EXPECT_THROW(InterfaceFrm.Form_MouseUp(WM_RBUTTONUP), std::runtime_error);
    EXPECT_TRUE(watcher.Wait().seen);
  }
  InterfaceFrm.mnuFileOpen->Click = kept;
  EXPECT_FALSE(InterfaceFrm.mnuFileOpen->Visible());
  EXPECT_FALSE(InterfaceFrm.mnuFileAbout->Visible());
  EXPECT_TRUE(InterfaceFrm.mnuFileRun->Visible());
  EXPECT_TRUE(InterfaceFrm.mnuFileRefresh->Visible());
}

TEST_F(TrayTest, AMoveOverTheIconRaisesThePriority) {
  SetPriorityClass(GetCurrentProcess(), NORMAL_PRIORITY_CLASS);
  RECT r;
  GetClientRect(icon, &r);
  testsupport::MoveMouseTo(icon, r.right / 2 - 1, r.bottom / 2 - 1);
  testsupport::MoveMouseTo(icon, r.right / 2, r.bottom / 2);
  EXPECT_TRUE(PumpUntil([] { return GetPriorityClass(GetCurrentProcess()) == HIGH_PRIORITY_CLASS; }));
  // A press on the frame itself puts it back.
  SendMessageA(InterfaceFrm.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_EQ(GetPriorityClass(GetCurrentProcess()), static_cast<DWORD>(NORMAL_PRIORITY_CLASS));
}

TEST_F(TrayTest, ARealMouseUpOnTheFrameAtTheTraysValuesIsNoTrayEvent) {
  InterfaceFrm.Hide();
  // A right button released at x 515 (and 517) on the frame's own surface.
  SendMessageA(InterfaceFrm.hwnd(), WM_RBUTTONUP, 0, MAKELPARAM(515, 40));
  SendMessageA(InterfaceFrm.hwnd(), WM_RBUTTONUP, MK_LBUTTON, MAKELPARAM(517, 40));
  Settle();
  EXPECT_FALSE(InterfaceFrm.Visible());
  EXPECT_EQ(GetPriorityClass(GetCurrentProcess()), static_cast<DWORD>(HIGH_PRIORITY_CLASS));
  EXPECT_FALSE(InterfaceFrm.mnuFileOpen->Visible());
}

}  // namespace

namespace {

struct ProgramWindows {
  DWORD pid;
  HWND frame = nullptr, box = nullptr;
};

ProgramWindows WindowsOf(DWORD pid) {
  ProgramWindows w{pid};
  for (HWND hwnd : testsupport::TopLevelWindowsOf(pid)) {
    char cls[32] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (GetMenu(hwnd) && testsupport::WindowText(hwnd).find("Quillon Pro") == 0) w.frame = hwnd;
    if (std::string(cls) == "#32770" && IsWindowVisible(hwnd) && GetDlgItem(hwnd, IDNO)) w.box = hwnd;
  }
  return w;
}

// The real program, started as a user's program is, ended through its tray icon.
class RealProgramTrayTest : public looptest::RealProgramTest {
 protected:
  void ClickIcon(DWORD down, DWORD up, int times = 1) { ClickTrayIcon(icon, down, up, times); }
  // Right click on the icon, "E" for "&Exit": the question the program asks. Input
  // reaches another process's menu only once it is in front, so a lost key is tried
  // again.
  HWND AskToExit() {
    for (int attempt = 0; attempt < 3; ++attempt) {
      ClickIcon(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
      testsupport::PumpUntil([] { return testsupport::VisibleMenuWindow() != nullptr; }, 5000);
      // Keys reach the menu once its program is in front.
      testsupport::PumpUntil([&] {
        DWORD pid = 0;
        GetWindowThreadProcessId(GetForegroundWindow(), &pid);
        return pid == pi.dwProcessId;
      }, 2000);
      testsupport::PressKey('E');
      HWND box = nullptr;
      if (testsupport::PumpUntil([&] { return (box = WindowsOf(pi.dwProcessId).box) != nullptr; }, 4000))
        return box;
      testsupport::PressKey(VK_ESCAPE);
      testsupport::PumpUntil([] { return testsupport::VisibleMenuWindow() == nullptr; }, 3000);
    }
    return nullptr;
  }
  HWND icon = nullptr;
};

TEST_F(RealProgramTrayTest, TheIconShowsTheFrameAndItsMenuEndsTheProgramOnlyOnYes) {
  const std::vector<HWND> before = TrayIcons();
  ASSERT_TRUE(testsupport::StartQuietly(exe, "\"" + exe + "\"", testsupport::BinDir(), pi));
  ASSERT_TRUE(PumpUntil(
      [&] {
        for (HWND h : TrayIcons())
          if (std::find(before.begin(), before.end(), h) == before.end()) icon = h;
        return icon && WindowsOf(pi.dwProcessId).frame;
      },
      20000))
      << "the program's icon did not appear";
  const HWND frame = WindowsOf(pi.dwProcessId).frame;
  HWND tray = GetParent(icon);
  SetWindowPos(tray, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  EXPECT_FALSE(IsWindowVisible(frame));

  ClickIcon(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 2);
  EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(frame) != FALSE; }, 10000)) << "a double click shows the frame";

  HWND box = AskToExit();
  ASSERT_TRUE(box) << "no question";
  char text[512] = {};
  GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
  EXPECT_EQ(std::string(text),
            "Quillon Pro needs to be always running to detect and monitor accurate Internet Connection information "
            "and block pop-ups. Are you still sure you want to exit?");
  PostMessageA(box, WM_COMMAND, IDNO, 0);
  EXPECT_TRUE(PumpUntil([&] { return !IsWindow(box); }));
  PumpUntil([] { return !testsupport::VisibleMenuWindow(); }, 2000);
  EXPECT_EQ(WaitForSingleObject(pi.hProcess, 1500), static_cast<DWORD>(WAIT_TIMEOUT)) << "No keeps it running";
  EXPECT_TRUE(testsupport::AnswersWithin(pi.dwProcessId, 1000)) << "after No";

  box = AskToExit();
  ASSERT_TRUE(box) << "no question the second time";
  PostMessageA(box, WM_COMMAND, IDYES, 0);
  ASSERT_EQ(WaitForSingleObject(pi.hProcess, 15000), static_cast<DWORD>(WAIT_OBJECT_0)) << "Yes ends it";
  DWORD code = 99;
  GetExitCodeProcess(pi.hProcess, &code);
  EXPECT_EQ(code, 0u);
  EXPECT_TRUE(PumpUntil([&] {
    const std::vector<HWND> now = TrayIcons();
    return std::find(now.begin(), now.end(), icon) == now.end();
  })) << "the icon is gone";
}

}  // namespace
