#include "DrawnPicture.h"

#include "Gdi.h"

namespace ui {

HBITMAP DrawPicture(int width, int height, COLORREF background, const Painter& paint) {
  HBITMAP picture;
  {
    WindowDC screen;
    picture = CreateCompatibleBitmap(screen.get(), width, height);
  }
  MemoryDC dc;
  {
    SelectIn select(dc.get(), picture);
    RECT all = {0, 0, width, height};
    const OwnedBrush back(CreateSolidBrush(background));
    FillRect(dc.get(), &all, back.get());
    paint(dc.get());
  }
  return picture;
}

void DrawShape(HDC dc, COLORREF fill, COLORREF pen, int penWidth, const Painter& draw) {
  const OwnedBrush brush(CreateSolidBrush(fill));
  const OwnedPen line(CreatePen(PS_SOLID, penWidth, pen));
  const SelectIn selectBrush(dc, brush.get()), selectPen(dc, line.get());
  draw(dc);
}

HICON DrawIcon(int size, const Painter& paintMask, const Painter& paint) {
  OwnedBitmap colour;
  {
    WindowDC screen;
    colour.Reset(CreateCompatibleBitmap(screen.get(), size, size));
  }
  const OwnedBitmap mask(CreateBitmap(size, size, 1, 1, nullptr));
  MemoryDC dc;
  {
    SelectIn select(dc.get(), mask.get());
    PatBlt(dc.get(), 0, 0, size, size, WHITENESS);
    paintMask(dc.get());
  }
  {
    SelectIn select(dc.get(), colour.get());
    PatBlt(dc.get(), 0, 0, size, size, BLACKNESS);
    paint(dc.get());
  }
  ICONINFO info = {TRUE, 0, 0, mask.get(), colour.get()};
  return CreateIconIndirect(&info);  // it copies both pictures
}

}  // namespace ui
