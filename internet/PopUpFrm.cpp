#include "PopUpFrm.h"

#include <windows.h>

#include <algorithm>

#include <cmath>

#include "AddBrowserFrm.h"
#include "AddWhiteFrm.h"
#include "Clipboard.h"
#include "ModMain.h"
#include "ModMainPlatform.h"
#include "ModPop.h"
#include "ModStartup.h"
#include "VbRules.h"
#include "ViewBindings.h"

PopUpFrmForm PopUpFrm;

namespace {

constexpr UINT kAskRemove = MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2;  // 292
const COLORREF kLinkColour = RGB(0, 0, 0xFF);
constexpr int kOptionsPopUpTab = 6;

const char* const kTabHints[] = {"List of blocked pop-ups since Quillon started",
                                 "List of pop-ups that you don't want Quillon to close",
                                 "List of browsers that will be scanned for pop-ups"};

}  // namespace

PopUpFrmForm::PopUpFrmForm()
    : Window({.caption = "Latchkey", .style = WS_POPUP, .width = 600, .height = 400, .keyPreview = true}),
      SSTab1(*this, {0, 0, 600, 400}, {"Blocked Pop-ups", "White List", "Browsers List"}),
      Label3(*this, {8, 8, 560, 16}, "A list of pop-ups blocked since Quillon started:"),
      BlockedWndLst(*this, {8, 28, 580, 290}),
      Label2(*this, {8, 330, 240, 16}, "Total number of blocked pop-up's since "),
      TotalBlockSinceLbl(*this, {248, 330, 130, 16}),
      TotalBlockCntLbl(*this, {380, 330, 100, 16}),
      ResetBtn(*this, {500, 326, 88, 24}, "Reset"),
      Label1White(*this, {8, 8, 560, 16}, "White List of pop-ups that you want to allow:"),
      WhiteWndLst(*this, {8, 28, 480, 330}),
      WhiteAddBtn(*this, {496, 28, 92, 24}, "Add"),
      WhiteModiBtn(*this, {496, 58, 92, 24}, "Modify"),
      WhiteDelBtn(*this, {496, 88, 92, 24}, "Remove"),
      Label1Browsers(*this, {8, 8, 560, 16}, "A list of browsers whose pop-ups will be blocked :"),
      BrowsersLst(*this, {8, 28, 480, 300}),
      BrowsersAddBtn(*this, {496, 28, 92, 24}, "Add"),
      BrowsersModiBtn(*this, {496, 58, 92, 24}, "Modify"),
      BrowsersDelBtn(*this, {496, 88, 92, 24}, "Remove"),
      ChangeSoundFileLbl(*this, {8, 338, 58, 16}, "Click Here"),
      Label5(*this, {68, 338, 520, 16}, "to adjust general settings that apply for all browsers such as sound file"),
      Label1{&Label1White, &Label1Browsers} {
  for (ui::Control* c : std::initializer_list<ui::Control*>{&Label3, &BlockedWndLst, &Label2, &TotalBlockSinceLbl,
                                                            &TotalBlockCntLbl, &ResetBtn})
    c->SetContainer(SSTab1.Page(0));
  for (ui::Control* c :
       std::initializer_list<ui::Control*>{&Label1White, &WhiteWndLst, &WhiteAddBtn, &WhiteModiBtn, &WhiteDelBtn})
    c->SetContainer(SSTab1.Page(1));
  for (ui::Control* c : std::initializer_list<ui::Control*>{&Label1Browsers, &BrowsersLst, &BrowsersAddBtn,
                                                            &BrowsersModiBtn, &BrowsersDelBtn, &ChangeSoundFileLbl,
                                                            &Label5})
    c->SetContainer(SSTab1.Page(2));

  BlockedWndLst.AddColumn("K0", "Window Name", 170);
  BlockedWndLst.AddColumn("K1", "URL", 190);
  BlockedWndLst.AddColumn("K2", "Browser", 100);
  BlockedWndLst.AddColumn("K3", "Time", 110);
  WhiteWndLst.AddColumn("K0", "Window Name \\ URL", 470);
  BrowsersLst.AddColumn("K0", "Browser Name", 150);
  BrowsersLst.AddColumn("K1", "Browser Path", 320);
  ChangeSoundFileLbl.SetForeColor(kLinkColour);

  mnuBlocked = &Menus.Add("mnuBlocked");
  mnuBlockedCopy = &mnuBlocked->Add("&Copy Name\\URL");
  mnuBlockedGoto = &mnuBlocked->Add("&Goto URL");
  mnuBlockedSend = &mnuBlocked->Add("&Send To White List");
  mnuWhite = &Menus.Add("mnuWhite");
  mnuWhiteRemove = &mnuWhite->Add("&Remove");
  mnuWhiteModify = &mnuWhite->Add("&Modify");
  mnuWhiteCopy = &mnuWhite->Add("&Copy Name\\URL");
  mnuBlockedCopy->Click = [this] { mnuBlockedCopy_Click(); };
  mnuBlockedGoto->Click = [this] { mnuBlockedGoto_Click(); };
  mnuBlockedSend->Click = [this] { mnuBlockedSend_Click(); };
  mnuWhiteRemove->Click = [this] { WhiteDelBtn_Click(); };
  mnuWhiteModify->Click = [this] { WhiteModiBtn_Click(); };
  mnuWhiteCopy->Click = [this] { mnuWhiteCopy_Click(); };

  // Only the right button opens the menus; a left click just selects.
  BlockedWndLst.RightClick = [this](int row, POINT at) {
    if (row >= 0) Menus.Popup(*this, *mnuBlocked, at);
  };
  WhiteWndLst.RightClick = [this](int row, POINT at) {
    if (row >= 0) Menus.Popup(*this, *mnuWhite, at);
  };
  WhiteWndLst.DblClick = [this](int) { WhiteModiBtn_Click(); };
  BrowsersLst.DblClick = [this](int) { BrowsersModiBtn_Click(); };
  BlockedWndLst.ColumnClick = [this](int column) { BlockedWndLst_ColumnClick(column); };
  WhiteWndLst.ColumnClick = [this](int column) { WhiteWndLst_ColumnClick(column); };
  BrowsersLst.ColumnClick = [this](int column) { BrowsersLst_ColumnClick(column); };

  SSTab1.MouseMove = [this](int, int, int, int) { SSTab1_MouseMove(); };
  ResetBtn.Click = [this] { ResetBtn_Click(); };
  WhiteAddBtn.Click = [this] { WhiteAddBtn_Click(); };
  WhiteModiBtn.Click = [this] { WhiteModiBtn_Click(); };
  WhiteDelBtn.Click = [this] { WhiteDelBtn_Click(); };
  BrowsersAddBtn.Click = [this] { BrowsersAddBtn_Click(); };
  BrowsersModiBtn.Click = [this] { BrowsersModiBtn_Click(); };
  BrowsersDelBtn.Click = [this] { BrowsersDelBtn_Click(); };
  ChangeSoundFileLbl.Click = [this] { ChangeSoundFileLbl_Click(); };

  Views.popUpPage = {.form = this,
                     .SSTab1 = &SSTab1,
                     .BrowsersLst = &BrowsersLst,
                     .WhiteWndLst = &WhiteWndLst,
                     .BlockedWndLst = &BlockedWndLst};
}

void PopUpFrmForm::Form_Load() {
  SSTab1.SetTab(0);
  SetBackColor(FormBackColor);
  for (int i = 0; i < SSTab1.Tabs(); ++i) SSTab1.Page(i).SetBackColor(FormBackColor);
  RefreshMe();
}

void PopUpFrmForm::Form_Resize() {
  // The tabs fill the page; on each, the list takes the room its buttons and lines
  // leave.
  const int w = ScaleWidth(), h = ScaleHeight();
  if (w <= 0 || h <= 0) return;
  SSTab1.Move({0, 0, w, h});
  const SIZE page = ui::ClientSize(SSTab1.Page(0).hwnd(), {w - 8, h - 30});
  const int margin = 8, pw = static_cast<int>(page.cx), ph = static_cast<int>(page.cy);
  const int bottom = std::max(ph - margin - 24, 60), buttonWidth = 92;

  Label3.Move({margin, 8, pw - 2 * margin, 16});
  BlockedWndLst.Move({margin, 28, pw - 2 * margin, bottom - 28 - 6});
  ResetBtn.Move({pw - margin - 88, bottom, 88, 24});
  // The caption as wide as its text, the date and the count after it.
  const int sinceLeft = margin + std::min(static_cast<int>(Label2.TextExtent().cx) + 4, 260);
  Label2.Move({margin, bottom + 4, sinceLeft - margin, 16});
  TotalBlockSinceLbl.Move({sinceLeft, bottom + 4, 120, 16});
  TotalBlockCntLbl.Move({sinceLeft + 122, bottom + 4, std::max(pw - margin - 88 - 8 - sinceLeft - 122, 0), 16});

  const int listWidth = pw - 2 * margin - buttonWidth - 8, buttonsLeft = pw - margin - buttonWidth;
  Label1White.Move({margin, 8, pw - 2 * margin, 16});
  WhiteWndLst.Move({margin, 28, listWidth, ph - 28 - margin});
  Label1Browsers.Move({margin, 8, pw - 2 * margin, 16});
  BrowsersLst.Move({margin, 28, listWidth, ph - 28 - margin - 26});
  ui::Button* white[3] = {&WhiteAddBtn, &WhiteModiBtn, &WhiteDelBtn};
  ui::Button* browsers[3] = {&BrowsersAddBtn, &BrowsersModiBtn, &BrowsersDelBtn};
  for (int i = 0; i < 3; ++i) {
    white[i]->Move({buttonsLeft, 28 + 30 * i, buttonWidth, 24});
    browsers[i]->Move({buttonsLeft, 28 + 30 * i, buttonWidth, 24});
  }
  ChangeSoundFileLbl.Move({margin, ph - margin - 18, 58, 16});
  Label5.Move({margin + 60, ph - margin - 18, pw - 2 * margin - 60, 16});
}

void PopUpFrmForm::Form_KeyDown(int& keyCode, int /*shift*/) {
  if (keyCode == VK_F1) ShowOnlineHelp("PopUpBlocker");
  if (keyCode == VK_F5) RefreshMe();
}

void PopUpFrmForm::RefreshMe() {
  TotalBlockSinceLbl.SetText(vb::CStrDate(std::floor(TotalBlockSince)));
  TotalBlockCntLbl.SetText(std::to_string(TotalBlockCnt));
}

void PopUpFrmForm::SSTab1_MouseMove() {
  const int tab = SSTab1.Tab();
  if (tab >= 0 && tab < 3) SetHintText(kTabHints[tab]);
}

// The first click on a column sorts it ascending; every click after flips the order.
void PopUpFrmForm::SortByColumn(ui::ListView& list, int column) {
  const bool ascending = !list.Sorted() || !list.SortAscending();
  const bool isTime = &list == &BlockedWndLst && column == 3;
  list.SortBy(column, isTime ? ui::SortKind::kDate : ui::SortKind::kText, ascending);
  // Rows a refill or a new pop-up adds then take their place in the order shown.
  if (!list.Sorted()) list.SetSorted(true);
}

int PopUpFrmForm::FocusedRow(ui::ListView& list) {
  const int focused = list.FocusedRow();
  if (focused >= 0 && list.Selected(focused)) return focused;
  const std::vector<int> selected = list.SelectedRows();
  return selected.empty() ? -1 : selected.front();
}

int PopUpFrmForm::FocusedEntry(ui::ListView& list) {
  const int row = FocusedRow(list);
  return row < 0 ? 0 : PopEntryOfRow(list, row) + 1;
}

std::vector<int> PopUpFrmForm::EntriesToRemove(ui::ListView& list) {
  std::vector<int> entries;
  for (int row : list.SelectedRows()) {
    const int entry = PopEntryOfRow(list, row);
    if (entry >= 0) entries.push_back(entry);
  }
  if (entries.empty()) return entries;
  if (MsgBox("Are you sure you want to remove the selected items?", kAskRemove, hwnd()) != IDYES) entries.clear();
  return entries;
}

void PopUpFrmForm::ResetBtn_Click() {
  if (MsgBox("Are you sure you want to reset pop-ups counter?", kAskRemove, hwnd()) != IDYES) return;
  ResetBlockCounter();
  RefreshMe();
}

void PopUpFrmForm::BrowsersAddBtn_Click() { AddBrowserFrm.ShowAddBrowserFrm(""); }

void PopUpFrmForm::BrowsersModiBtn_Click() {
  if (const int entry = FocusedEntry(BrowsersLst)) AddBrowserFrm.ShowModifyBrowserFrm(static_cast<int16_t>(entry));
}

void PopUpFrmForm::BrowsersDelBtn_Click() {
  const std::vector<int> entries = EntriesToRemove(BrowsersLst);
  if (!entries.empty()) RemoveBrowsers(entries);
}

void PopUpFrmForm::WhiteAddBtn_Click() { AddWhiteFrm.ShowAddWhiteFrm("", ""); }

void PopUpFrmForm::WhiteModiBtn_Click() {
  if (const int entry = FocusedEntry(WhiteWndLst)) AddWhiteFrm.ShowModifyWhiteFrm(static_cast<int16_t>(entry));
}

void PopUpFrmForm::WhiteDelBtn_Click() {
  const std::vector<int> entries = EntriesToRemove(WhiteWndLst);
  if (!entries.empty()) RemoveWhiteItems(entries);
}

void PopUpFrmForm::mnuWhiteCopy_Click() {
  std::string text;
  for (int row : WhiteWndLst.SelectedRows()) text += WhiteWndLst.ItemText(row) + "\r\n";
  ui::SetClipboardText(hwnd(), text);
}

void PopUpFrmForm::mnuBlockedCopy_Click() {
  std::string text;
  for (int row : BlockedWndLst.SelectedRows())
    text += BlockedWndLst.ItemText(row) + "(" + BlockedWndLst.SubItem(row, 1) + ")\r\n";
  ui::SetClipboardText(hwnd(), text);
}

void PopUpFrmForm::mnuBlockedGoto_Click() {
  const int row = FocusedRow(BlockedWndLst);
  if (row < 0) return;
  // A pop-up caught before its address was known has none: an empty address would
  // have the shell open the current folder.
  const std::string url = BlockedWndLst.SubItem(row, 1);
  if (!url.empty()) OpenUrl(url);
}

void PopUpFrmForm::mnuBlockedSend_Click() {
  const int row = FocusedRow(BlockedWndLst);
  if (row < 0) return;
  // A pop-up without a title is listed as "(none)"; the dialog gets its real one.
  std::string title = BlockedWndLst.ItemText(row);
  if (title == "(none)" && BlockedWndLst.Tag(row) != "Internet Explorer") title.clear();
  AddWhiteFrm.ShowAddWhiteFrm(BlockedWndLst.SubItem(row, 1), title);
}

void PopUpFrmForm::ChangeSoundFileLbl_Click() {
  ShowFrm(Views.options.form);
  if (Views.options.SSTab1) Views.options.SSTab1->SetTab(kOptionsPopUpTab);
}
