// The rating over description tables the tests set, with real monitor logs; the
// missing file; the shipped file; the categories; a rating drawn in a real list.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <regex>
#include <set>

#include "ListView.h"
#include "ModMainPlatform.h"
#include "ModProcMon.h"
#include "ModSettings.h"
#include "ProcMonCls.h"
#include "ProgramState.h"
#include "Seams.h"
#include "UiWait.h"
#include "Window.h"

namespace {

// A program nobody runs, so no static code can hold for it unless its table lists one.
const char kRated[] = "C:\\nowhere\\rated.exe";

void WriteFileText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

class RatingTest : public testing::Test {
 protected:
  void SetUp() override {
    ResetProgramState();
    CreateDirectoryA(RiskMonitorLogFolder().c_str(), nullptr);
    messages_ = 0;
    seams::MessageBoxFn = [this](HWND, const std::string& text, const std::string&, UINT) {
      ++messages_;
      lastMessage_ = text;
      return IDOK;
    };
  }
  void TearDown() override {
    DeleteFileA(ProcMonCls::LogPathOf(kRated).c_str());
    seams::Reset();
    ResetProgramState();
  }
  // Puts the program under the monitor with these log lines.
  void Monitor(const std::string& lines) {
    WriteFileText(ProcMonCls::LogPathOf(kRated), lines);
    auto history = std::make_unique<HistogramCls>();
    history->ExtraInfo = "c:\\NOWHERE\\Rated.exe";  // the path compares without case
    MonitoredProgHist.push_back(std::move(history));
    MonitoredProgCount = 1;
  }
  int messages_ = 0;
  std::string lastMessage_;
};

// Max 70 (201), a cap of 30 (202), 50 (203), 20 (204); bonuses 10, 0, 10, 20 of 40.
const char kTable[] =
    "6\r\n101 0 0 Start\r\n\r\n102 0 0 Stop\r\n\r\n201 70 10 Seventy\r\nd\r\n202 -30 0 Cap\r\nd\r\n"
    "203 50 10 Fifty\r\nd\r\n204 20 20 Twenty\r\nd\r\n";

TEST_F(RatingTest, MaxAndAccumulatedPartsFoldInOrder) {
  UseRiskDescriptions(kTable);
  float max = 0, acc = 0;
  AddRiskScore(201, max, acc);
  EXPECT_FLOAT_EQ(max, 70);
  EXPECT_FLOAT_EQ(acc, 20);  // 10 * 80 / 40
  AddRiskScore(202, max, acc);
  EXPECT_FLOAT_EQ(max, 30);  // the cap lowers Max and leaves Acc
  EXPECT_FLOAT_EQ(acc, 20);
  AddRiskScore(203, max, acc);
  EXPECT_FLOAT_EQ(max, 50);  // a later score raises it again
  EXPECT_FLOAT_EQ(acc, 40);
  for (int16_t nothing : {101, 102, 119, 305, 0}) AddRiskScore(nothing, max, acc);
  EXPECT_FLOAT_EQ(max, 50);
  EXPECT_FLOAT_EQ(acc, 40);
}

TEST_F(RatingTest, RatingsOfLogsWorkedOutByHand) {
  struct Case {
    const char* what;
    const char* table;
    std::string log;
    int rating;
  } cases[] = {
      {"70, a cap of 30, then 50: Max 50 and Acc 40", kTable,
       "10:00:00 201 a\r\n10:00:01 202 b\r\n10:00:02 203 c\r\n", 90},
      {"a code logged ten times counts once", kTable, [] {
         std::string log;
         for (int i = 0; i < 10; ++i) log += "10:00:00 204 again\r\n";
         return log;
       }(), 20 + 40},
      {"marks and unknown codes add nothing", kTable,
       "10:00:00 101 Time: x\r\n10:00:01 305 unknown\r\n10:00:02 102 Time: y\r\n", 0},
      {"no log lines at all", kTable, "", 0},
      {"a bonus total of 0 rates by Max alone", "1\r\n201 70 0 Seventy\r\nd\r\n", "10:00:00 201 a\r\n", 70},
      {"bonuses past 409 do not wrap", "2\r\n201 10 500 a\r\nd\r\n202 10 500 b\r\nd\r\n",
       "10:00:00 201 a\r\n", 10 + 40},
      {"count 3 with five pairs: slot 3 and the fifth pair are not searched",
       "3\r\n201 10 10 a\r\nd\r\n202 10 10 b\r\nd\r\n203 10 10 c\r\nd\r\n204 90 10 d\r\nd\r\n205 90 10 e\r\nd\r\n",
       "10:00:00 204 x\r\n10:00:01 205 y\r\n", 0},
      {"over 100 is 100", "1\r\n201 90 1 a\r\nd\r\n", "10:00:00 201 a\r\n", 100},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ResetProcMonState();
    UseRiskDescriptions(c.table);
    Monitor(c.log);
    EXPECT_EQ(GetRiskRating(kRated), c.rating);
  }
  // A program that is not monitored reads no log.
  ResetProcMonState();
  UseRiskDescriptions(kTable);
  WriteFileText(ProcMonCls::LogPathOf(kRated), "10:00:00 201 a\r\n");
  EXPECT_EQ(GetRiskRating(kRated), 0);
}

TEST_F(RatingTest, StaticCodesUpToTheLastListedOne) {
  // 131 (no company name) holds for a file that is not there, as does 130 (no
  // window); 150 then 131 then 130 make 130 the last static code, so 131 is never
  // asked.
  UseRiskDescriptions("3\r\n150 99 0 Never\r\nd\r\n131 90 0 No company\r\nd\r\n130 40 0 No window\r\nd\r\n");
  EXPECT_EQ(LastStaticRiskCode, 130);
  EXPECT_EQ(GetRiskRating(kRated), 40);
  ResetProcMonState();
  UseRiskDescriptions("2\r\n130 40 0 No window\r\nd\r\n131 90 0 No company\r\nd\r\n");
  EXPECT_EQ(GetRiskRating(kRated), 90);
}

TEST_F(RatingTest, ScoresDescriptionsAndDetails) {
  UseRiskDescriptions("4\r\n201 -30 5 Capped\r\nd\r\n201 50 3 Second\r\n\r\n202 51 5 Halves\r\nlong text\r\n"
                      "203 10 2 Last\r\n\r\n");
  EXPECT_EQ(GetRiskScore(201), 51);  // the first entry with a positive score: 50 + 0.6
  EXPECT_EQ(GetRiskScore(202), 52);  // 51 + 1.0
  EXPECT_EQ(GetRiskScore(203), 10);  // 10 + 0.4
  EXPECT_EQ(GetRiskScore(999), 0);
  EXPECT_EQ(GetRiskDescription(201), "Capped");
  EXPECT_EQ(GetRiskDetails(202), "long text");
  EXPECT_EQ(GetRiskDetails(203), "Last");  // no details: the description
  EXPECT_EQ(GetRiskDetails(999), "");
  EXPECT_EQ(FindRiskDescription(999), -1);
  // A second load keeps the table and its total.
  const int32_t total = RiskWeightTotal;
  LoadRiskDescriptions();
  EXPECT_EQ(RiskWeightTotal, total);
  EXPECT_EQ(total, 15);
}

TEST_F(RatingTest, AMissingFileSaysSoOnceAndRatesNothing) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  RiskDescriptionsFolder = std::string(temp) + "qp_no_descriptions";
  CreateDirectoryA(RiskDescriptionsFolder.c_str(), nullptr);
  Monitor("10:00:00 201 a\r\n");
  EXPECT_EQ(GetRiskRating(kRated), 0);
  EXPECT_EQ(messages_, 1);
  EXPECT_EQ(lastMessage_, "Can't find file RiskDescriptions.dat");
  EXPECT_EQ(GetRiskRating("C:\\windows\\system32\\notepad.exe"), 0);
  EXPECT_EQ(GetRiskScore(201), 0);
  EXPECT_EQ(GetRiskDescription(201), "");
  EXPECT_EQ(LastStaticRiskCode, 0);
  EXPECT_EQ(messages_, 1);
  RemoveDirectoryA(RiskDescriptionsFolder.c_str());
}

TEST_F(RatingTest, TheShippedFileCoversEveryLoggedCode) {
  LoadRiskDescriptions();
  EXPECT_EQ(messages_, 0);
  EXPECT_EQ(LastStaticRiskCode, 133);
  EXPECT_GT(RiskWeightTotal, 0);
  // Every event code the hook library's header names has an entry with a positive score.
  std::ifstream header(std::string(QP_GENERATED_DIR) + "/RiskEventCodes.h");
  ASSERT_TRUE(header) << QP_GENERATED_DIR;
  std::string text((std::istreambuf_iterator<char>(header)), std::istreambuf_iterator<char>());
  std::set<int> codes;
  std::regex code(R"(= (\d{3}),)");
  for (std::sregex_iterator it(text.begin(), text.end(), code), end; it != end; ++it)
    codes.insert(std::stoi((*it)[1]));
  EXPECT_GE(codes.size(), 13u);
  for (int c : codes) {
    SCOPED_TRACE(c);
    EXPECT_GE(FindRiskDescription(static_cast<int16_t>(c)), 0);
    EXPECT_GT(GetRiskScore(static_cast<int16_t>(c)), 0);
  }
  for (int16_t c : {101, 102, 120, 121, 130, 131, 132, 133}) EXPECT_GE(FindRiskDescription(c), 0) << c;
}

TEST(RiskCategories, CodesBelongStrictlyInsideTheirHundred) {
  ResetProcMonState();
  InitRiskCategories();
  EXPECT_EQ(RiskCategories[0].Name, "File System Operations");
  EXPECT_EQ(RiskCategories[4].BaseCode, 600);
  for (RiskCategory& category : RiskCategories) category.Shown = false;
  EXPECT_FALSE(IsRiskCategoryHidden(200));  // a base belongs to no category
  EXPECT_TRUE(IsRiskCategoryHidden(250));
  EXPECT_TRUE(IsRiskCategoryHidden(650));
  EXPECT_FALSE(IsRiskCategoryHidden(700));
  RiskCategories[0].Shown = true;
  EXPECT_FALSE(IsRiskCategoryHidden(250));
  InitRiskCategories();  // a second call keeps the switches
  EXPECT_TRUE(IsRiskCategoryHidden(650));
  ResetProcMonState();
}

// Counts the pixels of a colour inside a rectangle of a window's client area.
int CountPixels(HWND hwnd, const RECT& area, COLORREF colour) {
  HDC dc = GetDC(hwnd);
  int count = 0;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x)
      if (GetPixel(dc, x, y) == colour) ++count;
  ReleaseDC(hwnd, dc);
  return count;
}

TEST(ShowRiskRatingCell, ADrawnCellIsRedAndBold) {
  ui::Window form({.caption = "Rating", .width = 400, .height = 120});
  ui::ListView list(form, {0, 0, 400, 120});
  list.AddColumn("K0", "Program", 100);
  list.AddColumn("K1", "Risk", 280);
  list.AddItem("prog.exe");
  list.SetSubItem(0, 1, "90");
  list.AddItem("other.exe");
  list.SetSubItem(1, 1, "90");
  ShowRiskRating(list, 0, 1, true);
  EXPECT_EQ(list.SubItem(0, 1), " 90% ||||||||||||||||||. (Probably dangerous)");
  EXPECT_EQ(list.CellForeColor(0, 1), RGB(255, 0, 0));
  EXPECT_TRUE(list.CellBold(0, 1));
  EXPECT_FALSE(list.CellBold(0, 0));
  // The same text in plain red on the next row: bold strokes cover more pixels.
  list.SetSubItem(1, 1, list.SubItem(0, 1));
  list.SetCellStyle(1, 1, RGB(255, 0, 0), false);
  form.Show();
  HWND control = list.hwnd();
  ASSERT_TRUE(control);
  UpdateWindow(control);
  testsupport::PumpUntilIdle();
  RECT boldCell = {}, plainCell = {};
  ListView_GetSubItemRect(control, 0, 1, LVIR_LABEL, &boldCell);
  ListView_GetSubItemRect(control, 1, 1, LVIR_LABEL, &plainCell);
  int bold = CountPixels(control, boldCell, RGB(255, 0, 0));
  int plain = CountPixels(control, plainCell, RGB(255, 0, 0));
  EXPECT_GT(plain, 20);
  EXPECT_GT(bold, plain);
  form.Unload();
}

}  // namespace
