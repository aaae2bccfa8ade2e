// Kernel handles and registry keys that close themselves, so that no early return or
// exception leaks one.
#pragma once
#include <windows.h>

namespace owned {

struct KernelClose {
  static bool Valid(HANDLE h) { return h && h != INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { CloseHandle(h); }
};

struct KeyClose {
  static bool Valid(HKEY k) { return k != nullptr; }
  static void Close(HKEY k) { RegCloseKey(k); }
};

// Owns one handle; moves, never copies. Both null and INVALID_HANDLE_VALUE (what
// CreateFile answers on failure) count as "none".
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

// A process, thread, event, mutex, file, pipe or token handle.
using OwnedHandle = owned::Owned<HANDLE, owned::KernelClose>;
// An open registry key (never one of the predefined roots).
using OwnedKey = owned::Owned<HKEY, owned::KeyClose>;
