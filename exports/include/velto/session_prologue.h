#pragma once

namespace velto {

// Before every operation export: when the server no longer accepts the current key, log in
// again with the configured card number and keep the new key.
void SessionPrologue();

}  // namespace velto
