// The program details window: one program, identified by the full path of its
// executable, on six pages (summary, processes, modules, readable texts, risk monitor,
// removal tools). Every caller fills it through RefFrm.
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "ButtonBar.h"
#include "Container.h"
#include "Controls.h"
#include "DetailsFrmScan.h"
#include "GraphControl.h"
#include "ListBox.h"
#include "ListView.h"
#include "Menu.h"
#include "PictureBox.h"
#include "ProgressBar.h"
#include "TabPages.h"
#include "Timer.h"
#include "Window.h"

class DetailsFrmForm : public ui::Window {
 public:
  DetailsFrmForm();
  ~DetailsFrmForm() override;

  // ---- Header, page bar, bottom buttons
  ui::PictureBox ProgIcnPic;
  ui::Label ProgIntNameLbl;
  ui::ButtonBar asxToolbar1;
  ui::ListBox SelectLst;
  ui::Container PageFrm[6];
  ui::Button BackBtn, RefBtn, NextBtn, HelpBtn, CloseBtn;

  // ---- Summary
  ui::Frame Frame1, Frame2;  // "General Information", "General Risky Properties"
  ui::ListView ProgInfoLst, GeneralRiskLV;
  ui::TextBox detailsTxt[3];
  ui::Label Label3;  // "Overall Risk Rating:"
  ui::Label OverallRatingLbl;
  ui::PictureBox OveralllRatingImg;
  int RatingPicture = 1;  // the picture of RatingImgList on show, 1-based

  // ---- Processes and modules
  ui::Label Label1;
  // "Increase Priority" (its arrow drops the priority classes), "Decrease Priority",
  // "Terminate Process".
  ui::ButtonBar Toolbar1;
  ui::Menu PriorityMenu;
  ui::MenuItem* mnuPriority = nullptr;  // "&Idle", "&Normal", "&High", "&RealTime"
  ui::ListView ProcLst;
  ui::Label Label2;
  ui::ListView ModsLst;

  // ---- Readable texts
  ui::OptionButton textsOpt[2];
  ui::TextBox FileTextTxt;
  ui::Button StopBtn;
  ui::Label Label5;  // "Loading progress:"
  ui::ProgressBar ProgressBar1;

  // ---- Risk monitor
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

  // ---- Removal tools
  ui::Label Label4;
  ui::Button TerminateProg, QrtBtn, RemStartUpBtn, SearchBtn;
  ui::Label RemLbl[4];
  ui::Label Label7[2];  // "Open Quarantine", "Open Start-up Manager"

  // ---- State
  std::string CurrentPath;
  int16_t MonitorIndex = -1;
  bool StopRequested = false;
  bool memoryUnanswered_ = false;  // the last memory search was given up: the process did not answer
  bool FilterPanelOpen[2] = {false, false};
  int32_t LogCounter = 0;  // log lines already taken into RiskLogLV
  TextScanState Scan;

  // ---- Entries
  // With pageOnly the pressed page is refreshed for CurrentPath; otherwise everything
  // is rebuilt for the path (the lists page's selection when empty).
  void RefFrm(const std::string& progPath, bool pageOnly);
  void RefreshMe() { RefFrm("", true); }
  // Presses a page button by key, as a click would.
  void ShowPage(const std::string& key);
  std::string FindTexts(DWORD processId);
  std::string FindTextsInExe();
  void DoRefreshRiskMon();
  bool ItemRepeated(int16_t code, const std::string& rest) const;
  bool Filling() const { return fillDepth_ > 0; }

  // ---- Handlers
  void asxToolbar1_ButtonClick(int index);
  void SelectLst_Click();
  void BackBtn_Click() { Walk(-1); }
  void NextBtn_Click() { Walk(1); }
  void RefBtn_Click();
  void HelpBtn_Click();
  void CloseBtn_Click();
  void Toolbar1_ButtonClick(const std::string& key);
  void Toolbar1_ButtonDropDown();
  void mnuPriority_Click(int position);  // 1 to 4
  void ProgInfoLst_ItemClick(int row);
  void GeneralRiskLV_ItemClick(int row);
  void Lists_DblClick(ui::ListView& list);
  void Lists_ColumnClick(ui::ListView& list, int column);
  void textsOpt_Click();
  void StopBtn_Click() { StopRequested = true; }
  void TerminateProg_Click();
  void QrtBtn_Click();
  void RemStartUpBtn_Click();
  void SearchBtn_Click();
  void Label7_Click(int index);
  void AddBtn_Click();
  void RemoveBtn_Click();
  void CanDoLV_ItemClick(int row);
  void RiskLogLV_ItemClick(int row);
  void FiltersLV_ItemCheck(int list, int row);
  void Toolbar2_ButtonClick(int t);

 protected:
  void Form_Load() override;
  void Form_QueryUnload(bool& cancel, int unloadMode) override;
  void Form_Unload(bool& cancel) override;
  void Form_KeyDown(int& keyCode, int shift) override;

 private:
  void CreateProcColumns(bool windowsNT);
  void FullRefresh(const std::string& progPath);
  void ShowEmpty();
  void FillInstances(DWORD keep);
  void FillProgInfo();
  void FillGeneralRisk();
  void ShowHeader();
  void RefreshPressedPage();
  void RunTextSearch();
  void ListModules();
  void RefreshOverallRating();
  void ClearOverallRating();
  void RefreshRiskMonPage();
  void ShowRatingPicture(int picture);
  void ClearRiskMonLists();
  void FillFilterLists();
  void Walk(int step);
  void ShowPageFrame(int page, int left, int top);
  // The process of the selected ProcLst row while it still runs the program shown;
  // 0 otherwise.
  DWORD SelectedOwnProcess() const;
  void SetSelectedPriority(int step, int position);
  int PriorityColumn() const;
  void EndFill();
  void LetEventsRun();
  // The activity list takes a long log in batches, each a short pass of the loop,
  // with its drawing off until the last: the window answers meanwhile.
  void FillRiskLogBatch();
  void StopRiskLogFill();

  HBITMAP iconPicture_ = nullptr;
  std::string displayName_;
  int fillDepth_ = 0;
  // A full RefFrm that arrived during a fill: it runs once the fill ends.
  std::optional<std::string> pendingRef_;
  bool unloadAfterFill_ = false;
  bool settingFilters_ = false;
  DWORD lastPump_ = 0;
  struct LogLine {
    int16_t code;
    std::string time, rest;
  };
  std::vector<LogLine> logToFill_;  // lines read, the first LogCounter already taken
  std::unique_ptr<ui::ListView::RedrawGuard> logFillGuard_;
  ui::Timer LogFillTimer{*this};
  // The (code, extra text) pairs the activity list shows: a repeat is found without
  // a walk through every row.
  std::set<std::pair<int16_t, std::string>> logShown_;
};

extern DetailsFrmForm DetailsFrm;

// The summary's words in place of a rating for a program that is not running.
extern const char kNotRatedText[];
