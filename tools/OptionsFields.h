// What the options dialog's tabs share: reading a field or a box as an option value,
// and selecting one button of a group.
#pragma once
#include <cstdint>
#include <limits>

#include "Controls.h"
#include "VbRules.h"

namespace optionfields {

// The leading number of a field, 0 when it does not begin with one.
inline double FieldValue(const ui::TextBox& box) { return vb::Val(box.Text()); }

// An integer option from a field: rounded halves to even, 0 when it does not fit.
template <typename Int>
Int FieldInt(const ui::TextBox& box) {
  const double v = vb::RoundHalfEven(FieldValue(box));
  if (v < std::numeric_limits<Int>::min() || v > std::numeric_limits<Int>::max()) return 0;
  return static_cast<Int>(v);
}

inline int16_t Flag(const ui::CheckBox& box) { return box.Value() ? 1 : 0; }

// Selects one button of a group; an index outside it selects the group's default.
template <typename Pick>
void SelectOption(Pick pick, int count, int index, int fallback) {
  if (index < 0 || index >= count) index = fallback;
  for (int i = 0; i < count; ++i) pick(i).SetValue(i == index);
}

// Limits a created field to `length` characters.
inline void LimitText(ui::TextBox& box, int length) {
  if (box.hwnd()) SendMessageA(box.hwnd(), EM_LIMITTEXT, length, 0);
}

}  // namespace optionfields
