#include "timefmt/date_time.h"

#include <ctime>

namespace tarvelin {

namespace {

constexpr int kMinYear = 100;
constexpr int kMaxYear = 9999;

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

}  // namespace

// Howard Hinnant's days_from_civil: exact for every proleptic Gregorian date.
std::int64_t DaysFromCivil(int year, int month, int day) {
    const std::int64_t y = static_cast<std::int64_t>(year) - (month <= 2 ? 1 : 0);
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(std::int64_t days, int& year, int& month, int& day) {
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t doe = days - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

DateTime DateTime::Now() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    // A leap second (tm_sec 60) is shown as the last ordinary second of its minute.
    const int second = local.tm_sec > 59 ? 59 : local.tm_sec;
    return DateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, second);
}

std::optional<DateTime> DateTime::FromFields(int year, int month, int day, int hour, int minute, int second) {
    if (year < kMinYear || year > kMaxYear || month < 1 || month > 12) return std::nullopt;
    if (day < 1 || day > DaysInMonth(year, month)) return std::nullopt;
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) return std::nullopt;
    return DateTime(year, month, day, hour, minute, second);
}

std::int64_t DateTime::DaysSinceEpoch() const { return DaysFromCivil(m_year, m_month, m_day); }

int DateTime::DayOfWeek() const {
    const std::int64_t days = DaysSinceEpoch();  // 1970-01-01 was a Thursday
    return static_cast<int>(((days + 4) % 7 + 7) % 7);
}

std::int64_t DateTime::WallSeconds() const {
    return DaysSinceEpoch() * 86400 + m_hour * 3600 + m_minute * 60 + m_second;
}

DateTime DateTime::FromWallSeconds(std::int64_t seconds) {
    std::int64_t days = seconds / 86400;
    std::int64_t rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    int year = 0, month = 0, day = 0;
    CivilFromDays(days, year, month, day);
    return DateTime(year, month, day, static_cast<int>(rest / 3600), static_cast<int>(rest % 3600 / 60),
                    static_cast<int>(rest % 60));
}

}  // namespace tarvelin
