// The lunar-calendar step of FormatTimestamp: replaces the nine tokens that begin with N in a working
// text. Pure function of its arguments; safe on any thread.
#pragma once

#include <optional>
#include <string>

#include "timefmt/date_time.h"

namespace tarvelin {

// text: the working text after the Gregorian and weekday steps, rewritten in place.
// workingYear: the Gregorian year the caller formats (the zodiac year).
// useFields, date, fieldsDate: as the formatter holds them; the lunar date is fieldsDate when useFields is
// true, otherwise date (the current local time when absent). The zodiac animal follows workingYear, the
// year name, month and day the lunar date; a leap month leaves 'Nmm' and 'Nm' as written.
void ReplaceLunarTokens(std::string& text, int workingYear, bool useFields, const std::optional<DateTime>& date,
                        const DateTime& fieldsDate);

}  // namespace tarvelin
