// GDI objects and device contexts that release themselves, and a selection that puts
// the previous object back, so that every drawing path leaves the GDI count level.
#pragma once
#include <windows.h>

#include "Owned.h"

namespace ui {

struct GdiDelete {
  static bool Valid(HGDIOBJ object) { return object != nullptr; }
  static void Close(HGDIOBJ object) { DeleteObject(object); }
};

// Owns a bitmap, font, brush, pen or region; DeleteObject when it goes.
template <typename T>
using GdiObject = owned::Owned<T, GdiDelete>;

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
