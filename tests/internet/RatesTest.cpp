// The connection clock's rates and records where counters wrap, reads fail and
// totals grow for weeks.
#include <climits>

#include "LoopTestSupport.h"
#include "ModConInfo.h"
#include "ModMainLoop.h"
#include "ModSettings.h"

namespace {

class RatesTest : public looptest::LoopTest {
 protected:
  // Starts the leased line with these counters as the base.
  void StartLeasedLine(uint32_t recv, uint32_t sent) {
    LANCon = 1;
    bytes[1] = recv;
    bytes[0] = sent;
    Pass();
    ASSERT_FALSE(LanStartPending);
  }
  // One rate interval of a second later, with the received counter at `recv`.
  void Interval(uint32_t recv, DWORD ms = 1000) {
    bytes[1] = recv;
    now += ms;
    Pass();
  }
  int16_t Pointer() const { return NetSpeedHist[0]->Get_Pointer(0); }
};

TEST_F(RatesTest, ACounterWrappingPast2To32GivesNoSampleThenTheRightRate) {
  StartLeasedLine(0xFFFF0000u, 5000);
  Interval(0xFFFF0000u + 10240);
  EXPECT_FLOAT_EQ(CurCon.RecSpd, 10.0f);
  const int16_t pointer = Pointer();
  Interval(0x1000u);  // wrapped
  EXPECT_EQ(Pointer(), pointer) << "no sample at the wrap";
  EXPECT_FLOAT_EQ(CurCon.RecSpd, 10.0f);
  Interval(0x1000u + 20480);
  EXPECT_FLOAT_EQ(CurCon.RecSpd, 20.0f);
}

TEST_F(RatesTest, AFailedReadBetweenGoodOnesMakesNoSpike) {
  StartLeasedLine(4000000000u, 5000);
  Interval(4000000000u + 10240);
  ASSERT_FLOAT_EQ(CurCon.RecSpd, 10.0f);
  const int16_t pointer = Pointer();
  Interval(0);  // the table could not be read
  EXPECT_EQ(Pointer(), pointer) << "no sample from a failed read";
  EXPECT_EQ(LastRecvBytes, 4000000000u + 10240) << "0 never becomes the base";
  const int probes = netProbes;
  now += 100;
  Pass();
  EXPECT_EQ(netProbes, probes) << "a failed read is tried again only after a rate interval";
  EXPECT_GT(NextTaskDelay(), 600u) << "and the loop sleeps meanwhile";
  now -= 100;
  // The interval runs on from the last good read: 20480 bytes over two seconds.
  Interval(4000000000u + 10240 + 20480);
  EXPECT_FLOAT_EQ(CurCon.RecSpd, 10.0f);
  EXPECT_LT(NetSpeedHist[0]->Get_MaxValue(0), 100) << "the graph keeps its scale";
}

TEST_F(RatesTest, AFailedReadAtConnectIsNoBase) {
  StartLeasedLine(0, 0);
  bytes[0] = 5000;
  Interval(3000000000u);  // the first good read: every byte since boot
  EXPECT_FLOAT_EQ(CurCon.RecSpd, 0.0f) << "no interval yet";
  Interval(3000000000u + 10240);
  EXPECT_FLOAT_EQ(CurCon.RecSpd, 10.0f);
}

TEST_F(RatesTest, LeasedLineRunsKeepTheFirstFromOfTheTotals) {
  for (const char* from : {"01/01/2024 08:00:00", "02/01/2024 08:00:00"}) {
    CurCon.From = from;
    CurCon.flag = "1";
    OnInternetDisconnected();
  }
  EXPECT_EQ(GeneralConInfo.From, "01/01/2024 08:00:00");
  EXPECT_EQ(GeneralConInfo.ConnectTimes, 2);
}

TEST_F(RatesTest, ActiveTimeStopsAtTheLargestLong) {
  StartLeasedLine(1000, 1000);
  CurCon.ActiveDuration = INT_MAX - 500;
  Interval(2000);
  Interval(3000);
  EXPECT_EQ(CurCon.ActiveDuration, INT_MAX);
  GeneralConInfo.ActiveDuration = INT_MAX - 10;
  OnInternetDisconnected();
  EXPECT_EQ(GeneralConInfo.ActiveDuration, INT_MAX);
  LoadConInfo();
  EXPECT_EQ(GeneralConInfo.ActiveDuration, INT_MAX) << "stored as it stands";
}

}  // namespace
