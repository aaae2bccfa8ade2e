// Our own rules for reading prog.ini, apart from the system's profile functions that
// read the file: what a read entry means, and how the owner-class list is sized and
// filled from it. Plain C++ with no system headers: the file is outside input.
#pragma once
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// The most classes the list keeps; a larger stored count reads as a missing one.
constexpr int kMaxDialogOwnerClasses = 1000;

// What a "GET" answers from the buffer the profile read filled (read with "Failed"
// as the default): the text before the first NUL, or "" when it begins "Failed".
std::string IniReadResult(const char* buffer, size_t size);

// The owner-class list from the entries of section "Classes", read through `get`
// (an empty text for a missing entry): entry 0 empty, entries 1 to "Number" from
// "Class1" on. Nothing when "Number" is missing or not a whole number from 0 to
// kMaxDialogOwnerClasses, so the list would otherwise be sized by the file.
std::optional<std::vector<std::string>> ReadDialogOwnerClasses(
    const std::function<std::string(const std::string& key)>& get);
