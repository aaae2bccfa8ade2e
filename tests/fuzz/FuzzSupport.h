// What every fuzz target shares: a check that turns a broken promise of a parser into
// a finding, like a crash, and a reader that cuts the fuzzer's bytes into values.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#define FUZZ_CHECK(condition)                                                                  \
  do {                                                                                         \
    if (!(condition)) {                                                                        \
      std::fprintf(stderr, "broken promise: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
      std::abort();                                                                            \
    }                                                                                          \
  } while (0)

class FuzzInput {
 public:
  FuzzInput(const uint8_t* data, size_t size) : data_(data), left_(size) {}
  bool Empty() const { return left_ == 0; }
  // A value from the next bytes; missing bytes read as 0.
  template <typename T>
  T Take() {
    T value{};
    const size_t n = left_ < sizeof value ? left_ : sizeof value;
    std::memcpy(&value, data_, n);
    data_ += n;
    left_ -= n;
    return value;
  }
  // A text whose length (up to `most`) is given by the next byte.
  std::string TakeText(size_t most) {
    size_t n = Take<uint8_t>();
    if (n > most) n = most;
    if (n > left_) n = left_;
    std::string text(reinterpret_cast<const char*>(data_), n);
    data_ += n;
    left_ -= n;
    return text;
  }
  std::string Rest() {
    std::string text(reinterpret_cast<const char*>(data_), left_);
    data_ += left_;
    left_ = 0;
    return text;
  }

 private:
  const uint8_t* data_;
  size_t left_;
};
