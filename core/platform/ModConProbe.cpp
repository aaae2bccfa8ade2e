#include "ModConProbe.h"

#include <windows.h>

#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include "ModMainPlatform.h"
#include "ModStartupPlatform.h"
#include "Seams.h"

namespace {

// The connection records as the oldest dial-up library lays them out (412 and 160
// bytes): every version of the library accepts these sizes.
#pragma pack(push, 4)
struct RasConn {
  DWORD dwSize;
  HANDLE hrasconn;
  CHAR szEntryName[257];
  CHAR szDeviceType[17];
  CHAR szDeviceName[129];
};
struct RasConnStatus {
  DWORD dwSize;
  DWORD rasconnstate;
  DWORD dwError;
  CHAR szDeviceType[17];
  CHAR szDeviceName[129];
};
#pragma pack(pop)
#ifndef _WIN64  // the sizes the 32-bit dial-up library checks; a 64-bit test build has its own
static_assert(sizeof(RasConn) == 412, "dial-up connection record");
static_assert(sizeof(RasConnStatus) == 160, "dial-up status record");
#endif

const DWORD kRasConnected = 0x2000;
const int kRasEntries = 256;

using RasEnumConnectionsFn = DWORD(WINAPI*)(RasConn*, DWORD*, DWORD*);
using RasGetConnectStatusFn = DWORD(WINAPI*)(HANDLE, RasConnStatus*);

// Dial-up networking may not be installed at all: the library is looked up by name.
HMODULE RasLibrary() {
  static HMODULE library = LoadLibraryA("rasapi32.dll");
  return library;
}

// The loop asks on every pass: the 100 KB of records are made once, not on each
// question.
std::vector<RasConn>& ConnectionRecords() {
  static std::vector<RasConn> records(kRasEntries);
  return records;
}

// Enumerates the connections; false when the library is missing or refuses.
bool EnumConnections(DWORD& count) {
  auto enumerate = reinterpret_cast<RasEnumConnectionsFn>(
      RasLibrary() ? GetProcAddress(RasLibrary(), "RasEnumConnectionsA") : nullptr);
  if (!enumerate) return false;
  std::vector<RasConn>& connections = ConnectionRecords();
  connections[0].dwSize = sizeof(RasConn);
  DWORD size = sizeof(RasConn) * kRasEntries;
  count = 0;
  return enumerate(connections.data(), &size, &count) == 0;
}

struct IfRow {  // MIB_IFROW: 860 bytes
  WCHAR wszName[256];
  DWORD dwIndex, dwType, dwMtu, dwSpeed, dwPhysAddrLen;
  BYTE bPhysAddr[8];
  DWORD dwAdminStatus, dwOperStatus, dwLastChange;
  DWORD dwInOctets, dwInUcastPkts, dwInNUcastPkts, dwInDiscards, dwInErrors, dwInUnknownProtos;
  DWORD dwOutOctets, dwOutUcastPkts, dwOutNUcastPkts, dwOutDiscards, dwOutErrors, dwOutQLen;
  DWORD dwDescrLen;
  BYTE bDescr[256];
};
static_assert(sizeof(IfRow) == 860, "interface row");
static_assert(offsetof(IfRow, dwInOctets) == 552 && offsetof(IfRow, dwOutOctets) == 576, "row counters");

using GetIfTableProc = DWORD(WINAPI*)(void*, ULONG*, BOOL);

// The IP helper came with later systems and service packs: looked up by name.
conprobe::IfTableCall RealIfTable() {
  static HMODULE library = LoadLibraryA("iphlpapi.dll");
  auto proc = reinterpret_cast<GetIfTableProc>(library ? GetProcAddress(library, "GetIfTable") : nullptr);
  if (!proc) return nullptr;
  return [proc](void* table, ULONG* size, BOOL sort) { return proc(table, size, sort); };
}

const DWORD kNotSupported = 50;  // ERROR_NOT_SUPPORTED
bool noHelperShown = false;
// The table of the last read. Each read asks the network driver (under Wine another
// process): the size is asked only when the table outgrew the buffer.
std::vector<BYTE> ifTable;

// Said once per run: the loop asks twice a second and would otherwise stack boxes.
uint32_t NoIpHelper() {
  if (!noHelperShown) {
    noHelperShown = true;
    MsgBox("IP Helper is not supported by this system, You must have Win 98 , 2000 or NT4 with SP4.", MB_ICONSTOP);
  }
  IsExiting = true;
  return 0;
}

// The simulated counter: one for both directions, as a quiet line that now and
// then moves a little.
double simulatedBytes = 0;
const double kSimulatedStep = 50000;

double Random() { return std::rand() / (RAND_MAX + 1.0); }

// The sent total of the last received-first read, and when it was read.
bool sentPending = false;
uint32_t pendingSent = 0;
DWORD pendingTick = 0;
const DWORD kSameSampleMs = 100;

}  // namespace

namespace conprobe {
IfTableCall GetIfTableFn = RealIfTable();
void Reset() {
  GetIfTableFn = RealIfTable();
  noHelperShown = false;
  ifTable.clear();
  simulatedBytes = 0;
  sentPending = false;
}
}  // namespace conprobe

bool IsRasAvailable() {
  DWORD count = 0;
  return EnumConnections(count);
}

bool IsDialUpConnected() {
  DWORD count = 0;
  if (!EnumConnections(count)) return false;
  RasConnStatus s = {};
  s.dwSize = sizeof s;
  auto status = reinterpret_cast<RasGetConnectStatusFn>(GetProcAddress(RasLibrary(), "RasGetConnectStatusA"));
  // No connection: the zero handle is asked, and the state stays 0 when it is refused.
  HANDLE first = count >= 1 ? ConnectionRecords()[0].hrasconn : nullptr;
  if (status && status(first, &s) != 0) s.rasconnstate = 0;
  return s.rasconnstate == kRasConnected || TestMode;
}

// Both directions of one table read: received in `first`, sent in `second`.
std::pair<uint32_t, uint32_t> GetNetTotals() {
  if (TestMode) {
    if (Random() > 0.5) simulatedBytes += 0.8 * Random() * kSimulatedStep;
    const uint32_t bytes = static_cast<uint32_t>(std::llround(simulatedBytes));
    return {bytes, bytes};
  }
  const conprobe::IfTableCall& getIfTable = conprobe::GetIfTableFn;
  if (!getIfTable) return {NoIpHelper(), 0};
  ULONG size = static_cast<ULONG>(ifTable.size());
  DWORD answer = ifTable.empty() ? ERROR_INSUFFICIENT_BUFFER : getIfTable(ifTable.data(), &size, FALSE);
  if (answer == ERROR_INSUFFICIENT_BUFFER) {
    size = 0;
    answer = getIfTable(nullptr, &size, FALSE);
    if (answer == kNotSupported) return {NoIpHelper(), 0};
    if (size < sizeof(DWORD)) return {0, 0};
    ifTable.assign(size, 0);
    answer = getIfTable(ifTable.data(), &size, FALSE);
  }
  if (answer == kNotSupported) return {NoIpHelper(), 0};
  if (answer != NO_ERROR) return {0, 0};
  const std::vector<BYTE>& buffer = ifTable;
  DWORD rows = 0;
  std::memcpy(&rows, buffer.data(), sizeof rows);
  // A count larger than the buffer holds is trusted no further than the buffer.
  const size_t fit = (buffer.size() - sizeof(DWORD)) / sizeof(IfRow);
  if (rows > fit) rows = static_cast<DWORD>(fit);
  // Summed unsigned: a counter past 2^31 still counts, and the sum wraps at 2^32 as
  // each counter does, so differences of successive totals stay right.
  std::pair<uint32_t, uint32_t> totals{0, 0};
  for (DWORD i = 0; i < rows; ++i) {
    IfRow row;
    std::memcpy(&row, buffer.data() + sizeof(DWORD) + i * sizeof(IfRow), sizeof row);
    totals.first += row.dwInOctets;
    totals.second += row.dwOutOctets;
  }
  return totals;
}

uint32_t GetTotalNetBytes(long direction) {
  if (TestMode) return GetNetTotals().first;  // one counter for both directions
  if (direction != 0 && direction != 1) {
    // Still asked, so a missing helper is said as for any direction.
    if (!conprobe::GetIfTableFn) NoIpHelper();
    return 0;
  }
  const std::pair<uint32_t, uint32_t> totals = GetNetTotals();
  return direction == 1 ? totals.first : totals.second;
}

uint32_t TotalNetBytesOfOneRead(long direction) {
  if (direction == 0 && sentPending) {
    sentPending = false;
    if (GetTickCount() - pendingTick <= kSameSampleMs) return pendingSent;
  }
  if (direction != 1) return GetTotalNetBytes(direction);
  sentPending = false;
  if (TestMode) return GetTotalNetBytes(1);
  const std::pair<uint32_t, uint32_t> totals = GetNetTotals();
  if (totals.first == 0) return 0;  // a failed read leaves nothing to answer the sent side
  sentPending = true;
  pendingSent = totals.second;
  pendingTick = GetTickCount();
  return totals.first;
}
