#include <fstream>
#include <sstream>

#include "DialogAnswer.h"
#include "Fixture.h"
#include "Input.h"
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
  testsupport::EndProcessById(pid);
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
  EXPECT_EQ(RunFrm.Combo1.ListCount(), 1) << "the nineteen missing keys are no entries";
  EXPECT_EQ(RunFrm.Combo1.List(0), "newest");
  RunFrm.Unload();
  EXPECT_LT(GetTickCount() - start, 5000u);
  EXPECT_EQ(Ini("Number"), "0");
  EXPECT_EQ(Ini("App0"), "newest");
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

// What a user does with the keyboard and the mouse: Ok is usable exactly while the box
// holds a name, a pick from the list counts as the box's text, and nothing empty is
// run or kept.
TEST_F(RunTest, OkWaitsForANameAndNothingEmptyIsRunOrKept) {
  using testsupport::ClickAt;
  using testsupport::PressKey;
  using testsupport::PumpUntil;
  ReadWriteIni("WRITE", "RunApp", "Number", "3");
  ReadWriteIni("WRITE", "RunApp", "App0", "c:\\none\\first.exe");
  ReadWriteIni("WRITE", "RunApp", "App1", "");  // App2 is missing
  ReadWriteIni("WRITE", "RunApp", "App3", "c:\\none\\last.exe");
  RunFrm.Load();
  RunFrm.Show();
  SetForegroundWindow(RunFrm.hwnd());
  ASSERT_TRUE(PumpUntil([] { return GetForegroundWindow() == RunFrm.hwnd(); }));
  EXPECT_EQ(RunFrm.Combo1.ListCount(), 2) << "an empty key is no entry";
  const HWND ok = RunFrm.OkBtn.hwnd();
  ASSERT_TRUE(IsWindowEnabled(ok));
  auto click = [](HWND target) {
    RECT r{};
    GetClientRect(target, &r);
    ClickAt(target, r.right / 2, r.bottom / 2);
  };
  // The text rubbed out: Ok goes grey, and neither its click nor Enter runs anything.
  RunFrm.Combo1.SetFocus();
  PressKey(VK_END);
  PressKey(VK_HOME, 1);
  PressKey(VK_DELETE);
  ASSERT_TRUE(PumpUntil([] { return RunFrm.Combo1.Text().empty(); }));
  EXPECT_FALSE(IsWindowEnabled(ok));
  click(ok);
  PressKey(VK_RETURN);
  testsupport::PumpUntilIdle();
  EXPECT_TRUE(requests.empty());
  EXPECT_TRUE(shown.empty());
  EXPECT_TRUE(RunFrm.Loaded());
  // Blanks alone are no name either.
  PressKey(VK_SPACE);
  PressKey(VK_SPACE);
  ASSERT_TRUE(PumpUntil([] { return RunFrm.Combo1.Text() == "  "; }));
  EXPECT_FALSE(IsWindowEnabled(ok));
  PressKey(VK_RETURN);
  testsupport::PumpUntilIdle();
  EXPECT_TRUE(requests.empty());
  EXPECT_TRUE(shown.empty());
  // An entry picked from the list with the arrow keys fills the box: Ok is usable.
  PressKey(VK_DOWN);
  ASSERT_TRUE(PumpUntil([] { return !RunFrm.Combo1.Text().empty() && RunFrm.Combo1.Text() != "  "; }));
  EXPECT_TRUE(IsWindowEnabled(ok)) << RunFrm.Combo1.Text();
  // Back to an empty box, then closed: the file keeps the two entries and no empty key.
  PressKey(VK_END);
  PressKey(VK_HOME, 1);
  PressKey(VK_DELETE);
  ASSERT_TRUE(PumpUntil([] { return RunFrm.Combo1.Text().empty(); }));
  EXPECT_FALSE(IsWindowEnabled(ok));
  click(RunFrm.CancelBtn.hwnd());
  ASSERT_TRUE(PumpUntil([] { return !RunFrm.Loaded(); }));
  EXPECT_EQ(Ini("Number"), "1");
  char section[4096] = {};
  GetPrivateProfileSectionA("RunApp", section, sizeof section, ProgIniPath.c_str());
  std::vector<std::string> lines;
  for (const char* line = section; *line; line += strlen(line) + 1) lines.push_back(line);
  EXPECT_EQ(lines, (std::vector<std::string>{"Number=1", "App0=c:\\none\\first.exe", "App1=c:\\none\\last.exe"}));
  EXPECT_TRUE(requests.empty());
}
