// The dialog that adds an item to the pop-up blocker's white list or changes one: a
// window allowed by its address or by its title, matched exactly or as contained text.
#pragma once
#include <cstdint>
#include <string>

#include "Controls.h"
#include "ModPop.h"
#include "Window.h"

class AddWhiteFrmForm : public ui::Window {
 public:
  AddWhiteFrmForm();
  // Opens the dialog for a new item, preset with the texts given; with both, the
  // address option is the one selected.
  void ShowAddWhiteFrm(const std::string& URL, const std::string& WindowName);
  // Opens item ItemIndex (1-based) for changing; nothing for an index outside the list.
  void ShowModifyWhiteFrm(int16_t ItemIndex);

  ui::OptionButton ByURLOpt;
  ui::TextBox ByURLTxt;
  ui::OptionButton ByNameOpt;
  ui::TextBox ByNameTxt;
  ui::CheckBox ExactTextChk;  // kept from one use to the next while the dialog is loaded
  ui::Label Label2, Label1;   // the bold "Tip: " over the tip's room
  ui::Button OkBtn, CancelBtn;

  // True (and the message shown) when the item entered is already listed.
  bool CheckError();

  void OkBtn_Click();
  void CancelBtn_Click();
  void ByNameTxt_Change();
  void ByURLTxt_Change();

 protected:
  void Form_Load() override;
  void Form_KeyDown(int& keyCode, int shift) override;

 private:
  void SelectOption(bool byURL);
  WhiteListEntry EnteredItem() const;
  // The item's place now, 0-based; -1 when it left the list while the dialog was open.
  int EditedEntry() const;
  bool IsAdd = true;
  // The item being changed, held as it was (the list never holds one twice): the page
  // can remove or move items while this modeless dialog is open, so a place remembered
  // at the start may by OK time belong to another item.
  WhiteListEntry EditItem;
};

extern AddWhiteFrmForm AddWhiteFrm;

// Our message when the list already holds its 201 items.
extern const char kWhiteListFullText[];
// Our message when the item being changed has left the list.
extern const char kWhiteItemGoneText[];
