// The one set of rules by which list cells are ordered, shared by the program's
// list views and the system library's own sorter. It depends on nothing of the
// program, so the library can compile it too.
#pragma once
#include <string>

namespace ui {

enum class SortKind {
  kText,     // without regard to case, as the system's list compare does
  kNumber,   // by the number the text starts with, written in the user's locale
             // ("12,345" is 12345 where "," groups thousands, "12.5 MB" 12.5, "abc" 0)
  kInteger,  // by the whole number its leading digits make ("12.50" is 12)
  kDate,     // as a date/time of the user's locale; cells that are no date follow in text order
};

// What a cell is compared by, worked out once per sort rather than per comparison.
struct SortCell {
  SortKind kind = SortKind::kText;
  std::string text;
  double value = 0;
  bool hasValue = false;  // a date that parsed; numbers always have one
};

SortCell MakeSortCell(SortKind kind, std::string text);
// Below zero when a goes before b in ascending order, zero when they tie.
int CompareSortCells(const SortCell& a, const SortCell& b);
int CompareCells(SortKind kind, const std::string& a, const std::string& b);

// The number at the start of the text: blanks skipped, a sign, digits with one
// decimal point and an exponent; 0 when it starts with none.
double NumberPrefix(const std::string& text);
// The number at the start of a text written in the user's locale: its thousands
// separator between digits is skipped and its decimal separator is the point.
double LocaleNumberPrefix(const std::string& text);
// The same with the two separators given (a locale's).
double LocaleNumberPrefix(const std::string& text, const std::string& thousands, const std::string& decimal);
// The leading whole number as atoi reads it, held to the range of a long.
long IntegerPrefix(const std::string& text);
// The text as a date/time of the user's locale (days since 30 Dec 1899).
bool ParseDate(const std::string& text, double& date);

}  // namespace ui
