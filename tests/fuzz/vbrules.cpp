// The value rules read settings texts: a whole number text reads the same through Val
// as through the strict readers, what Str writes Val reads back, and integers and
// flags stored as text read back equal.
#include "FuzzSupport.h"
#include "VbRules.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);
  const int16_t small = in.Take<int16_t>();
  const int32_t large = in.Take<int32_t>();
  const double real = in.Take<double>();
  const std::string text = in.Rest();

  FUZZ_CHECK(vb::ParseInt16(std::to_string(small)) == small);
  FUZZ_CHECK(vb::ParseInt32(std::to_string(large)) == large);
  FUZZ_CHECK(vb::ParseBool(vb::BoolText(small != 0)) == (small != 0));
  if (std::isfinite(real)) {
    char written[64];
    std::snprintf(written, sizeof written, "%.15G", real);
    FUZZ_CHECK(vb::Val(vb::Str(real)) == std::strtod(written, nullptr));
    const double r = vb::RoundHalfEven(real);
    FUZZ_CHECK(std::fabs(r - real) <= 0.5);
  }

  const double val = vb::Val(text);
  FUZZ_CHECK(!std::isnan(val));
  if (auto n = vb::ParseNumber(text)) {
    FUZZ_CHECK(val == *n);
    FUZZ_CHECK(vb::ParseInt16(text) == vb::CInt(*n));
  } else {
    FUZZ_CHECK(!vb::ParseInt16(text) && !vb::ParseInt32(text));
  }
  if (auto n = vb::ParseNumber(text, ',')) {
    std::string pointed = text;
    for (char& c : pointed)
      if (c == ',') c = '.';
    FUZZ_CHECK(vb::ParseNumber(pointed) == *n);
  }
  if (auto i = vb::ParseInt32(text)) FUZZ_CHECK(vb::ParseInt32(std::to_string(*i)) == *i);
  const std::string trimmed = vb::Trim(text);
  FUZZ_CHECK(trimmed.empty() || (trimmed.front() != ' ' && trimmed.back() != ' '));
  FUZZ_CHECK(text.find(trimmed) != std::string::npos);
  return 0;
}
