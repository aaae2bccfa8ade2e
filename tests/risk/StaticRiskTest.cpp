// The static codes on real files, processes, windows and registry values.
#include <gtest/gtest.h>
#include <windows.h>

#include "ModMainPlatform.h"
#include "ModProcMon.h"
#include "ModProgInfo.h"
#include "ModRegistry.h"
#include "ModWndOpr.h"
#include "MoreToolsFrm.h"
#include "ProcsTestSupport.h"
#include "UiWait.h"

namespace {

using namespace procstest;

std::string Bin(const std::string& name) { return testsupport::BinDir() + "\\" + name; }

class StaticRiskTest : public WalkerTest {};

TEST_F(StaticRiskTest, SignatureAndVersionFacts) {
  EXPECT_TRUE(CheckStaticRisk(120, Bin("procs_signed.exe")));
  EXPECT_FALSE(CheckStaticRisk(120, Bin("procs_tampered.exe")));
  EXPECT_FALSE(CheckStaticRisk(120, testsupport::FixturePath()));
  // The answer is kept per path, size and last write: asked again it costs no check,
  // and a changed file is checked anew.
  const long checks = SignatureChecksRun;
  EXPECT_TRUE(CheckStaticRisk(120, Bin("procs_signed.exe")));
  EXPECT_EQ(SignatureChecksRun, checks);
  const std::string copy = PathOf("signed_copy.exe");
  ASSERT_TRUE(CopyExe(copy, "procs_signed.exe"));
  folder_->Keep(copy);
  EXPECT_TRUE(CheckStaticRisk(120, copy));
  HANDLE file = CreateFileA(copy.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  SetFilePointer(file, 0, nullptr, FILE_END);
  DWORD written = 0;
  WriteFile(file, "tail", 4, &written, nullptr);
  CloseHandle(file);
  CheckStaticRisk(120, copy);
  EXPECT_EQ(SignatureChecksRun, checks + 2);

  EXPECT_FALSE(CheckStaticRisk(131, Bin("procs_ver_all.exe")));  // names its company
  EXPECT_TRUE(CheckStaticRisk(131, testsupport::FixturePath()));  // no version resource
}

TEST_F(StaticRiskTest, AProgramWithoutAVisibleWindow) {
  Start("hidden.exe", "hidden");
  Start("plain.exe", "plain");
  ForceRebuild();
  // No window refresh has run: the check builds the window table itself.
  ASSERT_LT(WndTableLast, 0);
  EXPECT_FALSE(CheckStaticRisk(130, vb::LCase(PathOf("plain.exe"))));
  EXPECT_TRUE(CheckStaticRisk(130, vb::LCase(PathOf("hidden.exe"))));
}

TEST_F(StaticRiskTest, CopiesUnderTheWindowsFolder) {
  const std::string listed = GetWinDir() + "\\qp_listed_risk.exe";
  const std::string unlisted = GetWinDir() + "\\qp_unlisted_risk.exe";
  ASSERT_TRUE(CopyExe(listed));
  ASSERT_TRUE(CopyExe(unlisted));
  folder_->Keep(listed);
  folder_->Keep(unlisted);
  LoadSystemFiles();
  SystemFilesList.insert(SystemFilesList.begin(), vb::LCase(listed));
  EXPECT_TRUE(CheckStaticRisk(121, listed));
  EXPECT_FALSE(CheckStaticRisk(133, listed));
  EXPECT_FALSE(CheckStaticRisk(121, unlisted));
  EXPECT_TRUE(CheckStaticRisk(133, unlisted));
  EXPECT_FALSE(CheckStaticRisk(133, testsupport::FixturePath()));
  // Through the rating with the shipped table: the unlisted copy outranks the listed one.
  EXPECT_GT(GetRiskRating(unlisted), GetRiskRating(listed));
}

const char kRun[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

struct RunValues {
  std::vector<std::pair<std::string, std::string>> made;
  void Set(const std::string& keyPath, const std::string& name, const std::string& data) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) ==
        ERROR_SUCCESS)
      RegCloseKey(key);
    SetRegValue(HKEY_CURRENT_USER, keyPath, name, data);
    made.push_back({keyPath, name});
  }
  ~RunValues() {
    for (auto& value : made) {
      HKEY key = OpenRegKey(HKEY_CURRENT_USER, value.first);
      if (key) {
        DeleteRegValue(key, value.second);
        RegCloseKey(key);
      }
    }
  }
};

TEST_F(StaticRiskTest, ProgramsThatStartWithWindows) {
  const std::string spaced = PathOf("with blank.exe");
  ASSERT_TRUE(CopyExe(spaced));
  folder_->Keep(spaced);
  RunValues values;
  values.Set(kRun, "QpQuoted", "\"" + spaced + "\" -s /min");
  values.Set(kRun, "QpBare", "qpbare.exe /x");
  values.Set(std::string(kRun) + "-", "QpDisabled", testsupport::FixturePath());
  // A value that is not text lists an empty command line.
  HKEY run = OpenRegKey(HKEY_CURRENT_USER, kRun);
  ASSERT_TRUE(run);
  DWORD number = 7;
  RegSetValueExA(run, "QpNumber", 0, REG_DWORD, reinterpret_cast<BYTE*>(&number), sizeof number);
  RegCloseKey(run);
  values.made.push_back({kRun, "QpNumber"});

  MoreToolsFrm.RefreshMe(false);
  ui::ListView& list = MoreToolsFrm.StartUpLV;
  int quoted = list.FindItem("QpQuoted"), disabled = list.FindItem("QpDisabled"), numeric = list.FindItem("QpNumber");
  ASSERT_GE(quoted, 0);
  ASSERT_GE(disabled, 0);
  ASSERT_GE(numeric, 0);
  EXPECT_EQ(list.SubItem(quoted, 1), "Enabled");
  EXPECT_EQ(list.SubItem(quoted, 3), "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run");
  EXPECT_EQ(list.SubItem(quoted, 4), "Not Running");
  EXPECT_EQ(list.Tag(quoted), "5");
  EXPECT_EQ(list.SmallIcon(quoted), 0);
  EXPECT_EQ(list.SubItem(disabled, 1), "Disabled");
  EXPECT_EQ(list.SubItem(disabled, 3), list.SubItem(quoted, 3));  // the key text has no "-"
  EXPECT_EQ(list.SmallIcon(disabled), 1);
  EXPECT_EQ(list.SubItem(numeric, 2), "");

  EXPECT_EQ(GetStartUpProgPath("\"" + spaced + "\" -s"), vb::LCase(spaced));
  EXPECT_EQ(GetStartUpProgPath("qpbare.exe /x"), vb::LCase(GetSysDir() + "\\qpbare.exe"));
  EXPECT_EQ(GetStartUpProgPath("\"unclosed"), "");
  EXPECT_EQ(GetStartUpProgPath(""), "");
  EXPECT_EQ(MoreToolsFrm.SearchStartUpLV(spaced), quoted + 1);
  // The row number follows the list's current order.
  MoreToolsFrm.StartUpLV_ColumnClick(0);
  EXPECT_FALSE(list.SortAscending());
  quoted = list.FindItem("QpQuoted");
  EXPECT_EQ(MoreToolsFrm.SearchStartUpLV(spaced), quoted + 1);
  EXPECT_LT(list.FindItem("QpQuoted"), list.FindItem("QpBare"));  // descending
  MoreToolsFrm.StartUpLV_ColumnClick(0);
  EXPECT_TRUE(list.SortAscending());
  quoted = list.FindItem("QpQuoted");
  EXPECT_TRUE(CheckStaticRisk(132, spaced));
  EXPECT_TRUE(CheckStaticRisk(132, GetSysDir() + "\\qpbare.exe"));
  EXPECT_FALSE(CheckStaticRisk(132, testsupport::FixturePath()));  // only its disabled entry
  EXPECT_EQ(GetShortPath(spaced).find(' '), std::string::npos);
  EXPECT_EQ(GetShortPath("C:\\no\\such\\file.exe"), "");

  // A running program is shown bold and "Running".
  Start("with blank.exe", "hidden");
  ForceRebuild();
  MoreToolsFrm.RefreshMe(false);
  quoted = list.FindItem("QpQuoted");
  EXPECT_EQ(list.SubItem(quoted, 4), "Running");
  EXPECT_TRUE(list.RowBold(quoted));
  // A short name finds the running program it stands for.
  const std::string shortName = GetShortPath(spaced);
  ASSERT_NE(shortName.find('~'), std::string::npos);
  EXPECT_EQ(GetStartUpProgPath(shortName + " /x"), vb::LCase(spaced));
}

}  // namespace
