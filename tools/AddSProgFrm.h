// The dialog that edits one special program.
#pragma once
#include <string>
#include <vector>

class AddSProgFrmForm {
 public:
  AddSProgFrmForm();
  // Captions of the action options 0, 1 and 2.
  std::vector<std::string> SProgOpt = {"Hide from programs list", "Hide it and all its windows from lists",
                                       "Give warning message before closing it"};
};

extern AddSProgFrmForm AddSProgFrm;
