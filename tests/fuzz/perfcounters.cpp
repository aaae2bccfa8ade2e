// The counter-name list: an index is only ever taken from the text just before its
// name, and the list is read only within its size.
#include "FuzzSupport.h"
#include "PerfData.h"

#include <functional>
#include <vector>

namespace {

// The texts of the list, each up to its NUL or the end of the list.
std::vector<std::string> Texts(const std::string& list) {
  std::vector<std::string> texts;
  size_t start = 0;
  while (start < list.size()) {
    size_t end = list.find('\0', start);
    if (end == std::string::npos) end = list.size();
    if (end == start) break;  // the empty text ends the list
    texts.push_back(list.substr(start, end - start));
    start = end + 1;
  }
  return texts;
}

std::string Lower(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

// True when some text `name` follows a text that reads as the index.
bool HasPair(const std::vector<std::string>& texts, const char* name, const std::function<bool(const std::string&)>& index) {
  for (size_t i = 1; i < texts.size(); ++i)
    if (Lower(texts[i]) == name && index(texts[i - 1])) return true;
  return false;
}

bool ReadsAs(const std::string& text, uint32_t value) {
  if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos) return false;
  return std::stoul(text) == value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<char> list(data, data + size);
  const perfdata::CounterIndices found = perfdata::ReadCounterIndices(list.data(), list.size());
  const std::vector<std::string> texts = Texts(std::string(list.begin(), list.end()));
  if (!found.processObject.empty())
    FUZZ_CHECK(HasPair(texts, "process", [&](const std::string& t) { return t == found.processObject; }));
  if (found.idProcess != 784)
    FUZZ_CHECK(HasPair(texts, "id process", [&](const std::string& t) { return ReadsAs(t, found.idProcess); }));
  if (found.processorTime != 6)
    FUZZ_CHECK(HasPair(texts, "% processor time", [&](const std::string& t) { return ReadsAs(t, found.processorTime); }));
  return 0;
}
