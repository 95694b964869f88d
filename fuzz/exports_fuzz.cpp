// Every export that takes text, called through the C ABI as a host calls it, against a
// loopback peer that answers each request with fuzzed reply bytes (status line, headers,
// charset, body, cut anywhere). The input is cut at each byte 0x1E into the export's name
// (an unknown name picks an export by its bytes), its texts, and then the replies to its
// requests in order (see corpus/exports). Each call must end with a result envelope
// ("code" SUCCESS or FAIL), or leave the export with a message for VeltoLastError; a
// crash, a sanitizer report or a leak is a fault.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <numeric>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "json_parser.h"
#include "reply_peer.h"
#include "velto/export_call.h"
#include "velto/export_table.h"
#include "velto/string_stream.h"
#include "velto_box.h"

namespace {

using namespace velto;

constexpr char kPartEnd = '\x1e';

// A text the host owns, made and freed by the library as hosts without oleaut32 do.
class HostText {
 public:
  explicit HostText(std::u16string_view text)
      : text_(VeltoAllocString(text.data(), static_cast<uint32_t>(text.size()))) {}
  HostText(const HostText&) = delete;
  HostText& operator=(const HostText&) = delete;
  HostText(HostText&& other) noexcept : text_(std::exchange(other.text_, nullptr)) {}
  ~HostText() { VeltoFreeString(text_); }
  BSTR get() const { return text_; }
  BSTR* address() { return &text_; }

 private:
  BSTR text_;
};

std::u16string TextOf(BSTR text) {
  if (text == nullptr) return {};
  const uint32_t bytes = reinterpret_cast<const uint32_t*>(text)[-1];
  return std::u16string(text, bytes / sizeof(char16_t));
}

// A file an upload may name; the fuzzed name itself could reach any file of the machine.
class UploadFile {
 public:
  UploadFile() {
    std::string folder = (std::filesystem::temp_directory_path() / "velto-fuzz-XXXXXX").string();
    if (mkdtemp(folder.data()) == nullptr) fuzz::Fail("no scratch folder for the upload file");
    folder_ = folder;
    std::ofstream(path()) << "bytes of an upload\n";
  }
  UploadFile(const UploadFile&) = delete;
  UploadFile& operator=(const UploadFile&) = delete;
  ~UploadFile() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  std::filesystem::path path() const { return folder_ / "upload.txt"; }

 private:
  std::filesystem::path folder_;
};

struct Process {
  fuzz::ReplyPeer peer;
  UploadFile upload;
  std::u16string root;
};

Process& TheProcess() {
  static Process process;
  return process;
}

// What a stored result is: VeltoPortalUrl gives an empty object for a person without a portal.
enum class Outcome { Envelope, EnvelopeOrEmptyObject, PlainText, NoResult };

struct FuzzedExport {
  std::string_view name;
  size_t texts;
  std::function<void(std::vector<HostText>&, BSTR* result)> call;
  Outcome outcome = Outcome::Envelope;
  size_t local_file = SIZE_MAX;  // the text that names a file to upload
};

std::function<void(std::vector<HostText>&, BSTR*)> TextCall(ExportAddress address) {
  return [address](std::vector<HostText>& texts, BSTR* result) {
    std::vector<BSTR> bare;
    for (const HostText& text : texts) bare.push_back(text.get());
    CallTextExport(address, bare, result);
  };
}

#define VELTO_FUZZ_ADDRESS_(Class, Name, ...) reinterpret_cast<ExportAddress>(&Name),
#define VELTO_FUZZ_ADDRESS_EXPORT_(Name, ...) reinterpret_cast<ExportAddress>(&Name),
#define VELTO_FUZZ_COMPOSITE_(Name, ...) \
  {#Name, VELTO_PP_COUNT(__VA_ARGS__), TextCall(reinterpret_cast<ExportAddress>(&Name))},

std::vector<FuzzedExport> MakeExports() {
  std::vector<FuzzedExport> exports = {VELTO_COMPOSITE_EXPORTS(VELTO_FUZZ_COMPOSITE_)};
  for (FuzzedExport& composite : exports) {
    if (composite.name == "VeltoPortalUrl") composite.outcome = Outcome::EnvelopeOrEmptyObject;
  }
  const ExportAddress addresses[] = {VELTO_PASS_THROUGH_ROWS(VELTO_FUZZ_ADDRESS_)};
  const ExportAddress address_exports[] = {VELTO_ADDRESS_EXPORTS(VELTO_FUZZ_ADDRESS_EXPORT_)};
  size_t row = 0;
  size_t address_row = 0;
  ForEachSingleOperationExport(
      [&](const PassThroughOperation& operation) {
        FuzzedExport fuzzed{operation.name, operation.parameter_count, TextCall(addresses[row++])};
        if (operation.TakesStream()) {
          --fuzzed.texts;
          fuzzed.outcome = Outcome::NoResult;
          fuzzed.call = [](std::vector<HostText>& texts, BSTR*) {
            test::StringStream stream;
            File_GetData(texts[0].get(), &stream.com);
          };
        }
        if (operation.body == PassThroughBody::FormBody) fuzzed.local_file = 1;
        exports.push_back(std::move(fuzzed));
      },
      [&](const TextExport& address) {
        exports.push_back({address.name, address.parameters.size(),
                           TextCall(address_exports[address_row++]), Outcome::PlainText});
      });
  // The root stays the peer's; the card and the site are the input's.
  exports.push_back({"VeltoInit", 2,
                     [](std::vector<HostText>& texts, BSTR*) {
                       const HostText root(TheProcess().root);
                       VeltoInit(root.get(), texts[0].get(), texts[1].get());
                     },
                     Outcome::NoResult});
  exports.push_back({"VeltoEnter", 1,
                     [](std::vector<HostText>& texts, BSTR*) { VeltoEnter(texts[0].get()); },
                     Outcome::NoResult});
  exports.push_back(
      {"VeltoLeave", 0, [](std::vector<HostText>&, BSTR*) { VeltoLeave(); }, Outcome::NoResult});
  return exports;
}

const std::vector<FuzzedExport>& Exports() {
  static const std::vector<FuzzedExport> exports = MakeExports();
  return exports;
}

std::vector<std::string_view> Parts(std::string_view input) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (size_t end; (end = input.find(kPartEnd, start)) != input.npos; start = end + 1) {
    parts.push_back(input.substr(start, end - start));
  }
  parts.push_back(input.substr(start));
  return parts;
}

const FuzzedExport& ExportNamed(std::string_view name) {
  for (const FuzzedExport& candidate : Exports()) {
    if (candidate.name == name) return candidate;
  }
  const size_t sum = std::accumulate(name.begin(), name.end(), size_t{0},
                                     [](size_t s, char c) { return s + static_cast<uint8_t>(c); });
  return Exports()[sum % Exports().size()];
}

// A result, when the export stored one, is an envelope whose "code" says how it went.
void CheckEnvelope(const std::u16string& result) {
  const JSONValuePtr envelope = ParseJSON(result);
  const JSONMember* code =
      envelope && envelope->Type() == JSONType::Object ? envelope->FindMember(u"code") : nullptr;
  if (code == nullptr || code->Value->Type() != JSONType::String ||
      (code->Value->Text() != u"SUCCESS" && code->Value->Text() != u"FAIL")) {
    fuzz::Fail("the result is no envelope", result);
  }
}

void CheckOutcome(const FuzzedExport& fuzzed, BSTR result, BSTR unchanged) {
  if (fuzzed.outcome == Outcome::NoResult) return;
  if (result == unchanged) {
    HostText message(u"");
    VeltoLastError(message.address());
    if (TextOf(message.get()).empty()) fuzz::Fail("an export failed without a message");
    return;
  }
  const std::u16string text = TextOf(result);
  if (fuzzed.outcome == Outcome::EnvelopeOrEmptyObject && text == u"{}") return;
  if (fuzzed.outcome != Outcome::PlainText) CheckEnvelope(text);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  Process& process = TheProcess();
  process.root = u"http://127.0.0.1:" + fuzz::HostText(std::to_string(process.peer.Port()));
  const HostText root(process.root), card(u"fuzz-card"), site(u"fuzz-site");
  VeltoInit(root.get(), card.get(), site.get());
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<std::string_view> parts =
      Parts(std::string_view(reinterpret_cast<const char*>(data), size));
  const FuzzedExport& fuzzed = ExportNamed(parts[0]);
  std::vector<HostText> texts;
  for (size_t i = 0; i < fuzzed.texts; ++i) {
    std::u16string text = i + 1 < parts.size() ? fuzz::HostText(parts[i + 1]) : u"";
    if (i == fuzzed.local_file && !text.empty()) text = TheProcess().upload.path().u16string();
    texts.emplace_back(text);
  }
  std::vector<std::string> replies;
  for (size_t i = fuzzed.texts + 1; i < parts.size(); ++i) replies.emplace_back(parts[i]);
  TheProcess().peer.Script(std::move(replies));

  HostText result(u"\x1e not stored");
  const BSTR unchanged = result.get();
  fuzzed.call(texts, result.address());
  CheckOutcome(fuzzed, result.get(), unchanged);
  return 0;
}
