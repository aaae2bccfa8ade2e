// What the main-loop tests share: a clock the test moves, recorded probes, sounds and
// reminders, a clean settings store, and other programs that hold or try hot keys.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "Registry.h"
#include <vector>

namespace looptest {

struct ShownMessage {
  HWND owner;
  std::string text;
  UINT style;
};

struct Launch {
  std::string file, parameters;
  int show;
};

class LoopTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The fake clock and probes.
  DWORD now = 5000000;
  bool dialUp = false;
  uint32_t bytes[2] = {0, 0};  // 0 sent, 1 received
  int netProbes = 0;
  POINT cursor = {10, 10};
  std::vector<int> keysDown;
  std::vector<DWORD> sleeps;
  std::function<void(DWORD)> onSleep;
  std::vector<std::string> sounds;
  std::vector<ShownMessage> shown;
  std::function<int(const ShownMessage&)> answer = [](const ShownMessage&) { return IDOK; };
  std::vector<Launch> launched;

  void Pass() { MainLoopPassNoWait(); }
  static void MainLoopPassNoWait();
  // Removes the program's settings and its Run values.
  static void CleanStore();
};

// The real QuillonPro.exe as a user's program: known from an earlier run (no
// first-run question), no splash, a LAN connection. The test starts it into `pi`;
// the program is ended, its handles closed and its registration removed afterwards.
class RealProgramTest : public LoopTest {
 protected:
  void SetUp() override;
  void TearDown() override;
  std::string exe;
  PROCESS_INFORMATION pi = {};
};

using testsupport::DeleteRegValueAt;
using testsupport::kMissing;
using testsupport::Option;
using testsupport::RegText;
using testsupport::SetOption;
using testsupport::SetRegText;
constexpr char kRunPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// Another process tries to register the hot key: true when it could.
bool OtherProcessCanRegister(UINT modifiers, UINT key);

// Another process that holds a hot key until it is destroyed.
class HotKeyHolder {
 public:
  HotKeyHolder(UINT modifiers, UINT key);
  ~HotKeyHolder();
  bool Holding() const { return holding_; }

 private:
  PROCESS_INFORMATION pi_ = {};
  bool holding_ = false;
};

// Answers whether the shell still holds our tray icon (modifying it only works then).
bool TrayIconPresent(HWND window, UINT id = 1);

}  // namespace looptest
