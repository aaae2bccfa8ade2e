#include "CancelEvent.h"

#include "ModMain.h"
#include "ViewBindings.h"

CancelEventForm CancelEvent;

CancelEventForm::CancelEventForm()
    : Window({.caption = "Quillon status ...", .style = WS_POPUP | WS_CAPTION | WS_SYSMENU,
                  .width = 380, .height = 82, .centred = true}),
      lblCancel(*this, {10, 8, 360, 34}),
      btnCancel(*this, {150, 48, 80, 24}, "Cancel") {
  lblCancel.SetFont("Arial", 8);
  btnCancel.SetFont("Arial", 8);
  lblCancel.Change = [this] { lblCancel_Change(); };
  btnCancel.Click = [this] { btnCancel_Click(); };
  Views.status.form = this;
  Views.status.lblCancel = &lblCancel;
}

void CancelEventForm::StayOnTop(UINT extraFlags) {
  SetWindowPos(hwnd(), HWND_TOPMOST, 20, 20, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | extraFlags);
}

void CancelEventForm::Form_Load() {
  StayOnTop(0);
  PaintGradient(*this, 245, 245, 245, 200, 200, 200);
  btnCancel.SetBackColor(RGB(218, 218, 218));
}

// Whichever window becomes active, the status window stays above it.
void CancelEventForm::Form_Activate() {
  if (Visible()) StayOnTop(SWP_SHOWWINDOW);
}

void CancelEventForm::Form_Deactivate() {
  if (Visible()) StayOnTop(SWP_SHOWWINDOW);
}

void CancelEventForm::btnCancel_Click() {
  CancelFlag = true;
  Hide();
}

void CancelEventForm::lblCancel_Change() {
  const std::string caption = lblCancel.Text();
  if (caption.size() > kMaxCaption) lblCancel.SetText(caption.substr(0, 98) + " ...");
}

void CancelEventForm::Form_QueryUnload(bool& /*cancel*/, int unloadMode) {
  if (unloadMode == ui::vbAppWindows && !IsExiting) {
    SessionEnding = true;
    IsExiting = true;
    EndProgram();
  }
}

void CancelEventForm::Form_Unload(bool& cancel) { cancel = true; }

StatusScope::StatusScope(const std::string& text) {
  CancelFlag = false;
  CancelEvent.Show();
  if (!text.empty()) SetText(text);
}

StatusScope::~StatusScope() {
  CancelFlag = false;
  CancelEvent.Hide();
}

void StatusScope::SetText(const std::string& text) {
  CancelEvent.lblCancel.SetText(text);
  if (CancelEvent.lblCancel.hwnd()) UpdateWindow(CancelEvent.lblCancel.hwnd());
}

bool StatusScope::Cancelled() const { return CancelFlag; }
