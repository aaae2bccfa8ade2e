// A growing text buffer for long reports: appends are copied into spare room
// that grows in steps of 10000 characters, so the text is not re-copied each time.
#pragma once
#include <cstdint>
#include <string>

namespace ui { class Control; }

class AppendString {
 public:
  // The buffer: its first UsedBytes / 2 characters hold the text, the rest are blanks.
  // Sizes count two bytes a character, as the report code has always measured them.
  std::string strBigString;
  int32_t UsedBytes = 0;

  void AddToString(const std::string& text);
  std::string ReturnString();      // cuts the spare room and answers the text
  int32_t size() const;            // the buffer's byte length plus 10
  void ReturnToString(ui::Control& box);  // shows the whole buffer in a text box

 private:
  static constexpr size_t kGrowth = 10000;
};
