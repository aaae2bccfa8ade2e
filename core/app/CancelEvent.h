// The status window of every long operation: a message line and a Cancel button
// that sets CancelFlag. Loaded once, always on top, never unloaded; it is also the
// window through which the program hears that Windows is ending the session.
#pragma once
#include <string>

#include "Controls.h"
#include "Window.h"

class CancelEventForm : public ui::Window {
 public:
  CancelEventForm();

  ui::Label lblCancel;
  ui::Button btnCancel;

  static constexpr size_t kMaxCaption = 102;  // longer captions are cut to 98 + " ..."

 protected:
  void Form_Load() override;
  void Form_Activate() override;
  void Form_Deactivate() override;
  void Form_QueryUnload(bool& cancel, int unloadMode) override;
  void Form_Unload(bool& cancel) override;

 private:
  void btnCancel_Click();
  void lblCancel_Change();
  void StayOnTop(UINT extraFlags);
};

extern CancelEventForm CancelEvent;

// The status window for the length of one long command: shown with a fresh Cancel,
// hidden and the Cancel forgotten when the command ends by any path.
class StatusScope {
 public:
  explicit StatusScope(const std::string& text = "");
  ~StatusScope();
  StatusScope(const StatusScope&) = delete;
  StatusScope& operator=(const StatusScope&) = delete;
  // The line the user sees now, drawn at once.
  void SetText(const std::string& text);
  // The user pressed Cancel; the flag stays set for the command to see.
  bool Cancelled() const;
};
