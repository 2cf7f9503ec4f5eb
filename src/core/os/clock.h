#pragma once
// The system's clock read as a calendar: the one call that each system names
// differently.
#include <ctime>

namespace bladeway::native {

// `time` on the local clock (the system's time zone and summer time).
std::tm LocalCalendarTime(std::time_t time);

}  // namespace bladeway::native
