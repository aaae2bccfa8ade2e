// One live item of the tracker bar: its kind, its slot on the bar, its caption and
// value width; it samples its figure on each refresh, shows it in its graph, colours
// the CPU and memory graphs by the user's thresholds and opens its page when clicked.
#pragma once
#include <cstdint>
#include <string>

class clsTrackerItem {
 public:
  int32_t item_type = 0;
  int16_t item_id = 0;
  std::string item_MainCaption;
  std::string item_ExtraCaption;
  std::string item_toolbar_button;
  double PercentageMax = 0;
  bool ChangeColor = false;
  std::string strStart;
  std::string strEnd;
  std::string CurrentValue;
  std::string PreviousValue;
  int16_t Item_MaxValue = 0;
  bool DifferentColors = false;
  bool GoodIsUp = false;

  std::string strText() const { return strStart + CurrentValue + strEnd; }
  void UnloadItem();
  void Initialize_trk_item(int32_t kind, int16_t slot);
  void UpdateCurrentItem();
  void InvokeItemTool();

 private:
  void ArrangeTrackerItem();
  static void PadTrackerText(std::string& text, int16_t width);
  // The figure of this refresh; false leaves the old text (no figures, no total).
  bool Sample(std::string& value);
  bool GraphHidesText = false;
};

// The graph colour of a CPU or memory value for the thresholds (0x00BBGGRR).
uint32_t TrackerColour(double value, int16_t low, int16_t high);
