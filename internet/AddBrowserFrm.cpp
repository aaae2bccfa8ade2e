#include "AddBrowserFrm.h"

#include "ModMain.h"
#include "ModPop.h"

AddBrowserFrmForm AddBrowserFrm;

AddBrowserFrmForm::AddBrowserFrmForm()
    : Window({.caption = "Add Browser", .width = 420, .height = 120, .centred = true}),
      BrowserPathTxt(*this, {12, 20, 380, 20}) {}

void AddBrowserFrmForm::ShowAddBrowserFrm(const std::string& BrowserPath) {
  Load();
  SetCaption("Add Browser");
  BrowserPathTxt.SetText(BrowserPath);
  ShowFrm(*this);
}

void AddBrowserFrmForm::ShowModifyBrowserFrm(int16_t BrowserIndex) {
  if (BrowserIndex < 1 || BrowserIndex > BrowsersLst_Total) return ShowAddBrowserFrm("");
  Load();
  SetCaption("Modify Browser");
  BrowserPathTxt.SetText(Browsers[BrowserIndex - 1].Path);
  ShowFrm(*this);
}
