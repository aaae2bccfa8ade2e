#include "AddBrowserFrm.h"

#include "FileChoice.h"
#include "ModMain.h"
#include "ModMainPlatform.h"
#include "ModPop.h"
#include "VbRules.h"
#include "ViewBindings.h"

AddBrowserFrmForm AddBrowserFrm;

const char kBrowsersFullText[] =
    "The browser list is full: it holds at most 51 browsers. Remove a browser before adding another.";

const char kBrowserGoneText[] =
    "This browser was removed from the list while you were changing it, so nothing was changed.";

namespace {

constexpr int kPredefinedTab = 2;
constexpr int kOptionsPopUpTab = 6;
const COLORREF kLinkColour = RGB(0, 0, 0xFF);

}  // namespace

AddBrowserFrmForm::AddBrowserFrmForm()
    : Window({.caption = "Add Browser", .style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, .width = 440,
              .height = 300, .centred = true, .keyPreview = true}),
      SSTab1(*this, {6, 6, 428, 252}, {"General Properties", "Advanced Properties", "Predefined Browser"}),
      Frame1(*this, {8, 8, 408, 54}, "Browser Path"),
      BrowserPathTxt(*this, {8, 22, 310, 22}),
      BrowseBtn(*this, {324, 21, 76, 24}, "Browse"),
      PopDisNotfChk(*this, {8, 72, 400, 20}, "Display a notification window when a pop-up is detected "),
      HidePopOpt0(*this, {28, 120, 380, 20}, "Close pop-up's immediatly (Classical Mode)", true),
      HidePopOpt1(*this, {28, 96, 380, 20}, "Hide pop-up's for few seconds before closing them"),
      HidePopOpt{&HidePopOpt0, &HidePopOpt1},
      ChangeSoundFileLbl(*this, {8, 156, 400, 16}, "Click Here to change sound file played when a pop-up is detected"),
      Label1Menu(*this, {8, 14, 90, 16}, "Menu Name 1:"),
      Label2Menu(*this, {8, 44, 90, 16}, "Menu Name 2:"),
      MenuNameTxt0(*this, {100, 10, 300, 22}),
      MenuNameTxt1(*this, {100, 40, 300, 22}),
      MenuNameTxt{&MenuNameTxt0, &MenuNameTxt1},
      Label3(*this, {8, 76, 400, 80},
             "Type the name of the menu items in your browser that are used to display new windows. For example, "
             "in Internet Explorer, the name of the menu item that is used to display new windows is called \"Open "
             "in New Window\""),
      Label1(*this, {8, 8, 400, 16}, "Double click any of these predefined browsers to add it:"),
      PreDefLst(*this, {8, 28, 408, 180}),
      OkBtn(*this, {262, 266, 80, 26}, "Add"),
      CancelBtn(*this, {350, 266, 80, 26}, "Cancel") {
  Frame1.SetContainer(SSTab1.Page(0));
  BrowserPathTxt.SetContainer(Frame1);
  BrowseBtn.SetContainer(Frame1);
  for (ui::Control* c :
       std::initializer_list<ui::Control*>{&PopDisNotfChk, &HidePopOpt0, &HidePopOpt1, &ChangeSoundFileLbl})
    c->SetContainer(SSTab1.Page(0));
  for (ui::Control* c :
       std::initializer_list<ui::Control*>{&Label1Menu, &Label2Menu, &MenuNameTxt0, &MenuNameTxt1, &Label3})
    c->SetContainer(SSTab1.Page(1));
  Label1.SetContainer(SSTab1.Page(kPredefinedTab));
  PreDefLst.SetContainer(SSTab1.Page(kPredefinedTab));
  PreDefLst.AddColumn("K0", "Browser Name", 380);
  ChangeSoundFileLbl.SetForeColor(kLinkColour);
  OkBtn.SetDefault(true);
  CancelBtn.SetCancel(true);

  OkBtn.Click = [this] { OkBtn_Click(); };
  CancelBtn.Click = [this] { CancelBtn_Click(); };
  BrowseBtn.Click = [this] { BrowseBtn_Click(); };
  PopDisNotfChk.Click = [this] { PopDisNotfChk_Click(); };
  ChangeSoundFileLbl.Click = [this] { ChangeSoundFileLbl_Click(); };
  PreDefLst.DblClick = [this](int row) {
    if (row >= 0) PreDefLst_DblClick();
  };
}

// Runs at the first use and again after Cancel unloaded the dialog: the catalogue's
// browsers installed here.
void AddBrowserFrmForm::Form_Load() {
  PreDefLst.Clear();
  for (const CatalogueBrowser& browser : InstalledCatalogueBrowsers()) {
    const int row = PreDefLst.AddItem(browser.name, -1, "k" + std::to_string(browser.record));
    PreDefLst.SetTag(row, browser.path);
  }
}

void AddBrowserFrmForm::Form_KeyDown(int& keyCode, int /*shift*/) {
  if (keyCode == VK_F1) ShowOnlineHelp("PopUpBlocker");
}

void AddBrowserFrmForm::ShowHideOptions() {
  const bool shown = PopDisNotfChk.Value();
  HidePopOpt0.SetVisible(shown);
  HidePopOpt1.SetVisible(shown);
}

void AddBrowserFrmForm::ShowAddBrowserFrm(const std::string& BrowserPath) {
  if (!Load()) return;
  IsAdd = true;
  EditPath.clear();
  SSTab1.SetTabEnabled(kPredefinedTab, true);
  SSTab1.SetTab(0);
  SetCaption("Add Browser");
  BrowserPathTxt.SetText(BrowserPath);
  MenuNameTxt0.SetText("");
  MenuNameTxt1.SetText("");
  PopDisNotfChk.SetValue(true);
  HidePopOpt0.SetValue(false);
  HidePopOpt1.SetValue(true);
  ShowHideOptions();
  OkBtn.SetText("Add");
  ShowFrm(*this);
}

void AddBrowserFrmForm::ShowModifyBrowserFrm(int16_t BrowserIndex) {
  // An index outside the list (an empty list, or a browser removed meanwhile) adds.
  if (BrowserIndex < 1 || BrowserIndex > BrowsersLst_Total) return ShowAddBrowserFrm("");
  if (!Load()) return;
  IsAdd = false;
  EditPath = Browsers[BrowserIndex - 1].Path;
  SSTab1.SetTab(0);
  // A catalogue browser can only be added, never put in an entry's place.
  SSTab1.SetTabEnabled(kPredefinedTab, false);
  SetCaption("Modify Browser");
  OkBtn.SetText("Ok");
  const BrowserEntry& b = Browsers[BrowserIndex - 1];
  BrowserPathTxt.SetText(b.Path);
  MenuNameTxt0.SetText(b.MenuName[0]);
  MenuNameTxt1.SetText(b.MenuName[1]);
  // Flags are 0 or not: a stored value other than 0 or 1 shows as set.
  PopDisNotfChk.SetValue(b.PopDisNotf != 0);
  HidePopOpt0.SetValue(b.HidePop == 0);
  HidePopOpt1.SetValue(b.HidePop != 0);
  ShowHideOptions();
  ShowFrm(*this);
}

void AddBrowserFrmForm::PopDisNotfChk_Click() { ShowHideOptions(); }

int AddBrowserFrmForm::EditedEntry() const { return ListedBrowser(EditPath, -1); }

bool AddBrowserFrmForm::CheckError(const std::string& Path) {
  if (ListedBrowser(Path, IsAdd ? -1 : EditedEntry()) < 0) return false;
  MsgBox("The browser already exists", MB_OK | MB_ICONEXCLAMATION, hwnd());
  return true;
}

void AddBrowserFrmForm::OkBtn_Click() {
  const int edited = IsAdd ? -1 : EditedEntry();
  if (!IsAdd && edited < 0) {
    // Put in its old place the changes would overwrite whichever entry moved there.
    MsgBox(kBrowserGoneText, MB_OK | MB_ICONEXCLAMATION, hwnd());
    return;
  }
  const bool predefined = SSTab1.Tab() == kPredefinedTab;
  int record = 0;
  std::string path = BrowserPathTxt.Text();
  if (predefined) {
    const std::vector<int> selected = PreDefLst.SelectedRows();
    if (selected.empty()) return;  // nothing picked: nothing to add
    path = PreDefLst.Tag(selected.front());
    record = static_cast<int>(vb::Val(PreDefLst.Key(selected.front()).substr(1)));
  }
  if (CheckError(path)) return;
  if (IsAdd && BrowsersLst_Total >= kMaxBrowsers) {
    MsgBox(kBrowsersFullText, MB_OK | MB_ICONEXCLAMATION, hwnd());
    return;
  }
  if (predefined) {
    if (!AddCatalogueBrowser(record)) return;
  } else {
    BrowserEntry entry;
    entry.Path = path;
    entry.MenuName[0] = MenuNameTxt0.Text();
    entry.MenuName[1] = MenuNameTxt1.Text();
    entry.HidePop = HidePopOpt0.Value() ? 0 : 1;
    entry.PopDisNotf = PopDisNotfChk.Value() ? 1 : 0;
    if (!PutBrowser(entry, edited)) return;
    MsgBox("Please restart the browser if it's already runnning", MB_OK, hwnd());
  }
  Hide();
}

void AddBrowserFrmForm::CancelBtn_Click() { Unload(); }

void AddBrowserFrmForm::BrowseBtn_Click() {
  FileChoice choice;
  choice.filter = "Programs (*.exe)|*.exe|All files (*.*)|*.*";
  choice.title = "Browse";
  if (auto file = ChooseFileToOpen(hwnd(), choice)) BrowserPathTxt.SetText(*file);
}

void AddBrowserFrmForm::ChangeSoundFileLbl_Click() {
  ShowFrm(Views.options.form);
  if (Views.options.SSTab1) Views.options.SSTab1->SetTab(kOptionsPopUpTab);
}
