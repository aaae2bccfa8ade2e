#include <gtest/gtest.h>

#include <richedit.h>

#include "AppendString.h"
#include "Controls.h"
#include "Window.h"

namespace {

TEST(AppendString, JoinsPiecesAndCountsTwoBytesACharacter) {
  AppendString s;
  s.AddToString("ab");
  s.AddToString("cd");
  EXPECT_EQ(s.UsedBytes, 8);
  EXPECT_EQ(s.ReturnString(), "abcd");
  EXPECT_EQ(s.size(), 18);
  // After the text is taken, the next append grows the buffer again.
  s.AddToString("e");
  EXPECT_EQ(s.ReturnString(), "abcde");
}

TEST(AppendString, GrowsInWholeStepsPastItsFirstAllocation) {
  AppendString s;
  std::string expected;
  for (int i = 0; i < 7; ++i) {
    std::string piece(3000, static_cast<char>('a' + i));
    s.AddToString(piece);
    expected += piece;
    EXPECT_GE(s.strBigString.size(), expected.size());
    EXPECT_EQ(s.strBigString.size() % 10000, 0u);
  }
  EXPECT_EQ(s.strBigString.size(), 30000u);
  EXPECT_EQ(s.strBigString.substr(21000), std::string(9000, ' '));  // spare room is blanks
  EXPECT_EQ(s.ReturnString(), expected);
}

TEST(AppendString, OneLargeTextGrowsTheBufferBeforeTheCopy) {
  AppendString s;
  std::string big(25000, 'x');
  s.AddToString(big);
  EXPECT_EQ(s.strBigString.size(), 30000u);
  EXPECT_EQ(s.ReturnString(), big);
}

class Holder : public ui::Window {
 public:
  Holder() : Window(ui::FormDesign{}), plain(*this, {0, 0, 200, 100}, "", ES_MULTILINE) {}
  ui::TextBox plain;
};

TEST(AppendString, PutsTheWholeBufferIntoATextBox) {
  Holder form;
  ASSERT_TRUE(form.Load());
  AppendString s;
  s.AddToString("report");
  s.ReturnToString(form.plain);  // spare room not cut yet: it shows too
  EXPECT_EQ(form.plain.Text(), "report" + std::string(9994, ' '));
}

TEST(AppendString, FillsARichTextBoxBeyondItsDefaultLimit) {
  ASSERT_TRUE(LoadLibraryA("riched32.dll"));
  class RichHolder : public ui::Window {
   public:
    RichHolder() : Window(ui::FormDesign{}), box(*this, "RICHEDIT", ES_MULTILINE, {0, 0, 200, 100}, "") {}
    ui::Control box;
  } form;
  ASSERT_TRUE(form.Load());
  ASSERT_TRUE(form.box.hwnd());
  AppendString s;
  std::string line(98, 'r');
  line += "\r\n";
  for (int i = 0; i < 400; ++i) s.AddToString(line);  // 40000 characters
  std::string text = s.ReturnString();
  s.ReturnToString(form.box);
  EXPECT_EQ(GetWindowTextLengthA(form.box.hwnd()), static_cast<int>(text.size()));
}

}  // namespace
