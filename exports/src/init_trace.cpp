#include "velto/init_trace.h"

namespace velto {
namespace {

constexpr size_t kShown = 4;

std::u16string Masked(std::u16string_view secret) {
  const size_t hidden = secret.size() > kShown ? secret.size() - kShown : 0;
  return std::u16string(hidden, u'*') + std::u16string(secret.substr(hidden));
}

}  // namespace

std::u16string InitTraceLine(std::u16string_view root, std::u16string_view card_number,
                             std::u16string_view site_id) {
  return u"RootUrl = " + std::u16string(root) + u", UserCardNumber = " + Masked(card_number) +
         u", SiteId = " + std::u16string(site_id);
}

}  // namespace velto
