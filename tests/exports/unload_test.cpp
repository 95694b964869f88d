// Loading and unloading libvelto-box.so: nothing is sent at load, and unloading destroys
// the connection, which releases the host's progress receiver.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <future>
#include <thread>

#include "../center/recording_events.h"
#include "velto/test_peer.h"

namespace velto::test {
namespace {

TEST(Unload, ReleasesTheReceiverAndSendsNothing) {
  TestPeer peer;
  RecordingEvents events;
  void* library = dlopen(VELTO_BOX_LIBRARY, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  using WorkBegin = void(STDCALL*)(IVeltoWorkEvents*);
  const auto work_begin = reinterpret_cast<WorkBegin>(dlsym(library, "VeltoWorkBegin"));
  ASSERT_NE(work_begin, nullptr);
  work_begin(&events.com);
  EXPECT_EQ(events.references, 2u);
  EXPECT_EQ(dlclose(library), 0);
  EXPECT_EQ(events.references, 1u);
  EXPECT_EQ(peer.Connections(), 0);
}

// A thread's kept failure goes when the thread ends; a thread that ends after the library
// was unloaded must not call into it for that.
TEST(Unload, AThreadThatKeptAFailureMayEndAfterTheLibrary) {
  void* library = dlopen(VELTO_BOX_LIBRARY, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  using Init = void(STDCALL*)(BSTR, BSTR, BSTR);
  using Enter = void(STDCALL*)(BSTR);
  const auto init = reinterpret_cast<Init>(dlsym(library, "VeltoInit"));
  const auto enter = reinterpret_cast<Enter>(dlsym(library, "VeltoEnter"));
  ASSERT_NE(init, nullptr);
  ASSERT_NE(enter, nullptr);
  std::promise<void> kept;
  std::promise<void> unloaded;
  std::thread keeper([&] {
    init(nullptr, nullptr, nullptr);
    enter(nullptr);  // fails at once: there is no root
    kept.set_value();
    unloaded.get_future().wait();
  });
  kept.get_future().wait();
  EXPECT_EQ(dlclose(library), 0);
  unloaded.set_value();
  keeper.join();
}

}  // namespace
}  // namespace velto::test
