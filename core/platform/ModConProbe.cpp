#include "ModConProbe.h"

#include <windows.h>

#include <cstdlib>
#include <vector>

#include "ModStartupPlatform.h"

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

// Enumerates the connections; false when the library is missing or refuses.
bool EnumConnections(std::vector<RasConn>& connections, DWORD& count) {
  auto enumerate = reinterpret_cast<RasEnumConnectionsFn>(
      RasLibrary() ? GetProcAddress(RasLibrary(), "RasEnumConnectionsA") : nullptr);
  if (!enumerate) return false;
  connections.assign(kRasEntries, RasConn());
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

using GetIfTableFn = DWORD(WINAPI*)(void*, ULONG*, BOOL);

}  // namespace

bool IsRasAvailable() {
  std::vector<RasConn> connections;
  DWORD count = 0;
  return EnumConnections(connections, count);
}

bool IsDialUpConnected() {
  if (TestMode) return true;
  std::vector<RasConn> connections;
  DWORD count = 0;
  if (!EnumConnections(connections, count) || count < 1) return false;
  auto status = reinterpret_cast<RasGetConnectStatusFn>(GetProcAddress(RasLibrary(), "RasGetConnectStatusA"));
  if (!status) return false;
  RasConnStatus s = {};
  s.dwSize = sizeof s;
  return status(connections[0].hrasconn, &s) == 0 && s.rasconnstate == kRasConnected;
}

uint32_t GetTotalNetBytes(long direction) {
  if (TestMode) {
    static uint32_t simulated[2] = {0, 0};
    uint32_t& counter = simulated[direction == 0 ? 0 : 1];
    counter += static_cast<uint32_t>(std::rand() % 40000);
    return counter;
  }
  static HMODULE library = LoadLibraryA("iphlpapi.dll");
  auto getIfTable = reinterpret_cast<GetIfTableFn>(library ? GetProcAddress(library, "GetIfTable") : nullptr);
  if (!getIfTable) return 0;
  ULONG size = 0;
  if (getIfTable(nullptr, &size, FALSE) != ERROR_INSUFFICIENT_BUFFER || size < sizeof(DWORD)) return 0;
  std::vector<BYTE> buffer(size);
  if (getIfTable(buffer.data(), &size, FALSE) != NO_ERROR) return 0;
  DWORD rows = *reinterpret_cast<DWORD*>(buffer.data());
  const size_t fit = (buffer.size() - sizeof(DWORD)) / sizeof(IfRow);
  if (rows > fit) rows = static_cast<DWORD>(fit);
  const auto* row = reinterpret_cast<const IfRow*>(buffer.data() + sizeof(DWORD));
  uint32_t total = 0;
  for (DWORD i = 0; i < rows; ++i) total += direction == 0 ? row[i].dwOutOctets : row[i].dwInOctets;
  return total;
}
