#include <fstream>
#include <sstream>

#include "DialogAnswer.h"
#include "Files.h"
#include "ModMainPlatform.h"
#include "ReportSupport.h"
#include "UiWait.h"

namespace reporttest {
namespace {

void WriteAll(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

// Files in the folder other than the ones named: a left-over temporary file.
int OtherFiles(const std::string& folder, const std::string& keep) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((folder + "*").c_str(), &data);
  int others = 0;
  if (find == INVALID_HANDLE_VALUE) return 0;
  do {
    const std::string name = data.cFileName;
    if (name != "." && name != ".." && name != keep) ++others;
  } while (FindNextFileA(find, &data));
  FindClose(find);
  return others;
}

class SaveTest : public ReportTest {
 protected:
  void SetUp() override {
    ReportTest::SetUp();
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    folder = std::string(temp) + "qp_report_save_" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    target = folder + "report.txt";
    Build({});
    Logfrm.LogTxt.SetText("line one\r\nline two");
  }
  void TearDown() override {
    report::WriteFn = [](HANDLE file, const char* data, DWORD size, DWORD* written) {
      return WriteFile(file, data, size, written, nullptr);
    };
    SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(target.c_str());
    RemoveDirectoryA(folder.c_str());
    ReportTest::TearDown();
  }
  std::string folder, target;
  const std::string old = "old bytes";
};

}  // namespace

TEST_F(SaveTest, TheSaveAsDialogWritesTheReportAndAsksBeforeReplacing) {
  // The form's own dialog, answered from outside.
  {
    FileDialogAnswer answer(target, 0);
    EXPECT_TRUE(Logfrm.FileSave());
  }
  EXPECT_EQ(testsupport::ReadAll(target), "line one\r\nline two\r\n") << "ANSI, one more CR LF";
  {
    FileDialogAnswer answer("", 0);
    EXPECT_FALSE(Logfrm.FileSave()) << "cancelled";
  }
  Logfrm.LogTxt.SetText("new");
  {
    FileDialogAnswer answer(target, IDNO);
    EXPECT_FALSE(Logfrm.FileSave());
    EXPECT_TRUE(answer.askedToReplace);
  }
  EXPECT_EQ(testsupport::ReadAll(target), "line one\r\nline two\r\n");
  {
    FileDialogAnswer answer(target, IDYES);
    EXPECT_TRUE(Logfrm.FileSave());
  }
  EXPECT_EQ(testsupport::ReadAll(target), "new\r\n");
  EXPECT_TRUE(shown.empty());
  EXPECT_EQ(OtherFiles(folder, "report.txt"), 0);
}

TEST_F(SaveTest, AFailedSaveKeepsTheOldFileAndSaysWhy) {
  struct Case {
    const char* what;
    std::function<void()> arrange;
    std::string path;
  };
  HANDLE held = INVALID_HANDLE_VALUE;
  const Case cases[] = {
      {"read-only target", [&] { SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY); }, target},
      {"held without sharing",
       [&] { held = CreateFileA(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr); }, target},
      {"missing folder", [] {}, folder + "nowhere\\report.txt"},
      {"disk full halfway",
       [] {
         report::WriteFn = [](HANDLE file, const char* data, DWORD size, DWORD* written) {
           WriteFile(file, data, size / 2, written, nullptr);
           SetLastError(ERROR_DISK_FULL);
           return FALSE;
         };
       },
       target},
  };
  // Wine names the missing folder by its temporary-file call ("Directory name invalid").
  const DWORD expected[] = {ERROR_ACCESS_DENIED, 0, 0, ERROR_DISK_FULL};
  int i = 0;
  for (const Case& c : cases) {
    shown.clear();
    SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    WriteAll(target, old);
    c.arrange();
    EXPECT_FALSE(Logfrm.SaveFileAs(c.path)) << c.what;
    if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
    held = INVALID_HANDLE_VALUE;
    ASSERT_EQ(shown.size(), 1u) << c.what;
    if (expected[i]) {
      EXPECT_EQ(shown[0].text, SystemErrorText(expected[i])) << c.what;
    }
    EXPECT_FALSE(shown[0].text.empty());
    EXPECT_TRUE(shown[0].style & MB_ICONEXCLAMATION) << c.what;
    SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(testsupport::ReadAll(target), old) << c.what;
    EXPECT_EQ(OtherFiles(folder, "report.txt"), 0) << c.what << ": no temporary file";
    report::WriteFn = [](HANDLE file, const char* data, DWORD size, DWORD* written) {
      return WriteFile(file, data, size, written, nullptr);
    };
    ++i;
  }
  // And a save that works replaces the old bytes.
  shown.clear();
  EXPECT_TRUE(Logfrm.SaveFileAs(target));
  EXPECT_EQ(testsupport::ReadAll(target), "line one\r\nline two\r\n");
  EXPECT_TRUE(shown.empty());
}

TEST_F(SaveTest, CopyPutsTheWholeReportOnTheClipboard) {
  Logfrm.Toolbar1.ClickButton(3);
  EXPECT_EQ(testsupport::ClipboardText(), "line one\r\nline two");
}

}  // namespace reporttest
