// The programs launched on connect: the list, its store, and starting them.
#include <windows.h>

#include <algorithm>

#include "CancelEvent.h"
#include "ConInfoFrm.h"
#include "Input.h"
#include "LoopTestSupport.h"
#include "ModConInfo.h"
#include "ModMain.h"
#include "ModMainPlatform.h"
#include "ModSettings.h"
#include "Seams.h"
#include "UiWait.h"
#include "VbRules.h"

namespace {

class LaunchListTest : public looptest::LoopTest {
 protected:
  void SetUp() override {
    LoopTest::SetUp();
    answer = [](const looptest::ShownMessage&) { return IDYES; };
  }
  void TearDown() override {
    // A Launch All a failed check left running ends before the next test.
    CancelFlag = true;
    testsupport::PumpUntil([] { return !ConInfoFrm.LaunchingAll(); });
    ConInfoFrm.Unload();
    LoopTest::TearDown();
  }
  // Stores the entries as the settings hold them.
  void Store(const std::vector<std::string>& entries) {
    for (size_t i = 0; i < entries.size(); ++i)
      looptest::SetOption("Internet", "IntProg" + std::to_string(i + 1), entries[i]);
    looptest::SetOption("Internet", "IntProgCount", std::to_string(entries.size()));
    IntProgCount = static_cast<int16_t>(entries.size());
  }
  std::vector<std::string> Stored() {
    std::vector<std::string> entries;
    const int count = std::stoi(looptest::Option("Internet", "IntProgCount"));
    for (int i = 1; i <= count; ++i) entries.push_back(looptest::Option("Internet", "IntProg" + std::to_string(i)));
    EXPECT_EQ(looptest::Option("Internet", "IntProg" + std::to_string(count + 1)), looptest::kMissing)
        << "no entry beyond the count";
    return entries;
  }
  std::vector<std::string> Listed() {
    std::vector<std::string> rows;
    for (int r = 0; r < ConInfoFrm.IntProgsList.ItemCount(); ++r)
      rows.push_back(ConInfoFrm.IntProgsList.ItemText(r) + ";" +
                     std::to_string(ConInfoFrm.IntProgsList.SmallIcon(r)));
    return rows;
  }
  void Select(std::vector<int> rows) {
    for (int r = 0; r < ConInfoFrm.IntProgsList.ItemCount(); ++r)
      ConInfoFrm.IntProgsList.SetSelected(r, std::find(rows.begin(), rows.end(), r) != rows.end());
  }
  // Records each start with the real time it came, as the shell seam.
  void StampLaunches() {
    seams::ShellExecuteFn = [this](const seams::ShellRequest& r) {
      launched.push_back({r.file, r.parameters, r.show});
      stamps.push_back(GetTickCount());
      return true;
    };
  }
  bool LaunchAllOver() const { return !ConInfoFrm.LaunchingAll() && !CancelEvent.Visible(); }
  std::vector<DWORD> stamps;
};

TEST_F(LaunchListTest, AddingStoresTheLowerCasePathOnceIgnoringCase) {
  Store({});
  ConInfoFrm.AddIntStartProg("C:\\Tools\\Mail.exe");
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, "The file c:\\tools\\mail.exe wasn't found, Are you still sure you want to add it?");
  EXPECT_EQ(shown[0].style, 292u);
  EXPECT_EQ(Stored(), std::vector<std::string>{"c:\\tools\\mail.exe;1"});
  ConInfoFrm.AddIntStartProg("c:\\TOOLS\\mail.exe");
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[1].text, "The file c:\\TOOLS\\mail.exe already exists");
  EXPECT_EQ(shown[1].style, 48u);
  // A missing file refused with No adds nothing.
  answer = [](const looptest::ShownMessage&) { return IDNO; };
  ConInfoFrm.AddIntStartProg("c:\\tools\\news.exe");
  EXPECT_EQ(Stored().size(), 1u);
  // An existing file is added without a question.
  shown.clear();
  ConInfoFrm.AddIntStartProg(AppPath() + "\\fixture.exe");
  EXPECT_TRUE(shown.empty());
  EXPECT_EQ(Stored().size(), 2u);
}

TEST_F(LaunchListTest, RemoveToggleAndShrinkKeepTheStoreInStep) {
  Store({"c:\\a.exe;1", "c:\\b.exe;2", "c:\\c.exe;1", "c:\\d.exe;1", "c:\\e.exe;2"});
  ConInfoFrm.Load();
  Select({1, 2});
  ConInfoFrm.EnableBtn_Click();  // one disabled and one enabled swap
  EXPECT_EQ(Stored(), (std::vector<std::string>{"c:\\a.exe;1", "c:\\b.exe;1", "c:\\c.exe;2", "c:\\d.exe;1",
                                                "c:\\e.exe;2"}));
  ConInfoFrm.RemoveBtn_Click();  // two adjacent rows
  EXPECT_EQ(Stored(), (std::vector<std::string>{"c:\\a.exe;1", "c:\\d.exe;1", "c:\\e.exe;2"}));
  EXPECT_EQ(looptest::Option("Internet", "IntProg4"), looptest::kMissing);
  EXPECT_EQ(looptest::Option("Internet", "IntProg5"), looptest::kMissing);
}

TEST_F(LaunchListTest, StoredEntriesReadAsTheyShouldAndOncePerLoad) {
  Store({"c:\\a.exe;1", "", "c:\\b.exe;0", "c:\\c.exe;2", "c:\\d.exe;x"});
  ConInfoFrm.Load();
  const std::vector<std::string> expected = {"c:\\a.exe;1", "c:\\b.exe;2", "c:\\c.exe;2", "c:\\d.exe;2"};
  EXPECT_EQ(Listed(), expected) << "no row for an empty entry; every state but 1 is disabled";
  ConInfoFrm.Unload();  // the frame switches to another page and back
  ConInfoFrm.Load();
  EXPECT_EQ(Listed(), expected) << "each row once";
}

TEST_F(LaunchListTest, AnOutsideAddWithThePageNeverShownKeepsTheStoredEntries) {
  Store({"c:\\a.exe;1", "c:\\b.exe;2", "c:\\c.exe;1"});
  ConInfoFrm.Unload();
  ConInfoFrm.AddIntStartProg("c:\\d.exe");
  EXPECT_EQ(Stored(), (std::vector<std::string>{"c:\\a.exe;1", "c:\\b.exe;2", "c:\\c.exe;1", "c:\\d.exe;1"}));
}

TEST_F(LaunchListTest, LaunchAllStartsEveryEntryInOrderPausingWithoutHoldingTheProgram) {
  Store({"c:\\a.exe;1", "c:\\b.exe;2", "c:\\c.exe;1"});
  ConInfoFrm.Unload();
  StampLaunches();
  const DWORD clicked = GetTickCount();
  ConInfoFrm.LaunchAllBtn_Click();
  // The click returns at once, with the first program started and the status shown.
  EXPECT_EQ(launched.size(), 1u);
  EXPECT_TRUE(CancelEvent.Visible());
  EXPECT_EQ(CancelEvent.lblCancel.Text(), "Loading Internet applications...");
  ConInfoFrm.LaunchAllBtn_Click();  // a second click while it runs starts nothing more
  ASSERT_TRUE(testsupport::PumpUntil([&] { return LaunchAllOver(); }, 10000));
  const DWORD over = GetTickCount();
  ASSERT_EQ(launched.size(), 3u) << "disabled entries too, each once";
  EXPECT_EQ(launched[0].file, "c:\\a.exe");
  EXPECT_EQ(launched[1].file, "c:\\b.exe");
  EXPECT_EQ(launched[2].file, "c:\\c.exe");
  EXPECT_EQ(launched[1].show, SW_SHOWNORMAL);
  // The pause follows each start, the last one too (a timer never fires early by
  // more than the clock's step).
  EXPECT_GE(stamps[1] - stamps[0], 480u);
  EXPECT_GE(stamps[2] - stamps[1], 480u);
  EXPECT_GE(over - stamps[2], 480u);
  EXPECT_GE(over - clicked, 1440u);
}

TEST_F(LaunchListTest, TheStatusWindowsCancelEndsLaunchAll) {
  Store({"c:\\a.exe;1", "c:\\b.exe;1", "c:\\c.exe;1", "c:\\d.exe;1"});
  StampLaunches();
  ConInfoFrm.LaunchAllBtn_Click();
  ASSERT_TRUE(CancelEvent.Visible());
  ASSERT_TRUE(testsupport::PumpUntil([&] { return launched.size() == 2; }));
  // The user's click on the status window's Cancel.
  RECT r;
  GetClientRect(CancelEvent.btnCancel.hwnd(), &r);
  testsupport::ClickAt(CancelEvent.btnCancel.hwnd(), r.right / 2, r.bottom / 2);
  ASSERT_TRUE(testsupport::PumpUntil([&] { return LaunchAllOver(); }));
  testsupport::PumpUntil([] { return false; }, 700);  // a pause's worth: nothing more starts
  EXPECT_EQ(launched.size(), 2u);
  EXPECT_FALSE(CancelFlag) << "the flag is left clear for the next long operation";
  // The page switched away (its form unloaded) while a launch runs: the rest still start.
  launched.clear();
  ConInfoFrm.LaunchAllBtn_Click();
  ConInfoFrm.Unload();
  ASSERT_TRUE(testsupport::PumpUntil([&] { return LaunchAllOver(); }, 10000));
  EXPECT_EQ(launched.size(), 4u);
}

TEST_F(LaunchListTest, ProgramsThatCannotStartAreNamedAfterTheOthersStarted) {
  Store({"c:\\a.exe;1", "c:\\gone.exe;1", "c:\\c.exe;1", "c:\\gone2.exe;2"});
  seams::ShellExecuteFn = [this](const seams::ShellRequest& r) {
    launched.push_back({r.file, r.parameters, r.show});
    if (r.file.find("gone") == std::string::npos) return true;
    SetLastError(ERROR_FILE_NOT_FOUND);
    return false;
  };
  ConInfoFrm.LaunchAllBtn_Click();
  ASSERT_TRUE(testsupport::PumpUntil([&] { return LaunchAllOver(); }, 10000));
  EXPECT_EQ(launched.size(), 4u);
  ASSERT_EQ(shown.size(), 1u) << "one message after the command";
  EXPECT_EQ(shown[0].style & MB_ICONMASK, static_cast<UINT>(MB_ICONSTOP));
  EXPECT_EQ(shown[0].text.find("The file c:\\gone.exe couldn't be started: "), 0u) << shown[0].text;
  EXPECT_NE(shown[0].text.find("The file c:\\gone2.exe couldn't be started: "), std::string::npos);
  EXPECT_EQ(shown[0].text.find("a.exe"), std::string::npos);
  // On connect the same failure is silent.
  shown.clear();
  launched.clear();
  DoIntProgOp(4);
  EXPECT_EQ(launched.size(), 3u) << "the enabled ones, failing or not";
  EXPECT_TRUE(shown.empty());
}

namespace {

// Closes every message box of this process that the shell itself shows, from a thread
// of its own (the shell's box is modal inside the start), and keeps their texts.
class ShellBoxWatch {
 public:
  ShellBoxWatch() : thread_(CreateThread(nullptr, 0, Run, this, 0, nullptr)) {}
  ~ShellBoxWatch() {
    stop_ = true;
    WaitForSingleObject(thread_, 5000);
    CloseHandle(thread_);
  }
  std::vector<std::string> Seen() {
    EnterCriticalSection(&lock_);
    std::vector<std::string> copy = seen_;
    LeaveCriticalSection(&lock_);
    return copy;
  }

 private:
  static BOOL CALLBACK Each(HWND hwnd, LPARAM self) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    char cls[32] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (pid != GetCurrentProcessId() || std::string(cls) != "#32770" || !IsWindowVisible(hwnd)) return TRUE;
    char text[512] = {};
    GetDlgItemTextA(hwnd, 0xFFFF, text, sizeof text);
    auto* watch = reinterpret_cast<ShellBoxWatch*>(self);
    EnterCriticalSection(&watch->lock_);
    watch->seen_.push_back(testsupport::WindowText(hwnd) + ": " + text);
    LeaveCriticalSection(&watch->lock_);
    PostMessageA(hwnd, WM_COMMAND, IDOK, 0);
    return TRUE;
  }
  static DWORD WINAPI Run(LPVOID self) {
    auto* watch = static_cast<ShellBoxWatch*>(self);
    while (!watch->stop_) {
      EnumWindows(Each, reinterpret_cast<LPARAM>(self));
      Sleep(50);
    }
    return 0;
  }
  struct Lock {
    CRITICAL_SECTION cs;
    Lock() { InitializeCriticalSection(&cs); }
    ~Lock() { DeleteCriticalSection(&cs); }
  } lockHolder_;
  CRITICAL_SECTION& lock_ = lockHolder_.cs;
  std::vector<std::string> seen_;
  volatile bool stop_ = false;
  HANDLE thread_;
};

}  // namespace

// Launch and Launch All clicked with the mouse on programs the real shell cannot start:
// one message of ours names each program and the real reason; the shell adds no box.
TEST_F(LaunchListTest, ALaunchThatFailsGivesTheRealReason) {
  const std::string missingFolder = "c:\\qp-nowhere\\mail.exe";
  const std::string missingFile = vb::LCase(GetWinDir()) + "\\qp-missing-mail.exe";
  Store({missingFolder + ";1", missingFile + ";1"});
  seams::ShellExecuteFn = seams::ShellExecuteForReal;
  ConInfoFrm.Load();
  ConInfoFrm.Show();
  ConInfoFrm.SSTab1.SetTab(1);
  SetForegroundWindow(ConInfoFrm.hwnd());
  ASSERT_TRUE(testsupport::PumpUntil([] { return GetForegroundWindow() == ConInfoFrm.hwnd(); }));
  ASSERT_EQ(ConInfoFrm.IntProgsList.ItemCount(), 2);
  auto click = [](HWND target) {
    RECT r{};
    GetClientRect(target, &r);
    testsupport::ClickAt(target, r.right / 2, r.bottom / 2);
  };
  const std::string reason = "File not found";
  ShellBoxWatch watch;
  Select({0});
  click(ConInfoFrm.LaunchBtn.hwnd());
  ASSERT_TRUE(testsupport::PumpUntil([this] { return !shown.empty(); }, 10000)) << "no message at all";
  EXPECT_EQ(shown[0].text, "The file " + missingFolder + " couldn't be started: " + reason + "\r\n");
  EXPECT_EQ(shown[0].style & MB_ICONMASK, static_cast<UINT>(MB_ICONSTOP));
  shown.clear();
  click(ConInfoFrm.LaunchAllBtn.hwnd());
  ASSERT_TRUE(testsupport::PumpUntil([this] { return !shown.empty(); }, 10000)) << "no message at all";
  EXPECT_EQ(shown[0].text, "The file " + missingFolder + " couldn't be started: " + reason + "\r\nThe file " +
                               missingFile + " couldn't be started: " + reason + "\r\n");
  EXPECT_EQ(shown.size(), 1u);
  EXPECT_EQ(watch.Seen(), std::vector<std::string>{}) << "the shell's own boxes";
}

TEST_F(LaunchListTest, OnConnectOnlyEnabledEntriesStartAndNotWhileRunning) {
  const std::string copy = AppPath() + "\\connect-fixture.exe";
  ASSERT_TRUE(CopyFileA((AppPath() + "\\fixture.exe").c_str(), copy.c_str(), FALSE));
  const std::string lower = vb::LCase(copy);
  Store({lower + ";1", "c:\\off.exe;2", "c:\\zero.exe;0"});
  DoIntProgOp(4);
  ASSERT_EQ(launched.size(), 1u);
  EXPECT_EQ(launched[0].file, lower);
  // While a process of that path runs, a reconnection starts nothing.
  STARTUPINFOA si = {sizeof si};
  PROCESS_INFORMATION pi = {};
  std::string command = "\"" + copy + "\"";
  ASSERT_TRUE(CreateProcessA(copy.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
  WaitForInputIdle(pi.hProcess, 5000);
  DoIntProgOp(4);
  EXPECT_EQ(launched.size(), 1u);
  testsupport::EndProcess(pi);
  DoIntProgOp(4);
  EXPECT_EQ(launched.size(), 2u) << "after it ended, the next connection starts it again";
  DeleteFileA(copy.c_str());
}

}  // namespace

namespace {

TEST_F(LaunchListTest, AddBrowsesForTheProgramAndACancelAddsNothing) {
  Store({});
  static std::string path = AppPath() + "\\fixture.exe";
  for (const char* picked : {static_cast<const char*>(nullptr), path.c_str()}) {
    SCOPED_TRACE(picked ? "picked" : "cancelled");
    HANDLE helper = testsupport::AnswerFileDialog("Browse", picked);
    ConInfoFrm.AddBtn_Click();
    EXPECT_TRUE(testsupport::FileDialogAnswered(helper)) << "the dialog was titled Browse";
  }
  EXPECT_TRUE(shown.empty());
  EXPECT_EQ(Stored(), std::vector<std::string>{vb::LCase(path) + ";1"});
}

}  // namespace
