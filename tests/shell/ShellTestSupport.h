// What the frame tests share: the frame shown in front, and a pop-up menu read while
// it is open (the thread that opened it waits inside the menu's own loop).
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "LoopTestSupport.h"
#include "Menus.h"

namespace shelltest {

using testsupport::MenuCaptions;
using testsupport::MenuWatcher;
using testsupport::ShownMenu;

class FrameTest : public looptest::LoopTest {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Lets input sent so far reach its windows, and what it changed be painted.
  static void Settle();
  // Moves the pointer to the screen's corner and waits until no button bar of this
  // thread shows a button under the pointer (its hot look goes on a timer of its own).
  static void PointerAway();
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

}  // namespace shelltest
