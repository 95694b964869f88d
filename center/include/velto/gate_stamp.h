#pragma once

#include <string>

#include "velto/local_time.h"

namespace velto {

// The text the card gates carry in their path: year, month, day, hour, minute, second and
// millisecond of the local time, zero-padded, then the digits 123. Always 20 digits.
std::u16string GateTimeStamp(const LocalTime& at);
std::u16string GateTimeStamp();

}  // namespace velto
