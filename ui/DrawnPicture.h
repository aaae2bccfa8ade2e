// Pictures the program draws itself (button glyphs, the frame's pictures), so it
// ships no art it did not make.
#pragma once
#include <windows.h>

#include <functional>

namespace ui {

// The colour the button bars leave out of a picture.
constexpr COLORREF kPictureMask = RGB(255, 0, 255);

using Painter = std::function<void(HDC dc)>;

// A screen-compatible picture filled with the background, then painted.
HBITMAP DrawPicture(int width, int height, COLORREF background, const Painter& paint);
// Paints with a brush of the fill colour and a pen of the given colour and width
// selected, and puts the device context's own back after.
void DrawShape(HDC dc, COLORREF fill, COLORREF pen, int penWidth, const Painter& draw);
// A square icon: `paintMask` draws on a white one-bit mask, where black is opaque, and
// `paint` on a black colour picture. The caller destroys the icon.
HICON DrawIcon(int size, const Painter& paintMask, const Painter& paint);

}  // namespace ui
