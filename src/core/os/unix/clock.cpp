#include "core/os/clock.h"

namespace bladeway::native {

std::tm LocalCalendarTime(std::time_t time) {
    std::tm local{};
    localtime_r(&time, &local);
    return local;
}

}  // namespace bladeway::native
