// A monitor log line: whatever the rest holds, a written line is one line, and it
// splits back into its time, its code and its rest.
#include "FuzzSupport.h"
#include "MonitorLogLine.h"

#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);
  if (in.Take<uint8_t>() % 2 == 0) {
    const int hour = in.Take<uint8_t>() % 24, minute = in.Take<uint8_t>() % 60, second = in.Take<uint8_t>() % 60;
    const int16_t code = in.Take<int16_t>();
    const std::string rest = in.Rest();
    const std::string line = FormatMonitorLogLine(hour, minute, second, code, rest);
    FUZZ_CHECK(line.size() >= 2 && line.compare(line.size() - 2, 2, "\r\n") == 0);
    const std::string body = line.substr(0, line.size() - 2);
    FUZZ_CHECK(body.find_first_of("\r\n") == std::string::npos);
    std::string timeText, readRest;
    int16_t readCode = -1;
    SplitMonitorLogLine(body, timeText, readCode, readRest);
    char expectedTime[16];
    std::snprintf(expectedTime, sizeof expectedTime, "%02d:%02d:%02d", hour, minute, second);
    FUZZ_CHECK(timeText == expectedTime);
    FUZZ_CHECK(readCode == code);
    FUZZ_CHECK(readRest.size() == rest.size());
    return 0;
  }
  std::string timeText = "kept", rest = "kept";
  int16_t code = 7;
  const std::string line = in.Rest();
  SplitMonitorLogLine(line, timeText, code, rest);
  FUZZ_CHECK(timeText.size() <= line.size());
  FUZZ_CHECK(rest == "kept" || rest.size() < line.size());
  return 0;
}
