#include "MonitorLogLine.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

// A whole text as an integer: blanks around it, a sign, digits and an optional
// fraction, rounded halves to even. False when anything else is in it.
bool ReadWholeInt16(const std::string& text, int16_t& value) {
  size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return false;
  size_t last = text.find_last_not_of(' ');
  std::string number = text.substr(first, last - first + 1);
  size_t i = (number[0] == '-' || number[0] == '+') ? 1 : 0;
  size_t digits = 0;
  bool point = false;
  for (; i < number.size(); ++i) {
    if (number[i] >= '0' && number[i] <= '9') {
      ++digits;
    } else if (number[i] == '.' && !point) {
      point = true;
    } else {
      return false;
    }
  }
  if (digits == 0) return false;
  double parsed = std::nearbyint(std::strtod(number.c_str(), nullptr));  // the default mode rounds halves to even
  if (!(parsed >= -32768.0 && parsed <= 32767.0)) return false;
  value = static_cast<int16_t>(parsed);
  return true;
}

}  // namespace

std::string FormatMonitorLogLine(int hour, int minute, int second, int code, const std::string& rest) {
  char head[48];
  std::snprintf(head, sizeof head, "%02d:%02d:%02d %d ", hour, minute, second, code);
  std::string line = head;
  for (char c : rest) line += (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) ? ' ' : c;
  return line + "\r\n";
}

void SplitMonitorLogLine(const std::string& line, std::string& timeText, int16_t& code, std::string& rest) {
  size_t first = line.find(' ');
  timeText = line.substr(0, first);
  if (first == std::string::npos) return;
  size_t second = line.find(' ', first + 1);
  int16_t value = 0;
  if (ReadWholeInt16(line.substr(first + 1, second == std::string::npos ? std::string::npos : second - first - 1),
                     value))
    code = value;
  if (second != std::string::npos) rest = line.substr(second + 1);
}
