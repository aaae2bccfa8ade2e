// The connection probes: whether dial-up networking answers, whether a dial-up
// connection is up, and the byte counters of the network interfaces.
#pragma once
#include <cstdint>

// True when the dial-up connection enumeration answers without an error.
bool IsRasAvailable();
// True when the first dial-up connection is connected, or while TestMode is on.
bool IsDialUpConnected();
// The bytes sent (direction 0) or received (1) over every interface, summed; the sum
// wraps at 32 bits as the counters do. While TestMode is on, a simulated counter
// that grows by a random amount on every call.
uint32_t GetTotalNetBytes(long direction);
