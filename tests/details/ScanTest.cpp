// The readable-texts scanner on its own: its acceptance rules, runs that cross the
// buffers it is given, and pieces of any size against one whole buffer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "DetailsFrmScan.h"

namespace {

std::string Scan(const std::string& bytes) {
  TextScanState state;
  std::string texts;
  ScanBytes(state, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), texts);
  return texts;
}

TEST(ScanBytesTest, TheRulesOfAcceptance) {
  using namespace std::string_literals;
  struct Case {
    std::string bytes, found, why;
  } cases[] = {
      {"hello world\0"s, "hello world\r\n", "two words with three distinct letters"},
      {"abcd\0"s, "", "four characters are too few"},
      {"abcde\0"s, "abcde\r\n", "five is the shortest"},
      {"aaaaaaaaaa\0"s, "", "one letter repeated"},
      {"ab ab ab ab ab ab\0"s, "", "two letters and blanks, however long"},
      {"abcdef1234\0"s, "", "six of ten is not above 0.6"},
      {"abcde123\0"s, "abcde123\r\n", "five of eight is"},
      {"aaaaaaaaaaaaaaaaaaaaaXyz\0"s, "", "dropped at its 21st character; the rest is too short"},
      {"aaaaaaaaaaaaaaaaaaaaaXyzwv\0"s, "Xyzwv\r\n", "the bytes after a dropped run start a new one"},
      {"Aaaaa\0"s, "", "A and a are two letters, not three"},
      {"AaBbb\0"s, "AaBbb\r\n", "upper and lower case count apart"},
      {"hello\x7fworld\0"s, "hello\r\nworld\r\n", "127 ends a run"},
      {"hello\xe9world\0"s, "hello\r\nworld\r\n", "bytes above 127 end a run"},
      {"hello"s, "", "a run still open at the end is not appended"},
  };
  for (const Case& c : cases) EXPECT_EQ(Scan(c.bytes), c.found) << c.why;
}

TEST(ScanBytesTest, ARunSplitBetweenChunksIsLostUntilSomethingWasFound) {
  std::string chunk1(200, '\0'), chunk2(200, '\0');
  const std::string word = "splitword";
  chunk1.replace(196, 4, word.substr(0, 4));
  chunk2.replace(0, 5, word.substr(4));
  auto scan = [](const std::vector<std::string>& chunks) {
    TextScanState state;
    std::string texts;
    for (const std::string& c : chunks) ScanBytes(state, reinterpret_cast<const uint8_t*>(c.data()), c.size(), texts);
    return texts;
  };
  // Nothing found yet: the second chunk starts afresh and its "tword" is the run.
  EXPECT_EQ(scan({chunk1, chunk2}), "tword\r\n");
  // Something found before: the two halves join.
  chunk1.replace(0, 6, "before");
  EXPECT_EQ(scan({chunk1, chunk2}), "before\r\nsplitword\r\n");
}

TEST(ScanBytesTest, AFortyThousandLetterRunIsCountedWhole) {
  std::string run;
  for (int i = 0; i < 40000; ++i) run += static_cast<char>('a' + i % 26);
  EXPECT_EQ(Scan(run + '\0'), run + "\r\n");
}

TEST(ScanBytesTest, PiecesOfAnySizeGiveTheResultOfOneBuffer) {
  // Runs of every kind, some long, some cut by bytes the scanner rejects.
  std::string bytes;
  for (int i = 0; bytes.size() < 3 * 1024 * 1024; ++i) {
    bytes += "Readable text number " + std::to_string(i);
    bytes += static_cast<char>(i % 7 == 0 ? 0xE9 : 0);
    if (i % 11 == 0) bytes += std::string(30, 'z') + '\0';
    if (i % 13 == 0) bytes += std::string(500 + i % 300, 'q') + "xyz" + '\0';
  }
  const std::string whole = Scan(bytes);
  ASSERT_FALSE(whole.empty());
  for (size_t piece : {size_t(1), size_t(7), size_t(200), size_t(1024 * 1024)}) {
    TextScanState state;
    std::string texts;
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
    for (size_t at = 0; at < bytes.size(); at += piece) {
      const size_t n = std::min(piece, bytes.size() - at);
      if (at == 0)
        ScanBytes(state, data, n, texts);
      else
        ScanMoreBytes(state, data + at, n, texts);
    }
    EXPECT_EQ(texts, whole) << "pieces of " << piece;
  }
}

// The file search: pieces of any size, reads that come back short, and a stop.
struct PieceSource {
  const std::string* bytes;
  size_t at = 0;
  size_t most = 0;  // the most one read gives; 0: as much as asked
};

size_t ReadPiece(void* source, uint8_t* into, size_t most) {
  auto& s = *static_cast<PieceSource*>(source);
  size_t n = std::min(most, s.bytes->size() - s.at);
  if (s.most) n = std::min(n, s.most);
  std::memcpy(into, s.bytes->data() + s.at, n);
  s.at += n;
  return n;
}

bool KeepGoing(void* scanned, unsigned long long total) {
  *static_cast<unsigned long long*>(scanned) = total;
  return true;
}

TEST(ScanInChunksTest, ATextAcrossAPieceStaysWholeWhateverThePieceSize) {
  using namespace std::string_literals;
  const size_t mark = 1024 * 1024;
  std::string file(mark - 6, '\0');
  file += "Hello world across the mark"s + std::string(300, '\0') + "Words at the end";
  struct Case {
    size_t piece, most;
  } cases[] = {{mark, 0}, {200 * 5243, 0}, {333, 0}, {mark, 777}, {1, 0}};
  for (const Case& c : cases) {
    PieceSource source{&file, 0, c.most};
    TextScanState state;
    unsigned long long scanned = 0;
    const std::string texts = ScanInChunks(state, c.piece, ReadPiece, &source, KeepGoing, &scanned);
    EXPECT_EQ(texts, "Hello world across the mark\r\nWords at the end\r\n") << c.piece << " " << c.most;
    EXPECT_EQ(scanned, (file.size() + 199) / 200 * 200) << "whole chunks, the last one padded";
  }
}

TEST(ScanInChunksTest, AStopAfterAChunkKeepsWhatWasFoundSoFar) {
  std::string file = std::string("first words found") + std::string(400, '\0') + "never reached words";
  PieceSource source{&file};
  TextScanState state;
  auto stopAfterTwo = [](void*, unsigned long long scanned) { return scanned < 400; };
  EXPECT_EQ(ScanInChunks(state, 4096, ReadPiece, &source, stopAfterTwo, nullptr), "first words found\r\n");
}

}  // namespace
