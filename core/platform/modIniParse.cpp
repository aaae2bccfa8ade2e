#include "modIniParse.h"

#include <cstring>

#include "VbRules.h"

std::string IniReadResult(const char* buffer, size_t size) {
  const void* nul = std::memchr(buffer, '\0', size);
  std::string text(buffer, nul ? static_cast<const char*>(nul) - buffer : size);
  return text.compare(0, 6, "Failed") == 0 ? "" : text;
}

std::optional<std::vector<std::string>> ReadDialogOwnerClasses(
    const std::function<std::string(const std::string& key)>& get) {
  const std::string number = get("Number");
  if (number.empty()) return std::nullopt;
  auto n = vb::ParseInt32(number);
  if (!n || *n < 0 || *n > kMaxDialogOwnerClasses) return std::nullopt;
  std::vector<std::string> classes(static_cast<size_t>(*n) + 1);
  for (int i = 1; i <= *n; ++i) classes[i] = get("Class" + std::to_string(i));
  return classes;
}
