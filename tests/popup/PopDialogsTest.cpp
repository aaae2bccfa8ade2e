// The browser dialog and the white-list dialog: what they store, what they refuse,
// the catalogue's browsers, and the limits of the lists.
#include <windows.h>

#include <gtest/gtest.h>

#include "AddBrowserFrm.h"
#include "AddWhiteFrm.h"
#include "Input.h"
#include "ModPop.h"
#include "ModStartupPlatform.h"
#include "PopUpFrm.h"
#include "PopWindows.h"
#include "Registry.h"
#include "UiWait.h"
#include "VbRules.h"

using namespace poptest;
using testsupport::Option;

namespace {

const char kExists[] = "The browser already exists";
const char kRestart[] = "Please restart the browser if it's already runnning";
const char kWhiteExists[] = "This white list item already exists ";

std::vector<std::string> BrowserPaths() {
  std::vector<std::string> paths;
  for (int i = 0; i < BrowsersLst_Total; ++i) paths.push_back(Browsers[i].Path);
  return paths;
}

std::vector<std::string> WhiteTexts() {
  std::vector<std::string> texts;
  for (int i = 0; i < WhiteLst_Total; ++i) texts.push_back(WhiteLst[i].URL_Or_Name_text);
  return texts;
}


class BrowserDialog : public PopWindowsTest {
 protected:
  // The dialog's catalogue rows as "key name".
  static std::vector<std::string> PredefinedRows() {
    std::vector<std::string> rows;
    const ui::ListView& list = AddBrowserFrm.PreDefLst;
    for (int row = 0; row < list.ItemCount(); ++row) rows.push_back(list.Key(row) + " " + list.ItemText(row));
    return rows;
  }
};

class WhiteDialog : public PopWindowsTest {
 protected:
  void Enter(bool byURL, const std::string& text, bool exact) {
    (byURL ? AddWhiteFrm.ByURLTxt : AddWhiteFrm.ByNameTxt).SetText(text);
    AddWhiteFrm.ByURLOpt.SetValue(byURL);
    AddWhiteFrm.ByNameOpt.SetValue(!byURL);
    AddWhiteFrm.ExactTextChk.SetValue(exact);
  }
};

}  // namespace

TEST_F(BrowserDialog, AnAddedBrowserIsStoredAsEntered) {
  AddBrowserFrm.ShowAddBrowserFrm("c:\\browsers\\new.exe");
  ASSERT_TRUE(AddBrowserFrm.Visible());
  EXPECT_EQ(AddBrowserFrm.Caption(), "Add Browser");
  EXPECT_EQ(AddBrowserFrm.OkBtn.Text(), "Add");
  EXPECT_EQ(AddBrowserFrm.SSTab1.Tab(), 0);
  EXPECT_TRUE(AddBrowserFrm.SSTab1.TabEnabled(2));
  EXPECT_EQ(AddBrowserFrm.BrowserPathTxt.Text(), "c:\\browsers\\new.exe");
  EXPECT_TRUE(AddBrowserFrm.PopDisNotfChk.Value());
  EXPECT_TRUE(AddBrowserFrm.HidePopOpt1.Value());
  EXPECT_FALSE(AddBrowserFrm.HidePopOpt0.Value());
  AddBrowserFrm.MenuNameTxt0.SetText("Open &New");
  AddBrowserFrm.MenuNameTxt1.SetText(" spaced ");
  // Unchecking hides the options; the one selected is still what is stored.
  AddBrowserFrm.PopDisNotfChk.SetValue(false);
  AddBrowserFrm.PopDisNotfChk_Click();
  EXPECT_FALSE(AddBrowserFrm.HidePopOpt0.Visible());
  EXPECT_FALSE(AddBrowserFrm.HidePopOpt1.Visible());
  AddBrowserFrm.OkBtn_Click();

  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, kRestart);
  EXPECT_EQ(shown[0].style, static_cast<UINT>(MB_OK));
  EXPECT_FALSE(AddBrowserFrm.Visible());
  EXPECT_TRUE(AddBrowserFrm.Loaded());
  struct Stored {
    const char* key;
    const char* value;
  } stored[] = {{"BrowsersLst_Total", "1"},          {"Browsers(0).Path", "c:\\browsers\\new.exe"},
                {"Browsers(0).MenuName(0)", "Open &New"}, {"Browsers(0).MenuName(1)", " spaced "},
                {"Browsers(0).HidePop", "1"},        {"Browsers(0).PopDisNotf", "0"}};
  for (const Stored& s : stored) EXPECT_EQ(Option("PopUp", s.key), s.value) << s.key;
  ASSERT_EQ(PopUpFrm.BrowsersLst.ItemCount(), 1);
  EXPECT_EQ(PopUpFrm.BrowsersLst.SubItem(0, 1), "c:\\browsers\\new.exe");
}

// The path is compared without regard to case, on both hand-entry tabs, and never with
// the entry being changed.
TEST_F(BrowserDialog, APathAlreadyListedIsRefused) {
  struct Case {
    const char* what;
    int16_t modify;  // 0: add
    int tab;
    const char* path;
    bool refused;
  } cases[] = {
      {"case only differs", 0, 0, "C:\\X\\ONE.EXE", true},
      {"on the advanced tab", 0, 1, "c:\\x\\two.exe", true},
      {"changed to another's", 1, 0, "c:\\x\\Two.exe", true},
      {"changed, own path kept", 1, 1, "c:\\x\\one.exe", false},
      {"a new path", 0, 0, "c:\\x\\three.exe", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    StoreBrowsers({"c:\\x\\one.exe", "c:\\x\\two.exe"});
    shown.clear();
    if (c.modify)
      AddBrowserFrm.ShowModifyBrowserFrm(c.modify);
    else
      AddBrowserFrm.ShowAddBrowserFrm("");
    AddBrowserFrm.BrowserPathTxt.SetText(c.path);
    AddBrowserFrm.SSTab1.SetTab(c.tab);
    AddBrowserFrm.OkBtn_Click();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, c.refused ? kExists : kRestart);
    EXPECT_EQ(shown[0].style, c.refused ? 48u : 0u);
    EXPECT_EQ(AddBrowserFrm.Visible(), c.refused);
    EXPECT_EQ(BrowsersLst_Total, c.refused || c.modify ? 2 : 3);
    EXPECT_EQ(Option("PopUp", "BrowsersLst_Total"), c.refused || c.modify ? "2" : "3");
    AddBrowserFrm.Hide();
  }
}

TEST_F(BrowserDialog, AChangedEntryMovesToTheEnd) {
  StoreBrowsers({"c:\\x\\one.exe", "c:\\x\\two.exe", "c:\\x\\three.exe"});
  Browsers[1].MenuName[0] = "Open in New Window";
  Browsers[1].HidePop = 0;
  AddBrowserFrm.ShowModifyBrowserFrm(2);
  EXPECT_EQ(AddBrowserFrm.Caption(), "Modify Browser");
  EXPECT_EQ(AddBrowserFrm.OkBtn.Text(), "Ok");
  EXPECT_FALSE(AddBrowserFrm.SSTab1.TabEnabled(2));
  EXPECT_EQ(AddBrowserFrm.BrowserPathTxt.Text(), "c:\\x\\two.exe");
  EXPECT_EQ(AddBrowserFrm.MenuNameTxt0.Text(), "Open in New Window");
  EXPECT_TRUE(AddBrowserFrm.HidePopOpt0.Value());
  AddBrowserFrm.OkBtn_Click();
  EXPECT_EQ(BrowserPaths(), (std::vector<std::string>{"c:\\x\\one.exe", "c:\\x\\three.exe", "c:\\x\\two.exe"}));
  EXPECT_EQ(Browsers[2].MenuName[0], "Open in New Window");
  EXPECT_EQ(Browsers[2].HidePop, 0);
  EXPECT_EQ(Option("PopUp", "Browsers(2).Path"), "c:\\x\\two.exe");
  EXPECT_EQ(Column(PopUpFrm.BrowsersLst, 1), BrowserPaths());
}

// Browse puts the chosen program's path in the field; a Cancel leaves the text.
TEST_F(BrowserDialog, BrowseFillsThePathACancelKeepsIt) {
  const std::string program = InstallCopy("fixture.exe", "qpchosen.exe");
  struct Case {
    const char* what;
    const char* picked;
    std::string path;
  } cases[] = {{"cancelled", nullptr, "c:\\typed.exe"}, {"picked", program.c_str(), program}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    AddBrowserFrm.ShowAddBrowserFrm("c:\\typed.exe");
    HANDLE helper = testsupport::AnswerFileDialog("Browse", c.picked);
    AddBrowserFrm.BrowseBtn_Click();
    EXPECT_TRUE(testsupport::FileDialogAnswered(helper)) << "the dialog was titled Browse";
    EXPECT_EQ(vb::LCase(AddBrowserFrm.BrowserPathTxt.Text()), vb::LCase(c.path));
  }
  EXPECT_TRUE(shown.empty());
}

// Flags are read as 0 or not 0: a stored value other than 0 or 1 shows as set.
TEST_F(BrowserDialog, StoredFlagsShowAsSetUnlessZero) {
  struct Case {
    int16_t popDisNotf, hidePop;
    bool checked, hideOption;
  } cases[] = {{0, 0, false, false}, {1, 1, true, true}, {5, -3, true, true}, {0, 2, false, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.popDisNotf) + "," + std::to_string(c.hidePop));
    StoreBrowsers({"c:\\x\\one.exe"});
    Browsers[0].PopDisNotf = c.popDisNotf;
    Browsers[0].HidePop = c.hidePop;
    AddBrowserFrm.ShowModifyBrowserFrm(1);
    EXPECT_EQ(AddBrowserFrm.PopDisNotfChk.Value(), c.checked);
    EXPECT_EQ(AddBrowserFrm.HidePopOpt1.Value(), c.hideOption);
    EXPECT_EQ(AddBrowserFrm.HidePopOpt0.Value(), !c.hideOption);
    EXPECT_EQ(AddBrowserFrm.HidePopOpt1.Visible(), c.checked);
  }
}

// The catalogue's browsers installed here, in record order; a pick adds the record's
// browser with its captions and flags, silently; a listed one is refused.
TEST_F(BrowserDialog, ACataloguePickAddsTheRecordsBrowser) {
  InstallCopy("fixture_v6.exe", "qpv6.exe");  // records 1 and 2 fit, 3 wants 7
  InstallCopy("fixture_v7.exe", "qpv7.exe");  // record 4 wants 6, 5 fits
  const std::string browser = InstallCopy("fixture.exe", "qpbrowser.exe");  // record 11
  // Record 10's browser is registered but its file is gone.
  testsupport::SetRegText(HKEY_LOCAL_MACHINE, AppPathsKey("qpmissing.exe"), "", folder->PathOf("qpmissing.exe"));
  registered.push_back("qpmissing.exe");

  AddBrowserFrm.ShowAddBrowserFrm("");
  EXPECT_EQ(PredefinedRows(), (std::vector<std::string>{"k1 Six", "k2 Six again", "k5 Seven", "k11 Browser"}));
  AddBrowserFrm.SSTab1.SetTab(2);
  ui::ListView& list = AddBrowserFrm.PreDefLst;
  const int row = list.FindKey("k11");
  ASSERT_GE(row, 0);
  EXPECT_EQ(list.Tag(row), browser);
  SelectRows(list, {row});
  list.DblClick(row);

  EXPECT_TRUE(shown.empty());
  EXPECT_FALSE(AddBrowserFrm.Visible());
  ASSERT_EQ(BrowsersLst_Total, 1);
  EXPECT_EQ(Browsers[0].Path, browser);
  EXPECT_EQ(Browsers[0].MenuName[0], "Open in New Window");
  EXPECT_EQ(Browsers[0].MenuName[1], "Another Window");
  EXPECT_EQ(Browsers[0].PopDisNotf, 1);
  EXPECT_EQ(Browsers[0].HidePop, 0);
  EXPECT_EQ(Option("PopUp", "Browsers(0).Path"), browser);

  AddBrowserFrm.ShowAddBrowserFrm("");
  AddBrowserFrm.SSTab1.SetTab(2);
  SelectRows(list, {list.FindKey("k11")});
  AddBrowserFrm.OkBtn_Click();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, kExists);
  EXPECT_EQ(BrowsersLst_Total, 1);
}

TEST_F(BrowserDialog, OkOnAnEmptyCatalogueListDoesNothing) {
  PopDatFile = folder->PathOf("no-catalogue.dat");
  AddBrowserFrm.ShowAddBrowserFrm("");
  EXPECT_EQ(AddBrowserFrm.PreDefLst.ItemCount(), 0);
  AddBrowserFrm.SSTab1.SetTab(2);
  AddBrowserFrm.OkBtn_Click();
  EXPECT_TRUE(shown.empty());
  EXPECT_TRUE(AddBrowserFrm.Visible());
  EXPECT_EQ(BrowsersLst_Total, 0);
  EXPECT_EQ(Option("PopUp", "BrowsersLst_Total"), testsupport::kMissing);
}

// The list holds 51 browsers: a 52nd is refused with our message, a change still goes.
TEST_F(BrowserDialog, AFiftySecondBrowserIsRefused) {
  std::vector<std::string> paths;
  for (int i = 0; i < kMaxBrowsers; ++i) paths.push_back("c:\\x\\b" + std::to_string(i) + ".exe");
  StoreBrowsers(paths);
  AddBrowserFrm.ShowAddBrowserFrm("c:\\x\\one-more.exe");
  AddBrowserFrm.OkBtn_Click();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, kBrowsersFullText);
  EXPECT_EQ(shown[0].style, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
  EXPECT_TRUE(AddBrowserFrm.Visible());
  EXPECT_EQ(BrowsersLst_Total, kMaxBrowsers);

  AddBrowserFrm.ShowModifyBrowserFrm(1);
  AddBrowserFrm.BrowserPathTxt.SetText("c:\\x\\changed.exe");
  AddBrowserFrm.OkBtn_Click();
  EXPECT_EQ(BrowsersLst_Total, kMaxBrowsers);
  EXPECT_EQ(Browsers[kMaxBrowsers - 1].Path, "c:\\x\\changed.exe");
}

// "Browser settings" of a notice whose browser is not listed opens the dialog to add.
TEST_F(BrowserDialog, AnEntryOutsideTheListOpensToAdd) {
  for (int16_t index : {int16_t{0}, int16_t{1}}) {
    AddBrowserFrm.ShowModifyBrowserFrm(index);
    EXPECT_EQ(AddBrowserFrm.Caption(), "Add Browser") << index;
    EXPECT_TRUE(AddBrowserFrm.SSTab1.TabEnabled(2)) << index;
  }
}

// From the notice with both texts: the address option, and only the address stored.
TEST_F(WhiteDialog, BothTextsGivenStoreTheAddress) {
  AddWhiteFrm.ShowAddWhiteFrm("http://pop.example/", "Pop title");
  ASSERT_TRUE(AddWhiteFrm.Visible());
  EXPECT_EQ(AddWhiteFrm.Caption(), "Add new item to white list");
  EXPECT_EQ(AddWhiteFrm.OkBtn.Text(), "Add");
  EXPECT_EQ(AddWhiteFrm.ByURLTxt.Text(), "http://pop.example/");
  EXPECT_EQ(AddWhiteFrm.ByNameTxt.Text(), "Pop title");
  EXPECT_TRUE(AddWhiteFrm.ByURLOpt.Value());
  EXPECT_FALSE(AddWhiteFrm.ByNameOpt.Value());
  AddWhiteFrm.OkBtn_Click();
  EXPECT_TRUE(shown.empty());
  EXPECT_FALSE(AddWhiteFrm.Visible());
  ASSERT_EQ(WhiteLst_Total, 1);
  EXPECT_EQ(WhiteLst[0].WhiteType, 0);
  EXPECT_EQ(WhiteLst[0].URL_Or_Name_text, "http://pop.example/");
  EXPECT_EQ(Option("PopUp", "WhiteLst(0).URL_Or_Name_text"), "http://pop.example/");
  EXPECT_EQ(Option("PopUp", "WhiteLst(0).WhiteType"), "0");
  EXPECT_EQ(AddWhiteFrm.ByURLTxt.Text(), "");
  EXPECT_EQ(AddWhiteFrm.ByNameTxt.Text(), "");
  EXPECT_EQ(Column(PopUpFrm.WhiteWndLst, 0), std::vector<std::string>{"http://pop.example/"});
}

// An item is the same when its type, exact flag and text (letter case aside) are.
TEST_F(WhiteDialog, AnItemAlreadyListedIsRefused) {
  struct Case {
    const char* what;
    bool byURL;
    const char* text;
    bool exact;
    bool refused;
  } cases[] = {
      {"capitals against small letters", true, "HTTP://SHOP.EXAMPLE/", false, true},
      {"the other exact flag", true, "HTTP://SHOP.EXAMPLE/", true, false},
      {"by title, the address's text", false, "http://shop.example/", false, false},
      {"by title, listed", false, "OFFER", true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    StoreWhiteItems({{0, "http://shop.example/", 0}, {1, "Offer", 1}});
    shown.clear();
    AddWhiteFrm.ShowAddWhiteFrm("", "");
    Enter(c.byURL, c.text, c.exact);
    AddWhiteFrm.OkBtn_Click();
    if (c.refused) {
      ASSERT_EQ(shown.size(), 1u);
      EXPECT_EQ(shown[0].text, kWhiteExists);
      EXPECT_EQ(shown[0].style, 48u);
    } else {
      EXPECT_TRUE(shown.empty());
    }
    EXPECT_EQ(AddWhiteFrm.Visible(), c.refused);
    EXPECT_EQ(WhiteLst_Total, c.refused ? 2 : 3);
    AddWhiteFrm.Hide();
  }
}

TEST_F(WhiteDialog, AnUnchangedItemMovesToTheEnd) {
  StoreWhiteItems({{1, "first", 1}, {0, "http://second/", 0}, {1, "third", 0}});
  AddWhiteFrm.ShowModifyWhiteFrm(1);
  EXPECT_EQ(AddWhiteFrm.Caption(), "Modify white list item");
  EXPECT_EQ(AddWhiteFrm.OkBtn.Text(), "Ok");
  EXPECT_TRUE(AddWhiteFrm.ByNameOpt.Value());
  EXPECT_EQ(AddWhiteFrm.ByNameTxt.Text(), "first");
  EXPECT_TRUE(AddWhiteFrm.ExactTextChk.Value());
  AddWhiteFrm.OkBtn_Click();
  EXPECT_TRUE(shown.empty());
  EXPECT_EQ(WhiteTexts(), (std::vector<std::string>{"http://second/", "third", "first"}));
  EXPECT_EQ(WhiteLst[2].WhiteType, 1);
  EXPECT_EQ(WhiteLst[2].ExactText, 1);
  EXPECT_EQ(Option("PopUp", "WhiteLst(2).URL_Or_Name_text"), "first");
}

// The exact box keeps its state from one use to the next while the dialog stays
// loaded; Cancel unloads it, and it opens new.
TEST_F(WhiteDialog, TheExactBoxIsKeptWhileLoaded) {
  AddWhiteFrm.ShowAddWhiteFrm("http://kept.example/", "");
  AddWhiteFrm.ExactTextChk.SetValue(true);
  AddWhiteFrm.OkBtn_Click();
  AddWhiteFrm.ShowAddWhiteFrm("", "");
  EXPECT_TRUE(AddWhiteFrm.ExactTextChk.Value());
  AddWhiteFrm.ByURLTxt.SetText("typed");
  AddWhiteFrm.CancelBtn_Click();
  EXPECT_FALSE(AddWhiteFrm.Loaded());
  EXPECT_EQ(WhiteLst_Total, 1);
  AddWhiteFrm.ShowAddWhiteFrm("", "");
  EXPECT_FALSE(AddWhiteFrm.ExactTextChk.Value());
  EXPECT_EQ(AddWhiteFrm.ByURLTxt.Text(), "");
}

TEST_F(WhiteDialog, ATwoHundredSecondItemIsRefused) {
  std::vector<WhiteListEntry> items;
  for (int i = 0; i < kMaxWhiteEntries; ++i) items.push_back({1, "title " + std::to_string(i), 0});
  StoreWhiteItems(items);
  AddWhiteFrm.ShowAddWhiteFrm("http://one-more.example/", "");
  AddWhiteFrm.OkBtn_Click();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, kWhiteListFullText);
  EXPECT_EQ(shown[0].style, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
  EXPECT_TRUE(AddWhiteFrm.Visible());
  EXPECT_EQ(WhiteLst_Total, kMaxWhiteEntries);
  EXPECT_EQ(Option("PopUp", "WhiteLst_Total"), std::to_string(kMaxWhiteEntries));
}

// Typing chooses the field's option; Enter presses OK and Esc Cancel, through the pump.
TEST_F(WhiteDialog, KeysTypeIntoAFieldAndPressTheButtons) {
  AddWhiteFrm.ShowAddWhiteFrm("", "");
  SetForegroundWindow(AddWhiteFrm.hwnd());
  AddWhiteFrm.ByNameTxt.SetFocus();
  for (WORD key : {WORD('A'), WORD('D')}) testsupport::PressKey(key);
  ASSERT_TRUE(testsupport::PumpUntil([] { return AddWhiteFrm.ByNameTxt.Text().size() == 2; }));
  EXPECT_TRUE(AddWhiteFrm.ByNameOpt.Value());
  EXPECT_FALSE(AddWhiteFrm.ByURLOpt.Value());
  testsupport::PressKey(VK_RETURN);
  ASSERT_TRUE(testsupport::PumpUntil([] { return WhiteLst_Total == 1; }));
  EXPECT_EQ(WhiteLst[0].WhiteType, 1);
  EXPECT_EQ(vb::LCase(WhiteLst[0].URL_Or_Name_text), "ad");
  EXPECT_FALSE(AddWhiteFrm.Visible());

  AddWhiteFrm.ShowAddWhiteFrm("", "");
  SetForegroundWindow(AddWhiteFrm.hwnd());
  testsupport::PressKey(VK_ESCAPE);
  EXPECT_TRUE(testsupport::PumpUntil([] { return !AddWhiteFrm.Loaded(); }));
  EXPECT_EQ(WhiteLst_Total, 1);
}
