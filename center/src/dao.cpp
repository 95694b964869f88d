#include "velto/dao.h"

#include "velto/velto_center.h"

namespace velto {

std::u16string TVeltoDAO::DoGet(std::u16string_view path) {
  return TVeltoCenter::GetInstance().Get(path);
}

void TVeltoDAO::DoGet(std::u16string_view path, IStream* response) {
  TVeltoCenter::GetInstance().Get(path, response);
}

std::u16string TVeltoDAO::DoPost(std::u16string_view path, std::u16string_view body) {
  return TVeltoCenter::GetInstance().Post(path, body);
}

std::u16string TVeltoDAO::DoPost(std::u16string_view path, TMultipartForm& request) {
  return TVeltoCenter::GetInstance().Post(path, request);
}

std::u16string TVeltoDAO::DoPut(std::u16string_view path, std::u16string_view body) {
  return TVeltoCenter::GetInstance().Put(path, body);
}

std::u16string TVeltoDAO::DoDelete(std::u16string_view path) {
  return TVeltoCenter::GetInstance().Delete(path);
}

}  // namespace velto
