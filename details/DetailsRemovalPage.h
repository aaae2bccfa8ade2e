// The removal tools page of the details window: terminate the program, send it to
// the quarantine, remove it from start-up or search the spyware list for it.
#pragma once

#include "Container.h"
#include "Controls.h"

class DetailsFrmForm;

class DetailsRemovalPage {
 public:
  DetailsRemovalPage(DetailsFrmForm& form, ui::Container& frame);

  ui::Label Label4;
  ui::Button TerminateProg, QrtBtn, RemStartUpBtn, SearchBtn;
  ui::Label RemLbl[4];
  ui::Label Label7[2];  // "Open Quarantine", "Open Start-up Manager"

  void TerminateProg_Click();
  void QrtBtn_Click();
  void RemStartUpBtn_Click();
  void SearchBtn_Click();
  void Label7_Click(int index);

 private:
  DetailsFrmForm& form_;
};
