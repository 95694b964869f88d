#include "velto/session_prologue.h"

#include "velto/global.h"
#include "velto/user_card_dao.h"
#include "velto/velto_center.h"

namespace velto {

void SessionPrologue() {
  if (!TVeltoUserCardDAO::Check()) {
    TVeltoCenter::SetKey(TVeltoUserCardDAO::Enter(Global().UserCardNumber));
  }
}

}  // namespace velto
