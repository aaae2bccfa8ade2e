// The readable-texts page of the details window: the strings found in the memory of
// the selected instance or in the program's file, with progress and a stop button.
#pragma once
#include <windows.h>

#include <string>

#include "Container.h"
#include "Controls.h"
#include "DetailsFrmScan.h"
#include "LinesBox.h"
#include "ProgressBar.h"

class DetailsFrmForm;

class DetailsTextsPage {
 public:
  DetailsTextsPage(DetailsFrmForm& form, ui::Container& frame);

  ui::OptionButton textsOpt[2];
  // One string per line; a program file gives tens of thousands.
  ui::LinesBox FileTextTxt;
  ui::Button StopBtn;
  ui::Label Label5;  // "Loading progress:"
  ui::ProgressBar ProgressBar1;

  TextScanState Scan;

  void Form_Load();
  std::string FindTexts(DWORD processId);
  std::string FindTextsInExe();
  // Searches the chosen source and shows what it found.
  void RunTextSearch();

  void textsOpt_Click();
  void StopBtn_Click();

 private:
  void LetEventsRun();

  DetailsFrmForm& form_;
  bool memoryUnanswered_ = false;  // the last memory search was given up: the process did not answer
  DWORD lastPump_ = 0;
};
