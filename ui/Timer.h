// A form's timer: Tick runs on the form's thread every Interval milliseconds while Enabled.
#pragma once
#include <windows.h>
#include <functional>

namespace ui {

class Window;

class Timer {
 public:
  Timer(Window& owner, UINT interval = 0);
  ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  void SetInterval(UINT ms);
  UINT Interval() const { return interval_; }
  void SetEnabled(bool on);
  bool Enabled() const { return enabled_; }
  std::function<void()> Tick;

 private:
  friend class Window;
  void Apply();  // (re)arms the system timer when the form has a window
  Window& owner_;
  UINT_PTR id_;
  UINT interval_;
  bool enabled_ = true;
};

}  // namespace ui
