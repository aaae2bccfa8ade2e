// The Risk Monitor page: the running programs beside the programs under the program
// monitor, moving programs from one list to the other, and the selected program's
// overall rating.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "Controls.h"
#include "ListView.h"
#include "PictureBox.h"
#include "Window.h"

class ProcCPUFrmForm : public ui::Window {
 public:
  ProcCPUFrmForm();

  ui::Label Label1;  // "Running Programs"
  ui::ListView AppsLV;
  ui::Label Label2;  // "Programs under Monitoring"
  ui::ListView CurrentProcLV;
  ui::Button AddBtn, AddInActiveBtn, RemoveBtn, MoreInfoBtn;
  ui::Label CurrProcName;
  ui::Label Label3;  // "Overall Risk Rating:"
  ui::Label OverallRatingLbl;
  ui::Label RatingTextLbl;
  ui::PictureBox OveralllRatingImg;
  int RatingPicture = 1;  // the picture of RatingImgList on show, 1-based

  // Puts a program under the monitor. False, with a message, when its start mark
  // cannot be written: then nothing is added.
  bool AddProcess(const std::string& title, const std::string& path, bool notRunning);
  // Takes the program of a slot off the monitor.
  void RemoveProcess(int16_t slot, const std::string& path);
  void RefreshMe();

  // The open-file dialog: the chosen file, or "" when cancelled. Tests replace it.
  std::function<std::string()> ChooseProgram;

  void AddBtn_Click();
  void AddInActiveBtn_Click();
  void RemoveBtn_Click();
  void MoreInfoBtn_Click();
  void CurrentProcLV_ItemClick(int row);
  void CurrentProcLV_SelectionChanged();
  void CurrentProcLV_DblClick();

 protected:
  void Form_Load() override;
  void Form_Resize() override;
  void Form_KeyDown(int& keyCode, int shift) override;

 private:
  void ShowSelectedProgram();
  void SetButtonsFromSelection();
  // Marks every monitored row of the path running; whether there was one.
  bool MarkMonitoredRunning(const std::string& path);
  void ShowRatingPicture(int picture);
};

extern ProcCPUFrmForm ProcCPUFrm;
