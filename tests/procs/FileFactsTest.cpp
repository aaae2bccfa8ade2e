#include <algorithm>
// Version texts, names, icons, modules and locale texts of real files and processes.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <sstream>

#include "AppendString.h"
#include "DetailsFrm.h"
#include "ModMain.h"
#include "ModProgInfo.h"
#include "ModStartup.h"
#include "ProcsTestSupport.h"
#include "UiWait.h"

namespace {


std::string Bin(const std::string& name) { return testsupport::BinDir() + "\\" + name; }

TEST(VersionFields, EveryFieldOfAResource) {
  const std::string path = Bin("procs_ver_all.exe");
  EXPECT_EQ(GetFileInfoField(1, path), "");
  const char* want[8] = {"Fixture Works Ltd", "Fixture with every field", "2.5.0.7", nullptr,
                         "Copyright Fixture Works", "procs_ver_all.exe", "Fixture Suite", "2.5"};
  for (int i = 0; i < 8; ++i)
    if (want[i]) {
      EXPECT_EQ(VersionFields[i], want[i]) << VersionFieldNames[i];
    }
  // The internal name gives way to the display name.
  EXPECT_EQ(VersionFields[3], GetFileDisplayName(path));
  EXPECT_NE(VersionFields[3], "fixall");
  EXPECT_EQ(GetFileInfoField(2, path), GetFileDisplayName(path));
}

TEST(VersionFields, AMissingFieldIsEmptyAndTheOthersKeepTheirValues) {
  const std::string path = Bin("procs_ver_partial.exe");
  GetFileInfoField(1, Bin("procs_ver_all.exe"));  // values of another file are replaced
  GetFileInfoField(1, path);
  EXPECT_EQ(VersionFields[0], "Partial Fixture Co");
  EXPECT_EQ(VersionFields[1], std::string(255, 'D'));  // 300 characters cut to 255
  EXPECT_EQ(VersionFields[2], "1.0.0.1");
  EXPECT_EQ(VersionFields[3], GetFileDisplayName(path));
  EXPECT_EQ(VersionFields[4], "");  // no LegalCopyright
  EXPECT_EQ(VersionFields[5], "procs_ver_partial.exe");
  EXPECT_EQ(VersionFields[6], "Partial Suite");
  EXPECT_EQ(VersionFields[7], "1.0");
}

TEST(VersionFields, NoResourceGivesOnlyTheDisplayName) {
  for (const std::string& path : {Bin("fixture.exe"), Bin("no_such_file.exe")}) {
    GetFileInfoField(1, Bin("procs_ver_all.exe"));
    GetFileInfoField(1, path);
    for (int i = 0; i < 8; ++i)
      if (i != 3) {
        EXPECT_EQ(VersionFields[i], "") << path << " " << i;
      }
    EXPECT_EQ(VersionFields[3], GetFileDisplayName(path)) << path;
    EXPECT_FALSE(VersionFields[3].empty()) << path;
  }
}

TEST(FileFacts, NamesIconsPrioritiesAndTexts) {
  EXPECT_EQ(GetFileDisplayName("no folder here"), "no folder here");
  for (bool large : {true, false}) {
    HICON icon = GetFileIcon(Bin("fixture.exe"), large);
    EXPECT_NE(icon, nullptr) << large;
    if (icon) DestroyIcon(icon);
  }
  struct {
    long value;
    const char* name;
  } priorities[] = {{64, "Idle"}, {32, "Normal"}, {128, "High"}, {256, "Realtime"}, {16384, ""}, {0, ""}};
  for (auto& p : priorities) EXPECT_EQ(GetPriorityName(p.value), p.name) << p.value;

  const std::string withNul("abc\0def", 7);
  EXPECT_EQ(ModProgInfo::TrimAtNull(withNul), "abc");
  EXPECT_EQ(ModCurrency::TrimAtNull(withNul), "abc");
  EXPECT_EQ(ModProgInfo::TrimAtNull("no nul"), "no nul");
  EXPECT_EQ(ModCurrency::TrimAtNull("no nul"), "");

  char currency[16] = {};
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SCURRENCY, currency, sizeof currency);
  EXPECT_EQ(GetLocaleInfoText(LOCALE_SCURRENCY), currency);
  EXPECT_FALSE(GetLocaleInfoText(LOCALE_SCURRENCY).empty());
  EXPECT_EQ(GetLocaleInfoText(0xFFFF), "");
}

class ModuleListTest : public procstest::WalkerTest {};

TEST_F(ModuleListTest, ModulesGoToTheReportOrToTheDetailsWindow) {
  const std::string exe = "procs_ver_all.exe";
  ASSERT_TRUE(procstest::CopyExe(PathOf(exe), exe));
  folder_->Keep(PathOf(exe));
  testsupport::Fixture& f = Start(exe);

  AppendString report;
  ListProcessModules(f.pid(), &report);
  std::string text = report.ReturnString();
  // Name (handle) (path) (size) (base), the eight fields, an empty line.
  const size_t head = vb::LCase(text).find(vb::LCase("       --> " + exe + " ("));
  ASSERT_NE(head, std::string::npos) << text;
  const std::string line = text.substr(head, text.find("\r\n", head) - head);
  EXPECT_NE(vb::LCase(line).find(vb::LCase(") (" + PathOf(exe) + ") (")), std::string::npos) << line;
  EXPECT_EQ(std::count(line.begin(), line.end(), '('), 4) << line;
  EXPECT_NE(text.find("\r\n           CompanyName: Fixture Works Ltd\r\n", head), std::string::npos);
  EXPECT_NE(text.find("\r\n           ProductVersion: 2.5\r\n\r\n", head), std::string::npos);
  EXPECT_NE(vb::LCase(text).find("kernel32.dll"), std::string::npos);

  DetailsFrm.Modules.ModsLst.Clear();
  DetailsRefreshing = true;
  ListProcessModules(f.pid(), nullptr);
  DetailsRefreshing = false;
  ui::ListView& mods = DetailsFrm.Modules.ModsLst;
  ASSERT_GT(mods.ItemCount(), 1);
  EXPECT_EQ(vb::LCase(mods.ItemText(0)), exe);
  EXPECT_EQ(vb::LCase(mods.SubItem(0, 2)), vb::LCase(PathOf(exe)));
  EXPECT_GT(std::stoul(mods.SubItem(0, 3)), 0ul);  // size
  EXPECT_EQ(mods.SubItem(0, 5), "Fixture Works Ltd");
  EXPECT_EQ(mods.SubItem(0, 12), "2.5");

  AppendString none;
  ListProcessModules(0xFFFFFFF0, &none);  // no such process: nothing listed
  EXPECT_EQ(none.ReturnString(), "");
}

class SystemFilesTest : public testing::Test {
 protected:
  void TearDown() override {
    IsWinNTFlag = IsWinNT();
    LoadSystemFiles();
  }
};

TEST_F(SystemFilesTest, ShippedFileIsWellFormed) {
  std::ifstream in(Bin("systemfiles.dat"), std::ios::binary);
  ASSERT_TRUE(in);
  std::ostringstream text;
  text << in.rdbuf();
  std::string all = text.str();
  ASSERT_FALSE(all.empty());
  size_t lines = 0, start = 0;
  while (start < all.size()) {
    size_t end = all.find("\r\n", start);
    ASSERT_NE(end, std::string::npos) << "every line ends in CR LF";
    std::string line = all.substr(start, end - start);
    std::string flag = line.substr(0, line.find(' '));
    EXPECT_TRUE(flag == "s" || flag == "w" || flag == "s9" || flag == "w9") << line;
    EXPECT_GT(line.size(), flag.size() + 1) << line;
    ++lines;
    start = end + 2;
  }
  IsWinNTFlag = false;
  LoadSystemFiles();
  EXPECT_EQ(SystemFilesList.size(), lines + 1);  // every line on 9x, then the empty entry
  EXPECT_EQ(SystemFilesList.back(), "");
}

TEST_F(SystemFilesTest, WhereAFileLies) {
  IsWinNTFlag = true;
  LoadSystemFiles();
  const std::string win = GetWinDir(), sys = GetSysDir();
  struct Case {
    std::string path;
    int16_t want;
  } cases[] = {
      {sys + "\\kernel32.dll", 1},
      {vb::UCase(win + "\\explorer.exe"), 1},
      {sys + "\\wbem\\wmiprvse.exe", 1},
      {win + "\\Exit To Dos.pif", 2},  // listed for 9x only
      {sys + "\\msgsrv32.exe", 2},
      {win + "\\some folder\\other.exe", 2},
      {"C:\\Tools\\kernel32.dll", 0},
      {win + "apps\\kernel32.dll", 0},  // beside the Windows folder, not in it
      {"", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(IsSystemFile(c.path), c.want) << c.path;

  IsWinNTFlag = false;
  LoadSystemFiles();
  EXPECT_EQ(IsSystemFile(sys + "\\msgsrv32.exe"), 1);
  EXPECT_EQ(IsSystemFile(win + "\\Exit To Dos.pif"), 1);
}

TEST(Signatures, SignedTamperedAndUnsignedFiles) {
  IsWinNTFlag = true;
  std::string signer = "unchanged";
  EXPECT_TRUE(VerifyFileSignature(Bin("procs_signed.exe"), signer));
  EXPECT_EQ(signer, "Quillon Test Signer");
  for (const char* name : {"procs_tampered.exe", "fixture.exe", "no_such_file.exe"}) {
    signer = "unchanged";
    EXPECT_FALSE(VerifyFileSignature(Bin(name), signer)) << name;
    EXPECT_EQ(signer, "unchanged") << name;
  }
  IsWinNTFlag = false;  // the 9x family has no signature check
  EXPECT_FALSE(VerifyFileSignature(Bin("procs_signed.exe"), signer));
  EXPECT_EQ(signer, "unchanged");
  IsWinNTFlag = IsWinNT();
}

}  // namespace
