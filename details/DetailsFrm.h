// The program details window: one program, identified by the full path of its
// executable, on six pages (summary, processes, modules, readable texts, risk monitor,
// removal tools), each a class of its own that the window owns. The window keeps the
// header, the page bar, the bottom buttons, the state the pages share and the
// refresh; every caller fills it through RefFrm.
#pragma once
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "ButtonBar.h"
#include "Container.h"
#include "Controls.h"
#include "DetailsModulesPage.h"
#include "DetailsProcessesPage.h"
#include "DetailsRemovalPage.h"
#include "DetailsRiskMonPage.h"
#include "DetailsSummaryPage.h"
#include "DetailsTextsPage.h"
#include "Gdi.h"
#include "ListBox.h"
#include "ListView.h"
#include "PictureBox.h"
#include "Window.h"

class DetailsFrmForm : public ui::Window {
 public:
  DetailsFrmForm();

  // ---- Header, page bar, bottom buttons
  ui::PictureBox ProgIcnPic;
  ui::Label ProgIntNameLbl;
  ui::ButtonBar asxToolbar1;
  ui::ListBox SelectLst;
  ui::Container PageFrm[6];
  ui::Button BackBtn, RefBtn, NextBtn, HelpBtn, CloseBtn;

  // ---- The pages, on PageFrm(0) to PageFrm(5)
  DetailsSummaryPage Summary;
  DetailsProcessesPage Processes;
  DetailsModulesPage Modules;
  DetailsTextsPage Texts;
  DetailsRiskMonPage RiskMon;
  DetailsRemovalPage Removal;

  // ---- State the pages share
  std::string CurrentPath;
  bool StopRequested = false;
  // The program's descriptive name, without the header's "not active" suffix.
  const std::string& DisplayName() const { return displayName_; }

  // ---- Entries
  // With pageOnly the pressed page is refreshed for CurrentPath; otherwise everything
  // is rebuilt for the path (the lists page's selection when empty).
  void RefFrm(const std::string& progPath, bool pageOnly);
  void RefreshMe() { RefFrm("", true); }
  // Presses a page button by key, as a click would.
  void ShowPage(const std::string& key);
  std::string FindTexts(DWORD processId) { return Texts.FindTexts(processId); }
  std::string FindTextsInExe() { return Texts.FindTextsInExe(); }
  void DoRefreshRiskMon() { RiskMon.DoRefreshRiskMon(); }
  bool ItemRepeated(int16_t code, const std::string& rest) const { return RiskMon.ItemRepeated(code, rest); }
  bool Filling() const { return fillDepth_ > 0; }
  // A fill's result belongs to no page once another program or a close came during it.
  bool FillSuperseded() const { return pendingRef_ || unloadAfterFill_; }

  // ---- Handlers
  void asxToolbar1_ButtonClick(int index);
  void SelectLst_Click();
  void BackBtn_Click() { Walk(-1); }
  void NextBtn_Click() { Walk(1); }
  void RefBtn_Click();
  void HelpBtn_Click();
  void CloseBtn_Click();
  // The lists of several pages copy and sort alike.
  void Lists_DblClick(ui::ListView& list);
  void Lists_ColumnClick(ui::ListView& list, int column);

 protected:
  void Form_Load() override;
  void Form_QueryUnload(bool& cancel, int unloadMode) override;
  void Form_Unload(bool& cancel) override;
  void Form_KeyDown(int& keyCode, int shift) override;

 private:
  void FullRefresh(const std::string& progPath);
  void ShowEmpty();
  void ShowHeader();
  void RefreshPressedPage();
  void Walk(int step);
  void ShowPageFrame(int page, int left, int top);
  void EndFill();

  ui::OwnedBitmap iconPicture_;
  std::string displayName_;
  int fillDepth_ = 0;
  // A full RefFrm that arrived during a fill: it runs once the fill ends.
  std::optional<std::string> pendingRef_;
  bool unloadAfterFill_ = false;
};

extern DetailsFrmForm DetailsFrm;

// The summary's words in place of a rating for a program that is not running.
extern const char kNotRatedText[];

// The width of the process and module list columns: 1000 twips at 15 twips a pixel.
constexpr int kDetailsColumnWidth = 67;
