// The update check's reading of the site's answer.
#include <gtest/gtest.h>

#include "UpdateCheckParse.h"

using updatecheck::ParseUpdateAnswer;

TEST(UpdateCheckParse, TableOfAnswers) {
  struct Case {
    int status;
    std::string body;
    bool news;
    const char* version;
    const char* notes;
    const char* failure = "";  // empty: a real answer
  };
  const Case cases[] = {
      {200, "3.0.0 notes", false, "3.0.0", "notes"},
      {200, "3.1.0 Fixes and more", true, "3.1.0", "Fixes and more"},
      {200, "2.9.9 older", true, "2.9.9", "older"},  // older versions are announced too
      {200, "3.0.0\r\n", false, "3.0.0", "\n"},
      {200, "3.1.0\tTabbed", true, "3.1.0", "Tabbed"},
      {200, "  3.1.0 lead", true, "3.1.0", "lead"},
      {200, "3.1.0", true, "3.1.0", ""},
      {404, "3.1.0 from an error page", false, "", "", "the server answered HTTP 404"},
      {500, "", false, "", "", "the server answered HTTP 500"},
      {0, "", false, "", "", "the server closed the connection without an answer"},
      {200, "<html>", false, "", "", "the answer was not a version number"},
      {200, "", false, "", "", "the answer was empty"},
      {200, " \r\n", false, "", "", "the answer was empty"},
      {200, "v3.1.0 x", false, "", "", "the answer was not a version number"},
      {200, "3..1 x", false, "", "", "the answer was not a version number"},
      {200, "3.1. x", false, "", "", "the answer was not a version number"},
      {200, std::string("3.1\0.0 x", 8), false, "", "", "the answer was not a version number"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.body);
    const updatecheck::UpdateAnswer answer = ParseUpdateAnswer(c.status, c.body, " 3.0.0 ");
    EXPECT_EQ(answer.news, c.news);
    EXPECT_EQ(answer.version, c.version);
    EXPECT_EQ(answer.notes, c.notes);
    EXPECT_EQ(answer.failure, c.failure);
  }
}
