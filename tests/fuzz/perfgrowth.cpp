// The growing read of the performance data: each query gets a zeroed buffer twice the
// last, never more than the ceiling, so a read asks a bounded number of times; a
// success keeps the size that worked and a failure leaves it as it was.
#include "FuzzSupport.h"
#include "PerfData.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);
  uint32_t capacity = in.Take<uint16_t>();
  const uint32_t ceiling = 1u + in.Take<uint32_t>() % (1u << 16);
  const uint32_t before = capacity;
  uint32_t last = 0;
  int queries = 0;
  std::vector<unsigned char> block;
  const bool ok = perfdata::ReadGrowingBlock(
      [&](unsigned char* buffer, uint32_t& bytes) {
        ++queries;
        FUZZ_CHECK(bytes >= 1 && bytes <= ceiling);
        FUZZ_CHECK(last == 0 || bytes == 2 * last || (bytes == ceiling && bytes > last));
        for (uint32_t i = 0; i < bytes; i += 4096) FUZZ_CHECK(buffer[i] == 0);
        last = bytes;
        const uint8_t answer = in.Take<uint8_t>();
        if (answer % 4 == 0) {
          bytes = in.Take<uint32_t>() % (bytes + 1);
          if (bytes > 0) buffer[bytes - 1] = 1;
          return perfdata::QueryAnswer::Ok;
        }
        return answer % 4 == 3 ? perfdata::QueryAnswer::Failed : perfdata::QueryAnswer::MoreData;
      },
      capacity, ceiling, block);
  FUZZ_CHECK(queries >= 1 && queries <= 18);
  if (ok) {
    FUZZ_CHECK(capacity == last);
    FUZZ_CHECK(block.size() <= capacity);
  } else {
    FUZZ_CHECK(capacity == before);
    FUZZ_CHECK(block.empty());
  }
  return 0;
}
