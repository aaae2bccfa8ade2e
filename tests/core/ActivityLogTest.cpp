// The activity log's comparison of two snapshots and its bounded history.
#include <gtest/gtest.h>

#include "ActivityLog.h"

using activitylog::AppendHistory;
using activitylog::Compare;
using activitylog::Item;
using activitylog::kProcessWords;
using activitylog::kWindowWords;

namespace {

std::vector<std::string> EntriesOf(const std::vector<Item>& items) {
  std::vector<std::string> entries;
  for (const Item& item : items) entries.push_back(activitylog::EntryOf(item));
  return entries;
}

}  // namespace

TEST(ActivityLogCompare, TableOfSnapshots) {
  struct Case {
    const char* what;
    std::vector<Item> before, now;
    const activitylog::Words* words;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"same processes", {{"c:\\a.exe", 12}, {"c:\\b.exe", 123}}, {{"c:\\b.exe", 123}, {"c:\\a.exe", 12}},
       &kProcessWords, {}},
      // 12 inside "(123)" is not process 12.
      {"id 12 beside 123", {{"c:\\b.exe", 123}}, {{"c:\\b.exe", 123}, {"c:\\a.exe", 12}}, &kProcessWords,
       {"c:\\a.exe (12) started at: 10:00:01"}},
      {"id 123 after 12 ended", {{"c:\\a.exe", 12}}, {{"c:\\b.exe", 123}}, &kProcessWords,
       {"c:\\b.exe (123) started at: 10:00:01", "c:\\a.exe (12) terminated at: 10:00:01"}},
      // Digits of the path are not an id.
      {"digits in a path", {{"c:\\v456\\x.exe", 1}}, {{"c:\\v456\\x.exe", 1}, {"c:\\y.exe", 456}},
       &kProcessWords, {"c:\\y.exe (456) started at: 10:00:01"}},
      {"digits in a title", {{"Room 77 (2)", 9}}, {{"Room 77 (2)", 9}, {"Other", 77}}, &kWindowWords,
       {"Other (77) created at: 10:00:01"}},
      // A title holding "|" is still seen.
      {"title with a bar", {{"a|b", 5}, {"Gone|", 6}}, {{"a|b", 5}}, &kWindowWords,
       {"Gone| (6) closed at: 10:00:01"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    activitylog::Comparison result = Compare(EntriesOf(c.before), c.now, *c.words, "10:00:01", true);
    EXPECT_EQ(result.lines, c.lines);
    EXPECT_EQ(result.entries, EntriesOf(c.now));
  }
}

TEST(ActivityLogCompare, FirstTickAndEmptySnapshots) {
  // After a start the previous list is one empty entry: nothing is compared.
  activitylog::Comparison first = Compare({""}, {{"c:\\a.exe", 4}}, kProcessWords, "t", true);
  EXPECT_TRUE(first.lines.empty());
  EXPECT_EQ(first.entries, std::vector<std::string>{"c:\\a.exe (4)|"});
  // An empty window table is a failed enumeration, not every window closing.
  const std::vector<std::string> before = {"A (1)|", "B (2)|"};
  activitylog::Comparison empty = Compare(before, {}, kWindowWords, "t", true);
  EXPECT_TRUE(empty.lines.empty());
  EXPECT_EQ(empty.entries, before);
  // Entries without an id never match, and report vanished.
  activitylog::Comparison odd = Compare({"no id|", "x (12a)|"}, {{"x", 12}}, kProcessWords, "t", true);
  EXPECT_EQ(odd.lines, (std::vector<std::string>{"x (12) started at: t", "no id terminated at: t",
                                                 "x (12a) terminated at: t"}));
}

TEST(ActivityLogCompare, EntryIdTakesTheLastPair) {
  uint64_t id = 0;
  EXPECT_TRUE(activitylog::EntryId("Doc (3) - Editor (77)|", id));
  EXPECT_EQ(id, 77u);
  EXPECT_TRUE(activitylog::EntryId("x (4294967295)*", id));
  EXPECT_EQ(id, 4294967295u);
  for (const char* entry : {"", "|", "x ()|", "x (", "x (-1)|", "x (99999999999999999999999)|"})
    EXPECT_FALSE(activitylog::EntryId(entry, id)) << entry;
}

TEST(ActivityLogHistory, KeepsTheNewestLines) {
  struct Case {
    int maxLines;
    int appended;
    std::vector<std::string> kept;
  };
  const Case cases[] = {
      {25, 26, {}},  // filled below: lines 2 to 26
      {1, 3, {"line 3"}},
      {0, 3, {"line 3"}},
      {-3, 3, {"line 3"}},
      {3, 2, {"line 1", "line 2"}},
  };
  for (Case c : cases) {
    SCOPED_TRACE(c.maxLines);
    if (c.kept.empty())
      for (int n = 2; n <= 26; ++n) c.kept.push_back("line " + std::to_string(n));
    std::vector<std::string> history(1);  // as a start leaves it
    int16_t count = 0;
    for (int n = 1; n <= c.appended; ++n) AppendHistory(history, count, "line " + std::to_string(n), c.maxLines);
    EXPECT_EQ(count, static_cast<int16_t>(c.kept.size()));
    history.resize(static_cast<size_t>(count));
    EXPECT_EQ(history, c.kept);
  }
}
