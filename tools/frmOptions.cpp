#include "frmOptions.h"


#include <algorithm>
#include <cctype>
#include <limits>

#include "AddSProgFrm.h"
#include "DrawnPicture.h"
#include "FileChoice.h"
#include "ListColumns.h"
#include "ModMain.h"
#include "ModMainPlatform.h"
#include "ModPopHook.h"
#include "ModProgInfo.h"
#include "ModSProgs.h"
#include "ModSettings.h"
#include "ModStartup.h"
#include "ModStartupPlatform.h"
#include "VbRules.h"
#include "ViewBindings.h"

frmOptionsForm frmOptions;

namespace {

const char kLeasedLineCaption[] =
    "I use leased line to connect to the Internet (DSL, LAN, ... etc) or I want the Internet monitor and the "
    "pop-up blocker to be always active.";
const char kRangeMessage100[] = "Please enter a number between 1 and 100";
const char kCostMessage[] = "Please enter a number between 1 and 1000000";
const char kRangeMessage60[] = "Please enter a number between 1 and 60";
const char kDefaultLetters[2] = {'E', 'D'};

// The leading number of a field, 0 when it does not begin with one.
double FieldValue(const ui::TextBox& box) { return vb::Val(box.Text()); }

// An integer option from a field: rounded halves to even, 0 when it does not fit.
template <typename Int>
Int FieldInt(const ui::TextBox& box) {
  const double v = vb::RoundHalfEven(FieldValue(box));
  if (v < std::numeric_limits<Int>::min() || v > std::numeric_limits<Int>::max()) return 0;
  return static_cast<Int>(v);
}

int16_t Flag(const ui::CheckBox& box) { return box.Value() ? 1 : 0; }

bool IsHotKeyChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) && static_cast<unsigned char>(c) < 128; }

// A small round mark for the special-programs list: green enabled, grey disabled.
HICON MarkIcon(COLORREF colour) {
  auto circle = [](HDC dc) { Ellipse(dc, 3, 3, 13, 13); };
  return ui::DrawIcon(
      16, [&](HDC dc) { ui::DrawShape(dc, RGB(0, 0, 0), RGB(0, 0, 0), 1, circle); },
      [&](HDC dc) { ui::DrawShape(dc, colour, RGB(0, 0, 0), 1, circle); });
}

// The column boxes beyond what both families show stand for a column this family may
// lack (the NT family's "CPU usage (%)").
size_t CommonColumnCount(ColumnList list) {
  return std::min(ListColumns(list, true).size(), ListColumns(list, false).size());
}

void ShowColumnBoxes(std::vector<std::unique_ptr<ui::CheckBox>>& boxes, ColumnList list) {
  const std::vector<ListColumn>& columns = ListColumns(list, IsWinNTFlag);
  for (size_t i = 0; i < boxes.size(); ++i) {
    if (i >= CommonColumnCount(list)) boxes[i]->SetVisible(i < columns.size());
    if (i < columns.size()) boxes[i]->SetText(columns[i].title);
  }
}

void TickColumnBoxes(std::vector<std::unique_ptr<ui::CheckBox>>& boxes, ColumnList list, const std::string& mask) {
  for (size_t i = 0; i < ListColumns(list, IsWinNTFlag).size() && i < boxes.size(); ++i)
    boxes[i]->SetValue(i < mask.size() && vb::Val(mask.substr(i, 1)) != 0);
}

// The column setting: a flag a column, in the family's table order.
std::string ColumnMask(const std::vector<std::unique_ptr<ui::CheckBox>>& boxes, ColumnList list) {
  std::string mask;
  for (size_t i = 0; i < ListColumns(list, IsWinNTFlag).size() && i < boxes.size(); ++i)
    mask += boxes[i]->Value() ? "1" : "0";
  return mask;
}

}  // namespace

LRESULT HotKeyCharBox::ControlProc(UINT msg, WPARAM wp, LPARAM lp) {
  // Control characters (Backspace, Ctrl+V ...) keep their meaning; anything else
  // that is no letter or digit would register some other key.
  if (msg == WM_CHAR && wp >= 32 && !IsHotKeyChar(static_cast<char>(wp))) {
    MessageBeep(MB_OK);
    return 0;
  }
  if (msg == WM_PASTE) return 0;
  const LRESULT result = TextBox::ControlProc(msg, wp, lp);
  if (msg == WM_KILLFOCUS && LostFocus) LostFocus();
  return result;
}

frmOptionsForm::frmOptionsForm()
    // Wide enough that all seven tabs show in one row, "Pop-up blocker" included.
    : Window({.caption = "Options", .style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, .width = 640, .height = 430,
              .centred = true, .keyPreview = true}),
      SSTab1(*this, {8, 8, 624, 374},
             {"General", "Programs", "Windows", "Task Manager Lists", "Tracker Bar", "Internet Monitor",
              "Pop-up blocker"}),
      cmdOK(*this, {8, 394, 80, 26}, "&OK"),
      cmdCancel(*this, {96, 394, 80, 26}, "Cancel"),
      cmdApply(*this, {184, 394, 80, 26}, "&Apply"),
      DefaultBtn(*this, {272, 394, 80, 26}, "&Default"),
      HelpBtn(*this, {552, 394, 80, 26}, "&Help"),
      // General
      ChkStartUp(*this, {12, 34, 300, 20}, "Run Quillon at Startup of Windows"),
      ChkSplashAtStartUp(*this, {12, 56, 300, 20}, "Display Splash Screen at start up"),
      Check1(*this, {12, 80, 300, 20}, "Quillon Hot Key"),
      HKFram0(*this, {12, 100, 596, 62}, "The Hot-Key that when pressed, the Main Window appears."),
      chkShift0(*this, {10, 30, 70, 20}, "SHIFT"),
      chkAlt0(*this, {90, 30, 70, 20}, "ALT"),
      chkCtrl0(*this, {170, 30, 70, 20}, "CTRL"),
      CharLbl0(*this, {260, 32, 60, 18}, "Character:"),
      txtCharCode0(*this, {324, 30, 30, 20}),
      Check2(*this, {12, 166, 300, 20}, "\"Terminate and Restart\" Hot Key"),
      HKFram1(*this, {12, 186, 596, 76},
              "When this Hotkey key is pressed, Quillon will immediately terminate and restart the program that "
              "owns the window that the mouse is over."),
      chkShift1(*this, {10, 44, 70, 20}, "SHIFT"),
      chkAlt1(*this, {90, 44, 70, 20}, "ALT"),
      chkCtrl1(*this, {170, 44, 70, 20}, "CTRL"),
      CharLbl1(*this, {260, 46, 60, 18}, "Character:"),
      txtCharCode1(*this, {324, 44, 30, 20}),
      HistoryFram(*this, {12, 268, 596, 72}, "Processes and Windows History"),
      SecLogLbl(*this, {10, 22, 260, 18}, "Record Data every (in seconds) : "),
      txtSecLogData(*this, {280, 20, 40, 20}),
      NumLogLbl(*this, {10, 46, 260, 18}, "Maximum lines of Recorder Logged Data : "),
      txtNumLogData(*this, {280, 44, 40, 20}),
      // Programs
      SProgsLbl(*this, {12, 34, 200, 18}, "Special Programs:"),
      SProgsList(*this, {12, 54, 400, 230}),
      AddBtn(*this, {420, 54, 90, 26}, "Add"),
      ChangeBtn(*this, {420, 86, 90, 26}, "Change"),
      RemoveBtn(*this, {420, 118, 90, 26}, "Remove"),
      EnableBtn(*this, {420, 150, 90, 26}, "Enable/ Disable"),
      ProcWarnChk(*this, {12, 294, 400, 20}, "Warn me before terminating any process"),
      HideSysProcChk(*this, {12, 318, 400, 20}, "Hide System Processes"),
      // Windows
      HideWndChk(*this, {12, 34, 400, 20}, "Don't show  'Hidden' windows in windows list"),
      WndDisplayFram(*this, {12, 62, 596, 130}, "What windows do you want to display in the Task Manager?"),
      WndDisplayOpt0(*this, {10, 24, 470, 20}, "Display the same windows displayed by Windows Task Manager", true),
      WndDisplayOpt1(*this, {10, 48, 470, 20}, "Recommended windows types"),
      WndDisplayOpt2(*this, {10, 72, 470, 20}, "All Dialogue windows (for professionals)"),
      WndDisplayOpt3(*this, {10, 96, 470, 20}, "All windows on the system (for professionals)"),
      // Task Manager Lists
      AppListFram(*this, {12, 34, 245, 320}, "Program's List"),
      WndListFram(*this, {263, 34, 245, 320}, "Windows List"),
      // Tracker Bar
      TrackerLbl(*this, {12, 34, 200, 18}, "Tracker Bar Items"),
      TrackerItemsLV(*this, {12, 54, 260, 200}),
      ShiftItemBtn0(*this, {280, 100, 60, 26}, "Up"),
      ShiftItemBtn1(*this, {280, 134, 60, 26}, "Down"),
      LowResLbl(*this, {12, 262, 596, 32},
                "If CPU/Memory usage reached these values, the color of CPU/Mem boxes in tracker bar will change to "
                "notify you that the System is low in resources"),
      LowResLbl0(*this, {12, 298, 220, 18}, "High CPU/Memory usage (%): "),
      LowResLbl1(*this, {12, 322, 220, 18}, "Very high CPU/Memory usage (%): "),
      txtLowRes0(*this, {240, 296, 40, 20}),
      txtLowRes1(*this, {240, 320, 40, 20}),
      // Internet Monitor
      CostLbl0(*this, {12, 38, 70, 18}, "The cost of "),
      CostLbl1(*this, {146, 38, 70, 18}, "seconds is"),
      CostLbl2(*this, {122, 66, 380, 18}, "charged at the start of a connection (e.g: Call cost)"),
      EveryXSecondsTxt(*this, {84, 36, 60, 20}),
      CurrncSymbLbl0(*this, {218, 38, 30, 18}),
      CostOfXSecondTxt(*this, {250, 36, 80, 20}),
      CurrncSymbLbl1(*this, {12, 66, 30, 18}),
      ExtraCostTxt(*this, {40, 64, 80, 20}),
      LANConOpt0(*this, {12, 100, 596, 36},
                 "I use a modem to connect to the Internet using Microsoft Dial-Up Networking", true),
      LANConOpt1(*this, {12, 140, 596, 36}, ""),
      // Pop-up blocker
      PopPlaySndChk(*this, {12, 34, 400, 20}, "Play sound file when a pop-up is detected"),
      PopPlaySndFileTxt(*this, {12, 58, 400, 20}),
      BrowseBtn(*this, {420, 56, 80, 24}, "Browse"),
      IEFram(*this, {12, 92, 596, 120}, "Special Settings for Microsoft Internet Explorer only"),
      BlockDialogChk(*this, {10, 22, 300, 20}, "Block Dialog pop-ups"),
      BlockModeLbl(*this, {10, 46, 200, 18}, "Blocking Mode:"),
      BlockModeOpt0(*this, {20, 66, 460, 20}, "Aggressive Mode : Close any pop-up", true),
      BlockModeOpt1(*this, {20, 90, 460, 20}, "Intelligent Mode: Don't interfere with normal navigation"),
      Label9(*this, {12, 222, 596, 32},
             "In order to change other Latchkey settings, double click the desired browser in Browser List in "
             "Latchkey.") {
  // Pages in reading order, so Tab walks each page from the top.
  for (ui::Control* c : std::initializer_list<ui::Control*>{&ChkStartUp, &ChkSplashAtStartUp, &Check1, &HKFram0,
                                                             &Check2, &HKFram1, &HistoryFram})
    c->SetContainer(SSTab1.Page(0));
  for (ui::Control* c : std::initializer_list<ui::Control*>{&chkShift0, &chkAlt0, &chkCtrl0, &CharLbl0, &txtCharCode0})
    c->SetContainer(HKFram0);
  for (ui::Control* c : std::initializer_list<ui::Control*>{&chkShift1, &chkAlt1, &chkCtrl1, &CharLbl1, &txtCharCode1})
    c->SetContainer(HKFram1);
  for (ui::Control* c : std::initializer_list<ui::Control*>{&SecLogLbl, &txtSecLogData, &NumLogLbl, &txtNumLogData})
    c->SetContainer(HistoryFram);
  for (ui::Control* c : std::initializer_list<ui::Control*>{&SProgsLbl, &SProgsList, &AddBtn, &ChangeBtn, &RemoveBtn,
                                                             &EnableBtn, &ProcWarnChk, &HideSysProcChk})
    c->SetContainer(SSTab1.Page(1));
  HideWndChk.SetContainer(SSTab1.Page(2));
  WndDisplayFram.SetContainer(SSTab1.Page(2));
  for (int i = 0; i < 4; ++i) WndDisplayOpt(i).SetContainer(WndDisplayFram);
  AppListFram.SetContainer(SSTab1.Page(3));
  WndListFram.SetContainer(SSTab1.Page(3));
  // A box for every column either family shows; the boxes the running family has no
  // column for are hidden when the form loads.
  const auto addBoxes = [this](std::vector<std::unique_ptr<ui::CheckBox>>& boxes, ui::Frame& frame, ColumnList list) {
    const size_t count = std::max(ListColumns(list, true).size(), ListColumns(list, false).size());
    for (size_t i = 0; i < count; ++i) {
      const int top = 20 + static_cast<int>(i) * 24;
      boxes.push_back(std::make_unique<ui::CheckBox>(*this, ui::Bounds{10, top, 225, 20}, ""));
      boxes.back()->SetContainer(frame);
      boxes.back()->SetVisible(i < CommonColumnCount(list));
    }
  };
  addBoxes(AppListChks, AppListFram, ColumnList::kPrograms);
  addBoxes(WndListChks, WndListFram, ColumnList::kWindows);
  for (ui::Control* c : std::initializer_list<ui::Control*>{&TrackerLbl, &TrackerItemsLV, &ShiftItemBtn0,
                                                             &ShiftItemBtn1, &LowResLbl, &LowResLbl0, &txtLowRes0,
                                                             &LowResLbl1, &txtLowRes1})
    c->SetContainer(SSTab1.Page(4));
  for (ui::Control* c : std::initializer_list<ui::Control*>{&CostLbl0, &EveryXSecondsTxt, &CostLbl1, &CurrncSymbLbl0,
                                                             &CostOfXSecondTxt, &CurrncSymbLbl1, &ExtraCostTxt,
                                                             &CostLbl2, &LANConOpt0, &LANConOpt1})
    c->SetContainer(SSTab1.Page(5));
  for (ui::Control* c : std::initializer_list<ui::Control*>{&PopPlaySndChk, &PopPlaySndFileTxt, &BrowseBtn, &IEFram,
                                                             &Label9})
    c->SetContainer(SSTab1.Page(6));
  for (ui::Control* c : std::initializer_list<ui::Control*>{&BlockDialogChk, &BlockModeLbl, &BlockModeOpt0,
                                                             &BlockModeOpt1})
    c->SetContainer(IEFram);

  cmdOK.SetDefault(true);
  cmdCancel.SetCancel(true);
  SProgsList.AddColumn("K0", "Path", 260);
  SProgsList.AddColumn("K1", "Special Action", 136);
  TrackerItemsLV.AddColumn("K0", "Item", 236);
  TrackerItemsLV.SetCheckBoxes(true);

  cmdOK.Click = [this] { cmdOK_Click(); };
  cmdCancel.Click = [this] { cmdCancel_Click(); };
  cmdApply.Click = [this] { cmdApply_Click(); };
  DefaultBtn.Click = [this] { DefaultBtn_Click(); };
  HelpBtn.Click = [this] { HelpBtn_Click(); };
  Check1.Click = [this] { Check1_Click(); };
  Check2.Click = [this] { Check2_Click(); };
  ShiftItemBtn0.Click = [this] { ShiftItemBtn_Click(0); };
  ShiftItemBtn1.Click = [this] { ShiftItemBtn_Click(1); };
  BrowseBtn.Click = [this] { BrowseBtn_Click(); };
  Label9.MouseUp = [this](int button, int, int, int) {
    if (button == 1) Label9_Click();
  };
  AddBtn.Click = [this] { AddBtn_Click(); };
  ChangeBtn.Click = [this] { ChangeBtn_Click(); };
  RemoveBtn.Click = [this] { RemoveBtn_Click(); };
  EnableBtn.Click = [this] { EnableBtn_Click(); };
  SProgsList.ItemClick = [this](int) { ChkBtnsEnbl(); };
  SProgsList.SelectionChanged = [this](int) { ChkBtnsEnbl(); };
  SProgsList.ColumnClick = [this](int column) { SProgsList_ColumnClick(column); };
  txtCharCode0.LostFocus = [this] { txtCharCode_LostFocus(0); };
  txtCharCode1.LostFocus = [this] { txtCharCode_LostFocus(1); };
  Views.options = {.form = this, .SSTab1 = &SSTab1, .SProgsList = &SProgsList,
                   .LANConOpt = {&LANConOpt0, &LANConOpt1}};
}

ui::OptionButton& frmOptionsForm::WndDisplayOpt(int index) {
  switch (index) {
    case 0: return WndDisplayOpt0;
    case 1: return WndDisplayOpt1;
    case 2: return WndDisplayOpt2;
    default: return WndDisplayOpt3;
  }
}

void ShowOptions(int tab) {
  ShowFrm(frmOptions);
  if (tab >= 0) frmOptions.SSTab1.SetTab(tab);
}

// ---- loading

namespace {

// Selects one button of a group; an index outside it selects the group's default.
template <typename Pick>
void SelectOption(Pick pick, int count, int index, int fallback) {
  if (index < 0 || index >= count) index = fallback;
  for (int i = 0; i < count; ++i) pick(i).SetValue(i == index);
}

}  // namespace

void frmOptionsForm::Form_Load() {
  SSTab1.SetTab(0);
  const std::string currency = GetLocaleInfoText(LOCALE_SCURRENCY);
  CurrncSymbLbl0.SetText(currency);
  CurrncSymbLbl1.SetText(currency);
  LANConOpt1.SetText(kLeasedLineCaption);
  for (ui::TextBox* box : {&txtLowRes0, &txtLowRes1, &EveryXSecondsTxt, &txtSecLogData, &txtNumLogData})
    box->SetNumberStyle(true);
  const std::pair<ui::TextBox*, int> limits[] = {{&txtLowRes0, 3}, {&txtLowRes1, 3}, {&txtSecLogData, 2},
                                                 {&txtNumLogData, 2}, {&txtCharCode0, 1}, {&txtCharCode1, 1}};
  for (const auto& [box, length] : limits)
    if (box->hwnd()) SendMessageA(box->hwnd(), EM_LIMITTEXT, length, 0);
  for (int i = 0; i < 2; ++i) {
    HWND box = txtCharCode(i).hwnd();
    if (box) SetWindowLongA(box, GWL_STYLE, GetWindowLongA(box, GWL_STYLE) | ES_UPPERCASE);
  }
  ShowColumnBoxes(AppListChks, ColumnList::kPrograms);
  ShowColumnBoxes(WndListChks, ColumnList::kWindows);

  if (SProgIcons.Count() == 0) {
    // Image 0 serves a stored mark other than 1 or 2: it shows as disabled.
    const std::pair<COLORREF, const char*> marks[] = {
        {RGB(160, 160, 160), "other"}, {RGB(0, 170, 0), "enabled"}, {RGB(160, 160, 160), "disabled"}};
    for (const auto& [colour, key] : marks) {
      HICON icon = MarkIcon(colour);
      SProgIcons.Add(icon, key);  // the list keeps a copy
      if (icon) DestroyIcon(icon);
    }
  }
  SProgsList.SetImageList(LVSIL_SMALL, SProgIcons.handle());

  LoadSettings();
  TrackerItemsLV.Clear();
  for (int i = 1; i <= 10; ++i) {
    const int row = TrackerItemsLV.AddItem(TrackerName(TrackerItems[i]));
    TrackerItemsLV.SetChecked(row, TrackerItemsShow[i]);
    TrackerItemsLV.SetTag(row, std::to_string(TrackerItems[i]));
  }
  SProgsList.Clear();
  sortAscending_ = true;
  DoSProgOp(2);
  ChkBtnsEnbl();

  ChkStartUp.SetValue(RunAtStartUp != 0);
  ChkSplashAtStartUp.SetValue(SplashAtStartUp != 0);
  Check1.SetValue(AppHK.Enabled != 0);
  Check1_Click();
  Check2.SetValue(DestHK.Enabled != 0);
  Check2_Click();
  SeperateModifiers();
  for (int i = 0; i < 2; ++i) {
    const int32_t code = i == 0 ? AppHK.CharCode : DestHK.CharCode;
    const bool usable = code > 0 && code < 128 && IsHotKeyChar(static_cast<char>(code));
    txtCharCode(i).SetText(std::string(1, usable ? static_cast<char>(code) : kDefaultLetters[i]));
  }
  txtSecLogData.SetText(IntText(SecLogData));
  txtNumLogData.SetText(IntText(NumLogData));
  ProcWarnChk.SetValue(ProcWarn != 0);
  HideSysProcChk.SetValue(HideSysProc != 0);
  HideWndChk.SetValue(HideWnd != 0);
  SelectOption([this](int i) -> ui::OptionButton& { return WndDisplayOpt(i); }, 4, WndDisplay, 1);
  // A box is ticked exactly when the list shows its column (the same reading as the list's).
  TickColumnBoxes(AppListChks, ColumnList::kPrograms, AppList);
  TickColumnBoxes(WndListChks, ColumnList::kWindows, WndList);
  txtLowRes0.SetText(IntText(LowRes[0]));
  txtLowRes1.SetText(IntText(LowRes[1]));
  SelectOption([this](int i) -> ui::OptionButton& { return LANConOpt(i); }, 2, LANCon, 0);
  EveryXSecondsTxt.SetText(IntText(CostDefinition.EveryXSeconds));
  CostOfXSecondTxt.SetText(SingleText(CostDefinition.CostOfXSecond));
  ExtraCostTxt.SetText(SingleText(CostDefinition.ExtraCost));
  PopPlaySndChk.SetValue(PopPlaySnd != 0);
  PopPlaySndFileTxt.SetText(PopPlaySndFile);
  BlockDialogChk.SetValue(BlockDialog != 0);
  SelectOption([this](int i) -> ui::OptionButton& { return BlockModeOpt(i); }, 2, BlockMode, 1);
}

void frmOptionsForm::SeperateModifiers() {
  const int32_t masks[2] = {AppHK.Modifiers, DestHK.Modifiers};
  for (int i = 0; i < 2; ++i) {
    chkShift(i).SetValue(masks[i] & MOD_SHIFT);
    chkCtrl(i).SetValue(masks[i] & MOD_CONTROL);
    chkAlt(i).SetValue(masks[i] & MOD_ALT);
  }
}

void frmOptionsForm::CollectModifiers() {
  int32_t* masks[2] = {&AppHK.Modifiers, &DestHK.Modifiers};
  for (int i = 0; i < 2; ++i)
    *masks[i] = (chkAlt(i).Value() ? MOD_ALT : 0) | (chkCtrl(i).Value() ? MOD_CONTROL : 0) |
                (chkShift(i).Value() ? MOD_SHIFT : 0);
}

void frmOptionsForm::Check1_Click() { HKFram0.SetVisible(Check1.Value()); }
void frmOptionsForm::Check2_Click() { HKFram1.SetVisible(Check2.Value()); }

void frmOptionsForm::RefillCharCode(int index) {
  if (txtCharCode(index).Text().empty()) txtCharCode(index).SetText(std::string(1, kDefaultLetters[index]));
}

void frmOptionsForm::txtCharCode_LostFocus(int index) { RefillCharCode(index); }

std::string frmOptionsForm::TrackerName(int32_t kind) {
  static const char* const kNames[] = {"CPU usage",           "Memory usage",
                                       "Uptime",              "Connection duration",
                                       "Active connection duration", "Sending Speed",
                                       "Receiving Speed",     "Average Sending Speed",
                                       "Average Receiving Speed", "Number of blocked pop-up's"};
  return kind >= 1 && kind <= 10 ? kNames[kind - 1] : "";
}

void frmOptionsForm::ShiftItemBtn_Click(int index) {
  const std::vector<int> selected = TrackerItemsLV.SelectedRows();
  if (selected.empty()) return;
  const int row = selected.front();
  const int other = index == 0 ? row - 1 : row + 1;
  if (other < 0 || other >= TrackerItemsLV.ItemCount()) return;
  const std::string text = TrackerItemsLV.ItemText(row), tag = TrackerItemsLV.Tag(row);
  const bool checked = TrackerItemsLV.Checked(row);
  TrackerItemsLV.SetSubItem(row, 0, TrackerItemsLV.ItemText(other));
  TrackerItemsLV.SetTag(row, TrackerItemsLV.Tag(other));
  TrackerItemsLV.SetChecked(row, TrackerItemsLV.Checked(other));
  TrackerItemsLV.SetSubItem(other, 0, text);
  TrackerItemsLV.SetTag(other, tag);
  TrackerItemsLV.SetChecked(other, checked);
  TrackerItemsLV.SetSelected(row, false);
  TrackerItemsLV.SetSelected(other, true);
  TrackerItemsLV.SetFocusedRow(other);
}

void frmOptionsForm::BrowseBtn_Click() {
  FileChoice choice;
  choice.filter = "Wave Files (*.wav)|*.wav|All files (*.*)|*.*";
  choice.title = "Browse";
  choice.initialFolder = AppPath() + "\\sounds";
  if (auto file = ChooseFileToOpen(hwnd(), choice)) PopPlaySndFileTxt.SetText(*file);
}

void frmOptionsForm::Label9_Click() {
  ShowInterfaceFrm();
  if (Views.frame.ClickPageButton) Views.frame.ClickPageButton("PopUp");
  if (Views.popUpPage.SSTab1) Views.popUpPage.SSTab1->SetTab(2);
}

void frmOptionsForm::HelpBtn_Click() { ShowOnlineHelp("Options"); }

void frmOptionsForm::Form_KeyDown(int& keyCode, int shift) {
  if (keyCode == VK_F1) {
    HelpBtn_Click();
    keyCode = 0;
  } else if (keyCode == VK_TAB && (shift & 2)) {
    // Ctrl+Tab and Ctrl+Shift+Tab walk the tabs, round the ends.
    const int n = SSTab1.Tabs();
    SSTab1.SetTab((SSTab1.Tab() + ((shift & 1) ? n - 1 : 1)) % n);
    if (HWND first = GetNextDlgTabItem(SSTab1.Page(SSTab1.Tab()).hwnd(), nullptr, FALSE)) ::SetFocus(first);
    keyCode = 0;
  }
}

// ---- checks

double frmOptionsForm::CostValue(const std::string& text) {
  // Either separator is taken (the user's or the one other locales use); grouping is
  // never read, so the number ends at a second separator.
  std::string s = text;
  for (char& c : s)
    if (c == ',') c = '.';
  return vb::Val(s);
}

bool frmOptionsForm::IsValue(const std::string& text) {
  const double v = vb::RoundHalfEven(CostValue(text));
  return v >= -2147483648.0 && v <= 2147483647.0;
}

void frmOptionsForm::FailCheck(const std::string& message, int tab, ui::TextBox* field, bool selectAll) {
  MsgBox(message, MB_ICONSTOP, hwnd());
  SSTab1.SetTab(tab);
  if (!field) return;
  field->SetFocus();
  if (selectAll && field->hwnd())
    SendMessageA(field->hwnd(), EM_SETSEL, 0, static_cast<LPARAM>(field->Text().size()));
}

bool frmOptionsForm::CheckErrors() {
  struct RangeCheck {
    ui::TextBox* field;
    double low, high;
    const char* message;
    int tab;
    bool cost;
  };
  const RangeCheck ranges[] = {
      {&txtLowRes0, 1, 100, kRangeMessage100, 4, false},
      {&txtLowRes1, 1, 100, kRangeMessage100, 4, false},
      {&EveryXSecondsTxt, 1, 216000, "Please enter a number between 1 and 216000", 5, false},
      {&CostOfXSecondTxt, 0, 1000000, kCostMessage, 5, true},
      {&ExtraCostTxt, 0, 1000000, kCostMessage, 5, true},
      {&txtSecLogData, 1, 60, kRangeMessage60, 0, false},
      {&txtNumLogData, 1, 60, kRangeMessage60, 0, false},
  };
  for (const RangeCheck& c : ranges) {
    const std::string text = c.field->Text();
    if (c.cost && !IsValue(text)) {
      FailCheck(c.message, c.tab, c.field, true);
      return true;
    }
    const double v = c.cost ? CostValue(text) : vb::Val(text);
    if (v < c.low || v > c.high) {
      FailCheck(c.message, c.tab, c.field, true);
      return true;
    }
  }
  RefillCharCode(0);
  RefillCharCode(1);
  if (Check1.Value() && Check2.Value() && chkAlt0.Value() == chkAlt1.Value() &&
      chkCtrl0.Value() == chkCtrl1.Value() && chkShift0.Value() == chkShift1.Value() &&
      vb::UCase(txtCharCode0.Text()) == vb::UCase(txtCharCode1.Text())) {
    FailCheck("The Hot-Key of Quillon is the same as the Hot-Key of 'Terminate and restart a program' feature, "
              "please change one of them",
              0, &txtCharCode1, false);
    return true;
  }
  if (Check1.Value() && !chkAlt0.Value() && !chkCtrl0.Value() && !chkShift0.Value()) {
    FailCheck("Please select ALT or CTRL or SHIFT in the Hot Key of Quillon", 0, &txtCharCode0, false);
    return true;
  }
  if (Check2.Value() && !chkAlt1.Value() && !chkCtrl1.Value() && !chkShift1.Value()) {
    FailCheck("Please select ALT or CTRL or SHIFT in the Hot Key of 'Terminate and restart a program'", 0,
              &txtCharCode1, false);
    return true;
  }
  auto anyTicked = [](const std::vector<std::unique_ptr<ui::CheckBox>>& boxes) {
    for (const auto& b : boxes)
      if (b->Value()) return true;
    return false;
  };
  if (!anyTicked(AppListChks)) {
    FailCheck("You must select at least one column in programs list", 3, nullptr, false);
    return true;
  }
  if (!anyTicked(WndListChks)) {
    FailCheck("You must select at least one column in windows list", 3, nullptr, false);
    return true;
  }
  bool anyItem = false;
  for (int i = 0; i < TrackerItemsLV.ItemCount(); ++i) anyItem = anyItem || TrackerItemsLV.Checked(i);
  if (!anyItem) {
    FailCheck("You must select at least tracker item", 4, nullptr, false);
    return true;
  }
  return false;
}

// ---- applying

bool frmOptionsForm::ApplySettings() {
  stored_ = false;
  if (CheckErrors()) return true;
  RunAtStartUp = Flag(ChkStartUp);
  SplashAtStartUp = Flag(ChkSplashAtStartUp);
  SecLogData = FieldInt<int32_t>(txtSecLogData);
  NumLogData = FieldInt<int16_t>(txtNumLogData);
  CollectModifiers();
  AppHK.Enabled = Flag(Check1);
  AppHK.CharCode = static_cast<unsigned char>(vb::UCase(txtCharCode0.Text())[0]);
  DestHK.Enabled = Flag(Check2);
  DestHK.CharCode = static_cast<unsigned char>(vb::UCase(txtCharCode1.Text())[0]);
  DeleteStoredSProgs();
  SProgCount = static_cast<int16_t>(std::min(SProgsList.ItemCount(), 32767));
  ProcWarn = Flag(ProcWarnChk);
  HideSysProc = Flag(HideSysProcChk);
  HideWnd = Flag(HideWndChk);
  for (int i = 0; i < 4; ++i)
    if (WndDisplayOpt(i).Value()) {
      WndDisplay = static_cast<int16_t>(i);
      break;
    }
  AppList = ColumnMask(AppListChks, ColumnList::kPrograms);
  WndList = ColumnMask(WndListChks, ColumnList::kWindows);
  LowRes[0] = FieldInt<int16_t>(txtLowRes0);
  LowRes[1] = FieldInt<int16_t>(txtLowRes1);
  for (int i = 1; i <= TrackerItemsLV.ItemCount() && i <= 10; ++i) {
    TrackerItems[i] = static_cast<int32_t>(vb::Val(TrackerItemsLV.Tag(i - 1)));
    TrackerItemsShow[i] = TrackerItemsLV.Checked(i - 1);
  }
  const int16_t oldLANCon = LANCon;
  const bool typeChanges = !(LANCon >= 0 && LANCon <= 1 && LANConOpt(LANCon).Value());
  bool hookRemoved = false;
  if (typeChanges) {
    hookRemoved = PopUpHookInstalled();
    RemovePopUpHook();
  }
  LANCon = LANConOpt0.Value() ? 0 : 1;
  CostDefinition.EveryXSeconds = FieldInt<int32_t>(EveryXSecondsTxt);
  CostDefinition.CostOfXSecond = static_cast<float>(CostValue(CostOfXSecondTxt.Text()));
  CostDefinition.ExtraCost = static_cast<float>(CostValue(ExtraCostTxt.Text()));
  PopPlaySnd = Flag(PopPlaySndChk);
  PopPlaySndFile = PopPlaySndFileTxt.Text();
  BlockDialog = Flag(BlockDialogChk);
  BlockMode = BlockModeOpt0.Value() ? 0 : 1;
  SaveSettings();
  stored_ = true;
  DoSProgOp(1);
  const bool stayOpen = ApplyGlobalSettings();
  // A modem refused for want of dial-up networking ends on the leased line again: the
  // hook taken away for the switch comes back.
  if (hookRemoved && LANCon == oldLANCon && BlockPopUps) InstallPopUpHook();
  return stayOpen;
}

// A full refresh of the page on view, as the main toolbar's Refresh gives.
void frmOptionsForm::RefreshLists() {
  if (Views.lists.FastRef) *Views.lists.FastRef = false;
  if (Views.frame.RefreshNow) Views.frame.RefreshNow();
}

template <typename Work>
void frmOptionsForm::Exclusive(Work work) {
  if (busy_) return;
  busy_ = true;
  struct Release {
    bool& flag;
    ~Release() { flag = false; }
  } release{busy_};
  work();
}

void frmOptionsForm::cmdOK_Click() {
  Exclusive([this] {
    const bool stayOpen = ApplySettings();
    // The dialog goes first: the lists' refresh takes a second or more on a busy
    // machine, and the user has nothing more to do here.
    if (!stayOpen) Unload();
    if (stored_) RefreshLists();
  });
}

void frmOptionsForm::cmdApply_Click() {
  Exclusive([this] {
    ApplySettings();
    if (stored_) RefreshLists();
  });
}

void frmOptionsForm::cmdCancel_Click() {
  Exclusive([this] { Unload(); });
}

void frmOptionsForm::DefaultBtn_Click() {
  Exclusive([this] {
    if (MsgBox("Are you sure you want set all options to default settings?", 289, hwnd()) != IDOK) return;
    SProgsList.Clear();
    DefaultSettings();
    SaveSettings();
    ApplyGlobalSettings();
    // The controls show the defaults before the lists refresh pumps events, so an OK
    // clicked meanwhile stores the defaults, not the old values.
    Form_Load();
    if (Views.lists.FastRef) *Views.lists.FastRef = false;
    if (ViewVisible(Views.frame.form) && Views.lists.form && Views.frame.RefreshNow) Views.frame.RefreshNow();
  });
}

// ---- special programs

void frmOptionsForm::ChkBtnsEnbl() {
  const bool any = !SProgsList.SelectedRows().empty();
  RemoveBtn.SetEnabled(any);
  ChangeBtn.SetEnabled(any);
  EnableBtn.SetEnabled(any);
}

void frmOptionsForm::AddBtn_Click() { AddSProgFrm.OpenToAdd(); }

void frmOptionsForm::ChangeBtn_Click() {
  const std::vector<int> selected = SProgsList.SelectedRows();
  if (selected.empty()) return;
  const int focused = SProgsList.FocusedRow();
  const int row = focused >= 0 && SProgsList.Selected(focused) ? focused : selected.front();
  AddSProgFrm.OpenToChange(SProgsList.RowId(row));
}

void frmOptionsForm::RemoveBtn_Click() {
  for (int row = 0; row < SProgsList.ItemCount();) {
    if (SProgsList.Selected(row))
      SProgsList.RemoveItem(row);
    else
      ++row;
  }
  ChkBtnsEnbl();
}

void frmOptionsForm::EnableBtn_Click() {
  for (int row : SProgsList.SelectedRows()) SProgsList.SetSmallIcon(row, SProgsList.SmallIcon(row) == 1 ? 2 : 1);
}

void frmOptionsForm::SProgsList_ColumnClick(int column) {
  sortAscending_ = !sortAscending_;
  SProgsList.SortBy(column, ui::SortKind::kText, sortAscending_);
}
