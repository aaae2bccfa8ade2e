// Quarantine with nothing lost: after every case each file that existed is still
// there, under its name or its quarantined name, and every quarantined file is
// listed in list.dat as this test's own reader sees it.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>

#include "Files.h"
#include "ModProgInfo.h"
#include "ModSettings.h"
#include "ProcsTestSupport.h"
#include "QrtFrm.h"
#include "Seams.h"
#include "UiWait.h"

namespace {

using namespace procstest;

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string QrtDir() { return AppPath() + "\\Qrt"; }
std::string ListDat() { return QrtDir() + "\\list.dat"; }

// list.dat as the format reads: records of 259 bytes, the count in record 1's last
// four bytes, paths padded with blanks.
std::vector<std::string> ListedPaths() {
  std::string bytes = testsupport::ReadAll(ListDat());
  std::vector<std::string> paths;
  if (bytes.size() < 259) return paths;
  int32_t count = 0;
  std::memcpy(&count, &bytes[255], 4);
  for (int32_t i = 1; i <= count && (i + 1) * 259 <= static_cast<int32_t>(bytes.size()); ++i) {
    std::string path = bytes.substr(i * 259, 255);
    path.erase(path.find_last_not_of(' ') + 1);
    paths.push_back(path);
  }
  return paths;
}

std::string WithCount(std::string bytes, int32_t count) {
  std::memcpy(&bytes[255], &count, 4);
  return bytes;
}

void WriteAllBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

class QrtTest : public WalkerTest {
 protected:
  void SetUp() override {
    WalkerTest::SetUp();
    QrtFrm.Unload();
    DeleteFileA(ListDat().c_str());
    DeleteFileA((QrtDir() + "\\list.new").c_str());
    CreateDirectoryA(QrtDir().c_str(), nullptr);
    seams::MessageBoxFn = [this](HWND, const std::string& text, const std::string&, UINT style) {
      messages_.push_back(text);
      styles_.push_back(style);
      return answer_;
    };
  }
  void TearDown() override {
    QrtFrm.Unload();
    QrtFrmForm::WriteListBytes = saved_;
    for (const std::string& file : files_) {
      DeleteFileA((file + "_XX").c_str());
      DeleteFileA(file.c_str());
    }
    DeleteFileA(ListDat().c_str());
    seams::Reset();
    WalkerTest::TearDown();
  }
  // A file of its own content under the test folder.
  std::string MakeFile(const std::string& name) {
    std::string path = PathOf(name);
    WriteAllBytes(path, "content of " + name);
    files_.push_back(path);
    return path;
  }
  // Nothing lost: each file is under one of its names, and every quarantined one is listed.
  void ExpectNothingLost() {
    std::vector<std::string> listed = ListedPaths();
    for (const std::string& file : files_) {
      SCOPED_TRACE(file);
      EXPECT_TRUE(Exists(file) || Exists(file + "_XX"));
      if (Exists(file + "_XX") && !Exists(file)) {
        EXPECT_NE(std::find(listed.begin(), listed.end(), file), listed.end());
      }
    }
  }
  void Select(const std::string& path) {
    int row = QrtFrm.FilesLV.FindItem(path);
    ASSERT_GE(row, 0);
    QrtFrm.FilesLV.SetSelected(row, true);
  }
  std::vector<std::string> files_;
  std::vector<std::string> messages_;
  std::vector<UINT> styles_;
  int answer_ = IDNO;
  std::function<bool(HANDLE, const std::string&)> saved_ = QrtFrmForm::WriteListBytes;
};

TEST_F(QrtTest, MoveListRestoreAndAnEmptyList) {
  const std::string a = MakeFile("a.exe"), b = MakeFile("b.exe");
  ASSERT_TRUE(QrtFrm.MoveToQrt(a));
  ASSERT_TRUE(QrtFrm.MoveToQrt(b));
  EXPECT_EQ(ListedPaths(), (std::vector<std::string>{a, b}));
  EXPECT_EQ(testsupport::ReadAll(ListDat()).size(), 3 * 259u);
  EXPECT_FALSE(Exists(a));
  EXPECT_EQ(QrtFrm.Caption(), "Quarantine");
  // A fresh load reads the list back.
  QrtFrm.Unload();
  QrtFrm.Load();
  ASSERT_EQ(QrtFrm.FilesLV.ItemCount(), 2);
  Select(a);
  QrtFrm.RestoreBtn_Click();
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0], "The quarantined file " + a + " has been restored successfuly");
  EXPECT_EQ(testsupport::ReadAll(a), "content of a.exe");
  Select(b);
  QrtFrm.RestoreBtn_Click();
  EXPECT_EQ(testsupport::ReadAll(ListDat()), std::string(259, '\0'));  // exactly one record, count 0
  ExpectNothingLost();
}

TEST_F(QrtTest, AListThatCannotBeWrittenGivesTheFileItsNameBack) {
  const std::string a = MakeFile("a.exe"), b = MakeFile("b.exe");
  ASSERT_TRUE(QrtFrm.MoveToQrt(a));
  const std::string before = testsupport::ReadAll(ListDat());
  {
    SCOPED_TRACE("list.dat held without sharing");
    HANDLE held = CreateFileA(ListDat().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(QrtFrm.MoveToQrt(b));
    CloseHandle(held);
    EXPECT_TRUE(Exists(b));
    EXPECT_EQ(testsupport::ReadAll(ListDat()), before);
    EXPECT_EQ(QrtFrm.FilesLV.ItemCount(), 1);
    ExpectNothingLost();
  }
  {
    SCOPED_TRACE("the writer fails halfway");
    QrtFrmForm::WriteListBytes = [](HANDLE file, const std::string& bytes) {
      DWORD written = 0;
      WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size() / 2), &written, nullptr);
      return false;
    };
    EXPECT_FALSE(QrtFrm.MoveToQrt(b));
    QrtFrmForm::WriteListBytes = saved_;
    EXPECT_TRUE(Exists(b));
    EXPECT_EQ(testsupport::ReadAll(ListDat()), before);
    EXPECT_FALSE(Exists(QrtDir() + "\\list.new"));
    ExpectNothingLost();
  }
  ASSERT_TRUE(QrtFrm.MoveToQrt(b));  // and once the way is clear it works
  EXPECT_EQ(ListedPaths(), (std::vector<std::string>{a, b}));
}

TEST_F(QrtTest, AQuarantineFolderThatIsAFile) {
  const std::string a = MakeFile("a.exe");
  RemoveDirectoryA(QrtDir().c_str());
  WriteAllBytes(QrtDir(), "not a folder");
  EXPECT_FALSE(QrtFrm.MoveToQrt(a));
  EXPECT_TRUE(Exists(a));
  EXPECT_FALSE(Exists(a + "_XX"));
  QrtFrm.Unload();
  DeleteFileA(QrtDir().c_str());
  CreateDirectoryA(QrtDir().c_str(), nullptr);
}

TEST_F(QrtTest, ARenameThatFailsChangesNothing) {
  const std::string a = MakeFile("a.exe"), b = MakeFile("b.exe");
  WriteAllBytes(a + "_XX", "in the way");
  files_.push_back(a + "_XX");
  EXPECT_FALSE(QrtFrm.MoveToQrt(a));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  HANDLE held = CreateFileA(b.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(QrtFrm.MoveToQrt(b));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  CloseHandle(held);
  EXPECT_EQ(QrtFrm.FilesLV.ItemCount(), 0);
  EXPECT_TRUE(ListedPaths().empty());
  EXPECT_EQ(testsupport::ReadAll(a + "_XX"), "in the way");
  ExpectNothingLost();
}

TEST_F(QrtTest, PathsLongerThanARecordAreRefusedBeforeAnythingHappens) {
  // A folder of 120 characters, then names that make paths of 255 to 259 characters.
  std::string folder = PathOf(std::string(120 - PathOf("").size(), 'd'));
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  for (size_t length : {255u, 256u, 259u}) {
    SCOPED_TRACE(length);
    std::string path = folder + "\\" + std::string(length - folder.size() - 5, 'n') + ".exe";
    ASSERT_EQ(path.size(), length);
    ASSERT_TRUE(CopyExe(path));
    files_.push_back(path);
    if (length == 255) {
      EXPECT_TRUE(QrtFrm.MoveToQrt(path));
      continue;
    }
    EXPECT_FALSE(QrtFrm.MoveToQrt(path));
    EXPECT_TRUE(Exists(path));
    // Not even ended: terminate-and-quarantine refuses it first.
    testsupport::FixtureOptions options;
    options.mode = "hidden";
    options.exePath = path;
    testsupport::Fixture running(options);
    ASSERT_TRUE(running.Started());
    EXPECT_EQ(TerminateAndQuarantine(path), 0);
    EXPECT_EQ(WaitForSingleObject(running.process(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
  }
  ExpectNothingLost();
  for (const std::string& file : files_) {
    DeleteFileA((file + "_XX").c_str());
    DeleteFileA(file.c_str());
  }
  files_.clear();
  RemoveDirectoryA(folder.c_str());
}

TEST_F(QrtTest, RestoringOntoAnExistingFile) {
  const std::string a = MakeFile("a.exe");
  ASSERT_TRUE(QrtFrm.MoveToQrt(a));
  WriteAllBytes(a, "a new file");
  answer_ = IDNO;
  Select(a);
  QrtFrm.RestoreBtn_Click();
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0], "The main file " + a +
                              " already exists and thus it can't be restored, would like to remove it from this list?");
  EXPECT_EQ(styles_[0], static_cast<UINT>(MB_YESNO | MB_DEFBUTTON2 | MB_ICONINFORMATION));
  EXPECT_EQ(ListedPaths(), std::vector<std::string>{a});
  answer_ = IDYES;
  Select(a);
  QrtFrm.RestoreBtn_Click();
  EXPECT_TRUE(ListedPaths().empty());  // only the entry is forgotten
  EXPECT_EQ(testsupport::ReadAll(a), "a new file");
  EXPECT_EQ(testsupport::ReadAll(a + "_XX"), "content of a.exe");
  // The other two questions.
  QrtFrm.FilesLV.AddItem(PathOf("gone.exe"));
  Select(PathOf("gone.exe"));
  answer_ = IDNO;
  QrtFrm.RestoreBtn_Click();
  EXPECT_NE(messages_.back().find("can't be found and thus"), std::string::npos);
  EXPECT_EQ(styles_.back(), static_cast<UINT>(MB_YESNO | MB_DEFBUTTON2 | MB_ICONSTOP));
}

TEST_F(QrtTest, AListThatCannotBeReadIsNeverOverwritten) {
  const std::string a = MakeFile("a.exe"), b = MakeFile("b.exe");
  ASSERT_TRUE(QrtFrm.MoveToQrt(a));
  QrtFrm.Unload();
  HANDLE held = CreateFileA(ListDat().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  QrtFrm.Load();
  EXPECT_FALSE(QrtFrm.MoveToQrt(b));
  EXPECT_TRUE(Exists(b));
  CloseHandle(held);
  ASSERT_TRUE(QrtFrm.MoveToQrt(b));  // a later load works
  EXPECT_EQ(ListedPaths(), (std::vector<std::string>{a, b}));
  ExpectNothingLost();
}

TEST_F(QrtTest, HugeNegativeAndRaggedCounts) {
  const std::string a = MakeFile("a.exe");
  ASSERT_TRUE(QrtFrm.MoveToQrt(a));
  const std::string one = testsupport::ReadAll(ListDat());
  struct Case {
    const char* what;
    std::string bytes;
    int rows;
  } cases[] = {
      {"huge", WithCount(one, 0x7FFFFFFF), 1},
      {"negative", WithCount(one, -5), 0},
      {"ragged", one + std::string(100, 'x'), 1},
      {"short", one.substr(0, 300), 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    QrtFrm.Unload();
    WriteAllBytes(ListDat(), c.bytes);
    QrtFrm.Load();
    EXPECT_EQ(QrtFrm.FilesLV.ItemCount(), c.rows);
  }
  // The last load lost the entry: put it back the way a user would not, then check
  // that what is written is whole records again.
  QrtFrm.FilesLV.AddItem(a);
  ASSERT_TRUE(QrtFrm.UpdateList());
  EXPECT_EQ(testsupport::ReadAll(ListDat()), one);
}

TEST_F(QrtTest, EveryRunningInstanceEndsAndTheFileMovesOnce) {
  testsupport::Fixture& first = Start("three.exe");
  testsupport::Fixture& second = Start("three.exe");
  testsupport::Fixture& third = Start("three.exe");
  const std::string path = PathOf("three.exe");
  const std::string original = testsupport::ReadAll(path);
  EXPECT_GE(TerminateAndQuarantine(path), 2);
  EXPECT_TRUE(Ended(first.process()));
  EXPECT_TRUE(Ended(second.process()));
  EXPECT_TRUE(Ended(third.process()));
  EXPECT_EQ(ListedPaths(), std::vector<std::string>{path});  // listed once
  EXPECT_FALSE(Exists(path));
  Select(path);
  QrtFrm.RestoreBtn_Click();
  EXPECT_EQ(testsupport::ReadAll(path), original);
  EXPECT_TRUE(ListedPaths().empty());
}

TEST_F(QrtTest, HelpAndClose) {
  QrtFrm.Show();
  EXPECT_EQ(QrtFrm.FilesLV.ColumnText(0), "File Path");
  EXPECT_EQ(QrtFrm.RestoreBtn.Text(), "Restore");
  std::vector<std::string> opened;
  seams::ShellExecuteFn = [&](const seams::ShellRequest& request) {
    opened.push_back(request.file);
    return true;
  };
  PostMessageA(QrtFrm.FilesLV.hwnd(), WM_KEYDOWN, VK_F1, 0);
  testsupport::PumpUntil([&] { return !opened.empty(); }, 2000);
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_NE(opened[0].find("online_help.htm"), std::string::npos);
  QrtFrm.CloseBtn_Click();
  EXPECT_FALSE(QrtFrm.hwnd());
}

}  // namespace
