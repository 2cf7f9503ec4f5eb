#include "core/os/clock.h"

namespace bladeway::native {

std::tm LocalCalendarTime(std::time_t time) {
    std::tm local{};
    // A time it cannot convert shows in the fields it fills; nothing else to do.
    static_cast<void>(localtime_s(&local, &time));
    return local;
}

}  // namespace bladeway::native
