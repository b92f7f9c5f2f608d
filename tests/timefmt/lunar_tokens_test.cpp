#include "timefmt/lunar_tokens.h"

#include <string>

#include <gtest/gtest.h>

namespace tarvelin {
namespace {

DateTime At(int year, int month, int day, int hour = 9, int minute = 5, int second = 7) {
    return *DateTime::FromFields(year, month, day, hour, minute, second);
}

// The lunar step as the formatter runs it for a plain date: no fields, the date's own year.
std::string Lunar(std::string text, const DateTime& date) {
    ReplaceLunarTokens(text, date.Year(), false, date, date);
    return text;
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
    std::string text = kAllNine;
    const DateTime fields = At(2016, 3, 16);
    ReplaceLunarTokens(text, 2016, true, At(2020, 5, 23), fields);
    EXPECT_EQ(text, "猴|丙申|丙申猴年|二月|初八|02|2|08|8");

    // Without fields the date is what counts, whatever the fields date holds.
    text = kAllNine;
    ReplaceLunarTokens(text, 2020, false, At(2020, 5, 23), fields);
    EXPECT_EQ(text, "鼠|庚子|庚子鼠年|闰四月|初一|'Nmm'|'Nm'|01|1");
}

TEST(LunarTokensTest, ZodiacYear_IsTheWorkingYearNotTheLunarDate) {
    struct Case {
        int workingYear;
        const char* text;
    } const cases[] = {
        {2016, "猴 丙申猴年"},
        {0, "猴 丙申猴年"},
        {-1, "羊 丙申羊年"},
        {2020, "鼠 丙申鼠年"},
    };
    for (const auto& c : cases) {
        std::string text = "'NY' 'NYYYY'";
        ReplaceLunarTokens(text, c.workingYear, true, std::nullopt, At(2016, 3, 16));
        EXPECT_EQ(text, c.text) << c.workingYear;
    }
}

// The formatter's fallback for fields that name no date is 1 January of the year 100, before the years the
// calendar covers: the year name is still reckoned, month and day come out empty, numbers stay as written.
TEST(LunarTokensTest, FallbackDate_OutsideCoveredYears_GivesYearNameAndKeepsNumberTokens) {
    std::string text = kAllNine;
    ReplaceLunarTokens(text, 0, true, std::nullopt, At(100, 1, 1, 0, 0, 0));
    EXPECT_EQ(text, "猴|己亥|己亥猴年|||'Nmm'|'Nm'|'Ndd'|'Nd'");
}

TEST(LunarTokensTest, Templates_WithoutWholeTokens_ComeOutUnchangedOrReplacedLiterally) {
    struct Case {
        const char* templateText;
        const char* text;
    } const cases[] = {
        {"", ""},
        {"2016/03/16 09:05:07", "2016/03/16 09:05:07"},
        {"'N' 'NQ' 'Nyy' NY 'NY", "'N' 'NQ' 'Nyy' NY 'NY"},
        {"农历'NY'年", "农历猴年"},
        {"'NY''NY'", "猴猴"},
        {"'NY'Y'", "猴Y'"},  // 'NY' comes first and takes the quote
        {"'NYY'YY'", "丙申YY'"},
        {"'Nmm'm'", "02m'"},  // 'Nmm' before 'Nm'
        {"'Nm'm'", "2m'"},
        {"'Ndd''Nd'", "088"},
    };
    for (const auto& c : cases) EXPECT_EQ(Lunar(c.templateText, At(2016, 3, 16)), c.text) << c.templateText;
}

TEST(LunarTokensTest, NoDateAndNoFields_DescribesTheCurrentDay) {
    std::string text = "'ND'";
    ReplaceLunarTokens(text, 2016, false, std::nullopt, At(100, 1, 1, 0, 0, 0));
    EXPECT_NE(text, "'ND'");
    EXPECT_FALSE(text.empty());  // the current day lies within the covered years
}

}  // namespace
}  // namespace tarvelin
