#include "velto/stream_box.h"

#include <limits>

#include "velto/exception.h"
#include "velto/host_call.h"

namespace velto {
namespace {

// The real COM headers give IStream C++ methods; the Linux layout is a plain vtable.
#ifdef _WIN32
ULONG ComAddRef(IStream* s) {
  return s->AddRef();
}
ULONG ComRelease(IStream* s) {
  return s->Release();
}
HRESULT ComRead(IStream* s, void* b, ULONG n, ULONG* done) {
  return s->Read(b, n, done);
}
HRESULT ComWrite(IStream* s, const void* b, ULONG n, ULONG* done) {
  return s->Write(b, n, done);
}
HRESULT ComSeek(IStream* s, int64_t move, DWORD origin, uint64_t* position) {
  LARGE_INTEGER distance;
  distance.QuadPart = move;
  ULARGE_INTEGER at{};
  const HRESULT result = s->Seek(distance, origin, &at);
  *position = at.QuadPart;
  return result;
}
#else
ULONG ComAddRef(IStream* s) {
  return s->lpVtbl->AddRef(s);
}
ULONG ComRelease(IStream* s) {
  return s->lpVtbl->Release(s);
}
HRESULT ComRead(IStream* s, void* b, ULONG n, ULONG* done) {
  return s->lpVtbl->Read(s, b, n, done);
}
HRESULT ComWrite(IStream* s, const void* b, ULONG n, ULONG* done) {
  return s->lpVtbl->Write(s, b, n, done);
}
HRESULT ComSeek(IStream* s, int64_t move, uint32_t origin, uint64_t* position) {
  return s->lpVtbl->Seek(s, move, origin, position);
}
#endif

[[noreturn]] void RangeError() {
  throw Exception(u"Range check error");
}

ULONG CheckedCount(int32_t count) {
  if (count < 0) RangeError();
  return static_cast<ULONG>(count);
}

}  // namespace

TStreamBox::TStreamBox(IStream* content) : content_(content) {
  CallHost([this] { ComAddRef(content_); });
}

TStreamBox::~TStreamBox() {
  RunHostCleanup([this] { CallHost([this] { ComRelease(content_); }); });
}

int32_t TStreamBox::Read(void* buffer, int32_t count) {
  ULONG moved = 0;
  const ULONG wanted = CheckedCount(count);
  CallHost([&] { ComRead(content_, buffer, wanted, &moved); });
  return static_cast<int32_t>(moved);
}

int32_t TStreamBox::Write(const void* buffer, int32_t count) {
  ULONG moved = 0;
  const ULONG wanted = CheckedCount(count);
  CallHost([&] { ComWrite(content_, buffer, wanted, &moved); });
  return static_cast<int32_t>(moved);
}

int32_t TStreamBox::Seek(int32_t offset, int16_t origin) {
  uint64_t position = 0;
  CallHost([&] { ComSeek(content_, offset, static_cast<uint16_t>(origin), &position); });
  if (position > static_cast<uint64_t>(std::numeric_limits<int32_t>::max())) RangeError();
  return static_cast<int32_t>(position);
}

}  // namespace velto
