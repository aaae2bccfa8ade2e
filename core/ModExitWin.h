// Privileges the program takes on the NT family.
#pragma once

// Enables "SeDebugPrivilege" in the process token; failures are not reported.
void EnableDebugPrivilege();
