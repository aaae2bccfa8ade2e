// The dialog that adds a browser to the pop-up blocker's list or changes one: by hand
// (path, the menu captions that open a new window, notice and handling), or picked
// from the catalogue's browsers installed here.
#pragma once
#include <cstdint>
#include <string>

#include "Container.h"
#include "Controls.h"
#include "ListView.h"
#include "TabPages.h"
#include "Window.h"

class AddBrowserFrmForm : public ui::Window {
 public:
  AddBrowserFrmForm();
  // Opens the dialog for a new browser; a path given is preset.
  void ShowAddBrowserFrm(const std::string& BrowserPath);
  // Opens entry BrowserIndex (1-based) for changing; an index outside the list opens
  // the dialog for a new browser instead.
  void ShowModifyBrowserFrm(int16_t BrowserIndex);

  ui::TabPages SSTab1;  // "General Properties", "Advanced Properties", "Predefined Browser"
  ui::Frame Frame1;     // "Browser Path"
  ui::TextBox BrowserPathTxt;
  ui::Button BrowseBtn;
  ui::CheckBox PopDisNotfChk;
  ui::OptionButton HidePopOpt0, HidePopOpt1;
  ui::OptionButton* HidePopOpt[2];  // option k stores HidePop k
  ui::Label ChangeSoundFileLbl;
  ui::Label Label1Menu, Label2Menu;  // "Menu Name 1:", "Menu Name 2:"
  ui::TextBox MenuNameTxt0, MenuNameTxt1;
  ui::TextBox* MenuNameTxt[2];
  ui::Label Label3;
  ui::Label Label1;
  ui::ListView PreDefLst;  // text the name, tag the path, key "k" and the record's place
  ui::Button OkBtn, CancelBtn;

  // True (and the message shown) when another entry already has the path.
  bool CheckError(const std::string& Path);

  void OkBtn_Click();
  void CancelBtn_Click();
  void BrowseBtn_Click();
  void PopDisNotfChk_Click();
  void ChangeSoundFileLbl_Click();
  void PreDefLst_DblClick() { OkBtn_Click(); }

 protected:
  void Form_Load() override;
  void Form_KeyDown(int& keyCode, int shift) override;

 private:
  void ShowHideOptions();
  // The entry's place now, 0-based; -1 when it left the list while the dialog was open.
  int EditedEntry() const;
  bool IsAdd = true;
  // The entry being changed, held by its path (the list never holds a path twice):
  // the page can remove or move entries while this modeless dialog is open, so a place
  // remembered at the start may by OK time belong to another entry.
  std::string EditPath;
};

extern AddBrowserFrmForm AddBrowserFrm;

// Our message when the list already holds its 51 browsers.
extern const char kBrowsersFullText[];
// Our message when the entry being changed has left the list.
extern const char kBrowserGoneText[];
