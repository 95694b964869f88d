#include "library_transfer.h"

#include <exception>
#include <fstream>
#include <iostream>

#include "file_stream.h"
#include "process_memory.h"
#include "velto/dao.h"
#include "velto/multipart_form.h"
#include "velto/unicode.h"
#include "velto/velto_center.h"

namespace velto::bench {
namespace {

template <typename Transfer>
int Run(const std::string& root, const std::string& report, Transfer transfer) {
  try {
    TVeltoCenter::SetRoot(Utf8ToUtf16(root));
    transfer();
    TVeltoCenter::DestroyInstance();
    std::ofstream(report) << OwnPeakKib() << '\n';
    return 0;
  } catch (const std::exception& failure) {
    std::cerr << "library: " << failure.what() << '\n';
  }
  return 1;
}

}  // namespace

int UploadThroughLibrary(const std::string& root, const std::string& path, const std::string& file,
                         const std::string& report) {
  return Run(root, report, [&] {
    TMultipartForm form;
    form.AddFilePart(u"file", Utf8ToUtf16(file));
    const std::u16string reply = TVeltoDAO::DoPost(Utf8ToUtf16(path), form);
    if (reply.find(u"\"code\":\"100\"") == std::u16string::npos) {
      throw Exception(u"unexpected reply: " + reply);
    }
  });
}

int DownloadThroughLibrary(const std::string& root, const std::string& path,
                           const std::string& file, const std::string& report) {
  return Run(root, report, [&] {
    FileStream stream(file);
    TVeltoDAO::DoGet(Utf8ToUtf16(path), stream.Com());
  });
}

}  // namespace velto::bench
