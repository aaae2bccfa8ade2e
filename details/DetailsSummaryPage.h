// The summary page of the details window: the program's version facts and signature,
// the general risky properties that hold for it, and its overall risk rating.
#pragma once

#include "Container.h"
#include "Controls.h"
#include "ListView.h"
#include "PictureBox.h"

class DetailsFrmForm;

class DetailsSummaryPage {
 public:
  DetailsSummaryPage(DetailsFrmForm& form, ui::Container& frame);

  ui::Frame Frame1, Frame2;  // "General Information", "General Risky Properties"
  ui::ListView ProgInfoLst, GeneralRiskLV;
  ui::TextBox detailsTxt[3];
  ui::Label Label3;  // "Overall Risk Rating:"
  ui::Label OverallRatingLbl;
  ui::PictureBox OveralllRatingImg;
  int RatingPicture = 1;  // the picture of RatingImgList on show, 1-based

  void Form_Load();
  // The version rows, the full path and the signature of the program shown.
  void FillProgInfo();
  // The static risky properties that hold for it (only for a running program).
  void FillGeneralRisk();
  void RefreshOverallRating();
  void ClearOverallRating();

  void ProgInfoLst_ItemClick(int row);
  void GeneralRiskLV_ItemClick(int row);

 private:
  void ShowRatingPicture(int picture);

  DetailsFrmForm& form_;
};
