// Putting the options into effect on the running system (ApplyGlobalSettings is
// declared with the options in ModSettings.h).
#pragma once
#include "ModSettings.h"

// The hot keys as last registered (all 0 at start): a key is registered again only
// when its Enabled, Modifiers or CharCode differ. A failed registration counts too,
// so applying unchanged options does not try (and complain) again.
extern HotKeyDef RegisteredAppHK;
extern HotKeyDef RegisteredDestHK;

// Column masks applied while the lists page refreshed wait for the refresh to end
// (the rows being filled follow the columns they started with).
extern bool ColumnsPending;
// Called by the lists page when its refresh ends: puts waiting column masks into
// effect and makes the next refresh a full one.
void ApplyPendingColumns();

// Set while the docked bar's row was built from the settings in force and nothing
// changed them since (the start-up's own bar): applying them then keeps the row
// instead of building it again. Applying clears it.
extern bool TrackerRowCurrent;

// The Run key that starts the program with Windows.
extern const char* const kRunKey;

// Gives this module's state its start values again.
void ResetAppliedSettingsState();
