#include "AddBrowserFrm.h"

#include "ModMain.h"

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
