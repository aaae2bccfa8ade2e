#include "ModMain.h"

#include <cstdlib>

#include "Seams.h"
#include "VbRules.h"
#include "Window.h"

const char* const ProgramTitle = "Quillon Pro";

bool IsExiting = false;
bool CancelFlag = false;
bool SessionEnding = false;

std::string MsgText;
int16_t MsgStyle = 0;
int16_t MsgResponse = 0;

int16_t ShowMsg(HWND owner) {
  MsgResponse = static_cast<int16_t>(MsgBox(MsgText, static_cast<UINT>(MsgStyle), owner));
  return MsgResponse;
}

int MsgBox(const std::string& text, UINT style, HWND owner) {
  return seams::MessageBoxFn(owner, text, ProgramTitle, style);
}

void OpenUrl(const std::string& address, int showCommand) {
  SetPriorityClass(GetCurrentProcess(), NORMAL_PRIORITY_CLASS);
  seams::ShellRequest request;
  request.verb = "Open";
  request.file = address;
  request.show = showCommand;
  seams::ShellExecuteFn(request);
  SetPriorityClass(GetCurrentProcess(), HIGH_PRIORITY_CLASS);
}

std::vector<COLORREF> GradientBands(int r1, int g1, int b1, int r2, int g2, int b2) {
  auto channel = [](double v) {
    double r = vb::RoundHalfEven(v);
    return static_cast<BYTE>(r > 255 ? 255 : r < 0 ? 0 : r);
  };
  const double dr = std::abs(r2 - r1) / 255.0, dg = std::abs(g2 - g1) / 255.0,
               db = std::abs(b2 - b1) / 255.0;
  double r = r1, g = g1, b = b1;
  std::vector<COLORREF> bands(256);
  for (COLORREF& band : bands) {
    band = RGB(channel(r), channel(g), channel(b));
    r += dr;
    g += dg;
    b += db;
  }
  return bands;
}

void PaintGradient(ui::Window& target, int r1, int g1, int b1, int r2, int g2, int b2) {
  target.SetBackgroundBands(GradientBands(r1, g1, b1, r2, g2, b2));
}

void EndProgram() {
  IsExiting = true;
  seams::EndProcessFn(0);
}
