#include "PictureBox.h"

#include <algorithm>

#include "Window.h"

namespace ui {

PictureBox::PictureBox(Window& owner, Bounds bounds, bool border) : Container(owner, bounds) {
  if (border) exStyle_ |= WS_EX_CLIENTEDGE;
}

PictureBox::~PictureBox() { ReleaseImage(); }

void PictureBox::Destroyed() {
  ReleaseImage();
  Container::Destroyed();
}

void PictureBox::ReleaseImage() {
  if (memory_) {
    SelectObject(memory_, firstBitmap_);
    DeleteDC(memory_);
    memory_ = nullptr;
  }
  if (image_) DeleteObject(image_);
  image_ = nullptr;
  imageSize_ = {0, 0};
}

void PictureBox::Refresh() {
  if (!hwnd_) return;
  DrawImage();
  InvalidateRect(hwnd_, nullptr, FALSE);
  UpdateWindow(hwnd_);
}

void PictureBox::SetPicture(HBITMAP picture, bool stretch) {
  picture_ = picture;
  stretch_ = stretch;
  Refresh();
}

int PictureBox::ScaleWidth() const { return ClientSize(hwnd_, {bounds_.width, bounds_.height}).cx; }
int PictureBox::ScaleHeight() const { return ClientSize(hwnd_, {bounds_.width, bounds_.height}).cy; }

void PictureBox::DrawImage() {
  RECT client;
  GetClientRect(hwnd_, &client);
  const int width = std::max<int>(client.right, 1), height = std::max<int>(client.bottom, 1);
  if (!memory_ || width != imageSize_.cx || height != imageSize_.cy) {
    ReleaseImage();
    HDC screen = GetDC(hwnd_);
    memory_ = CreateCompatibleDC(screen);
    image_ = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(hwnd_, screen);
    if (!memory_ || !image_) {
      ReleaseImage();
      return;
    }
    firstBitmap_ = SelectObject(memory_, image_);
    imageSize_ = {width, height};
  }
  RECT all = {0, 0, width, height};
  FillRect(memory_, &all, BackBrush());
  if (picture_) DrawPicture(width, height);
  if (!Paint) return;
  // Pens, brushes and modes the form selects stay out of the next drawing, also when
  // its drawing fails half-way.
  struct SavedState {
    HDC dc;
    int id;
    ~SavedState() { RestoreDC(dc, id); }
  } saved{memory_, SaveDC(memory_)};
  Paint(memory_);
}

void PictureBox::DrawPicture(int width, int height) {
  BITMAP info;
  if (!GetObjectA(picture_, sizeof info, &info)) return;
  HDC source = CreateCompatibleDC(memory_);
  HGDIOBJ old = SelectObject(source, picture_);
  if (stretch_) {
    SetStretchBltMode(memory_, COLORONCOLOR);
    StretchBlt(memory_, 0, 0, width, height, source, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
  } else {
    BitBlt(memory_, 0, 0, info.bmWidth, info.bmHeight, source, 0, 0, SRCCOPY);
  }
  SelectObject(source, old);
  DeleteDC(source);
}

HBITMAP PictureBox::Snapshot() const {
  if (!memory_) return nullptr;
  HDC copy = CreateCompatibleDC(memory_);
  HBITMAP bitmap = CreateCompatibleBitmap(memory_, imageSize_.cx, imageSize_.cy);
  HGDIOBJ old = SelectObject(copy, bitmap);
  BitBlt(copy, 0, 0, imageSize_.cx, imageSize_.cy, memory_, 0, 0, SRCCOPY);
  SelectObject(copy, old);
  DeleteDC(copy);
  return bitmap;
}

LRESULT PictureBox::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;  // the image covers the whole area: erasing first would only flicker
    case WM_PAINT: {
      if (!memory_) DrawImage();
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd_, &ps);
      if (memory_) {
        const RECT& r = ps.rcPaint;
        BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, memory_, r.left, r.top, SRCCOPY);
      }
      EndPaint(hwnd_, &ps);
      return 0;
    }
    case WM_SIZE:
      if (memory_) {
        DrawImage();
        InvalidateRect(hwnd_, nullptr, FALSE);
      }
      return 0;
    default:
      return Container::WndProc(msg, wp, lp);
  }
}

}  // namespace ui
