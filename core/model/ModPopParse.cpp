#include "ModPopParse.h"

#include <fstream>
#include <iterator>

#include "VbRules.h"

namespace {

constexpr size_t kMenuAt = 512;
constexpr size_t kNoticeAt = 1280, kHideAt = 1282, kVersionAt = 1284;
constexpr size_t kWhiteTypeAt = 1286, kWhiteTextAt = 1298, kExactAt = 2834;

std::string Field(const char* bytes, size_t offset) { return std::string(bytes + offset, PopDatRecord::kText); }

int16_t Int16At(const char* bytes, size_t offset) {
  const auto* b = reinterpret_cast<const unsigned char*>(bytes + offset);
  return static_cast<int16_t>(static_cast<uint16_t>(b[0] | (b[1] << 8)));
}

// Cut or blank-padded to the field's width: a shorter text must not shift what follows.
void PutField(std::string& out, size_t offset, const std::string& text) {
  std::string field = text.substr(0, PopDatRecord::kText);
  field.resize(PopDatRecord::kText, ' ');
  out.replace(offset, PopDatRecord::kText, field);
}

void PutInt16(std::string& out, size_t offset, int16_t value) {
  const auto v = static_cast<uint16_t>(value);
  out[offset] = static_cast<char>(v & 0xFF);
  out[offset + 1] = static_cast<char>(v >> 8);
}

}  // namespace

PopDatRecord DecodePopDatRecord(const char* bytes) {
  PopDatRecord r;
  r.Name = Field(bytes, 0);
  r.ExeName = Field(bytes, PopDatRecord::kText);
  for (int k = 0; k < 3; ++k) r.MenuName[k] = Field(bytes, kMenuAt + PopDatRecord::kText * k);
  r.PopDisNotf = Int16At(bytes, kNoticeAt);
  r.HidePop = Int16At(bytes, kHideAt);
  r.MajorVersion = Int16At(bytes, kVersionAt);
  for (int k = 0; k < 6; ++k) {
    r.WhiteType[k] = Int16At(bytes, kWhiteTypeAt + 2 * k);
    r.WhiteText[k] = Field(bytes, kWhiteTextAt + PopDatRecord::kText * k);
    r.ExactText[k] = Int16At(bytes, kExactAt + 2 * k);
  }
  return r;
}

std::string EncodePopDatRecord(const PopDatRecord& r) {
  std::string out(PopDatRecord::kSize, ' ');
  PutField(out, 0, r.Name);
  PutField(out, PopDatRecord::kText, r.ExeName);
  for (int k = 0; k < 3; ++k) PutField(out, kMenuAt + PopDatRecord::kText * k, r.MenuName[k]);
  PutInt16(out, kNoticeAt, r.PopDisNotf);
  PutInt16(out, kHideAt, r.HidePop);
  PutInt16(out, kVersionAt, r.MajorVersion);
  for (int k = 0; k < 6; ++k) {
    PutInt16(out, kWhiteTypeAt + 2 * k, r.WhiteType[k]);
    PutField(out, kWhiteTextAt + PopDatRecord::kText * k, r.WhiteText[k]);
    PutInt16(out, kExactAt + 2 * k, r.ExactText[k]);
  }
  return out;
}

bool ParsePopDat(const std::string& bytes, std::vector<PopDatRecord>& records) {
  records.clear();
  if (bytes.size() < PopDatRecord::kSize) return false;
  const double counted = vb::Val(vb::Trim(DecodePopDatRecord(bytes.data()).ExeName));
  // The header's count is only a promise: reading stops where the file ends.
  const size_t held = bytes.size() / PopDatRecord::kSize - 1;
  const size_t n = counted >= 1 ? (counted < static_cast<double>(held) ? static_cast<size_t>(counted) : held) : 0;
  records.reserve(n);
  for (size_t i = 1; i <= n; ++i) records.push_back(DecodePopDatRecord(bytes.data() + i * PopDatRecord::kSize));
  return true;
}

bool ReadPopDat(const std::string& path, std::vector<PopDatRecord>& records) {
  records.clear();
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  return ParsePopDat(bytes, records);
}

bool PopDatVersionFits(int16_t majorVersion, const std::string& fileVersion) {
  if (majorVersion == 0) return true;
  long leading = 0;
  size_t i = 0;
  for (; i < fileVersion.size() && fileVersion[i] >= '0' && fileVersion[i] <= '9'; ++i) {
    leading = leading * 10 + (fileVersion[i] - '0');
    if (leading > 32767) return false;  // beyond any record's 16-bit field
  }
  return i > 0 && leading == majorVersion;
}
