// What the report tests share: a clean report window opened on chosen sections.
#pragma once
#include <initializer_list>
#include <string>

#include "Logfrm.h"
#include "LoopTestSupport.h"

namespace reporttest {

class ReportTest : public looptest::LoopTest {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Loads the window (on the history alone), presses exactly these sections, builds.
  std::string Build(std::initializer_list<int> sections);
  // The part of a report from a heading up to the next "<" heading or the footer.
  static std::string Section(const std::string& text, const std::string& heading);
};

constexpr uint64_t kDayMs = 24ull * 3600 * 1000;

}  // namespace reporttest
