#include "velto/file_dao.h"

#include "velto/form_fields.h"
#include "velto/multipart_form.h"
#include "velto/typed_request.h"

namespace velto {

std::vector<TVeltoFile> TVeltoFileDAO::GetList(const TVeltoFile& search) {
  return GetValue(PassThroughPath(PassThroughId::File_GetList, {search.IssueId, search.FileName}),
                  ListOf(ToFile));
}

TVeltoFile TVeltoFileDAO::Add(const TVeltoFile& file, const std::u16string& path) {
  TMultipartForm form;
  AddFileWithName(form, path);
  form.AddBareTextPart(u"hlscName", FormValue(file.HlscName));
  form.AddBareTextPart(u"hlscDate", FormValue(file.HlscDate));
  return ReadReplyValue(DoPost(PassThroughPath(PassThroughId::File_Add, {file.IssueId}), form),
                        ToFile);
}

TVeltoFile TVeltoFileDAO::Get(const TVeltoFile& file) {
  return GetValue(PassThroughPath(PassThroughId::File_Get, {file.Id}), ToFile);
}

void TVeltoFileDAO::Modify(const TVeltoFile& file) {
  PutRecord(PassThroughPath(PassThroughId::File_Modify, {file.Id}), file);
}

void TVeltoFileDAO::Delete(const TVeltoFile& file) {
  DeleteResource(PassThroughPath(PassThroughId::File_Delete, {file.Id}));
}

void TVeltoFileDAO::GetData(const TVeltoFile& file, IStream* response) {
  DoGet(PassThroughPath(PassThroughId::File_GetData, {file.Id}), response);
}

std::u16string TVeltoFileDAO::File_Add(std::u16string_view issue_id,
                                       std::u16string_view full_file_name,
                                       std::u16string_view file_json) {
  // Read before the file is opened: an argument that is no JSON object fails first. Only
  // these three of its members reach the server.
  TJSONBox argument = TJSONBox::Create(JSONObject(file_json));
  JSONRootGuard guard(argument);
  TMultipartForm form;
  AddFileWithName(form, std::u16string(full_file_name));
  for (const char16_t* member : {u"hlscName", u"hlscDate", u"endTime"}) {
    form.AddBareTextPart(member, FormValue(argument[member].AsString()));
  }
  return PassThroughValueText(DoPost(PassThroughPath(PassThroughId::File_Add, {issue_id}), form));
}

void TVeltoFileDAO::File_GetData(std::u16string_view file_id, IStream* file_stream) {
  DoGet(PassThroughPath(PassThroughId::File_GetData, {file_id}), file_stream);
}

}  // namespace velto
