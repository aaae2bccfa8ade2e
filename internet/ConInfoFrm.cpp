#include "ConInfoFrm.h"

#include "ModConInfo.h"
#include "ViewBindings.h"

ConInfoFrmForm ConInfoFrm;

ConInfoFrmForm::ConInfoFrmForm()
    : Window({.caption = "Internet Connection", .style = WS_POPUP, .width = 600, .height = 400}),
      SSTab1(*this, {0, 0, 600, 400}, {"Connection", "Internet Programs"}),
      IntProgsList(*this, {20, 40, 560, 300}),
      NetSpeedCombo(*this, {20, 350, 200, 200}) {
  for (const char* name : {"Receiving Speed", "Sending Speed", "Total Speed", "Average Receiving Speed",
                           "Average Sending Speed", "Average Total Speed"})
    NetSpeedCombo.AddItem(name);
  NetSpeedCombo.SetListIndex(0);
  IntProgsList.SetVisible(false);
  IntProgsList.AddColumn("K0", "Program", 540);
  Views.connection = {.form = this, .IntProgsList = &IntProgsList};
}

// The figures list and the speed graph arrive with the page itself.
void ConInfoFrmForm::RefreshMe() {}

void ConInfoFrmForm::LaunchAllBtn_Click() { DoIntProgOp(4); }

// The launch-on-connect programs are read from the store each time the page loads (it
// is unloaded on every page switch).
void ConInfoFrmForm::Form_Load() {
  IntProgsList.Clear();
  DoIntProgOp(2);
}
