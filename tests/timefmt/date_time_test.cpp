#include "timefmt/date_time.h"

#include <gtest/gtest.h>

namespace tarvelin {
namespace {

struct FieldsCase {
    int year, month, day, hour, minute, second;
    bool valid;
};

TEST(DateTimeTest, FromFields_RejectsEveryOutOfRangeField) {
    const FieldsCase cases[] = {
        {2016, 3, 16, 9, 5, 7, true},   {100, 1, 1, 0, 0, 0, true},     {9999, 12, 31, 23, 59, 59, true},
        {99, 12, 31, 23, 59, 59, false}, {10000, 1, 1, 0, 0, 0, false}, {2016, 0, 1, 0, 0, 0, false},
        {2016, 13, 1, 0, 0, 0, false},   {2016, 2, 29, 0, 0, 0, true},  {2015, 2, 29, 0, 0, 0, false},
        {1900, 2, 29, 0, 0, 0, false},   {2000, 2, 29, 0, 0, 0, true},  {2016, 4, 31, 0, 0, 0, false},
        {2016, 1, 0, 0, 0, 0, false},    {2016, 1, 1, 24, 0, 0, false}, {2016, 1, 1, -1, 0, 0, false},
        {2016, 1, 1, 0, 60, 0, false},   {2016, 1, 1, 0, 0, 60, false}, {0, 0, 0, 0, 0, 0, false},
    };
    for (const auto& c : cases) {
        const auto value = DateTime::FromFields(c.year, c.month, c.day, c.hour, c.minute, c.second);
        EXPECT_EQ(value.has_value(), c.valid) << c.year << "-" << c.month << "-" << c.day << " " << c.hour << ":"
                                              << c.minute << ":" << c.second;
        if (value) {
            EXPECT_EQ(value->Year(), c.year);
            EXPECT_EQ(value->Second(), c.second);
        }
    }
}

TEST(DateTimeTest, DayOfWeek_MatchesKnownDates) {
    struct Case {
        int year, month, day, weekday;
    } const cases[] = {
        {2016, 3, 6, 0},  {2016, 3, 16, 3}, {1970, 1, 1, 4}, {1969, 12, 27, 6}, {100, 1, 1, 5},
        {1901, 2, 19, 2}, {2000, 2, 29, 2}, {9999, 12, 31, 5},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DateTime::FromFields(c.year, c.month, c.day, 0, 0, 0)->DayOfWeek(), c.weekday)
            << c.year << "-" << c.month << "-" << c.day;
    }
}

TEST(DateTimeTest, WallSeconds_RoundTripsAcrossTheRange) {
    for (const auto& value : {*DateTime::FromFields(100, 1, 1, 0, 0, 0), *DateTime::FromFields(1969, 12, 31, 23, 59, 59),
                              *DateTime::FromFields(2016, 3, 16, 9, 5, 7), *DateTime::FromFields(9999, 12, 31, 23, 59, 59)}) {
        EXPECT_EQ(DateTime::FromWallSeconds(value.WallSeconds()), value);
    }
}

}  // namespace
}  // namespace tarvelin
