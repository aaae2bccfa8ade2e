#include "AddWhiteFrm.h"

#include "ModMain.h"
#include "ModMainPlatform.h"
#include "ModPop.h"

AddWhiteFrmForm AddWhiteFrm;

const char kWhiteListFullText[] =
    "The white list is full: it holds at most 201 items. Remove an item before adding another.";
const char kWhiteItemGoneText[] =
    "This item was removed from the white list while you were changing it, so nothing was changed.";

AddWhiteFrmForm::AddWhiteFrmForm()
    : Window({.caption = "Add White List", .style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, .width = 420,
              .height = 190, .centred = true, .keyPreview = true}),
      ByURLOpt(*this, {10, 12, 120, 20}, "By URL: ", true),
      ByURLTxt(*this, {134, 11, 276, 22}),
      ByNameOpt(*this, {10, 42, 120, 20}, "By Window Name:"),
      ByNameTxt(*this, {134, 41, 276, 22}),
      ExactTextChk(*this, {10, 72, 200, 20}, "Match Exact text"),
      Label2(*this, {10, 100, 30, 16}, "Tip: "),
      Label1(*this, {10, 100, 400, 46},
             "      : Make sure when you add the URL to write the main URL only. For example, write "
             "\"www.example.com/news\" instead of \"www.example.com/news/today.html?id=42\".",
             SS_LEFT | WS_CLIPSIBLINGS),
      OkBtn(*this, {242, 156, 80, 26}, "Add"),
      CancelBtn(*this, {330, 156, 80, 26}, "Cancel") {
  Label2.SetFont("MS Sans Serif", 8, true);
  OkBtn.SetDefault(true);
  CancelBtn.SetCancel(true);
  OkBtn.Click = [this] { OkBtn_Click(); };
  CancelBtn.Click = [this] { CancelBtn_Click(); };
  ByNameTxt.Change = [this] { ByNameTxt_Change(); };
  ByURLTxt.Change = [this] { ByURLTxt_Change(); };
}

// A dialog Cancel unloaded opens new: the controls keep their state while it has no window.
void AddWhiteFrmForm::Form_Load() {
  ByURLTxt.SetText("");
  ByNameTxt.SetText("");
  ExactTextChk.SetValue(false);
  // The tip's first line leaves room for the bold "Tip: ", which lies above it.
  if (Label2.hwnd()) SetWindowPos(Label2.hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void AddWhiteFrmForm::Form_KeyDown(int& keyCode, int /*shift*/) {
  if (keyCode == VK_F1) ShowOnlineHelp("PopUpBlocker");
}

void AddWhiteFrmForm::SelectOption(bool byURL) {
  ByURLOpt.SetValue(byURL);
  ByNameOpt.SetValue(!byURL);
}

void AddWhiteFrmForm::ShowAddWhiteFrm(const std::string& URL, const std::string& WindowName) {
  if (!Load()) return;
  IsAdd = true;
  EditItem = {};
  OkBtn.SetText("Add");
  SetCaption("Add new item to white list");
  SelectOption(true);
  ShowFrm(*this);
  if (!WindowName.empty()) {
    ByNameTxt.SetText(WindowName);
    SelectOption(false);
  }
  if (!URL.empty()) {
    ByURLTxt.SetText(URL);
    SelectOption(true);
  }
}

void AddWhiteFrmForm::ShowModifyWhiteFrm(int16_t ItemIndex) {
  if (ItemIndex < 1 || ItemIndex > WhiteLst_Total) return;
  if (!Load()) return;
  IsAdd = false;
  EditItem = WhiteLst[ItemIndex - 1];
  OkBtn.SetText("Ok");
  SetCaption("Modify white list item");
  const WhiteListEntry& item = WhiteLst[ItemIndex - 1];
  if (item.WhiteType == 1) {
    ByNameTxt.SetText(item.URL_Or_Name_text);
    SelectOption(false);
  } else if (item.WhiteType == 0) {
    ByURLTxt.SetText(item.URL_Or_Name_text);
    SelectOption(true);
  }
  ExactTextChk.SetValue(item.ExactText != 0);
  ShowFrm(*this);
}

// Typing in a field chooses its option; so does the preset text a caller gives, which
// is why the callers set the option after the text.
void AddWhiteFrmForm::ByNameTxt_Change() { SelectOption(false); }
void AddWhiteFrmForm::ByURLTxt_Change() { SelectOption(true); }

WhiteListEntry AddWhiteFrmForm::EnteredItem() const {
  WhiteListEntry item;
  const bool byURL = ByURLOpt.Value();
  item.WhiteType = byURL ? 0 : 1;
  item.URL_Or_Name_text = byURL ? ByURLTxt.Text() : ByNameTxt.Text();  // as typed
  item.ExactText = ExactTextChk.Value() ? 1 : 0;
  return item;
}

int AddWhiteFrmForm::EditedEntry() const { return ListedWhiteItem(EditItem, -1); }

bool AddWhiteFrmForm::CheckError() {
  const WhiteListEntry item = EnteredItem();
  if (ListedWhiteItem(item, IsAdd ? -1 : EditedEntry()) < 0) return false;
  MsgBox("This white list item already exists ", MB_OK | MB_ICONEXCLAMATION, hwnd());
  return true;
}

void AddWhiteFrmForm::OkBtn_Click() {
  const int edited = IsAdd ? -1 : EditedEntry();
  if (!IsAdd && edited < 0) {
    // Put in its old place the changes would overwrite whichever item moved there.
    MsgBox(kWhiteItemGoneText, MB_OK | MB_ICONEXCLAMATION, hwnd());
    return;
  }
  if (CheckError()) return;
  if (IsAdd && WhiteLst_Total >= kMaxWhiteEntries) {
    MsgBox(kWhiteListFullText, MB_OK | MB_ICONEXCLAMATION, hwnd());
    return;
  }
  const WhiteListEntry item = EnteredItem();
  if (!PutWhiteItem(item, edited)) return;
  ByNameTxt.SetText("");
  ByURLTxt.SetText("");
  Hide();
}

void AddWhiteFrmForm::CancelBtn_Click() { Unload(); }
