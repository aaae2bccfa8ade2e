#include "RatingImages.h"

#include <windows.h>

#include "DrawnPicture.h"
#include "Gdi.h"
#include "VbRules.h"

namespace {

const int kSize = 32;

// A bar as high as its level over a light frame, green turning to red.
HICON MakeRatingIcon(int level) {
  auto paint = [level](HDC dc) {
    RECT all = {0, 0, kSize, kSize};
    const ui::OwnedBrush back(CreateSolidBrush(RGB(235, 235, 235)));
    FillRect(dc, &all, back.get());
    FrameRect(dc, &all, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    const int red = level * 255 / 10, green = (10 - level) * 200 / 10;
    const ui::OwnedBrush bar(CreateSolidBrush(RGB(red, green, 0)));
    RECT filled = {4, kSize - 3 - (kSize - 6) * level / 10, kSize - 4, kSize - 3};
    if (level == 0) filled.top = kSize - 5;  // a sliver, so "no risk" still shows a bar
    FillRect(dc, &filled, bar.get());
  };
  // Every pixel opaque.
  return ui::DrawIcon(kSize, [](HDC dc) { PatBlt(dc, 0, 0, kSize, kSize, BLACKNESS); }, paint);
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
