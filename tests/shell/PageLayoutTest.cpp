// The tool pages as the frame shows them on a 1024 x 768 screen: at the frame's
// default size and after the user drags its corner, every control of every page and
// tab lies within the page and shows its caption whole.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <string>
#include <vector>

#include "ConInfoFrm.h"
#include "InterfaceFrm.h"
#include "Input.h"
#include "Mainfrm.h"
#include "ModStartup.h"
#include "MoreToolsFrm.h"
#include "PopUpFrm.h"
#include "ProcCPUFrm.h"
#include "ShellTestSupport.h"
#include "SysInfoLink.h"
#include "SysPerfFrm.h"
#include "TabPages.h"
#include "TextFit.h"
#include "UiWait.h"

using shelltest::FrameTest;
using testsupport::PumpUntil;

namespace {

std::string ClassOf(HWND hwnd) {
  char name[64] = {};
  GetClassNameA(hwnd, name, sizeof name);
  return name;
}

RECT ScreenRect(HWND hwnd) {
  RECT r;
  GetWindowRect(hwnd, &r);
  return r;
}

RECT ClientOnScreen(HWND hwnd) {
  RECT r;
  GetClientRect(hwnd, &r);
  MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

bool Inside(const RECT& inner, const RECT& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

std::string Describe(HWND hwnd) {
  const RECT r = ScreenRect(hwnd);
  return ClassOf(hwnd) + " \"" + testsupport::WindowText(hwnd) + "\" at (" + std::to_string(r.left) + "," +
         std::to_string(r.top) + ")-(" + std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
}

// The width of the text on one line in the window's font.
int OneLineWidth(HWND hwnd, const std::string& text) { return testsupport::OneLineTextSize(hwnd, text).cx; }

// Whether a label or a push button shows its whole caption; check boxes and option
// buttons have their own rule.
bool CaptionFits(HWND hwnd, std::string* why) {
  const std::string text = testsupport::WindowText(hwnd);
  if (text.empty()) return true;
  RECT client;
  GetClientRect(hwnd, &client);
  const std::string cls = ClassOf(hwnd);
  const LONG style = GetWindowLongA(hwnd, GWL_STYLE);
  if (cls == "Static") {
    const int need = testsupport::WrappedTextHeight(hwnd, text, client.right);
    *why = text + ": needs " + std::to_string(need) + " of " + std::to_string(client.bottom);
    return need <= client.bottom;
  }
  if (cls != "Button") return true;
  const LONG type = style & BS_TYPEMASK;
  if (type == BS_GROUPBOX) return true;
  if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) {
    const int need = testsupport::WrappedTextHeight(hwnd, text, client.right - 6);
    const int oneLine = testsupport::WrappedTextHeight(hwnd, "Xg", 1000);
    *why = text + ": needs " + std::to_string(need) + " at " + std::to_string(client.right - 6);
    return need <= oneLine;
  }
  return testsupport::ButtonCaptionFits(hwnd, why);
}

BOOL CALLBACK CollectChild(HWND child, LPARAM into) {
  reinterpret_cast<std::vector<HWND>*>(into)->push_back(child);
  return TRUE;
}

// Every shown control of the page within the page and within its own container, its
// caption whole. Returns the faults, one a line.
std::string LayoutFaults(HWND page) {
  std::vector<HWND> children;
  EnumChildWindows(page, CollectChild, reinterpret_cast<LPARAM>(&children));
  const RECT area = ClientOnScreen(page);
  std::string faults;
  for (HWND child : children) {
    if (!IsWindowVisible(child)) continue;
    const RECT at = ScreenRect(child);
    if (at.right <= at.left || at.bottom <= at.top) continue;
    const HWND parent = GetParent(child);
    const std::string parentClass = ClassOf(parent);
    // The parts a common control makes for itself (a list's header, a combo's edit)
    // are its own business.
    if (parentClass == "SysListView32" || parentClass == "ComboBox" || parentClass == "SysTabControl32") continue;
    if (!Inside(at, area))
      faults += "past the page: " + Describe(child) + "\n";
    else if (parent != page && !Inside(at, ClientOnScreen(parent)))
      faults += "past its container " + Describe(parent) + ": " + Describe(child) + "\n";
    std::string why;
    if (!CaptionFits(child, &why))
      faults += "caption cut: " + why + " (one line " + std::to_string(OneLineWidth(child, testsupport::WindowText(child))) +
                " wide in " + std::to_string(at.right - at.left) + ")\n";
  }
  return faults;
}

struct PageCase {
  const char* key;
  ui::Window* page;
  ui::TabPages* tabs;  // nullptr: a page without tabs
};

class PageLayoutTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    // The colours the program's start-up gives, so the pictures show what a user sees;
    // the pages load again to take them, and again after the test to drop them.
    saved_ = {InterfaceBackColor, FormBackColor, InterfaceToolbarColor};
    InterfaceBackColor = FormBackColor = RGB(233, 233, 233);
    InterfaceToolbarColor = RGB(176, 184, 207);
    UnloadPages();
  }
  void TearDown() override {
    InterfaceBackColor = saved_[0];
    FormBackColor = saved_[1];
    InterfaceToolbarColor = saved_[2];
    PerfInfoData.clear();
    UnloadPages();
    FrameTest::TearDown();
  }
  static void UnloadPages() {
    for (ui::Window* page :
         std::initializer_list<ui::Window*>{&SysPerfFrm, &PopUpFrm, &ConInfoFrm, &ProcCPUFrm, &MoreToolsFrm})
      if (page->Loaded()) page->Unload();
  }
  void ShowPage(const char* key) {
    const POINT at = testsupport::Centre(InterfaceFrm.Toolbar1.ButtonRect(InterfaceFrm.Toolbar1.IndexOf(key)));
    testsupport::ClickAt(InterfaceFrm.Toolbar1.hwnd(), at.x, at.y);
    ASSERT_TRUE(PumpUntil([&] { return InterfaceFrm.Toolbar1.Value(key); })) << key;
    Settle();
  }
  // Each tab of the page shown in turn, each checked and photographed.
  void ExpectEachTabFits(const PageCase& c, const std::string& when) {
    const int tabs = c.tabs ? c.tabs->Tabs() : 1;
    for (int t = 0; t < tabs; ++t) {
      if (c.tabs) c.tabs->SetTab(t);
      Settle();
      SCOPED_TRACE(std::string(c.key) + " tab " + std::to_string(t) + " " + when);
      const RECT page = ClientOnScreen(c.page->hwnd());
      EXPECT_EQ(LayoutFaults(c.page->hwnd()), "") << "page area (" << page.left << "," << page.top << ")-("
                                                  << page.right << "," << page.bottom << ")";
      shelltest::SaveShot(InterfaceFrm.hwnd(), std::string(c.key) + "-" + std::to_string(t) + "-" + when);
    }
    if (c.tabs) c.tabs->SetTab(0);
  }
  // The user drags the frame's lower right corner by the distance.
  void DragCorner(int dx, int dy) {
    const RECT r = ScreenRect(InterfaceFrm.hwnd());
    const POINT from = {r.right - 2, r.bottom - 2};
    testsupport::DragMouse(from, {from.x + dx, from.y + dy}, 10);
    // The frame has taken a new size from the drag (the checks after say which).
    PumpUntil([&] {
      const RECT now = ScreenRect(InterfaceFrm.hwnd());
      return now.right - now.left != r.right - r.left || now.bottom - now.top != r.bottom - r.top;
    }, 3000);
    Settle();
  }
  std::array<COLORREF, 3> saved_{};
};

TEST_F(PageLayoutTest, EveryPageLiesWithinItsAreaAtTheDefaultSizeAndAfterTheUserResizesTheFrame) {
  const PageCase cases[] = {
      {"Quillon", &Mainfrm, nullptr},       {"Performance", &SysPerfFrm, nullptr},
      {"PopUp", &PopUpFrm, &PopUpFrm.SSTab1}, {"ConInfo", &ConInfoFrm, &ConInfoFrm.SSTab1},
      {"ProcCPU", &ProcCPUFrm, nullptr},    {"MoreTools", &MoreToolsFrm, &MoreToolsFrm.SSTab1},
  };
  // The widest figures the performance page shows, so its labels are checked with them.
  PerfInfoData.assign(8, 2147483647);
  // The frame's default size, as at the first start on a 1024 x 768 screen: the
  // smallest the frame takes, in the middle.
  SetWindowPos(InterfaceFrm.hwnd(), nullptr, 150, 60, 0, 0, SWP_NOZORDER);
  Settle();
  const RECT small = ScreenRect(InterfaceFrm.hwnd());
  for (const PageCase& c : cases) {
    ShowPage(c.key);
    ExpectEachTabFits(c, "default");
  }
  // Wider and taller by a drag of the corner, with each page on show in turn: the
  // page in front follows the drag, the others follow when shown.
  for (const PageCase& c : cases) {
    ShowPage(c.key);
    DragCorner(160, 120);
    const RECT big = ScreenRect(InterfaceFrm.hwnd());
    ASSERT_GT(big.right - big.left, small.right - small.left + 100) << "the drag did not widen the frame";
    ASSERT_GT(big.bottom - big.top, small.bottom - small.top + 80) << "the drag did not heighten the frame";
    ExpectEachTabFits(c, "larger");
    DragCorner(-160, -120);
    ExpectEachTabFits(c, "back");
  }
  const RECT back = ScreenRect(InterfaceFrm.hwnd());
  EXPECT_EQ(back.right - back.left, small.right - small.left);
}

}  // namespace
