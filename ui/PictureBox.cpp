#include "PictureBox.h"
#include "Gdi.h"

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
  mask_ = CLR_INVALID;
  Refresh();
}

void PictureBox::SetMaskedPicture(HBITMAP picture, COLORREF mask) {
  picture_ = picture;
  stretch_ = false;
  mask_ = mask;
  Refresh();
}

// What the parent shows under this box, as the box's background: the parent draws
// its client area into the image, moved so this box's corner is the origin.
void PictureBox::DrawParent() {
  HWND parent = GetParent(hwnd_);
  if (!parent) return;
  POINT corner = {0, 0};
  MapWindowPoints(hwnd_, parent, &corner, 1);
  POINT old;
  SetViewportOrgEx(memory_, -corner.x, -corner.y, &old);
  SendMessageA(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory_), PRF_CLIENT | PRF_ERASEBKGND);
  SetViewportOrgEx(memory_, old.x, old.y, nullptr);
}

int PictureBox::ScaleWidth() const { return ClientSize(hwnd_, {bounds_.width, bounds_.height}).cx; }
int PictureBox::ScaleHeight() const { return ClientSize(hwnd_, {bounds_.width, bounds_.height}).cy; }

void PictureBox::DrawImage() {
  RECT client;
  GetClientRect(hwnd_, &client);
  const int width = std::max<int>(client.right, 1), height = std::max<int>(client.bottom, 1);
  if (!memory_ || width != imageSize_.cx || height != imageSize_.cy) {
    ReleaseImage();
    {
      const WindowDC screen(hwnd_);
      memory_ = CreateCompatibleDC(screen.get());
      image_ = CreateCompatibleBitmap(screen.get(), width, height);
    }
    if (!memory_ || !image_) {
      ReleaseImage();
      return;
    }
    firstBitmap_ = SelectObject(memory_, image_);
    imageSize_ = {width, height};
  }
  RECT all = {0, 0, width, height};
  FillRect(memory_, &all, BackBrush());
  if (mask_ != CLR_INVALID) DrawParent();
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
  const MemoryDC source(memory_);
  const SelectIn select(source.get(), picture_);
  if (mask_ != CLR_INVALID) {
    DrawMasked(source.get(), info.bmWidth, info.bmHeight);
  } else if (stretch_) {
    SetStretchBltMode(memory_, COLORONCOLOR);
    StretchBlt(memory_, 0, 0, width, height, source.get(), 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
  } else {
    BitBlt(memory_, 0, 0, info.bmWidth, info.bmHeight, source.get(), 0, 0, SRCCOPY);
  }
}

// The picture over what is already drawn, leaving out its mask colour: a one-bit
// stencil of the mask pixels, then the picture inverted in, cut and inverted back
// (gdi32 alone; the transparent copy of msimg32 would be one more library to ship).
void PictureBox::DrawMasked(HDC source, int width, int height) {
  const MemoryDC stencilDc(memory_);
  const OwnedBitmap stencil(CreateBitmap(width, height, 1, 1, nullptr));
  if (!stencilDc || !stencil) {
    BitBlt(memory_, 0, 0, width, height, source, 0, 0, SRCCOPY);
    return;
  }
  const SelectIn select(stencilDc.get(), stencil.get());
  const COLORREF sourceBack = SetBkColor(source, mask_);
  BitBlt(stencilDc.get(), 0, 0, width, height, source, 0, 0, SRCCOPY);  // mask colour: 1
  SetBkColor(source, sourceBack);
  const COLORREF back = SetBkColor(memory_, RGB(255, 255, 255));
  const COLORREF text = SetTextColor(memory_, RGB(0, 0, 0));
  BitBlt(memory_, 0, 0, width, height, source, 0, 0, SRCINVERT);
  BitBlt(memory_, 0, 0, width, height, stencilDc.get(), 0, 0, SRCAND);
  BitBlt(memory_, 0, 0, width, height, source, 0, 0, SRCINVERT);
  SetBkColor(memory_, back);
  SetTextColor(memory_, text);
}

HBITMAP PictureBox::Snapshot() const {
  if (!memory_) return nullptr;
  const MemoryDC copy(memory_);
  HBITMAP bitmap = CreateCompatibleBitmap(memory_, imageSize_.cx, imageSize_.cy);
  const SelectIn select(copy.get(), bitmap);
  BitBlt(copy.get(), 0, 0, imageSize_.cx, imageSize_.cy, memory_, 0, 0, SRCCOPY);
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
    case WM_PRINTCLIENT:
      // A see-through child asks for what lies under it.
      if (!memory_) DrawImage();
      if (memory_) BitBlt(reinterpret_cast<HDC>(wp), 0, 0, imageSize_.cx, imageSize_.cy, memory_, 0, 0, SRCCOPY);
      return 0;
    case WM_MOVE:
      // A see-through box shows another part of its parent once moved.
      if (memory_ && mask_ != CLR_INVALID) {
        DrawImage();
        InvalidateRect(hwnd_, nullptr, FALSE);
      }
      return Container::WndProc(msg, wp, lp);
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
