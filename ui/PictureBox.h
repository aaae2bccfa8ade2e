// A drawing surface. The form draws into a memory image of the client area (Paint),
// and the window only copies that image to the screen: repainting never flickers and
// a covered window comes back as it was. Controls can be placed on it as on a frame.
#pragma once
#include <windows.h>

#include <functional>

#include "Container.h"

namespace ui {

class PictureBox : public Container {
 public:
  PictureBox(Window& owner, Bounds bounds, bool border = false);
  ~PictureBox() override;

  // Draws the content into the memory image, over the back colour and the picture.
  // Runs on Refresh, when the window first paints and after each resize.
  std::function<void(HDC dc)> Paint;
  std::function<void()> Click, DblClick;

  // Draws the image again and shows it now.
  void Refresh();
  // A bitmap shown under what Paint draws: at the corner, or stretched over the whole
  // area. The caller keeps it alive and deletes it; nullptr removes it.
  void SetPicture(HBITMAP picture, bool stretch = false);
  // A picture at the corner whose pixels of colour `mask` show what the picture box
  // sits on (its parent's drawing) instead of the box's own back colour.
  void SetMaskedPicture(HBITMAP picture, COLORREF mask);
  HBITMAP Picture() const { return picture_; }
  // A new bitmap of what the picture box shows; the caller owns it (or the clipboard
  // does, once given to it). nullptr before the first drawing.
  HBITMAP Snapshot() const;
  int ScaleWidth() const;  // client size in pixels
  int ScaleHeight() const;

 protected:
  void Destroyed() override;
  void BackColorChanged() override { Refresh(); }
  void RaiseClick() override { if (Click) Click(); }
  void RaiseDblClick() override { if (DblClick) DblClick(); }
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void DrawImage();
  void DrawPicture(int width, int height);
  void ReleaseImage();

  HDC memory_ = nullptr;
  HBITMAP image_ = nullptr;
  HGDIOBJ firstBitmap_ = nullptr;  // the memory DC's own, put back before it goes
  SIZE imageSize_ = {0, 0};
  HBITMAP picture_ = nullptr;
  bool stretch_ = false;
  COLORREF mask_ = CLR_INVALID;
  void DrawParent();
  void DrawMasked(HDC source, int width, int height);
};

}  // namespace ui
