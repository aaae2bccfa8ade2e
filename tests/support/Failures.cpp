#include "Failures.h"

#include <gtest/gtest.h>

#include "Failure.h"

namespace testsupport {
namespace {
ExpectFailures* current = nullptr;
}  // namespace

void Report(const char* what) {
  const std::string text = what ? what : "(no description)";
  if (current)
    current->seen_.push_back(text);
  else
    ADD_FAILURE() << "a handler failed: " << text;
}

void InstallFailureHook() { ui::SetFailureHook(Report); }

ExpectFailures::ExpectFailures(int expected) : expected_(expected), outer_(current) { current = this; }

ExpectFailures::~ExpectFailures() {
  current = outer_;
  std::string all;
  for (const std::string& s : seen_) all += "\n  " + s;
  EXPECT_EQ(count(), expected_) << "failures reported:" << all;
}

}  // namespace testsupport
