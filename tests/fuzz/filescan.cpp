// The program-file search: a source read in pieces of any size, with reads that come
// back short, scans exactly as the source cut into whole 200-byte chunks with the last
// one padded with zeros; a stop after any chunk keeps what was found up to it.
#include <vector>

#include "DetailsFrmScan.h"
#include "FuzzSupport.h"

namespace {

struct Source {
  const uint8_t* data;
  size_t size;
  size_t at;
  FuzzInput* shortness;  // how much each read falls short of what was asked
};

size_t Read(void* source, uint8_t* into, size_t most) {
  auto& s = *static_cast<Source*>(source);
  size_t n = s.size - s.at < most ? s.size - s.at : most;
  const size_t cut = s.shortness->Take<uint8_t>();
  if (n > 1 && cut % 3 == 0) n = 1 + cut % n;
  for (size_t i = 0; i < n; ++i) into[i] = s.data[s.at + i];
  s.at += n;
  return n;
}

struct Stop {
  unsigned long long after;  // bytes scanned before the stop; 0 never stops
  unsigned long long last;
};

bool ChunkDone(void* context, unsigned long long scanned) {
  auto& stop = *static_cast<Stop*>(context);
  FUZZ_CHECK(scanned == stop.last + kTextChunk);
  stop.last = scanned;
  return stop.after == 0 || scanned < stop.after;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput head(data, size);
  const size_t pieceSize = 1 + head.Take<uint16_t>() % 1200;
  const size_t stopChunk = head.Take<uint8_t>() % 8;
  const size_t shortBytes = head.Take<uint8_t>() % 64;
  const size_t used = size < 4 + shortBytes ? size : 4 + shortBytes;
  FuzzInput shortness(data + (size < 4 ? size : 4), used - (size < 4 ? size : 4));
  data += used;
  size -= used;

  // What the search promises: the source in whole chunks, the last one padded.
  std::vector<uint8_t> padded(data, data + size);
  padded.resize((size + kTextChunk - 1) / kTextChunk * kTextChunk, 0);
  const size_t chunks = padded.size() / kTextChunk;
  const size_t scanChunks = stopChunk == 0 || stopChunk > chunks ? chunks : stopChunk;
  TextScanState whole;
  std::string expected;
  for (size_t c = 0; c < scanChunks; ++c) ScanBytes(whole, padded.data() + c * kTextChunk, kTextChunk, expected);

  Source source{data, size, 0, &shortness};
  Stop stop{stopChunk * kTextChunk, 0};
  TextScanState state;
  const std::string found = ScanInChunks(state, pieceSize, Read, &source, ChunkDone, &stop);
  FUZZ_CHECK(found == expected);
  FUZZ_CHECK(stop.last == scanChunks * kTextChunk);
  return 0;
}
