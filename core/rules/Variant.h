// The one small value type for results that may be Empty, a Boolean, a number or a
// text, as procedures with several kinds of answer give them.
#pragma once
#include <cstdint>
#include <string>

namespace vb {

class Variant {
 public:
  enum class Kind { Empty, Boolean, Number, Text };

  Variant() = default;  // Empty
  static Variant Bool(bool value) { return Variant(Kind::Boolean, value ? -1 : 0, ""); }
  static Variant Num(long value) { return Variant(Kind::Number, value, ""); }
  static Variant Str(std::string value) { return Variant(Kind::Text, 0, std::move(value)); }

  Kind kind() const { return kind_; }
  bool IsEmpty() const { return kind_ == Kind::Empty; }
  // True only for the Boolean True (a nonzero number is not a Boolean).
  bool IsTrue() const { return kind_ == Kind::Boolean && number_ != 0; }
  bool IsFalse() const { return kind_ == Kind::Boolean && number_ == 0; }
  // The number of a Boolean (-1 / 0) or a number; 0 for Empty and texts.
  long Number() const { return kind_ == Kind::Boolean || kind_ == Kind::Number ? number_ : 0; }
  // As the language turns a value into text: "True"/"False", decimal digits, "" for Empty.
  std::string Text() const {
    switch (kind_) {
      case Kind::Boolean: return number_ ? "True" : "False";
      case Kind::Number: return std::to_string(number_);
      case Kind::Text: return text_;
      default: return "";
    }
  }

  bool operator==(const Variant& o) const { return kind_ == o.kind_ && number_ == o.number_ && text_ == o.text_; }
  bool operator!=(const Variant& o) const { return !(*this == o); }

 private:
  Variant(Kind kind, long number, std::string text) : kind_(kind), number_(number), text_(std::move(text)) {}
  Kind kind_ = Kind::Empty;
  long number_ = 0;
  std::string text_;
};

}  // namespace vb
