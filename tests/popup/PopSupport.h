// What the pop-up tests share: a clean "PopUp" section and hand-over values, the
// tests' catalogue, fixture browsers registered under App Paths, a movable tick and
// a notice that records what it is given.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Fixture.h"
#include "Registry.h"

namespace poptest {

struct Announced {
  std::string title;
  int16_t browser;
  HWND window;
  int16_t slot;
  uint32_t threadId;
  int16_t webDialog;
};

// The hand-over values the hook library writes ("Quillon", section "tmp").
std::string HandOver(const std::string& key);
void SetHandOver(const std::string& key, const std::string& value);
std::string HandleText(HWND window);

class PopTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A copy of a fixture program named `name` in the test's folder, registered under
  // App Paths by that name; its path.
  std::string InstallCopy(const std::string& source, const std::string& name);
  // A fixture browser started from the copy `name` (made and registered on first use).
  testsupport::Fixture& StartBrowser(const std::string& name, const std::string& mode = "browser");
  // The copy `name` as the only entry of the browser list, with the catalogue's captions.
  void WatchBrowser(const std::string& path);

  DWORD now = 1000000;  // the tick the scan sees
  // The program's notice, which the recording one stands in for.
  void (*noticeShowPop)(const std::string&, int16_t, HWND, int16_t, uint32_t, int16_t) = nullptr;
  std::vector<Announced> announced;
  std::unique_ptr<testsupport::FixtureFolder> folder;
  std::vector<std::unique_ptr<testsupport::Fixture>> browsers;
  std::vector<std::string> registered;
};

// The main loop with only the pop-up blocker's work for the scope: always online, no
// timed refresh, reminder or tracker, no sleep, no dial-up and no byte counts.
// Everything is put back at the end, the loop's seams included.
class PopOnlyLoop {
 public:
  explicit PopOnlyLoop(bool blockPopUps);
  ~PopOnlyLoop();
  PopOnlyLoop(const PopOnlyLoop&) = delete;
  PopOnlyLoop& operator=(const PopOnlyLoop&) = delete;

 private:
  int16_t lanCon_, refresh_, winReminder_;
  bool block_, toolbar_;
};

// A window's child of a class (the first), null when none.
HWND ChildOfClass(HWND parent, const char* cls);

// Points at "Open in New Window" of the fixture browser's menu with the mouse, as a
// user does: a click on the menu bar, then the pointer onto the item, until the
// browser has it highlighted.
void PointAtBrowserMenuOpen(HWND browser);
// And then clicks it.
void ClickBrowserMenuOpen(HWND browser);

// Pumps until the window's thread, told to stop answering, no longer answers a
// message sent to it (a message sent earlier is answered before a posted one).
bool PumpUntilHung(HWND window, DWORD timeoutMs = 5000);
// Pumps until all that was sent to the window so far has reached it: this thread's
// queue is empty and the window's thread has answered a message sent after it all.
void PumpUntilDelivered(HWND window);

}  // namespace poptest
