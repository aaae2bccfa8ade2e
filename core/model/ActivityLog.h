// The activity log's comparison of two snapshots and its bounded history. Plain
// code: the frame's timer takes the snapshots, this decides what changed.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace activitylog {

// One process (path and id) or one window (title and handle) of a snapshot.
struct Item {
  std::string name;
  uint64_t id = 0;
};

// The words of the two kinds of line: processes "started"/"terminated", windows
// "created"/"closed".
struct Words {
  const char* appeared;
  const char* vanished;
};
extern const Words kProcessWords;
extern const Words kWindowWords;

struct Comparison {
  std::vector<std::string> lines;    // in the order they are appended
  std::vector<std::string> entries;  // the list the next tick compares with
};

// Compares this tick's items with the previous tick's entries (each "name (id)|").
// An item is known when an entry carries its exact id between the entry's last " ("
// and ")"; an entry no item claimed gives a vanished line. A previous list whose
// first entry is empty (the first tick after a start) gives no lines. With
// `keepWhenEmpty` an empty snapshot is taken for a failed one: no lines, and the
// previous entries stay.
Comparison Compare(const std::vector<std::string>& previous, const std::vector<Item>& now, const Words& words,
                   const std::string& time, bool keepWhenEmpty);

// The entry of an item as the next tick compares with it.
std::string EntryOf(const Item& item);
// The id between an entry's last " (" and the ")" before its marker; false when the
// entry has none.
bool EntryId(const std::string& entry, uint64_t& id);

// Appends a line to the history, which keeps at most `maxLines` (at least one) of
// the newest lines, oldest first; `count` follows the lines in use.
void AppendHistory(std::vector<std::string>& history, int16_t& count, const std::string& line, int maxLines);

}  // namespace activitylog
