// The Chinese lunar calendar behind the lunar-date tokens: zodiac animals, sexagenary year names and lunar
// month and day names, from compact tables of the published calendar for lunar years 1901 to 2100.
// Stateless: every function is pure and safe to call from any thread.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "timefmt/date_time.h"

namespace tarvelin {

// A day of the lunar calendar. year is the lunar year by its Gregorian number (the one its first month
// starts in); month runs 1 to 12 and a leap month repeats the number of the month it follows.
struct LunarDate {
    int year = 0;
    int month = 0;
    bool leap = false;
    int day = 0;

    bool operator==(const LunarDate&) const = default;
};

class LunarCalendar {
  public:
    // Wall-clock dates are read as China Standard Time (UTC+8), the zone the calendar is reckoned in.
    static constexpr int kFirstYear = 1901;  // lunar new year 1901-02-19
    static constexpr int kLastYear = 2100;   // its last day is 2101-01-28

    // The one-character animal of a year number: position (year - 4) mod 12 of the cycle, for every int.
    static std::string ZodiacAnimal(int year);

    // The pattern with "%Y" (sexagenary year name, changing at the moment of Start of Spring), "%M" (lunar
    // month name, leap months with a leading 闰) and "%D" (lunar day name) replaced. Outside the covered
    // lunar years "%M" and "%D" give empty text; "%Y" is still given, against an estimated Start of Spring.
    static std::string LunarDateText(const DateTime& date, std::string_view pattern);

    // The lunar day of a civil date given as days since 1970-01-01; nothing outside the covered years.
    static std::optional<LunarDate> FromDays(std::int64_t daysSinceEpoch);

    // The moment of Start of Spring (sun's apparent longitude 315 degrees) in the given Gregorian year, as
    // UTC+8 wall seconds since 1970-01-01 (see DateTime::WallSeconds). From the table for 1901 to 2101, to
    // within seconds; other years are extrapolated by the mean tropical year, good to about a day.
    static std::int64_t StartOfSpring(int year);

    // The sexagenary year name ("丙申") in force at a wall-clock moment.
    static std::string SexagenaryYearName(const DateTime& date);

    static std::string MonthName(int month, bool leap);  // "正月" .. "腊月", "闰" in front when leap
    static std::string DayName(int day);                 // "初一" .. "三十"
};

}  // namespace tarvelin
