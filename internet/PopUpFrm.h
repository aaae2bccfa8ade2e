// The pop-up blocker's page: the pop-ups blocked in this run with the lasting counter,
// the white list and the browser list, which the two dialogs change.
#pragma once
#include <string>
#include <vector>

#include "Controls.h"
#include "ListView.h"
#include "Menu.h"
#include "TabPages.h"
#include "Window.h"

class PopUpFrmForm : public ui::Window {
 public:
  PopUpFrmForm();
  // The counter and the day it counts from.
  void RefreshMe();

  ui::TabPages SSTab1;  // "Blocked Pop-ups", "White List", "Browsers List"
  // Blocked tab: a row per pop-up blocked in this run, tagged with the browser's path.
  ui::Label Label3;
  ui::ListView BlockedWndLst;
  ui::Label Label2, TotalBlockSinceLbl, TotalBlockCntLbl;
  ui::Button ResetBtn;
  // White tab.
  ui::Label Label1White;
  ui::ListView WhiteWndLst;
  ui::Button WhiteAddBtn, WhiteModiBtn, WhiteDelBtn;
  // Browsers tab.
  ui::Label Label1Browsers;
  ui::ListView BrowsersLst;
  ui::Button BrowsersAddBtn, BrowsersModiBtn, BrowsersDelBtn;
  ui::Label ChangeSoundFileLbl, Label5;
  ui::Label* Label1[2];  // the white tab's, the browsers tab's

  ui::Menu Menus;
  ui::MenuItem* mnuBlocked;
  ui::MenuItem *mnuBlockedCopy, *mnuBlockedGoto, *mnuBlockedSend;
  ui::MenuItem* mnuWhite;
  ui::MenuItem *mnuWhiteRemove, *mnuWhiteModify, *mnuWhiteCopy;

  void SSTab1_MouseMove();
  void ResetBtn_Click();
  void BrowsersAddBtn_Click();
  void BrowsersModiBtn_Click();
  void BrowsersDelBtn_Click();
  void WhiteAddBtn_Click();
  void WhiteModiBtn_Click();
  void WhiteDelBtn_Click();
  void mnuWhiteCopy_Click();
  void mnuBlockedCopy_Click();
  void mnuBlockedGoto_Click();
  void mnuBlockedSend_Click();
  void ChangeSoundFileLbl_Click();
  void BlockedWndLst_ColumnClick(int column) { SortByColumn(BlockedWndLst, column); }
  void WhiteWndLst_ColumnClick(int column) { SortByColumn(WhiteWndLst, column); }
  void BrowsersLst_ColumnClick(int column) { SortByColumn(BrowsersLst, column); }

 protected:
  void Form_Load() override;
  void Form_Resize() override;
  void Form_KeyDown(int& keyCode, int shift) override;

 private:
  void SortByColumn(ui::ListView& list, int column);
  // The entries behind the selected rows; nothing after a No to the question.
  std::vector<int> EntriesToRemove(ui::ListView& list);
  // The entry behind the focused row (else the first selected one), 1-based; 0 when none.
  int FocusedEntry(ui::ListView& list);
  // The row of the focused or first selected row; -1 when none.
  static int FocusedRow(ui::ListView& list);
};

extern PopUpFrmForm PopUpFrm;
