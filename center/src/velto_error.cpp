#include "velto/velto_error.h"

namespace velto {

EVelto::EVelto(std::u16string code, std::u16string message)
    : Exception(u"[" + code + u"] " + message),
      code_(std::move(code)),
      message_(std::move(message)) {}

EVelto::EVelto(const TJSONBox& value)
    : EVelto(value[u"code"].AsString(), value[u"message"].AsString()) {}

void EVelto::Check(const TJSONBox& value) {
  if (value[u"code"].AsString() != reply_code::kSuccess) throw EVelto(value);
}

}  // namespace velto
