// The netstat listing: a connection is only ever read from a complete line, so a
// listing cut anywhere never names an id that no complete line holds.
#include "FuzzSupport.h"
#include "ModProgInfoParse.h"

namespace {

bool SameRecord(const ConnectionRecord& a, const ConnectionRecord& b) {
  return a.LocalHost == b.LocalHost && a.LocalPort == b.LocalPort && a.RemoteHost == b.RemoteHost &&
         a.RemotePort == b.RemotePort && a.State == b.State && a.ProcessId == b.ProcessId;
}

void CheckListing(const std::string& text, uint32_t pid) {
  const ConnectionRecord found = ParseNetstatPorts(text, pid);
  const size_t end = text.rfind('\n');
  const std::string complete = end == std::string::npos ? "" : text.substr(0, end + 1);
  // Whatever follows the last line end is never read.
  FUZZ_CHECK(SameRecord(found, ParseNetstatPorts(complete, pid)));
  if (found.ProcessId != 0 || !found.State.empty()) {
    FUZZ_CHECK(found.ProcessId == pid);
    FUZZ_CHECK(complete.find(std::to_string(pid)) != std::string::npos);
    FUZZ_CHECK(complete.find(found.State) != std::string::npos);
    FUZZ_CHECK(complete.find(found.LocalHost) != std::string::npos);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);
  const uint32_t pid = in.Take<uint32_t>();
  const uint16_t cut = in.Take<uint16_t>();
  const std::string text = in.Rest();
  CheckListing(text, pid);
  // The reader keeps a fixed number of characters: the same listing cut anywhere.
  CheckListing(text.substr(0, cut % (text.size() + 1)), pid);
  return 0;
}
