#include "FramePictures.h"

#include <functional>
#include <map>

namespace {

using ui::Painter;

void Shape(HDC dc, COLORREF fill, const Painter& draw) { ui::DrawShape(dc, fill, RGB(40, 60, 90), 1, draw); }

void Glyph(HDC dc, const char* text, COLORREF colour) {
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, colour);
  RECT r = {0, 0, 24, 24};
  DrawTextA(dc, text, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

// A coloured disc or box with a letter: enough to tell the buttons apart at a glance.
struct Look {
  COLORREF colour;
  bool round;
  const char* letter;
};

Look LookOf(const std::string& key) {
  static const std::map<std::string, Look> looks = {
      {"Quillon", {RGB(60, 130, 200), false, "T"}},  {"Performance", {RGB(60, 170, 90), false, "P"}},
      {"PopUp", {RGB(220, 120, 40), true, "L"}},     {"ConInfo", {RGB(40, 150, 190), true, "@"}},
      {"ProcCPU", {RGB(200, 60, 60), false, "R"}},   {"MoreTools", {RGB(140, 100, 190), false, "M"}},
      {"Run", {RGB(70, 160, 70), true, ">"}},        {"Shut", {RGB(200, 50, 50), true, "O"}},
      {"ToolBar", {RGB(60, 120, 200), false, "="}},  {"Destroy", {RGB(190, 70, 40), true, "X"}},
      {"Refresh", {RGB(60, 160, 160), true, "R"}},   {"Logs", {RGB(150, 130, 80), false, "L"}},
      {"Settings", {RGB(110, 110, 140), true, "S"}}, {"Options", {RGB(90, 120, 160), false, "O"}},
      {"Help", {RGB(50, 110, 200), true, "?"}},      {"Exit", {RGB(170, 40, 40), false, "E"}},
  };
  auto it = looks.find(key);
  return it != looks.end() ? it->second : Look{RGB(128, 128, 128), false, "?"};
}

HBITMAP Arrow(bool pressed) {
  return ui::DrawPicture(12, 12, kPictureMask, [pressed](HDC dc) {
    const int shift = pressed ? 1 : 0;
    POINT tip[3] = {{2 + shift, 4 + shift}, {10 + shift, 4 + shift}, {6 + shift, 8 + shift}};
    Shape(dc, pressed ? RGB(20, 40, 90) : RGB(60, 80, 120), [&](HDC d) { Polygon(d, tip, 3); });
  });
}

}  // namespace

HBITMAP ButtonPicture(const std::string& key) {
  static std::map<std::string, HBITMAP> made;
  HBITMAP& picture = made[key];
  if (!picture) {
    const Look look = LookOf(key);
    picture = ui::DrawPicture(24, 24, kPictureMask, [&](HDC dc) {
      Shape(dc, look.colour, [&](HDC d) {
        if (look.round)
          Ellipse(d, 2, 2, 22, 22);
        else
          RoundRect(d, 2, 2, 22, 22, 6, 6);
      });
      Glyph(dc, look.letter, RGB(255, 255, 255));
    });
  }
  return picture;
}

HBITMAP DwnArrNormal() {
  static HBITMAP picture = Arrow(false);
  return picture;
}

HBITMAP DwnArrDown() {
  static HBITMAP picture = Arrow(true);
  return picture;
}

HBITMAP LogoPicture() {
  static HBITMAP picture = ui::DrawPicture(96, 32, kPictureMask, [](HDC dc) {
    Shape(dc, RGB(12, 135, 194), [](HDC d) { Ellipse(d, 2, 4, 28, 30); });
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(30, 50, 90));
    RECT r = {32, 0, 96, 32};
    DrawTextA(dc, "Quillon", -1, &r, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
  });
  return picture;
}
