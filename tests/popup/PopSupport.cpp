#include "PopSupport.h"

#include "LoopSeams.h"
#include "ModGetURL.h"
#include "ModMainLoop.h"
#include "ModPop.h"
#include "ModPopHook.h"
#include "ModProgInfo.h"
#include "ModSettings.h"
#include "ModStartupPlatform.h"
#include "ModWndOpr.h"
#include "Input.h"
#include "Menus.h"
#include "Seams.h"
#include "UiWait.h"
#include "ViewBindings.h"

namespace poptest {

namespace {
const char kHandOverPath[] = "Software\\Quillon\\tmp";
PopTest* current = nullptr;
}  // namespace

std::string HandOver(const std::string& key) { return testsupport::RegText(HKEY_CURRENT_USER, kHandOverPath, key); }
void SetHandOver(const std::string& key, const std::string& value) {
  testsupport::SetRegText(HKEY_CURRENT_USER, kHandOverPath, key, value);
}
std::string HandleText(HWND window) { return WndHandleText(window); }

HWND ChildOfClass(HWND parent, const char* cls) { return FindWindowExA(parent, nullptr, cls, nullptr); }

void PopTest::SetUp() {
  current = this;
  testsupport::DeleteTree(HKEY_CURRENT_USER, "Software\\Quillon Pro\\PopUp");
  testsupport::DeleteTree(HKEY_CURRENT_USER, kHandOverPath);
  testsupport::DeleteTree(HKEY_CURRENT_USER, "Software\\Quillon Pro\\General");
  ResetPopUpLists();
  ResetPopUpHookState();
  popseams::Reset();
  FoundURL.clear();
  PopDatFile = testsupport::BinDir() + "\\popup_catalogue.dat";
  // No hook library unless a test asks for it: the tests write the hand-over values.
  MoskinLibraryName = "NoSuchMoskin.dll";
  BlockMode = 1;
  BlockDialog = 1;
  seams::TickCountFn = [this] { return now; };
  // Every test's tick starts at the same value: a walk of an earlier test must not
  // hold this one's walks back.
  LastProcWalkTick = now - 100000;
  noticeShowPop = Views.popUpNotice.ShowPop;
  Views.popUpNotice.ShowPop = [](const std::string& title, int16_t browser, HWND window, int16_t slot,
                                 uint32_t threadId, int16_t webDialog) {
    current->announced.push_back({title, browser, window, slot, threadId, webDialog});
  };
  folder = std::make_unique<testsupport::FixtureFolder>("popup");
}

void PopTest::TearDown() {
  RemovePopUpHook();
  browsers.clear();
  folder.reset();
  for (const std::string& exe : registered) testsupport::DeleteTree(HKEY_LOCAL_MACHINE, AppPathsKey(exe));
  testsupport::DeleteTree(HKEY_CURRENT_USER, "Software\\Quillon Pro\\PopUp");
  testsupport::DeleteTree(HKEY_CURRENT_USER, kHandOverPath);
  ResetPopUpLists();
  ResetPopUpHookState();
  popseams::Reset();
  seams::Reset();
  Views.popUpNotice.ShowPop = noticeShowPop;
  PopDatFile.clear();
  MoskinLibraryName = "Moskin.dll";
  current = nullptr;
}

std::string PopTest::InstallCopy(const std::string& source, const std::string& name) {
  const std::string path = folder->PathOf(name);
  if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
    EXPECT_TRUE(CopyFileA((testsupport::BinDir() + "\\" + source).c_str(), path.c_str(), FALSE)) << path;
    folder->Keep(path);
  }
  testsupport::SetRegText(HKEY_LOCAL_MACHINE, AppPathsKey(name), "", path);
  registered.push_back(name);
  return path;
}

testsupport::Fixture& PopTest::StartBrowser(const std::string& name, const std::string& mode) {
  testsupport::FixtureOptions o;
  o.mode = mode;
  o.title = name;
  o.exePath = InstallCopy("fixture.exe", name);
  browsers.push_back(std::make_unique<testsupport::Fixture>(o));
  EXPECT_TRUE(browsers.back()->Started()) << name;
  return *browsers.back();
}

void PopTest::WatchBrowser(const std::string& path) {
  BrowsersLst_Total = 1;
  Browsers[0] = BrowserEntry();
  Browsers[0].Path = path;
  Browsers[0].MenuName[0] = "Open in New Window";
  Browsers[0].MenuName[1] = "Another Window";
}

PopOnlyLoop::PopOnlyLoop(bool blockPopUps)
    : lanCon_(LANCon), refresh_(RefreshInterval), winReminder_(WinReminder), block_(BlockPopUps), toolbar_(Toolbar) {
  LANCon = 1;
  BlockPopUps = blockPopUps;
  RefreshInterval = 0;
  WinReminder = 0;
  Toolbar = false;
  loopseams::SleepFn = [](DWORD) {};
  loopseams::PauseFn = [](DWORD) {};
  loopseams::DialUpConnectedFn = [] { return false; };
  loopseams::TotalNetBytesFn = [](long) { return 0u; };
}

PopOnlyLoop::~PopOnlyLoop() {
  LANCon = lanCon_;
  RefreshInterval = refresh_;
  WinReminder = winReminder_;
  BlockPopUps = block_;
  Toolbar = toolbar_;
  loopseams::Reset();
}

void PointAtBrowserMenuOpen(HWND browser) {
  const UINT kHighlighted = WM_APP + 21, kOpenItem = 101;
  SetForegroundWindow(browser);
  testsupport::ClickAt(browser, 15, -GetSystemMetrics(SM_CYMENU) / 2);
  EXPECT_TRUE(testsupport::PumpUntil([] { return testsupport::VisibleMenuWindow() != nullptr; }))
      << "the browser's menu did not open";
  testsupport::MoveMouseTo(browser, 40, 10);
  EXPECT_TRUE(testsupport::PumpUntil([&] { return SendMessageA(browser, kHighlighted, 0, 0) == kOpenItem; }))
      << "the item under the pointer is not highlighted";
}

bool PumpUntilHung(HWND window, DWORD timeoutMs) {
  return testsupport::PumpUntil([window] {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 50, &result) == 0;
  }, timeoutMs);
}

void PumpUntilDelivered(HWND window) {
  testsupport::PumpUntilIdle();
  DWORD_PTR result = 0;
  SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result);
  testsupport::PumpUntilIdle();
}

void ClickBrowserMenuOpen(HWND browser) {
  PointAtBrowserMenuOpen(browser);
  testsupport::ClickAt(browser, 40, 10);
}

}  // namespace poptest
