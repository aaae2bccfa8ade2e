// The update check's answer, as the network gives it: only a 200 whose first token is
// a dotted version other than ours is news, and what it reports comes from the body.
#include "FuzzSupport.h"
#include "UpdateCheckParse.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);
  const int status = in.Take<uint8_t>() % 2 == 0 ? 200 : in.Take<int16_t>();
  const std::string body = in.Rest();
  const updatecheck::UpdateAnswer answer = updatecheck::ParseUpdateAnswer(status, body, "3.0.0");
  if (answer.news) {
    FUZZ_CHECK(status == 200);
    FUZZ_CHECK(updatecheck::IsDottedVersion(answer.version));
    FUZZ_CHECK(answer.version != "3.0.0");
    FUZZ_CHECK(body.find(answer.version) != std::string::npos);
  }
  FUZZ_CHECK(answer.notes.size() <= body.size());
  // Either an answer (a version read from the body) or a failure with its reason.
  FUZZ_CHECK(answer.failure.empty() != answer.version.empty());
  return 0;
}
