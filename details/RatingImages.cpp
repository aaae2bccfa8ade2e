#include "RatingImages.h"

#include <windows.h>

#include "VbRules.h"

namespace {

const int kSize = 32;

// A bar as high as its level over a light frame, green turning to red.
HICON MakeRatingIcon(int level) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP colour = CreateCompatibleBitmap(screen, kSize, kSize);
  HBITMAP mask = CreateBitmap(kSize, kSize, 1, 1, nullptr);
  HGDIOBJ old = SelectObject(dc, colour);
  RECT all = {0, 0, kSize, kSize};
  HBRUSH back = CreateSolidBrush(RGB(235, 235, 235));
  FillRect(dc, &all, back);
  DeleteObject(back);
  FrameRect(dc, &all, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
  const int red = level * 255 / 10, green = (10 - level) * 200 / 10;
  HBRUSH bar = CreateSolidBrush(RGB(red, green, 0));
  RECT filled = {4, kSize - 3 - (kSize - 6) * level / 10, kSize - 4, kSize - 3};
  if (level == 0) filled.top = kSize - 5;  // a sliver, so "no risk" still shows a bar
  FillRect(dc, &filled, bar);
  DeleteObject(bar);
  SelectObject(dc, mask);
  PatBlt(dc, 0, 0, kSize, kSize, BLACKNESS);  // every pixel opaque
  SelectObject(dc, old);
  ICONINFO info = {TRUE, 0, 0, mask, colour};
  HICON icon = CreateIconIndirect(&info);
  DeleteObject(colour);
  DeleteObject(mask);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return icon;
}

}  // namespace

ui::ImageList& RatingImgList() {
  static ui::ImageList list(kSize);
  if (list.Count() == 0)
    for (int level = 0; level <= 10; ++level) {
      HICON icon = MakeRatingIcon(level);
      list.Add(icon);  // the list keeps its own copy
      DestroyIcon(icon);
    }
  return list;
}

int RatingPictureOf(int rating) { return static_cast<int>(vb::RoundHalfEven(rating / 10.0 + 1)); }
