#include "export_invocation.h"

#include <stdexcept>

#include "download_file.h"
#include "host_text.h"

namespace velto::cli {
namespace {

CallOutcome Ended(std::string returned) {
  std::string failure = LastLibraryError();
  if (!failure.empty()) return {true, std::move(failure)};
  return {false, std::move(returned)};
}

CallOutcome CallTextReturning(ExportAddress address, const std::vector<std::string>& arguments) {
  std::vector<HostText> texts;
  for (const std::string& argument : arguments) texts.emplace_back(argument);
  std::vector<BSTR> bstrs;
  for (const HostText& text : texts) bstrs.push_back(text.Get());
  HostText result;
  CallTextExport(address, bstrs, result.Out());
  return Ended(result.Utf8());
}

// File_GetData(FileId, FileStream), the one export that writes into the host's stream.
CallOutcome CallIntoFile(ExportAddress address, const std::vector<std::string>& arguments) {
  using IntoStream = void(STDCALL*)(BSTR, IStream*);
  if (arguments.size() != 2) throw std::logic_error("a stream export takes an id and a file");
  DownloadFile file(arguments[1]);
  const HostText id(arguments[0]);
  reinterpret_cast<IntoStream>(address)(id.Get(), file.Stream());
  CallOutcome outcome = Ended({});
  // The library only sees that its write failed; velto knows which file would not take it.
  file.ThrowIfWriteFailed();
  if (!outcome.left_export) file.Keep();
  return outcome;
}

}  // namespace

CallOutcome CallExport(const LibraryExports& library, const CallableExport& callable,
                       const std::vector<std::string>& arguments) {
  const ExportAddress address = library.Find(std::string(callable.name));
  if (address == nullptr) {
    throw std::runtime_error(std::string("the library has no export ").append(callable.name));
  }
  if (callable.result == ExportResult::IntoFile) return CallIntoFile(address, arguments);
  return CallTextReturning(address, arguments);
}

}  // namespace velto::cli
