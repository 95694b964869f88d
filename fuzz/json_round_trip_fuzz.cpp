// The JSON reader and writer: whatever the reader accepts, the writer writes as text that
// reads back as the same document, which is written again as the very same text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "json_parser.h"
#include "velto/json_stringifier.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const velto::JSONValuePtr document = velto::ParseJSON(velto::fuzz::HostText(data, size));
  if (!document) return 0;
  const std::u16string written = velto::JSONStringify(document.get());
  const velto::JSONValuePtr again = velto::ParseJSON(written);
  if (!again) velto::fuzz::Fail("the written text does not read back", written);
  if (velto::JSONStringify(again.get()) != written) {
    velto::fuzz::Fail("the document read back is written differently", written);
  }
  return 0;
}
