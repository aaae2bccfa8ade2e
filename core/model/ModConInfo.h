// Connection statistics (the last connection and the totals) kept in section
// "Internet", the programs launched when a connection starts, and the cost rule.
#pragma once
#include <cstdint>
#include <string>

struct ConInfoRec {
  std::string From, To;
  int32_t Duration = 0;        // seconds
  int32_t ActiveDuration = 0;  // milliseconds during which data moved
  float Cost = 0;
  int16_t ConnectTimes = 0;
  float RecSpd = 0, SndSpd = 0;
  float AvrgRecSpd = 0, AvrgSndSpd = 0, AvrgTotalSpd = 0;
  std::string flag;  // "1" once the record holds a connection
};

extern ConInfoRec CurCon;          // the connection in progress, never stored
extern ConInfoRec LastCon;         // the last finished connection
extern ConInfoRec GeneralConInfo;  // totals over all connections

void LoadConInfo();
void SaveConInfo();
// Op 1 stores the connection page's list, 2 fills it, 3 finds an enabled Path,
// 4 starts every enabled program that is not running. True only when op 3 found it.
bool DoIntProgOp(int op, const std::string& path = "");
// The price of a connection of that many seconds: whole charging units (at least
// one) plus the fixed price, rounded to two decimals.
float CalcConCost(int32_t seconds);

// True when a running process has this executable path (any case).
bool IsProgramRunning(const std::string& path);

// Gives this module's state its start values again.
void ResetConInfoState();
