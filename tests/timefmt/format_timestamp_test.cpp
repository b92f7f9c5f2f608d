#include "timefmt/format_timestamp.h"

#include <climits>

#include <gtest/gtest.h>

namespace tarvelin {
namespace {

DateTime At(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    return *DateTime::FromFields(year, month, day, hour, minute, second);
}

constexpr const char* kEveryToken =
    "'YYYY' 'YYY' 'YY' 'Y' 'M' 'MM' 'D' 'DD' 'H' 'HH' 'h' 'hh' 'm' 'mm' 's' 'ss' 't' 'tt' 'TT' 'T' 'dddd' 'ddd' "
    "'dd' 'd'";

TEST(FormatTimestampTest, GivenDate_Templates_ReplaceEveryToken) {
    struct Case {
        DateTime date;
        const char* templateText;
        const char* expected;
    } const cases[] = {
        {At(2016, 3, 16, 9, 5, 7), "'YYYY'/'MM'/'DD' 'HH':'mm':'ss'", "2016/03/16 09:05:07"},
        {At(2016, 3, 16, 21, 5, 7), "'YYYY'年'M'月'D'日 'dddd' 'TT''h':'mm'", "2016年3月16日 星期三 下午9:05"},
        {At(2016, 3, 6, 21, 5, 7), kEveryToken,
         "2016 201 20 2 3 03 6 06 21 21 9 09 5 05 7 07 pm PM 下午 晚 星期日 周日 日 日"},
        {At(2016, 11, 26, 8, 40, 59), kEveryToken,
         "2016 201 20 2 11 11 26 26 8 08 8 08 40 40 59 59 am AM 上午 早 星期六 周六 六 6"},
        {At(100, 1, 1), "'YYYY' 'YYY' 'YY' 'Y' 'dddd'", "100 100 10 1 星期五"},
        {At(2016, 3, 16, 0, 30), "'h' 'hh' 't' 'T'", "12 12 am 早"},
        {At(2016, 3, 16, 11, 59), "'h' 'tt' 'TT'", "11 AM 上午"},
        {At(2016, 3, 16, 12, 0), "'h' 't' 'T'", "12 pm 晚"},
        {At(2016, 3, 16, 12, 15), "'h' 't'", "12 pm"},
        {At(2016, 3, 16, 13, 0), "'h' 'hh'", "1 01"},
        {At(2016, 3, 16, 9, 5), "'MM':'mm'", "03:05"},
        {At(2016, 3, 16), "no quotes here", "no quotes here"},
        {At(2016, 3, 16), "", ""},
        {At(2016, 3, 16), "'Q' '' ' 'YYYYY'", "'Q' '' ' 'YYYYY'"},
        {At(2016, 3, 16), "'x'M'", "'x3"},
        {At(2016, 3, 16), "'Y'YY'", "'Y20"},
        {At(2016, 3, 16), "'M'M'", "3M'"},
        {At(2016, 3, 16), "'MM'M'", "'MM3"},  // 'M' runs first and takes the shared quote
        {At(2016, 3, 16), "中'D'文'DD'", "中16文16"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatTimestamp(c.date, c.templateText), c.expected) << "template: " << c.templateText;
    }
}

TEST(FormatTimestampTest, WeekdayTokens_EachDay_UseItsNames) {
    struct Case {
        int day;  // of March 2016; the 6th is a Sunday
        const char* expected;
    } const cases[] = {
        {6, "星期日 周日 日 日"}, {7, "星期一 周一 一 1"},  {8, "星期二 周二 二 2"},  {9, "星期三 周三 三 3"},
        {10, "星期四 周四 四 4"}, {11, "星期五 周五 五 5"}, {12, "星期六 周六 六 6"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatTimestamp(At(2016, 3, c.day), "'dddd' 'ddd' 'dd' 'd'"), c.expected) << c.day;
    }
}

TEST(FormatTimestampTest, UseFields_LooseValues_FormattedWithoutRangeTest) {
    struct Case {
        std::optional<DateTime> date;
        const char* templateText;
        std::optional<int> year, month, day, hour, minute, second;
        const char* expected;
    } const cases[] = {
        // No date: the weekday is that of the date the fields name, or of 100-01-01 (a Friday).
        {std::nullopt, "'YYYY' 'M' 'D' 'dddd'", 2016, 2, 30, 0, 0, 0, "2016 2 30 星期五"},
        {std::nullopt, "'YYYY' 'M' 'D' 'dddd'", 2016, 3, 6, 0, 0, 0, "2016 3 6 星期日"},
        {std::nullopt, "'YYYY' 'MM' 'dddd'", 2016, 13, 1, 0, 0, 0, "2016 13 星期五"},
        {std::nullopt, "'YYYY'/'MM'/'DD' 'HH':'mm':'ss' 'd'", std::nullopt, std::nullopt, std::nullopt, std::nullopt,
         std::nullopt, std::nullopt, "0/00/00 00:00:00 5"},
        {std::nullopt, "'H' 'HH' 'h' 'hh' 't' 'TT'", 2016, 3, 6, 25, 0, 0, "25 25 13 13 pm 下午"},
        {std::nullopt, "'H' 'h' 'hh' 't' 'T'", 2016, 3, 6, -3, 0, 0, "-3 -3 -3 am 早"},
        {std::nullopt, "'h' 'hh' 't'", 2016, 3, 6, 12, 0, 0, "12 12 pm"},
        {std::nullopt, "'h' 'hh' 't'", 2016, 3, 6, 0, 0, 0, "12 12 am"},
        {std::nullopt, "'YYYY' 'YYY' 'YY' 'Y' 'MM' 'D'", -5, -5, -5, 0, 0, 0, "-5 -5 -5 - -5 -5"},
        {std::nullopt, "'YYYY' 'YYY' 'YY' 'Y'", 5, 1, 1, 0, 0, 0, "5 5 5 5"},
        {std::nullopt, "'YYYY' 'YY' 'mm' 'ss'", INT_MIN, 1, 1, 0, INT_MAX, INT_MIN,
         "-2147483648 -2 2147483647 -2147483648"},
        {std::nullopt, "'hh' 't'", 2016, 1, 1, INT_MIN, 0, 0, "-2147483648 am"},
        {std::nullopt, "'h' 'tt'", 2016, 1, 1, INT_MAX, 0, 0, "2147483635 PM"},
        // A date given too: the weekday comes from it, everything else from the fields.
        {At(2016, 3, 6), "'YYYY' 'M' 'D' 'H' 'dddd'", 2016, 2, 30, 25, 0, 0, "2016 2 30 25 星期日"},
        {At(2016, 3, 12), "'YYYY'-'MM'-'DD' 'd'", 1999, 12, 31, 0, 0, 0, "1999-12-31 6"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatTimestamp(c.date, c.templateText, true, c.year, c.month, c.day, c.hour, c.minute, c.second),
                  c.expected)
            << "template: " << c.templateText;
    }
}

TEST(FormatTimestampTest, FieldsWithoutUseFields_AreIgnored) {
    const DateTime date = At(2016, 3, 16, 9, 5, 7);
    EXPECT_EQ(FormatTimestamp(date, std::nullopt, false, 1999, 1, 2, 3, 4, 5), "2016/03/16 09:05:07");
    EXPECT_EQ(FormatTimestamp(date, std::nullopt, std::nullopt, 1999, 1, 2, 3, 4, 5), "2016/03/16 09:05:07");
}

TEST(FormatTimestampTest, NoDate_NoFields_FormatsCurrentLocalTime) {
    const DateTime before = DateTime::Now();
    const std::string byDefault = FormatTimestamp();
    const std::string everyToken = FormatTimestamp(std::nullopt, kEveryToken);
    const DateTime after = DateTime::Now();
    // The clock may tick between the calls; each result must be one of the two readings.
    EXPECT_TRUE(byDefault == FormatTimestamp(before) || byDefault == FormatTimestamp(after)) << byDefault;
    EXPECT_TRUE(everyToken == FormatTimestamp(before, kEveryToken) || everyToken == FormatTimestamp(after, kEveryToken))
        << everyToken;
}

}  // namespace
}  // namespace tarvelin
