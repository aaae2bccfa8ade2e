#include "ActivityLog.h"

namespace activitylog {

const Words kProcessWords = {") started at: ", " terminated at: "};
const Words kWindowWords = {") created at: ", " closed at: "};

namespace {
constexpr char kUnseen = '|';
constexpr char kSeen = '*';
}  // namespace

std::string EntryOf(const Item& item) { return item.name + " (" + std::to_string(item.id) + ")" + kUnseen; }

bool EntryId(const std::string& entry, uint64_t& id) {
  // A name may hold " (" and ")" itself; the id is always the last pair.
  const size_t open = entry.rfind(" (");
  if (open == std::string::npos) return false;
  const size_t close = entry.find(')', open + 2);
  if (close == std::string::npos || close == open + 2 || close - (open + 2) > 20) return false;
  uint64_t value = 0;
  for (size_t i = open + 2; i < close; ++i) {
    const char c = entry[i];
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<uint64_t>(c - '0');
  }
  id = value;
  return true;
}

Comparison Compare(const std::vector<std::string>& previous, const std::vector<Item>& now, const Words& words,
                   const std::string& time, bool keepWhenEmpty) {
  Comparison result;
  if (keepWhenEmpty && now.empty()) {
    result.entries = previous;
    return result;
  }
  if (!previous.empty() && !previous[0].empty()) {
    std::vector<std::string> marked = previous;
    std::vector<uint64_t> ids(marked.size());
    std::vector<bool> hasId(marked.size());
    for (size_t e = 0; e < marked.size(); ++e) hasId[e] = EntryId(marked[e], ids[e]);
    for (const Item& item : now) {
      bool found = false;
      for (size_t e = 0; e < marked.size(); ++e) {
        if (hasId[e] && ids[e] == item.id) {
          marked[e].back() = kSeen;
          found = true;
          break;
        }
      }
      if (!found) result.lines.push_back(item.name + " (" + std::to_string(item.id) + words.appeared + time);
    }
    for (const std::string& entry : marked) {
      // Only the marker says unseen: a title may hold "|" itself.
      if (!entry.empty() && entry.back() == kUnseen)
        result.lines.push_back(entry.substr(0, entry.size() - 1) + words.vanished + time);
    }
  }
  result.entries.reserve(now.size());
  for (const Item& item : now) result.entries.push_back(EntryOf(item));
  // An empty snapshot still leaves a list whose first entry is empty, as after a start.
  if (result.entries.empty()) result.entries.emplace_back();
  return result;
}

void AppendHistory(std::vector<std::string>& history, int16_t& count, const std::string& line, int maxLines) {
  const size_t keep = maxLines < 1 ? 1 : static_cast<size_t>(maxLines);
  size_t used = count < 0 ? 0 : static_cast<size_t>(count);
  if (used > history.size()) used = history.size();
  history.resize(used);
  history.push_back(line);
  if (history.size() > keep) history.erase(history.begin(), history.begin() + static_cast<long>(history.size() - keep));
  count = static_cast<int16_t>(history.size());
}

}  // namespace activitylog
