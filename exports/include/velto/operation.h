#pragma once

#include <string>
#include <utility>

#include "velto/bstr.h"
#include "velto/export_guard.h"
#include "velto/result_envelope.h"
#include "velto/session_prologue.h"

namespace velto {

// An operation export whose envelope text `envelope` makes: the session prologue first
// (its failure, and any failure of `envelope` outside the envelope's own handler, leaves
// the export with the result variable unchanged), then the text stored into the caller's
// variable. Without a variable nothing is done: work whose outcome cannot be told is not
// started.
template <typename Envelope>
void RunEnvelope(BSTR* result, Envelope&& envelope) noexcept {
  GuardExport([&] {
    RequireVariable(result);
    SessionPrologue();
    StoreBstr(result, std::forward<Envelope>(envelope)());
  });
}

// An operation export in one line: the operation's text inside the result envelope.
template <typename Operation>
void RunOperation(BSTR* result, Operation&& operation) noexcept {
  RunEnvelope(result, [&] { return ResultEnvelope(std::forward<Operation>(operation)); });
}

// An operation export whose success carries "code" alone.
template <typename Operation>
void RunCodeOperation(BSTR* result, Operation&& operation) noexcept {
  RunEnvelope(result, [&] { return CodeEnvelope(std::forward<Operation>(operation)); });
}

}  // namespace velto
