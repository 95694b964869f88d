#pragma once

#include <string>

namespace velto {

// Makes sure the site `site_id` exists with the name `site_name`: creates it when the
// server answers "301", accepts it when its name is the same (ASCII letters compared
// without case), and fails otherwise. Never changes a stored site.
void AddSite(const std::u16string& site_id, const std::u16string& site_name);

// Makes sure the user `user_id` exists with the name `user_name` at the site `site_id`
// (roles "site:<id>", or "root" without a site) and has a card, and returns the number of
// the user's first card. A missing user is created with `password`; a missing card is
// added; a stored user whose name or roles differ fails. The stored password is neither
// compared nor changed.
std::u16string AddUser(const std::u16string& user_id, const std::u16string& user_name,
                       const std::u16string& password, const std::u16string& site_id);

}  // namespace velto
