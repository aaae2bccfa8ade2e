#include "Window.h"

#include <exception>

#include "Controls.h"
#include "Menu.h"
#include "Timer.h"

namespace ui {
namespace {

const char kFormClass[] = "QuillonForm";

HINSTANCE Instance() { return GetModuleHandleA(nullptr); }

bool RegisterFormClass(WNDPROC proc) {
  static bool registered = false;
  if (registered) return true;
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = proc;
  wc.hInstance = Instance();
  wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  wc.lpszClassName = kFormClass;
  registered = RegisterClassExA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  return registered;
}

}  // namespace

Window::Window(FormDesign design) : design_(std::move(design)), backColour_(GetSysColor(COLOR_BTNFACE)) {}

Window::~Window() {
  if (hwnd_) {
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
  if (backBrush_) DeleteObject(backBrush_);
}

bool Window::Load() {
  if (hwnd_) return true;
  if (!RegisterFormClass(StaticProc)) return false;
  RECT r = {0, 0, design_.width, design_.height};
  AdjustWindowRectEx(&r, design_.style, menu_ != nullptr, design_.exStyle);
  int w = r.right - r.left, h = r.bottom - r.top, x = design_.x, y = design_.y;
  if (design_.centred) {
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    x = work.left + (work.right - work.left - w) / 2;
    y = work.top + (work.bottom - work.top - h) / 2;
  }
  loading_ = true;
  HWND created = CreateWindowExA(design_.exStyle, kFormClass, design_.caption.c_str(),
                                 design_.style & ~WS_VISIBLE, x, y, w, h, nullptr, nullptr,
                                 Instance(), this);
  if (!created) {
    loading_ = false;
    return false;
  }
  if (design_.iconId) {
    HICON icon = LoadIconA(Instance(), MAKEINTRESOURCEA(design_.iconId));
    if (icon) SendMessageA(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  }
  for (Control* c : controls_) c->Create();
  if (menu_) SetMenu(menu_);
  for (auto& entry : timers_) entry.second->Apply();
  try {
    Form_Load();
  } catch (...) {
    loading_ = false;
    throw;
  }
  loading_ = false;
  return true;
}

void Window::Show() {
  if (!Load()) return;
  ShowWindow(hwnd_, SW_SHOW);
}

void Window::Hide() {
  if (!Load()) return;
  ShowWindow(hwnd_, SW_HIDE);
}

bool Window::Unload() {
  if (!hwnd_) return true;
  if (!MayUnload(vbFormCode)) return false;
  DestroyWindow(hwnd_);
  return true;
}

bool Window::Visible() const { return hwnd_ && IsWindowVisible(hwnd_); }

std::string Window::Caption() const {
  if (!hwnd_) return design_.caption;
  char buf[512];
  int n = GetWindowTextA(hwnd_, buf, sizeof buf);
  return std::string(buf, n > 0 ? n : 0);
}

void Window::SetCaption(const std::string& text) {
  design_.caption = text;
  if (hwnd_) SetWindowTextA(hwnd_, text.c_str());
}

void Window::SetBackColor(COLORREF colour) {
  backColour_ = colour;
  if (backBrush_) DeleteObject(backBrush_);
  backBrush_ = CreateSolidBrush(colour);
  if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

HBRUSH Window::BackBrush() const {
  return backBrush_ ? backBrush_ : GetSysColorBrush(COLOR_BTNFACE);
}

void Window::SetBackgroundBands(std::vector<COLORREF> bands) {
  bands_ = std::move(bands);
  if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

int Window::ScaleWidth() const {
  RECT r = {};
  if (hwnd_) GetClientRect(hwnd_, &r);
  return hwnd_ ? r.right : design_.width;
}

int Window::ScaleHeight() const {
  RECT r = {};
  if (hwnd_) GetClientRect(hwnd_, &r);
  return hwnd_ ? r.bottom : design_.height;
}

void Window::SetMenu(Menu* menu) {
  menu_ = menu;
  if (!hwnd_ || !menu_) return;
  menu_->boundTo_ = hwnd_;
  menu_->Invalidate();
}

void Window::Attach(Control* control) { controls_.push_back(control); }

void Window::Detach(Control* control) {
  for (auto it = controls_.begin(); it != controls_.end(); ++it)
    if (*it == control) {
      controls_.erase(it);
      return;
    }
}

void Window::Attach(Timer* timer) { timers_[timer->id_] = timer; }
void Window::Detach(Timer* timer) { timers_.erase(timer->id_); }

Control* Window::ControlFromHandle(HWND child) const {
  if (!child) return nullptr;
  for (Control* c : controls_)
    if (c->hwnd() == child) return c;
  return nullptr;
}

bool Window::MayUnload(int mode) {
  bool cancel = false;
  Form_QueryUnload(cancel, mode);
  if (cancel) return false;
  Form_Unload(cancel);
  return !cancel;
}

void Window::PaintBackground(HDC dc) {
  RECT client;
  GetClientRect(hwnd_, &client);
  if (bands_.empty()) {
    FillRect(dc, &client, BackBrush());
    return;
  }
  const int n = static_cast<int>(bands_.size());
  for (int i = 0; i < n; ++i) {
    RECT band = client;
    band.top = client.bottom * i / n;
    band.bottom = client.bottom * (i + 1) / n;
    if (band.bottom <= band.top) continue;
    HBRUSH brush = CreateSolidBrush(bands_[i]);
    FillRect(dc, &band, brush);
    DeleteObject(brush);
  }
}

LRESULT Window::DefaultProc(UINT msg, WPARAM wp, LPARAM lp) {
  return DefWindowProcA(hwnd_, msg, wp, lp);
}

LRESULT Window::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      if (lp) {
        if (Control* c = ControlFromHandle(reinterpret_cast<HWND>(lp))) {
          c->OnCommand(HIWORD(wp));
          return 0;
        }
      } else if (menu_ && HIWORD(wp) == 0 && menu_->Dispatch(LOWORD(wp))) {
        return 0;
      }
      break;
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lp);
      LRESULT result = 0;
      if (Control* c = ControlFromHandle(header->hwndFrom))
        if (c->OnNotify(header, result)) return result;
      break;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
      if (Control* c = ControlFromHandle(reinterpret_cast<HWND>(lp)))
        if (HBRUSH brush = c->OnCtlColor(reinterpret_cast<HDC>(wp)))
          return reinterpret_cast<LRESULT>(brush);
      break;
    case WM_DRAWITEM: {
      auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
      if (Control* c = ControlFromHandle(item->hwndItem))
        if (c->OnDrawItem(*item)) return TRUE;
      break;
    }
    case WM_TIMER: {
      auto it = timers_.find(wp);
      if (it != timers_.end()) {
        if (it->second->Tick) it->second->Tick();
        return 0;
      }
      break;
    }
    case WM_ACTIVATE:
      if (LOWORD(wp) == WA_INACTIVE)
        Form_Deactivate();
      else
        Form_Activate();
      break;
    case WM_SIZE:
      if (!loading_) Form_Resize();
      break;
    case WM_ERASEBKGND:
      PaintBackground(reinterpret_cast<HDC>(wp));
      return 1;
    case WM_CLOSE:
      if (MayUnload(vbFormControlMenu)) DestroyWindow(hwnd_);
      return 0;
    case WM_QUERYENDSESSION: {
      // A form that stays loaded does not veto the session's end; only a cancelled
      // query does.
      bool cancel = false;
      Form_QueryUnload(cancel, vbAppWindows);
      return cancel ? FALSE : TRUE;
    }
    default:
      break;
  }
  return DefaultProc(msg, wp, lp);
}

LRESULT CALLBACK Window::StaticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  Window* self;
  if (msg == WM_NCCREATE) {
    self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  }
  if (!self) return DefWindowProcA(hwnd, msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    LRESULT r = DefWindowProcA(hwnd, msg, wp, lp);
    self->hwnd_ = nullptr;
    for (Control* c : self->controls_) c->Destroyed();
    if (self->menu_) self->menu_->boundTo_ = nullptr;
    return r;
  }
  // No exception may unwind through the system's frames: a failing handler
  // only loses its own message.
  try {
    return self->WndProc(msg, wp, lp);
  } catch (const std::exception& e) {
    OutputDebugStringA(e.what());
  } catch (...) {
    OutputDebugStringA("unhandled exception in a window procedure");
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

void DoEvents() {
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    if (m.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(m.wParam));
      break;
    }
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
}

}  // namespace ui
