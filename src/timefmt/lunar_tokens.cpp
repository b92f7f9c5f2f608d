#include "timefmt/lunar_tokens.h"

#include <string_view>

#include "timefmt/lunar_calendar.h"
#include "timefmt/token_replace.h"

namespace tarvelin {

namespace {

std::string TwoDigitText(int value) {
    std::string text = std::to_string(value);
    return text.size() == 1 ? "0" + text : text;
}

// Replaces the two number tokens by the row whose name equals `name` exactly (rows numbered from 1 in the
// order `rowName` yields them). A name that matches no row, such as a leap month's, leaves both as written.
template <typename RowName>
void ReplaceNumberTokens(std::string& text, const std::string& name, int rowCount, RowName rowName,
                         std::string_view twoDigitToken, std::string_view plainToken) {
    for (int number = 1; number <= rowCount; ++number) {
        if (rowName(number) != name) continue;
        ReplaceToken(text, twoDigitToken, TwoDigitText(number));
        ReplaceToken(text, plainToken, std::to_string(number));
        return;
    }
}

}  // namespace

void ReplaceLunarTokens(std::string& text, int workingYear, bool useFields, const std::optional<DateTime>& date,
                        const DateTime& fieldsDate) {
    // Every lunar token begins with 'N and no replacement text holds a quote, so without one nothing changes.
    if (text.find("'N") == std::string::npos) return;
    const DateTime lunarDate = useFields ? fieldsDate : date ? *date : DateTime::Now();

    const std::string animal = LunarCalendar::ZodiacAnimal(workingYear);
    const std::string yearName = LunarCalendar::LunarDateText(lunarDate, "%Y");
    ReplaceToken(text, "'NY'", animal);
    ReplaceToken(text, "'NYY'", yearName);
    ReplaceToken(text, "'NYYYY'", yearName + animal + "年");

    const std::string monthName = LunarCalendar::LunarDateText(lunarDate, "%M");
    const std::string dayName = LunarCalendar::LunarDateText(lunarDate, "%D");
    ReplaceToken(text, "'NM'", monthName);
    ReplaceToken(text, "'ND'", dayName);

    ReplaceNumberTokens(
        text, monthName, 12, [](int n) { return LunarCalendar::MonthName(n, false); }, "'Nmm'", "'Nm'");
    ReplaceNumberTokens(
        text, dayName, 30, [](int n) { return LunarCalendar::DayName(n); }, "'Ndd'", "'Nd'");
}

}  // namespace tarvelin
