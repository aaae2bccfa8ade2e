#include "SpywareListParse.h"

#include <cmath>
#include <cstring>

#include "VbRules.h"

namespace {

const size_t kName = 50, kUrl = 256, kDescription = 256;
const size_t kNameAt = 0, kUrlStartAt = 50, kUrlEndAt = 306, kDescriptionAt = 562, kStyleAt = 818;

std::string Padded(const std::string& text, size_t width) {
  std::string field = text.substr(0, width);
  field.resize(width, ' ');
  return field;
}

bool StartsWithNoCase(const std::string& text, const char* prefix) {
  const size_t n = std::strlen(prefix);
  if (text.size() < n) return false;
  for (size_t i = 0; i < n; ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != prefix[i]) return false;
  }
  return true;
}

}  // namespace

SpywareLinkRecord DecodeSpywareLinkRecord(const char* bytes) {
  SpywareLinkRecord r;
  r.Name.assign(bytes + kNameAt, kName);
  r.UrlStart.assign(bytes + kUrlStartAt, kUrl);
  r.UrlEnd.assign(bytes + kUrlEndAt, kUrl);
  r.Description.assign(bytes + kDescriptionAt, kDescription);
  const auto lo = static_cast<uint8_t>(bytes[kStyleAt]), hi = static_cast<uint8_t>(bytes[kStyleAt + 1]);
  r.NameStyle = static_cast<int16_t>(static_cast<uint16_t>(lo | (hi << 8)));
  return r;
}

std::string EncodeSpywareLinkRecord(const SpywareLinkRecord& r) {
  std::string bytes = Padded(r.Name, kName) + Padded(r.UrlStart, kUrl) + Padded(r.UrlEnd, kUrl) +
                      Padded(r.Description, kDescription);
  const auto style = static_cast<uint16_t>(r.NameStyle);
  bytes += static_cast<char>(style & 0xFF);
  bytes += static_cast<char>(style >> 8);
  return bytes;
}

std::vector<SpywareLinkRecord> ParseSpywareList(const std::string& bytes) {
  std::vector<SpywareLinkRecord> links;
  const size_t kSize = SpywareLinkRecord::kSize;
  if (bytes.size() < kSize) return links;
  const double counted = vb::RoundHalfEven(vb::Val(DecodeSpywareLinkRecord(bytes.data()).Name));
  const size_t available = bytes.size() / kSize - 1;
  if (!(counted >= 1)) return links;  // negative, zero or not a number
  const size_t count = counted >= static_cast<double>(available) ? available : static_cast<size_t>(counted);
  links.reserve(count);
  for (size_t i = 1; i <= count; ++i) links.push_back(DecodeSpywareLinkRecord(bytes.data() + i * kSize));
  return links;
}

std::string SpywareLinkAddress(const SpywareLinkRecord& record, const std::string& fileName) {
  std::string name = fileName;
  if (record.NameStyle == -1) {
    if (name.size() < 4) return "";
    name.resize(name.size() - 4);
  }
  const std::string start = vb::Trim(record.UrlStart);
  // Only web addresses: with an empty start the bare file name would be handed to
  // the shell, which would run it.
  if (!StartsWithNoCase(start, "http://") && !StartsWithNoCase(start, "https://")) return "";
  return start + name + vb::Trim(record.UrlEnd);
}
