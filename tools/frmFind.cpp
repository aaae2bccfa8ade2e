#include "frmFind.h"

#include "Logfrm.h"
#include "ModMain.h"
#include "ModMainPlatform.h"
#include "ViewBindings.h"

frmFindForm frmFind;

frmFindForm::frmFindForm()
    : Window({.caption = "Find", .style = WS_POPUP | WS_CAPTION | WS_SYSMENU, .width = 370, .height = 110,
              .centred = true}),
      Label1(*this, {8, 12, 70, 18}, "Fi&nd What:"),
      Text1(*this, {80, 10, 190, 22}),
      Frame1(*this, {150, 40, 120, 60}, "Direction"),
      optDirection0(*this, {8, 18, 50, 20}, "&Up", true),
      optDirection1(*this, {60, 18, 56, 20}, "&Down"),
      optDirection{&optDirection0, &optDirection1},
      chkCase(*this, {8, 60, 110, 20}, "Match &Case"),
      cmdFind(*this, {280, 8, 80, 24}, "&Find"),
      cmdcancel(*this, {280, 38, 80, 24}, "Cancel"),
      Tips(*this) {
  // "Fi&nd What:" names Alt+N, which leads to the box after the label.
  Label1.SetUseMnemonic(true);
  optDirection0.SetContainer(Frame1);
  optDirection1.SetContainer(Frame1);
  cmdFind.SetDefault(true);
  cmdcancel.SetCancel(true);
  Text1.Change = [this] { Text1_Change(); };
  chkCase.Click = [this] { chkCase_Click(); };
  optDirection0.Click = [this] { optDirection_Click(0); };
  optDirection1.Click = [this] { optDirection_Click(1); };
  cmdFind.Click = [this] { cmdFind_Click(); };
  cmdcancel.Click = [this] { cmdcancel_Click(); };
  Tips.Add(Text1, "Text to Find");
  Tips.Add(optDirection0, "Search to Beginning of Document");
  Tips.Add(optDirection1, "Search to End of Document");
  Tips.Add(chkCase, "Case Sensitivity");
  Tips.Add(cmdFind, "Start Search");
  Tips.Add(cmdcancel, "Return to Notepad");
}

void frmFindForm::Form_Load() {
  // Owned by the report: it stays above it and goes with it.
  if (Logfrm.hwnd()) SetWindowLongPtrA(hwnd(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(Logfrm.hwnd()));
  Tips.Create();
  cmdFind.SetEnabled(false);
  const int index = FindDirection == 1 ? 1 : 0;
  optDirection[index]->SetValue(true);
  optDirection[1 - index]->SetValue(false);
}

void frmFindForm::Form_Unload(bool&) {
  if (Logfrm.hwnd()) {
    EnableWindow(Logfrm.hwnd(), TRUE);
    SetActiveWindow(Logfrm.hwnd());
  }
}

void frmFindForm::Text1_Change() {
  FindTextChanged = true;
  cmdFind.SetEnabled(!Text1.Text().empty());
}

void frmFindForm::chkCase_Click() { MatchCase = chkCase.Value() ? 1 : 0; }

void frmFindForm::optDirection_Click(int index) { FindDirection = static_cast<int16_t>(index); }

void frmFindForm::cmdFind_Click() {
  // Enter reaches the default button even while it is disabled.
  if (!cmdFind.Enabled()) return;
  FindText = Text1.Text();
  FindInLog();
}

void frmFindForm::cmdcancel_Click() {
  FindText = Text1.Text();
  MatchCase = chkCase.Value() ? 1 : 0;
  Unload();
}

void FindInLog() {
  if (!Logfrm.Load()) return;
  const int32_t hit = FindInText(Logfrm.LogTxt.Text(), Logfrm.SelStart());
  if (hit < 0) {
    MsgBox("Cannot find \"" + FindText + "\"", MB_OK, FrameHwnd());
  } else {
    Logfrm.Select(hit, static_cast<int32_t>(FindText.size()));
  }
  LastFoundPos = Logfrm.SelStart();
  FindTextChanged = false;
}
