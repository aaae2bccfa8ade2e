// The mini-tools page: reminders, history log, media check and start-up programs.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "Controls.h"
#include "ListView.h"
#include "Window.h"


class MoreToolsFrmForm : public ui::Window {
 public:
  MoreToolsFrmForm();

  ui::TabControl SSTab1;
  ui::ListView DriveEXList;  // drives left out of the media check
  // The Internet reminder: on/off, its minutes and their caption (element 0 of the
  // page's label array).
  ui::CheckBox IntReminderChk;
  ui::TextBox IntReminderTxt;
  ui::Label Label4;

  // Reads "MoreTools"/"DriveCheck" and the excluded drives.
  void LoadMoreToolsData();
  void RefreshMe(bool keepStartUpList);
};

extern MoreToolsFrmForm MoreToolsFrm;
