// The pop-up blocker's page: its lists and their commands, the counter, the blocked
// rows, over the program's own page and dialogs.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "AddBrowserFrm.h"
#include "AddWhiteFrm.h"
#include "Input.h"
#include "Menus.h"
#include "ModGetURL.h"
#include "ModPop.h"
#include "ModSettings.h"
#include "PopUpFrm.h"
#include "PopWindows.h"
#include "Registry.h"
#include "Seams.h"
#include "TabPages.h"
#include "UiWait.h"
#include "VbRules.h"
#include "ViewBindings.h"
#include "Window.h"

using namespace poptest;
using testsupport::Option;

namespace {

std::string Today() { return vb::CStrDate(std::floor(vb::Now())); }

class PopUpPage : public PopWindowsTest {
 protected:
  // The page on screen at the top left, on the tab.
  void ShowPage(int tab) {
    PopUpFrm.Show();
    SetWindowPos(PopUpFrm.hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    SetForegroundWindow(PopUpFrm.hwnd());
    PopUpFrm.SSTab1.SetTab(tab);
    testsupport::PumpUntilForeground(PopUpFrm.hwnd());
    testsupport::PumpUntilIdle();
  }
  // A blocked row as the model adds it, at a given time.
  void AddBlockedRow(const std::string& title, const std::string& url, vb::Date when, const std::string& tag = "") {
    ui::ListView& rows = PopUpFrm.BlockedWndLst;
    const int row = rows.AddItem(title);
    rows.SetTag(row, tag);
    rows.SetSubItem(row, 1, url);
    rows.SetSubItem(row, 2, "Fixture");
    rows.SetSubItem(row, 3, vb::CStrDate(when));
  }
  // A click with a button on the row's first cell, through the input queue.
  void ClickRow(ui::ListView& list, int row, DWORD down, DWORD up) {
    RECT r = {};
    r.left = LVIR_LABEL;
    SendMessageA(list.hwnd(), LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
    testsupport::ClickAt(list.hwnd(), r.left + 10, (r.top + r.bottom) / 2, down, up);
  }
  // A click on a column's header.
  void ClickHeader(ui::ListView& list, int column) {
    HWND header = reinterpret_cast<HWND>(SendMessageA(list.hwnd(), LVM_GETHEADER, 0, 0));
    RECT r = {};
    SendMessageA(header, HDM_GETITEMRECT, column, reinterpret_cast<LPARAM>(&r));
    // Each click a little beside the last, too far for the two to make a double click.
    const int beside = (headerClicks_++ % 2) ? 6 : -6;
    testsupport::ClickAt(header, (r.left + r.right) / 2 + beside, (r.top + r.bottom) / 2);
    testsupport::PumpUntilIdle();
  }
  int headerClicks_ = 0;
};

}  // namespace

// Each case removes by the entries behind the selected rows of a list sorted down,
// where the rows' places differ from the entries'.
TEST_F(PopUpPage, RemovingAfterASortTakesTheSelectedEntries) {
  struct Case {
    const char* what;
    bool browsers;
    std::vector<std::string> select;  // by the sorted column's text
    int answer;
    std::vector<std::string> left;    // entries in order, as stored
  } cases[] = {
      {"second white item", false, {"charlie"}, IDYES, {"bravo", "alpha"}},
      {"two white items", false, {"alpha", "charlie"}, IDYES, {"bravo"}},
      {"answered No", false, {"charlie"}, IDNO, {"bravo", "charlie", "alpha"}},
      {"second browser", true, {"c:\\charlie.exe"}, IDYES, {"c:\\bravo.exe", "c:\\alpha.exe"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ui::ListView& list = c.browsers ? PopUpFrm.BrowsersLst : PopUpFrm.WhiteWndLst;
    const int column = c.browsers ? 1 : 0;  // browser rows show the path in column 1
    if (c.browsers)
      StoreBrowsers({"c:\\bravo.exe", "c:\\charlie.exe", "c:\\alpha.exe"});
    else
      StoreWhiteItems({{1, "bravo", 0}, {1, "charlie", 0}, {1, "alpha", 0}});
    for (int click = 0; click < 2; ++click) {
      if (c.browsers)
        PopUpFrm.BrowsersLst_ColumnClick(column);
      else
        PopUpFrm.WhiteWndLst_ColumnClick(column);
    }
    ASSERT_EQ(Column(list, column), (std::vector<std::string>{c.browsers ? "c:\\charlie.exe" : "charlie",
                                                               c.browsers ? "c:\\bravo.exe" : "bravo",
                                                               c.browsers ? "c:\\alpha.exe" : "alpha"}));
    std::vector<int> rows;
    for (const std::string& text : c.select) rows.push_back(RowWith(list, column, text));
    SelectRows(list, rows);
    shown.clear();
    answer = c.answer;
    if (c.browsers)
      PopUpFrm.BrowsersDelBtn_Click();
    else
      PopUpFrm.WhiteDelBtn_Click();

    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Are you sure you want to remove the selected items?");
    EXPECT_EQ(shown[0].style, 292u);
    std::vector<std::string> model, stored;
    const int total = c.browsers ? BrowsersLst_Total : WhiteLst_Total;
    for (int i = 0; i < total; ++i) {
      model.push_back(c.browsers ? Browsers[i].Path : WhiteLst[i].URL_Or_Name_text);
      stored.push_back(Option("PopUp", c.browsers ? "Browsers(" + std::to_string(i) + ").Path"
                                                  : "WhiteLst(" + std::to_string(i) + ").URL_Or_Name_text"));
    }
    EXPECT_EQ(model, c.left);
    EXPECT_EQ(stored, c.left);
    EXPECT_EQ(Option("PopUp", c.browsers ? "BrowsersLst_Total" : "WhiteLst_Total"), std::to_string(c.left.size()));
    // The rows are the entries left, still sorted down, each naming its own entry.
    std::vector<std::string> sortedLeft = c.left;
    std::sort(sortedLeft.rbegin(), sortedLeft.rend());
    EXPECT_EQ(Column(list, column), sortedLeft);
    for (int row = 0; row < list.ItemCount(); ++row) {
      const int entry = PopEntryOfRow(list, row);
      EXPECT_EQ(c.left.at(entry), list.SubItem(row, column));
    }
    list.SetSorted(false);
  }
}

TEST_F(PopUpPage, NothingSelectedAsksNothing) {
  StoreWhiteItems({{1, "alpha", 0}});
  SelectRows(PopUpFrm.WhiteWndLst, {});
  PopUpFrm.WhiteDelBtn_Click();
  EXPECT_TRUE(shown.empty());
  EXPECT_EQ(WhiteLst_Total, 1);
}

TEST_F(PopUpPage, AResetShowsZeroAndTodayThenTheNextPopUpCountsOne) {
  testsupport::SetOption("PopUp", "TotalBlockCnt", "5");
  testsupport::SetOption("PopUp", "TotalBlockSince", vb::CStrDate(std::floor(vb::Now()) - 30));
  LoadPopUpSettings();
  PopUpFrm.RefreshMe();
  const std::string before = PopUpFrm.TotalBlockSinceLbl.Text();

  answer = IDNO;
  PopUpFrm.ResetBtn_Click();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, "Are you sure you want to reset pop-ups counter?");
  EXPECT_EQ(shown[0].style, 292u);
  EXPECT_EQ(PopUpFrm.TotalBlockCntLbl.Text(), "5");
  EXPECT_EQ(PopUpFrm.TotalBlockSinceLbl.Text(), before);
  EXPECT_EQ(Option("PopUp", "TotalBlockCnt"), "5");

  answer = IDYES;
  PopUpFrm.ResetBtn_Click();
  EXPECT_EQ(PopUpFrm.TotalBlockCntLbl.Text(), "0");
  EXPECT_EQ(PopUpFrm.TotalBlockSinceLbl.Text(), Today());
  EXPECT_EQ(Option("PopUp", "TotalBlockCnt"), "0");
  EXPECT_EQ(Option("PopUp", "TotalBlockSince"), Today());

  AddBlockedWebDialog(nullptr, "next");
  PopUpFrm.RefreshMe();
  EXPECT_EQ(PopUpFrm.TotalBlockCntLbl.Text(), "1");
  EXPECT_EQ(Option("PopUp", "TotalBlockCnt"), "1");
}

// Two clicks on a header sort up, then down; "Time" by date, where text order differs.
TEST_F(PopUpPage, TwoHeaderClicksSortUpThenDown) {
  // Day numbers: 9 and 10 January 2026, 31 December 2025, each at 8 in the morning.
  const vb::Date jan9 = 46031 + 1.0 / 3, jan10 = 46032 + 1.0 / 3, dec31 = 46022 + 1.0 / 3;
  AddBlockedRow("bravo", "http://b/", jan10);
  AddBlockedRow("alpha", "http://a/", dec31);
  AddBlockedRow("charlie", "http://c/", jan9);
  ShowPage(0);
  struct Case {
    int column;
    std::vector<std::string> up;  // titles after the first click
  } cases[] = {
      {0, {"alpha", "bravo", "charlie"}},
      {3, {"alpha", "charlie", "bravo"}},
  };
  ui::ListView& list = PopUpFrm.BlockedWndLst;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.column);
    list.SetSorted(false);
    ClickHeader(list, c.column);
    EXPECT_EQ(Column(list, 0), c.up);
    EXPECT_TRUE(list.SortAscending());
    ClickHeader(list, c.column);
    EXPECT_EQ(Column(list, 0), std::vector<std::string>(c.up.rbegin(), c.up.rend()));
  }
}

// Only the right button opens a list's menu.
TEST_F(PopUpPage, ARightClickOpensTheListsMenuALeftClickNothing) {
  StoreWhiteItems({{0, "http://white.example/", 0}});
  AddBlockedRow("pop", "http://pop.example/", vb::Now());
  struct Case {
    int tab;
    ui::ListView* list;
    std::vector<std::string> captions;
  } cases[] = {
      {0, &PopUpFrm.BlockedWndLst, {"&Copy Name\\URL", "&Goto URL", "&Send To White List"}},
      {1, &PopUpFrm.WhiteWndLst, {"&Remove", "&Modify", "&Copy Name\\URL"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tab);
    ShowPage(c.tab);
    {
      testsupport::MenuWatcher reader({VK_ESCAPE}, nullptr, 3000);
      ClickRow(*c.list, 0, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
      EXPECT_EQ(reader.Wait().items, c.captions);
    }
    testsupport::MenuWatcher reader({VK_ESCAPE}, nullptr, 1000);
    ClickRow(*c.list, 0, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    EXPECT_FALSE(reader.Wait().seen);
  }
  EXPECT_TRUE(shown.empty());
}

TEST_F(PopUpPage, TheCopiesPutEverySelectedRowOnTheClipboard) {
  StoreWhiteItems({{0, "http://one.example/", 0}, {1, "Two", 1}, {1, "Three", 0}});
  AddBlockedRow("First", "http://first.example/", vb::Now());
  AddBlockedRow("(none)", "http://second.example/", vb::Now());
  AddBlockedRow("Third", "http://third.example/", vb::Now());
  SelectRows(PopUpFrm.WhiteWndLst, {0, 2});
  PopUpFrm.mnuWhiteCopy_Click();
  EXPECT_EQ(ClipboardText(), "http://one.example/\r\nThree\r\n");
  SelectRows(PopUpFrm.BlockedWndLst, {0, 1});
  PopUpFrm.mnuBlockedCopy_Click();
  EXPECT_EQ(ClipboardText(), "First(http://first.example/)\r\n(none)(http://second.example/)\r\n");
}

TEST_F(PopUpPage, GotoOpensTheFocusedRowsAddressThroughTheShell) {
  std::vector<std::string> opened;
  seams::ShellExecuteFn = [&](const seams::ShellRequest& r) {
    opened.push_back(r.file);
    return true;
  };
  AddBlockedRow("First", "http://first.example/", vb::Now());
  AddBlockedRow("Second", "http://second.example/", vb::Now());
  AddBlockedRow("No address", "", vb::Now());
  SelectRows(PopUpFrm.BlockedWndLst, {0, 1});
  PopUpFrm.mnuBlockedGoto_Click();
  EXPECT_EQ(opened, std::vector<std::string>{"http://second.example/"});
  SelectRows(PopUpFrm.BlockedWndLst, {2});
  PopUpFrm.mnuBlockedGoto_Click();
  EXPECT_EQ(opened, std::vector<std::string>{"http://second.example/"}) << "nothing to go to";
}

// The Modify dialogs are modeless: the lists can change under them. OK changes the
// entry the dialog was opened on, wherever it has moved, and refuses with a message
// when it is gone; no other entry is touched.
TEST_F(PopUpPage, ModifyChangesItsOwnEntryWhenTheListChangedUnderIt) {
  struct Case {
    const char* what;
    bool browsers;
    const char* removed;             // the entry taken off on the page while the dialog is open
    std::vector<std::string> left;   // the entries after OK, as stored
    bool refused;
  } cases[] = {
      {"browser, an earlier one removed", true, "c:\\a.exe", {"c:\\c.exe", "c:\\b2.exe"}, false},
      {"browser, itself removed", true, "c:\\b.exe", {"c:\\a.exe", "c:\\c.exe"}, true},
      {"white item, an earlier one removed", false, "alpha", {"charlie", "bravo2"}, false},
      {"white item, itself removed", false, "bravo", {"alpha", "charlie"}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ui::ListView& list = c.browsers ? PopUpFrm.BrowsersLst : PopUpFrm.WhiteWndLst;
    ui::Button& modify = c.browsers ? PopUpFrm.BrowsersModiBtn : PopUpFrm.WhiteModiBtn;
    ui::Button& remove = c.browsers ? PopUpFrm.BrowsersDelBtn : PopUpFrm.WhiteDelBtn;
    ui::Window& dialog = c.browsers ? static_cast<ui::Window&>(AddBrowserFrm) : AddWhiteFrm;
    const int column = c.browsers ? 1 : 0;
    if (c.browsers)
      StoreBrowsers({"c:\\a.exe", "c:\\b.exe", "c:\\c.exe"});
    else
      StoreWhiteItems({{1, "alpha", 0}, {1, "bravo", 0}, {1, "charlie", 0}});
    ShowPage(c.browsers ? 2 : 1);
    auto clickButton = [](ui::Button& button) {
      RECT r = {};
      GetClientRect(button.hwnd(), &r);
      const POINT centre = testsupport::Centre(r);
      testsupport::ClickAt(button.hwnd(), centre.x, centre.y);
    };
    // Modify on the second entry, by the user's clicks; the dialog is moved off the page.
    SelectRows(list, {});
    ClickRow(list, RowWith(list, column, c.browsers ? "c:\\b.exe" : "bravo"), MOUSEEVENTF_LEFTDOWN,
             MOUSEEVENTF_LEFTUP);
    clickButton(modify);
    ASSERT_TRUE(testsupport::PumpUntil([&] { return dialog.Visible(); }, 5000));
    SetWindowPos(dialog.hwnd(), HWND_TOPMOST, 620, 300, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    if (c.browsers)
      AddBrowserFrm.BrowserPathTxt.SetText("c:\\b2.exe");
    else
      AddWhiteFrm.ByNameTxt.SetText("bravo2");
    // Meanwhile another entry, or the same one, leaves the list on the page.
    SetForegroundWindow(PopUpFrm.hwnd());
    ClickRow(list, RowWith(list, column, c.removed), MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(testsupport::PumpUntil([&] { return list.SelectedRows().size() == 1u; }, 5000));
    shown.clear();
    answer = IDYES;
    clickButton(remove);
    ASSERT_TRUE(testsupport::PumpUntil([&] { return (c.browsers ? BrowsersLst_Total : WhiteLst_Total) == 2; }, 5000));
    // OK on the dialog.
    shown.clear();
    SetForegroundWindow(dialog.hwnd());
    clickButton(c.browsers ? AddBrowserFrm.OkBtn : AddWhiteFrm.OkBtn);
    ASSERT_TRUE(testsupport::PumpUntil([&] { return !shown.empty() || !dialog.Visible(); }, 5000));
    std::vector<std::string> stored;
    for (int i = 0; i < (c.browsers ? BrowsersLst_Total : WhiteLst_Total); ++i)
      stored.push_back(c.browsers ? Browsers[i].Path : WhiteLst[i].URL_Or_Name_text);
    EXPECT_EQ(stored, c.left);
    EXPECT_EQ(Option("PopUp", c.browsers ? "BrowsersLst_Total" : "WhiteLst_Total"), "2");
    if (c.refused) {
      ASSERT_FALSE(shown.empty());
      EXPECT_EQ(shown[0].text, c.browsers ? kBrowserGoneText : kWhiteItemGoneText);
      EXPECT_TRUE(dialog.Visible()) << "what was typed stays in the dialog";
    }
    dialog.Hide();
  }
}

// "Send To White List" opens the dialog on the row's address (selected) and its real
// title: a pop-up without one is listed as "(none)", a web dialog as it was.
TEST_F(PopUpPage, SendOpensTheWhiteDialogWithAddressAndTitle) {
  struct Case {
    const char* listed;
    const char* tag;
    const char* title;
  } cases[] = {
      {"Special offer", "c:\\browser.exe", "Special offer"},
      {"(none)", "c:\\browser.exe", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.listed);
    PopUpFrm.BlockedWndLst.Clear();
    AddWhiteFrm.Unload();
    AddBlockedRow(c.listed, "http://offer.example/", vb::Now(), c.tag);
    SelectRows(PopUpFrm.BlockedWndLst, {0});
    PopUpFrm.mnuBlockedSend_Click();
    EXPECT_TRUE(AddWhiteFrm.Visible());
    EXPECT_EQ(AddWhiteFrm.Caption(), "Add new item to white list");
    EXPECT_EQ(AddWhiteFrm.ByURLTxt.Text(), "http://offer.example/");
    EXPECT_EQ(AddWhiteFrm.ByNameTxt.Text(), c.title);
    EXPECT_TRUE(AddWhiteFrm.ByURLOpt.Value());
  }
}

// A pop-up let go by the notice: closed, listed, counted and the count saved.
TEST_F(PopUpPage, ABlockedPopUpIsClosedListedAndCounted) {
  testsupport::Fixture& browser = StartBrowser("qpbrowser.exe");
  HWND popup = browser.hwnd();
  const std::string path = folder->PathOf("qpbrowser.exe");
  FoundURL = "http://pop.example/";
  const vb::Date before = vb::Now();
  AddBlockedPopUp(popup, path, "");
  EXPECT_TRUE(testsupport::PumpUntil([&] { return !IsWindow(popup); }));

  AddBlockedWebDialog(nullptr, "");
  ui::ListView& rows = PopUpFrm.BlockedWndLst;
  ASSERT_EQ(rows.ItemCount(), 2);
  EXPECT_EQ(rows.ItemText(0), "(none)");
  EXPECT_EQ(rows.Tag(0), path);
  EXPECT_EQ(rows.SubItem(0, 1), "http://pop.example/");
  EXPECT_FALSE(rows.SubItem(0, 2).empty());
  auto when = vb::CDate(rows.SubItem(0, 3));
  ASSERT_TRUE(when.has_value());
  EXPECT_LE(std::fabs(*when - before) * 86400.0, 5.0);
  // A web dialog keeps its empty title.
  EXPECT_EQ(rows.ItemText(1), "");
  EXPECT_EQ(rows.SubItem(1, 2), "Internet Explorer");
  EXPECT_EQ(rows.Tag(1), "Internet Explorer");
  EXPECT_EQ(Option("PopUp", "TotalBlockCnt"), "2");
}

// The options dialog stands in as a window with its seven tabs.
TEST_F(PopUpPage, TheSoundLinksOpenTheOptionsOnThePopUpTab) {
  ui::Window options{ui::FormDesign{.caption = "options"}};
  ui::TabPages tabs{options, {0, 0, 300, 200}, {"0", "1", "2", "3", "4", "5", "6"}};
  const ViewBindings::Options bound = Views.options;
  Views.options.form = &options;
  Views.options.SSTab1 = &tabs;
  for (auto* link : {&PopUpFrm.ChangeSoundFileLbl, &AddBrowserFrm.ChangeSoundFileLbl}) {
    options.Hide();
    tabs.SetTab(0);
    link->Click();
    EXPECT_TRUE(options.Visible());
    EXPECT_EQ(tabs.Tab(), 6);
  }
  Views.options = bound;
}
