// The performance-data block: its bytes are read only within the block, a process is
// found only by an instance that holds its id, and the block's own length is trusted
// over the bytes returned after it.
#include "FuzzSupport.h"
#include "PerfData.h"

#include <vector>

namespace {

bool Same(const perfdata::ProcessTime& a, const perfdata::ProcessTime& b) {
  return a.lookup == b.lookup && a.value == b.value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);
  const uint32_t pid = in.Take<uint32_t>();
  const uint32_t objectIndex = in.Take<uint16_t>();
  const std::string rest = in.Rest();
  // An exactly sized copy, so a read past the returned bytes is seen.
  const std::vector<unsigned char> block(rest.begin(), rest.end());
  const perfdata::CounterIndices indices;
  const auto found = perfdata::FindProcessTime(block.data(), block.size(), objectIndex, indices, pid);
  if (found.lookup == perfdata::Lookup::Found) {
    const char* id = reinterpret_cast<const char*>(&pid);
    FUZZ_CHECK(rest.find(std::string(id, 4)) != std::string::npos);
  }
  if (block.size() >= 24) {
    uint32_t total;
    std::memcpy(&total, block.data() + 20, 4);
    if (total != 0 && total < block.size()) {
      const std::vector<unsigned char> own(block.begin(), block.begin() + total);
      FUZZ_CHECK(Same(found, perfdata::FindProcessTime(own.data(), own.size(), objectIndex, indices, pid)));
    }
  }
  return 0;
}
