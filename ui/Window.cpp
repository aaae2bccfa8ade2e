#include "Window.h"
#include "Gdi.h"

#include <algorithm>
#include <exception>

#include "Controls.h"
#include "Failure.h"
#include "Menu.h"
#include "StallMeter.h"
#include "Timer.h"

namespace ui {
namespace {

const char kFormClass[] = "QuillonForm";

HINSTANCE Instance() { return GetModuleHandleA(nullptr); }


}  // namespace

Window::Window(FormDesign design) : design_(std::move(design)), backColour_(GetSysColor(COLOR_BTNFACE)) {}

Window::~Window() {
  if (hwnd_) {
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
}

bool Window::Load() {
  if (hwnd_) return true;
  if (!RegisterOwnClass(kFormClass, StaticProc)) return false;
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
  // Tab walks into pages and containers only through parents marked as control parents.
  HWND created = CreateWindowExA(design_.exStyle | WS_EX_CONTROLPARENT, kFormClass, design_.caption.c_str(),
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
  const HWND focus = GetFocus();
  const bool holdsFocus = focus && (focus == hwnd_ || IsChild(hwnd_, focus));
  ShowWindow(hwnd_, SW_HIDE);
  // Wine hands the focus on only when the hidden window has it itself, not when one of
  // its controls has it: keys would then go to a control nobody sees. A page hands it
  // to the form around it, as Windows does.
  const HWND parent = GetParent(hwnd_);
  if (holdsFocus && parent && (GetWindowLongPtrA(hwnd_, GWL_STYLE) & WS_CHILD) && GetFocus() == focus)
    ::SetFocus(parent);
}

bool Window::TakeFocus() {
  if (!Visible()) return false;
  if (RestoreFocus()) return true;
  ::SetFocus(hwnd_);
  return GetFocus() == hwnd_;
}

bool Window::Unload() {
  if (!hwnd_) return true;
  if (!MayUnload(vbFormCode)) return false;
  Destroy();
  return true;
}

void Window::Destroy() {
  // A top-level window gets no WM_SHOWWINDOW when it is destroyed: the owner must
  // take input again now, while this form still holds the activation to hand back.
  EndModal();
  DestroyWindow(hwnd_);
}

void Window::ShowModal(Window* owner) {
  if (modal_ || !Load()) return;
  HWND ownerWnd = owner && owner != this ? owner->hwnd() : nullptr;
  // An owner that is already disabled (by a modal form under this one) stays so.
  if (ownerWnd && IsWindowEnabled(ownerWnd)) {
    modalOwner_ = ownerWnd;
    EnableWindow(ownerWnd, FALSE);
  }
  // Owned, the form stays above its owner, and the owner is activated when it goes.
  HWND previousOwner = GetWindow(hwnd_, GW_OWNER);
  if (ownerWnd) SetWindowLongPtrA(hwnd_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(ownerWnd));
  modal_ = true;
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
  {
  // The user answers at leisure; each message handled meanwhile is timed on its own.
  UserWait answering;
  MSG m;
  while (hwnd_ && IsWindowVisible(hwnd_)) {
    BOOL got = GetMessageA(&m, nullptr, 0, 0);
    if (got == -1) break;
    if (!got) {
      // The quit is for the outermost loop: this one ends and hands it on.
      PostQuitMessage(static_cast<int>(m.wParam));
      break;
    }
    DispatchOne(m);
  }
  }
  EndModal();
  if (hwnd_ && ownerWnd)
    SetWindowLongPtrA(hwnd_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(previousOwner));
  modal_ = false;
}

void Window::EndModal() {
  if (!modalOwner_) return;
  HWND owner = modalOwner_;
  modalOwner_ = nullptr;
  EnableWindow(owner, TRUE);
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
  backBrush_.Reset(CreateSolidBrush(colour));
  if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

HBRUSH Window::BackBrush() const {
  return backBrush_ ? backBrush_.get() : GetSysColorBrush(COLOR_BTNFACE);
}

void Window::SetBackgroundBands(std::vector<COLORREF> bands) {
  bands_ = std::move(bands);
  if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

int Window::ScaleWidth() const { return ClientSize(hwnd_, {design_.width, design_.height}).cx; }
int Window::ScaleHeight() const { return ClientSize(hwnd_, {design_.width, design_.height}).cy; }

void Window::SetMenu(Menu* menu) {
  menu_ = menu;
  if (!hwnd_ || !menu_) return;
  menu_->boundTo_ = hwnd_;
  menu_->Invalidate();
}

void Window::Attach(Control* control) { controls_.push_back(control); }

void Window::Detach(Control* control) {
  if (defaultButton_ == control) defaultButton_ = nullptr;
  if (cancelButton_ == control) cancelButton_ = nullptr;
  if (focus_ && control->hwnd() == focus_) focus_ = nullptr;
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

Window* Window::FromHandle(HWND hwnd) {
  char cls[32];
  if (!hwnd || !GetClassNameA(hwnd, cls, sizeof cls) || lstrcmpA(cls, kFormClass) != 0) return nullptr;
  // Another program's form carries a pointer into that program.
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid != GetCurrentProcessId()) return nullptr;
  return reinterpret_cast<Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

Window* Window::FormOf(HWND hwnd) {
  const HWND desktop = GetDesktopWindow();
  for (HWND h = hwnd; h && h != desktop; h = GetAncestor(h, GA_PARENT))
    if (Window* form = FromHandle(h)) return form;
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
  PaintBands(dc, client, bands_);
}

void PaintBands(HDC dc, const RECT& area, const std::vector<COLORREF>& bands) {
  const int n = static_cast<int>(bands.size());
  const int height = area.bottom - area.top;
  for (int i = 0; i < n; ++i) {
    RECT band = area;
    band.top = area.top + height * i / n;
    band.bottom = area.top + height * (i + 1) / n;
    if (band.bottom <= band.top) continue;
    FillRect(dc, &band, OwnedBrush(CreateSolidBrush(bands[i])).get());
  }
}

bool Window::PressButton(Control* button) {
  if (!button || !button->hwnd() || !IsWindowEnabled(button->hwnd()) || !IsWindowVisible(button->hwnd()))
    return false;
  // Through the parent, as a click would come: the same routing and the same guard.
  SendMessageA(GetParent(button->hwnd()), WM_COMMAND, MAKEWPARAM(button->id(), BN_CLICKED),
               reinterpret_cast<LPARAM>(button->hwnd()));
  return true;
}

void Window::RememberFocus() {
  HWND focus = GetFocus();
  if (focus && IsChild(hwnd_, focus)) focus_ = focus;
}

bool Window::RestoreFocus() {
  HWND target = focus_;
  if (!target || !IsWindow(target) || !IsChild(hwnd_, target) || !IsWindowVisible(target) ||
      !IsWindowEnabled(target))
    target = GetNextDlgTabItem(hwnd_, nullptr, FALSE);
  if (!target || target == hwnd_) return false;
  ::SetFocus(target);
  return true;
}

bool Window::PreviewKey(MSG& msg) {
  if (!hwnd_ || !design_.keyPreview) return false;
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
  int keyCode = static_cast<int>(msg.wParam);
  Guarded([&] { Form_KeyDown(keyCode, ShiftState()); }, "a key handler failed");
  return keyCode == 0;
}

bool Window::TranslateShortcut(MSG& msg) {
  if (!hwnd_ || !menu_) return false;
  HACCEL table = menu_->Accelerators();
  return table && TranslateAcceleratorA(hwnd_, table, &msg);
}

bool Window::TranslateDialogKey(MSG& msg) {
  if (!hwnd_ || !design_.dialogKeys) return false;
  // The dialog manager looks for a mnemonic by walking from the focused control through
  // the visible windows only, until it comes back to that control: from a control in a
  // hidden page it never comes back, and the program spins for good.
  if (!IsWindowVisible(hwnd_) || !IsWindowVisible(msg.hwnd)) return false;
  if (msg.message == WM_KEYDOWN && (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE)) {
    // Enter and Esc reach the focused control unless the form has a button for them:
    // a list's Enter and a multi-line edit's new line must not be eaten. Ctrl+Enter
    // always goes to the control (the new line in an edit beside a default button).
    if (ShiftState() & 2) return false;
    Control* button = cancelButton_;
    if (msg.wParam == VK_RETURN) {
      button = defaultButton_;
      // A focused push button is the one Enter presses.
      HWND focus = GetFocus();
      if (Window* form = FormOf(focus))
        if (auto* focused = dynamic_cast<Button*>(form->ControlFromHandle(focus))) button = focused;
    }
    return PressButton(button);
  }
  return IsDialogMessageA(hwnd_, &msg) != FALSE;
}

LRESULT Window::DefaultProc(UINT msg, WPARAM wp, LPARAM lp) {
  return DefWindowProcA(hwnd_, msg, wp, lp);
}

namespace {
RECT g_dockedBand = {};
bool g_docked = false;
}  // namespace

void SetDockedBand(const RECT* band) {
  g_docked = band && band->right > band->left && band->bottom > band->top;
  if (g_docked) g_dockedBand = *band;
}

RECT OpenWorkArea() {
  RECT work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  RECT overlap;
  if (!g_docked || !IntersectRect(&overlap, &work, &g_dockedBand)) return work;
  const RECT& band = g_dockedBand;
  // A band wider than high lies along the top or the bottom, the other kind along a side.
  if (band.right - band.left >= band.bottom - band.top) {
    if (band.top + band.bottom < work.top + work.bottom)
      work.top = std::max(work.top, band.bottom);
    else
      work.bottom = std::min(work.bottom, band.top);
  } else if (band.left + band.right < work.left + work.right) {
    work.left = std::max(work.left, band.right);
  } else {
    work.right = std::min(work.right, band.left);
  }
  return work;
}

POINT PlaceOnWorkArea(const RECT& window) {
  const RECT area = OpenWorkArea();
  const LONG w = window.right - window.left, h = window.bottom - window.top;
  // Past the right or bottom first, so a window larger than the area keeps its top left.
  return {std::max(area.left, std::min(window.left, area.right - w)),
          std::max(area.top, std::min(window.top, area.bottom - h))};
}

// At the moment it is shown, whatever showed it: a form's own placement (a
// remembered place, a corner computed from the screen's maximized size, or the
// system's default of 0, 0) may lie partly off the screen or under the bar.
void Window::KeepOnWorkArea(WINDOWPOS& pos) const {
  const LONG style = GetWindowLongA(hwnd_, GWL_STYLE);
  if (!design_.keepOnWorkArea || (style & (WS_CHILD | WS_MAXIMIZE | WS_MINIMIZE))) return;
  RECT now = {};
  GetWindowRect(hwnd_, &now);
  const int x = (pos.flags & SWP_NOMOVE) ? now.left : pos.x, y = (pos.flags & SWP_NOMOVE) ? now.top : pos.y;
  const int w = (pos.flags & SWP_NOSIZE) ? now.right - now.left : pos.cx;
  const int h = (pos.flags & SWP_NOSIZE) ? now.bottom - now.top : pos.cy;
  const POINT at = PlaceOnWorkArea({x, y, x + w, y + h});
  const int left = at.x, top = at.y;
  if (left == x && top == y) return;
  pos.x = left;
  pos.y = top;
  if (pos.flags & SWP_NOSIZE) {
    pos.cx = w;
    pos.cy = h;
  }
  pos.flags &= ~SWP_NOMOVE;
}

LRESULT Window::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_WINDOWPOSCHANGING: {
      auto* pos = reinterpret_cast<WINDOWPOS*>(lp);
      if (pos && (pos->flags & SWP_SHOWWINDOW) && !IsWindowVisible(hwnd_)) KeepOnWorkArea(*pos);
      break;
    }
    case WM_COMMAND:
      if (lp) {
        if (Control* c = ControlFromHandle(reinterpret_cast<HWND>(lp))) {
          c->OnCommandId(LOWORD(wp), HIWORD(wp));
          return 0;
        }
      } else if (HIWORD(wp) == 0 && (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL)) {
        // What the dialog manager sends for Enter and Esc when no control took them.
        PressButton(LOWORD(wp) == IDOK ? defaultButton_ : cancelButton_);
        return 0;
      } else if (menu_ && HIWORD(wp) <= 1 && menu_->Dispatch(LOWORD(wp))) {
        // 0 from the menu, 1 from a shortcut key.
        return 0;
      }
      break;
    case DM_GETDEFID:
      if (defaultButton_ && defaultButton_->hwnd())
        return MAKELRESULT(defaultButton_->id(), DC_HASDEFID);
      return 0;
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
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
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
    case WM_MEASUREITEM: {
      // Sent while the control is being created, before its handle is known: by id.
      auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
      if (item->CtlType != ODT_MENU)
        for (Control* c : controls_)
          if (static_cast<UINT>(c->id()) == item->CtlID) {
            if (c->OnMeasureItem(*item)) return TRUE;
            break;
          }
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
      if (LOWORD(wp) == WA_INACTIVE) {
        RememberFocus();
        Form_Deactivate();
        break;
      }
      Form_Activate();
      // Like a dialog, the form hands the focus to its control that had it last (or
      // its first), so the keyboard works at once.
      if (hwnd_ && !HIWORD(wp) && RestoreFocus()) return 0;
      break;
    case WM_SETFOCUS:
      if (RestoreFocus()) return 0;
      break;
    case WM_SHOWWINDOW:
      // Sent before the form disappears: the owner is enabled in time to be activated.
      if (!wp) EndModal();
      break;
    case WM_SIZE:
      if (!loading_) Form_Resize();
      break;
    case WM_ERASEBKGND:
      PaintBackground(reinterpret_cast<HDC>(wp));
      return 1;
    case WM_CLOSE:
      if (MayUnload(vbFormControlMenu)) Destroy();
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
    self->EndModal();  // destroyed by other means than Unload
    self->hwnd_ = nullptr;
    self->focus_ = nullptr;
    for (Control* c : self->controls_) c->Destroyed();
    if (self->menu_) self->menu_->boundTo_ = nullptr;
    return r;
  }
  // No exception may unwind through the system's frames: a failing handler
  // only loses its own message.
  StallScope timed(hwnd, msg, wp);
  return GuardedResult([&] { return self->WndProc(msg, wp, lp); },
                       [&] { return DefWindowProcA(hwnd, msg, wp, lp); },
                       "unhandled exception in a window procedure");
}

int ShiftState() {
  return (GetKeyState(VK_SHIFT) < 0 ? 1 : 0) | (GetKeyState(VK_CONTROL) < 0 ? 2 : 0) |
         (GetKeyState(VK_MENU) < 0 ? 4 : 0);
}

bool PreTranslate(MSG& msg) {
  if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
  // A page shown inside another form keeps its own key preview; the top-level form
  // holds the menu bar and walks the focus through everything inside it.
  Window* inner = nullptr;
  Window* root = nullptr;
  const HWND desktop = GetDesktopWindow();
  for (HWND h = msg.hwnd; h && h != desktop; h = GetAncestor(h, GA_PARENT))
    if (Window* form = Window::FromHandle(h)) {
      if (!inner) inner = form;
      root = form;
    }
  if (!inner) return false;
  if (inner->PreviewKey(msg)) return true;
  if (inner->TranslateShortcut(msg)) return true;
  if (root != inner && root->TranslateShortcut(msg)) return true;
  return root->TranslateDialogKey(msg);
}

void DispatchOne(MSG& msg) {
  if (PreTranslate(msg)) return;
  TranslateMessage(&msg);
  DispatchMessageA(&msg);
}

bool RegisterOwnClass(const char* name, WNDPROC proc) {
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof wc;
  if (GetClassInfoExA(Instance(), name, &wc)) return true;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = proc;
  wc.hInstance = Instance();
  wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  wc.lpszClassName = name;
  return RegisterClassExA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

SIZE ClientSize(HWND hwnd, SIZE whenNone) {
  RECT r = {};
  if (!hwnd || !GetClientRect(hwnd, &r)) return whenNone;
  return {r.right, r.bottom};
}

void DoEvents() {
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    if (m.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(m.wParam));
      break;
    }
    DispatchOne(m);
  }
}

bool WaitServingEvents(HANDLE handle, DWORD ms, const std::function<bool()>& stop) {
  // The thread answers its messages all along: the wait is no stall of the command
  // around it, and each message served is measured on its own.
  UserWait serving;
  const DWORD start = GetTickCount();
  for (;;) {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
      if (m.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(m.wParam));
        return false;
      }
      DispatchOne(m);
    }
    if (stop && stop()) return false;
    const DWORD spent = GetTickCount() - start;
    if (spent >= ms) return handle && WaitForSingleObject(handle, 0) == WAIT_OBJECT_0;
    const DWORD woke = MsgWaitForMultipleObjectsEx(handle ? 1 : 0, handle ? &handle : nullptr, ms - spent,
                                                   QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (handle && woke == WAIT_OBJECT_0) return true;
    if (woke == WAIT_FAILED) return false;
  }
}

}  // namespace ui
