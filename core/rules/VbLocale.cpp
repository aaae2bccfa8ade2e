// The locale and screen side of the value rules.
#include <windows.h>
#include <oleauto.h>

#include <cmath>
#include <cstdio>

#include "VbRules.h"

namespace vb {
namespace {

std::string LocaleText(LCTYPE what, const char* fallback) {
  char buf[16];
  int n = GetLocaleInfoA(LOCALE_USER_DEFAULT, what, buf, sizeof buf);
  return n > 1 ? std::string(buf, n - 1) : fallback;
}

bool ToSystemTime(Date date, SYSTEMTIME& st) { return VariantTimeToSystemTime(date, &st) != 0; }

}  // namespace

std::string UCase(std::string text) {
  if (!text.empty()) CharUpperBuffA(&text[0], static_cast<DWORD>(text.size()));
  return text;
}

std::string LCase(std::string text) {
  if (!text.empty()) CharLowerBuffA(&text[0], static_cast<DWORD>(text.size()));
  return text;
}

char DecimalSeparator() { return LocaleText(LOCALE_SDECIMAL, ".")[0]; }

std::string CStr(double value) {
  std::string s = Str(value);
  if (s[0] == ' ') s.erase(0, 1);
  size_t dot = s.find('.');
  if (dot != std::string::npos) {
    if (dot == 0 || s[dot - 1] == '-') s.insert(dot, "0"), ++dot;
    s[dot] = DecimalSeparator();
  }
  return s;
}

std::string FormatNumber(double value, int decimals, bool grouping) {
  // The default grouping of GetNumberFormatA is not reliable everywhere (one
  // system formats 1234567 as "1234,567.00"), so the format is always spelt out.
  std::string decimal = LocaleText(LOCALE_SDECIMAL, ".");
  std::string thousand = LocaleText(LOCALE_STHOUSAND, ",");
  NUMBERFMTA nf = {};
  nf.NumDigits = decimals < 0 ? 0 : static_cast<UINT>(decimals);
  nf.LeadingZero = LocaleText(LOCALE_ILZERO, "1") != "0";
  nf.Grouping = grouping ? 3 : 0;
  nf.lpDecimalSep = &decimal[0];
  nf.lpThousandSep = &thousand[0];
  nf.NegativeOrder = static_cast<UINT>(std::atoi(LocaleText(LOCALE_INEGNUMBER, "1").c_str()));
  char in[64], out[96];
  std::snprintf(in, sizeof in, "%.*f", static_cast<int>(nf.NumDigits), value);
  int n = GetNumberFormatA(LOCALE_USER_DEFAULT, 0, in, &nf, out, sizeof out);
  return n > 1 ? std::string(out, n - 1) : std::string(in);
}

std::string FormatGrouped(const std::string& text) {
  if (text.empty()) return "";
  std::optional<double> value = ParseNumber(text);
  if (!value) return text;
  // The digits mask shows no zero: a value that rounds to nothing is an empty cell.
  double whole = RoundHalfEven(*value);
  if (whole == 0) return "";
  return FormatNumber(whole, 0, true);
}

std::optional<double> CDbl(const std::string& text) {
  if (auto v = ParseNumber(text, DecimalSeparator())) return v;
  return ParseNumber(text);
}

Date Now() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  double d = 0;
  SystemTimeToVariantTime(&st, &d);
  return d;
}

std::string FormatShortDate(Date date) {
  SYSTEMTIME st;
  char buf[80];
  if (!ToSystemTime(date, st)) return "";
  int n = GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, buf, sizeof buf);
  return n > 1 ? std::string(buf, n - 1) : "";
}

std::string FormatLongTime(Date date) {
  SYSTEMTIME st;
  char buf[80];
  if (!ToSystemTime(date, st)) return "";
  int n = GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, buf, sizeof buf);
  return n > 1 ? std::string(buf, n - 1) : "";
}

std::string CStrDate(Date date) {
  double whole = std::floor(date);
  bool hasDay = whole != 0.0, hasTime = date != whole;
  if (hasDay && !hasTime) return FormatShortDate(date);
  if (!hasDay) return FormatLongTime(date);
  return FormatShortDate(date) + " " + FormatLongTime(date);
}

std::optional<Date> CDate(const std::string& text) {
  wchar_t wide[128];
  if (text.empty() || text.size() >= 127) return std::nullopt;
  int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide, 128);
  if (n <= 0) return std::nullopt;
  DATE d = 0;
  if (FAILED(VarDateFromStr(wide, LOCALE_USER_DEFAULT, 0, &d))) return std::nullopt;
  return d;
}

namespace {
int TwipsPerPixel(int axis) {
  HDC screen = GetDC(nullptr);
  int dpi = screen ? GetDeviceCaps(screen, axis) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? 1440 / dpi : 15;
}
}  // namespace

int TwipsPerPixelX() { return TwipsPerPixel(LOGPIXELSX); }
int TwipsPerPixelY() { return TwipsPerPixel(LOGPIXELSY); }

}  // namespace vb
