// The built hook library, installed by the test, in fixture browsers of other
// processes: what it writes for real input, and what it leaves alone.
#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include "CancelEvent.h"
#include "Input.h"
#include "ModPopHook.h"
#include "ModProgInfo.h"
#include "PopSupport.h"
#include "UiWait.h"

using namespace poptest;

namespace {

const UINT kNewWindow = WM_APP + 15, kHiddenWindow = WM_APP + 17, kPageReleases = WM_APP + 22;

class MoskinHook : public PopTest {
 protected:
  void SetUp() override {
    PopTest::SetUp();
    MoskinLibraryName = "Moskin.dll";
    browser = StartBrowser("qpbrowser.exe").hwnd();
    page = ChildOfClass(browser, "Internet Explorer_Server");
    ASSERT_TRUE(page);
  }
  void TearDown() override {
    RemovePopUpHook();
    PopTest::TearDown();
  }
  // Waits a moment for the hook: true when the value became `expected`.
  bool Becomes(const std::string& key, const std::string& expected, DWORD ms = 3000) {
    return testsupport::PumpUntil([&] { return HandOver(key) == expected; }, ms);
  }
  void ClickPage() {
    SetForegroundWindow(browser);
    testsupport::ClickAt(page, 20, 20);
  }
  // Clicks the page and waits until the browser has taken the click from its queue:
  // its hook, which sees the button go down, has had its turn by then.
  void ClickPageAndWait() {
    const LRESULT before = SendMessageA(browser, kPageReleases, 0, 0);
    ClickPage();
    EXPECT_TRUE(testsupport::PumpUntil([&] { return SendMessageA(browser, kPageReleases, 0, 0) > before; }))
        << "the page never had the click";
  }

  HWND browser = nullptr, page = nullptr;
};

bool HasModule(DWORD pid, const char* name) {
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
  if (!process) return false;
  HMODULE modules[512];
  DWORD needed = 0;
  bool found = false;
  if (EnumProcessModules(process, modules, sizeof modules, &needed)) {
    for (DWORD i = 0; i < needed / sizeof(HMODULE) && !found; ++i) {
      char base[MAX_PATH] = "";
      GetModuleBaseNameA(process, modules[i], base, MAX_PATH);
      found = lstrcmpiA(base, name) == 0;
    }
  }
  CloseHandle(process);
  return found;
}

}  // namespace

TEST_F(MoskinHook, AClickInThePageIsWrittenWithItsWindowTimeAndAddress) {
  InstallPopUpHook();
  ASSERT_TRUE(PopUpHookInstalled());
  SetHandOver("MouseHwnd", "0");
  const DWORD before = GetTickCount();
  ClickPage();
  ASSERT_TRUE(Becomes("MouseHwnd", HandleText(page)));
  EXPECT_EQ(HandOver("MouseTimeD"), "http://fixture.test/page");
  const DWORD clicked = static_cast<DWORD>(std::stoul(HandOver("MouseTime")));
  EXPECT_LE(clicked - before, 5000u);
  EXPECT_TRUE(HasModule(browsers[0]->pid(), "Moskin.dll"));
}

TEST_F(MoskinHook, AMenuChoiceIsWrittenButAHighlightIsNot) {
  InstallPopUpHook();
  // The menu bar lies just above the client area; its menu drops over the client
  // area. The browser's highlight of "Open in New &Window" comes after the hook's.
  PointAtBrowserMenuOpen(browser);
  EXPECT_EQ(HandOver("MenuName"), "");
  const DWORD before = GetTickCount();
  testsupport::ClickAt(browser, 40, 10);
  ASSERT_TRUE(Becomes("MenuName", "Open in New &Window"));
  EXPECT_LE(static_cast<DWORD>(std::stoul(HandOver("Time"))) - before, 5000u);
}

TEST_F(MoskinHook, AWindowIsReportedWhenShownNotWhenMade) {
  InstallPopUpHook();
  SetHandOver("NewWin", "0");
  SetHandOver("WinTime", "0");
  HWND hidden = reinterpret_cast<HWND>(SendMessageA(browser, kHiddenWindow, 0, 0));
  ASSERT_TRUE(hidden);
  // The hook writes in the browser's thread as the window is made, inside the send.
  EXPECT_EQ(HandOver("NewWin"), "0");
  ShowWindow(hidden, SW_SHOWNOACTIVATE);
  ASSERT_TRUE(Becomes("NewWin", "1"));
  EXPECT_NE(HandOver("WinTime"), "0");
}

TEST_F(MoskinHook, ToolWindowsChildWindowsAndTheInstallersOwnWindowsWriteNothing) {
  InstallPopUpHook();
  SetHandOver("NewWin", "0");
  testsupport::Fixture& tool = StartBrowser("qptool.exe", "tool");
  ASSERT_TRUE(tool.Started());
  HWND edit = ChildOfClass(browser, "Edit");
  ShowWindow(edit, SW_HIDE);
  ShowWindow(edit, SW_SHOWNOACTIVATE);
  HWND own = CreateWindowExA(0, "STATIC", "the installer's own", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                             nullptr, nullptr, nullptr);
  ShowWindow(own, SW_SHOWNOACTIVATE);
  // Each showing ran its hooks in the window's own thread before it returned.
  EXPECT_EQ(HandOver("NewWin"), "0");
  DestroyWindow(own);
}

TEST_F(MoskinHook, AfterRemovalClicksAreNotWritten) {
  InstallPopUpHook();
  RemovePopUpHook();
  SetHandOver("MouseHwnd", "0");
  ClickPageAndWait();
  EXPECT_EQ(HandOver("MouseHwnd"), "0");
  // Installing twice replaces the hooks: one removal removes them.
  InstallPopUpHook();
  InstallPopUpHook();
  RemovePopUpHook();
  ClickPageAndWait();
  EXPECT_EQ(HandOver("MouseHwnd"), "0");
}

TEST_F(MoskinHook, ItsMessageAloneWakesTheInstallersLoop) {
  InstallPopUpHook();
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
  SendMessageA(browser, kNewWindow, 0, 0);
  const DWORD start = GetTickCount();
  const DWORD woke = MsgWaitForMultipleObjectsEx(0, nullptr, 5000, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  EXPECT_EQ(woke, WAIT_OBJECT_0);
  EXPECT_LT(GetTickCount() - start, 3000u);
  const UINT wake = RegisterWindowMessageA("QuillonPopUpHookEvent");
  bool ours = false;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    ours = ours || (m.message == wake && m.hwnd == CancelEvent.hwnd());
    DispatchMessageA(&m);
  }
  EXPECT_TRUE(ours);
}

// The hook finds the installer's window in the hand-over value "HookWnd", read with
// the registry calls every system has: only a text that fits names a window.
TEST_F(MoskinHook, OnlyATextHandOverWindowThatFitsIsWoken) {
  InstallPopUpHook();
  const std::string window = HandOver("HookWnd");
  ASSERT_NE(window, "0");
  const std::string padded = std::string(40 - window.size(), '0') + window;
  struct Case {
    const char* what;
    DWORD type;
    std::string data;  // the bytes stored, exactly
    bool woken;
  } cases[] = {
      {"the window's digits as binary data", REG_BINARY, window + '\0', false},
      {"a text too long for a window", REG_SZ, padded + '\0', false},
      {"a text stored without its terminator", REG_SZ, window, true},
      {"the text the program writes", REG_SZ, window + '\0', true},
  };
  for (const Case& c : cases) {
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Quillon\\tmp", 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
    RegSetValueExA(key, "HookWnd", 0, c.type, reinterpret_cast<const BYTE*>(c.data.data()),
                   static_cast<DWORD>(c.data.size()));
    RegCloseKey(key);
    SetHandOver("MouseHwnd", "0");
    ClickPageAndWait();
    if (c.woken) {
      EXPECT_TRUE(Becomes("MouseHwnd", HandleText(page))) << c.what;
    } else {
      EXPECT_EQ(HandOver("MouseHwnd"), "0") << c.what;
    }
  }
}
