// The stall meter: every pass of a message loop and every message a window procedure
// of ours handles is timed, and any that keeps the thread from its messages for
// longer than kStallMs is remembered with what it was. A user feels such a pass as a
// frozen program, so the record names the message and window, or the loop step.
//
// The meter times the user-interface thread (the first that uses it).
//
// Measurements nest (a message sent from inside a handler, a pump inside a pass):
// a stall is charged to the innermost measurement that took it, and the ones around
// it count only what is left. Time in a nested modal loop that waits for the user (a
// question box, a menu, a modal window, the sizing loop) is no stall and is not
// counted in the measurements around it; each message that loop dispatches is
// measured on its own.
//
// The record lives in memory only and costs two clock reads per message.
#pragma once
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace ui {

// A pass or message longer than this is a stall.
constexpr DWORD kStallMs = 100;

struct Stall {
  DWORD ms = 0;
  std::string what;
  bool expected = false;  // provoked on purpose by a test
};

// Times one message to a window; describes it (message, window, form) only when it
// turns out to be a stall.
class StallScope {
 public:
  StallScope(HWND hwnd, UINT msg, WPARAM wp);
  // Times one step of a loop; `step` must outlive the scope (a literal).
  explicit StallScope(const char* step);
  ~StallScope();
  StallScope(const StallScope&) = delete;
  StallScope& operator=(const StallScope&) = delete;

 private:
  HWND hwnd_ = nullptr;
  UINT msg_ = 0;
  WPARAM wp_ = 0;
  const char* step_ = nullptr;
  bool active_ = false;  // on the thread the meter times
};

// While it lives, the thread waits for the user in a nested modal loop: the time is
// taken out of every measurement open around it.
class UserWait {
 public:
  UserWait();
  ~UserWait();
  UserWait(const UserWait&) = delete;
  UserWait& operator=(const UserWait&) = delete;
};
// The same as a pair of calls, for loops announced by two messages (the sizing and
// menu loops' enter and exit). An end without a begin is ignored.
void BeginUserWait();
void EndUserWait();

// While one lives, the stalls recorded are marked as provoked on purpose (a test
// that hangs a window or waits out a time-out).
class ExpectedStalls {
 public:
  ExpectedStalls();
  ~ExpectedStalls();
  ExpectedStalls(const ExpectedStalls&) = delete;
  ExpectedStalls& operator=(const ExpectedStalls&) = delete;
};

// Added to what each stall recorded from now on says (a test program names its
// running test); empty for none.
void SetStallContext(const std::string& context);

// The longest stalls of one kind recorded so far, longest first.
std::vector<Stall> LongestStalls(size_t count, bool expected);
// Every stall recorded so far, in order of recording (tests of the meter).
std::vector<Stall> RecordedStalls();
void ClearStalls();
// Prints the five longest of each kind, one per line:
// "stalls: <ms> ms <what>" and "stalls (expected): <ms> ms <what>".
void PrintStalls(FILE* out);

}  // namespace ui
