#include "DetailsFrmScan.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

void ResetRun(TextScanState& s) {
  s.CurrentRun.clear();
  s.AlphaCount = 0;
  s.RunAccepted = false;
}

// Three distinct letters (case counts) anywhere in the run.
bool HasThreeDistinctLetters(const std::string& run) {
  char seen[3];
  int count = 0;
  for (char c : run) {
    const uint8_t b = static_cast<uint8_t>(c);
    if (!IsAlpha(b)) continue;
    bool known = false;
    for (int i = 0; i < count; ++i) known = known || seen[i] == c;
    if (known) continue;
    seen[count++] = c;
    if (count == 3) return true;
  }
  return false;
}

}  // namespace

bool IsAlpha(uint8_t value) { return (value >= 65 && value <= 90) || (value >= 97 && value <= 122); }

void ScanBytes(TextScanState& s, const uint8_t* buffer, size_t length, std::string& texts) {
  if (texts.empty()) {
    ResetRun(s);
    s.InRun = false;
  }
  ScanMoreBytes(s, buffer, length, texts);
}

void ScanMoreBytes(TextScanState& s, const uint8_t* buffer, size_t length, std::string& texts) {
  for (size_t i = 0; i < length; ++i) {
    const uint8_t b = buffer[i];
    if (b < 32 || b > 126) {
      if (s.InRun) {
        // More than 60% letters and blanks; compared in integers so no rounding decides.
        if (s.RunAccepted && static_cast<int64_t>(s.AlphaCount) * 10 > static_cast<int64_t>(s.CurrentRun.size()) * 6)
          texts += s.CurrentRun + "\r\n";
        ResetRun(s);
      }
      s.InRun = false;
      continue;
    }
    s.InRun = true;
    s.CurrentRun += static_cast<char>(b);
    if (IsAlpha(b) || b == 32) ++s.AlphaCount;
    if (!s.RunAccepted && s.AlphaCount >= 5) s.RunAccepted = HasThreeDistinctLetters(s.CurrentRun);
    if (s.CurrentRun.size() > 20 && !s.RunAccepted) {
      ResetRun(s);
      s.InRun = false;
    }
  }
}

std::string ScanInChunks(TextScanState& s, size_t pieceSize, ScanReadFn read, void* source, ScanChunkFn chunkDone,
                         void* context) {
  std::string texts;
  if (pieceSize < kTextChunk) pieceSize = kTextChunk;
  // Room for the carried tail (less than one chunk) in front of a whole piece.
  std::vector<uint8_t> buffer(kTextChunk + pieceSize);
  size_t held = 0;
  unsigned long long scanned = 0;
  for (;;) {
    size_t got = read(source, buffer.data() + held, pieceSize);
    if (got == 0) break;
    if (got > pieceSize) got = pieceSize;  // a reader that claims more than it was given room for
    held += got;
    size_t at = 0;
    for (; held - at >= kTextChunk; at += kTextChunk) {
      ScanBytes(s, buffer.data() + at, kTextChunk, texts);
      scanned += kTextChunk;
      if (!chunkDone(context, scanned)) return texts;
    }
    std::memmove(buffer.data(), buffer.data() + at, held - at);
    held -= at;
  }
  if (held > 0) {
    // Bytes past the end of the source read as zeros, which usually close the last run.
    std::fill(buffer.begin() + static_cast<std::ptrdiff_t>(held), buffer.begin() + kTextChunk, 0);
    ScanBytes(s, buffer.data(), kTextChunk, texts);
    scanned += kTextChunk;
    chunkDone(context, scanned);
  }
  return texts;
}
