#include "ModProcMonParse.h"

#include <cmath>
#include <cstdio>

#include "VbRules.h"

namespace {

// Splits at CR LF, LF or CR; a last line without its end is still a line.
std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
    if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
  }
  return lines;
}

// The number-prefix rule, rounded; 0 when the value does not fit 16 bits.
int16_t ReadInt16(const std::string& text) {
  double value = vb::RoundHalfEven(vb::Val(text));
  if (!(value >= -32768.0 && value <= 32767.0)) return 0;
  return static_cast<int16_t>(value);
}

// Up to `limit` parts split at single blanks; the last part keeps the rest.
std::vector<std::string> SplitAtBlanks(const std::string& line, size_t limit) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (parts.size() + 1 < limit) {
    size_t blank = line.find(' ', start);
    if (blank == std::string::npos) break;
    parts.push_back(line.substr(start, blank - start));
    start = blank + 1;
  }
  parts.push_back(line.substr(start));
  return parts;
}

std::string TrimBlanks(const std::string& text) {
  size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

RiskDescriptionFile ParseRiskDescriptions(const std::string& text) {
  RiskDescriptionFile file;
  const std::vector<std::string> lines = SplitLines(text);
  size_t next = 0;
  if (next < lines.size()) {
    int16_t count = ReadInt16(lines[next++]);
    file.Count = count > 0 ? count : 0;
  }
  file.Table.resize(static_cast<size_t>(file.Count) + 1);
  for (size_t i = 0; next < lines.size() && i < file.Table.size(); ++i) {
    RiskDescription& entry = file.Table[i];
    const std::string& entryLine = lines[next++];
    if (!entryLine.empty()) {
      std::vector<std::string> parts = SplitAtBlanks(entryLine, 4);
      parts.resize(4);
      entry.Code = ReadInt16(parts[0]);
      entry.Score = ReadInt16(parts[1]);
      entry.Bonus = ReadInt16(parts[2]);
      entry.Description = parts[3];
      file.WeightTotal += entry.Bonus;
      if (entry.Code >= 120 && entry.Code < 200) file.LastStaticRiskCode = entry.Code;
    }
    // A file that ends after an entry line gives that entry no details.
    if (next < lines.size()) entry.Details = lines[next++];
  }
  return file;
}

std::string RiskLevelText(int rating) {
  if (rating >= 81) return "Probably dangerous";
  if (rating >= 64) return "Maybe harmful";
  if (rating >= 31) return "Doesn't seem harmful";
  return "Not harmful";
}

RiskRatingCell FormatRiskRating(const std::string& cellText, bool showLevel) {
  const double value = std::floor(vb::Val(TrimBlanks(cellText)));
  const int rating = value > 32767 ? 32767 : value < -32768 ? -32768 : static_cast<int>(value);
  RiskRatingCell cell;
  if (rating >= 64) {
    cell.foreColour = 0x0000FF;
  } else if (rating < 31) {
    cell.foreColour = 0x00D200;
  } else {
    cell.foreColour = 0x9D9DFF;
  }
  char number[16];
  std::snprintf(number, sizeof number, "%02d", rating);
  const int bars = rating > 0 ? rating / 10 * 2 : 0;
  cell.text = std::string(rating >= 100 ? "" : " ") + number + "% " + std::string(bars, '|');
  if (showLevel) {
    const double dots = vb::RoundHalfEven(10 - rating / 10.0);
    cell.text += std::string(dots > 0 ? static_cast<size_t>(dots) : 0, '.');
    cell.text += " (" + RiskLevelText(rating) + ")";
  }
  return cell;
}

std::string EncodeQuarantineList(const std::vector<std::string>& paths) {
  const int32_t count = static_cast<int32_t>(paths.size());
  std::string bytes;
  bytes.reserve((paths.size() + 1) * kQrtRecordSize);
  auto record = [&](const std::string& path, char pad) {
    std::string field = path.substr(0, kQrtPathSize);
    field.resize(kQrtPathSize, pad);
    bytes += field;
    const uint32_t raw = static_cast<uint32_t>(count);
    for (int shift = 0; shift < 32; shift += 8) bytes += static_cast<char>((raw >> shift) & 0xFF);
  };
  record("", '\0');
  for (const std::string& path : paths) record(path, ' ');
  return bytes;
}

std::vector<std::string> DecodeQuarantineList(const std::string& bytes) {
  std::vector<std::string> paths;
  if (bytes.size() < kQrtRecordSize) return paths;
  uint32_t raw = 0;
  for (int i = 3; i >= 0; --i) raw = (raw << 8) | static_cast<unsigned char>(bytes[kQrtPathSize + i]);
  const int32_t count = static_cast<int32_t>(raw);
  const size_t complete = bytes.size() / kQrtRecordSize - 1;
  const size_t wanted = count > 0 ? static_cast<size_t>(count) : 0;
  for (size_t i = 1; i <= wanted && i <= complete; ++i)
    paths.push_back(TrimBlanks(bytes.substr(i * kQrtRecordSize, kQrtPathSize)));
  return paths;
}
