#include "frmOptions.h"

#include "ModMain.h"
#include "ModMainPlatform.h"
#include "ModPopHook.h"
#include "ModSProgs.h"
#include "ModSettings.h"
#include "VbRules.h"
#include "ViewBindings.h"

frmOptionsForm frmOptions;

namespace {

enum OptionsTab { kGeneralTab, kProgramsTab, kWindowsTab, kListsTab, kTrackerTab, kInternetTab, kPopUpTab };

const char kRangeMessage100[] = "Please enter a number between 1 and 100";
const char kCostMessage[] = "Please enter a number between 1 and 1000000";
const char kRangeMessage60[] = "Please enter a number between 1 and 60";

}  // namespace

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
      General(*this, SSTab1.Page(kGeneralTab)),
      Programs(*this, SSTab1.Page(kProgramsTab)),
      Windows(*this, SSTab1.Page(kWindowsTab)),
      Lists(*this, SSTab1.Page(kListsTab)),
      Tracker(*this, SSTab1.Page(kTrackerTab)),
      Internet(*this, SSTab1.Page(kInternetTab)),
      PopUp(*this, SSTab1.Page(kPopUpTab)) {
  cmdOK.SetDefault(true);
  cmdCancel.SetCancel(true);
  cmdOK.Click = [this] { cmdOK_Click(); };
  cmdCancel.Click = [this] { cmdCancel_Click(); };
  cmdApply.Click = [this] { cmdApply_Click(); };
  DefaultBtn.Click = [this] { DefaultBtn_Click(); };
  HelpBtn.Click = [this] { HelpBtn_Click(); };
  Views.options = {.form = this, .SSTab1 = &SSTab1, .SProgsList = &Programs.SProgsList,
                   .LANConOpt = {&Internet.LANConOpt0, &Internet.LANConOpt1}};
}

void ShowOptions(int tab) {
  ShowFrm(frmOptions);
  if (tab >= 0) frmOptions.SSTab1.SetTab(tab);
}

// ---- loading

void frmOptionsForm::Form_Load() {
  SSTab1.SetTab(kGeneralTab);
  General.Prepare();
  Programs.Prepare();
  Lists.Prepare();
  Tracker.Prepare();
  Internet.Prepare();

  LoadSettings();
  Tracker.Load();
  Programs.Load();
  General.Load();
  Windows.Load();
  Lists.Load();
  Internet.Load();
  PopUp.Load();
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

void frmOptionsForm::FailCheck(const std::string& message, int tab, ui::TextBox* field, bool selectAll) {
  MsgBox(message, MB_ICONSTOP, hwnd());
  SSTab1.SetTab(tab);
  if (!field) return;
  field->SetFocus();
  if (selectAll && field->hwnd())
    SendMessageA(field->hwnd(), EM_SETSEL, 0, static_cast<LPARAM>(field->Text().size()));
}

// The checks span the tabs and run in one order: the first that fails shows its tab.
bool frmOptionsForm::CheckErrors() {
  struct RangeCheck {
    ui::TextBox* field;
    double low, high;
    const char* message;
    int tab;
    bool cost;
  };
  const RangeCheck ranges[] = {
      {&Tracker.txtLowRes0, 1, 100, kRangeMessage100, kTrackerTab, false},
      {&Tracker.txtLowRes1, 1, 100, kRangeMessage100, kTrackerTab, false},
      {&Internet.EveryXSecondsTxt, 1, 216000, "Please enter a number between 1 and 216000", kInternetTab, false},
      {&Internet.CostOfXSecondTxt, 0, 1000000, kCostMessage, kInternetTab, true},
      {&Internet.ExtraCostTxt, 0, 1000000, kCostMessage, kInternetTab, true},
      {&General.txtSecLogData, 1, 60, kRangeMessage60, kGeneralTab, false},
      {&General.txtNumLogData, 1, 60, kRangeMessage60, kGeneralTab, false},
  };
  for (const RangeCheck& c : ranges) {
    const std::string text = c.field->Text();
    if (c.cost && !OptionsInternetTab::IsValue(text)) {
      FailCheck(c.message, c.tab, c.field, true);
      return true;
    }
    const double v = c.cost ? OptionsInternetTab::CostValue(text) : vb::Val(text);
    if (v < c.low || v > c.high) {
      FailCheck(c.message, c.tab, c.field, true);
      return true;
    }
  }
  OptionsGeneralTab& g = General;
  g.RefillCharCode(0);
  g.RefillCharCode(1);
  if (g.Check1.Value() && g.Check2.Value() && g.chkAlt0.Value() == g.chkAlt1.Value() &&
      g.chkCtrl0.Value() == g.chkCtrl1.Value() && g.chkShift0.Value() == g.chkShift1.Value() &&
      vb::UCase(g.txtCharCode0.Text()) == vb::UCase(g.txtCharCode1.Text())) {
    FailCheck("The Hot-Key of Quillon is the same as the Hot-Key of 'Terminate and restart a program' feature, "
              "please change one of them",
              kGeneralTab, &g.txtCharCode1, false);
    return true;
  }
  if (g.Check1.Value() && !g.chkAlt0.Value() && !g.chkCtrl0.Value() && !g.chkShift0.Value()) {
    FailCheck("Please select ALT or CTRL or SHIFT in the Hot Key of Quillon", kGeneralTab, &g.txtCharCode0, false);
    return true;
  }
  if (g.Check2.Value() && !g.chkAlt1.Value() && !g.chkCtrl1.Value() && !g.chkShift1.Value()) {
    FailCheck("Please select ALT or CTRL or SHIFT in the Hot Key of 'Terminate and restart a program'", kGeneralTab,
              &g.txtCharCode1, false);
    return true;
  }
  if (!Lists.AppListHasColumn()) {
    FailCheck("You must select at least one column in programs list", kListsTab, nullptr, false);
    return true;
  }
  if (!Lists.WndListHasColumn()) {
    FailCheck("You must select at least one column in windows list", kListsTab, nullptr, false);
    return true;
  }
  if (!Tracker.AnyItemShown()) {
    FailCheck("You must select at least tracker item", kTrackerTab, nullptr, false);
    return true;
  }
  return false;
}

// ---- applying

bool frmOptionsForm::ApplySettings() {
  stored_ = false;
  if (CheckErrors()) return true;
  General.Store();
  Programs.Store();
  Windows.Store();
  Lists.Store();
  Tracker.Store();
  const int16_t oldLANCon = LANCon;
  bool hookRemoved = false;
  if (Internet.ConnectionChanges()) {
    hookRemoved = PopUpHookInstalled();
    RemovePopUpHook();
  }
  Internet.Store();
  PopUp.Store();
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
    Programs.Clear();
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
