// The plain readers and writers: description files, the rating's cell text, log
// lines and the quarantine list.
#include <gtest/gtest.h>

#include "ModProcMonParse.h"
#include "MonitorLogLine.h"

namespace {

TEST(RiskDescriptionsParse, EntriesCountsAndLastStaticCode) {
  // Count 3 with five pairs: slots 0-3 are filled, the fifth pair is not stored,
  // summed or counted, and a code listed before another decides nothing by size.
  RiskDescriptionFile f = ParseRiskDescriptions(
      "3\r\n150 40 10 Late static\r\nDetails one\r\n130 20 5 No window here\r\n\r\n"
      "601 70 15 Keys\r\nReads keys\r\n135 10 1 Fourth slot\r\nd4\r\n140 10 1000 Fifth\r\nd5\r\n");
  EXPECT_EQ(f.Count, 3);
  ASSERT_EQ(f.Table.size(), 4u);
  EXPECT_EQ(f.Table[0].Code, 150);
  EXPECT_EQ(f.Table[0].Description, "Late static");
  EXPECT_EQ(f.Table[0].Details, "Details one");
  EXPECT_EQ(f.Table[1].Description, "No window here");  // blanks inside stay
  EXPECT_EQ(f.Table[1].Details, "");
  EXPECT_EQ(f.Table[3].Code, 135);
  EXPECT_EQ(f.LastStaticRiskCode, 135);  // file order, not size
  EXPECT_EQ(f.WeightTotal, 10 + 5 + 15 + 1);
}

TEST(RiskDescriptionsParse, BadNumbersAndShortLines) {
  struct Case {
    const char* text;
    int count, code, score, bonus;
    const char* description;
  } cases[] = {
      {"-4\r\n130 1 1 x\r\n", 0, 130, 1, 1, "x"},          // a negative count reads as 0: one slot
      {"abc\r\n130 1 1 x\r\n", 0, 130, 1, 1, "x"},         // an unreadable count too
      {"99999\r\n130 1 1 x\r\n", 0, 130, 1, 1, "x"},       // a count past 16 bits
      {"1\r\n130 70000 2.5 x y\r\n", 1, 130, 0, 2, "x y"},  // a score past 16 bits; halves to even
      {"1\r\n131\r\n", 1, 131, 0, 0, ""},                  // fewer than four parts
      {"1\r\n12abc  7 desc\r\n", 1, 12, 0, 7, "desc"},     // prefix rule; a double blank is an empty part
      {"1\n132 5 5 lf only\nd\n", 1, 132, 5, 5, "lf only"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    RiskDescriptionFile f = ParseRiskDescriptions(c.text);
    EXPECT_EQ(f.Count, c.count);
    ASSERT_FALSE(f.Table.empty());
    EXPECT_EQ(f.Table[0].Code, c.code);
    EXPECT_EQ(f.Table[0].Score, c.score);
    EXPECT_EQ(f.Table[0].Bonus, c.bonus);
    EXPECT_EQ(f.Table[0].Description, c.description);
  }
  // An empty entry line keeps its slot and still takes the next line as details.
  RiskDescriptionFile f = ParseRiskDescriptions("2\r\n\r\nlost details\r\n130 1 1 x\r\n");
  EXPECT_EQ(f.Table[0].Code, 0);
  EXPECT_EQ(f.Table[0].Details, "lost details");
  EXPECT_EQ(f.Table[1].Code, 130);
  // Nothing at all: one empty slot.
  EXPECT_EQ(ParseRiskDescriptions("").Table.size(), 1u);
}

TEST(RiskRatingText, TextsAndColoursOfEachBand) {
  const uint32_t red = 0x0000FF, green = 0x00D200, pink = 0x9D9DFF;
  struct Case {
    const char* cell;
    bool level;
    const char* text;
    uint32_t colour;
  } cases[] = {
      {"0", false, " 00% ", green},
      {"5", false, " 05% ", green},
      {"5", true, " 05% .......... (Not harmful)", green},
      {"15", true, " 15% ||........ (Not harmful)", green},
      {"25", true, " 25% ||||........ (Not harmful)", green},
      {"45", true, " 45% ||||||||...... (Doesn't seem harmful)", pink},
      {"45", false, " 45% ||||||||", pink},
      {"64", true, " 64% ||||||||||||.... (Maybe harmful)", red},
      {"100", false, "100% ||||||||||||||||||||", red},
      {"100", true, "100% |||||||||||||||||||| (Probably dangerous)", red},
      {" 81 ", true, " 81% ||||||||||||||||.. (Probably dangerous)", red},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.cell) + (c.level ? " with level" : ""));
    RiskRatingCell cell = FormatRiskRating(c.cell, c.level);
    EXPECT_EQ(cell.text, c.text);
    EXPECT_EQ(cell.foreColour, c.colour);
    EXPECT_TRUE(cell.bold);
  }
  EXPECT_EQ(RiskLevelText(30), "Not harmful");
  EXPECT_EQ(RiskLevelText(31), "Doesn't seem harmful");
  EXPECT_EQ(RiskLevelText(63), "Doesn't seem harmful");
  EXPECT_EQ(RiskLevelText(80), "Maybe harmful");
}

TEST(MonitorLogLine, FormatAndSplit) {
  EXPECT_EQ(FormatMonitorLogLine(7, 5, 9, 201, "C:\\a b.txt"), "07:05:09 201 C:\\a b.txt\r\n");
  // Line ends and control characters in the rest cannot split or blank a record.
  EXPECT_EQ(FormatMonitorLogLine(23, 59, 59, 305, "a\r\nb\tc"), "23:59:59 305 a  b c\r\n");
  EXPECT_EQ(FormatMonitorLogLine(0, 0, 0, 101, ""), "00:00:00 101 \r\n");

  std::string timeText = "old", rest = "old rest";
  int16_t code = 7;
  SplitMonitorLogLine("10:00:00 305", timeText, code, rest);  // only a time and a code
  EXPECT_EQ(timeText, "10:00:00");
  EXPECT_EQ(code, 305);
  EXPECT_EQ(rest, "old rest");
  SplitMonitorLogLine("10:00:01 x1 new rest here", timeText, code, rest);  // a code that is no number
  EXPECT_EQ(code, 305);
  EXPECT_EQ(rest, "new rest here");
  SplitMonitorLogLine("10:00:02 99999 r", timeText, code, rest);  // past 16 bits
  EXPECT_EQ(code, 305);
  SplitMonitorLogLine("lonely", timeText, code, rest);
  EXPECT_EQ(timeText, "lonely");
  EXPECT_EQ(rest, "r");
}

TEST(QuarantineListCodec, RecordsAndCounts) {
  std::string empty = EncodeQuarantineList({});
  ASSERT_EQ(empty.size(), 259u);
  EXPECT_EQ(empty, std::string(259, '\0'));
  std::string two = EncodeQuarantineList({"C:\\a.exe", std::string(255, 'x')});
  ASSERT_EQ(two.size(), 3 * 259u);
  EXPECT_EQ(two.substr(259, 8), "C:\\a.exe");
  EXPECT_EQ(two[259 + 254], ' ');
  for (int record = 0; record < 3; ++record) EXPECT_EQ(two.substr(record * 259 + 255, 4), std::string("\2\0\0\0", 4));
  EXPECT_EQ(DecodeQuarantineList(two), (std::vector<std::string>{"C:\\a.exe", std::string(255, 'x')}));

  auto withCount = [&](int32_t count, size_t keep) {
    std::string bytes = two.substr(0, keep);
    for (int i = 0; i < 4; ++i) bytes[255 + i] = static_cast<char>((static_cast<uint32_t>(count) >> (8 * i)) & 0xFF);
    return DecodeQuarantineList(bytes);
  };
  EXPECT_EQ(withCount(0x7FFFFFFF, two.size()).size(), 2u);  // huge: only what the file holds
  EXPECT_EQ(withCount(-1, two.size()).size(), 0u);
  EXPECT_EQ(withCount(2, 2 * 259 + 100).size(), 1u);        // ragged: the complete records
  EXPECT_EQ(withCount(2, 200).size(), 0u);
  EXPECT_TRUE(DecodeQuarantineList("").empty());
}

}  // namespace
