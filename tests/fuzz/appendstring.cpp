// The string builder: whatever is appended, in whatever pieces, comes back whole and
// in order, the buffer always holds it, and its reported size follows its length.
#include "AppendString.h"
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);
  AppendString builder;
  std::string expected;
  while (!in.Empty()) {
    const uint8_t step = in.Take<uint8_t>();
    if (step == 0xFF) {
      FUZZ_CHECK(builder.ReturnString() == expected);
      FUZZ_CHECK(builder.strBigString.size() == expected.size());
      continue;
    }
    std::string piece = in.TakeText(255);
    // Now and then a long piece, which must grow the buffer before it is copied.
    if (step == 0xFE) piece.append(25000, 'x');
    builder.AddToString(piece);
    expected += piece;
    FUZZ_CHECK(builder.UsedBytes == static_cast<int32_t>(expected.size() * 2));
    FUZZ_CHECK(builder.strBigString.size() >= expected.size());
    FUZZ_CHECK(builder.strBigString.compare(0, expected.size(), expected) == 0);
    FUZZ_CHECK(builder.size() == static_cast<int32_t>(builder.strBigString.size() * 2 + 10));
  }
  FUZZ_CHECK(builder.ReturnString() == expected);
  return 0;
}
