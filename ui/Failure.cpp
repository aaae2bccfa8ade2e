#include "Failure.h"

#include <windows.h>

namespace ui {
namespace {
void ToDebugger(const char* what) { OutputDebugStringA(what ? what : "failure"); }
FailureHook currentHook = ToDebugger;
}  // namespace

void SetFailureHook(FailureHook hook) { currentHook = hook ? hook : ToDebugger; }

void ReportFailure(const char* what) {
  FailureHook hook = currentHook;
  hook(what);
}

}  // namespace ui
