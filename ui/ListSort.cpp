#include "ListSort.h"

#include <windows.h>
#include <oleauto.h>

#include <cctype>
#include <climits>
#include <cstdlib>
#include <utility>

namespace ui {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

int CompareText(const std::string& a, const std::string& b) {
  return lstrcmpiA(a.c_str(), b.c_str());
}

int CompareValues(double a, double b) { return a < b ? -1 : (a > b ? 1 : 0); }

}  // namespace

double NumberPrefix(const std::string& text) {
  // Blanks anywhere are skipped, as the program reads numbers elsewhere ("1 000" is 1000).
  std::string s;
  for (char c : text)
    if (!IsBlank(c)) s += c;
  size_t i = 0;
  std::string number;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) number += s[i++];
  bool digits = false, point = false;
  for (; i < s.size(); ++i) {
    if (IsDigit(s[i])) {
      digits = true;
    } else if (s[i] == '.' && !point) {
      point = true;
    } else {
      break;
    }
    number += s[i];
  }
  if (!digits) return 0;
  if (i < s.size() && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) {
    size_t j = i + 1;
    std::string exponent = "e";
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) exponent += s[j++];
    size_t start = j;
    while (j < s.size() && IsDigit(s[j])) exponent += s[j++];
    if (j > start) number += exponent;
  }
  return std::strtod(number.c_str(), nullptr);
}

double LocaleNumberPrefix(const std::string& text, const std::string& thousands, const std::string& decimal) {
  // Rewritten into the form NumberPrefix reads: the grouping marks out, the decimal
  // separator as ".". A mark counts as grouping only between two digits, so a
  // trailing "," or "." of a sentence is not read as part of the number.
  std::string plain;
  for (size_t i = 0; i < text.size();) {
    const bool afterDigit = !plain.empty() && IsDigit(plain.back());
    if (!thousands.empty() && afterDigit && text.compare(i, thousands.size(), thousands) == 0 &&
        i + thousands.size() < text.size() && IsDigit(text[i + thousands.size()])) {
      i += thousands.size();
      continue;
    }
    if (!decimal.empty() && decimal != "." && text.compare(i, decimal.size(), decimal) == 0) {
      plain += '.';
      i += decimal.size();
      continue;
    }
    plain += text[i++];
  }
  return NumberPrefix(plain);
}

double LocaleNumberPrefix(const std::string& text) {
  auto localeText = [](LCTYPE what, const char* fallback) {
    char buffer[8];
    const int n = GetLocaleInfoA(LOCALE_USER_DEFAULT, what, buffer, sizeof buffer);
    return n > 1 ? std::string(buffer, static_cast<size_t>(n - 1)) : std::string(fallback);
  };
  return LocaleNumberPrefix(text, localeText(LOCALE_STHOUSAND, ","), localeText(LOCALE_SDECIMAL, "."));
}

long IntegerPrefix(const std::string& text) {
  long long v = std::strtoll(text.c_str(), nullptr, 10);
  if (v > LONG_MAX) return LONG_MAX;
  if (v < LONG_MIN) return LONG_MIN;
  return static_cast<long>(v);
}

bool ParseDate(const std::string& text, double& date) {
  if (text.empty()) return false;
  int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  if (n <= 0) return false;
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], n);
  DATE parsed = 0;
  if (FAILED(VarDateFromStr(&wide[0], LOCALE_USER_DEFAULT, 0, &parsed))) return false;
  date = parsed;
  return true;
}

SortCell MakeSortCell(SortKind kind, std::string text) {
  SortCell cell;
  cell.kind = kind;
  switch (kind) {
    case SortKind::kNumber:
      cell.value = LocaleNumberPrefix(text);
      cell.hasValue = true;
      break;
    case SortKind::kInteger:
      cell.value = IntegerPrefix(text);
      cell.hasValue = true;
      break;
    case SortKind::kDate:
      cell.hasValue = ParseDate(text, cell.value);
      break;
    case SortKind::kText:
      break;
  }
  cell.text = std::move(text);
  return cell;
}

int CompareSortCells(const SortCell& a, const SortCell& b) {
  if (a.kind == SortKind::kText) return CompareText(a.text, b.text);
  // Dates come before cells that are no date, so a column stays in one order
  // even when some of its cells are blank or say something else.
  if (a.hasValue != b.hasValue) return a.hasValue ? -1 : 1;
  if (!a.hasValue) return CompareText(a.text, b.text);
  return CompareValues(a.value, b.value);
}

int CompareCells(SortKind kind, const std::string& a, const std::string& b) {
  return CompareSortCells(MakeSortCell(kind, a), MakeSortCell(kind, b));
}

}  // namespace ui
