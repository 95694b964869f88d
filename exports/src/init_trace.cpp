#include "velto/init_trace.h"

#include "velto/masked_card.h"

namespace velto {

std::u16string InitTraceLine(std::u16string_view root, std::u16string_view card_number,
                             std::u16string_view site_id) {
  return u"RootUrl = " + std::u16string(root) + u", UserCardNumber = " +
         MaskedCardNumber(card_number) + u", SiteId = " + std::u16string(site_id);
}

}  // namespace velto
