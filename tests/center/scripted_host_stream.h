#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>

namespace velto::test {

// The code of the structured exception that the host's code raises in these tests.
inline constexpr DWORD kHostCode = 0xE0484F53;

inline void RaiseHostException() {
  RaiseException(kHostCode, 0, 0, nullptr);
}

// A host's download stream (Windows): memory, whose Write or Release can be made to raise,
// and which takes at most `room` bytes; once full, a write takes what still fits and
// answers `full_answer`. COM
// interfaces have no virtual destructor; objects end through Release.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class ScriptedHostStream final : public IStream {
 public:
  ScriptedHostStream() { EXPECT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &memory_), S_OK); }
  ~ScriptedHostStream() { memory_->Release(); }
  ScriptedHostStream(const ScriptedHostStream&) = delete;
  ScriptedHostStream& operator=(const ScriptedHostStream&) = delete;

  bool raise_in_write = false;
  bool raise_in_release = false;
  uint64_t room = UINT64_MAX;
  HRESULT full_answer = S_OK;
  ULONG references = 1;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
  ULONG STDMETHODCALLTYPE Release() override {
    --references;
    if (raise_in_release) RaiseHostException();
    return references;
  }
  HRESULT STDMETHODCALLTYPE Read(void* data, ULONG count, ULONG* done) override {
    return memory_->Read(data, count, done);
  }
  HRESULT STDMETHODCALLTYPE Write(const void* data, ULONG count, ULONG* done) override {
    if (raise_in_write) RaiseHostException();
    const auto taken = static_cast<ULONG>(std::min<uint64_t>(count, room - Size()));
    const HRESULT written = memory_->Write(data, taken, done);
    return taken < count ? full_answer : written;
  }
  HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin,
                                 ULARGE_INTEGER* position) override {
    return memory_->Seek(move, origin, position);
  }
  HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*,
                                   ULARGE_INTEGER*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Revert() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Stat(STATSTG* status, DWORD flags) override {
    return memory_->Stat(status, flags);
  }
  HRESULT STDMETHODCALLTYPE Clone(IStream**) override { return E_NOTIMPL; }

  // Everything written so far.
  std::string Data() {
    std::string data(static_cast<size_t>(Size()), '\0');
    ULONG read = 0;
    EXPECT_EQ(memory_->Seek({}, STREAM_SEEK_SET, nullptr), S_OK);
    EXPECT_EQ(memory_->Read(data.data(), static_cast<ULONG>(data.size()), &read), S_OK);
    data.resize(read);
    return data;
  }
  uint64_t Size() {
    STATSTG status{};
    memory_->Stat(&status, STATFLAG_NONAME);
    return status.cbSize.QuadPart;
  }

 private:
  IStream* memory_ = nullptr;
};
#pragma GCC diagnostic pop

}  // namespace velto::test
