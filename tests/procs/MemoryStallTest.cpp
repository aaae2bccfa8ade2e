// The forced rebuild's memory figures against processes that stop or end while they
// are asked. Under Wine another process answers a question about its memory itself:
// a stopped one never does, and one ended half way may not. The program must answer
// within a second throughout, and such a process's row shows what an unreadable
// process's row shows (empty memory cells).
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <functional>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "CancelEvent.h"
#include "ModMainPlatform.h"
#include "ModProgInfo.h"
#include "ProcsTestSupport.h"
#include "SysInfoLink.h"
#include "UiWait.h"
#include "UnixProcess.h"
#include "VbRules.h"
#include "Window.h"

namespace {

using namespace procstest;

// ---- Stopping a process the way a debugger or the kernel does: SIGSTOP

using testsupport::UnixPidOf;

char UnixState(int pid) {
  const std::string stat = testsupport::ReadUnixFile("Z:\\proc\\" + std::to_string(pid) + "\\stat");
  const size_t close = stat.rfind(')');
  return close != std::string::npos && close + 2 < stat.size() ? stat[close + 2] : '?';
}

// The stop shows in the process's state a moment after kill has ended: it is waited for.
bool Signal(int pid, const char* signal, bool stopped) {
  return testsupport::SignalUnix(pid, signal) &&
         testsupport::PumpUntil([&] { return (UnixState(pid) == 'T') == stopped; }, 5000);
}

// A fixture whose Linux process is stopped until the object goes.
class Frozen {
 public:
  explicit Frozen(const std::string& windowsPath) : pid_(UnixPidOf(windowsPath)) {
    frozen_ = pid_ > 0 && Signal(pid_, "STOP", true);
  }
  ~Frozen() { Thaw(); }
  bool frozen() const { return frozen_; }
  void Thaw() {
    if (frozen_) Signal(pid_, "CONT", false);
    frozen_ = false;
  }

 private:
  int pid_;
  bool frozen_ = false;
};

// ---- How long the test thread takes to answer

// Asks a window of the test thread a question every 20 ms from a thread of its own
// and keeps the longest answer time, as the user's clicks would wait.
class AnswerWatch {
 public:
  AnswerWatch() {
    window_ = CreateWindowExA(0, "STATIC", "answer watch", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    thread_ = std::thread([this] {
      while (!stop_) {
        const DWORD start = GetTickCount();
        DWORD_PTR result = 0;
        SendMessageTimeoutA(window_, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
        const DWORD took = GetTickCount() - start;
        if (took > longest_) longest_ = took;
        Sleep(20);
      }
      ended_ = true;
    });
  }
  ~AnswerWatch() {
    stop_ = true;
    // The last question is answered here.
    testsupport::PumpUntil([this] { return ended_.load(); }, 15000);
    thread_.join();
    DestroyWindow(window_);
  }
  DWORD longest() const { return longest_; }

 private:
  HWND window_;
  std::atomic<bool> stop_{false}, ended_{false};
  std::atomic<DWORD> longest_{0};
  std::thread thread_;
};

class MemoryStallTest : public WalkerTest {
 protected:
  void SetUp() override {
    WalkerTest::SetUp();
    int32_t figures[3];
    if (!TakeProcMem(GetCurrentProcessId(), figures)) GTEST_SKIP() << "the performance library is not registered";
  }
  void TearDown() override {
    CancelEvent.Hide();
    CancelFlag = false;
    WalkerTest::TearDown();
  }
  // A name no other test program of the machine uses, so its Linux process is ours.
  std::string Unique(const std::string& stem) const {
    return stem + std::to_string(GetCurrentProcessId()) + ".exe";
  }
  DWORD Rebuild() {
    Advance(1000);
    const DWORD start = GetTickCount();
    EXPECT_TRUE(DoProcessListOp(kProcRebuild, "").IsTrue());
    return GetTickCount() - start;
  }
  bool HasMemory(const std::string& name) {
    const int row = FindRow(PathOf(name));
    return row >= 0 && !ProgTable[row][kProgCommitted].empty();
  }
};

TEST_F(MemoryStallTest, AStoppedProgramNeitherHoldsTheWalkNorIsAskedAgainUntilItAnswers) {
  const std::string stopped = Unique("stall"), awake = Unique("awake");
  Start(stopped);
  Start(awake);
  Frozen freeze(PathOf(stopped));
  ASSERT_TRUE(freeze.frozen()) << "the fixture's Linux process was not stopped";
  AnswerWatch watch;

  const DWORD first = Rebuild();
  ASSERT_GE(FindRow(PathOf(stopped)), 0) << "a stopped program is still listed";
  EXPECT_FALSE(HasMemory(stopped)) << "its memory cells stay empty, as for a program that cannot be read";
  EXPECT_EQ(ProgTable[FindRow(PathOf(stopped))][kProgInstances], "1");
  EXPECT_TRUE(HasMemory(awake));
  EXPECT_LT(first, 3000u) << "one process that does not answer costs the walk its time-out, not more";
  EXPECT_EQ(UnansweredMemoryQuestions(), 1);

  // Still stopped: it is not asked again, so the next walk does not wait for it.
  const DWORD second = Rebuild();
  EXPECT_LT(second, first);
  EXPECT_FALSE(HasMemory(stopped));
  EXPECT_TRUE(HasMemory(awake));
  EXPECT_LT(watch.longest(), 1000u) << "the program did not answer for " << watch.longest() << " ms";

  // Once it runs again its question comes back, and the next walk reads it.
  freeze.Thaw();
  EXPECT_TRUE(testsupport::PumpUntil([] { return UnansweredMemoryQuestions() == 0; }, 10000));
  Rebuild();
  EXPECT_TRUE(HasMemory(stopped));
}

TEST_F(MemoryStallTest, CancelInTheStatusWindowStopsTheReading) {
  std::vector<std::unique_ptr<Frozen>> frozen;
  for (int i = 0; i < 3; ++i) {
    const std::string name = Unique("cancel" + std::to_string(i) + "_");
    Start(name);
    frozen.push_back(std::make_unique<Frozen>(PathOf(name)));
    ASSERT_TRUE(frozen.back()->frozen());
  }
  ASSERT_TRUE(CancelEvent.Load());
  // The user presses Cancel once the status window shows the reading.
  std::atomic<bool> clicked{false};
  std::thread user([&] {
    for (int i = 0; i < 500 && !clicked; ++i) {
      if (IsWindowVisible(CancelEvent.hwnd())) {
        // As the other status-window tests press it: the button's own click.
        PostMessageA(CancelEvent.btnCancel.hwnd(), BM_CLICK, 0, 0);
        clicked = true;
      }
      Sleep(10);
    }
  });
  AnswerWatch watch;
  const DWORD took = Rebuild();
  user.join();
  ASSERT_TRUE(clicked) << "the status window never showed";
  EXPECT_EQ(CancelEvent.lblCancel.Text(), "Reading Processes ... Please wait...");
  // Three stopped processes would cost three time-outs; Cancel ends the reading at the first.
  EXPECT_LT(took, 1800u);
  EXPECT_EQ(UnansweredMemoryQuestions(), 1);
  EXPECT_FALSE(CancelEvent.Visible());
  EXPECT_FALSE(CancelFlag) << "the reading clears the flag it owned";
  EXPECT_LT(watch.longest(), 1000u);
}

// Programs started by others end at random moments while the table is rebuilt again
// and again: many end in the middle of some walk.
TEST_F(MemoryStallTest, ProgramsEndedDuringManyWalksNeverStopTheProgramAnswering) {
  const std::string churn = Unique("churn");
  testsupport::Fixture* churners[3];
  for (auto*& churner : churners) churner = &Start(churn, "churn");
  AnswerWatch watch;
  DWORD longestWalk = 0;
  const int kRounds = 60;
  for (int round = 0; round < kRounds; ++round) {
    const DWORD took = Rebuild();
    if (took > longestWalk) longestWalk = took;
    testsupport::PumpUntilIdle();  // the questions that came meanwhile are answered, as the loop would
  }
  for (auto* churner : churners) churner->End();
  // A copy whose starter was ended while Wine was still starting it never gets as far
  // as watching its starter, and would outlive the test.
  for (int pid : testsupport::UnixPidsOf(PathOf(churn))) testsupport::SignalUnix(pid, "KILL");
  std::printf("%d walks, longest walk %lu ms, longest answer %lu ms, questions left unanswered %d\n", kRounds,
              longestWalk, watch.longest(), UnansweredMemoryQuestions());
  EXPECT_LT(watch.longest(), 1000u) << "the program did not answer for " << watch.longest() << " ms";
}

}  // namespace
