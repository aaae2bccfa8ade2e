// A progress bar with VB's Min, Max and Value, kept while the form has no window.
#pragma once
#include <windows.h>

#include "Controls.h"

namespace ui {

class ProgressBar : public Control {
 public:
  ProgressBar(Window& owner, Bounds bounds);

  int Min() const;
  int Max() const;
  int Value() const;
  void SetMin(int min);  // a Max below the new Min follows it, and so does the Value
  void SetMax(int max);  // a Min above the new Max follows it, and so does the Value
  void SetValue(int value);  // held within Min and Max

 protected:
  void Create() override;

 private:
  void ApplyRange();
  int min_ = 0, max_ = 100, value_ = 0;
};

}  // namespace ui
