// The browser catalogue Pop.dat shipped beside the program: its record codec and
// reader. Plain C++ with no system headers: the file is outside input.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// One record of Pop.dat: 2846 bytes, blank-padded text fields, little-endian integers.
struct PopDatRecord {
  static constexpr size_t kSize = 2846;
  static constexpr size_t kText = 256;
  std::string Name;         // 256
  std::string ExeName;      // 256; in the header record, the number of records
  std::string MenuName[3];  // 3 x 256
  int16_t PopDisNotf = 0;
  int16_t HidePop = 0;
  int16_t MajorVersion = 0;  // 0 any version
  int16_t WhiteType[6] = {};
  std::string WhiteText[6];  // 6 x 256
  int16_t ExactText[6] = {};
};
// Decodes one record from its 2846 bytes.
PopDatRecord DecodePopDatRecord(const char* bytes);
// The 2846 bytes of a record: texts cut or blank-padded to 256 characters. A decoded
// record encodes back to the bytes it came from.
std::string EncodePopDatRecord(const PopDatRecord& record);

// The browser records of a whole file: as many as the header counts and the bytes
// hold. False when there is no whole header record.
bool ParsePopDat(const std::string& bytes, std::vector<PopDatRecord>& records);
// Reads the file and parses it; false when it cannot be read or has no header.
bool ReadPopDat(const std::string& path, std::vector<PopDatRecord>& records);

// The version test of a record: 0 fits any version; otherwise the leading number of
// the FileVersion text must equal it (so a record for 1 does not fit 10.x). An empty
// text, or one that starts with no digit, fits no non-zero version.
bool PopDatVersionFits(int16_t majorVersion, const std::string& fileVersion);
