// Reads the answer of the update check: the site's "update_check.txt" holds the
// newest version ("3.1.0"), one blank, then release notes. Plain code, no system
// headers: the answer comes from the network. A fuzz target is one call of
// ParseUpdateAnswer on the raw bytes.
#pragma once
#include <string>

namespace updatecheck {

struct UpdateAnswer {
  bool news = false;    // a version other than ours
  std::string version;  // the first token, trimmed
  std::string notes;    // the text after the first white space
  // Why the answer is no answer, in a few words ("the server answered HTTP 404");
  // empty for a real answer, news or not.
  std::string failure;
};

// Only an HTTP 200 whose first token is a dotted version (decimal numbers joined by
// ".") is an answer; it is news when it differs from `ownVersion` (older versions are
// news too). Error pages, empty answers and other text are failures, not "no news".
UpdateAnswer ParseUpdateAnswer(int httpStatus, const std::string& body, const std::string& ownVersion);

// True for "3", "3.0.0", "10.20"; false for "", ".3", "3.", "3..0", "v3", "3.0a".
bool IsDottedVersion(const std::string& text);

}  // namespace updatecheck
