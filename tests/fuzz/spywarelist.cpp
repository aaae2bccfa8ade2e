// spywarelist.dat: a record decodes and encodes back to its own bytes; a file gives no
// more links than its bytes hold; an address is only ever a web address.
#include "FuzzSupport.h"
#include "SpywareListParse.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const size_t kSize = SpywareLinkRecord::kSize;
  if (size >= kSize) FUZZ_CHECK(EncodeSpywareLinkRecord(DecodeSpywareLinkRecord(bytes.data())) == bytes.substr(0, kSize));
  const std::vector<SpywareLinkRecord> links = ParseSpywareList(bytes);
  FUZZ_CHECK(size >= kSize || links.empty());
  FUZZ_CHECK(size < kSize || links.size() <= size / kSize - 1);
  for (size_t i = 0; i < links.size(); ++i) {
    FUZZ_CHECK(EncodeSpywareLinkRecord(links[i]) == bytes.substr((i + 1) * kSize, kSize));
    const std::string address = SpywareLinkAddress(links[i], bytes.substr(0, size % 40));
    std::string scheme = address.substr(0, 8);
    for (char& c : scheme) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
    FUZZ_CHECK(address.empty() || scheme.compare(0, 7, "http://") == 0 || scheme == "https://");
  }
  return 0;
}
