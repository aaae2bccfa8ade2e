// The connection page: its rows for each view, option and record, Clear Data, the
// option colours, the graph, and the hints.
#include <windows.h>

#include <climits>

#include "ConInfoFrm.h"
#include "Input.h"
#include "LoopTestSupport.h"
#include "ModConInfo.h"
#include "ModMain.h"
#include "ModMainLoop.h"
#include "ModSettings.h"
#include "ModStartup.h"
#include "UiWait.h"
#include "VbRules.h"

namespace {

using Rows = std::vector<std::pair<std::string, std::string>>;

std::string Currency() {
  char symbol[20] = "";
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SCURRENCY, symbol, sizeof symbol);
  return symbol;
}

class PageTest : public looptest::LoopTest {
 protected:
  void SetUp() override {
    LoopTest::SetUp();
    CostDefinition = {60, 0.02f, 0.0f};
    ConInfoFrm.Load();
  }
  void TearDown() override {
    ConInfoFrm.Unload();
    LoopTest::TearDown();
  }
  Rows Shown(int view) {
    ConInfoFrm.ConnectionOtp[view]->SetValue(true);
    for (int i = 0; i < 3; ++i)
      if (i != view) ConInfoFrm.ConnectionOtp[i]->SetValue(false);
    ConInfoFrm.RefreshMe();
    Rows rows;
    for (int r = 0; r < ConInfoFrm.ConInfoLst.ItemCount(); ++r)
      rows.emplace_back(ConInfoFrm.ConInfoLst.ItemText(r), ConInfoFrm.ConInfoLst.SubItem(r, 1));
    return rows;
  }
};

const char kFrom[] = "01/02/2024 10:00:00";
const char kTo[] = "01/02/2024 11:00:00";
const char kNow[] = "(now)";  // "To" of the current connection: the present time

ConInfoRec Record(int32_t duration, int32_t activeMs, float cost = 0, int16_t times = 0) {
  ConInfoRec r;
  r.From = kFrom;
  r.To = kTo;
  r.Duration = duration;
  r.ActiveDuration = activeMs;
  r.Cost = cost;
  r.ConnectTimes = times;
  r.RecSpd = 1.5f;
  r.SndSpd = 0.25f;
  r.AvrgRecSpd = 1.111f;
  r.AvrgSndSpd = 2.222f;
  r.flag = "1";
  return r;
}

TEST_F(PageTest, EachViewShowsItsRows) {
  const std::string money = Currency() + " ";
  const Rows currentSpeeds = {{"Receiving Speed", "1.5 KB/sec"},       {"Sending Speed", "0.25 KB/sec"},
                              {"Total Speed", "1.75 KB/sec"},          {"Average Receiving Speed", "1.111 KB/sec"},
                              {"Average Sending Speed", "2.222 KB/sec"}, {"Average Total Speed", "3.33 KB/sec"}};
  auto with = [](Rows head, const Rows& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
  };
  const Rows lastAverages = {{"Average Receiving Speed", "1.111 KB/sec"},
                             {"Average Sending Speed", "2.222 KB/sec"},
                             {"Average Total Speed", "3.333 KB/sec"}};  // not rounded
  ConInfoRec none;
  struct Case {
    const char* what;
    int view, lanCon;
    ConInfoRec record;
    Rows rows;
  } cases[] = {
      {"modem, not connected", 0, 0, Record(0, 0), {{"(Not Connected)", ""}}},
      {"leased line at Duration 0", 0, 1, Record(0, 5000),
       with({{"Connection type", "LAN Connection"}, {"From", kFrom}, {"To", kNow}, {"Active Duration", "0:00:05"}},
            currentSpeeds)},
      {"modem, 90 s", 0, 0, Record(90, 45000),
       with({{"From", kFrom}, {"To", kNow}, {"Duration", "0:01:30"}, {"Active Duration", "0:00:45  50%"},
             {"Cost", money + "0.04"}},
            currentSpeeds)},
      {"modem, negative Duration", 0, 0, Record(-5, 0), {}},
      {"no last connection", 1, 0, none, {{"(none)", ""}}},
      {"last: an hour, half of it active", 1, 0, Record(3600, 1800000),
       with({{"From", kFrom}, {"To", kTo}, {"Duration", "1:00:00"}, {"Active Duration", "0:30:00  50%"},
             {"Cost", money + "1.2"}},
            lastAverages)},
      {"last after Clear Data", 1, 0, Record(0, 0), with({{"From", kFrom}, {"To", kTo}}, lastAverages)},
      {"last on the leased line", 1, 1, Record(0, 65000),
       with({{"From", kFrom}, {"To", kTo}, {"Active Duration", "0:01:05"}}, lastAverages)},
      {"no totals", 2, 0, Record(100, 29000, 1.0f, 0), {{"(none)", ""}}},
      {"a share of 0.29", 2, 0, Record(100, 29000, 0.05f, 1),
       {{"From", kFrom}, {"To", kTo}, {"Duration", "0:01:40"}, {"Active Duration", "0:00:29  29%"},
        {"Cost", money + "0.05"}, {"Connected", "1 times"}}},
      {"totals past 24.8 days", 2, 0, Record(2592000, INT_MAX, 12.5f, 3),
       {{"From", kFrom}, {"To", kTo}, {"Duration", "720:00:00"}, {"Active Duration", "596:31:23  83%"},
        {"Cost", money + "12.5"}, {"Connected", "3 times"}}},
      {"totals on the leased line", 2, 1, Record(0, 65000, 0, 2),
       {{"From", kFrom}, {"To", kTo}, {"Duration", "0:00:00"}, {"Active Duration", "0:01:05"},
        {"Cost", money + "0"}, {"Connected", "2 times"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    LANCon = static_cast<int16_t>(c.lanCon);
    CurCon = LastCon = GeneralConInfo = ConInfoRec();
    (c.view == 0 ? CurCon : c.view == 1 ? LastCon : GeneralConInfo) = c.record;
    SaveConInfo();  // the page reads the stored records again
    Rows rows = Shown(c.view);
    for (auto& row : rows)
      if (row.first == "To" && c.view == 0) row.second = kNow;
    EXPECT_EQ(rows, c.rows);
  }
}

TEST_F(PageTest, ClearDataAsksThenZeroesTheTotals) {
  LastCon = Record(3600, 1800000);
  GeneralConInfo = Record(7200, 3600000, 2.4f, 2);
  SaveConInfo();
  for (int reply : {IDCANCEL, IDOK}) {
    SCOPED_TRACE(reply == IDOK ? "OK" : "Cancel");
    shown.clear();
    answer = [reply](const looptest::ShownMessage&) { return reply; };
    ConInfoFrm.ResetDateBtn_Click();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text,
              "Are you sure you want to delete Last and General Internet Connection Information and restart "
              "logging them?");
    EXPECT_EQ(shown[0].style, 0x121u);
    LoadConInfo();
    if (reply == IDCANCEL) {
      EXPECT_EQ(GeneralConInfo.ConnectTimes, 2);
      EXPECT_EQ(LastCon.Duration, 3600);
    } else {
      EXPECT_EQ(Shown(2), (Rows{{"(none)", ""}}));
      EXPECT_EQ(Shown(1).size(), 5u) << "From, To and the averages stay";
      EXPECT_EQ(looptest::Option("Internet", "LastCon.Duration"), "0");
      EXPECT_EQ(looptest::Option("Internet", "GeneralConInfo.Cost"), "0");
      EXPECT_EQ(LastCon.From, kFrom);
    }
  }
}

TEST_F(PageTest, TheClickedOptionIsWhite) {
  for (int clicked : {1, 2, 0}) {
    ConInfoFrm.ConnectionOtp_Click(clicked);
    for (int i = 0; i < 3; ++i)
      EXPECT_EQ(ConInfoFrm.ConnectionOtp[i]->BackColor(), i == clicked ? RGB(255, 255, 255) : FormBackColor)
          << clicked << " " << i;
  }
}

TEST_F(PageTest, TheGraphShowsTheChosenHistoryAndSeries) {
  now += 1000;  // a history takes a sample once a second
  NetSpeedHist[4]->AddPoint(77);
  ConInfoFrm.NetSpeedCombo.SetListIndex(4);
  EXPECT_EQ(ConInfoFrm.GraphMaxLbl.Text(), " 77") << "choosing a history redraws";
  EXPECT_EQ(ConInfoFrm.NetSpeedGrph.Text(), " 77 KB/sec");
  // Another history with nothing in it reads 0.
  ConInfoFrm.NetSpeedCombo.SetListIndex(3);
  EXPECT_EQ(ConInfoFrm.NetSpeedGrph.Text(), " 0 KB/sec");
  // Two silent minutes leave gaps as the newest samples of the hour: nothing moves,
  // rather than a negative speed.
  now += 125000;
  NetSpeedHist[4]->AddPoint(40);
  ConInfoFrm.IntervalOpt0.SetValue(false);
  ConInfoFrm.IntervalOpt1.SetValue(true);
  ConInfoFrm.NetSpeedCombo.SetListIndex(4);
  ASSERT_LT(NetSpeedHist[4]->Get_Data(1, NetSpeedHist[4]->Get_Pointer(1)), 0) << "the newest is a gap";
  EXPECT_EQ(ConInfoFrm.GraphMaxLbl.Text(), vb::Str(NetSpeedHist[4]->Get_MaxValue(1)));
  EXPECT_EQ(ConInfoFrm.NetSpeedGrph.Text(), " 0 KB/sec");
}

TEST_F(PageTest, LoadSelectsTheFirstChoices) {
  EXPECT_TRUE(ConInfoFrm.Unload());
  EXPECT_FALSE(ConInfoFrm.Loaded());
  EXPECT_TRUE(ConInfoFrm.Load()) << GetLastError();
  EXPECT_EQ(ConInfoFrm.NetSpeedCombo.ListIndex(), 0);
  EXPECT_TRUE(ConInfoFrm.IntervalOpt0.Value());
  EXPECT_EQ(ConInfoFrm.SSTab1.Tab(), 0);
  EXPECT_EQ(ConInfoFrm.IntervalOpt2.Text(), "This 24 hours ");
  EXPECT_EQ(ConInfoFrm.ConnectionOtp0.BackColor(), RGB(255, 255, 255));
}

}  // namespace
