// One owner for any handle-like value that must be given back exactly once: the
// traits say which values are "none" and how to give one back. Moves, never copies.
#pragma once

namespace owned {

template <typename H, typename Traits>
class Owned {
 public:
  Owned() = default;
  explicit Owned(H h) : h_(Traits::Valid(h) ? h : nullptr) {}
  ~Owned() { Reset(); }
  Owned(Owned&& other) noexcept : h_(other.Release()) {}
  Owned& operator=(Owned&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;

  H get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }
  // For a call that hands a new handle back through a pointer; any held one goes first.
  H* Receive() {
    Reset();
    return &h_;
  }
  H Release() {
    H h = h_;
    h_ = nullptr;
    return h;
  }
  void Reset(H h = nullptr) {
    if (h_) Traits::Close(h_);
    h_ = Traits::Valid(h) ? h : nullptr;
  }

 private:
  H h_ = nullptr;
};

}  // namespace owned
