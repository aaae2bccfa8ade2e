/* A dial-up library for the connection tests: it plays the scenario written in the
   file that QP_FAKERAS names, read again on every call, so a test switches the line
   while the program runs. Lines of the file:
     enum-fails          the enumeration answers an error
     status-fails        the status call answers an error
     conn <state>        one connection in that state (0x2000 connected)
   No file, or no "conn" line: no connection. Each read sets the event
   "QuillonFakeRasRead" when a test made one, so it knows the program has looked. */
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#pragma pack(push, 4)
typedef struct {
  DWORD dwSize;
  HANDLE hrasconn;
  CHAR szEntryName[257];
  CHAR szDeviceType[17];
  CHAR szDeviceName[129];
} RasConn;
typedef struct {
  DWORD dwSize;
  DWORD rasconnstate;
  DWORD dwError;
  CHAR szDeviceType[17];
  CHAR szDeviceName[129];
} RasConnStatus;
#pragma pack(pop)

#define MAX_CONNECTIONS 8

typedef struct {
  int enumFails, statusFails, count;
  DWORD states[MAX_CONNECTIONS];
} Scenario;

static Scenario ReadScenario(void) {
  Scenario s;
  memset(&s, 0, sizeof s);
  char path[MAX_PATH];
  if (!GetEnvironmentVariableA("QP_FAKERAS", path, sizeof path)) return s;
  /* Opened with every sharing, so the test can rewrite the file at any moment. */
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                            OPEN_EXISTING, 0, NULL);
  if (file == INVALID_HANDLE_VALUE) return s;
  char text[1024];
  DWORD got = 0;
  if (!ReadFile(file, text, sizeof text - 1, &got, NULL)) got = 0;
  CloseHandle(file);
  text[got] = 0;
  HANDLE read = OpenEventA(EVENT_MODIFY_STATE, FALSE, "QuillonFakeRasRead");
  if (read) {
    SetEvent(read);
    CloseHandle(read);
  }
  for (char* line = strtok(text, "\r\n"); line; line = strtok(NULL, "\r\n")) {
    if (strncmp(line, "enum-fails", 10) == 0) s.enumFails = 1;
    else if (strncmp(line, "status-fails", 12) == 0) s.statusFails = 1;
    else if (strncmp(line, "conn ", 5) == 0 && s.count < MAX_CONNECTIONS)
      s.states[s.count++] = (DWORD)strtoul(line + 5, NULL, 0);
  }
  return s;
}

__declspec(dllexport) DWORD WINAPI RasEnumConnectionsA(RasConn* connections, DWORD* size, DWORD* count) {
  Scenario s = ReadScenario();
  if (s.enumFails) return 632; /* ERROR_INVALID_SIZE */
  if (!connections || !size || !count) return 87;
  DWORD stride = connections[0].dwSize;
  if (stride < sizeof(RasConn)) return 632;
  if (*size < stride * (DWORD)s.count) {
    *size = stride * (DWORD)s.count;
    return 603; /* ERROR_BUFFER_TOO_SMALL */
  }
  for (int i = 0; i < s.count; ++i) {
    RasConn* c = (RasConn*)((BYTE*)connections + stride * i);
    c->dwSize = stride;
    c->hrasconn = (HANDLE)(INT_PTR)(i + 1);
    snprintf(c->szEntryName, sizeof c->szEntryName, "Line %d", i + 1);
  }
  *count = (DWORD)s.count;
  return 0;
}

__declspec(dllexport) DWORD WINAPI RasGetConnectStatusA(HANDLE connection, RasConnStatus* status) {
  Scenario s = ReadScenario();
  INT_PTR index = (INT_PTR)connection - 1;
  if (s.statusFails) return 6; /* ERROR_INVALID_HANDLE */
  if (!status || status->dwSize < sizeof(RasConnStatus)) return 632;
  if (index < 0 || index >= s.count) return 6;
  status->rasconnstate = s.states[index];
  status->dwError = 0;
  return 0;
}
