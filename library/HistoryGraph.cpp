#include "HistoryGraph.h"

#include "Gdi.h"
#include "Module.h"

namespace {

const char kClassName[] = "PellmonHistoryGraph";
const COLORREF kGridColor = RGB(0, 128, 0);
const COLORREF kBarColor = RGB(0, 255, 0);

bool RegisterGraphClass(WNDPROC proc) {
  WNDCLASSA wc = {};
  if (GetClassInfoA(pellmon::ModuleInstance(), kClassName, &wc)) return true;
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = proc;
  wc.hInstance = pellmon::ModuleInstance();
  wc.lpszClassName = kClassName;
  return RegisterClassA(&wc) != 0;
}

}  // namespace

CHistoryGraph::~CHistoryGraph() {
  if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
  Release();
}

bool CHistoryGraph::Create(DWORD style, const RECT& rect, HWND parent, int id) {
  if (!RegisterGraphClass(&CHistoryGraph::Proc)) return false;
  hwnd_ = CreateWindowExA(WS_EX_STATICEDGE | WS_EX_CLIENTEDGE, kClassName, "", style, rect.left,
                          rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                          pellmon::ModuleInstance(), this);
  return hwnd_ != nullptr;
}

void CHistoryGraph::FillStrip(int left, int right) {
  RECT strip = {left, client_.top, right, client_.bottom};
  FillRect(memDC_, &strip, ui::OwnedBrush(CreateHatchBrush(HS_HORIZONTAL, kGridColor)).get());
}

void CHistoryGraph::SetRange(int minimum, int maximum) {
  minimum_ = minimum;
  maximum_ = maximum;
  if (!memDC_ && hwnd_) {
    GetClientRect(hwnd_, &client_);
    {
      const ui::WindowDC dc(hwnd_);
      memDC_ = CreateCompatibleDC(dc.get());
      bitmap_ = CreateCompatibleBitmap(dc.get(), client_.right, client_.bottom);
    }
    if (!memDC_ || !bitmap_) {
      Release();
      return;
    }
    oldBitmap_ = SelectObject(memDC_, bitmap_);
    // The hatch's gaps take the background colour.
    SetBkColor(memDC_, RGB(0, 0, 0));
    FillStrip(client_.left, client_.right);
  }
  if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

int CHistoryGraph::SetValue(int value) {
  if (value > maximum_) value = maximum_;
  if (value < minimum_) value = minimum_;
  int previous = value_;
  value_ = value;
  if (!memDC_) return previous;

  int width = client_.right, height = client_.bottom;
  BitBlt(memDC_, 0, 0, width - kStep, height, memDC_, kStep, 0, SRCCOPY);
  FillStrip(width - kStep, width);
  int span = maximum_ - minimum_;
  int bar = span > 0 ? static_cast<int>(static_cast<double>(value - minimum_) / span * height) : 0;
  if (bar > 0) {
    RECT r = {width - kStep, height - bar, width - kStep + kBarWidth, height};
    FillRect(memDC_, &r, ui::OwnedBrush(CreateSolidBrush(kBarColor)).get());
  }
  InvalidateRect(hwnd_, nullptr, TRUE);
  return previous;
}

void CHistoryGraph::Paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd_, &ps);
  if (memDC_) BitBlt(dc, 0, 0, client_.right, client_.bottom, memDC_, 0, 0, SRCCOPY);
  EndPaint(hwnd_, &ps);
}

void CHistoryGraph::Release() {
  if (memDC_) {
    if (oldBitmap_) SelectObject(memDC_, oldBitmap_);
    DeleteDC(memDC_);
  }
  if (bitmap_) DeleteObject(bitmap_);
  memDC_ = nullptr;
  bitmap_ = nullptr;
  oldBitmap_ = nullptr;
}

LRESULT CALLBACK CHistoryGraph::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lp);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    static_cast<CHistoryGraph*>(create->lpCreateParams)->hwnd_ = hwnd;
  }
  auto* self = reinterpret_cast<CHistoryGraph*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (self) {
    switch (msg) {
      case WM_PAINT:
        self->Paint();
        return 0;
      case WM_ERASEBKGND:
        return 1;  // the picture covers the whole client area
      case WM_NCDESTROY:
        // The window goes with its dialog; the picture goes with it.
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        self->Release();
        self->hwnd_ = nullptr;
        break;
    }
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}
