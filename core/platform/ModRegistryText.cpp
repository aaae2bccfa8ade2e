#include "ModRegistryText.h"

#include <cstring>

std::optional<std::string> RegValueText(uint32_t type, const char* data, size_t size) {
  if (type != kRegSz && type != kRegExpandSz) return std::nullopt;
  if (!data || size == 0) return std::string();
  const void* nul = std::memchr(data, '\0', size);
  return std::string(data, nul ? static_cast<const char*>(nul) - data : size);
}
