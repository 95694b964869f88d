#pragma once

#include <functional>
#include <string>

#include "velto/bstr.h"
#include "velto/export_guard.h"
#include "velto/session_prologue.h"

namespace velto {

// The result envelope: "code" "SUCCESS" and "data" the operation's text, or "code" "FAIL"
// and the message of whatever it raised (CurrentFailureMessage), as indented JSON text.
// Only a failure to make the envelope itself passes through.
std::u16string ResultEnvelope(const std::function<std::u16string()>& operation);

// An operation export in one line: the session prologue (whose failure leaves the export
// with the result variable unchanged), then the operation inside the result envelope,
// stored into the caller's variable.
template <typename Operation>
void RunOperation(BSTR* result, Operation&& operation) noexcept {
  GuardExport([&] {
    SessionPrologue();
    StoreBstr(result, ResultEnvelope(std::forward<Operation>(operation)));
  });
}

}  // namespace velto
