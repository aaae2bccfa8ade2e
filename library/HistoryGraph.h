// A scrolling bar graph of recent values: each new value moves the history left by
// one 4-pixel step and draws its bar at the right edge.
#pragma once
#include <windows.h>

class CHistoryGraph {
 public:
  static const int kStep = 4;      // pixels per value
  static const int kBarWidth = 2;  // the bar within its step

  CHistoryGraph() = default;
  ~CHistoryGraph();
  CHistoryGraph(const CHistoryGraph&) = delete;
  CHistoryGraph& operator=(const CHistoryGraph&) = delete;

  // A child window with sunken edges over rect (parent client coordinates).
  bool Create(DWORD style, const RECT& rect, HWND parent, int id);
  // The first call prepares the picture, so the window's size is known by then.
  void SetRange(int minimum, int maximum);
  // Returns the previous value.
  int SetValue(int value);

  HWND hwnd() const { return hwnd_; }
  int Value() const { return value_; }
  // The picture the window shows.
  HDC MemoryDC() const { return memDC_; }

 private:
  static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
  void Paint();
  void Release();
  void FillStrip(int left, int right);

  HWND hwnd_ = nullptr;
  int minimum_ = 0;
  int maximum_ = 100;
  int value_ = 0;
  HDC memDC_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ oldBitmap_ = nullptr;
  RECT client_ = {};
};
