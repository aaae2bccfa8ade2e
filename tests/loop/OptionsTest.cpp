// The options dialog on real windows: what each control stores, the checks before
// storing, OK/Apply/Cancel/Default, its keys, the hot keys it applies and the
// special-program editor.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "AddSProgFrm.h"
#include "ApplyGlobalSettings.h"
#include "Input.h"
#include "InterfaceFrm.h"
#include "LoopSeams.h"
#include "LoopTestSupport.h"
#include "Mainfrm.h"
#include "ModConInfo.h"
#include "ModPop.h"
#include "ModMain.h"
#include "ModMainLoop.h"
#include "ModProgInfo.h"
#include "ModPopHook.h"
#include "ModSettings.h"
#include "ModStartup.h"
#include "PopUpFrm.h"
#include "Seams.h"
#include "TextFit.h"
#include "UiWait.h"
#include "VbRules.h"
#include "frmOptions.h"
#include "TabPages.h"
#include "Window.h"
#include "ViewBindings.h"

using namespace looptest;
using testsupport::PumpUntil;

namespace {

constexpr char kOptionsPath[] = "Software\\Quillon Pro\\Options";

void Settle() { testsupport::PumpUntilIdle(); }

// A click as the button's parent hears it.
void Click(ui::Control& button) {
  ASSERT_TRUE(button.hwnd());
  SendMessageA(GetParent(button.hwnd()), WM_COMMAND, MAKEWPARAM(button.id(), BN_CLICKED),
               reinterpret_cast<LPARAM>(button.hwnd()));
}

// A box or option button clicked by the user: its state flips and its Click runs.
void Tick(ui::CheckBox& box, bool on) {
  box.SetValue(on);
  Click(box);
}

// One key with modifiers (1 Shift, 2 Ctrl), pressed and released, then delivered.
void Press(WORD vk, int shift = 0) {
  testsupport::PressKey(vk, shift);
  Settle();
}

// Ctrl+Alt and a key through the input queue: the window whose hot key it was.
HWND HotKeyWindow(WORD key) {
  testsupport::PressKey(key, 2 | 4);
  const DWORD start = GetTickCount();
  MSG m;
  while (GetTickCount() - start < 2000) {
    if (PeekMessageA(&m, nullptr, WM_HOTKEY, WM_HOTKEY, PM_REMOVE)) return m.hwnd;
    Sleep(10);
  }
  return nullptr;
}

std::map<std::string, std::string> OptionTexts() {
  std::map<std::string, std::string> all;
  for (const std::string& name : testsupport::ValueNames(HKEY_CURRENT_USER, kOptionsPath))
    all[name] = Option("Options", name);
  return all;
}

class OptionsTest : public LoopTest {
 protected:
  void SetUp() override {
    LoopTest::SetUp();
    // Keys nothing else on the machine uses.
    AppHK = {1, MOD_CONTROL | MOD_ALT, 'E'};
    DestHK = {1, MOD_CONTROL | MOD_ALT, 'D'};
    LANCon = 1;
    // One digit per column of this family, as an OK stores it.
    AppList = std::string(AppColTitles.size(), '1');
    SaveSettings();
    Open();
  }
  void TearDown() override {
    LoopTest::TearDown();  // its Hide loads the dialog: unloaded after it
    AddSProgFrm.Unload();
    frmOptions.Unload();
  }
  void Open() {
    ShowOptions();
    ASSERT_TRUE(frmOptions.Visible());
    SetForegroundWindow(frmOptions.hwnd());
    PumpUntil([] { return GetForegroundWindow() == frmOptions.hwnd(); });
  }
  void Reopen() {
    frmOptions.Unload();
    Open();
  }
  // The one message shown since the last call, or "" when none.
  std::string TakeMessage() {
    std::string text = shown.empty() ? "" : shown.back().text;
    shown.clear();
    return text;
  }
  frmOptionsForm& f = frmOptions;
};

TEST_F(OptionsTest, EveryTabAndControlCarriesItsCaption) {
  EXPECT_EQ(testsupport::WindowText(f.hwnd()), "Options");
  const char* tabs[] = {"General", "Programs", "Windows", "Task Manager Lists", "Tracker Bar", "Internet Monitor",
                        "Pop-up blocker"};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(f.SSTab1.TabCaption(i), tabs[i]);
  const std::pair<ui::Control*, const char*> captions[] = {
      {&f.cmdOK, "&OK"}, {&f.cmdCancel, "Cancel"}, {&f.cmdApply, "&Apply"}, {&f.DefaultBtn, "&Default"},
      {&f.HelpBtn, "&Help"}, {&f.ChkStartUp, "Run Quillon at Startup of Windows"},
      {&f.Check2, "\"Terminate and Restart\" Hot Key"}, {&f.EnableBtn, "Enable/ Disable"},
      {&f.HideWndChk, "Don't show  'Hidden' windows in windows list"},
      {&f.LANConOpt1, "I use leased line to connect to the Internet (DSL, LAN, ... etc) or I want the Internet "
                      "monitor and the pop-up blocker to be always active."},
      {&f.BlockModeOpt1, "Intelligent Mode: Don't interfere with normal navigation"}, {&f.BrowseBtn, "Browse"}};
  for (const auto& [control, caption] : captions) EXPECT_EQ(testsupport::WindowText(control->hwnd()), caption);
  EXPECT_EQ(testsupport::WindowText(f.CurrncSymbLbl0.hwnd()), GetLocaleInfoText(LOCALE_SCURRENCY));
  // Twelve program columns on the NT family, eleven on the 9x family (the test program
  // runs under both: Wine's version for it is set per program).
  const size_t columns = IsWinNTFlag ? 12 : 11;
  ASSERT_EQ(AppColTitles.size(), columns);
  for (size_t i = 0; i < columns; ++i) EXPECT_EQ(testsupport::WindowText(f.AppListChk(i).hwnd()), AppColTitles[i]);
  f.SSTab1.SetTab(3);
  EXPECT_EQ(IsWindowVisible(f.AppListChk(11).hwnd()) != FALSE, IsWinNTFlag) << "only NT has the CPU column's box";
  Click(f.cmdApply);
  EXPECT_EQ(Option("Options", "AppList").size(), columns);
}

TEST_F(OptionsTest, EachControlStoresItsOptionOnApply) {
  struct Case {
    const char* what;
    std::function<void()> change;
    const char* key;
    const char* stored;
  };
  const Case cases[] = {
      {"start up", [&] { Tick(f.ChkStartUp, false); }, "RunAtStartUp", "0"},
      {"splash", [&] { Tick(f.ChkSplashAtStartUp, false); }, "SplashAtStartUp", "0"},
      {"app key off", [&] { Tick(f.Check1, false); }, "AppHK.Enabled", "0"},
      {"app char", [&] { f.txtCharCode0.SetText("q"); }, "AppHK.CharCode", "81"},
      {"app modifiers", [&] { Tick(f.chkShift0, true), Tick(f.chkAlt0, false); }, "AppHK.Modifiers", "6"},
      {"dest key off", [&] { Tick(f.Check2, false); }, "DestHK.Enabled", "0"},
      {"dest char", [&] { f.txtCharCode1.SetText("7"); }, "DestHK.CharCode", "55"},
      {"dest modifiers", [&] { Tick(f.chkCtrl1, false); }, "DestHK.Modifiers", "1"},
      {"seconds", [&] { f.txtSecLogData.SetText("17"); }, "SecLogData", "17"},
      {"lines", [&] { f.txtNumLogData.SetText("60"); }, "NumLogData", "60"},
      {"warn", [&] { Tick(f.ProcWarnChk, false); }, "ProcWarn", "0"},
      {"system processes", [&] { Tick(f.HideSysProcChk, false); }, "HideSysProc", "0"},
      {"hidden windows", [&] { Tick(f.HideWndChk, false); }, "HideWnd", "0"},
      {"window kinds", [&] { f.WndDisplayOpt1.SetValue(false), Tick(f.WndDisplayOpt3, true); }, "WndDisplay", "3"},
      {"app columns", [&] { Tick(f.AppListChk(1), false); }, "AppList", IsWinNTFlag ? "101111111111" : "10111111111"},
      {"window columns", [&] { Tick(f.WndListChk(9), false); }, "WndList", "1111111110"},
      {"high", [&] { f.txtLowRes0.SetText("50"); }, "LowRes(0)", "50"},
      {"very high", [&] { f.txtLowRes1.SetText("100"); }, "LowRes(1)", "100"},
      {"tracker row", [&] { f.TrackerItemsLV.SetChecked(2, false); }, "TrackerItemsShow(3)", "False"},
      {"modem", [&] { f.LANConOpt1.SetValue(false), Tick(f.LANConOpt0, true); }, "LANCon", "0"},
      {"cost unit", [&] { f.EveryXSecondsTxt.SetText("40000"); }, "CostDefinition.EveryXSeconds", "40000"},
      {"cost", [&] { f.CostOfXSecondTxt.SetText("3"); }, "CostDefinition.CostOfXSecond", "3"},
      {"extra", [&] { f.ExtraCostTxt.SetText(""); }, "CostDefinition.ExtraCost", "0"},
      {"sound", [&] { Tick(f.PopPlaySndChk, false); }, "PopPlaySnd", "0"},
      {"sound file", [&] { f.PopPlaySndFileTxt.SetText("c:\\x.wav"); }, "PopPlaySndFile", "c:\\x.wav"},
      {"dialogs", [&] { Tick(f.BlockDialogChk, false); }, "BlockDialog", "0"},
      {"mode", [&] { f.BlockModeOpt1.SetValue(false), Tick(f.BlockModeOpt0, true); }, "BlockMode", "0"},
  };
  loopseams::RasAvailableFn = [] { return true; };
  for (const Case& c : cases) {
    c.change();
    Click(f.cmdApply);
    EXPECT_EQ(TakeMessage(), "") << c.what;
    EXPECT_EQ(Option("Options", c.key), c.stored) << c.what;
    EXPECT_TRUE(f.Visible()) << c.what << ": Apply keeps the dialog";
  }
}

TEST_F(OptionsTest, OkWithoutChangesRewritesNothingAndCancelStoresNothing) {
  const auto before = OptionTexts();
  Click(f.cmdOK);
  EXPECT_FALSE(f.Loaded());
  EXPECT_EQ(OptionTexts(), before);

  Open();
  f.txtLowRes0.SetText("33");
  Tick(f.ChkStartUp, false);
  f.SProgsList.Clear();
  Click(f.cmdCancel);
  EXPECT_FALSE(f.Loaded());
  EXPECT_EQ(OptionTexts(), before);
  Open();
  EXPECT_EQ(f.txtLowRes0.Text(), "80") << "reopening shows the stored values";
  EXPECT_TRUE(f.ChkStartUp.Value());
  EXPECT_EQ(f.SProgsList.ItemCount(), 2);

  // Esc and the close box store nothing either.
  f.txtLowRes0.SetText("34");
  f.Close();
  EXPECT_FALSE(f.Loaded());
  EXPECT_EQ(OptionTexts(), before);
}

TEST_F(OptionsTest, TheChecksReportTheFirstFailureOnly) {
  struct Case {
    const char* what;
    std::function<void()> set;
    const char* message;
    int tab;
    ui::TextBox* focus;
    bool selected;  // the whole text selected
  };
  const char* k100 = "Please enter a number between 1 and 100";
  const char* kCost = "Please enter a number between 1 and 1000000";
  const char* k60 = "Please enter a number between 1 and 60";
  const Case cases[] = {
      {"empty threshold", [&] { f.txtLowRes0.SetText(""); }, k100, 4, &f.txtLowRes0, true},
      {"threshold 101", [&] { f.txtLowRes1.SetText("101"); }, k100, 4, &f.txtLowRes1, true},
      {"interval 0", [&] { f.EveryXSecondsTxt.SetText("0"); }, "Please enter a number between 1 and 216000", 5,
       &f.EveryXSecondsTxt, true},
      {"interval 216001", [&] { f.EveryXSecondsTxt.SetText("216001"); }, "Please enter a number between 1 and 216000",
       5, &f.EveryXSecondsTxt, true},
      {"cost overflows", [&] { f.CostOfXSecondTxt.SetText("2147483648"); }, kCost, 5, &f.CostOfXSecondTxt, true},
      {"cost 1000001", [&] { f.CostOfXSecondTxt.SetText("1000001"); }, kCost, 5, &f.CostOfXSecondTxt, true},
      {"negative extra", [&] { f.ExtraCostTxt.SetText("-1"); }, kCost, 5, &f.ExtraCostTxt, true},
      {"seconds 0", [&] { f.txtSecLogData.SetText("0"); }, k60, 0, &f.txtSecLogData, true},
      {"lines 61", [&] { f.txtNumLogData.SetText("61"); }, k60, 0, &f.txtNumLogData, true},
      {"same keys", [&] { f.txtCharCode0.SetText("e"), f.txtCharCode1.SetText("E"); },
       "The Hot-Key of Quillon is the same as the Hot-Key of 'Terminate and restart a program' feature, please "
       "change one of them",
       0, &f.txtCharCode1, false},
      {"no app modifier", [&] { Tick(f.chkAlt0, false), Tick(f.chkCtrl0, false); },
       "Please select ALT or CTRL or SHIFT in the Hot Key of Quillon", 0, &f.txtCharCode0, false},
      {"no dest modifier", [&] { Tick(f.chkAlt1, false), Tick(f.chkCtrl1, false); },
       "Please select ALT or CTRL or SHIFT in the Hot Key of 'Terminate and restart a program'", 0, &f.txtCharCode1,
       false},
      {"no program column", [&] { for (int i = 0; i < 12; ++i) f.AppListChk(i).SetValue(false); },
       "You must select at least one column in programs list", 3, nullptr, false},
      {"no window column", [&] { for (int i = 0; i < 10; ++i) f.WndListChk(i).SetValue(false); },
       "You must select at least one column in windows list", 3, nullptr, false},
      {"no tracker item", [&] { for (int i = 0; i < 10; ++i) f.TrackerItemsLV.SetChecked(i, false); },
       "You must select at least tracker item", 4, nullptr, false},
      {"several wrong", [&] { f.txtNumLogData.SetText("0"), f.txtLowRes1.SetText("0"); }, k100, 4, &f.txtLowRes1,
       true},
  };
  const auto before = OptionTexts();
  for (const Case& c : cases) {
    Reopen();
    c.set();
    f.SSTab1.SetTab(1);
    f.cmdOK.SetFocus();
    Click(f.cmdOK);
    ASSERT_EQ(shown.size(), 1u) << c.what;
    EXPECT_EQ(shown[0].text, c.message) << c.what;
    EXPECT_EQ(shown[0].style, static_cast<UINT>(MB_ICONSTOP)) << c.what;
    shown.clear();
    EXPECT_TRUE(f.Loaded()) << c.what;
    EXPECT_EQ(f.SSTab1.Tab(), c.tab) << c.what;
    if (c.focus) {
      EXPECT_EQ(GetFocus(), c.focus->hwnd()) << c.what;
      DWORD start = 99, end = 99;
      SendMessageA(c.focus->hwnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
      if (c.selected) {
        EXPECT_EQ(start, 0u) << c.what;
        EXPECT_EQ(end, c.focus->Text().size()) << c.what;
      }
    } else {
      EXPECT_EQ(GetFocus(), f.cmdOK.hwnd()) << c.what << ": the focus stays";
    }
    EXPECT_EQ(OptionTexts(), before) << c.what;
  }
  // What passes: the bounds themselves, an empty cost, a disabled key without modifiers.
  Reopen();
  f.txtNumLogData.SetText("60");
  f.CostOfXSecondTxt.SetText("");
  f.ExtraCostTxt.SetText("0.5");
  f.EveryXSecondsTxt.SetText("216000");
  Tick(f.Check2, false);
  f.chkAlt1.SetValue(false), f.chkCtrl1.SetValue(false);
  Tick(f.chkShift0, true);  // "e" and "E" with different modifiers
  f.txtCharCode1.SetText("e");
  EXPECT_FALSE(f.CheckErrors());
  EXPECT_TRUE(shown.empty());
}

namespace {

// Answers the real message boxes of this process with Enter, from a thread of its own,
// as a user at the keyboard would; counts them.
class EnterOnEveryBox {
 public:
  EnterOnEveryBox() : thread_(CreateThread(nullptr, 0, Run, this, 0, nullptr)) {}
  ~EnterOnEveryBox() {
    stop_ = true;
    WaitForSingleObject(thread_, 5000);
    CloseHandle(thread_);
  }
  long answered() const { return answered_; }

 private:
  static BOOL CALLBACK Find(HWND hwnd, LPARAM found) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    char cls[16] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (pid != GetCurrentProcessId() || std::string(cls) != "#32770" || !IsWindowVisible(hwnd)) return TRUE;
    *reinterpret_cast<HWND*>(found) = hwnd;
    return FALSE;
  }
  static DWORD WINAPI Run(LPVOID self) {
    auto* me = static_cast<EnterOnEveryBox*>(self);
    while (!me->stop_) {
      HWND box = nullptr;
      EnumWindows(Find, reinterpret_cast<LPARAM>(&box));
      if (box && GetForegroundWindow() == box) {
        testsupport::PressKey(VK_RETURN);
        InterlockedIncrement(&me->answered_);
        for (int i = 0; i < 100 && IsWindow(box) && IsWindowVisible(box); ++i) Sleep(20);
      }
      Sleep(20);
    }
    return 0;
  }
  volatile bool stop_ = false;
  volatile long answered_ = 0;
  HANDLE thread_;
};

}  // namespace

// Every out-of-range value of the checks, OK pressed with the mouse and with Enter, the
// real message box answered with Enter, round after round: the dialog stays, keeps the
// focus on the refused field, stores nothing, and no handler fails.
TEST_F(OptionsTest, RefusedValuesRoundAfterRoundWithTheRealMessageBox) {
  seams::MessageBoxFn = [](HWND owner, const std::string& text, const std::string& caption, UINT style) {
    return MessageBoxA(owner, text.c_str(), caption.c_str(), style);
  };
  struct Case {
    ui::TextBox* field;
    const char* value;
  };
  const Case cases[] = {
      {&f.txtLowRes0, "0"},         {&f.txtLowRes0, "101"},         {&f.txtLowRes0, ""},
      {&f.txtLowRes1, "0"},         {&f.txtLowRes1, "101"},         {&f.EveryXSecondsTxt, "0"},
      {&f.EveryXSecondsTxt, "216001"}, {&f.CostOfXSecondTxt, "-1"}, {&f.CostOfXSecondTxt, "1000001"},
      {&f.CostOfXSecondTxt, "2147483648"}, {&f.ExtraCostTxt, "-1"}, {&f.ExtraCostTxt, "1000001"},
      {&f.txtSecLogData, "0"},      {&f.txtSecLogData, "61"},       {&f.txtNumLogData, "0"},
      {&f.txtNumLogData, "61"},
  };
  const auto before = OptionTexts();
  EnterOnEveryBox answers;
  long expected = 0;
  for (int round = 0; round < 3; ++round) {
    for (const Case& c : cases) {
      for (const bool byEnter : {false, true}) {
        SCOPED_TRACE(std::string(c.value) + (byEnter ? " Enter" : " click") + " round " + std::to_string(round));
        Reopen();
        c.field->SetText(c.value);
        f.SSTab1.SetTab(1);
        f.cmdOK.SetFocus();
        if (byEnter) {
          testsupport::PressKey(VK_RETURN);
        } else {
          RECT r{};
          GetClientRect(f.cmdOK.hwnd(), &r);
          testsupport::ClickAt(f.cmdOK.hwnd(), r.right / 2, r.bottom / 2);
        }
        ++expected;
        ASSERT_TRUE(PumpUntil([&] { return answers.answered() >= expected && GetFocus() == c.field->hwnd(); }, 10000))
            << "answered " << answers.answered() << " of " << expected;
        Settle();
        ASSERT_TRUE(f.Loaded());
        EXPECT_EQ(answers.answered(), expected) << "one message for one OK";
        EXPECT_EQ(GetFocus(), c.field->hwnd());
        EXPECT_EQ(OptionTexts(), before);
      }
    }
  }
}

// Dark pixels of a band of a window as the screen shows it.
static int DarkPixelsIn(HWND hwnd, RECT band) {
  POINT origin{band.left, band.top};
  ClientToScreen(hwnd, &origin);
  HDC screen = GetDC(nullptr);
  int dark = 0;
  for (int y = 0; y < band.bottom - band.top; ++y)
    for (int x = 0; x < band.right - band.left; ++x) {
      const COLORREF c = GetPixel(screen, origin.x + x, origin.y + y);
      if (c != CLR_INVALID && GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 96) ++dark;
    }
  ReleaseDC(nullptr, screen);
  return dark;
}

// Each tab can be clicked where it shows, "Pop-up blocker" included, with no scroll
// arrows; the long hot-key caption and the leased-line choice read whole.
TEST_F(OptionsTest, EveryTabAndLongCaptionCanBeReached) {
  HWND tabs = f.SSTab1.strip();
  RECT client{};
  GetClientRect(tabs, &client);
  for (int i = 0; i < f.SSTab1.Tabs(); ++i) {
    RECT item{};
    ASSERT_TRUE(SendMessageA(tabs, TCM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&item)));
    EXPECT_LE(item.right, client.right) << "tab " << i << " lies beyond the row";
  }
  RECT last{};
  SendMessageA(tabs, TCM_GETITEMRECT, 6, reinterpret_cast<LPARAM>(&last));
  testsupport::ClickAt(tabs, (last.left + last.right) / 2, (last.top + last.bottom) / 2);
  EXPECT_TRUE(PumpUntil([this] { return f.SSTab1.Tab() == 6; })) << "Pop-up blocker not reached by a click";

  // The hot-key frame's caption goes on below its first line, above the boxes inside.
  f.SSTab1.SetTab(0);
  Tick(f.Check2, true);
  Settle();
  HWND frame = f.HKFram1.hwnd();
  const int line = testsupport::WrappedTextHeight(frame, "Xg", 1000);
  RECT frameClient{}, firstBox{};
  GetClientRect(frame, &frameClient);
  GetWindowRect(f.chkShift1.hwnd(), &firstBox);
  POINT boxTop{firstBox.left, firstBox.top};
  ScreenToClient(frame, &boxTop);
  const int need = testsupport::WrappedTextHeight(frame, f.HKFram1.Text(), frameClient.right - 16);
  EXPECT_LE(need, boxTop.y) << "the caption runs into the boxes";
  if (need > line) {
    EXPECT_GT(DarkPixelsIn(frame, {8, line, 200, std::min(2 * line, static_cast<int>(boxTop.y))}), 20)
        << "the caption's second line is not drawn";
  }
  // The leased-line choice.
  f.SSTab1.SetTab(5);
  Settle();
  std::string why;
  EXPECT_TRUE(testsupport::ButtonCaptionFits(f.LANConOpt1.hwnd(), &why)) << why;
  EXPECT_TRUE(testsupport::ButtonCaptionFits(f.LANConOpt0.hwnd(), &why)) << why;
}

TEST_F(OptionsTest, IsValueAcceptsWhatFitsThirtyTwoBits) {
  const std::pair<const char*, bool> cases[] = {
      {"2147483647", true}, {"2147483648", false}, {"-2147483648", true}, {"-2147483649", false},
      {"abc", true},        {"", true},           {"1e20", false},       {"0,5", true},
      {"2147483647.4", true}, {"2147483647.5", false}};
  for (const auto& [text, fits] : cases) EXPECT_EQ(f.IsValue(text), fits) << text;
  EXPECT_DOUBLE_EQ(frmOptionsForm::CostValue("0,5"), 0.5);
  EXPECT_DOUBLE_EQ(frmOptionsForm::CostValue("0.5"), 0.5);
  EXPECT_DOUBLE_EQ(frmOptionsForm::CostValue("1.234,5"), 1.234) << "grouping is never read";
  EXPECT_DOUBLE_EQ(frmOptionsForm::CostValue("7 EUR"), 7);
}

TEST_F(OptionsTest, TheHotKeysCanSwapAndAReleasedKeyIsFreeAgain) {
  ASSERT_FALSE(ApplyGlobalSettings());
  EXPECT_FALSE(OtherProcessCanRegister(MOD_CONTROL | MOD_ALT, 'E'));
  f.txtCharCode0.SetText("D");
  f.txtCharCode1.SetText("E");
  Click(f.cmdOK);
  EXPECT_TRUE(shown.empty()) << (shown.empty() ? "" : shown[0].text);
  EXPECT_FALSE(f.Loaded());
  EXPECT_FALSE(OtherProcessCanRegister(MOD_CONTROL | MOD_ALT, 'D')) << "the show-window key took D";
  EXPECT_FALSE(OtherProcessCanRegister(MOD_CONTROL | MOD_ALT, 'E')) << "the terminate key took E";

  // Both keys work by keyboard: each reaches its own window.
  EXPECT_EQ(HotKeyWindow('D'), InterfaceFrm.hwnd());
  EXPECT_EQ(HotKeyWindow('E'), Mainfrm.hwnd());

  // Moved to a new key: the old one is free for others.
  Open();
  f.txtCharCode0.SetText("K");
  Click(f.cmdOK);
  EXPECT_TRUE(OtherProcessCanRegister(MOD_CONTROL | MOD_ALT, 'D'));
  EXPECT_FALSE(OtherProcessCanRegister(MOD_CONTROL | MOD_ALT, 'K'));
}

TEST_F(OptionsTest, AKeyHeldElsewhereOffersTheDialogAgain) {
  ASSERT_FALSE(ApplyGlobalSettings());
  HotKeyHolder holder(MOD_CONTROL | MOD_SHIFT, 'J');
  ASSERT_TRUE(holder.Holding());
  answer = [](const ShownMessage&) { return IDYES; };
  f.chkAlt0.SetValue(false);
  Tick(f.chkShift0, true);
  f.txtCharCode0.SetText("J");
  f.SSTab1.SetTab(4);
  Click(f.cmdOK);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_NE(shown[0].text.find("ERROR registering Quillon hotkey!"), std::string::npos);
  EXPECT_TRUE(f.Visible()) << "Yes keeps the dialog";
  EXPECT_EQ(f.SSTab1.Tab(), 0);
  EXPECT_EQ(Option("Options", "AppHK.CharCode"), "74") << "already saved";

  // The refusal is remembered: OK again asks nothing and closes.
  shown.clear();
  Click(f.cmdOK);
  EXPECT_TRUE(shown.empty());
  EXPECT_FALSE(f.Loaded());

  // No to the message closes the dialog at once.
  HotKeyHolder other(MOD_CONTROL | MOD_SHIFT, 'M');
  ASSERT_TRUE(other.Holding());
  Open();
  answer = [](const ShownMessage&) { return IDNO; };
  f.txtCharCode0.SetText("M");
  Click(f.cmdOK);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_FALSE(f.Loaded());
  EXPECT_EQ(Option("Options", "AppHK.CharCode"), "77");
}

TEST_F(OptionsTest, ApplyReachesTheRunValueTheTimerTheTrayAndTheHook) {
  loopseams::RasAvailableFn = [] { return true; };
  const HKEY runRoot = IsWinNTFlag ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
  Click(f.cmdApply);
  EXPECT_EQ(RegText(runRoot, kRunPath, "Quillon Pro"), AppExePath);
  EXPECT_TRUE(TrayIconPresent(InterfaceFrm.hwnd()));
  Tick(f.ChkStartUp, false);
  f.txtSecLogData.SetText("9");
  Click(f.cmdApply);
  EXPECT_EQ(RegText(runRoot, kRunPath, "Quillon Pro"), kMissing);
  EXPECT_EQ(InterfaceFrm.LogTimer.Interval(), 9000u);

  // The hook goes once when the connection type changes, and only then.
  BlockPopUps = true;
  InstallPopUpHook();
  ASSERT_TRUE(PopUpHookInstalled()) << "the hook library is built beside the tests";
  Click(f.cmdApply);
  EXPECT_TRUE(PopUpHookInstalled()) << "no change, no touch";
  f.LANConOpt1.SetValue(false);
  Tick(f.LANConOpt0, true);
  Click(f.cmdApply);
  EXPECT_FALSE(PopUpHookInstalled());
  EXPECT_EQ(Option("Options", "LANCon"), "0");

  // A modem without dial-up networking: the message, the leased line again, the hook kept.
  f.LANConOpt0.SetValue(false);
  Tick(f.LANConOpt1, true);
  Click(f.cmdApply);
  InstallPopUpHook();
  loopseams::RasAvailableFn = [] { return false; };
  f.LANConOpt1.SetValue(false);
  Tick(f.LANConOpt0, true);
  Click(f.cmdApply);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_NE(shown[0].text.find("RAS may not be installed"), std::string::npos);
  EXPECT_TRUE(f.LANConOpt1.Value());
  EXPECT_FALSE(f.LANConOpt0.Value());
  EXPECT_EQ(Option("Options", "LANCon"), "1");
  EXPECT_TRUE(PopUpHookInstalled());
  RemovePopUpHook();
}

TEST_F(OptionsTest, KeysWalkThePageSwitchTabsAndPressTheButtons) {
  // Tab through the General page in reading order, then the buttons.
  f.ChkStartUp.SetFocus();
  std::vector<HWND> order;
  for (int i = 0; i < 12; ++i) {
    order.push_back(GetFocus());
    Press(VK_TAB);
  }
  const std::vector<HWND> expected = {f.ChkStartUp.hwnd(), f.ChkSplashAtStartUp.hwnd(), f.Check1.hwnd(),
                                      f.chkShift0.hwnd(), f.chkAlt0.hwnd(), f.chkCtrl0.hwnd(),
                                      f.txtCharCode0.hwnd(), f.Check2.hwnd(), f.chkShift1.hwnd(),
                                      f.chkAlt1.hwnd(), f.chkCtrl1.hwnd(), f.txtCharCode1.hwnd()};
  EXPECT_EQ(order, expected);
  // The page's last field, the tab strip (it lies under the pages), then the buttons;
  // Shift+Tab goes back.
  f.txtNumLogData.SetFocus();
  Press(VK_TAB);
  EXPECT_EQ(GetFocus(), f.SSTab1.strip());
  Press(VK_TAB);
  EXPECT_EQ(GetFocus(), f.cmdOK.hwnd());
  Press(VK_TAB, 1);
  EXPECT_EQ(GetFocus(), f.SSTab1.strip());
  Press(VK_TAB, 1);
  EXPECT_EQ(GetFocus(), f.txtNumLogData.hwnd());
  Press(VK_TAB, 1);
  EXPECT_EQ(GetFocus(), f.txtSecLogData.hwnd());

  Press(VK_TAB, 2);
  EXPECT_EQ(f.SSTab1.Tab(), 1);
  Press(VK_TAB, 3);
  Press(VK_TAB, 3);
  EXPECT_EQ(f.SSTab1.Tab(), 6) << "Ctrl+Shift+Tab goes round the start";
  Press(VK_TAB, 2);
  EXPECT_EQ(f.SSTab1.Tab(), 0);

  // "-" is refused; a letter is taken. Enter with an empty field stores the default.
  f.txtCharCode0.SetFocus();
  SendMessageA(f.txtCharCode0.hwnd(), EM_SETSEL, 0, -1);
  Press(VK_OEM_MINUS);
  EXPECT_EQ(f.txtCharCode0.Text(), "E");
  SendMessageA(f.txtCharCode0.hwnd(), EM_SETSEL, 0, -1);
  Press(VK_BACK);
  EXPECT_EQ(f.txtCharCode0.Text(), "");
  f.txtLowRes0.SetText("44");
  Press(VK_RETURN);
  EXPECT_FALSE(f.Loaded()) << "Enter is OK";
  EXPECT_EQ(Option("Options", "AppHK.CharCode"), "69");
  EXPECT_EQ(Option("Options", "LowRes(0)"), "44");
  Open();
  EXPECT_EQ(f.txtCharCode0.Text(), "E");

  // Arrows move within an option group.
  f.SSTab1.SetTab(2);
  f.WndDisplayOpt1.SetFocus();
  Press(VK_DOWN);
  EXPECT_EQ(GetFocus(), f.WndDisplayOpt2.hwnd());
  EXPECT_TRUE(f.WndDisplayOpt2.Value());
  EXPECT_FALSE(f.WndDisplayOpt1.Value());
  f.SSTab1.SetTab(0);

  // Esc is Cancel; F1 opens the help.
  f.txtLowRes0.SetText("45");
  f.ChkStartUp.SetFocus();
  Press(VK_F1);
  int helps = 0;
  for (const Launch& l : launched) helps += l.file.find("online_help.htm") != std::string::npos;
  EXPECT_EQ(helps, 1);
  Press(VK_ESCAPE);
  EXPECT_FALSE(f.Loaded());
  EXPECT_EQ(Option("Options", "LowRes(0)"), "44");
}

TEST_F(OptionsTest, DefaultAsksThenStoresAndShowsTheDefaults) {
  f.txtLowRes0.SetText("12");
  Click(f.cmdApply);
  Tick(f.chkShift0, true);
  f.SSTab1.SetTab(5);
  answer = [](const ShownMessage&) { return IDCANCEL; };
  const auto before = OptionTexts();
  Click(f.DefaultBtn);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, "Are you sure you want set all options to default settings?");
  EXPECT_EQ(shown[0].style, 289u);
  EXPECT_EQ(OptionTexts(), before);
  EXPECT_EQ(f.SSTab1.Tab(), 5);

  answer = [](const ShownMessage&) { return IDOK; };
  Mainfrm.FastRef = true;
  f.SProgsList.Clear();
  Click(f.DefaultBtn);
  EXPECT_EQ(f.SSTab1.Tab(), 0);
  for (int i = 0; i < 2; ++i) {
    EXPECT_TRUE(f.chkCtrl(i).Value());
    EXPECT_TRUE(f.chkAlt(i).Value());
    EXPECT_FALSE(f.chkShift(i).Value());
  }
  EXPECT_EQ(f.txtLowRes0.Text(), "80");
  EXPECT_EQ(f.SProgsList.ItemCount(), 2);
  EXPECT_EQ(Option("Options", "LowRes(0)"), "80");
  EXPECT_EQ(Option("Options", "SProgCount"), "2");
  EXPECT_FALSE(Mainfrm.FastRef);
}

TEST_F(OptionsTest, TrackerRowsMoveAndKeepTheirKindsThroughOkAndReopen) {
  ui::ListView& lv = f.TrackerItemsLV;
  ASSERT_EQ(lv.ItemCount(), 10);
  EXPECT_EQ(lv.ItemText(9), "Number of blocked pop-up's");
  f.ShiftItemBtn_Click(0);  // nothing selected: nothing moves
  EXPECT_EQ(lv.ItemText(0), "CPU usage");
  lv.SetSelected(0, true);
  Click(f.ShiftItemBtn0);
  EXPECT_EQ(lv.ItemText(0), "CPU usage") << "the first row cannot go up";
  Click(f.ShiftItemBtn1);
  EXPECT_EQ(lv.ItemText(1), "CPU usage");
  EXPECT_TRUE(lv.Selected(1)) << "the selection follows the item";
  lv.SetSelected(1, false);
  lv.SetSelected(9, true);
  lv.SetChecked(9, false);
  Click(f.ShiftItemBtn1);
  EXPECT_EQ(lv.ItemText(9), "Number of blocked pop-up's") << "the last row cannot go down";
  Click(f.ShiftItemBtn0);
  EXPECT_EQ(lv.ItemText(8), "Number of blocked pop-up's");
  EXPECT_FALSE(lv.Checked(8)) << "the mark moves with the row";
  Click(f.cmdOK);
  EXPECT_EQ(Option("Options", "TrackerItems(1)"), "2");
  EXPECT_EQ(Option("Options", "TrackerItems(2)"), "1");
  EXPECT_EQ(Option("Options", "TrackerItems(9)"), "10");
  EXPECT_EQ(Option("Options", "TrackerItemsShow(9)"), "False");
  const auto stored = OptionTexts();
  Open();
  Click(f.cmdOK);
  EXPECT_EQ(OptionTexts(), stored);

  // Space ticks the focused row.
  Open();
  f.TrackerItemsLV.SetFocus();
  f.TrackerItemsLV.SetSelected(0, true);
  f.TrackerItemsLV.SetFocusedRow(0);
  const bool was = f.TrackerItemsLV.Checked(0);
  Press(VK_SPACE);
  EXPECT_NE(f.TrackerItemsLV.Checked(0), was);
}

// ---- special programs

class SpecialProgramsTest : public OptionsTest {
 protected:
  ui::ListView& list = frmOptions.SProgsList;
  AddSProgFrmForm& d = AddSProgFrm;
  void Type(const std::string& path) { d.SProgTxt.SetText(path); }
};

TEST_F(SpecialProgramsTest, AddOpensEmptyAndAddsOnceInLowerCase) {
  ASSERT_EQ(list.ItemCount(), 2);
  EXPECT_FALSE(f.RemoveBtn.Enabled()) << "nothing selected when the dialog opens";
  // A selection made by keyboard enables the buttons too.
  f.SSTab1.SetTab(1);
  list.SetFocus();
  Press(VK_DOWN);
  EXPECT_FALSE(list.SelectedRows().empty());
  EXPECT_TRUE(f.RemoveBtn.Enabled());
  EXPECT_TRUE(f.ChangeBtn.Enabled());
  for (int r = 0; r < list.ItemCount(); ++r) list.SetSelected(r, false);
  f.ChkBtnsEnbl();
  Click(f.AddBtn);
  ASSERT_TRUE(d.Visible());
  EXPECT_EQ(testsupport::WindowText(d.hwnd()), "Add new program");
  EXPECT_EQ(d.SProgTxt.Text(), "");
  EXPECT_TRUE(d.SProgOpt2.Value());
  EXPECT_FALSE(d.cmdApply.Enabled());
  EXPECT_FALSE(IsWindowEnabled(f.hwnd()));
  EXPECT_EQ(GetWindow(d.hwnd(), GW_OWNER), f.hwnd());
  const std::string folder = AppPath();
  Type(vb::UCase(folder));
  EXPECT_TRUE(d.cmdApply.Enabled());
  Click(d.cmdApply);
  EXPECT_TRUE(shown.empty()) << "an existing folder needs no question";
  Click(d.cmdOK);
  EXPECT_FALSE(d.Loaded());
  EXPECT_TRUE(IsWindowEnabled(f.hwnd()));
  ASSERT_EQ(list.ItemCount(), 3) << "OK after Apply adds nothing more";
  EXPECT_EQ(list.ItemText(2), vb::LCase(vb::UCase(folder)));
  EXPECT_EQ(list.SubItem(2, 1), "Give warning message before closing it");
  EXPECT_EQ(list.SmallIcon(2), 1);

  // A missing file asks; No adds nothing and keeps Apply; a blank path adds no row,
  // says so and keeps the dialog.
  Click(f.AddBtn);
  Type("c:\\no\\such.exe");
  answer = [](const ShownMessage&) { return IDNO; };
  Click(d.cmdApply);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, "The file c:\\no\\such.exe wasn't found, Are you still sure you want to add it?");
  EXPECT_EQ(shown[0].style, 292u);
  EXPECT_TRUE(d.cmdApply.Enabled());
  EXPECT_EQ(list.ItemCount(), 3);
  for (ui::Button* button : {&d.cmdApply, &d.cmdOK}) {
    shown.clear();
    Type("   ");
    Click(*button);
    ASSERT_EQ(shown.size(), 1u) << "a blank path refused without a word";
    EXPECT_EQ(shown[0].text, "Type the path of a program or a folder, or choose one with Browse.");
    EXPECT_EQ(list.ItemCount(), 3);
    EXPECT_TRUE(d.Loaded());
  }
  Click(d.cmdCancel);
  EXPECT_TRUE(IsWindowEnabled(f.hwnd()));

  // Enter is OK in the small dialog too.
  Click(f.AddBtn);
  Type(AppPath());
  PumpUntil([&] { return GetForegroundWindow() == d.hwnd(); });
  d.SProgTxt.SetFocus();
  Press(VK_RETURN);
  EXPECT_FALSE(d.Loaded());
  EXPECT_EQ(list.ItemCount(), 4);
  EXPECT_TRUE(IsWindowEnabled(f.hwnd()));

  // A new load starts with an empty path.
  Click(f.AddBtn);
  EXPECT_EQ(d.SProgTxt.Text(), "");
  d.Close();  // the close box
  EXPECT_TRUE(IsWindowEnabled(f.hwnd()));
  Click(f.AddBtn);
  PumpUntil([&] { return GetForegroundWindow() == d.hwnd(); });
  Press(VK_ESCAPE);
  EXPECT_FALSE(d.Loaded());
  EXPECT_TRUE(IsWindowEnabled(f.hwnd()));
}

TEST_F(SpecialProgramsTest, ChangeKeepsTheMarkAndReplacesTheRowItEdits) {
  list.SetSmallIcon(0, 2);  // explorer, disabled
  list.SetSelected(0, true);
  list.SetFocusedRow(0);
  EXPECT_TRUE(f.ChangeBtn.Enabled());
  Click(f.ChangeBtn);
  EXPECT_EQ(testsupport::WindowText(d.hwnd()), "Change program Properties");
  EXPECT_EQ(d.SProgTxt.Text(), list.ItemText(0));
  EXPECT_TRUE(d.SProgOpt2.Value());
  EXPECT_FALSE(d.cmdApply.Enabled());
  d.SProgOpt2.SetValue(false);
  Tick(d.SProgOpt0, true);
  Click(d.cmdApply);
  ASSERT_EQ(list.ItemCount(), 2);
  EXPECT_EQ(list.SubItem(1, 1), "Hide from programs list");
  EXPECT_EQ(list.SmallIcon(1), 2) << "still disabled";
  // The selection moves meanwhile: the next Apply still replaces the row this dialog made.
  list.SetSelected(0, true);
  d.SProgOpt0.SetValue(false);
  Tick(d.SProgOpt1, true);
  Click(d.cmdOK);
  ASSERT_EQ(list.ItemCount(), 2);
  EXPECT_NE(list.ItemText(0), list.ItemText(1));
  EXPECT_EQ(list.SubItem(1, 1), "Hide it and all its windows from lists");

  // A blank path on OK: said, and the dialog stays with the chosen action; the row is kept.
  const std::string path = list.ItemText(1);
  list.SetSelected(1, true);
  list.SetFocusedRow(1);
  Click(f.ChangeBtn);
  d.SProgOpt1.SetValue(false);
  Tick(d.SProgOpt0, true);
  Type("");
  shown.clear();
  Click(d.cmdOK);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, "Type the path of a program or a folder, or choose one with Browse.");
  ASSERT_TRUE(d.Loaded()) << "the edit was lost";
  EXPECT_TRUE(d.SProgOpt0.Value());
  ASSERT_EQ(list.ItemCount(), 2);
  EXPECT_EQ(list.ItemText(1), path);
  Type(path);
  Click(d.cmdOK);
  EXPECT_FALSE(d.Loaded());
  ASSERT_EQ(list.ItemCount(), 2);
  EXPECT_EQ(list.SubItem(1, 1), "Hide from programs list");
}

TEST_F(SpecialProgramsTest, RemoveEnableSortAndWhatTheStoreKeeps) {
  // Stored entries with an unknown action and an unknown mark survive an OK.
  SetOption("Options", "SProg3", "c:\\odd\\seven.exe,7;0");
  SetOption("Options", "SProgCount", "3");
  Reopen();
  ASSERT_EQ(list.ItemCount(), 3);
  EXPECT_EQ(list.SmallIcon(2), 0);
  Click(f.cmdOK);
  EXPECT_EQ(Option("Options", "SProg3"), "c:\\odd\\seven.exe,7;0");

  Open();
  for (int i = 0; i < 3; ++i) list.SetSelected(i, i < 2);
  Click(f.EnableBtn);
  EXPECT_EQ(list.SmallIcon(0), 2);
  EXPECT_EQ(list.SmallIcon(1), 2);
  Click(f.EnableBtn);
  EXPECT_EQ(list.SmallIcon(0), 1);

  // Header clicks: descending first, then ascending again; rows are saved as shown.
  f.SProgsList_ColumnClick(0);
  EXPECT_EQ(list.ItemText(0), "c:\\windows\\system32\\kernel32.dll");
  EXPECT_EQ(list.ItemText(2), "c:\\odd\\seven.exe");
  f.SProgsList_ColumnClick(0);
  EXPECT_EQ(list.ItemText(0), "c:\\odd\\seven.exe");
  Click(f.cmdApply);
  EXPECT_EQ(Option("Options", "SProg1").substr(0, list.ItemText(0).size()), list.ItemText(0));

  // Removing adjacent selected rows removes them all and disables the buttons.
  for (int i = 0; i < 3; ++i) list.SetSelected(i, true);
  Click(f.RemoveBtn);
  EXPECT_EQ(list.ItemCount(), 0);
  EXPECT_FALSE(f.RemoveBtn.Enabled());
  EXPECT_FALSE(f.ChangeBtn.Enabled());
  EXPECT_FALSE(f.EnableBtn.Enabled());
  Click(f.cmdCancel);
  EXPECT_EQ(Option("Options", "SProgCount"), "3") << "Cancel keeps the stored list";

  // An emptied list is stored empty and stays empty after a restart.
  Open();
  list.Clear();
  Click(f.cmdOK);
  EXPECT_EQ(Option("Options", "SProgCount"), "0");
  EXPECT_EQ(Option("Options", "SProg1"), kMissing);
  LoadSettings();
  EXPECT_EQ(SProgCount, 0);
  Open();
  EXPECT_EQ(list.ItemCount(), 0);
}

TEST_F(SpecialProgramsTest, AHugeStoredCountIsDeletedByTheNamesPresent) {
  SetOption("Options", "SProgCount", "32767");
  SetOption("Options", "SProg500", "c:\\x.exe,0;1");
  Reopen();
  Click(f.cmdOK);
  EXPECT_EQ(Option("Options", "SProg500"), kMissing);
  EXPECT_EQ(Option("Options", "SProgCount"), std::to_string(list.ItemCount()));
}

// Answers the next "Browse" file dialog from another thread: a file name, or Cancel
// when it is empty.
std::thread AnswerBrowse(std::string file) {
  return std::thread([file] {
    HWND dialog = nullptr;
    for (int i = 0; i < 100 && !dialog; ++i, Sleep(50)) dialog = FindWindowA("#32770", "Browse");
    if (!dialog) return;
    if (file.empty()) {
      PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
      return;
    }
    SetDlgItemTextA(dialog, 0x47C /* the file name box */, file.c_str());
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  });
}

TEST_F(OptionsTest, TheSoundFileIsChosenInTheOpenDialogFromTheSoundsFolder) {
  const std::string wave = AppPath() + "\\sounds\\bloop.wav";
  f.PopPlaySndFileTxt.SetText("kept");
  std::thread cancel = AnswerBrowse("");
  Click(f.BrowseBtn);
  cancel.join();
  EXPECT_EQ(f.PopPlaySndFileTxt.Text(), "kept") << "Cancel leaves the field";
  std::thread choose = AnswerBrowse("bloop.wav");  // relative to the initial folder
  Click(f.BrowseBtn);
  choose.join();
  EXPECT_EQ(vb::LCase(f.PopPlaySndFileTxt.Text()), vb::LCase(wave));
}

TEST_F(SpecialProgramsTest, BrowseIsAnsweredInTheRealOpenDialog) {
  Click(f.AddBtn);
  const std::string chosen = testsupport::BinDir() + "\\fixture.exe";
  std::thread answerer([&] {
    HWND dialog = nullptr;
    for (int i = 0; i < 100 && !dialog; ++i, Sleep(50)) dialog = FindWindowA("#32770", "Browse");
    if (!dialog) return;
    SetDlgItemTextA(dialog, 0x47C /* the file name combo */, chosen.c_str());
    if (!GetDlgItem(dialog, 0x47C)) SetDlgItemTextA(dialog, 0x480, chosen.c_str());
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  });
  d.BrowseBtn_Click();
  answerer.join();
  EXPECT_EQ(vb::LCase(d.SProgTxt.Text()), vb::LCase(chosen));

  // Cancelled: the field stays.
  std::thread canceller([] {
    HWND dialog = nullptr;
    for (int i = 0; i < 100 && !dialog; ++i, Sleep(50)) dialog = FindWindowA("#32770", "Browse");
    if (dialog) PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  d.BrowseBtn_Click();
  canceller.join();
  EXPECT_EQ(vb::LCase(d.SProgTxt.Text()), vb::LCase(chosen));
}

// ---- the locale of the cost fields and the long cost unit

TEST_F(OptionsTest, CostFieldsUseTheLocaleAndTheUnitReachesSixtyHours) {
  const std::string sep(1, vb::DecimalSeparator());
  // The suite runs again under LC_ALL=de_DE.UTF-8, where Wine answers with ",".
  const char* locale = std::getenv("LC_ALL");
  if (locale && std::string(locale).rfind("de_DE", 0) == 0) {
    EXPECT_EQ(sep, ",");
    EXPECT_EQ(GetLocaleInfoText(LOCALE_SCURRENCY), "\x80");
  }
  EXPECT_EQ(f.CostOfXSecondTxt.Text(), "0" + sep + "01");
  for (const char* typed : {"0,5", "0.5"}) {
    f.CostOfXSecondTxt.SetText(typed);
    Click(f.cmdApply);
    EXPECT_EQ(Option("Options", "CostDefinition.CostOfXSecond"), "0" + sep + "5") << typed;
  }
  f.EveryXSecondsTxt.SetText("216000");
  Click(f.cmdOK);
  EXPECT_EQ(Option("Options", "CostDefinition.EveryXSeconds"), "216000");
  CostDefinition = CostDef();
  LoadSettings();
  EXPECT_EQ(CostDefinition.EveryXSeconds, 216000);
  CostDefinition.CostOfXSecond = 1;
  CostDefinition.ExtraCost = 0;
  EXPECT_FLOAT_EQ(CalcConCost(216001), 2.0f) << "two units billed";
  EXPECT_FLOAT_EQ(CalcConCost(1), 1.0f);

  // Out of range in the store: the default, with the store's message.
  SetOption("Options", "CostDefinition.EveryXSeconds", "216001");
  SetOption("Options", "BlockMode", "5");
  Open();
  EXPECT_EQ(f.EveryXSecondsTxt.Text(), "60");
  EXPECT_TRUE(f.BlockModeOpt1.Value());
  EXPECT_FALSE(f.BlockModeOpt0.Value());

  // A stored key code that is no letter or digit shows the default letter.
  SetOption("Options", "AppHK.CharCode", "45");
  SetOption("Options", "DestHK.CharCode", "0");
  Reopen();
  EXPECT_EQ(f.txtCharCode0.Text(), "E");
  EXPECT_EQ(f.txtCharCode1.Text(), "D");
}

TEST_F(OptionsTest, ColumnsChangedDuringAListsRefreshWaitForItsEnd) {
  Click(f.cmdApply);
  const int columns = Mainfrm.AppLst.ColumnCount();
  ASSERT_EQ(columns, static_cast<int>(AppColTitles.size()));
  Mainfrm.Refreshing = true;  // an OK reached through the refresh's event pump
  Tick(f.AppListChk(2), false);
  Click(f.cmdOK);
  EXPECT_EQ(Option("Options", "AppList"), "110" + std::string(columns - 3, '1'));
  EXPECT_EQ(Mainfrm.AppLst.ColumnCount(), columns) << "the running refresh keeps its columns";
  Mainfrm.RefreshMe();  // re-entered: nothing happens yet
  EXPECT_EQ(Mainfrm.AppLst.ColumnCount(), columns);
  Mainfrm.Refreshing = false;
  Mainfrm.FastRef = true;
  Mainfrm.RefreshMe();
  EXPECT_EQ(Mainfrm.AppLst.ColumnCount(), columns - 1);
  EXPECT_EQ(Mainfrm.AppLst.ColumnKey(2), "K3");
  EXPECT_FALSE(Mainfrm.FastRef) << "the next refresh takes the full road";
}

// Stands in for the pop-up page's tabs.
class PopUpTabsForm : public ui::Window {
 public:
  PopUpTabsForm() : Window({.caption = "PopUp"}), SSTab1(*this, {0, 0, 300, 200}, {"A", "B", "C"}) {}
  ui::TabPages SSTab1;
};

TEST_F(OptionsTest, TheLinkOpensThePopUpPageOnItsBrowserList) {
  PopUpTabsForm page;
  page.Load();
  Views.popUpPage.SSTab1 = &page.SSTab1;
  f.SSTab1.SetTab(6);
  RECT r;
  GetWindowRect(f.Label9.hwnd(), &r);
  SetCursorPos(r.left + 20, r.top + 5);
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_MOUSE;
  in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, in, sizeof(INPUT));
  PumpUntil([&] { return page.SSTab1.Tab() == 2; }, 2000);
  Views.popUpPage.SSTab1 = nullptr;
  EXPECT_EQ(page.SSTab1.Tab(), 2);
  EXPECT_TRUE(InterfaceFrm.Visible());
  ASSERT_TRUE(Views.frame.PageButtonPressed);
  EXPECT_TRUE(Views.frame.PageButtonPressed("PopUp"));
  InterfaceFrm.Hide();
}

// The link with the frame never shown yet and the pop-up page not loaded: a click on
// it brings up the frame on that page, its browser list in front and filled.
TEST_F(OptionsTest, TheLinkOpensTheRealPopUpPageFilledOnFirstUse) {
  // The stand-in page's test leaves the binding empty; the real page's tabs it is.
  Views.popUpPage.SSTab1 = &PopUpFrm.SSTab1;
  const int total = BrowsersLst_Total;
  BrowsersLst_Total = 2;
  Browsers[0].Path = "C:\\Browsers\\one.exe";
  Browsers[1].Path = "C:\\Browsers\\two.exe";
  SavePopUpSettings();
  PopUpFrm.Unload();
  LoadPopUpSettings();  // as start-up reads them, before the page is loaded
  FirstShowDone = false;
  f.SSTab1.SetTab(6);
  testsupport::ClickAt(f.Label9.hwnd(), 20, 5);
  ASSERT_TRUE(PumpUntil([] { return PopUpFrm.Loaded() && PopUpFrm.Visible(); }, 5000)) << "the page came up";
  PumpUntil([] { return GetForegroundWindow() == InterfaceFrm.hwnd(); }, 5000);
  EXPECT_TRUE(InterfaceFrm.Visible());
  EXPECT_EQ(GetForegroundWindow(), InterfaceFrm.hwnd());
  EXPECT_EQ(InterfaceFrm.Caption(), "Quillon Pro - Latchkey");
  EXPECT_TRUE(Views.frame.PageButtonPressed("PopUp"));
  EXPECT_EQ(GetParent(PopUpFrm.hwnd()), InterfaceFrm.hwnd());
  EXPECT_FALSE(Mainfrm.Visible()) << "the lists page of the first show gave way";
  EXPECT_EQ(PopUpFrm.SSTab1.Tab(), 2);
  EXPECT_TRUE(IsWindowVisible(PopUpFrm.BrowsersLst.hwnd()));
  ASSERT_EQ(PopUpFrm.BrowsersLst.ItemCount(), 2);
  EXPECT_EQ(PopUpFrm.BrowsersLst.SubItem(0, 1), "C:\\Browsers\\one.exe");
  EXPECT_EQ(PopUpFrm.BrowsersLst.SubItem(1, 1), "C:\\Browsers\\two.exe");
  for (int i = 0; i < 6; ++i) EXPECT_EQ(InterfaceFrm.mnuTools[i]->Checked(), i == 2) << i;
  InterfaceFrm.Hide();
  Views.frame.ClickPageButton("Quillon");
  BrowsersLst_Total = static_cast<int16_t>(total);
}

TEST_F(OptionsTest, ButtonsDoNothingWhileAHandlerRuns) {
  // The lists refresh that Default runs pumps events: an OK clicked then is ignored,
  // and what is stored is the defaults, which the controls already show.
  f.txtLowRes0.SetText("12");
  Click(f.cmdApply);
  f.txtLowRes0.SetText("13");
  answer = [](const ShownMessage&) { return IDOK; };
  const auto refreshNow = Views.frame.RefreshNow;
  static int refreshes;
  refreshes = 0;
  Views.frame.RefreshNow = [] {
    ++refreshes;
    EXPECT_EQ(frmOptions.txtLowRes0.Text(), "80") << "refilled before the refresh";
    PostMessageA(GetParent(frmOptions.cmdOK.hwnd()), WM_COMMAND, MAKEWPARAM(frmOptions.cmdOK.id(), BN_CLICKED),
                 reinterpret_cast<LPARAM>(frmOptions.cmdOK.hwnd()));
    ui::DoEvents();
  };
  InterfaceFrm.Show();
  Click(f.DefaultBtn);
  Views.frame.RefreshNow = refreshNow;
  InterfaceFrm.Hide();
  EXPECT_EQ(refreshes, 1);
  EXPECT_TRUE(f.Loaded()) << "the OK inside Default did nothing";
  EXPECT_EQ(Option("Options", "LowRes(0)"), "80");
}

}  // namespace

