// The time-stamp formatter: fills a template of single-quoted tokens ('YYYY', 'MM', 'dddd', ...) from a date
// or from six loose fields; it labels every row of the results grid. Keeps no state: safe on any thread.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "timefmt/date_time.h"

namespace tarvelin {

// The row label form, for example 2016/03/16 09:05:07.
inline constexpr std::string_view kDefaultTimestampTemplate = "'YYYY'/'MM'/'DD' 'HH':'mm':'ss'";

// date: absent = the current local time (taken only when useFields is false).
// templateText: absent = kDefaultTimestampTemplate.
// useFields: absent = false; when true the year..second arguments (each absent = 0) are formatted as given,
// with no range test, and only the weekday still comes from date if one was given, else from the date they
// name (1 January of the year 100, 00:00:00, when they name none).
std::string FormatTimestamp(std::optional<DateTime> date = std::nullopt,
                            std::optional<std::string_view> templateText = std::nullopt,
                            std::optional<bool> useFields = std::nullopt, std::optional<int> year = std::nullopt,
                            std::optional<int> month = std::nullopt, std::optional<int> day = std::nullopt,
                            std::optional<int> hour = std::nullopt, std::optional<int> minute = std::nullopt,
                            std::optional<int> second = std::nullopt);

}  // namespace tarvelin
