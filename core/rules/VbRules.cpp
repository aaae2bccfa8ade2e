#include "VbRules.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace vb {
namespace {

bool IsSkipped(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

std::string Squeeze(const std::string& text) {
  std::string s;
  s.reserve(text.size());
  for (char c : text)
    if (!IsSkipped(c)) s += c;
  return s;
}

// "&H1F", "&O17" or "&17": the digits up to the first one that does not belong.
double RadixPrefix(const std::string& s) {
  size_t i = 1;
  int radix = 8;
  if (i < s.size() && (s[i] == 'H' || s[i] == 'h')) {
    radix = 16;
    ++i;
  } else if (i < s.size() && (s[i] == 'O' || s[i] == 'o')) {
    ++i;
  }
  uint64_t v = 0;
  for (; i < s.size(); ++i) {
    int d = std::isdigit(static_cast<unsigned char>(s[i])) ? s[i] - '0'
            : std::isxdigit(static_cast<unsigned char>(s[i])) ? std::toupper(s[i]) - 'A' + 10
                                                              : 99;
    if (d >= radix) break;
    v = (v * radix + d) & 0xFFFFFFFFu;
  }
  // Up to 16 bits the value is an Integer, above it a Long: both signed.
  if (v <= 0xFFFF) return static_cast<int16_t>(v);
  return static_cast<int32_t>(static_cast<uint32_t>(v));
}

}  // namespace

double Val(const std::string& text) {
  const std::string s = Squeeze(text);
  if (!s.empty() && s[0] == '&') return RadixPrefix(s);
  size_t i = 0;
  std::string num;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) num += s[i++];
  bool digits = false, point = false;
  for (; i < s.size(); ++i) {
    char c = s[i];
    if (std::isdigit(static_cast<unsigned char>(c))) {
      num += c;
      digits = true;
    } else if (c == '.' && !point) {
      num += c;
      point = true;
    } else {
      break;
    }
  }
  if (!digits) return 0.0;
  if (i < s.size() && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) {
    std::string exp = "e";
    size_t j = i + 1;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) exp += s[j++];
    size_t start = j;
    while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) exp += s[j++];
    if (j > start) num += exp;
  }
  return std::strtod(num.c_str(), nullptr);
}

double RoundHalfEven(double value) {
  double r = std::round(value);  // halves away from zero
  if (std::fabs(value - std::trunc(value)) == 0.5) r = 2.0 * std::round(value / 2.0);
  return r;
}

std::string Trim(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::optional<int16_t> CInt(double value) {
  if (!std::isfinite(value)) return std::nullopt;
  double r = RoundHalfEven(value);
  if (r < -32768.0 || r > 32767.0) return std::nullopt;
  return static_cast<int16_t>(r);
}

std::optional<int32_t> CLng(double value) {
  if (!std::isfinite(value)) return std::nullopt;
  double r = RoundHalfEven(value);
  if (r < -2147483648.0 || r > 2147483647.0) return std::nullopt;
  return static_cast<int32_t>(r);
}

std::optional<double> ParseNumber(const std::string& text, char decimalPoint) {
  size_t b = 0, e = text.size();
  while (b < e && IsSkipped(text[b])) ++b;
  while (e > b && IsSkipped(text[e - 1])) --e;
  std::string s = text.substr(b, e - b);
  if (s.empty()) return std::nullopt;
  if (decimalPoint != '.') {
    for (char& c : s) {
      if (c == '.') return std::nullopt;
      if (c == decimalPoint) c = '.';
    }
  }
  // Only the forms Val reads count: no hexadecimal floats, infinities or NaN.
  for (char c : s)
    if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '+' || c == '-' ||
          c == 'e' || c == 'E'))
      return std::nullopt;
  char* end = nullptr;
  double v = std::strtod(s.c_str(), &end);
  if (end != s.c_str() + s.size()) return std::nullopt;
  return v;
}

std::optional<int16_t> ParseInt16(const std::string& text) {
  auto v = ParseNumber(text);
  return v ? CInt(*v) : std::nullopt;
}

std::optional<int32_t> ParseInt32(const std::string& text) {
  auto v = ParseNumber(text);
  return v ? CLng(*v) : std::nullopt;
}

const char* BoolText(bool value) { return value ? "True" : "False"; }

std::optional<bool> ParseBool(const std::string& text) {
  std::string s;
  for (char c : text)
    if (!IsSkipped(c)) s += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (s == "true") return true;
  if (s == "false") return false;
  if (auto n = ParseNumber(s)) return *n != 0.0;
  return std::nullopt;
}

std::string StrSingle(float value) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.7G", static_cast<double>(value));
  return Str(std::strtod(buf, nullptr));
}

std::string Str(double value) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.15G", value);
  std::string s = buf;
  // "1E+015" style exponents of some runtimes are trimmed to "1E+15".
  size_t e = s.find('E');
  if (e != std::string::npos) {
    std::string mant = s.substr(0, e), exp = s.substr(e + 1);
    char sign = exp[0];
    exp = exp.substr(1);
    while (exp.size() > 2 && exp[0] == '0') exp.erase(0, 1);
    s = mant + "E" + sign + exp;
  }
  if (s.compare(0, 2, "0.") == 0) s.erase(0, 1);
  else if (s.compare(0, 3, "-0.") == 0) s.erase(1, 1);
  if (s == "-0") s = "0";
  return value >= 0 || s == "0" ? " " + s : s;
}

}  // namespace vb
