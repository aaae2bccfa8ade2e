// The modules page of the details window: the modules of the selected instance.
#pragma once

#include "Container.h"
#include "Controls.h"
#include "ListView.h"

class DetailsFrmForm;

class DetailsModulesPage {
 public:
  DetailsModulesPage(DetailsFrmForm& form, ui::Container& frame);

  ui::Label Label2;
  ui::ListView ModsLst;

  void Form_Load();
  void ListModules();

 private:
  DetailsFrmForm& form_;
};
