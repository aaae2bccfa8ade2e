// The Internet connection page: statistics of the connection in progress, of the
// last one and of all together, the speed graph, and the programs launched on connect.
#pragma once
#include <string>
#include <vector>

#include "CancelEvent.h"
#include "ComboBox.h"
#include "Container.h"
#include "Controls.h"
#include "GraphControl.h"
#include "ImageList.h"
#include "ListView.h"
#include "TabPages.h"
#include "Timer.h"
#include "Window.h"

class ConInfoFrmForm : public ui::Window {
 public:
  ConInfoFrmForm();

  ui::TabPages SSTab1;
  ui::Frame Frame1;
  ui::OptionButton ConnectionOtp0, ConnectionOtp1, ConnectionOtp2;
  ui::OptionButton* ConnectionOtp[3];
  ui::ListView ConInfoLst;
  ui::Label Label1;
  // The speed history the graph shows (index = traffic history).
  ui::ComboBox NetSpeedCombo;
  ui::OptionButton IntervalOpt0, IntervalOpt1, IntervalOpt2;
  ui::OptionButton* IntervalOpt[3];
  GraphControl NetSpeedGrph;
  ui::Label GraphMaxLbl;
  ui::Button ResetDateBtn;
  // Programs launched on connect: text = path, icon = state (1 enabled, 2 disabled).
  ui::ListView IntProgsList;
  ui::ImageList IntProgImg;
  ui::Button AddBtn, RemoveBtn, EnableBtn, LaunchBtn, LaunchAllBtn;

  void AddConItem(const std::string& caption, const std::string& value);
  void RefreshMe();
  void SaveIntProgs();
  // Starts every listed program in order with a pause after each start, as a wait
  // the program runs on through; the status window shows it and can cancel it.
  void LaunchAllBtn_Click();
  bool LaunchingAll() const { return launchNext_ < launchQueue_.size(); }
  static constexpr UINT kLaunchPauseMs = 500;
  void AddIntStartProg(const std::string& path);

  void ConnectionOtp_Click(int index);
  void ResetDateBtn_Click();
  void AddBtn_Click() { AddIntStartProg(""); }
  void RemoveBtn_Click();
  void EnableBtn_Click();
  void LaunchBtn_Click();
  void IntProgsList_DblClick();
  void IntProgsList_ColumnClick(int column);

 protected:
  void Form_Load() override;
  void Form_Resize() override;
  void Form_KeyDown(int& keyCode, int shift) override;
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void Hint(ui::Control& control, const char* text);
  void FillRows(int view);
  void DrawGraph();
  // Starts the programs in list order; those that cannot start are named in one
  // message afterwards.
  void Launch(const std::vector<int>& rows);
  // Starts one program; a failure is added to `failures`.
  void StartProgram(const std::string& path, std::string& failures);
  void LaunchNext();
  void EndLaunchAll();
  std::vector<std::pair<std::string, std::string>> rows_;
  // Launch All in progress: the paths taken at the click, the next to start, the
  // failures so far, and the status window shown for the whole run. Its timer belongs
  // to the status window, which is never unloaded, so the launch goes on whatever
  // this page does. The timer and the status scope are made on the heap and not
  // destroyed with this form: at exit the status window may go first.
  std::vector<std::string> launchQueue_;
  size_t launchNext_ = 0;
  std::string launchFailures_;
  ui::Timer* launchTimer_ = nullptr;
  StatusScope* launchStatus_ = nullptr;
};

extern ConInfoFrmForm ConInfoFrm;

namespace coninfo {
// "0:30:00  50%": the active time and its share of the duration.
std::string ActiveShareText(int32_t activeMs, int32_t durationSeconds);
std::string SpeedText(float kbPerSecond);
std::string CostText(float amount);
}  // namespace coninfo
