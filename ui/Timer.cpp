#include "Timer.h"

#include "Window.h"

namespace ui {
namespace {
UINT_PTR NextTimerId() {
  static UINT_PTR next = 0x7100;
  return next++;
}
}  // namespace

Timer::Timer(Window& owner, UINT interval) : owner_(owner), id_(NextTimerId()), interval_(interval) {
  owner_.Attach(this);
}

Timer::~Timer() {
  if (owner_.hwnd()) KillTimer(owner_.hwnd(), id_);
  owner_.Detach(this);
}

void Timer::SetInterval(UINT ms) {
  interval_ = ms;
  Apply();
}

void Timer::SetEnabled(bool on) {
  enabled_ = on;
  Apply();
}

void Timer::Apply() {
  if (!owner_.hwnd()) return;
  if (enabled_ && interval_ > 0)
    SetTimer(owner_.hwnd(), id_, interval_, nullptr);
  else
    KillTimer(owner_.hwnd(), id_);
}

}  // namespace ui
