// A registry value as text: only the text types give text, it never holds a NUL,
// and a text stored without its NUL is read whole.
#include "FuzzSupport.h"
#include "ModRegistryText.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);
  const uint32_t type = in.Take<uint8_t>() % 12;  // REG_NONE to REG_QWORD
  const std::string bytes = in.Rest();
  // An exactly sized copy, so a read past the value's size is seen.
  std::vector<char> value(bytes.begin(), bytes.end());
  const auto text = RegValueText(type, value.data(), value.size());
  FUZZ_CHECK(text.has_value() == (type == kRegSz || type == kRegExpandSz));
  if (!text) return 0;
  FUZZ_CHECK(text->find('\0') == std::string::npos);
  FUZZ_CHECK(bytes.compare(0, text->size(), *text) == 0);
  const size_t nul = bytes.find('\0');
  FUZZ_CHECK(text->size() == (nul == std::string::npos ? bytes.size() : nul));
  return 0;
}
