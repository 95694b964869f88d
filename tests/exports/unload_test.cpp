// Loading and unloading libvelto-box.so: nothing is sent at load, and unloading destroys
// the connection, which releases the host's progress receiver.
#include <dlfcn.h>
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace velto::test
