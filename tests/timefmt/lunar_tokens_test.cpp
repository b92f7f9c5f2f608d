#include "timefmt/lunar_tokens.h"

#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "timefmt/format_timestamp.h"
#include "timefmt/lunar_calendar.h"

namespace tarvelin {
namespace {

DateTime At(int year, int month, int day, int hour = 9, int minute = 5, int second = 7) {
    return *DateTime::FromFields(year, month, day, hour, minute, second);
}

// The formatter with a caller's date and template, the lunar step running last.
std::string Lunar(std::string_view templateText, const DateTime& date) {
    return FormatTimestamp(date, templateText);
}

constexpr const char* kAllNine = "'NY'|'NYY'|'NYYYY'|'NM'|'ND'|'Nmm'|'Nm'|'Ndd'|'Nd'";

TEST(LunarTokensTest, AllNineTokens_KnownDates_GiveZodiacYearMonthAndDay) {
    struct Case {
        DateTime date;
        const char* text;
    } const cases[] = {
        {At(2016, 3, 16, 0, 0, 0), "猴|丙申|丙申猴年|二月|初八|02|2|08|8"},
        {At(2016, 3, 16, 23, 59, 59), "猴|丙申|丙申猴年|二月|初八|02|2|08|8"},
        // Before Start of Spring: the year name is still the old one, the animal follows the year number.
        {At(2016, 1, 20), "猴|乙未|乙未猴年|腊月|十一|12|12|11|11"},
        // A leap month matches no month row, so its number tokens stay as written.
        {At(2020, 5, 23), "鼠|庚子|庚子鼠年|闰四月|初一|'Nmm'|'Nm'|01|1"},
        {At(2033, 12, 22), "牛|癸丑|癸丑牛年|闰冬月|初一|'Nmm'|'Nm'|01|1"},
        {At(2016, 11, 20), "猴|丙申|丙申猴年|十月|廿一|10|10|21|21"},
        {At(2016, 12, 10), "猴|丙申|丙申猴年|冬月|十二|11|11|12|12"},
        {At(2017, 1, 20), "鸡|丙申|丙申鸡年|腊月|廿三|12|12|23|23"},
        {At(2061, 12, 31), "蛇|辛巳|辛巳蛇年|冬月|二十|11|11|20|20"},
        {At(2017, 1, 27), "鸡|丙申|丙申鸡年|腊月|三十|12|12|30|30"},
        {At(1901, 2, 19), "牛|辛丑|辛丑牛年|正月|初一|01|1|01|1"},
        {At(2100, 12, 31), "猴|庚申|庚申猴年|腊月|初一|12|12|01|1"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Lunar(kAllNine, c.date), c.text) << c.date.Year() << "-" << c.date.Month() << "-" << c.date.Day();
    }
}

TEST(LunarTokensTest, YearName_MinuteAroundStartOfSpring_ChangesAtTheMoment) {
    // Start of Spring 2016 began at 17:46:03 UTC+8, in the twelfth lunar month.
    EXPECT_EQ(Lunar("'NYYYY' 'NM''ND'", At(2016, 2, 4, 17, 45, 3)), "乙未猴年 腊月廿六");
    EXPECT_EQ(Lunar("'NYYYY' 'NM''ND'", At(2016, 2, 4, 17, 47, 3)), "丙申猴年 腊月廿六");
    // 1984 (甲子) began at 23:18:44 on 4 February.
    EXPECT_EQ(Lunar("'NYY'", At(1984, 2, 4, 23, 17, 44)), "癸亥");
    EXPECT_EQ(Lunar("'NYY'", At(1984, 2, 4, 23, 19, 44)), "甲子");
}

TEST(LunarTokensTest, UseFields_WithDateGiven_DescribesTheFieldsDate) {
    // The fields name 16 March 2016, the date is a leap-month day of 2020 (a Saturday).
    EXPECT_EQ(FormatTimestamp(At(2020, 5, 23), kAllNine, true, 2016, 3, 16, 9, 5, 7),
              "猴|丙申|丙申猴年|二月|初八|02|2|08|8");
    EXPECT_EQ(FormatTimestamp(At(2020, 5, 23), "'NM''ND' 'dddd'", true, 2016, 3, 16), "二月初八 星期六");
    EXPECT_EQ(FormatTimestamp(At(2020, 5, 23), kAllNine, false, 2016, 3, 16, 9, 5, 7),
              "鼠|庚子|庚子鼠年|闰四月|初一|'Nmm'|'Nm'|01|1");
}

// The animal follows the working year; the year name follows the lunar date, which for fields naming no
// date is the formatter's fallback, 1 January of the year 100.
TEST(LunarTokensTest, ZodiacYear_IsTheWorkingYearNotTheLunarDate) {
    struct Case {
        int year, month;
        const char* text;
    } const cases[] = {
        {2016, 3, "猴 丙申猴年"}, {2020, 3, "鼠 庚子鼠年"}, {2020, 13, "鼠 己亥鼠年"},  // month 13 names no date
        {0, 3, "猴 己亥猴年"},    {-1, 3, "羊 己亥羊年"},   {99, 3, "猪 己亥猪年"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatTimestamp(std::nullopt, "'NY' 'NYYYY'", true, c.year, c.month, 16), c.text) << c.year;
    }
}

// Outside the covered years the year name is still reckoned, month and day come out empty and the number
// tokens stay as written.
TEST(LunarTokensTest, FallbackDate_OutsideCoveredYears_GivesYearNameAndKeepsNumberTokens) {
    EXPECT_EQ(FormatTimestamp(std::nullopt, kAllNine, true), "猴|己亥|己亥猴年|||'Nmm'|'Nm'|'Ndd'|'Nd'");
    EXPECT_EQ(Lunar(kAllNine, At(1850, 6, 1)), "狗|庚戌|庚戌狗年|||'Nmm'|'Nm'|'Ndd'|'Nd'");
    EXPECT_EQ(Lunar(kAllNine, At(9999, 12, 31)), "猪|己亥|己亥猪年|||'Nmm'|'Nm'|'Ndd'|'Nd'");
}

TEST(LunarTokensTest, Templates_WithoutWholeTokens_ComeOutUnchangedOrReplacedLiterally) {
    struct Case {
        const char* templateText;
        const char* text;
    } const cases[] = {
        {"", ""},
        {"农历 N 月", "农历 N 月"},
        {"'N' 'NQ' 'Nyy' NY 'NY", "'N' 'NQ' 'Nyy' NY 'NY"},
        {"农历'NY'年", "农历猴年"},
        {"'NY''NY'", "猴猴"},
        {"'NYY''NY'", "丙申猴"},
        {"'NM'M'", "'NM3"},  // the month token runs first and takes the shared quote
        {"'Nm'm'", "'Nm5"},  // the minute token runs first and takes the shared quote
        {"'Ndd''Nd'", "088"},
        {"'YYYY'-'NYYYY'", "2016-丙申猴年"},
    };
    for (const auto& c : cases) EXPECT_EQ(Lunar(c.templateText, At(2016, 3, 16)), c.text) << c.templateText;
}

TEST(LunarTokensTest, NoDateAndNoFields_DescribesTheCurrentDay) {
    const std::string text = FormatTimestamp(std::nullopt, "'ND'");
    bool isDayName = false;
    for (int day = 1; day <= 30; ++day) isDayName = isDayName || text == LunarCalendar::DayName(day);
    EXPECT_TRUE(isDayName) << text;  // the current day lies within the covered years
}

// The step itself, as the formatter hands it over: the text is left alone when it holds no lunar token.
TEST(LunarTokensTest, ReplaceLunarTokens_NoLunarToken_LeavesTextUnchanged) {
    std::string text = "2016/03/16 09:05:07 'Q'";
    ReplaceLunarTokens(text, 2016, false, At(2016, 3, 16), At(2016, 3, 16));
    EXPECT_EQ(text, "2016/03/16 09:05:07 'Q'");
}

}  // namespace
}  // namespace tarvelin
