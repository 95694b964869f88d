#include "velto/gate_stamp.h"

#include <cstdio>

#include "velto/unicode.h"

namespace velto {

std::u16string GateTimeStamp(const LocalTime& at) {
  char text[32];
  std::snprintf(text, sizeof(text), "%04d%02d%02d%02d%02d%02d%03d123", at.year % 10000, at.month,
                at.day, at.hour, at.minute, at.second, at.millisecond);
  return Utf8ToUtf16(text);
}

std::u16string GateTimeStamp() {
  return GateTimeStamp(LocalTimeNow());
}

}  // namespace velto
