// An export that runs out of memory: its failure still reaches the host, as "Out of memory",
// and the host's process goes on. This program replaces the global allocation functions so
// that a test can make every allocation of its own thread fail for a while.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <new>
#include <string>

#include "velto/bstr.h"
#include "velto/exception.h"
#include "velto/export_guard.h"
#include "velto/operation.h"

namespace {

thread_local bool allocations_fail = false;

void* Allocate(std::size_t size) {
  if (allocations_fail) throw std::bad_alloc();
  if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
  throw std::bad_alloc();
}

void* AllocateOrNull(std::size_t size) noexcept {
  try {
    return Allocate(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

}  // namespace

void* operator new(std::size_t size) {
  return Allocate(size);
}
void* operator new[](std::size_t size) {
  return Allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return AllocateOrNull(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return AllocateOrNull(size);
}
void operator delete(void* block) noexcept {
  std::free(block);
}
void operator delete[](void* block) noexcept {
  std::free(block);
}
void operator delete(void* block, std::size_t) noexcept {
  std::free(block);
}
void operator delete[](void* block, std::size_t) noexcept {
  std::free(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept {
  std::free(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept {
  std::free(block);
}

namespace velto {
namespace {

// From here on every allocation of the calling thread fails.
void RunOutOfMemory() {
  allocations_fail = true;
}

class OutOfMemoryTest : public ::testing::Test {
 protected:
  void TearDown() override {
    allocations_fail = false;
    ClearHostFailure();
  }

  // After `body` ran as an export's body, with memory back.
  std::u16string KeptAfter(const std::function<void()>& body) {
    GuardExport(body);
    allocations_fail = false;
    return LastHostFailure();
  }
};

TEST_F(OutOfMemoryTest, AFailureWithoutMemoryToKeepItIsKeptAsOutOfMemory) {
  GuardExport([] { throw Exception(u"an earlier failure"); });
  ASSERT_EQ(LastHostFailure(), u"an earlier failure");
  const struct {
    const char* name;
    std::function<void()> body;
  } cases[] = {
      {"out of memory",
       [] {
         RunOutOfMemory();
         throw std::bad_alloc();
       }},
      {"a message too long to copy",
       [] {
         const Exception error(std::u16string(1000, u'm'));
         RunOutOfMemory();
         throw error;
       }},
      {"an envelope that cannot be made",
       [] {
         ResultEnvelope([]() -> std::u16string {
           RunOutOfMemory();
           throw Exception(u"the operation failed");
         });
       }},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(KeptAfter(c.body), u"Out of memory") << c.name;
  }
  EXPECT_EQ(KeptAfter([] {}), u"") << "the next call that does not fail clears it";
}

TEST_F(OutOfMemoryTest, AnOperationThatRunsOutOfMemoryLeavesTheResultAlone) {
  BstrOwner result(u"untouched");
  EXPECT_EQ(KeptAfter([&] {
              StoreBstr(result.Out(), ResultEnvelope([]() -> std::u16string {
                          RunOutOfMemory();
                          return std::u16string(100, u'x');
                        }));
            }),
            u"Out of memory");
  EXPECT_EQ(result.Text(), u"untouched");
}

}  // namespace
}  // namespace velto
