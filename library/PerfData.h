// Readers of the two system buffers behind a process's processor time on NT: the
// counter-name list of the performance library and the performance-data block.
// Plain C++ over bytes (no <windows.h>): every length and offset in them comes from
// outside and is checked against the buffer before it is used.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace perfdata {

// Indices taken from the "Counters" list (pairs of NUL-terminated texts: index,
// name). The object index stays text because it is the value name of the query.
struct CounterIndices {
  std::string processObject;        // empty when the list has no "process"
  uint32_t idProcess = 784;         // the usual indices when the list lacks them
  uint32_t processorTime = 6;
};
CounterIndices ReadCounterIndices(const char* list, size_t size);

enum class Lookup {
  Found,       // the process's instance was found; value holds its counter
  NotFound,    // the block is sound and has no instance with that process id
  Unreadable,  // no usable block: wrong signature, no objects, bad lengths or offsets
};
struct ProcessTime {
  Lookup lookup = Lookup::Unreadable;
  uint64_t value = 0;  // the processor-time counter, in 100 ns units
};

// Looks for the instance whose "id process" counter equals pid in the object with
// the given title index (the first object when none has it).
ProcessTime FindProcessTime(const unsigned char* block, size_t size, uint32_t objectIndex,
                            const CounterIndices& indices, uint32_t pid);

// Reading a block whose size is known only to the system: each query fills a zeroed
// buffer of `size` bytes and answers Ok (with `size` set to the bytes written),
// MoreData (the buffer is too small) or Failed.
enum class QueryAnswer { Ok, MoreData, Failed };
using BlockQuery = std::function<QueryAnswer(unsigned char* buffer, uint32_t& size)>;

// The block, read with a buffer that starts at `capacity` bytes and doubles on each
// MoreData up to `ceiling`. On success `capacity` keeps the size that worked, so the
// next read starts there and asks once; a block that does not fit under the ceiling
// is a failure. Returns false, with `block` empty, on failure.
bool ReadGrowingBlock(const BlockQuery& query, uint32_t& capacity, uint32_t ceiling,
                      std::vector<unsigned char>& block);

}  // namespace perfdata
