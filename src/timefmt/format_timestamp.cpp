#include "timefmt/format_timestamp.h"

#include <array>

#include "timefmt/lunar_tokens.h"
#include "timefmt/token_replace.h"

namespace tarvelin {

namespace {

struct WorkingValues {
    int year, month, day, hour, minute, second;
};

struct WeekdayNames {
    std::string_view longName, shortName, oneCharacter, digit;
};

// Indexed by DateTime::DayOfWeek(), Sunday first. Sunday's digit is a character, not 0 or 7.
constexpr std::array<WeekdayNames, 7> kWeekdays = {{
    {"星期日", "周日", "日", "日"},
    {"星期一", "周一", "一", "1"},
    {"星期二", "周二", "二", "2"},
    {"星期三", "周三", "三", "3"},
    {"星期四", "周四", "四", "4"},
    {"星期五", "周五", "五", "5"},
    {"星期六", "周六", "六", "6"},
}};

// Stands in for fields that name no valid date and time: 100-01-01 00:00:00, a Friday.
DateTime FallbackDate() {
    return *DateTime::FromFields(100, 1, 1, 0, 0, 0);
}

std::string TwoDigits(int value) {
    std::string text = std::to_string(value);
    if (text.size() == 1) text.insert(0, 1, '0');
    return text;
}

int TwelveHour(int hour) {
    if (hour == 0) return 12;
    return hour >= 13 ? hour - 12 : hour;  // negative hours (only from loose fields) stay as they are
}

// Most templates hold only a few of the 24 tokens; a plain byte search rules the rest out cheaply, and a
// token absent at every byte is absent at every character start too.
template <typename MakeText>
void Replace(std::string& text, std::string_view token, MakeText makeText) {
    if (text.find(token) != std::string::npos) ReplaceToken(text, token, makeText());
}

WorkingValues ValuesOf(const DateTime& date) {
    return {date.Year(), date.Month(), date.Day(), date.Hour(), date.Minute(), date.Second()};
}

// Longest token first: where year tokens share a quote, as in 'Y'YY', the order decides which is found.
// The shorter tokens show the leading characters of the year, not its last digits.
void ReplaceYearTokens(std::string& text, int year) {
    const std::string digits = std::to_string(year);
    Replace(text, "'YYYY'", [&] { return digits; });
    Replace(text, "'YYY'", [&] { return std::string_view(digits).substr(0, 3); });
    Replace(text, "'YY'", [&] { return std::string_view(digits).substr(0, 2); });
    Replace(text, "'Y'", [&] { return std::string_view(digits).substr(0, 1); });
}

void ReplaceClockTokens(std::string& text, const WorkingValues& v) {
    Replace(text, "'M'", [&] { return std::to_string(v.month); });
    Replace(text, "'MM'", [&] { return TwoDigits(v.month); });
    Replace(text, "'D'", [&] { return std::to_string(v.day); });
    Replace(text, "'DD'", [&] { return TwoDigits(v.day); });
    Replace(text, "'H'", [&] { return std::to_string(v.hour); });
    Replace(text, "'HH'", [&] { return TwoDigits(v.hour); });
    Replace(text, "'h'", [&] { return std::to_string(TwelveHour(v.hour)); });
    Replace(text, "'hh'", [&] { return TwoDigits(TwelveHour(v.hour)); });
    Replace(text, "'m'", [&] { return std::to_string(v.minute); });
    Replace(text, "'mm'", [&] { return TwoDigits(v.minute); });
    Replace(text, "'s'", [&] { return std::to_string(v.second); });
    Replace(text, "'ss'", [&] { return TwoDigits(v.second); });
}

void ReplaceHalfDayTokens(std::string& text, int hour) {
    const bool morning = hour < 12;
    Replace(text, "'t'", [&] { return morning ? "am" : "pm"; });
    Replace(text, "'tt'", [&] { return morning ? "AM" : "PM"; });
    Replace(text, "'TT'", [&] { return morning ? "上午" : "下午"; });
    Replace(text, "'T'", [&] { return morning ? "早" : "晚"; });
}

void ReplaceWeekdayTokens(std::string& text, int dayOfWeek) {
    const WeekdayNames& names = kWeekdays[static_cast<std::size_t>(dayOfWeek)];
    Replace(text, "'dddd'", [&] { return names.longName; });
    Replace(text, "'ddd'", [&] { return names.shortName; });
    Replace(text, "'dd'", [&] { return names.oneCharacter; });
    Replace(text, "'d'", [&] { return names.digit; });
}

}  // namespace

std::string FormatTimestamp(std::optional<DateTime> date, std::optional<std::string_view> templateText,
                            std::optional<bool> useFields, std::optional<int> year, std::optional<int> month,
                            std::optional<int> day, std::optional<int> hour, std::optional<int> minute,
                            std::optional<int> second) {
    const bool fields = useFields.value_or(false);
    const bool callerGaveDate = date.has_value();
    WorkingValues values{};
    std::optional<DateTime> fieldsDate;
    if (fields) {
        values = {year.value_or(0), month.value_or(0),  day.value_or(0),
                  hour.value_or(0), minute.value_or(0), second.value_or(0)};
        fieldsDate =
            DateTime::FromFields(values.year, values.month, values.day, values.hour, values.minute, values.second);
        if (!fieldsDate) fieldsDate = FallbackDate();
    } else {
        if (!date) date = DateTime::Now();
        values = ValuesOf(*date);
        fieldsDate = date;  // the working values come from a valid date, so they name that date again
    }
    const DateTime& weekdayDate = callerGaveDate ? *date : *fieldsDate;

    std::string text(templateText.value_or(kDefaultTimestampTemplate));
    ReplaceYearTokens(text, values.year);
    ReplaceClockTokens(text, values);
    ReplaceHalfDayTokens(text, values.hour);
    ReplaceWeekdayTokens(text, weekdayDate.DayOfWeek());
    ReplaceLunarTokens(text, values.year, fields, date, *fieldsDate);
    return text;
}

}  // namespace tarvelin
