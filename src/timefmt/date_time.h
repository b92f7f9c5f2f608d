// A local calendar date and time of day to the whole second, years 100 to 9999 of the proleptic
// Gregorian calendar. A plain value: copyable, comparable, safe to use from any thread.
#pragma once

#include <compare>
#include <cstdint>
#include <optional>

namespace tarvelin {

class DateTime {
public:
    // The current local time, to the whole second.
    static DateTime Now();
    // The value the six fields name, or nothing when they name no valid date and time in years 100 to 9999.
    static std::optional<DateTime> FromFields(int year, int month, int day, int hour, int minute, int second);

    int Year() const { return m_year; }
    int Month() const { return m_month; }
    int Day() const { return m_day; }
    int Hour() const { return m_hour; }
    int Minute() const { return m_minute; }
    int Second() const { return m_second; }
    int DayOfWeek() const;  // 0 = Sunday ... 6 = Saturday

    // Days since 1970-01-01 of the date (negative before it), for calendar arithmetic.
    std::int64_t DaysSinceEpoch() const;
    // Seconds since 1970-01-01 00:00:00 of this wall-clock value, read as if it were UTC.
    std::int64_t WallSeconds() const;
    static DateTime FromWallSeconds(std::int64_t seconds);  // REQUIRES: within years 100 to 9999

    auto operator<=>(const DateTime&) const = default;

private:
    DateTime(int year, int month, int day, int hour, int minute, int second)
        : m_year(static_cast<std::int16_t>(year)),
          m_month(static_cast<std::int8_t>(month)),
          m_day(static_cast<std::int8_t>(day)),
          m_hour(static_cast<std::int8_t>(hour)),
          m_minute(static_cast<std::int8_t>(minute)),
          m_second(static_cast<std::int8_t>(second)) {}

    // Field order makes the defaulted comparison chronological.
    std::int16_t m_year;
    std::int8_t m_month;
    std::int8_t m_day;
    std::int8_t m_hour;
    std::int8_t m_minute;
    std::int8_t m_second;
};

// Days from 1970-01-01 to the given proleptic Gregorian date, and back.
std::int64_t DaysFromCivil(int year, int month, int day);
void CivilFromDays(std::int64_t days, int& year, int& month, int& day);

}  // namespace tarvelin
