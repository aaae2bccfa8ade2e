#include "AppendString.h"

void AppendString::AddToString(const std::string& text) {
  const size_t used = static_cast<size_t>(UsedBytes) / 2;
  const size_t needed = used + text.size();
  if (needed > strBigString.size()) {
    size_t steps = (needed - strBigString.size() + kGrowth - 1) / kGrowth;
    strBigString.resize(strBigString.size() + steps * kGrowth, ' ');
  }
  strBigString.replace(used, text.size(), text);
  UsedBytes += static_cast<int32_t>(text.size() * 2);
}

std::string AppendString::ReturnString() {
  strBigString.resize(static_cast<size_t>(UsedBytes) / 2);
  return strBigString;
}

int32_t AppendString::size() const { return static_cast<int32_t>(strBigString.size() * 2) + 10; }
