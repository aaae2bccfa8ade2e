#include "UpdateCheckParse.h"

namespace updatecheck {

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string Trim(const std::string& text) {
  size_t first = 0, last = text.size();
  while (first < last && IsSpace(text[first])) ++first;
  while (last > first && IsSpace(text[last - 1])) --last;
  return text.substr(first, last - first);
}

}  // namespace

bool IsDottedVersion(const std::string& text) {
  if (text.empty()) return false;
  bool digitBefore = false;
  for (char c : text) {
    if (c >= '0' && c <= '9') {
      digitBefore = true;
    } else if (c == '.' && digitBefore) {
      digitBefore = false;
    } else {
      return false;
    }
  }
  return digitBefore;
}

UpdateAnswer ParseUpdateAnswer(int httpStatus, const std::string& body, const std::string& ownVersion) {
  UpdateAnswer answer;
  if (httpStatus == 0) {
    answer.failure = "the server closed the connection without an answer";
    return answer;
  }
  if (httpStatus != 200) {
    answer.failure = "the server answered HTTP " + std::to_string(httpStatus);
    return answer;
  }
  // Leading white space is not the separator: the token is the first word.
  size_t start = 0;
  while (start < body.size() && IsSpace(body[start])) ++start;
  size_t split = start;
  while (split < body.size() && !IsSpace(body[split])) ++split;
  const std::string token = Trim(body.substr(start, split - start));
  if (token.empty()) {
    answer.failure = "the answer was empty";
    return answer;
  }
  if (!IsDottedVersion(token)) {
    answer.failure = "the answer was not a version number";
    return answer;
  }
  answer.version = token;
  answer.notes = split < body.size() ? body.substr(split + 1) : std::string();
  answer.news = token != Trim(ownVersion);
  return answer;
}

}  // namespace updatecheck
