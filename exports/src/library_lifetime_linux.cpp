#include "velto/library_state.h"

// Runs the load steps when the library is loaded and the unload steps when it is unloaded.
// The load steps make every static of the unload steps, so those are destroyed only after
// this object.
namespace velto {
namespace {

struct LibraryLifetime {
  LibraryLifetime() { LoadLibraryState(); }
  LibraryLifetime(const LibraryLifetime&) = delete;
  LibraryLifetime& operator=(const LibraryLifetime&) = delete;
  ~LibraryLifetime() { UnloadLibraryState(); }
};

const LibraryLifetime kLifetime;

}  // namespace
}  // namespace velto
