#include "timefmt/lunar_calendar.h"

#include <climits>
#include <string>

#include <gtest/gtest.h>

namespace tarvelin {
namespace {

DateTime At(int year, int month, int day, int hour = 12, int minute = 0, int second = 0) {
    return *DateTime::FromFields(year, month, day, hour, minute, second);
}

std::optional<LunarDate> LunarOf(int year, int month, int day) {
    return LunarCalendar::FromDays(DaysFromCivil(year, month, day));
}

TEST(LunarCalendarTest, ZodiacAnimal_AnyYearNumber_FollowsTheTwelveYearCycle) {
    struct Case {
        int year;
        const char* animal;
    } const cases[] = {
        {2016, "猴"}, {2020, "鼠"}, {2021, "牛"}, {2031, "猪"},    {1984, "鼠"},
        {4, "鼠"},    {3, "猪"},    {0, "猴"},    {-1, "羊"},      {-8, "鼠"},
        {-9, "猪"},   {100, "鼠"},  {9999, "猪"}, {INT_MAX, "兔"}, {INT_MIN, "鼠"},
    };
    for (const auto& c : cases) EXPECT_EQ(LunarCalendar::ZodiacAnimal(c.year), c.animal) << c.year;
}

// Known days of the published calendar: new years, every kind of leap month, long and short month ends,
// and both ends of the covered range.
TEST(LunarCalendarTest, FromDays_KnownDates_GiveThePublishedLunarDate) {
    struct Case {
        int year, month, day;
        LunarDate lunar;
    } const cases[] = {
        {1901, 2, 19, {1901, 1, false, 1}},    {1901, 3, 20, {1901, 2, false, 1}},
        {1906, 4, 24, {1906, 4, false, 1}},    {1912, 2, 18, {1912, 1, false, 1}},
        {1920, 12, 31, {1920, 11, false, 22}}, {1929, 1, 1, {1928, 11, false, 21}},
        {1933, 7, 22, {1933, 5, true, 30}},    {1949, 10, 1, {1949, 8, false, 10}},
        {1966, 6, 19, {1966, 5, false, 1}},    {1976, 9, 9, {1976, 8, false, 16}},
        {1984, 2, 2, {1984, 1, false, 1}},     {1984, 11, 23, {1984, 10, true, 1}},
        {1995, 9, 25, {1995, 8, true, 1}},     {2000, 1, 1, {1999, 11, false, 25}},
        {2001, 5, 23, {2001, 4, true, 1}},     {2006, 8, 24, {2006, 7, true, 1}},
        {2009, 6, 23, {2009, 5, true, 1}},     {2012, 5, 21, {2012, 4, true, 1}},
        {2014, 10, 24, {2014, 9, true, 1}},    {2016, 1, 20, {2015, 12, false, 11}},
        {2016, 3, 16, {2016, 2, false, 8}},    {2016, 11, 20, {2016, 10, false, 21}},
        {2016, 11, 29, {2016, 11, false, 1}},  {2017, 1, 27, {2016, 12, false, 30}},
        {2017, 7, 23, {2017, 6, true, 1}},     {2020, 5, 23, {2020, 4, true, 1}},
        {2023, 3, 22, {2023, 2, true, 1}},     {2025, 7, 25, {2025, 6, true, 1}},
        {2033, 12, 22, {2033, 11, true, 1}},   {2034, 1, 20, {2033, 12, false, 1}},
        {2046, 2, 5, {2045, 12, false, 30}},   {2048, 2, 14, {2048, 1, false, 1}},
        {2048, 12, 31, {2048, 11, false, 27}}, {2057, 9, 28, {2057, 8, false, 30}},
        {2057, 10, 28, {2057, 10, false, 1}},  {2061, 12, 31, {2061, 11, false, 20}},
        {2097, 9, 6, {2097, 8, false, 1}},     {2099, 1, 21, {2099, 1, false, 1}},
        {2100, 2, 9, {2100, 1, false, 1}},     {2100, 12, 31, {2100, 12, false, 1}},
        {2101, 1, 28, {2100, 12, false, 29}},
    };
    for (const auto& c : cases) {
        const auto lunar = LunarOf(c.year, c.month, c.day);
        ASSERT_TRUE(lunar.has_value()) << c.year << "-" << c.month << "-" << c.day;
        EXPECT_EQ(*lunar, c.lunar) << c.year << "-" << c.month << "-" << c.day << " gave " << lunar->year << "/"
                                   << (lunar->leap ? "leap " : "") << lunar->month << "/" << lunar->day;
    }
}

TEST(LunarCalendarTest, FromDays_OutsideCoveredYears_GivesNothing) {
    EXPECT_FALSE(LunarOf(1901, 2, 18).has_value());
    EXPECT_FALSE(LunarOf(2101, 1, 29).has_value());
    EXPECT_FALSE(LunarOf(100, 1, 1).has_value());
    EXPECT_FALSE(LunarOf(9999, 12, 31).has_value());
}

// Walking every day of the covered range, the lunar day must advance by one or start a new month after
// day 29 or 30, and months must follow each other in order with each leap month after its namesake.
TEST(LunarCalendarTest, FromDays_EveryCoveredDay_FollowsTheDayBefore) {
    const std::int64_t first = DaysFromCivil(1901, 2, 19);
    const std::int64_t last = DaysFromCivil(2101, 1, 28);
    LunarDate previous = *LunarCalendar::FromDays(first);
    int leapMonths = 0;
    for (std::int64_t days = first + 1; days <= last; ++days) {
        const auto lunar = LunarCalendar::FromDays(days);
        ASSERT_TRUE(lunar.has_value()) << days;
        if (lunar->day != 1) {
            ASSERT_EQ(lunar->day, previous.day + 1) << days;
            ASSERT_EQ(lunar->month, previous.month) << days;
        } else {
            ASSERT_TRUE(previous.day == 29 || previous.day == 30) << days;
            if (lunar->leap) {
                ASSERT_EQ(lunar->month, previous.month) << days;
                ++leapMonths;
            } else {
                ASSERT_EQ(lunar->month, previous.month % 12 + 1) << days;
            }
            ASSERT_EQ(lunar->year, lunar->month == 1 && !lunar->leap ? previous.year + 1 : previous.year) << days;
        }
        previous = *lunar;
    }
    EXPECT_EQ(previous.year, 2100);
    EXPECT_EQ(leapMonths, 73);  // leap months in lunar years 1901..2100
}

TEST(LunarCalendarTest, SexagenaryYearName_AroundStartOfSpring_ChangesAtTheMoment) {
    struct Case {
        DateTime when;
        const char* name;
    } const cases[] = {
        // One minute either side of the moment (UTC+8) Start of Spring begins the new year.
        {At(1901, 2, 4, 19, 38, 52), "庚子"},
        {At(1901, 2, 4, 19, 40, 52), "辛丑"},  // 19:39:52
        {At(1984, 2, 4, 23, 17, 44), "癸亥"},
        {At(1984, 2, 4, 23, 19, 44), "甲子"},  // 23:18:44
        {At(2016, 2, 4, 17, 45, 3), "乙未"},
        {At(2016, 2, 4, 17, 47, 3), "丙申"},  // 17:46:03
        {At(2048, 2, 4, 12, 3, 44), "丁卯"},
        {At(2048, 2, 4, 12, 5, 44), "戊辰"},  // 12:04:44
        {At(2100, 2, 4, 2, 59, 17), "己未"},
        {At(2100, 2, 4, 3, 1, 17), "庚申"},  // 03:00:17
        // Neither the lunar new year nor 1 January changes the name.
        {At(2016, 1, 20), "乙未"},
        {At(2016, 2, 8), "丙申"},
        {At(2016, 1, 1, 0, 0), "乙未"},
        {At(2015, 12, 31, 23, 59), "乙未"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LunarCalendar::SexagenaryYearName(c.when), c.name)
            << c.when.Year() << "-" << c.when.Month() << "-" << c.when.Day() << " " << c.when.Hour() << ":"
            << c.when.Minute();
    }
}

TEST(LunarCalendarTest, LunarDateText_Specifiers_AreReplacedInThePattern) {
    struct Case {
        DateTime when;
        const char* pattern;
        const char* text;
    } const cases[] = {
        {At(2016, 3, 16), "%Y", "丙申"},
        {At(2016, 3, 16), "%M", "二月"},
        {At(2016, 3, 16), "%D", "初八"},
        {At(2016, 3, 16), "%Y年%M%D", "丙申年二月初八"},
        {At(2020, 5, 23), "%M%D", "闰四月初一"},
        {At(2033, 12, 22), "%M", "闰冬月"},
        {At(2016, 12, 10), "%M", "冬月"},
        {At(2017, 1, 20), "%M%D", "腊月廿三"},
        {At(2016, 11, 20), "%M%D", "十月廿一"},
        {At(2061, 12, 31), "%D", "二十"},
        {At(2017, 1, 27), "%D", "三十"},
        {At(2016, 3, 16), "%Q %% %", "%Q %% %"},
        {At(2016, 3, 16), "", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(LunarCalendar::LunarDateText(c.when, c.pattern), c.text) << c.pattern;
}

TEST(LunarCalendarTest, LunarDateText_OutsideCoveredYears_GivesYearNameAndEmptyMonthAndDay) {
    struct Case {
        DateTime when;
        const char* year;
    } const cases[] = {
        {At(100, 1, 1, 0, 0), "己亥"},  // still before the Start of Spring of 100, so 99
        {At(1901, 2, 18), "辛丑"},
        {At(1850, 6, 1), "庚戌"},
        {At(2101, 1, 29), "庚申"},
        {At(2101, 2, 4), "辛酉"},
        {At(9999, 12, 31, 23, 59, 59), "己亥"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LunarCalendar::LunarDateText(c.when, "%Y|%M|%D"), std::string(c.year) + "||") << c.when.Year();
    }
}

TEST(LunarCalendarTest, StartOfSpring_BeyondTheTable_StaysNearFourthOfFebruary) {
    for (int year : {100, 1000, 1582, 1900, 2102, 3000, 9999}) {
        const DateTime spring = DateTime::FromWallSeconds(LunarCalendar::StartOfSpring(year));
        EXPECT_EQ(spring.Year(), year);
        EXPECT_EQ(spring.Month(), 2) << year;
        EXPECT_GE(spring.Day(), 2) << year;
        EXPECT_LE(spring.Day(), 6) << year;
    }
}

}  // namespace
}  // namespace tarvelin
