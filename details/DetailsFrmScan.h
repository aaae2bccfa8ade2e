// The readable-texts scanner: printable runs with enough letters and at least three
// distinct letters. Plain code, so it can be built natively and fuzzed; the state
// lives between calls so that a run can continue from one buffer into the next.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

struct TextScanState {
  std::string CurrentRun;  // the printable run being collected
  // Letters and blanks of the run; 32 bits, since a long accepted run of letters
  // passes 32,767.
  int32_t AlphaCount = 0;
  bool RunAccepted = false;  // the run has shown three distinct letters
  bool InRun = false;        // the previous byte was printable
};

// A to Z and a to z only.
bool IsAlpha(uint8_t value);

// Scans the bytes and appends each accepted run and CR LF to `texts`. While `texts`
// is empty the state starts afresh, so a run cut at the end of an earlier buffer is
// lost until something has been found.
void ScanBytes(TextScanState& state, const uint8_t* buffer, size_t length, std::string& texts);
// The same without the fresh start: the bytes continue the previous call's buffer
// (a region read in pieces scans as if it were read whole).
void ScanMoreBytes(TextScanState& state, const uint8_t* buffer, size_t length, std::string& texts);

// The file search reads the file in large pieces but scans it in the 200-byte chunks
// the rules are made for; the last chunk of the file is padded with zero bytes.
constexpr size_t kTextChunk = 200;
// Fills `into` with at most `most` bytes of the source and answers how many; 0 ends it.
using ScanReadFn = size_t (*)(void* source, uint8_t* into, size_t most);
// Called after each chunk with the bytes scanned so far; false stops the scan.
using ScanChunkFn = bool (*)(void* context, unsigned long long scanned);

// Scans a whole source in chunks. A piece that ends inside a chunk carries its tail
// into the next read, so the chunks (and the runs in them) never depend on the piece
// size and no chunk reaches past the bytes read.
std::string ScanInChunks(TextScanState& state, size_t pieceSize, ScanReadFn read, void* source, ScanChunkFn chunkDone,
                         void* context);
