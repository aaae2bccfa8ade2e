// The shared helpers of the main module: showing and raising windows, the tray icon,
// help and web pages, the report find, image lists, file facts, the shutdown
// countdown and the Windows exit.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "CancelEvent.h"
#include "Fixture.h"
#include "ImageList.h"
#include "InterfaceFrm.h"
#include "ListView.h"
#include "Logfrm.h"
#include "LoopSeams.h"
#include "LoopTestSupport.h"
#include "ModExitWin.h"
#include "ModMain.h"
#include "ModMainLoop.h"
#include "ModSettings.h"
#include "Seams.h"
#include "UiWait.h"
#include "frmOptions.h"

using namespace looptest;

namespace {

class HelpersTest : public LoopTest {};

TEST_F(HelpersTest, AToolWindowShownWhileTheFrameIsKeptOnTopIsTopmostToo) {
  frmOptions.Hide();
  SetWindowPos(frmOptions.hwnd(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
  ShowFrm(frmOptions);
  EXPECT_TRUE(frmOptions.Visible());
  EXPECT_FALSE(GetWindowLongA(frmOptions.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  frmOptions.Hide();

  InterfaceFrm.mnuSettingsTop_Click();
  ASSERT_TRUE(InterfaceFrm.mnuSettingsTop->Checked());
  ShowFrm(frmOptions);
  EXPECT_TRUE(GetWindowLongA(frmOptions.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  SetWindowPos(frmOptions.hwnd(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

TEST_F(HelpersTest, AWindowAlreadyInFrontNeedsNoSharedInput) {
  int attaches = 0;
  loopseams::AttachThreadInputFn = [&](DWORD, DWORD, BOOL) {
    ++attaches;
    return TRUE;
  };
  InterfaceFrm.Show();
  SetForegroundWindow(InterfaceFrm.hwnd());
  ASSERT_TRUE(testsupport::PumpUntil([] { return GetForegroundWindow() == InterfaceFrm.hwnd(); }));
  EXPECT_TRUE(ForceForeground(InterfaceFrm.hwnd(), false));
  EXPECT_EQ(attaches, 0);
  EXPECT_TRUE(ForceForeground(InterfaceFrm.hwnd(), true));
  EXPECT_EQ(attaches, 0);
}

TEST_F(HelpersTest, AHungWindowAnywhereMeansNoSharedInputAndFalse) {
  int attaches = 0;
  loopseams::AttachThreadInputFn = [&](DWORD, DWORD, BOOL) {
    ++attaches;
    return TRUE;
  };
  testsupport::Fixture hung({"hung", "Quillon foreground hung"});
  ASSERT_TRUE(hung.Started());
  InterfaceFrm.Show();
  EXPECT_FALSE(ForceForeground(InterfaceFrm.hwnd(), false));
  EXPECT_EQ(attaches, 0);
  // Without the probe the usual way is taken.
  HWND other = CreateWindowExA(0, "EDIT", "other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                               nullptr, nullptr, nullptr);
  SetForegroundWindow(other);
  EXPECT_TRUE(ForceForeground(InterfaceFrm.hwnd(), true));
  EXPECT_EQ(GetForegroundWindow(), InterfaceFrm.hwnd());
  DestroyWindow(other);
}

TEST_F(HelpersTest, ForceForegroundRestoresAMinimisedWindow) {
  InterfaceFrm.Show();
  HWND other = CreateWindowExA(0, "EDIT", "other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                               nullptr, nullptr, nullptr);
  SetForegroundWindow(other);
  ShowWindow(InterfaceFrm.hwnd(), SW_MINIMIZE);
  ASSERT_TRUE(IsIconic(InterfaceFrm.hwnd()));
  ForceForeground(InterfaceFrm.hwnd(), true);
  EXPECT_FALSE(IsIconic(InterfaceFrm.hwnd()));
  EXPECT_TRUE(IsWindowVisible(InterfaceFrm.hwnd()));
  EXPECT_EQ(GetForegroundWindow(), InterfaceFrm.hwnd());
  DestroyWindow(other);
}

TEST_F(HelpersTest, TheTopVisibleParentIsTheLastVisibleAncestor) {
  HWND top = CreateWindowExA(0, "STATIC", "top", WS_OVERLAPPEDWINDOW, 0, 0, 200, 200, nullptr, nullptr, nullptr, nullptr);
  HWND middle = CreateWindowExA(0, "STATIC", "middle", WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, top, nullptr, nullptr, nullptr);
  HWND inner = CreateWindowExA(0, "STATIC", "inner", WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, middle, nullptr, nullptr, nullptr);
  // The top window hidden: nothing under it is visible, the climb does not start.
  EXPECT_EQ(GetTopVisibleParent(inner), inner);
  ShowWindow(middle, SW_HIDE);
  ShowWindow(top, SW_SHOWNOACTIVATE);
  EXPECT_EQ(GetTopVisibleParent(inner), inner) << "its parent is hidden";
  EXPECT_EQ(GetTopVisibleParent(middle), top);
  ShowWindow(middle, SW_SHOW);
  ShowWindow(top, SW_SHOWNOACTIVATE);
  EXPECT_EQ(GetTopVisibleParent(inner), top);
  EXPECT_EQ(GetTopVisibleParent(top), top);
  DestroyWindow(top);
}

TEST_F(HelpersTest, TheTrayIconIsAddedRemovedAndAddedAgainWhenTheShellRestarts) {
  AddTrayIcon();
  EXPECT_EQ(TrayIconData.cbSize, 88u);
  EXPECT_EQ(TrayIconData.uID, 1u);
  EXPECT_EQ(TrayIconData.uFlags, 7u);
  EXPECT_EQ(TrayIconData.uCallbackMessage, static_cast<UINT>(WM_RBUTTONUP));
  EXPECT_STREQ(TrayIconData.szTip, "Quillon Pro");
  EXPECT_TRUE(TrayIconPresent(InterfaceFrm.hwnd()));
  RemoveTrayIcon();
  EXPECT_FALSE(TrayIconPresent(InterfaceFrm.hwnd()));
  RemoveTrayIcon();  // removing a missing icon is harmless

  // Explorer restarted: every top-level window hears "TaskbarCreated".
  SendMessageA(InterfaceFrm.hwnd(), RegisterWindowMessageA("TaskbarCreated"), 0, 0);
  EXPECT_TRUE(TrayIconPresent(InterfaceFrm.hwnd()));
}

TEST_F(HelpersTest, TheTrayIconsMessagesReachTheFramesMouseUp) {
  // A double click on the icon: the icon's message arrives as the x of a right-button-up.
  SendMessageA(InterfaceFrm.hwnd(), WM_RBUTTONUP, 1, MAKELPARAM(WM_LBUTTONDBLCLK, 0));
  EXPECT_TRUE(InterfaceFrm.Visible());
  // The mouse moving over the icon puts the program back to its high priority.
  SetPriorityClass(GetCurrentProcess(), NORMAL_PRIORITY_CLASS);
  SendMessageA(InterfaceFrm.hwnd(), WM_RBUTTONUP, 1, MAKELPARAM(WM_MOUSEMOVE, 0));
  EXPECT_EQ(GetPriorityClass(GetCurrentProcess()), static_cast<DWORD>(HIGH_PRIORITY_CLASS));
  SetPriorityClass(GetCurrentProcess(), NORMAL_PRIORITY_CLASS);
  // Closing the frame only hides it.
  SendMessageA(InterfaceFrm.hwnd(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(InterfaceFrm.Loaded());
  EXPECT_FALSE(InterfaceFrm.Visible());
}

TEST_F(HelpersTest, HelpAndTheMessengerSwitchGoThroughTheShell) {
  ShowOnlineHelp("MainWindow");
  ShowOnlineHelp("");
  BlockMessenger = true;
  SetMessengerService();
  BlockMessenger = false;
  SetMessengerService();
  ASSERT_EQ(launched.size(), 4u);
  EXPECT_EQ(launched[0].file, std::string(ProductWebSite) + "/online_help.htm");
  EXPECT_EQ(launched[0].show, SW_SHOWNORMAL);
  EXPECT_EQ(launched[1].file, launched[0].file) << "one page for every topic";
  EXPECT_EQ(launched[2].file + " " + launched[2].parameters, "net stop messenger");
  EXPECT_EQ(launched[2].show, SW_HIDE);
  EXPECT_EQ(launched[3].file + " " + launched[3].parameters, "net start messenger");
  EXPECT_EQ(GetPriorityClass(GetCurrentProcess()), static_cast<DWORD>(HIGH_PRIORITY_CLASS));
  SetPriorityClass(GetCurrentProcess(), NORMAL_PRIORITY_CLASS);
}

TEST_F(HelpersTest, FindInTextFindsDownAndUpWithoutRepeatingTheLastHit) {
  const std::string text = "Alpha beta ALPHA gamma alpha";
  struct Case {
    const char* what;
    std::string find;
    int16_t matchCase, direction;
    int32_t caret, lastFound;
    bool changed;
    int32_t hit;
  } cases[] = {
      {"down from the start", "alpha", 0, 1, 0, -5, true, 0},
      {"down again from the hit", "alpha", 0, 1, 0, 0, false, 11},
      {"down, case counts", "alpha", 1, 1, 0, -5, true, 23},
      {"down past the last hit", "alpha", 0, 1, 23, 23, false, -1},
      {"a changed text is found at the caret", "alpha", 0, 1, 23, 23, true, 23},
      {"up from the end", "alpha", 0, 0, 28, -5, true, 23},
      {"up again from the hit", "alpha", 0, 0, 23, 23, false, 11},
      {"up from a selected hit skips it", "alpha", 0, 0, 23, -5, true, 11},
      {"up finds a hit just before the caret", "alpha", 0, 0, 24, -5, true, 23},
      {"up from the start of the text", "beta", 0, 0, 0, 0, false, -1},
      {"missing text", "delta", 0, 1, 0, -5, true, -1},
  };
  for (const Case& c : cases) {
    FindText = c.find;
    MatchCase = c.matchCase;
    FindDirection = c.direction;
    LastFoundPos = c.lastFound;
    FindTextChanged = c.changed;
    EXPECT_EQ(FindInText(text, c.caret), c.hit) << c.what;
  }
}

TEST_F(HelpersTest, ImageListsAreResetAddedToAndBoundToTheirList) {
  ui::Window form(ui::FormDesign{});
  ui::ListView list(form, {0, 0, 200, 200});
  ASSERT_TRUE(form.Load());
  list.AddItem("one", 0);
  list.AddItem("two", 1);
  ui::ImageList images;
  ResetImageList(list, images, true);
  EXPECT_EQ(images.ImageWidth(), 32);
  AttachImageList(list, images, true);  // an empty list is not bound
  EXPECT_EQ(SendMessageA(list.hwnd(), LVM_GETIMAGELIST, LVSIL_NORMAL, 0), 0);

  ResetImageList(list, images, false);
  EXPECT_EQ(images.ImageHeight(), 16);
  HICON icon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512));
  AddIconToImageList(images, icon, "c:\\a.exe");
  AddIconToImageList(images, icon, "c:\\b.exe");
  EXPECT_EQ(images.Count(), 2);
  EXPECT_EQ(images.IndexOfKey("c:\\b.exe"), 1);
  int cx = 0, cy = 0;
  ImageList_GetIconSize(images.handle(), &cx, &cy);
  EXPECT_EQ(cx, 16);
  AttachImageList(list, images, false);
  EXPECT_EQ(SendMessageA(list.hwnd(), LVM_GETIMAGELIST, LVSIL_SMALL, 0), reinterpret_cast<LRESULT>(images.handle()));
  LVITEMA item = {};
  item.mask = LVIF_IMAGE;
  item.iItem = 1;
  SendMessageA(list.hwnd(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
  EXPECT_EQ(item.iImage, 1);

  // Resetting detaches the list before the images go.
  ResetImageList(list, images, true);
  EXPECT_EQ(SendMessageA(list.hwnd(), LVM_GETIMAGELIST, LVSIL_SMALL, 0), 0);
  EXPECT_EQ(images.Count(), 0);
}

TEST_F(HelpersTest, AToolbarBecomesFlatAndTransparent) {
  HWND bar = CreateWindowExA(0, TOOLBARCLASSNAMEA, "", WS_CHILD, 0, 0, 100, 30, InterfaceFrm.hwnd(), nullptr,
                             nullptr, nullptr);
  ASSERT_TRUE(bar);
  SetFlatToolbar(bar);
  EXPECT_EQ(SendMessageA(bar, TB_GETSTYLE, 0, 0) & 0x8800, 0x8800);
  DestroyWindow(bar);
}

TEST_F(HelpersTest, FileAndFolderFacts) {
  struct Case {
    const char* path;
    const char* name;
  } cases[] = {{"c:\\a\\b.exe", "b.exe"}, {"b.exe", "b.exe"}, {"c:\\a\\", ""}, {"", ""}};
  for (const Case& c : cases) EXPECT_EQ(GetFileNameFromPath(c.path), c.name) << c.path;
  EXPECT_TRUE(FileExists(AppPath() + "\\sounds\\bloop.wav"));
  EXPECT_FALSE(FileExists(AppPath() + "\\sounds"));
  EXPECT_FALSE(FileExists(AppPath() + "\\no such file"));
  EXPECT_FALSE(GetWinDir().empty());
  EXPECT_EQ(GetSysDir().find(GetWinDir()), 0u);
  EXPECT_EQ(GetExitToDosPif(), GetWinDir() + "\\Exit To Dos.pif");
}

TEST_F(HelpersTest, TheShutdownCountdownRunsFiveSecondsUnlessCancelled) {
  std::vector<std::string> labels;
  // The clock moves a quarter second every time it is read.
  seams::TickCountFn = [this, &labels] {
    const std::string label = CancelEvent.lblCancel.Text();
    if (labels.empty() || labels.back() != label) labels.push_back(label);
    return now += 250;
  };
  EXPECT_FALSE(ShutdownCountdown("System will shutdown after: "));
  EXPECT_EQ(labels.back(), "System will shutdown after: 1");
  EXPECT_NE(std::find(labels.begin(), labels.end(), "System will shutdown after: 5"), labels.end());
  EXPECT_FALSE(CancelEvent.Visible());

  // Cancel: the click reaches the countdown while it waits.
  seams::TickCountFn = [this] { return now; };
  PostMessageA(CancelEvent.btnCancel.hwnd(), BM_CLICK, 0, 0);
  EXPECT_TRUE(ShutdownCountdown("System will reboot after: "));
  EXPECT_FALSE(CancelFlag);
  EXPECT_FALSE(CancelEvent.Visible());
}

TEST_F(HelpersTest, ExitWinAsksWindowsAndEndsTheProgramEvenWhenRefused) {
  std::vector<std::pair<UINT, DWORD>> asked;
  loopseams::ExitWindowsFn = [&](UINT flags, DWORD reason) {
    asked.push_back({flags, reason});
    return FALSE;
  };
  InterfaceFrm.Show();
  ExitWin(EWX_SHUTDOWN | EWX_FORCE);
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].first, 5u);
  EXPECT_EQ(asked[0].second, 0xFFFFFFFFu);
  EXPECT_TRUE(IsExiting);
  EXPECT_FALSE(InterfaceFrm.Visible());
}

}  // namespace
