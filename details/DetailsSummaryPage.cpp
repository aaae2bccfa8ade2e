#include "DetailsSummaryPage.h"

#include <algorithm>

#include "DetailsFrm.h"
#include "ModMain.h"
#include "ModMainPlatform.h"
#include "ModStartupPlatform.h"
#include "ModProcMon.h"
#include "ModProgInfo.h"
#include "RatingImages.h"
#include "VbRules.h"

namespace {
// The texts of the version rows by VersionFields index; the internal name (3) is never shown.
const char* const kVersionCaptions[8] = {"Company Name",    "File Description",  "File Version", "Internal Name",
                                         "Legal Copyright", "Original FileName", "Product Name", "Product Version"};
}  // namespace

DetailsSummaryPage::DetailsSummaryPage(DetailsFrmForm& form, ui::Container& frame)
    : Frame1(form, {0, 0, 308, 204}, "General Information"),
      Frame2(form, {316, 0, 308, 204}, "General Risky Properties"),
      ProgInfoLst(form, {8, 18, 292, 120}),
      GeneralRiskLV(form, {8, 18, 292, 120}),
      detailsTxt{{form, {8, 142, 292, 54}, "", ES_MULTILINE | ES_READONLY | WS_VSCROLL},
                 {form, {8, 142, 292, 54}, "", ES_MULTILINE | ES_READONLY | WS_VSCROLL},
                 {form, {44, 234, 580, 90}, "", ES_MULTILINE | ES_READONLY | WS_VSCROLL}},
      Label3(form, {0, 212, 130, 18}, "Overall Risk Rating:"),
      OverallRatingLbl(form, {134, 212, 80, 18}),
      OveralllRatingImg(form, {0, 234, 36, 36}),
      form_(form) {
  for (ui::Control* c : std::initializer_list<ui::Control*>{&Frame1, &Frame2, &Label3, &OverallRatingLbl,
                                                            &OveralllRatingImg, &detailsTxt[2]})
    c->SetContainer(frame);
  ProgInfoLst.SetContainer(Frame1);
  detailsTxt[0].SetContainer(Frame1);
  GeneralRiskLV.SetContainer(Frame2);
  detailsTxt[1].SetContainer(Frame2);
  ProgInfoLst.AddColumn("item", "item", 110);
  ProgInfoLst.AddColumn("data", "data", 400);
  GeneralRiskLV.AddColumn("Behaviour", "Behaviour", 200);
  GeneralRiskLV.AddColumn("Rating", "Rating", 120);
  ProgInfoLst.ItemClick = [this](int row) { ProgInfoLst_ItemClick(row); };
  GeneralRiskLV.ItemClick = [this](int row) { GeneralRiskLV_ItemClick(row); };
  OveralllRatingImg.Paint = [this](HDC dc) {
    ImageList_Draw(RatingImgList().handle(), RatingPicture - 1, dc, 2, 2, ILD_NORMAL);
  };
}

void DetailsSummaryPage::Form_Load() { ShowRatingPicture(1); }

void DetailsSummaryPage::FillProgInfo() {
  const std::string& path = form_.CurrentPath;
  GetFileInfoField(1, path);
  for (int i = 0; i < 8; ++i) {
    if (i == 3 || VersionFields[i].empty()) continue;
    ProgInfoLst.SetSubItem(ProgInfoLst.AddItem(kVersionCaptions[i]), 1, VersionFields[i]);
  }
  ProgInfoLst.SetSubItem(ProgInfoLst.AddItem("Full path"), 1, path);
  std::string signer;
  // One check per file (and none again while it stays unchanged): the signer comes
  // with the answer.
  const bool isSigned = CachedFileSignature(path, &signer);
  ProgInfoLst.SetSubItem(ProgInfoLst.AddItem("Digital Signatures"), 1,
                         isSigned ? "The digital signature on the file has been verified. If you trust -" + signer +
                                        "- then you should trust the file."
                                  : "The file is not signed or signature verification failed");
}

void DetailsSummaryPage::FillGeneralRisk() {
  for (int code = 120; code <= LastStaticRiskCode; ++code) {
    if (!CheckStaticRisk(static_cast<int16_t>(code), form_.CurrentPath)) continue;
    const int row = GeneralRiskLV.AddItem(GetRiskDescription(static_cast<int16_t>(code)));
    GeneralRiskLV.SetTag(row, std::to_string(code));
    GeneralRiskLV.SetSubItem(row, 1, std::to_string(GetRiskScore(static_cast<int16_t>(code))));
    ShowRiskRating(GeneralRiskLV, row, 1, false);
  }
}

void DetailsSummaryPage::ShowRatingPicture(int picture) {
  RatingPicture = std::clamp(picture, 1, 11);
  OveralllRatingImg.Refresh();
}

void DetailsSummaryPage::RefreshOverallRating() {
  OverallRatingLbl.SetText(std::to_string(GetRiskRating(form_.CurrentPath)) + "%");
  const std::string text = OverallRatingLbl.Text();
  const auto rating = static_cast<int16_t>(vb::Val(text.substr(0, text.size() - 1)));
  ShowRatingPicture(RatingPictureOf(rating));
  OveralllRatingImg.SetVisible(true);
  std::string words = "Rating: " + GetRiskLevelText(rating) + "\r\n";
  if (DetailsRiskMonPage::MonitorSlotOf(form_.CurrentPath) < 0)
    words += "\r\nThe above rating is based on general risky properties only. "
             "To make the rating based on real-time risky functions, "
             "choose Risk Monitor from above toolbar (not supported under Win 98/me).";
  detailsTxt[2].SetText(words);
}

void DetailsSummaryPage::ClearOverallRating() {
  OverallRatingLbl.SetText("");
  // Picture 1 is the 0% picture: hidden, it claims nothing.
  OveralllRatingImg.SetVisible(false);
  detailsTxt[2].SetText(kNotRatedText);
}

void DetailsSummaryPage::ProgInfoLst_ItemClick(int row) {
  if (row < 0 || row >= ProgInfoLst.ItemCount()) return;
  detailsTxt[0].SetText(ProgInfoLst.ItemText(row) + " : " + ProgInfoLst.SubItem(row, 1));
}

void DetailsSummaryPage::GeneralRiskLV_ItemClick(int row) {
  if (row < 0 || row >= GeneralRiskLV.ItemCount()) return;
  detailsTxt[1].SetText(GetRiskDetails(static_cast<int16_t>(vb::Val(GeneralRiskLV.Tag(row)))));
}
