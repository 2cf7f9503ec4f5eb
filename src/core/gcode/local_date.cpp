#include "core/gcode/local_date.h"

#include <array>
#include <ctime>
#include <string_view>

#include "core/os/clock.h"

namespace bladeway {
namespace {

int TwoDigits(std::string_view text) {
    if (text.size() != 2 || text[0] < '0' || text[0] > '9' || text[1] < '0' || text[1] > '9') {
        return -1;
    }
    return (text[0] - '0') * 10 + (text[1] - '0');
}

}  // namespace

std::string FormatMonthDayYear(int year, int month, int day) {
    // Digit by digit: no printf, whose output may follow the process locale.
    std::string text;
    for (const int part : {month % 100, day % 100, ((year % 100) + 100) % 100}) {
        if (!text.empty()) {
            text += '/';
        }
        const int twoDigits = part < 0 ? 0 : part;
        text += static_cast<char>('0' + twoDigits / 10);
        text += static_cast<char>('0' + twoDigits % 10);
    }
    return text;
}

std::string TodayMonthDayYear() {
    const std::time_t now = std::time(nullptr);
    const std::tm local = native::LocalCalendarTime(now);
    return FormatMonthDayYear(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

bool IsMonthDayYear(std::string_view text) {
    if (text.size() != 8 || text[2] != '/' || text[5] != '/') {
        return false;
    }
    const int month = TwoDigits(text.substr(0, 2));
    const int day = TwoDigits(text.substr(3, 2));
    const int year = TwoDigits(text.substr(6, 2));
    if (month < 1 || month > 12 || day < 1 || year < 0) {
        return false;
    }
    constexpr std::array<int, 12> kDays{31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return day <= kDays[static_cast<std::size_t>(month - 1)];
}

}  // namespace bladeway
