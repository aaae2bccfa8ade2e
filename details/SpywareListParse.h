// spywarelist.dat: fixed records of 820 bytes, blank-padded single-byte texts and a
// little-endian 16-bit style. Record 1's name holds the number of link records that
// follow. Plain code, so it can be built natively and fuzzed.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct SpywareLinkRecord {
  static constexpr size_t kSize = 820;
  std::string Name;         // 50
  std::string UrlStart;     // 256
  std::string UrlEnd;       // 256
  std::string Description;  // 256
  // -1: the program's file name less its last 4 characters; else the whole name.
  int16_t NameStyle = 0;
};

// The fields of one record as stored (blanks kept); `bytes` holds kSize bytes.
SpywareLinkRecord DecodeSpywareLinkRecord(const char* bytes);
// The record's bytes; a text longer than its field is cut.
std::string EncodeSpywareLinkRecord(const SpywareLinkRecord& record);
// The link records of a whole file. The count is the header name's leading number
// rounded half to even; a negative or missing one reads 0, and one above the
// complete records the file holds reads as their number.
std::vector<SpywareLinkRecord> ParseSpywareList(const std::string& bytes);
// The address a link opens for a program file name: the trimmed start, the name (less
// its last 4 characters with style -1) and the trimmed end. "" when there is nothing
// safe to open: a name too short to cut, or an address that is not http(s).
std::string SpywareLinkAddress(const SpywareLinkRecord& record, const std::string& fileName);
