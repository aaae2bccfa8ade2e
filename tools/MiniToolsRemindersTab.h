// The mini-tools page's Reminders tab: the health ("Windows") reminder and the
// Internet reminder, edited in place and stored on Save or when the focus leaves the
// page.
#pragma once
#include "ComboBox.h"
#include "Container.h"
#include "Controls.h"
#include "Window.h"

class MiniToolsRemindersTab {
 public:
  MiniToolsRemindersTab(ui::Window& form, ui::Container& page);

  ui::Frame HealthFram;
  ui::CheckBox WinReminderChk;
  ui::TextBox WinReminderTxt;
  ui::Label WinMinutesLbl, IdleLbl;
  ui::TextBox WinReminderIdleTimeTxt;
  ui::Label IdleMinutesLbl;
  ui::TextBox WinReminderTextTxt;
  ui::Label PresetsLbl;
  ui::ComboBox MsgsLstCombo;
  ui::Frame IntFram;
  ui::CheckBox IntReminderChk;
  ui::TextBox IntReminderTxt;
  ui::Label Label4;    // element 0 of the frame's labels: "minute(s) while connected ..."
  ui::Label Label4_1;  // element 1: "(Dial-up connection only) :"
  ui::TextBox IntReminderTextTxt;
  ui::Button SaveBtn, ResetBtn;

  // Fills the presets box.
  void Prepare();
  // Shows the reminder globals; an edit is not pending after it.
  void Show();
  // Stores the fields (corrected first) in the option globals and settings.
  void UpdateData();
  // Puts out-of-range reminder periods right; always false.
  bool CheckErrors();
  // True when the window is one of the tab's text fields.
  bool IsTextField(HWND window) const;
  // The frames take the tab's width.
  void Layout(ui::Container& page);

  void MsgsLstCombo_Click();
  void SaveBtn_Click();
  void ResetBtn_Click();

 private:
  void ReminderEdited(ui::CheckBox* tick);
  ui::Window& form_;
  // True while code, not the user, writes the fields.
  bool filling_ = false;
};

// The presets, by index: 0 "Default" to 4 "Office (hard)".
extern const char* const kReminderPresets[5];
