// The real program, a copy in a folder of its own, blocking the pop-ups of a fixture
// browser in its list over a leased line.
#include <windows.h>

#include <gtest/gtest.h>

#include "Input.h"
#include "ModStartupPlatform.h"
#include "PopSupport.h"
#include "UiWait.h"

using namespace poptest;
using testsupport::SetOption;

namespace {

const UINT kUnrequested = WM_APP + 10;

class PopupProgram : public PopTest {
 protected:
  void TearDown() override {
    testsupport::EndProcess(program, 10000);
    PopTest::TearDown();
    testsupport::DeleteTree(HKEY_CURRENT_USER, "Software\\Quillon Pro");
  }
  PROCESS_INFORMATION program = {};
};

// Still there a while later.
bool Stays(HWND window) {
  testsupport::PumpUntil([&] { return !IsWindow(window); }, 1500);
  return IsWindow(window) != FALSE;
}

HWND AwaitWindow(const char* title) {
  HWND window = nullptr;
  testsupport::PumpUntil([&] { return (window = FindWindowA(nullptr, title)) != nullptr; });
  return window;
}

// The program's pop-up notice, while it is shown.
HWND NoticeOf(DWORD pid) {
  for (HWND h = FindWindowExA(nullptr, nullptr, nullptr, "Pop-up Detected"); h;
       h = FindWindowExA(nullptr, h, nullptr, "Pop-up Detected")) {
    DWORD owner = 0;
    GetWindowThreadProcessId(h, &owner);
    if (owner == pid && IsWindowVisible(h)) return h;
  }
  return nullptr;
}

LONG WindowBottom(HWND window) {
  RECT r = {};
  GetWindowRect(window, &r);
  return r.bottom;
}

// The notice's bar of "Show", "White" and "Close": the lower of its two toolbars.
HWND LowerToolbar(HWND notice) {
  HWND lower = nullptr;
  for (HWND h = FindWindowExA(notice, nullptr, "ToolbarWindow32", nullptr); h;
       h = FindWindowExA(notice, h, "ToolbarWindow32", nullptr))
    if (!lower || WindowBottom(h) > WindowBottom(lower)) lower = h;
  return lower;
}

}  // namespace

TEST_F(PopupProgram, KeepsWhatTheUserOpenedAndWhiteWindowsAndClosesTheRest) {
  const std::string here = testsupport::BinDir();
  const std::string programDir = here + "\\popup_program";
  CreateDirectoryA(programDir.c_str(), nullptr);
  for (const char* file : {"QuillonPro.exe", "Pop.dat", "RiskDescriptions.dat", "prog.ini", "Moskin.dll", "popbanner.bmp"})
    CopyFileA((here + "\\" + file).c_str(), (programDir + "\\" + file).c_str(), FALSE);
  const std::string exe = programDir + "\\QuillonPro.exe";
  // An earlier run: no first-run set-up and no question.
  testsupport::SetRegText(HKEY_LOCAL_MACHINE, AppPathsKey("QuillonPro.exe"), "", exe);
  registered.push_back("QuillonPro.exe");

  HWND browser = StartBrowser("qpbrowser.exe").hwnd();
  // A store another test left behind could hold what the program would ask about.
  testsupport::DeleteTree(HKEY_CURRENT_USER, "Software\\Quillon Pro");
  SetOption("Options", "SplashAtStartUp", "0");
  SetOption("Options", "LANCon", "1");
  SetOption("Options", "BlockMode", "1");
  SetOption("MoreTools", "BlockPopUps", "True");
  SetOption("PopUp", "BrowsersLst_Total", "1");
  SetOption("PopUp", "Browsers(0).Path", folder->PathOf("qpbrowser.exe"));
  SetOption("PopUp", "Browsers(0).MenuName(0)", "Open in New Window");
  SetOption("PopUp", "WhiteLst_Total", "1");
  SetOption("PopUp", "WhiteLst(0).WhiteType", "1");
  SetOption("PopUp", "WhiteLst(0).URL_Or_Name_text", "white");
  SetOption("PopUp", "WhiteLst(0).ExactText", "0");
  // The notice's one-time explanation would wait for its OK.
  SetOption("General", "MsgID-1", "False");
  SetHandOver("HookWnd", "0");

  ASSERT_TRUE(testsupport::StartQuietly(exe, "\"" + exe + "\"", programDir, program));
  ASSERT_TRUE(testsupport::PumpUntil(
      [] {
        const std::string hook = HandOver("HookWnd");
        return hook != "0" && hook != testsupport::kMissing;
      },
      20000))
      << "the program installed its hook; running: " << (WaitForSingleObject(program.hProcess, 0) == WAIT_TIMEOUT)
      << " windows: " << testsupport::ShownWindowsOf(program.dwProcessId);
  ASSERT_TRUE(testsupport::AnswersWithin(program.dwProcessId, 10000)) << "the program's loop runs";
  // Its loop settles before the first click, and gives no sign outside when it has:
  // without this pause a loaded run once took the user's window for a pop-up.
  testsupport::PumpUntil([] { return false; }, 1000);

  // Opened from the browser's menu: kept.
  ClickBrowserMenuOpen(browser);
  HWND opened = AwaitWindow("Fixture new 1");
  ASSERT_TRUE(opened);
  EXPECT_TRUE(Stays(opened));

  // Unrequested: closed and counted.
  SendMessageA(browser, kUnrequested, 0, 0);
  HWND pop = AwaitWindow("Fixture pop");
  ASSERT_TRUE(pop);
  // Unrequested: hidden under the notice, then closed and counted about 5 s later.
  HWND notice = nullptr;
  EXPECT_TRUE(testsupport::PumpUntil([&] { return (notice = NoticeOf(program.dwProcessId)) != nullptr; }, 3000));
  EXPECT_TRUE(testsupport::PumpUntil([&] { return IsWindow(pop) && !IsWindowVisible(pop); }, 3000));
  const DWORD shown = GetTickCount();
  EXPECT_TRUE(testsupport::PumpUntil([&] { return !IsWindow(pop); }, 9000));
  EXPECT_GE(GetTickCount() - shown, 4000u);
  EXPECT_TRUE(testsupport::PumpUntil([] { return testsupport::Option("PopUp", "TotalBlockCnt") == "1"; }, 3000));
  EXPECT_FALSE(IsWindowVisible(notice));

  // "Show" on the notice: the pop-up stays open through the scans that follow.
  SendMessageA(browser, kUnrequested, 0, 0);
  HWND shownPop = nullptr;
  ASSERT_TRUE(testsupport::PumpUntil([&] {
    shownPop = FindWindowA(nullptr, "Fixture pop");
    notice = NoticeOf(program.dwProcessId);
    return shownPop && notice && !IsWindowVisible(shownPop);
  }, 5000));
  // The compact notice shows its buttons while the cursor rests on it (once it has
  // slid in: its lower edge stays, its top rises until its height holds still).
  {
    int height = -1;
    DWORD since = GetTickCount();
    EXPECT_TRUE(testsupport::PumpUntil([&] {
      RECT r = {};
      GetWindowRect(notice, &r);
      if (r.bottom - r.top != height) height = r.bottom - r.top, since = GetTickCount();
      return height > 0 && GetTickCount() - since >= 300;
    }, 5000)) << "the notice never stopped sliding";
  }
  testsupport::MoveMouseTo(notice, 20, 10);
  HWND showBar = nullptr;
  testsupport::PumpUntil([&] { return (showBar = LowerToolbar(notice)) && IsWindowVisible(showBar) &&
                                      WindowBottom(showBar) <= WindowBottom(notice); }, 3000);
  ASSERT_TRUE(showBar);
  testsupport::ClickAt(showBar, 14, 11);
  EXPECT_TRUE(testsupport::PumpUntil([&] { return IsWindowVisible(shownPop) != FALSE; }, 3000));
  EXPECT_TRUE(Stays(shownPop));
  EXPECT_TRUE(IsWindowVisible(shownPop));
  EXPECT_EQ(testsupport::Option("PopUp", "TotalBlockCnt"), "1");
  testsupport::MoveMouseTo(GetDesktopWindow(), 3, 3);

  // White by its title: kept.
  SendMessageA(browser, kUnrequested, 1, 0);
  HWND white = AwaitWindow("Fixture white pop");
  ASSERT_TRUE(white);
  EXPECT_TRUE(Stays(white));
  EXPECT_TRUE(IsWindow(opened));
  EXPECT_TRUE(testsupport::AnswersWithin(program.dwProcessId, 1000)) << "at the end of the walk";
}
