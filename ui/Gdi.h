// GDI objects and device contexts that release themselves, and a selection that puts
// the previous object back, so that every drawing path leaves the GDI count level.
#pragma once
#include <windows.h>

namespace ui {

// Owns a bitmap, font, brush, pen or region; DeleteObject when it goes.
template <typename T>
class GdiObject {
 public:
  GdiObject() = default;
  explicit GdiObject(T object) : object_(object) {}
  ~GdiObject() { Reset(); }
  GdiObject(GdiObject&& other) noexcept : object_(other.Release()) {}
  GdiObject& operator=(GdiObject&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;

  T get() const { return object_; }
  explicit operator bool() const { return object_ != nullptr; }
  T Release() {
    T object = object_;
    object_ = nullptr;
    return object;
  }
  void Reset(T object = nullptr) {
    if (object_) DeleteObject(object_);
    object_ = object;
  }

 private:
  T object_ = nullptr;
};

using OwnedBitmap = GdiObject<HBITMAP>;
using OwnedFont = GdiObject<HFONT>;
using OwnedBrush = GdiObject<HBRUSH>;
using OwnedPen = GdiObject<HPEN>;
using OwnedRegion = GdiObject<HRGN>;

// A memory DC compatible with `like` (the screen when null).
class MemoryDC {
 public:
  explicit MemoryDC(HDC like = nullptr) : dc_(CreateCompatibleDC(like)) {}
  ~MemoryDC() {
    if (dc_) DeleteDC(dc_);
  }
  MemoryDC(const MemoryDC&) = delete;
  MemoryDC& operator=(const MemoryDC&) = delete;
  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HDC dc_;
};

// The DC of a window's client area (the screen's when null), given back when it goes.
class WindowDC {
 public:
  explicit WindowDC(HWND window = nullptr) : window_(window), dc_(GetDC(window)) {}
  ~WindowDC() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HWND window_;
  HDC dc_;
};

// Selects an object into a DC for the scope and puts the previous one back: an object
// still selected cannot be deleted.
class SelectIn {
 public:
  SelectIn(HDC dc, HGDIOBJ object) : dc_(dc), previous_(dc && object ? SelectObject(dc, object) : nullptr) {}
  ~SelectIn() {
    if (previous_) SelectObject(dc_, previous_);
  }
  SelectIn(const SelectIn&) = delete;
  SelectIn& operator=(const SelectIn&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace ui
