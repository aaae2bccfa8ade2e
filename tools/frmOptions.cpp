#include "frmOptions.h"
#include "ViewBindings.h"

frmOptionsForm frmOptions;

frmOptionsForm::frmOptionsForm()
    : Window({.caption = "Options", .width = 520, .height = 400, .centred = true}),
      SSTab1(*this, {8, 8, 504, 384},
             {"General", "Programs", "Windows", "Task Manager Lists", "Tracker Bar", "Internet Monitor",
              "Pop-up blocker"}),
      SProgsList(*this, {20, 40, 480, 300}),
      LANConOpt0(*this, {20, 40, 300, 20}, "Dial-up connection (modem)", true),
      LANConOpt1(*this, {20, 64, 300, 20}, "Leased line (LAN, DSL, ...)") {
  LANConOpt0.SetVisible(false);
  LANConOpt1.SetVisible(false);
  SProgsList.SetVisible(false);
  SProgsList.AddColumn("K0", "Program", 300);
  SProgsList.AddColumn("K1", "Action", 170);
  Views.options = {.form = this, .SSTab1 = &SSTab1, .SProgsList = &SProgsList,
                   .LANConOpt = {&LANConOpt0, &LANConOpt1}};
}
