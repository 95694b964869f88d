// Under ASan, the hosts that load and unload the library (and with it the libraries that
// libcurl pulls in) run with the sanitizer runtime's own tracking of dynamic thread-local
// storage turned off. GnuTLS first touches its thread-local block in its destructor, on
// unload; GCC 12's runtime then guesses the block's bounds from the 16 bytes before it,
// which under ASan are an allocator header, and LeakSanitizer's scan at exit reads that
// made-up range and dies ("Tracer caught signal 11"). Whether a run hits it depends only on
// where the block lands. Dynamic thread-local blocks are still scanned without the tracking:
// the runtime counts what the dynamic linker allocated as reachable.
extern "C" __attribute__((visibility("default"), used)) const char* __asan_default_options() {
  return "intercept_tls_get_addr=0";
}
