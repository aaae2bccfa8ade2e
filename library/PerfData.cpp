#include "PerfData.h"

#include <cstring>

namespace perfdata {
namespace {

// Sizes and field offsets of the 32-bit performance-data records.
constexpr size_t kBlockHeaderMin = 32;    // up to NumObjectTypes
constexpr size_t kBlockTotalLength = 20;
constexpr size_t kBlockHeaderLength = 24;
constexpr size_t kBlockObjectCount = 28;
constexpr size_t kObjectHeaderMin = 44;   // up to NumInstances
constexpr size_t kObjectTotalLength = 0;
constexpr size_t kObjectDefinitionLength = 4;
constexpr size_t kObjectHeaderLength = 8;
constexpr size_t kObjectTitleIndex = 12;
constexpr size_t kObjectCounterCount = 32;
constexpr size_t kObjectInstanceCount = 40;
constexpr size_t kCounterDefinitionSize = 40;
constexpr size_t kCounterTitleIndex = 4;
constexpr size_t kCounterSize = 32;
constexpr size_t kCounterOffset = 36;
constexpr size_t kInstanceHeaderSize = 24;

// A bounds-checked view of a byte range.
class Bytes {
 public:
  Bytes(const unsigned char* data, size_t size) : data_(data), size_(size) {}
  size_t size() const { return size_; }
  bool Has(size_t offset, size_t length) const {
    return offset <= size_ && length <= size_ - offset;
  }
  // Callers check Has() first.
  uint32_t U32(size_t offset) const {
    uint32_t v;
    std::memcpy(&v, data_ + offset, 4);
    return v;
  }
  uint64_t U64(size_t offset) const {
    uint64_t v;
    std::memcpy(&v, data_ + offset, 8);
    return v;
  }
  Bytes Sub(size_t offset, size_t length) const { return Bytes(data_ + offset, length); }

 private:
  const unsigned char* data_;
  size_t size_;
};

bool SameName(const char* a, size_t length, const char* b) {
  if (std::strlen(b) != length) return false;
  for (size_t i = 0; i < length; ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

bool ParseIndex(const std::string& text, uint32_t& out) {
  if (text.empty() || text.size() > 9) return false;
  uint32_t v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + static_cast<uint32_t>(c - '0');
  }
  out = v;
  return true;
}

struct CounterPlace {
  bool found = false;
  uint32_t offset = 0;
  uint32_t size = 0;
};

}  // namespace

CounterIndices ReadCounterIndices(const char* list, size_t size) {
  CounterIndices result;
  bool haveProcess = false, haveId = false, haveTime = false;
  std::string previous;
  size_t pos = 0;
  while (pos < size) {
    // A text ends at its NUL or at the end of the buffer, whichever comes first.
    const void* nul = std::memchr(list + pos, '\0', size - pos);
    size_t length = nul ? static_cast<size_t>(static_cast<const char*>(nul) - (list + pos)) : size - pos;
    if (length == 0) break;  // the empty text that ends the list
    const char* text = list + pos;
    if (!haveProcess && SameName(text, length, "process")) {
      result.processObject = previous;
      haveProcess = true;
    } else if (!haveId && SameName(text, length, "id process")) {
      haveId = ParseIndex(previous, result.idProcess);
    } else if (!haveTime && SameName(text, length, "% processor time")) {
      haveTime = ParseIndex(previous, result.processorTime);
    }
    previous.assign(text, length);
    pos += length + 1;
  }
  return result;
}

ProcessTime FindProcessTime(const unsigned char* data, size_t size, uint32_t objectIndex,
                            const CounterIndices& indices, uint32_t pid) {
  ProcessTime result;
  Bytes all(data, size);
  static const unsigned char kSignature[8] = {'P', 0, 'E', 0, 'R', 0, 'F', 0};
  if (!all.Has(0, kBlockHeaderMin) || std::memcmp(data, kSignature, 8) != 0) return result;
  // The block says how long it is; trust the shorter of that and what was returned.
  uint32_t total = all.U32(kBlockTotalLength);
  Bytes block = all.Sub(0, total != 0 && total < size ? total : size);
  uint32_t objects = block.U32(kBlockObjectCount);
  size_t offset = block.U32(kBlockHeaderLength);

  // The object asked for, or the first when none carries its title index.
  bool chosen = false;
  Bytes object(nullptr, 0);
  for (uint32_t i = 0; i < objects; ++i) {
    if (!block.Has(offset, kObjectHeaderMin)) break;
    uint32_t length = block.U32(offset + kObjectTotalLength);
    if (length < kObjectHeaderMin || !block.Has(offset, length)) break;
    Bytes candidate = block.Sub(offset, length);
    if (!chosen) {
      object = candidate;
      chosen = true;
    }
    if (candidate.U32(kObjectTitleIndex) == objectIndex) {
      object = candidate;
      break;
    }
    offset += length;
  }
  if (!chosen) return result;

  uint32_t definitionLength = object.U32(kObjectDefinitionLength);
  uint32_t headerLength = object.U32(kObjectHeaderLength);
  if (headerLength < kObjectHeaderMin || headerLength > definitionLength ||
      !object.Has(0, definitionLength))
    return result;

  CounterPlace id, time;
  size_t counter = headerLength;
  uint32_t counters = object.U32(kObjectCounterCount);
  for (uint32_t i = 0; i < counters; ++i) {
    if (counter > definitionLength || definitionLength - counter < kCounterDefinitionSize) break;
    uint32_t length = object.U32(counter);
    if (length < kCounterDefinitionSize || definitionLength - counter < length) break;
    uint32_t title = object.U32(counter + kCounterTitleIndex);
    CounterPlace* place = title == indices.idProcess      ? &id
                          : title == indices.processorTime ? &time
                                                           : nullptr;
    if (place && !place->found) {
      place->found = true;
      place->size = object.U32(counter + kCounterSize);
      place->offset = object.U32(counter + kCounterOffset);
    }
    counter += length;
  }
  if (!id.found || !time.found) return result;

  // PERF_NO_INSTANCES (-1) and 0 both mean there is no process to find.
  int32_t instances = static_cast<int32_t>(object.U32(kObjectInstanceCount));
  size_t instance = definitionLength;
  for (int32_t i = 0; i < instances; ++i) {
    if (!object.Has(instance, kInstanceHeaderSize)) return result;
    uint32_t instanceLength = object.U32(instance);
    if (instanceLength < kInstanceHeaderSize || !object.Has(instance, instanceLength)) return result;
    size_t counterBlock = instance + instanceLength;
    if (!object.Has(counterBlock, 4)) return result;
    uint32_t blockLength = object.U32(counterBlock);
    if (blockLength < 4 || !object.Has(counterBlock, blockLength)) return result;
    Bytes values = object.Sub(counterBlock, blockLength);
    if (!values.Has(id.offset, 4)) return result;
    if (values.U32(id.offset) == pid) {
      // The processor time is a 64-bit count of 100 ns units; reading only its low
      // half would wrap after seven minutes of processor time.
      size_t width = time.size >= 8 ? 8 : 4;
      if (!values.Has(time.offset, width)) return result;
      result.lookup = Lookup::Found;
      result.value = width == 8 ? values.U64(time.offset) : values.U32(time.offset);
      return result;
    }
    instance = counterBlock + blockLength;
  }
  result.lookup = Lookup::NotFound;
  return result;
}

bool ReadGrowingBlock(const BlockQuery& query, uint32_t& capacity, uint32_t ceiling,
                      std::vector<unsigned char>& block) {
  // Growing by a fixed step asked 78 times and zero-filled 77 MB for 2 MB of data;
  // doubling asks a handful of times, and the size that worked is kept.
  uint32_t size = capacity < 1 ? 1 : capacity > ceiling ? ceiling : capacity;
  for (;;) {
    block.assign(size, 0);
    uint32_t written = size;
    const QueryAnswer answer = query(block.data(), written);
    if (answer == QueryAnswer::Ok && written <= size) {
      block.resize(written);
      capacity = size;
      return true;
    }
    if (answer != QueryAnswer::MoreData || size >= ceiling) break;
    size = size > ceiling / 2 ? ceiling : size * 2;
  }
  block.clear();
  return false;
}

}  // namespace perfdata
