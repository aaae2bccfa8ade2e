#include "ModConInfo.h"
#include "ModConInfoParse.h"
#include "ModMainPlatform.h"
#include "ListView.h"
#include "ViewBindings.h"

#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cmath>

#include "ModProgInfo.h"
#include "ModSettings.h"
#include "Seams.h"
#include "VbRules.h"

ConInfoRec CurCon;
ConInfoRec LastCon;
ConInfoRec GeneralConInfo;

// The start values of this module's state, given at program start and again by
// ResetProgramState.
void ResetConInfoState() {
  CurCon = ConInfoRec();
  LastCon = ConInfoRec();
  GeneralConInfo = ConInfoRec();
}
namespace {
const bool resetConInfoStateDone = (ResetConInfoState(), true);
}  // namespace

namespace {

const char kInternet[] = "Internet";

}  // namespace

void LoadConInfo() {
  // A value that does not convert takes the missing value of its key, like a
  // missing one, and the rest is still read.
  SettingsReader r(ProgramTitle, kInternet);
  IntProgCount = r.Int16("IntProgCount", 0);
  if (IntProgCount < 0) IntProgCount = 0;
  LastCon.From = r.Text("LastCon.From", "");
  LastCon.To = r.Text("LastCon.To", "");
  LastCon.Duration = r.Int32("LastCon.Duration", 0);
  LastCon.ActiveDuration = r.Int32("LastCon.ActiveDuration", 0);
  LastCon.Cost = r.Single("LastCon.Cost", 0);
  LastCon.AvrgRecSpd = r.Single("LastCon.AvrgRecSpd", 0);
  LastCon.AvrgSndSpd = r.Single("LastCon.AvrgSndSpd", 0);
  LastCon.AvrgTotalSpd = r.Single("LastCon.AvrgTotalSpd", 0);
  LastCon.flag = r.Text("LastCon.flag", "");
  GeneralConInfo.From = r.Text("GeneralConInfo.From", "");
  GeneralConInfo.To = r.Text("GeneralConInfo.To", "");
  GeneralConInfo.Duration = r.Int32("GeneralConInfo.Duration", 0);
  GeneralConInfo.ActiveDuration = r.Int32("GeneralConInfo.ActiveDuration", 0);
  GeneralConInfo.Cost = r.Single("GeneralConInfo.Cost", 0);
  GeneralConInfo.ConnectTimes = r.Int16("GeneralConInfo.ConnectTimes", 0);
}

void SaveConInfo() {
  auto put = [](const std::string& key, const std::string& value) {
    SaveSetting(ProgramTitle, kInternet, key, value);
  };
  put("LastCon.From", LastCon.From);
  put("LastCon.To", LastCon.To);
  put("LastCon.Duration", IntText(LastCon.Duration));
  put("LastCon.ActiveDuration", IntText(LastCon.ActiveDuration));
  put("LastCon.Cost", SingleText(LastCon.Cost));
  put("LastCon.AvrgRecSpd", SingleText(LastCon.AvrgRecSpd));
  put("LastCon.AvrgSndSpd", SingleText(LastCon.AvrgSndSpd));
  put("LastCon.AvrgTotalSpd", SingleText(LastCon.AvrgTotalSpd));
  put("LastCon.flag", LastCon.flag);
  put("GeneralConInfo.From", GeneralConInfo.From);
  put("GeneralConInfo.To", GeneralConInfo.To);
  put("GeneralConInfo.Duration", IntText(GeneralConInfo.Duration));
  put("GeneralConInfo.ActiveDuration", IntText(GeneralConInfo.ActiveDuration));
  put("GeneralConInfo.Cost", SingleText(GeneralConInfo.Cost));
  put("GeneralConInfo.ConnectTimes", IntText(GeneralConInfo.ConnectTimes));
}

bool DoIntProgOp(int op, const std::string& path) {
  for (int i = 1; i <= IntProgCount; ++i) {
    const std::string key = "IntProg" + std::to_string(i);
    if (op == 1) {
      if (!Views.connection.IntProgsList) break;
      ui::ListView& list = *Views.connection.IntProgsList;
      if (i > list.ItemCount()) break;
      SaveSetting(ProgramTitle, kInternet, key,
                  FormatIntProgEntry(list.ItemText(i - 1), std::to_string(list.SmallIcon(i - 1))));
      continue;
    }
    if (op < 2 || op > 4) return false;
    // Like the special programs, the list ends at its first missing entry.
    const std::optional<std::string> text = StoredSetting(ProgramTitle, kInternet, key);
    if (!text) break;
    IntProgEntry entry = ParseIntProgEntry(*text);
    if (op == 2) {
      // An entry with no path would be a row that starts nothing and is saved back;
      // any state but 1 reads as disabled (2), as older stores wrote 0.
      if (Views.connection.IntProgsList && !entry.path.empty())
        Views.connection.IntProgsList->AddItem(entry.path, entry.enabled == 1 ? 1 : 2);
    } else if (op == 3) {
      if (entry.enabled == 1 && entry.path == path) return true;
    } else if (entry.enabled == 1 && !entry.path.empty() && !IsProgramRunning(entry.path)) {
      seams::ShellRequest request;
      request.verb = "open";
      request.file = entry.path;
      request.show = SW_SHOWNORMAL;
      seams::ShellExecuteFn(request);  // a program that cannot start is skipped
    }
  }
  return false;
}

float CalcConCost(int32_t seconds) {
  // The options window accepts 1 or more, but the store may hold anything.
  const int64_t e = CostDefinition.EveryXSeconds < 1 ? 1 : CostDefinition.EveryXSeconds;
  const int64_t s = seconds;
  int64_t billed;
  if (s >= e)
    billed = s % e > 0 ? s - s % e + e : s;
  else
    billed = e;
  double cost = static_cast<double>(billed) / static_cast<double>(e) * CostDefinition.CostOfXSecond +
                CostDefinition.ExtraCost;
  return static_cast<float>(vb::RoundHalfEven(cost * 100.0) / 100.0);
}

bool IsProgramRunning(const std::string& path) {
  const std::string wanted = vb::LCase(path);
  bool found = false;
  ForEachToolhelpProcess([&](const PROCESSENTRY32& entry) {
    found = ToolhelpProcessPath(entry) == wanted;
    return !found;
  });
  return found;
}
