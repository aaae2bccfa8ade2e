#include "clsTrackerItem.h"

#include <windows.h>

#include <cmath>

#include "ConInfoFrm.h"
#include "InfoBarFrm.h"
#include "ModConInfo.h"
#include "ModMain.h"
#include "ModMainLoop.h"
#include "ModMainPlatform.h"
#include "ModPop.h"
#include "ModSettings.h"
#include "ModStartup.h"
#include "Seams.h"
#include "SysInfoLink.h"
#include "PerfHistories.h"
#include "VbRules.h"
#include "ViewBindings.h"

namespace {

struct KindRow {
  const char* prefix;
  const char* page;
  int16_t width;
  double percentageMax;
  bool changeColor;
  bool graph;
};
// Kinds 1 to 10.
const KindRow kKinds[] = {
    {"CPU: ", "Performance", 6, 100, true, true},   {"Mem: ", "Performance", 6, 100, true, true},
    {"Uptime: ", "Performance", 9, 0, false, false}, {"Con: ", "ConInfo", 9, 0, false, false},
    {"Active Con: ", "ConInfo", 9, 0, false, false}, {"Send: ", "ConInfo", 10, 1.0, false, true},
    {"Recv: ", "ConInfo", 10, 1.0, false, true},     {"Avr Send: ", "ConInfo", 6, 1.0, false, true},
    {"Avr Recv: ", "ConInfo", 6, 1.0, false, true},  {"Pops: ", "PopUp", 4, 0, false, false},
};
// The traffic history of each rate kind (6 to 9), and the speed list entry its page shows.
const int kRateHistory[4] = {1, 0, 4, 3};

const KindRow* Row(int32_t kind) { return kind >= 1 && kind <= 10 ? &kKinds[kind - 1] : nullptr; }

// One decimal, halves to the even digit, written without trailing zeros.
std::string OneDecimal(double value) { return vb::CStr(vb::RoundHalfEven(value * 10.0) / 10.0); }

constexpr double kLabelToGraph = 8.0 / 3, kLabelInset = 4.0 / 3;

}  // namespace

uint32_t TrackerColour(double value, int16_t low, int16_t high) {
  if (value > high) return 0x0000FF;
  if (value > low) return 0xFF0000;
  return 0xFF00FF;
}

void clsTrackerItem::UnloadItem() {
  if (item_id != 0) InfoBarFrm.UnloadItemControls(item_id);
}

void clsTrackerItem::Initialize_trk_item(int32_t kind, int16_t slot) {
  item_type = kind;
  item_id = slot;
  if (const KindRow* row = Row(kind)) {
    item_MainCaption = row->prefix;
    item_toolbar_button = row->page;
    Item_MaxValue = row->width;
    PercentageMax = row->percentageMax;
    ChangeColor = row->changeColor;
    GraphHidesText = row->graph;
  }
  InfoBarFrmForm& bar = InfoBarFrm;
  if (slot != 0) {
    bar.LoadItem(slot);
    bar.ItemGrph(slot).SetVisible(true);
  }
  // The label keeps the width of the widest value.
  ui::Label& label = bar.ItemNameLbl(slot);
  label.SetText(item_MainCaption + std::string(static_cast<size_t>(std::max<int16_t>(Item_MaxValue, 0)), '0'));
  bar.LabelWidth[slot] = label.TextExtent().cx;
  label.SetText(item_MainCaption + item_ExtraCaption);
  GraphControl& graph = bar.ItemGrph(slot);
  // A slot that showed another kind before must not draw that kind's history.
  graph.Refresh(nullptr, 0);
  graph.SetForeColor(0xFF00FF);
  graph.SetHideTextOnHover(GraphHidesText ? 1 : 0);
  ArrangeTrackerItem();
}

bool clsTrackerItem::Sample(std::string& value) {
  GraphControl& graph = InfoBarFrm.ItemGrph(item_id);
  switch (item_type) {
    case 1:
      if (PerfInfoData.empty()) return false;
      value = std::to_string(PerfInfoData[0]);
      SamplePerfHistories();
      graph.Refresh(CpuHistory.get(), 0);
      return true;
    case 2:
      // No figures or no total: no defined load, so the old text stays.
      if (PerfInfoData.size() < 4 || PerfInfoData[3] <= 0) return false;
      value = OneDecimal((1.0 - static_cast<double>(PerfInfoData[2]) / PerfInfoData[3]) * 100.0);
      SamplePerfHistories();
      graph.Refresh(MemHistory[0].get(), 0);
      return true;
    case 3:
      // Read unsigned: the uptime stays positive past 24.8 days.
      value = SecsToTimeStr(static_cast<int32_t>(static_cast<DWORD>(seams::TickCountFn()) / 1000u));
      return true;
    case 4:
      value = SecsToTimeStr(CurCon.Duration);
      return true;
    case 5:
      value = SecsToTimeStr(CurCon.ActiveDuration / 1000);
      return true;
    case 6:
    case 7:
    case 8:
    case 9: {
      const float rates[4] = {CurCon.SndSpd, CurCon.RecSpd, CurCon.AvrgSndSpd, CurCon.AvrgRecSpd};
      const double rate = rates[item_type - 6];
      value = OneDecimal(rate);
      const double shown = vb::RoundHalfEven(rate * 10.0) / 10.0;
      if (shown > PercentageMax) PercentageMax = shown;
      graph.Refresh(NetSpeedHist[kRateHistory[item_type - 6]].get(), 0);
      return true;
    }
    case 10:
      value = std::to_string(BlockedPopUpCount());
      return true;
    default:
      return false;
  }
}

void clsTrackerItem::UpdateCurrentItem() {
  if (!InfoBarFrm.ItemLoaded(item_id)) return;
  PreviousValue = CurrentValue;
  std::string value;
  if (Sample(value)) CurrentValue = value;
  std::string padded = CurrentValue;
  PadTrackerText(padded, Item_MaxValue);
  CurrentValue = padded;
  item_ExtraCaption = padded;
  const std::string caption = item_MainCaption + item_ExtraCaption;
  ui::Label& label = InfoBarFrm.ItemNameLbl(item_id);
  if (label.Text() != caption) label.SetText(caption);
  GraphControl& graph = InfoBarFrm.ItemGrph(item_id);
  graph.SetText(caption);
  ArrangeTrackerItem();
  if (ChangeColor) {
    const COLORREF colour = TrackerColour(vb::Val(CurrentValue), LowRes[0], LowRes[1]);
    if (graph.ForeColor() != colour) graph.SetForeColor(colour);
  }
}

void clsTrackerItem::PadTrackerText(std::string& text, int16_t width) {
  if (static_cast<int>(text.size()) < width) text.insert(0, static_cast<size_t>(width) - text.size(), ' ');
}

void clsTrackerItem::ArrangeTrackerItem() {
  InfoBarFrmForm& bar = InfoBarFrm;
  bar.GraphWidth[item_id] = bar.LabelWidth[item_id] + kLabelToGraph;
  if (item_id > 0)
    bar.GraphLeft[item_id] = bar.GraphLeft[item_id - 1] + bar.GraphWidth[item_id - 1] + InfoBarFrmForm::kItemGap;
  bar.PlaceGraph(item_id);
  (void)kLabelInset;
}

void clsTrackerItem::InvokeItemTool() {
  if (item_toolbar_button.empty()) return;
  // The page shows with the frame; its contents follow the click.
  PageRefreshesLater later;
  ShowInterfaceFrm();
  if (Views.frame.ClickPageButton) Views.frame.ClickPageButton(item_toolbar_button);
  if (item_type >= 6 && item_type <= 9) ConInfoFrm.NetSpeedCombo.SetListIndex(kRateHistory[item_type - 6]);
}
