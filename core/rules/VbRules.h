// The value rules the program's settings, texts and reports follow: the number
// prefix read by Val, rounding halves to even, 16-bit integers, "True"/"False",
// number and date texts in the user's locale, and twips.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace vb {

// ---- Pure rules (no system calls)

// Reads the longest number prefix: blanks, tabs and line feeds are skipped anywhere,
// "&H"/"&O" read hexadecimal/octal (4 digits or fewer as a 16-bit value), otherwise
// sign, digits, one "." and an exponent E or D. "12abc" gives 12, "abc" gives 0.
double Val(const std::string& text);

// Rounds to the nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
double RoundHalfEven(double value);

// The conversions to 16- and 32-bit integers: round halves to even, empty on overflow.
std::optional<int16_t> CInt(double value);
std::optional<int32_t> CLng(double value);

// Reads a whole text as a number ("." as the decimal point, surrounding blanks allowed);
// empty when any part of it is not a number.
std::optional<double> ParseNumber(const std::string& text, char decimalPoint = '.');

// Reads a whole text as an integer of the given range (rounded halves to even).
std::optional<int16_t> ParseInt16(const std::string& text);
std::optional<int32_t> ParseInt32(const std::string& text);

// Trim: the text without its leading and trailing blanks (tabs and other spaces stay).
std::string Trim(const std::string& text);

const char* BoolText(bool value);  // "True" or "False"
// "True"/"False" in any case, or a number (0 is False); empty for anything else.
std::optional<bool> ParseBool(const std::string& text);

// Str: a leading blank for a number that is not negative, "." as the point and no
// leading zero before it (" 3", "-2.5", " .5").
std::string Str(double value);
// Str of a single-precision value: seven significant digits, as VB prints a Single.
std::string StrSingle(float value);

// ---- Rules that ask the system for the user's locale and the screen

// UCase and LCase: letters of the user's ANSI code page, as the system cases them.
std::string UCase(std::string text);
std::string LCase(std::string text);

char DecimalSeparator();
// CStr of a number: the locale's decimal separator, 15 significant digits.
std::string CStr(double value);
// A number text from the locale, always through an explicit format record.
std::string FormatNumber(double value, int decimals, bool grouping = true);
// Format(text, "###,###"): whole number with the locale's grouping; "" for an empty
// text and for a value that rounds to 0; a text that is not a number comes back as it is.
std::string FormatGrouped(const std::string& text);
// Reads a fraction written in the locale's format (settings store them so).
std::optional<double> CDbl(const std::string& text);

// Dates are kept as day counts from 30 December 1899 with the time as the fraction.
using Date = double;
Date Now();
std::string FormatShortDate(Date date);
std::string FormatLongTime(Date date);
std::string CStrDate(Date date);  // date and time as one text, as CStr gives it
std::optional<Date> CDate(const std::string& text);

// Twips: 1440 per logical inch; 15 per pixel at 96 dpi.
int TwipsPerPixelX();
int TwipsPerPixelY();
inline int32_t PixelsToTwipsX(int pixels) { return pixels * TwipsPerPixelX(); }
inline int32_t PixelsToTwipsY(int pixels) { return pixels * TwipsPerPixelY(); }
inline int TwipsToPixelsX(int32_t twips) { return twips / TwipsPerPixelX(); }
inline int TwipsToPixelsY(int32_t twips) { return twips / TwipsPerPixelY(); }

}  // namespace vb
