#include "MoreToolsFrm.h"

#include "ModMain.h"
#include "ModSettings.h"
#include "ViewBindings.h"

MoreToolsFrmForm MoreToolsFrm;

MoreToolsFrmForm::MoreToolsFrmForm()
    : Window({.caption = "More Tools", .style = WS_POPUP, .width = 600, .height = 400}),
      SSTab1(*this, {0, 0, 600, 400},
             {"Reminders", "Tasks History and Media Check", "Windows Start-up Manager"}),
      DriveEXList(*this, {20, 40, 120, 120}, LVS_LIST),
      IntReminderChk(*this, {20, 180, 300, 20}, "Remind me when I am connected to the Internet for"),
      IntReminderTxt(*this, {20, 204, 60, 20}),
      Label4(*this, {86, 206, 80, 20}, "minute(s)") {
  IntReminderTxt.SetNumberStyle(true);
  Views.moreTools = {.form = this,
                     .DriveEXList = &DriveEXList,
                     .IntReminderChk = &IntReminderChk,
                     .IntReminderTxt = &IntReminderTxt,
                     .Label4 = &Label4,
                     .LoadMoreToolsData = [] { MoreToolsFrm.LoadMoreToolsData(); }};
}

void MoreToolsFrmForm::LoadMoreToolsData() {
  SettingsReader more(ProgramTitle, "MoreTools");
  int16_t check = more.Int16("DriveCheck", 1);
  DriveCheck = check == 0 ? 0 : 1;
  SettingsReader general(ProgramTitle, "General");
  int16_t count = general.Int16("DriveEXNUM", 0);
  DriveEXList.Clear();
  for (int n = 1; n <= count; ++n) {
    std::string drive = general.Text("DriveEX" + std::to_string(n), "");
    if (!drive.empty()) DriveEXList.AddItem(drive);
  }
}

// The reminder fields and the start-up list arrive with the page itself.
void MoreToolsFrmForm::RefreshMe(bool /*keepStartUpList*/) {}
