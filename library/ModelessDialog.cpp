#include "ModelessDialog.h"

#include "Module.h"

bool CModelessDialog::Create(int templateId) {
  creating_ = true;
  HWND hwnd = CreateDialogParamA(pellmon::ModuleInstance(), MAKEINTRESOURCEA(templateId), nullptr,
                                 &CModelessDialog::Proc, reinterpret_cast<LPARAM>(this));
  creating_ = false;
  return hwnd != nullptr;
}

void CModelessDialog::Destroy() {
  if (hwnd_) DestroyWindow(hwnd_);
}

INT_PTR CModelessDialog::OnMessage(UINT msg, WPARAM wp, LPARAM) {
  switch (msg) {
    case WM_CLOSE:
      DestroyWindow(hwnd_);
      return TRUE;
    case WM_COMMAND:
      // Escape (and Enter, with no button to press) close the window.
      if (LOWORD(wp) == IDCANCEL || LOWORD(wp) == IDOK) {
        DestroyWindow(hwnd_);
        return TRUE;
      }
      break;
  }
  return FALSE;
}

INT_PTR CALLBACK CModelessDialog::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_INITDIALOG) {
    auto* self = reinterpret_cast<CModelessDialog*>(lp);
    SetWindowLongPtrA(hwnd, DWLP_USER, lp);
    self->hwnd_ = hwnd;
    self->counted_ = true;
    pellmon::WindowOpened();
    self->OnInitDialog();
    return TRUE;
  }
  auto* self = reinterpret_cast<CModelessDialog*>(GetWindowLongPtrA(hwnd, DWLP_USER));
  if (!self) return FALSE;
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrA(hwnd, DWLP_USER, 0);
    self->hwnd_ = nullptr;
    if (self->counted_) pellmon::WindowClosed();
    self->counted_ = false;
    if (self->owner_) self->owner_->DialogGone(self);
    // A window that failed while being created leaves its object to Create's caller.
    if (!self->creating_) delete self;
    return FALSE;
  }
  return self->OnMessage(msg, wp, lp);
}
