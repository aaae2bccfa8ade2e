// The risk monitor page of the details window: starts and stops the program monitor
// for the program and shows what its log recorded (the distinct risky functions, the
// activity log with filters) and the program's CPU history.
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "ButtonBar.h"
#include "Container.h"
#include "Controls.h"
#include "GraphControl.h"
#include "ListView.h"
#include "PictureBox.h"
#include "TabPages.h"
#include "Timer.h"

class DetailsFrmForm;

class DetailsRiskMonPage {
 public:
  DetailsRiskMonPage(DetailsFrmForm& form, ui::Container& frame);

  ui::Button AddBtn, RemoveBtn;
  ui::Label Label6;  // "Status:"
  ui::Label RecStatusLbl;
  ui::PictureBox IndShp;
  ui::TabPages RiskMonSTab;
  ui::ListView CanDoLV;
  ui::TextBox CanDoTxt;
  ui::ListView RiskLogLV;
  ui::TextBox LongDescTxt, ExtraInfoTxt;
  ui::ListView FiltersLV[2];
  ui::ButtonBar Toolbar2[2];
  GraphControl ProcCPUGrph;
  ui::OptionButton IntervalOpt[3];

  int16_t MonitorIndex = -1;
  bool FilterPanelOpen[2] = {false, false};
  int32_t LogCounter = 0;  // log lines already taken into RiskLogLV

  // The monitor slot of a program, -1 when it is not monitored.
  static int16_t MonitorSlotOf(const std::string& path);

  void Form_Load();
  void Form_Unload();
  // The status, the buttons and the shown tab for the program shown.
  void Refresh();
  void DoRefreshRiskMon();
  bool ItemRepeated(int16_t code, const std::string& rest) const;
  // Both lists empty and the log counter back to 0.
  void ClearLists();

  void AddBtn_Click();
  void RemoveBtn_Click();
  void CanDoLV_ItemClick(int row);
  void RiskLogLV_ItemClick(int row);
  void FiltersLV_ItemCheck(int list, int row);
  void Toolbar2_ButtonClick(int t);

 private:
  void FillFilterLists();
  // The activity list takes a long log in batches, each a short pass of the loop,
  // with its drawing off until the last: the window answers meanwhile.
  void FillRiskLogBatch();
  void StopRiskLogFill();

  DetailsFrmForm& form_;
  bool settingFilters_ = false;
  struct LogLine {
    int16_t code;
    std::string time, rest;
  };
  std::vector<LogLine> logToFill_;  // lines read, the first LogCounter already taken
  std::unique_ptr<ui::ListView::RedrawGuard> logFillGuard_;
  ui::Timer LogFillTimer;
  // The (code, extra text) pairs the activity list shows: a repeat is found without
  // a walk through every row.
  std::set<std::pair<int16_t, std::string>> logShown_;
};
