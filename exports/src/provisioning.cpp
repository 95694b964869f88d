#include "velto/provisioning.h"

#include <algorithm>
#include <vector>

#include "velto/missing_record.h"
#include "velto/site_dao.h"
#include "velto/user_card_dao.h"
#include "velto/user_dao.h"

namespace velto {
namespace {

char16_t AsciiUpperCase(char16_t unit) {
  return unit >= u'a' && unit <= u'z' ? static_cast<char16_t>(unit - u'a' + u'A') : unit;
}

// Equal length and equal units once a-z are taken as A-Z; no other folding, no trimming.
bool SameText(std::u16string_view left, std::u16string_view right) {
  return std::ranges::equal(
      left, right, [](char16_t a, char16_t b) { return AsciiUpperCase(a) == AsciiUpperCase(b); });
}

std::optional<TVeltoSite> StoredSite(const std::u16string& site_id) {
  TVeltoSite site;
  site.Id = site_id;
  return ReadUnlessMissing([&] { return TVeltoSiteDAO::Get(site); });
}

TVeltoUser EnsureUser(TVeltoUser user) {
  if (const auto stored = ReadUnlessMissing([&] { return TVeltoUserDAO::Get(user); })) {
    if (!SameText(stored->Name, user.Name)) {
      throw Exception(u"기존 사용자 정보와 이름이 다릅니다.");
    }
    if (!SameText(stored->Roles, user.Roles)) {
      throw Exception(u"기존 사용자 정보와 사이트가 다릅니다.");
    }
    return *stored;
  }
  TVeltoUserDAO::Add(user);
  return user;
}

TVeltoUserCard FirstCard(const std::u16string& user_id) {
  const std::vector<TVeltoUserCard> cards = TVeltoUserCardDAO::GetList(user_id);
  if (!cards.empty()) return cards.front();
  TVeltoUserCard card;
  card.UserId = user_id;
  return TVeltoUserCardDAO::Add(card);
}

}  // namespace

void AddSite(const std::u16string& site_id, const std::u16string& site_name) {
  const std::optional<TVeltoSite> stored = StoredSite(site_id);
  if (!stored) {
    TVeltoSite site;
    site.Id = site_id;
    site.Name = site_name;
    TVeltoSiteDAO::Add(site);
  } else if (!SameText(stored->Name, site_name)) {
    throw Exception(u"사이트 정보와 이름이 다릅니다.");
  }
}

std::u16string AddUser(const std::u16string& user_id, const std::u16string& user_name,
                       const std::u16string& password, const std::u16string& site_id) {
  if (!site_id.empty() && !StoredSite(site_id)) throw Exception(u"Site is not exist.");
  TVeltoUser asked;
  asked.Id = user_id;
  asked.Password = password;
  asked.Name = user_name;
  asked.Roles = site_id.empty() ? std::u16string(u"root") : u"site:" + site_id;
  const TVeltoUser user = EnsureUser(asked);
  return TVeltoUserCardDAO::GetNumber(FirstCard(user.Id));
}

}  // namespace velto
