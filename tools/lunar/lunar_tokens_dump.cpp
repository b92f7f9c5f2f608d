// Dev-time helper for compare.js: reads "year month day hour minute second" lines on stdin and prints the
// nine lunar tokens of each through FormatTimestamp, '|'-separated. Not built by CMake; compare.js says how.
#include <iostream>
#include <string>

#include "timefmt/format_timestamp.h"

int main() {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    while (std::cin >> year >> month >> day >> hour >> minute >> second) {
        const auto date = tarvelin::DateTime::FromFields(year, month, day, hour, minute, second);
        if (!date) {
            std::cout << "invalid\n";
            continue;
        }
        std::cout << tarvelin::FormatTimestamp(*date, "'NY'|'NYY'|'NYYYY'|'NM'|'ND'|'Nmm'|'Nm'|'Ndd'|'Nd'") << "\n";
    }
}
