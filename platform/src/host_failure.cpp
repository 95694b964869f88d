#include "velto/host_failure.h"

namespace velto {
namespace {

std::u16string& ThreadFailure() {
  thread_local std::u16string message;
  return message;
}

}  // namespace

void ReportFailureToHost(const std::u16string& message) {
  ThreadFailure() = message;
  RaiseToHost(ThreadFailure());
}

const std::u16string& LastHostFailure() {
  return ThreadFailure();
}

void ClearHostFailure() {
  ThreadFailure().clear();
}

}  // namespace velto
