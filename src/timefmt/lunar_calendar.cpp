#include "timefmt/lunar_calendar.h"

#include <array>

#include "timefmt/token_replace.h"

namespace tarvelin {

namespace {

// One word per lunar year 1901..2100, the calendar as China publishes it: each month begins on the civil
// day of a new moon in UTC+8, and a month without a major solar term is the leap month.
//   bits  0..12  month lengths in calendar order, leap month included: bit i set = month i has 30 days,
//                clear = 29 days (bit 12 is used only in years with a leap month)
//   bits 13..16  the leap month: 0 for none, otherwise n, the leap month following month n
//   bits 17..22  the lunar new year as days after 1 January of the same Gregorian year (20..50)
constexpr std::array<std::uint32_t, 200> kYearInfo = {
    0x620752, 0x4c0ea5, 0x38b64a, 0x5c064b, 0x440a9b, 0x309556, 0x56056a, 0x400b59,  // 1901
    0x2a5752, 0x500752, 0x3adb25, 0x600b25, 0x480a4b, 0x32b4ab, 0x5802ad, 0x42056b,  // 1909
    0x2c4b69, 0x520da9, 0x3efd92, 0x640e92, 0x4c0d25, 0x36ba4d, 0x5c0a56, 0x4602b6,  // 1917
    0x2e95b5, 0x5606d4, 0x400ea9, 0x2c5e92, 0x500e92, 0x3acd26, 0x5e052b, 0x480a57,  // 1925
    0x32b2b6, 0x580b5a, 0x4406d4, 0x2e6ec9, 0x520749, 0x3cf693, 0x620a93, 0x4c052b,  // 1933
    0x34ca5b, 0x5a0aad, 0x46056a, 0x309b55, 0x560ba4, 0x400b49, 0x2a5a93, 0x500a95,  // 1941
    0x38f52d, 0x5e0536, 0x480aad, 0x34b5aa, 0x5805b2, 0x420da5, 0x2e7d4a, 0x540d4a,  // 1949
    0x3d0a95, 0x600a97, 0x4c0556, 0x36cab5, 0x5a0ad5, 0x4606d2, 0x308ea5, 0x560ea5,  // 1957
    0x40064a, 0x286c97, 0x4e0a9b, 0x3af55a, 0x5e056a, 0x480b69, 0x34b752, 0x5a0b52,  // 1965
    0x420b25, 0x2c964b, 0x520a4b, 0x3d14ab, 0x6002ad, 0x4a056d, 0x36cb69, 0x5c0da9,  // 1973
    0x460d92, 0x309d25, 0x560d25, 0x415a4d, 0x640a56, 0x4e02b6, 0x38c5b5, 0x5e06d5,  // 1981
    0x480ea9, 0x34be92, 0x5a0e92, 0x440d26, 0x2c6a56, 0x500a57, 0x3d14d6, 0x62035a,  // 1989
    0x4a06d5, 0x36b6c9, 0x5c0749, 0x460693, 0x2e952b, 0x54052b, 0x3e0a5b, 0x2a555a,  // 1997
    0x4e056a, 0x38fb55, 0x600ba4, 0x4a0b49, 0x32ba93, 0x580a95, 0x42052d, 0x2c8aad,  // 2005
    0x500ab5, 0x3d35aa, 0x6205d2, 0x4c0da5, 0x36dd4a, 0x5c0d4a, 0x460c95, 0x30952e,  // 2013
    0x540556, 0x3e0ab5, 0x2a55b2, 0x5006d2, 0x38cea5, 0x5e0725, 0x48064b, 0x32ac97,  // 2021
    0x560cab, 0x42055a, 0x2c6ad6, 0x520b69, 0x3d7752, 0x620b52, 0x4c0b25, 0x36da4b,  // 2029
    0x5a0a4b, 0x4404ab, 0x2ea55b, 0x5405ad, 0x3e0b6a, 0x2a5b52, 0x500d92, 0x3afd25,  // 2037
    0x5e0d25, 0x480a55, 0x32b4ad, 0x5804b6, 0x4005b5, 0x2c6daa, 0x520ec9, 0x3f1e92,  // 2045
    0x620e92, 0x4c0d26, 0x36ca56, 0x5a0a57, 0x4404d6, 0x2e86d5, 0x540755, 0x400749,  // 2053
    0x286e93, 0x4e0693, 0x38f52b, 0x5e052b, 0x460a5b, 0x32b55a, 0x58056a, 0x420b65,  // 2061
    0x2c974a, 0x520b4a, 0x3d1a95, 0x620a95, 0x4a052d, 0x34caad, 0x5a0ab5, 0x4605aa,  // 2069
    0x2e8ba5, 0x540da5, 0x400d4a, 0x2a7c95, 0x4e0c96, 0x38f94e, 0x5e0556, 0x480ab5,  // 2077
    0x32b5b2, 0x5806d2, 0x420ea5, 0x2e8e4a, 0x50068b, 0x3b0c97, 0x6004ab, 0x4a055b,  // 2085
    0x34cad6, 0x5a0b6a, 0x460752, 0x309725, 0x540b45, 0x3e0a8b, 0x28549b, 0x4e04ab,  // 2093
};

// Lunar new year 2101 (days after 1 January), which closes the last covered year.
constexpr int kNewYear2101Offset = 28;

constexpr int kLeapShift = 13;
constexpr int kNewYearShift = 17;

// Start of Spring, the moment the sun's apparent longitude reaches 315 degrees, in years 1901..2101, as
// seconds after 3 February 00:00:00 UTC+8 of the same year. Computed from the VSOP87 theory of the Sun with
// nutation and aberration; two independent reckonings agree to within 30 s (mostly the Earth-rotation
// offset, delta T), well inside the minute the year name needs.
constexpr int kSpringFirstYear = 1901;
constexpr std::array<std::uint32_t, 201> kStartOfSpring = {
    157192, 178690, 199877, 221047, 155749, 176634, 197929, 218833, 153151, 174442,  // 1901
    195016, 215611, 150158, 170956, 192326, 213238, 147452, 168785, 189563, 210386,  // 1911
    145212, 165984, 187217, 208172, 142605, 164296, 185402, 206182, 140923, 161467,  // 1921
    182438, 203360, 137356, 158617, 179321, 199756, 134733, 155698, 177026, 198452,  // 1931
    132584, 154114, 175204, 195775, 130762, 151433, 172221, 193320, 127369, 148846,  // 1941
    170006, 190374, 125153, 145841, 166656, 187915, 122077, 143351, 164530, 184989,  // 1951
    120146, 141440, 162464, 183895, 117966, 139068, 160249, 180443, 115132, 135942,  // 1961
    156325, 177613, 111852, 133205, 154752, 175168, 110005, 131217, 151938, 173368,  // 1971
    107723, 128728, 149982, 170324, 105107, 126462, 147100, 168169, 102429, 123240,  // 1981
    144504, 164897, 99429,  120656, 141171, 162474, 97317,  118612, 140223, 160824,  // 1991
    95329,  116645, 137120, 158173, 92582,  113236, 134292, 154824, 89388,  110871,  // 2001
    131576, 152544, 87205,  108196, 129507, 150363, 84844,  106110, 126861, 147799,  // 2011
    82728,  103847, 124953, 145627, 79828,  100928, 121578, 142273, 76847,  97708,   // 2021
    118699, 139739, 74496,  96070,  117095, 137997, 72699,  93828,  114776, 135596,  // 2031
    69911,  90773,  111528, 132261, 66982,  88269,  109085, 129884, 64407,  85434,   // 2041
    106574, 127385, 61989,  83281,  104154, 125234, 60155,  81275,  102241, 122894,  // 2051
    57227,  78425,  99072,  119692, 54221,  74962,  95840,  116943, 51650,  73308,   // 2061
    94250,  115020, 49964,  70875,  91836,  112792, 46986,  68241,  88991,  109677,  // 2071
    44755,  65532,  86302,  107197, 41393,  62786,  83712,  104289, 39279,  60137,   // 2081
    81049,  102529, 37115,  58623,  79624,  100011, 34919,  55740,  76169,  97217,   // 2091
    117593,                                                                          // 2101
};

constexpr std::int64_t kDaySeconds = 86400;
// Mean tropical year, 365.24219 days, to extrapolate Start of Spring beyond the table.
constexpr std::int64_t kTropicalYearSeconds = 31556925;

constexpr bool IsGregorianLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

constexpr std::uint32_t InfoOf(int lunarYear) {
    return kYearInfo[static_cast<std::size_t>(lunarYear - 1901)];
}
constexpr int LeapMonthOf(std::uint32_t info) {
    return static_cast<int>((info >> kLeapShift) & 0xF);
}
constexpr int MonthCountOf(std::uint32_t info) {
    return LeapMonthOf(info) == 0 ? 12 : 13;
}
constexpr int MonthLengthOf(std::uint32_t info, int index) {
    return (info >> index) & 1U ? 30 : 29;
}

// Days after 1 January of the Gregorian year `year` (1901..2101) on which its lunar year begins.
constexpr int NewYearOffset(int year) {
    return year == 2101 ? kNewYear2101Offset : static_cast<int>((InfoOf(year) >> kNewYearShift) & 0x3F);
}

constexpr int LunarYearLength(std::uint32_t info) {
    int days = 0;
    for (int i = 0; i < MonthCountOf(info); ++i) days += MonthLengthOf(info, i);
    return days;
}

// Every lunar year must end the day before the next one begins; a leap month follows one of months 1..12,
// and a year without one leaves the thirteenth length bit clear.
constexpr bool TableIsConsistent() {
    for (int year = 1901; year <= 2100; ++year) {
        const std::uint32_t info = InfoOf(year);
        const int gregorianLength = IsGregorianLeapYear(year) ? 366 : 365;
        if (NewYearOffset(year) + LunarYearLength(info) != gregorianLength + NewYearOffset(year + 1)) return false;
        if (LeapMonthOf(info) > 12 || (LeapMonthOf(info) == 0 && ((info >> 12) & 1U) != 0)) return false;
        const int offset = NewYearOffset(year);
        if (offset < 20 || offset > 50) return false;
    }
    return true;
}
static_assert(TableIsConsistent(), "lunar year table: month lengths do not meet the next new year");

std::int64_t NewYearDays(int year) {
    return DaysFromCivil(year, 1, 1) + NewYearOffset(year);
}

std::int64_t FloorMod(std::int64_t value, std::int64_t divisor) {
    return ((value % divisor) + divisor) % divisor;
}

constexpr std::array<std::string_view, 12> kAnimals = {"鼠", "牛", "虎", "兔", "龙", "蛇",
                                                       "马", "羊", "猴", "鸡", "狗", "猪"};
constexpr std::array<std::string_view, 10> kStems = {"甲", "乙", "丙", "丁", "戊", "己", "庚", "辛", "壬", "癸"};
constexpr std::array<std::string_view, 12> kBranches = {"子", "丑", "寅", "卯", "辰", "巳",
                                                        "午", "未", "申", "酉", "戌", "亥"};
constexpr std::array<std::string_view, 12> kMonthNames = {"正月", "二月", "三月", "四月", "五月", "六月",
                                                          "七月", "八月", "九月", "十月", "冬月", "腊月"};
constexpr std::array<std::string_view, 30> kDayNames = {"初一", "初二", "初三", "初四", "初五", "初六", "初七", "初八",
                                                        "初九", "初十", "十一", "十二", "十三", "十四", "十五", "十六",
                                                        "十七", "十八", "十九", "二十", "廿一", "廿二", "廿三", "廿四",
                                                        "廿五", "廿六", "廿七", "廿八", "廿九", "三十"};

}  // namespace

std::string LunarCalendar::ZodiacAnimal(int year) {
    // Widened first: year - 4 would overflow for the lowest ints.
    return std::string(kAnimals[static_cast<std::size_t>(FloorMod(static_cast<std::int64_t>(year) - 4, 12))]);
}

std::optional<LunarDate> LunarCalendar::FromDays(std::int64_t daysSinceEpoch) {
    if (daysSinceEpoch < NewYearDays(kFirstYear) || daysSinceEpoch >= NewYearDays(kLastYear + 1)) return std::nullopt;
    int year = 0;
    int month = 0;
    int day = 0;
    CivilFromDays(daysSinceEpoch, year, month, day);
    if (year > kLastYear || daysSinceEpoch < NewYearDays(year)) --year;
    const std::uint32_t info = InfoOf(year);
    const int leapMonth = LeapMonthOf(info);
    std::int64_t offset = daysSinceEpoch - NewYearDays(year);
    for (int index = 0; index < MonthCountOf(info); ++index) {
        const int length = MonthLengthOf(info, index);
        if (offset < length) {
            const bool leap = leapMonth != 0 && index == leapMonth;
            const int number = leapMonth != 0 && index >= leapMonth ? index : index + 1;
            return LunarDate{year, number, leap, static_cast<int>(offset) + 1};
        }
        offset -= length;
    }
    return std::nullopt;  // unreachable while the table is consistent
}

std::int64_t LunarCalendar::StartOfSpring(int year) {
    constexpr int kSpringLastYear = kSpringFirstYear + static_cast<int>(kStartOfSpring.size()) - 1;
    const int anchorYear = year < kSpringFirstYear ? kSpringFirstYear : year > kSpringLastYear ? kSpringLastYear : year;
    const std::int64_t anchor = DaysFromCivil(anchorYear, 2, 3) * kDaySeconds +
                                kStartOfSpring[static_cast<std::size_t>(anchorYear - kSpringFirstYear)];
    return anchor + (static_cast<std::int64_t>(year) - anchorYear) * kTropicalYearSeconds;
}

std::string LunarCalendar::SexagenaryYearName(const DateTime& date) {
    int year = date.Year();
    if (date.WallSeconds() < StartOfSpring(year)) --year;
    const std::int64_t cycle = FloorMod(static_cast<std::int64_t>(year) - 4, 60);  // 1984 is 甲子
    std::string name(kStems[static_cast<std::size_t>(cycle % 10)]);
    name += kBranches[static_cast<std::size_t>(cycle % 12)];
    return name;
}

std::string LunarCalendar::MonthName(int month, bool leap) {
    if (month < 1 || month > 12) return {};
    std::string name = leap ? "闰" : "";
    name += kMonthNames[static_cast<std::size_t>(month - 1)];
    return name;
}

std::string LunarCalendar::DayName(int day) {
    if (day < 1 || day > 30) return {};
    return std::string(kDayNames[static_cast<std::size_t>(day - 1)]);
}

std::string LunarCalendar::LunarDateText(const DateTime& date, std::string_view pattern) {
    std::string text(pattern);
    // The formatter asks for one specifier at a time, so only what the pattern holds is worked out.
    const auto holds = [&text](std::string_view specifier) { return text.find(specifier) != std::string::npos; };
    if (holds("%Y")) ReplaceToken(text, "%Y", SexagenaryYearName(date));
    if (holds("%M") || holds("%D")) {
        const std::optional<LunarDate> lunar = FromDays(date.DaysSinceEpoch());
        ReplaceToken(text, "%M", lunar ? MonthName(lunar->month, lunar->leap) : std::string());
        ReplaceToken(text, "%D", lunar ? DayName(lunar->day) : std::string());
    }
    return text;
}

}  // namespace tarvelin
