// The rule that turns the bytes of a registry value into text. Plain C++ with no
// system headers: what other programs store is outside input.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// The value types that hold text (REG_SZ and REG_EXPAND_SZ).
constexpr uint32_t kRegSz = 1;
constexpr uint32_t kRegExpandSz = 2;

// The text of a value of the given type whose first `size` bytes are `data`: up to
// its first NUL, or all of it when it has none (installers often store text without
// its NUL). Nothing for a value of another type.
std::optional<std::string> RegValueText(uint32_t type, const char* data, size_t size);
