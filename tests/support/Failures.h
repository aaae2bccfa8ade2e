// Failures the window layer stops at a boundary (a handler that threw) fail the test
// that caused them. A test that makes a handler throw on purpose says how many it
// expects with an ExpectFailures guard.
#pragma once
#include <string>
#include <vector>

namespace testsupport {

// Turns every report of the layer into a test failure; the test entry installs it.
void InstallFailureHook();

// While it lives, reports are counted instead of failing the test; when it ends, the
// count must be `expected`.
class ExpectFailures {
 public:
  explicit ExpectFailures(int expected);
  ~ExpectFailures();
  ExpectFailures(const ExpectFailures&) = delete;
  ExpectFailures& operator=(const ExpectFailures&) = delete;

  int count() const { return static_cast<int>(seen_.size()); }
  const std::vector<std::string>& seen() const { return seen_; }

 private:
  friend void Report(const char* what);
  int expected_;
  std::vector<std::string> seen_;
  ExpectFailures* outer_;
};

}  // namespace testsupport
