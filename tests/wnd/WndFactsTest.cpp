// The facts of one window of a fixture process: title, program, position, the
// responding codes on a window that stopped answering, a vanished window, and icons.
#include <gtest/gtest.h>
#include <windows.h>

#include "ModProgInfo.h"
#include "ModWndOpr.h"
#include "UiWait.h"
#include "WndTestSupport.h"

namespace {

using namespace wndtest;

class WndFactsTest : public WndTest {};

std::string H(HWND h) { return WndHandleText(h); }

TEST_F(WndFactsTest, HandleTextsThatAreNoWholeNumberNameNoWindow) {
  HWND h = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x10042));
  EXPECT_EQ(WndHandleText(h), "65602");
  struct Case {
    const char* text;
    uintptr_t handle;
  } cases[] = {{"65602", 0x10042}, {" 65602 ", 0x10042}, {"4294967295", 0xFFFFFFFF}, {"-1", 0xFFFFFFFF},
               {"", 0},           {"abc", 0},           {"12ab", 0},               {"1.5", 0},
               {"-", 0},          {"99999999999", 0},   {"4294967296", 0}};
  for (const Case& c : cases)
    EXPECT_EQ(reinterpret_cast<uintptr_t>(WndFromHandleText(c.text)), c.handle) << "'" << c.text << "'";
}

TEST_F(WndFactsTest, EveryCodeOfAWindowThatAnswers) {
  testsupport::Fixture& f = Start("facts.exe");
  // Not sent WM_WINDOWPOSCHANGING, the window keeps a width below its frame's minimum.
  ASSERT_TRUE(SetWindowPos(f.hwnd(), nullptr, 10, 20, 100, 200, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSENDCHANGING));
  ForceProcessWalk();
  const std::string h = H(f.hwnd());
  DWORD pid = 0;
  DWORD tid = GetWindowThreadProcessId(f.hwnd(), &pid);

  // The title is cut at the length the system gives: it equals what the lists show.
  EXPECT_EQ(GetWndInfo(1, h), vb::Variant::Str("facts.exe"));
  EXPECT_EQ(GetWndInfo(2, h), vb::Variant::Str(vb::LCase(PathOf("facts.exe"))));
  EXPECT_FALSE(WndPathMissing);
  EXPECT_TRUE(GetWndInfo(3, h).IsTrue());
  EXPECT_TRUE(GetWndInfo(4, h).IsTrue());
  EXPECT_TRUE(GetWndInfo(5, h).IsFalse());
  EXPECT_TRUE(GetWndInfo(6, h).IsTrue());
  EXPECT_EQ(GetWndInfo(7, h), vb::Variant::Num(static_cast<long>(pid)));
  EXPECT_EQ(GetWndInfo(8, h), vb::Variant::Num(static_cast<long>(tid)));
  EXPECT_EQ(GetWndInfo(9, h), vb::Variant::Str("(10,20) - (110,220)"));

  EXPECT_TRUE(GetWndInfo(10, h).IsEmpty());
  EXPECT_EQ(CurWnd.Title, "facts.exe");
  EXPECT_EQ(CurWnd.ExeFile, vb::LCase(PathOf("facts.exe")));
  EXPECT_TRUE(CurWnd.Responding);
  EXPECT_TRUE(CurWnd.Visible);
  EXPECT_TRUE(CurWnd.Enabled);
  EXPECT_FALSE(CurWnd.OnTop);
  EXPECT_EQ(CurWnd.ProcessId, pid);
  EXPECT_EQ(CurWnd.ThreadId, tid);
  EXPECT_EQ(CurWnd.Position, "(10,20) - (110,220)");

  // A disabled window, and a title longer than any first guess at its length.
  EnableWindow(f.hwnd(), FALSE);
  std::string longTitle(3000, 'x');
  longTitle += "end";
  SendMessageA(f.hwnd(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(longTitle.c_str()));
  EXPECT_TRUE(GetWndInfo(6, h).IsFalse());
  EXPECT_EQ(GetWndInfo(1, h).Text(), longTitle);
}

TEST_F(WndFactsTest, TopmostAndHiddenWindowsSayWhatTheyAre) {
  testsupport::Fixture& top = Start("top.exe", "topmost");
  testsupport::Fixture& hidden = Start("hidden.exe", "hidden");
  EXPECT_TRUE(GetWndInfo(5, H(top.hwnd())).IsTrue());
  EXPECT_TRUE(GetWndInfo(4, H(hidden.hwnd())).IsFalse());
  GetWndInfo(10, H(top.hwnd()));
  EXPECT_TRUE(CurWnd.OnTop);
}

TEST_F(WndFactsTest, AWindowThatStoppedAnsweringIsAnsweredForWithinTheTimeOut) {
  testsupport::Fixture& f = Start("stuck.exe", "hung");
  ForceProcessWalk();
  const std::string h = H(f.hwnd());

  DWORD start = GetTickCount();
  EXPECT_TRUE(GetWndInfo(3, h).IsFalse());
  DWORD shortTook = Since(start);
  start = GetTickCount();
  EXPECT_FALSE(IsWndResponding(f.hwnd(), true));
  DWORD longTook = Since(start);
  // 50 ms and 500 ms, with room for a loaded machine but far from a blocked call.
  EXPECT_LT(shortTook, 400u);
  EXPECT_GE(longTook, 400u);
  EXPECT_LT(longTook, 1500u);
  EXPECT_TRUE(IsWndHung(f.hwnd()));

  for (long code : {4L, 5L, 6L}) EXPECT_TRUE(GetWndInfo(code, h).IsEmpty()) << code;

  // The record of a hung window: its title and program, but nothing it would have to answer.
  start = GetTickCount();
  GetWndInfo(10, h);
  EXPECT_LT(Since(start), 1500u);
  EXPECT_EQ(CurWnd.Title, "stuck.exe");
  EXPECT_EQ(CurWnd.ExeFile, vb::LCase(PathOf("stuck.exe")));
  EXPECT_EQ(CurWnd.ProcessId, f.pid());
  EXPECT_FALSE(CurWnd.Responding);
  EXPECT_FALSE(CurWnd.Visible);
  EXPECT_FALSE(CurWnd.OnTop);
  EXPECT_FALSE(CurWnd.Enabled);
  EXPECT_FALSE(CurWnd.Position.empty());

  // Its title is read without asking it, so a hung window cannot block the reader.
  start = GetTickCount();
  EXPECT_EQ(GetWndInfo(1, h).Text(), "stuck.exe");
  EXPECT_LT(Since(start), 400u);

  EXPECT_EQ(GetWndIcon(f.hwnd(), false), nullptr);
}

TEST_F(WndFactsTest, AVanishedWindowGivesEmptyFacts) {
  testsupport::Fixture& f = Start("gone.exe");
  ForceProcessWalk();
  HWND gone = f.hwnd();
  GetWndInfo(10, H(gone));
  ASSERT_EQ(CurWnd.Title, "gone.exe");
  f.End();
  ASSERT_TRUE(testsupport::PumpUntil([&] { return !IsWindow(gone); }));

  for (const std::string& h : {H(gone), std::string("not a handle")}) {
    WndPathMissing = false;
    EXPECT_EQ(GetWndInfo(1, h), vb::Variant::Str("")) << h;
    EXPECT_EQ(GetWndInfo(2, h), vb::Variant::Str("")) << h;
    EXPECT_TRUE(WndPathMissing) << h;
    EXPECT_EQ(ProcResultPath, "");
    EXPECT_TRUE(GetWndInfo(3, h).IsFalse()) << h;
    for (long code : {4L, 5L, 6L}) EXPECT_TRUE(GetWndInfo(code, h).IsEmpty()) << code;
    EXPECT_EQ(GetWndInfo(7, h), vb::Variant::Num(0)) << h;
    EXPECT_EQ(GetWndInfo(8, h), vb::Variant::Num(0)) << h;
    EXPECT_EQ(GetWndInfo(9, h), vb::Variant::Str("")) << h;
    CurWnd.Title = "stale";
    EXPECT_TRUE(GetWndInfo(10, h).IsEmpty());
    EXPECT_EQ(CurWnd.Title, "");
    EXPECT_EQ(CurWnd.ExeFile, "");
    EXPECT_EQ(CurWnd.ProcessId, 0u);
    EXPECT_EQ(CurWnd.ThreadId, 0u);
    EXPECT_EQ(CurWnd.Position, "");
    EXPECT_FALSE(CurWnd.Responding || CurWnd.Visible || CurWnd.OnTop || CurWnd.Enabled);
    bool owned = true;
    EXPECT_EQ(GetWndIcon(WndFromHandleText(h), true, &owned), nullptr);
    EXPECT_FALSE(owned);
  }
}

TEST_F(WndFactsTest, AProgramStartedSinceTheLastWalkIsFoundByTheRecord) {
  ForceProcessWalk();
  testsupport::Fixture& late = Start("late.exe");
  const std::string h = H(late.hwnd());
  // The cache does not know it yet.
  EXPECT_EQ(GetWndInfo(2, h), vb::Variant::Str(""));
  EXPECT_TRUE(WndPathMissing);
  // The record waits, walks again and asks again (the automatic walk passes the throttle).
  Advance(1500);
  GetWndInfo(10, h);
  EXPECT_EQ(CurWnd.ExeFile, vb::LCase(PathOf("late.exe")));
}

TEST_F(WndFactsTest, IconsComeFromTheWindowItsClassOrTheProgramsFile) {
  // A window of a class with icons: borrowed, never the caller's.
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
  wc.hIconSm = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_WARNING));
  wc.lpszClassName = "WndIconClass";
  RegisterClassExA(&wc);
  HWND withClassIcon = CreateWindowExA(0, "WndIconClass", "icons", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                                       nullptr, wc.hInstance, nullptr);
  ASSERT_TRUE(withClassIcon);
  bool owned = true;
  EXPECT_EQ(GetWndIcon(withClassIcon, true, &owned), wc.hIcon);
  EXPECT_FALSE(owned);
  owned = true;
  EXPECT_EQ(GetWndIcon(withClassIcon, false, &owned), wc.hIconSm);
  EXPECT_FALSE(owned);

  // The window's own icon comes first.
  HICON own = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_QUESTION));
  SendMessageA(withClassIcon, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(own));
  EXPECT_EQ(GetWndIcon(withClassIcon, true, &owned), own);
  EXPECT_FALSE(owned);

  // An owned window of a class without icons takes its owner's class icon.
  HWND ownedWindow = CreateWindowExA(0, "Static", "owned", WS_POPUP, 0, 0, 10, 10, withClassIcon, nullptr,
                                     wc.hInstance, nullptr);
  ASSERT_TRUE(ownedWindow);
  EXPECT_EQ(GetWndIcon(ownedWindow, true, &owned), wc.hIcon);
  EXPECT_FALSE(owned);
  DestroyWindow(ownedWindow);
  DestroyWindow(withClassIcon);

  // The fixture's window and class have none: the shell's icon of its file is the
  // caller's to destroy.
  testsupport::Fixture& f = Start("iconless.exe");
  ForceProcessWalk();
  HICON shell = GetWndIcon(f.hwnd(), true, &owned);
  ASSERT_NE(shell, nullptr);
  EXPECT_TRUE(owned);
  ICONINFO info;
  ASSERT_TRUE(GetIconInfo(shell, &info));
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  EXPECT_TRUE(DestroyIcon(shell));
}

}  // namespace
