// Where a failure stopped at a boundary goes: a handler that throws inside a window
// procedure or a step of the main loop loses only its own message, and is reported
// here. The program sends the report to the debugger; test programs install a hook
// that turns it into a failed test.
#pragma once

namespace ui {

using FailureHook = void (*)(const char* what);

// Installs the hook (nullptr restores the default: the debugger output).
void SetFailureHook(FailureHook hook);
// Reports one stopped failure.
void ReportFailure(const char* what);

// Runs a step; an exception it throws is reported and goes no further.
template <typename Step>
void Guarded(Step&& step, const char* where = "a handler failed") noexcept;
// The same for a step with a result (a window procedure's): when it throws, the
// failure is reported and `fallback` answers instead.
template <typename Step, typename Fallback>
auto GuardedResult(Step&& step, Fallback&& fallback, const char* where) noexcept -> decltype(step());

}  // namespace ui

#include <exception>

namespace ui {
template <typename Step>
void Guarded(Step&& step, const char* where) noexcept {
  try {
    step();
  } catch (const std::exception& e) {
    ReportFailure(e.what());
  } catch (...) {
    ReportFailure(where);
  }
}

template <typename Step, typename Fallback>
auto GuardedResult(Step&& step, Fallback&& fallback, const char* where) noexcept -> decltype(step()) {
  try {
    return step();
  } catch (const std::exception& e) {
    ReportFailure(e.what());
  } catch (...) {
    ReportFailure(where);
  }
  return fallback();
}
}  // namespace ui
