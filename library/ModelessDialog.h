// A modeless dialog from one of the library's templates, with no parent. It lives on
// the heap and deletes itself once its window is gone, whoever closed it; its owner
// hears of that so it never uses a closed window.
#pragma once
#include <windows.h>

class CModelessDialog;

class IDialogOwner {
 public:
  virtual void DialogGone(CModelessDialog* dialog) = 0;

 protected:
  ~IDialogOwner() = default;
};

class CModelessDialog {
 public:
  CModelessDialog(const CModelessDialog&) = delete;
  CModelessDialog& operator=(const CModelessDialog&) = delete;

  // Creates the window; on failure the object is left for the caller to delete.
  bool Create(int templateId);
  // Destroys the window, and with it this object.
  void Destroy();
  void SetOwner(IDialogOwner* owner) { owner_ = owner; }
  HWND hwnd() const { return hwnd_; }

 protected:
  CModelessDialog() = default;
  virtual ~CModelessDialog() = default;
  virtual void OnInitDialog() {}
  // Answers TRUE when the message was handled.
  virtual INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp);

 private:
  static INT_PTR CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);

  HWND hwnd_ = nullptr;
  IDialogOwner* owner_ = nullptr;
  bool creating_ = false;
  bool counted_ = false;
};
