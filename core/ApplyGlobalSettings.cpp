#include "ModSettings.h"

// The Run value, hot keys, list columns, tray icon, connection type, messenger
// service and tracker items arrive with the windows they act on; until then the
// options only take effect where they are read.
bool ApplyGlobalSettings() { return false; }
