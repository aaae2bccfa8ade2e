#include "MainfrmPictures.h"

#include <functional>
#include <map>
#include <utility>

#include "Gdi.h"

namespace {

using ui::kPictureMask;
using ui::Painter;

const COLORREF kOutline = RGB(40, 60, 90);
const COLORREF kRed = RGB(200, 40, 40);
const COLORREF kGreen = RGB(40, 150, 60);
const COLORREF kBlue = RGB(50, 110, 200);
const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kTitle = RGB(60, 110, 180);
const COLORREF kFaded = RGB(150, 160, 175);

void Shape(HDC dc, COLORREF fill, COLORREF pen, int width, const Painter& draw) {
  ui::DrawShape(dc, fill, pen, width, draw);
}

void Line(HDC dc, COLORREF colour, int width, std::initializer_list<POINT> points) {
  Shape(dc, colour, colour, width, [&](HDC d) { Polyline(d, points.begin(), static_cast<int>(points.size())); });
}

// A window: a frame with a title bar, at x, y and w x h.
void Window(HDC dc, int x, int y, int w, int h, COLORREF title = kTitle) {
  Shape(dc, kWhite, kOutline, 1, [&](HDC d) { Rectangle(d, x, y, x + w, y + h); });
  Shape(dc, title, title, 1, [&](HDC d) { Rectangle(d, x + 1, y + 1, x + w - 1, y + 5); });
}

// A list: a white sheet with rows, each an icon dot and a line of text.
void List(HDC dc, int x, int y, int w, int h, COLORREF rows = kBlue) {
  Shape(dc, kWhite, kOutline, 1, [&](HDC d) { Rectangle(d, x, y, x + w, y + h); });
  for (int row = y + 3; row + 2 < y + h; row += 4) {
    Shape(dc, rows, rows, 1, [&](HDC d) { Rectangle(d, x + 2, row, x + 4, row + 2); });
    Line(dc, RGB(120, 130, 150), 1, {{x + 6, row + 1}, {x + w - 3, row + 1}});
  }
}

void Cross(HDC dc, int x, int y, int size) {
  Line(dc, kRed, 3, {{x, y}, {x + size, y + size}});
  Line(dc, kRed, 3, {{x + size, y}, {x, y + size}});
}

void Tick(HDC dc, int x, int y) { Line(dc, kGreen, 3, {{x, y + 4}, {x + 3, y + 7}, {x + 9, y}}); }

// A circling arrow: the program or window comes back.
void Again(HDC dc, int x, int y) {
  Shape(dc, kGreen, kGreen, 2, [&](HDC d) { Arc(d, x, y, x + 11, y + 11, x + 11, y + 6, x + 6, y); });
  POINT head[3] = {{x + 8, y + 6}, {x + 13, y + 6}, {x + 10, y + 10}};
  Shape(dc, kGreen, kGreen, 1, [&](HDC d) { Polygon(d, head, 3); });
}

void Disc(HDC dc, int x, int y, int size, COLORREF fill) {
  Shape(dc, fill, kOutline, 1, [&](HDC d) { Ellipse(d, x, y, x + size, y + size); });
}

void Text(HDC dc, const char* text, RECT r, COLORREF colour, bool bold = true) {
  const ui::OwnedFont font(CreateFontA(-11, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0,
                                      NONANTIALIASED_QUALITY, 0, "Arial"));
  const ui::SelectIn select(dc, font.get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, colour);
  DrawTextA(dc, text, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void Clock(HDC dc, int x, int y) {
  Disc(dc, x, y, 12, RGB(255, 240, 180));
  Line(dc, kOutline, 1, {{x + 6, y + 2}, {x + 6, y + 6}, {x + 9, y + 8}});
}

void Magnifier(HDC dc, int x, int y, COLORREF lens) {
  Line(dc, RGB(90, 70, 50), 3, {{x + 10, y + 10}, {x + 16, y + 16}});
  Shape(dc, lens, kOutline, 2, [&](HDC d) { Ellipse(d, x, y, x + 13, y + 13); });
}

// A vertical arrow from one list to another: down (programs to windows) or up.
void ModeArrow(HDC dc, bool down, COLORREF colour) {
  const int top = down ? 8 : 16, bottom = down ? 16 : 8;
  Line(dc, colour, 3, {{12, top}, {12, bottom}});
  POINT head[3] = {{7, bottom}, {17, bottom}, {12, bottom + (down ? 5 : -5)}};
  Shape(dc, colour, colour, 1, [&](HDC d) { Polygon(d, head, 3); });
}

using Drawing = std::function<void(HDC)>;

const std::map<std::pair<std::string, std::string>, Drawing>& Drawings() {
  static const std::map<std::pair<std::string, std::string>, Drawing> drawings = {
      // Programs: the priority as rising bars.
      {{"ProgBar1", "Priority"},
       [](HDC dc) {
         const COLORREF colours[3] = {kGreen, RGB(230, 170, 30), kRed};
         for (int i = 0; i < 3; ++i)
           Shape(dc, colours[i], kOutline, 1, [&](HDC d) { Rectangle(d, 3 + i * 7, 17 - i * 6, 9 + i * 7, 22); });
       }},
      {{"ProgBar1", "DestroyAndRes"},
       [](HDC dc) {
         List(dc, 1, 1, 16, 16);
         Cross(dc, 4, 4, 9);
         Again(dc, 10, 10);
       }},
      {{"ProgBar1", "Checkmrk"},
       [](HDC dc) {  // a crate behind bars: the quarantine
         Shape(dc, RGB(230, 200, 120), kOutline, 1, [](HDC d) { Rectangle(d, 2, 6, 22, 22); });
         for (int x = 6; x < 22; x += 5) Line(dc, RGB(90, 70, 50), 2, {{x, 6}, {x, 22}});
         Line(dc, kOutline, 2, {{2, 6}, {12, 1}, {22, 6}});
       }},
      {{"ProgBar1", "RiskMonitor"},
       [](HDC dc) {  // an eye on the program
         Shape(dc, kWhite, kOutline, 1, [](HDC d) { Ellipse(d, 1, 6, 23, 18); });
         Disc(dc, 7, 7, 10, kBlue);
         Disc(dc, 10, 10, 4, RGB(20, 20, 30));
       }},
      {{"ProgBar2", "Destroy"},
       [](HDC dc) {
         List(dc, 1, 1, 20, 20);
         Cross(dc, 5, 5, 12);
       }},
      {{"ProgBar2", "Details"},
       [](HDC dc) {
         Disc(dc, 2, 2, 20, kBlue);
         Text(dc, "i", {2, 2, 22, 22}, kWhite);
       }},
      {{"ProgBar2", "SearchSpy"},
       [](HDC dc) {
         List(dc, 1, 1, 16, 16, RGB(60, 60, 60));
         Magnifier(dc, 6, 6, RGB(200, 230, 255));
       }},
      {{"ProgBar2", "ListView"}, [](HDC dc) { List(dc, 2, 2, 20, 20); }},
      // Windows.
      {{"WndBar1", "Check"},
       [](HDC dc) {
         Window(dc, 1, 2, 18, 16);
         Tick(dc, 9, 12);
       }},
      {{"WndBar1", "Destroy"},
       [](HDC dc) {
         Window(dc, 1, 2, 20, 18);
         Cross(dc, 6, 9, 10);
       }},
      {{"WndBar1", "ShowWnd"},
       [](HDC dc) {
         Window(dc, 1, 2, 18, 16);
         Clock(dc, 11, 11);
       }},
      {{"WndBar1", "OnTop"},
       [](HDC dc) {
         Window(dc, 1, 1, 14, 12, kFaded);
         Window(dc, 8, 8, 15, 14);
         Line(dc, kGreen, 2, {{15, 19}, {15, 12}});
         POINT head[3] = {{12, 13}, {19, 13}, {15, 10}};
         Shape(dc, kGreen, kGreen, 1, [&](HDC d) { Polygon(d, head, 3); });
       }},
      {{"WndBar2", "Close"},
       [](HDC dc) {
         Window(dc, 1, 2, 22, 18);
         Shape(dc, kRed, kOutline, 1, [](HDC d) { Rectangle(d, 16, 2, 22, 7); });
         Tick(dc, 6, 10);
       }},
      {{"WndBar2", "DestAndRes"},
       [](HDC dc) {
         Window(dc, 1, 1, 17, 15);
         Cross(dc, 5, 7, 7);
         Again(dc, 10, 10);
       }},
      {{"WndBar2", "SwitchWnd"},
       [](HDC dc) {
         Window(dc, 6, 2, 17, 16);
         Line(dc, kGreen, 3, {{1, 20}, {11, 11}});
         POINT head[3] = {{7, 10}, {13, 9}, {12, 15}};
         Shape(dc, kGreen, kGreen, 1, [&](HDC d) { Polygon(d, head, 3); });
       }},
      {{"WndBar2", "ListView"},
       [](HDC dc) {
         Window(dc, 2, 2, 12, 10);
         Window(dc, 10, 11, 12, 10);
       }},
  };
  return drawings;
}

}  // namespace

HBITMAP CommandPicture(const std::string& bar, const std::string& key) {
  static std::map<std::pair<std::string, std::string>, HBITMAP> made;
  HBITMAP& picture = made[{bar, key}];
  if (!picture) {
    auto found = Drawings().find({bar, key});
    picture = ui::DrawPicture(24, 24, kPictureMask, [&](HDC dc) {
      if (found != Drawings().end()) found->second(dc);
    });
  }
  return picture;
}

HBITMAP ModePicture(int index) {
  static std::map<int, HBITMAP> made;
  if (index < 1 || index > 6) return nullptr;
  HBITMAP& picture = made[index];
  if (!picture) {
    picture = ui::DrawPicture(24, 24, kPictureMask, [index](HDC dc) {
      if (index <= 4) {
        // The list the arrow starts from is the one the user chooses rows in.
        const bool down = index <= 2;
        const COLORREF colour = index == 1 || index == 3 ? kBlue : kFaded;
        List(dc, 3, down ? 0 : 17, 18, 7, colour);
        Window(dc, 5, down ? 17 : 0, 14, 7);
        ModeArrow(dc, down, index == 1 || index == 3 ? kGreen : kFaded);
      } else {
        const bool pressed = index == 5;
        List(dc, 2, 1, 20, 10, pressed ? kBlue : kFaded);
        List(dc, 2, 13, 20, 10, pressed ? kBlue : kFaded);
      }
    });
  }
  return picture;
}
