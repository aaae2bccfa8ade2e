#include "DrawnPicture.h"

namespace ui {

HBITMAP DrawPicture(int width, int height, COLORREF background, const Painter& paint) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP picture = CreateCompatibleBitmap(screen, width, height);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, picture);
  RECT all = {0, 0, width, height};
  HBRUSH back = CreateSolidBrush(background);
  FillRect(dc, &all, back);
  DeleteObject(back);
  paint(dc);
  SelectObject(dc, old);
  DeleteDC(dc);
  return picture;
}

void DrawShape(HDC dc, COLORREF fill, COLORREF pen, int penWidth, const Painter& draw) {
  HBRUSH brush = CreateSolidBrush(fill);
  HPEN line = CreatePen(PS_SOLID, penWidth, pen);
  HGDIOBJ oldBrush = SelectObject(dc, brush), oldPen = SelectObject(dc, line);
  draw(dc);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(brush);
  DeleteObject(line);
}

}  // namespace ui
