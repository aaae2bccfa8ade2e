// The browser and white lists in the store, the catalogue, and the white tests.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "CancelEvent.h"
#include "Files.h"
#include "ListView.h"
#include "ModMainPlatform.h"
#include "ModPop.h"
#include "ModPopHook.h"
#include "ModSettings.h"
#include "ModStartup.h"
#include "ModStartupPlatform.h"
#include "PopSupport.h"
#include "Seams.h"
#include "UiWait.h"
#include "VbRules.h"
#include "ViewBindings.h"
#include "Window.h"

using namespace poptest;
using testsupport::kMissing;
using testsupport::Option;
using testsupport::SetOption;

namespace {

// The system's own "reg query" of a key, as a user would check it.
std::string RegQuery(const std::string& key) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string out = std::string(temp) + "popup_regquery.txt";
  SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
  HANDLE file = CreateFileA(out.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sa, CREATE_ALWAYS, 0, nullptr);
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = si.hStdError = file;
  si.hStdInput = nullptr;
  std::string cmd = "reg.exe query \"" + key + "\"";
  PROCESS_INFORMATION pi = {};
  if (CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi)) {
    WaitForSingleObject(pi.hProcess, 20000);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
  }
  CloseHandle(file);
  std::string text = testsupport::ReadAll(out);
  DeleteFileA(out.c_str());
  return text;
}

// The data of one value in "reg query" output: "    NAME    REG_SZ    DATA".
std::string QueriedValue(const std::string& listing, const std::string& name) {
  const std::string head = "    " + name + "    REG_SZ    ";
  size_t at = listing.find(head);
  if (at == std::string::npos) return kMissing;
  at += head.size();
  return listing.substr(at, listing.find_first_of("\r\n", at) - at);
}

// A page with the two lists the load fills.
struct BoundPage {
  ui::Window window{ui::FormDesign{.caption = "popup page"}};
  ui::ListView browsersLst{window, {0, 0, 300, 100}};
  ui::ListView whiteWndLst{window, {0, 100, 300, 100}};
  BoundPage() {
    browsersLst.AddColumn("K0", "Browser", 100);
    browsersLst.AddColumn("K1", "Path", 200);
    whiteWndLst.AddColumn("K0", "Text", 200);
    Views.popUpPage.BrowsersLst = &browsersLst;
    Views.popUpPage.WhiteWndLst = &whiteWndLst;
  }
  // The program's page is bound again afterwards.
  ~BoundPage() {
    Views.popUpPage.BrowsersLst = bound.BrowsersLst;
    Views.popUpPage.WhiteWndLst = bound.WhiteWndLst;
  }
  const ViewBindings::PopUpPage bound = Views.popUpPage;
};

std::string Today() { return vb::CStrDate(std::floor(vb::Now())); }

class PopSettings : public PopTest {};
class PopCatalogue : public PopTest {};
class WhiteTests : public PopTest {};

}  // namespace

TEST_F(PopSettings, AFreshStoreLoadsEmptyListsAndStartsCountingToday) {
  TotalBlockCnt = 9;
  LoadPopUpSettings();
  EXPECT_EQ(BrowsersLst_Total, 0);
  EXPECT_EQ(WhiteLst_Total, 0);
  EXPECT_EQ(TotalBlockCnt, 0);
  EXPECT_EQ(Option("PopUp", "TotalBlockSince"), Today());
  EXPECT_EQ(std::floor(TotalBlockSince), std::floor(vb::Now()));
}

TEST_F(PopSettings, TheListsRoundTripThroughTheStore) {
  BrowsersLst_Total = 2;
  Browsers[0].Path = "C:\\Browsers\\one.exe";
  Browsers[0].MenuName[0] = "Open in New Window";
  Browsers[0].HidePop = 0;
  Browsers[1].Path = "C:\\Browsers\\two.exe";
  Browsers[1].MenuName[1] = "New Window";
  Browsers[1].PopDisNotf = 0;
  Browsers[1].PreDefinedWhite[2] = {1, "kept but never read", 1};
  WhiteLst_Total = 2;
  WhiteLst[0] = {0, "http://allowed.example/", 1};
  WhiteLst[1] = {1, "Allowed title", 0};
  SavePopUpSettings();

  const std::string listing = RegQuery("HKCU\\Software\\Quillon Pro\\PopUp");
  struct Expected {
    const char* name;
    const char* data;
  } table[] = {{"BrowsersLst_Total", "2"}, {"Browsers(0).Path", "C:\\Browsers\\one.exe"},
               {"Browsers(0).MenuName(0)", "Open in New Window"}, {"Browsers(0).HidePop", "0"},
               {"Browsers(0).PopDisNotf", "1"}, {"Browsers(1).MenuName(1)", "New Window"},
               {"Browsers(1).PopDisNotf", "0"}, {"Browsers(1).PreDefinedWhite(2).URL_Or_Name_text", "kept but never read"},
               {"Browsers(1).PreDefinedWhite(2).ExactText", "1"}, {"Browsers(1).PreDefinedWhite(2).WhiteType", "1"},
               {"WhiteLst_Total", "2"}, {"WhiteLst(0).WhiteType", "0"},
               {"WhiteLst(0).URL_Or_Name_text", "http://allowed.example/"}, {"WhiteLst(0).ExactText", "1"},
               {"WhiteLst(1).WhiteType", "1"}, {"WhiteLst(1).URL_Or_Name_text", "Allowed title"}};
  for (const Expected& e : table) EXPECT_EQ(QueriedValue(listing, e.name), e.data) << e.name;

  ResetPopUpLists();
  BoundPage page;
  LoadPopUpSettings();
  ASSERT_EQ(BrowsersLst_Total, 2);
  EXPECT_EQ(Browsers[0].MenuName[0], "Open in New Window");
  EXPECT_EQ(Browsers[0].HidePop, 0);
  EXPECT_EQ(Browsers[1].MenuName[1], "New Window");
  EXPECT_EQ(Browsers[1].PopDisNotf, 0);
  // Predefined items are written but come only from the catalogue.
  EXPECT_EQ(Browsers[1].PreDefinedWhite[2].URL_Or_Name_text, "");
  ASSERT_EQ(WhiteLst_Total, 2);
  EXPECT_EQ(WhiteLst[1].WhiteType, 1);
  EXPECT_EQ(WhiteLst[0].ExactText, 1);
  ASSERT_EQ(page.whiteWndLst.ItemCount(), 2);
  EXPECT_EQ(page.whiteWndLst.ItemText(0), "http://allowed.example/");
  ASSERT_EQ(page.browsersLst.ItemCount(), 2);
  EXPECT_EQ(page.browsersLst.SubItem(1, 1), "C:\\Browsers\\two.exe");
}

TEST_F(PopSettings, RemovingTheMiddleBrowserLeavesOldKeysThatALoadIgnores) {
  BoundPage page;
  BrowsersLst_Total = 3;
  for (int i = 0; i < 3; ++i) Browsers[i].Path = "C:\\B\\b" + std::to_string(i) + ".exe";
  SavePopUpSettings();
  Browsers[1] = Browsers[2];
  BrowsersLst_Total = 2;
  SavePopUpSettings();
  LoadPopUpSettings();
  ASSERT_EQ(BrowsersLst_Total, 2);
  EXPECT_EQ(Browsers[0].Path, "C:\\B\\b0.exe");
  EXPECT_EQ(Browsers[1].Path, "C:\\B\\b2.exe");
  ASSERT_EQ(page.browsersLst.ItemCount(), 2);
  EXPECT_EQ(page.browsersLst.SubItem(0, 1), "C:\\B\\b0.exe");
  EXPECT_EQ(page.browsersLst.SubItem(1, 1), "C:\\B\\b2.exe");
  EXPECT_EQ(Option("PopUp", "Browsers(2).Path"), "C:\\B\\b2.exe");
}

TEST_F(PopSettings, StoredTotalsAndCountersAreReadWithinTheirLimits) {
  SetOption("PopUp", "BrowsersLst_Total", "60");
  SetOption("PopUp", "WhiteLst_Total", "250");
  SetOption("PopUp", "TotalBlockCnt", "40000");
  SetOption("PopUp", "TotalBlockSince", "not a date");
  LoadPopUpSettings();
  EXPECT_EQ(BrowsersLst_Total, 51);
  EXPECT_EQ(WhiteLst_Total, 201);
  EXPECT_EQ(TotalBlockCnt, 40000);
  EXPECT_EQ(Option("PopUp", "TotalBlockSince"), Today());
}

TEST_F(PopSettings, A52ndBrowserIsRefused) {
  PopDatRecord record;
  record.ExeName = "none.exe";
  for (int i = 0; i < kMaxBrowsers; ++i) ASSERT_TRUE(AddBrowserFromRecord(record)) << i;
  EXPECT_FALSE(AddBrowserFromRecord(record));
  EXPECT_EQ(BrowsersLst_Total, kMaxBrowsers);
}

TEST_F(PopCatalogue, EachRecordAppliesOnlyToTheVersionsItNames) {
  const std::string v6 = InstallCopy("fixture_v6.exe", "qpv6.exe");
  const std::string v7 = InstallCopy("fixture_v7.exe", "qpv7.exe");
  const std::string none = InstallCopy("fixture.exe", "qpnone.exe");
  const std::string v10 = InstallCopy("fixture_v10.exe", "qpv10.exe");
  struct Case {
    int16_t version;
    const std::string& path;
    bool fits;
  } table[] = {{0, v6, true},    {6, v6, true},      {7, v6, false},  {0, v7, true},   {6, v7, false},
               {7, v7, true},    {0, none, true},    {6, none, false}, {1, v10, false}, {10, v10, true},
               {1, none, false}};
  for (const Case& c : table) EXPECT_EQ(MajorVersionMatches(c.version, c.path), c.fits) << c.version << " " << c.path;

  // Through the load: of the passing records of a browser, the last one wins.
  BrowsersLst_Total = 4;
  const std::string* paths[] = {&v6, &v7, &none, &v10};
  for (int i = 0; i < 4; ++i) Browsers[i].Path = *paths[i];
  SavePopUpSettings();
  LoadPopUpSettings();
  const char* expected[] = {"six last", "seven", "none", "ten"};
  for (int i = 0; i < 4; ++i) {
    std::string text = Browsers[i].PreDefinedWhite[0].URL_Or_Name_text;
    text.erase(text.find_last_not_of(' ') + 1);
    EXPECT_EQ(text, expected[i]) << *paths[i];
  }
  EXPECT_EQ(Browsers[0].PreDefinedWhite[1].WhiteType, 0);
  EXPECT_EQ(Browsers[0].PreDefinedWhite[1].ExactText, 0);
}

TEST_F(PopCatalogue, AHeaderCountPastTheFileEndReadsWhatIsThere) {
  PopDatRecord header, record;
  header.ExeName = "50";
  record.ExeName = "one.exe";
  const std::string bytes = EncodePopDatRecord(header) + EncodePopDatRecord(record) + EncodePopDatRecord(record);
  std::vector<PopDatRecord> records;
  ASSERT_TRUE(ParsePopDat(bytes, records));
  EXPECT_EQ(records.size(), 2u);
  EXPECT_TRUE(ParsePopDat(bytes + std::string(100, 'x'), records));
  EXPECT_EQ(records.size(), 2u);
}

TEST_F(PopCatalogue, SeedingAddsEachInstalledBrowserOnce) {
  InstallCopy("fixture_v6.exe", "qpv6.exe");     // two passing records
  InstallCopy("fixture_v7.exe", "qpv7.exe");
  InstallCopy("fixture_v10.exe", "qpv10.exe");
  // Registered, but its file is gone.
  testsupport::SetRegText(HKEY_LOCAL_MACHINE, AppPathsKey("qpmissing.exe"), "", folder->PathOf("qpmissing.exe"));
  registered.push_back("qpmissing.exe");
  EXPECT_TRUE(SeedBrowserList());
  ASSERT_EQ(BrowsersLst_Total, 3);
  EXPECT_EQ(GetFileNameFromPath(Browsers[0].Path), "qpv6.exe");
  EXPECT_EQ(Browsers[0].MenuName[0], "Open in New Window");
  EXPECT_EQ(GetFileNameFromPath(Browsers[1].Path), "qpv7.exe");
  EXPECT_EQ(GetFileNameFromPath(Browsers[2].Path), "qpv10.exe");
  EXPECT_EQ(Option("PopUp", "BrowsersLst_Total"), "3");
}

TEST_F(PopCatalogue, AMissingCatalogueSkipsOnlyTheSeeding) {
  PopDatFile = folder->PathOf("NoSuchPop.dat");
  std::vector<std::string> asked;
  seams::MessageBoxFn = [&](HWND, const std::string& text, const std::string&, UINT) {
    asked.push_back(text);
    return IDNO;
  };
  FirstRunSetup();
  EXPECT_EQ(BrowsersLst_Total, 0);
  ASSERT_FALSE(asked.empty());
  EXPECT_NE(asked[0].find("Do you use a modem"), std::string::npos);
  CancelEvent.Hide();
}

TEST_F(WhiteTests, EntriesMatchExactlyOrByContainingTheirText) {
  WhiteLst_Total = 4;
  WhiteLst[0] = {0, "http://exact.example/", 1};
  WhiteLst[1] = {1, "Part", 0};
  WhiteLst[2] = {0, "", 0};  // an empty item allows nothing
  WhiteLst[3] = {1, "", 1};
  BrowsersLst_Total = 1;
  Browsers[0].PreDefinedWhite[0] = {1, "Padded title" + std::string(244, ' '), 1};
  Browsers[0].PreDefinedWhite[1] = {0, "ads.example   ", 0};
  Browsers[0].PreDefinedWhite[2] = {0, std::string(256, ' '), 0};

  struct Case {
    int32_t type;
    std::string text;
    bool inList, predefined;
  } table[] = {
      {0, "http://exact.example/", true, false},
      {0, "http://exact.example/more", false, false},
      {0, "HTTP://EXACT.EXAMPLE/", false, false},
      {1, "A Part of it", true, false},
      {1, "a part of it", false, false},
      {0, "A Part of it", false, false},  // another type
      {1, "", false, false},
      {0, "", false, false},
      {1, "Padded title", false, true},
      {1, "Padded title and more", false, false},
      {0, "http://ads.example/pop", false, true},
      {0, "http://other.example/", false, false},
  };
  for (const Case& c : table) {
    EXPECT_EQ(IsInWhiteList(c.type, c.text), c.inList) << c.type << " " << c.text;
    EXPECT_EQ(IsPreDefinedWhite(c.type, c.text, 0, nullptr), c.predefined) << c.type << " " << c.text;
  }
}

TEST_F(WhiteTests, TheHelpWindowTitleIsWhiteOnlyForItsOwnClass) {
  BrowsersLst_Total = 1;
  Browsers[0].PreDefinedWhite[0] = {1, "Microsoft Internet Explorer", 1};
  testsupport::Fixture& browser = StartBrowser("qpbrowser.exe");
  HWND help = reinterpret_cast<HWND>(SendMessageA(browser.hwnd(), WM_APP + 12, 0, 0));
  ASSERT_TRUE(help);
  EXPECT_TRUE(IsPreDefinedWhite(1, "Microsoft Internet Explorer", 0, help));
  // Another class: the browser's own items are not consulted either.
  EXPECT_FALSE(IsPreDefinedWhite(1, "Microsoft Internet Explorer", 0, browser.hwnd()));
  EXPECT_TRUE(IsPreDefinedWhite(1, "Microsoft Internet Explorer - page", 0, browser.hwnd()) == false);
}

TEST_F(WhiteTests, CaptionsLoseTheirFirstAmpersand) {
  struct Case {
    const char *caption, *stripped;
  } table[] = {{"Open in &New Window", "Open in New Window"}, {"Open in New &Window", "Open in New Window"},
               {"&&Two", "&Two"}, {"No key", "No key"}, {"", ""}, {"&", ""}};
  for (const Case& c : table) EXPECT_EQ(StripMenuAmpersand(c.caption), c.stripped) << c.caption;
}

TEST_F(WhiteTests, ShortPathsOfLongAndMissingFiles) {
  std::string dir = folder->dir();
  while (dir.size() < 200) {
    dir += "a rather long folder name\\";
    CreateDirectoryA(dir.c_str(), nullptr);
  }
  const std::string file = dir + "some browser.exe";
  ASSERT_TRUE(CopyFileA(testsupport::FixturePath().c_str(), file.c_str(), FALSE));
  const std::string shortPath = GetShortPath(file);
  char expected[MAX_PATH * 2] = "";
  const DWORD n = GetShortPathNameA(file.c_str(), expected, sizeof expected);
  EXPECT_GT(n, 0u);
  EXPECT_EQ(shortPath, std::string(expected, n));
  EXPECT_EQ(shortPath.find('\0'), std::string::npos);
  EXPECT_EQ(GetShortPath(dir + "missing.exe"), "");
  EXPECT_EQ(GetShortPath(""), "");
  DeleteFileA(file.c_str());
  while (dir.size() > folder->dir().size()) {
    RemoveDirectoryA(dir.c_str());
    dir.erase(dir.find_last_of('\\', dir.size() - 2) + 1);
  }
}
