// What the mini-tools tests share: the main-loop test set-up, the message boxes with
// their captions, and the fourteen start-up keys saved, emptied and put back.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "LoopTestSupport.h"
#include "ModRegistry.h"
#include "StartUpEntries.h"

namespace minitoolstest {

struct Message {
  std::string text, caption;
  UINT style;
};

// One start-up key: a run type's key, or its "-" companion.
struct StartUpKey {
  HKEY hive;
  std::string path;
  bool operator==(const StartUpKey& other) const { return hive == other.hive && path == other.path; }
  bool operator<(const StartUpKey& other) const {
    return hive != other.hive ? hive < other.hive : path < other.path;
  }
};
// Every value of the fourteen keys by key and exact name.
using KeyDump = std::map<std::pair<StartUpKey, std::string>, RegRawValue>;

std::string KeyText(int runType);
StartUpPlace PlaceOf(int runType, bool disabled);
std::vector<StartUpKey> FourteenKeys();
KeyDump DumpKeys();
void EmptyKeys();
void LoadKeys(const KeyDump& dump);
std::string Describe(const KeyDump& dump);

RegRawValue Sz(const std::string& text, DWORD type = REG_SZ);
void Put(int runType, bool disabled, const std::string& name, const RegRawValue& value);

class MiniToolsTest : public looptest::LoopTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The next answers of message boxes, first first; IDOK once they run out.
  std::deque<int> answers;
  std::vector<Message> messages;

  // The row of the entry; -1 when it is not listed.
  int Row(const std::string& name, const std::string& status = "") const;
  void Select(int row) const;
  void ExpectKeys(const KeyDump& expected) const;

 private:
  KeyDump saved_;
};

}  // namespace minitoolstest
