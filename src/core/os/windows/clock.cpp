#include "core/os/clock.h"

namespace bladeway::native {

std::tm LocalCalendarTime(std::time_t time) {
    std::tm local{};
    localtime_s(&local, &time);
    return local;
}

}  // namespace bladeway::native
