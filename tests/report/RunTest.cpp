#include <fstream>
#include <sstream>

#include "DialogAnswer.h"
#include "Fixture.h"
#include "LoopTestSupport.h"
#include "ModMainPlatform.h"
#include "RunFrm.h"
#include "Seams.h"
#include "UiWait.h"
#include "VbRules.h"
#include "modIni.h"

namespace {

class RunTest : public looptest::LoopTest {
 protected:
  void SetUp() override {
    LoopTest::SetUp();
    RunFrm.Unload();
    savedIni = ProgIniPath;
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    ProgIniPath = std::string(temp) + "qp_run_" + std::to_string(GetCurrentProcessId()) + ".ini";
    DeleteFileA(ProgIniPath.c_str());
    seams::ShellExecuteFn = [this](const seams::ShellRequest& r) {
      requests.push_back(r);
      return true;
    };
  }
  void TearDown() override {
    RunFrm.Unload();
    DeleteFileA(ProgIniPath.c_str());
    ProgIniPath = savedIni;
    LoopTest::TearDown();
  }
  static std::string Ini(const std::string& key) { return ReadWriteIni("GET", "RunApp", key); }
  // Types a text and presses "Ok".
  void Run(const std::string& text) {
    RunFrm.Load();
    RunFrm.Combo1.SetText(text);
    RunFrm.Combo1_Change();
    RunFrm.OkBtn.PerformClick();
  }
  std::string savedIni;
  std::vector<seams::ShellRequest> requests;
};

bool NoFiles(const std::string&) { return false; }
bool OnlyWhole(const std::string& path) { return path == "c:\\my dir\\tool.exe" || path == "whole.exe"; }

}  // namespace

TEST_F(RunTest, TheTextSplitsIntoProgramAndParameters) {
  struct Case {
    const char* text;
    bool (*exists)(const std::string&);
    const char *program, *parameters, *entry;
  } cases[] = {
      {"notepad", NoFiles, "notepad.exe", "", "notepad.exe"},
      {"whole", OnlyWhole, "whole.exe", "", "whole.exe"},
      {"c:\\my dir\\tool.exe", OnlyWhole, "c:\\my dir\\tool.exe", "", "c:\\my dir\\tool.exe"},
      {"tool /a b", NoFiles, "tool.exe", "/a b", "tool.exe /a b"},
      {"c:\\x\\tool.exe   -q", NoFiles, "c:\\x\\tool.exe", "-q", "c:\\x\\tool.exe -q"},
      {"\"c:\\a b\\tool\" -x \"y z\"", NoFiles, "c:\\a b\\tool.exe", "-x \"y z\"", "\"c:\\a b\\tool.exe\" -x \"y z\""},
      {"www.example.com", NoFiles, "www.example.com", "", "www.example.com"},
  };
  for (const Case& c : cases) {
    const RunRequest r = SplitRunText(c.text, c.exists);
    EXPECT_EQ(r.program, c.program) << c.text;
    EXPECT_EQ(r.parameters, c.parameters) << c.text;
    EXPECT_EQ(r.entry, c.entry) << c.text;
  }
}

TEST_F(RunTest, AProgramWithArgumentsStartsFromTheRootFolder) {
  testsupport::FixtureFolder folder("run dir");
  const std::string exe = folder.PathOf("run fix.exe");
  ASSERT_TRUE(CopyFileA(testsupport::FixturePath().c_str(), exe.c_str(), FALSE));
  folder.Keep(exe);
  const std::string marker = folder.PathOf("marker.txt");
  folder.Keep(marker);
  seams::ShellExecuteFn = [this](const seams::ShellRequest& r) {
    requests.push_back(r);
    return seams::ShellExecuteForReal(r);
  };
  Run("\"" + exe + "\" plain RunFixtureWindow \"" + marker + "\"");
  EXPECT_TRUE(shown.empty());
  EXPECT_FALSE(RunFrm.Loaded()) << "unloaded after the start";
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].directory, "C:\\");
  EXPECT_EQ(requests[0].show, SW_SHOWNORMAL);
  EXPECT_EQ(requests[0].owner != nullptr, true);
  HWND window = nullptr;
  testsupport::PumpUntil([&] { return (window = FindWindowA(nullptr, "RunFixtureWindow")) != nullptr; }, 10000);
  ASSERT_NE(window, nullptr) << "the program started with its arguments";
  testsupport::PumpUntil([&] { return GetFileAttributesA(marker.c_str()) != INVALID_FILE_ATTRIBUTES; }, 5000);
  std::ifstream in(marker);
  std::stringstream s;
  s << in.rdbuf();
  EXPECT_NE(s.str().find("C:\\"), std::string::npos) << s.str();
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (HANDLE p = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid)) {
    TerminateProcess(p, 0);
    WaitForSingleObject(p, 5000);
    CloseHandle(p);
  }
  EXPECT_EQ(Ini("Number"), "0");
  EXPECT_EQ(Ini("App0"), "\"" + exe + "\" plain RunFixtureWindow \"" + marker + "\"");
}

TEST_F(RunTest, NamesFoundNowhereStayInTheDialogAndTheHistory) {
  const std::string inWindows = GetWinDir() + "\\qprunfix.exe";
  ASSERT_TRUE(CopyFileA(testsupport::FixturePath().c_str(), inWindows.c_str(), FALSE));
  Run("qprunfix");
  DeleteFileA(inWindows.c_str());
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(vb::LCase(requests[0].file), vb::LCase(inWindows));
  EXPECT_EQ(Ini("App0"), "qprunfix.exe") << "kept with its .exe";

  for (const std::string& bad : {std::string("c:\\nowhere\\x.exe"), GetWinDir(), std::string("www.example.com")}) {
    shown.clear();
    Run(bad);
    ASSERT_EQ(shown.size(), 1u) << bad;
    EXPECT_EQ(shown[0].text, "File not found");
    EXPECT_EQ(shown[0].style & MB_ICONMASK, static_cast<UINT>(MB_ICONSTOP));
    EXPECT_TRUE(RunFrm.Loaded()) << "open for a correction";
    EXPECT_EQ(RunFrm.Combo1.List(RunFrm.Combo1.ListCount() - 1),
              bad.find('.') == std::string::npos ? bad + ".exe" : bad);
  }
  EXPECT_EQ(requests.size(), 1u);
  // Enter with an empty text does nothing.
  shown.clear();
  RunFrm.Combo1.SetText("");
  RunFrm.Combo1_Change();
  EXPECT_FALSE(RunFrm.OkBtn.Enabled());
  RunFrm.Combo1.SetFocus();
  PostMessageA(GetFocus(), WM_KEYDOWN, VK_RETURN, 0);
  for (int i = 0; i < 10; ++i) ui::DoEvents();
  EXPECT_TRUE(shown.empty());
  EXPECT_TRUE(RunFrm.Loaded());
  RunFrm.Unload();
  EXPECT_EQ(Ini("Number"), "3");
}

TEST_F(RunTest, TheHistoryKeepsTheNewestTwentyAndSurvivesADamagedCount) {
  for (int i = 0; i < 21; ++i) {
    Run("c:\\none\\p" + std::to_string(i) + ".exe");
    RunFrm.Unload();
  }
  EXPECT_EQ(Ini("Number"), "19");
  EXPECT_EQ(Ini("App0"), "c:\\none\\p1.exe") << "the oldest went";
  EXPECT_EQ(Ini("App19"), "c:\\none\\p20.exe");

  // Five as the count: six entries, the box on the oldest.
  for (int i = 0; i < 20; ++i) ReadWriteIni("WRITE", "RunApp", "App" + std::to_string(i), "");
  ReadWriteIni("WRITE", "RunApp", "Number", "5");
  for (int i = 0; i <= 5; ++i) ReadWriteIni("WRITE", "RunApp", "App" + std::to_string(i), "e" + std::to_string(i));
  RunFrm.Load();
  EXPECT_EQ(RunFrm.Combo1.ListCount(), 6);
  EXPECT_EQ(RunFrm.Combo1.Text(), "e0");
  EXPECT_TRUE(RunFrm.OkBtn.Enabled());
  RunFrm.Unload();

  // A damaged count: the newest twenty are read, and the file is whole again.
  ReadWriteIni("WRITE", "RunApp", "Number", "2000000000");
  ReadWriteIni("WRITE", "RunApp", "App2000000000", "newest");
  const DWORD start = GetTickCount();
  RunFrm.Load();
  EXPECT_EQ(RunFrm.Combo1.ListCount(), 20);
  EXPECT_EQ(RunFrm.Combo1.List(19), "newest");
  RunFrm.Unload();
  EXPECT_LT(GetTickCount() - start, 5000u);
  EXPECT_EQ(Ini("Number"), "19");
  EXPECT_EQ(Ini("App19"), "newest");
  EXPECT_EQ(Ini("App2000000000"), "") << "cleared";
}

TEST_F(RunTest, TheDialogShowsItsCaptions) {
  RunFrm.Load();
  EXPECT_EQ(RunFrm.Caption(), "Run Program");
  EXPECT_EQ(RunFrm.Label2.Text(), "Type the name of a program, folder, document or Internet resource");
  EXPECT_EQ(RunFrm.Label1.Text(), "Open :");
  EXPECT_EQ(RunFrm.OkBtn.Text(), "Ok");
  EXPECT_EQ(RunFrm.BrowseBtn.Text(), "Browse...");
  EXPECT_FALSE(RunFrm.OkBtn.Enabled()) << "an empty history";
}

TEST_F(RunTest, BrowsePutsTheChosenPathInTheBox) {
  RunFrm.Load();
  RunFrm.Combo1.SetText("typed");
  {
    reporttest::FileDialogAnswer answer("", 0);  // cancel
    RunFrm.BrowseBtn.PerformClick();
  }
  EXPECT_EQ(RunFrm.Combo1.Text(), "typed") << "a cancel changes nothing";
  const std::string chosen = testsupport::FixturePath();
  {
    reporttest::FileDialogAnswer answer(chosen, 0);
    RunFrm.BrowseBtn.PerformClick();
  }
  EXPECT_EQ(vb::LCase(RunFrm.Combo1.Text()), vb::LCase(chosen));
  EXPECT_TRUE(RunFrm.OkBtn.Enabled());
  EXPECT_TRUE(shown.empty());
}
