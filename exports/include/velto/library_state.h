#pragma once

namespace velto {

// Load: the JSON box settings, then the connection's root and key, then the configuration.
// Nothing is connected or sent.
void LoadLibraryState();
// Unload, in the reverse order: the configuration cleared, the connection destroyed (its
// progress receiver released), the root and key cleared, the JSON box settings closed.
void UnloadLibraryState();
// The process is exiting: release nothing (the host's objects and the network may be gone).
void AbandonLibraryState();

}  // namespace velto
