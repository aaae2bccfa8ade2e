// Readers and writers of the risk model's outside text: the risk description file,
// the rating's cell text and the quarantine list. Plain C++ with no system headers,
// so they can be built anywhere and fed any bytes.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct RiskDescription {
  int16_t Code = 0;
  int16_t Score = 0;  // a negative score is a cap
  int16_t Bonus = 0;  // weight of the code in the accumulated part of a rating
  std::string Description;
  std::string Details;
};

// What one description file holds.
struct RiskDescriptionFile {
  int16_t Count = 0;                    // from line 1; 0 when negative or unreadable
  std::vector<RiskDescription> Table;   // Count + 1 slots; lookups search the first Count
  int16_t LastStaticRiskCode = 0;       // the last code of 120-199 in file order
  int32_t WeightTotal = 0;              // the bonuses of the stored entries
};

// Line 1 is the count N; then pairs of an entry line ("code score bonus description",
// split at single blanks into at most four parts, numbers by the number-prefix rule)
// and a details line. An empty entry line still takes its details line and a slot.
// Pairs past slot N are ignored: a file may not make the table grow. A number that
// does not fit 16 bits reads as 0. Line ends may be CR LF, LF or CR.
RiskDescriptionFile ParseRiskDescriptions(const std::string& text);

// The band's words of a rating.
std::string RiskLevelText(int rating);

// A rating as the lists show it.
struct RiskRatingCell {
  std::string text;
  uint32_t foreColour = 0;  // 0x00BBGGRR
  bool bold = true;
};
// Formats a cell whose text starts with a rating: " 45% ||||||||" and, with the level,
// "......" and " (Doesn't seem harmful)". Red from 64, green below 31, pink between.
RiskRatingCell FormatRiskRating(const std::string& cellText, bool showLevel);

// ---- The quarantine list: fixed records of 259 bytes, a 255-byte ANSI path padded
// with blanks (record 1: zero bytes) and the signed 32-bit little-endian count in
// every record.
constexpr size_t kQrtRecordSize = 259;
constexpr size_t kQrtPathSize = 255;
// The whole file for these paths; each must be 255 bytes or fewer.
std::string EncodeQuarantineList(const std::vector<std::string>& paths);
// The paths the file holds, blanks trimmed at both ends. Only complete records are
// read, so a count larger than the file (or negative) cannot run past it.
std::vector<std::string> DecodeQuarantineList(const std::string& bytes);
