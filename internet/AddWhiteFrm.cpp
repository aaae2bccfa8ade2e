#include "AddWhiteFrm.h"

#include "ModMain.h"
#include "ModPop.h"

AddWhiteFrmForm AddWhiteFrm;

AddWhiteFrmForm::AddWhiteFrmForm()
    : Window({.caption = "Add White List", .width = 420, .height = 140, .centred = true}),
      ByURLTxt(*this, {12, 20, 380, 20}),
      ByNameTxt(*this, {12, 56, 380, 20}) {}

void AddWhiteFrmForm::ShowAddWhiteFrm(const std::string& URL, const std::string& WindowName) {
  Load();
  SetCaption("Add new item to white list");
  if (!URL.empty()) ByURLTxt.SetText(URL);
  if (!WindowName.empty()) ByNameTxt.SetText(WindowName);
  ShowFrm(*this);
}

void AddWhiteFrmForm::ShowModifyWhiteFrm(int16_t ItemIndex) {
  if (ItemIndex < 1 || ItemIndex > WhiteLst_Total) return;
  const WhiteListEntry& item = WhiteLst[ItemIndex - 1];
  ShowAddWhiteFrm(item.WhiteType == 0 ? item.URL_Or_Name_text : "", item.WhiteType == 1 ? item.URL_Or_Name_text : "");
  SetCaption("Modify white list item");
}
