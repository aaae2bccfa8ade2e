// The connection probes: whether dial-up networking answers, whether a dial-up
// connection is up, and the byte counters of the network interfaces.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>

// True when the dial-up connection enumeration answers without an error.
bool IsRasAvailable();
// True when the enumeration answers and its first connection is connected (any
// answering enumeration while TestMode is on).
bool IsDialUpConnected();
// The bytes sent (direction 0) or received (1) over every interface, summed; the sum
// wraps at 32 bits as the counters do. 0 when the table cannot be read or for any
// other direction. While TestMode is on, a simulated counter shared by both directions.
uint32_t GetTotalNetBytes(long direction);
// As GetTotalNetBytes, but the sent total asked just after the received one comes
// from the same table read: the loop asks for both each sample, and each read
// goes to the network driver.
uint32_t TotalNetBytesOfOneRead(long direction);

namespace conprobe {
// The interface-table call (GetIfTable's arguments and answer); empty when the
// system has no IP helper. Tests replace it to play tables and failures.
using IfTableCall = std::function<DWORD(void* table, ULONG* size, BOOL sort)>;
extern IfTableCall GetIfTableFn;
// Puts the real call back and lets the "no IP helper" message show once more.
void Reset();
}  // namespace conprobe
