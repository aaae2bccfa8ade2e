// A plain child window that other controls are placed on: a tab page, a frame, a
// picture box. Controls on it notify it, not the form, so it hands their notifications
// on to the form, where they are routed by control handle as if the controls sat on
// the form itself.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "Controls.h"

namespace ui {

class Container : public Control {
 public:
  Container(Window& owner, Bounds bounds, std::string caption = "", DWORD style = WS_VISIBLE);
  ~Container() override;
  bool RaisesOwnEvents() const override { return true; }

  // The form's colour until one of its own is given.
  void SetBackColor(COLORREF colour);
  COLORREF BackColor() const;
  HBRUSH BackBrush() const;
  // The cursor over the container (nullptr: the arrow).
  void SetMousePointer(HCURSOR cursor) { cursor_ = cursor; }

 protected:
  void Create() override;
  void Destroyed() override;
  // Mouse events, raised from the window procedure; a page raises its tab control's.
  enum class Mouse { Down, Move, Up };
  virtual void RaiseMouse(Mouse kind, int button, int shift, int x, int y);
  virtual void RaiseClick() {}
  virtual void RaiseDblClick() {}
  virtual void BackColorChanged();
  virtual void PaintBackground(HDC dc);
  // Everything not handled goes to DefWindowProc.
  virtual LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp);
  // Stops the window procedure from reaching this object, before it goes.
  void Unhook();

 private:
  static LRESULT CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  bool ForwardsToForm(UINT msg, LPARAM lp) const;
  void OnButton(UINT msg, WPARAM wp, LPARAM lp);

  bool hasBackColour_ = false;
  COLORREF backColour_ = 0;
  OwnedBrush backBrush_;
  HCURSOR cursor_ = nullptr;
  int pressed_ = 0;             // buttons that went down here (VB values)
  bool afterDblClick_ = false;  // the release that ends a double click is no click
};

// VB's frame: a container with a caption and an etched border.
class Frame : public Container {
 public:
  Frame(Window& owner, Bounds bounds, std::string caption);
  std::function<void()> Click, DblClick;

 protected:
  void RaiseClick() override { if (Click) Click(); }
  void RaiseDblClick() override { if (DblClick) DblClick(); }
  void PaintBackground(HDC dc) override;
  void TextChanged() override;
};

}  // namespace ui
