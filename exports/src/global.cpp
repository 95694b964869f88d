#include "velto/global.h"

namespace velto {

TGlobal& Global() {
  static TGlobal global;
  return global;
}

}  // namespace velto
