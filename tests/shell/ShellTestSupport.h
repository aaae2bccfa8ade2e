// What the frame tests share: the frame shown in front, and a pop-up menu read while
// it is open (the thread that opened it waits inside the menu's own loop).
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "LoopTestSupport.h"

namespace shelltest {

class FrameTest : public looptest::LoopTest {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Lets input sent so far reach its windows.
  static void Settle(DWORD ms = 200);
};

// A pop-up menu as it was shown: its items and where it was.
struct ShownMenu {
  bool seen = false;
  std::vector<std::string> items;  // captions, "-" for separators
  std::vector<UINT> states;
  RECT rect = {};
};

// Watches for the next pop-up menu from a helper thread, reads it, then presses the
// keys (real input; Esc closes it). Wait pumps this thread's messages meanwhile, so a
// menu that this thread opens from a message can appear.
class MenuWatcher {
 public:
  explicit MenuWatcher(std::vector<WORD> keys = {VK_ESCAPE}, std::function<void()> whileShown = nullptr);
  ~MenuWatcher();
  const ShownMenu& Wait();

 private:
  static DWORD WINAPI Run(LPVOID self);
  std::vector<WORD> keys_;
  std::function<void()> whileShown_;  // runs on the helper thread while the menu is up
  ShownMenu menu_;
  HANDLE thread_ = nullptr;
};

// A window of the test's own that runs an action when a posted message reaches it,
// wherever the thread pumps (inside a tick's events, a modal loop).
class PostedAction {
 public:
  explicit PostedAction(std::function<void()> action);
  ~PostedAction();
  void Post();
  bool ran = false;

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  std::function<void()> action_;
  HWND hwnd_ = nullptr;
};

// The window as the screen shows it, saved as a picture file for a person to look at
// when QP_SHOTS names a folder (a Windows path); nothing otherwise.
void SaveShot(HWND hwnd, const std::string& name);

// Captions of a real menu, by position (with shortcut texts, "-" for separators).
std::vector<std::string> MenuCaptions(HMENU menu);

}  // namespace shelltest
