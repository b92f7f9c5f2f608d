#include "settings/conversions.h"

#include <gtest/gtest.h>

#include <limits>

namespace tarvelin {
namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

TEST(TextToInteger, VariousTexts_ReadLikeTheStoredForms) {
    struct Case {
        std::string_view text;
        std::int32_t expected;
    };
    const Case cases[] = {
        {"", 0},
        {"abc", 0},
        {" 0", 0},
        {"12abc", 12},
        {"  \t-42", -42},
        {"+7", 7},
        {"- 5", 0},
        {"--5", 0},
        {"0066", 66},
        {"16777215", 16777215},
        {"2147483647", kMax},
        {"2147483648", kMax},
        {"99999999999999999999999", kMax},
        {"-2147483648", kMin},
        {"-2147483649", kMin},
        {"-99999999999999999999999", kMin},
        {"\xE3\x80\x80" "12", 12},                         // ideographic space
        {"\xEF\xBC\x91\xEF\xBC\x92", 12},                  // full-width 1 2
        {"\xEF\xBC\x8D\xEF\xBC\x93" "4", -34},             // full-width minus, full-width 3, ASCII 4
        {"\xEF\xBC\x8B" "9", 9},                           // full-width plus
        {"\xE3\x80\x80\xEF\xBC\x8D\xEF\xBC\x90\xEF\xBC\x99", -9},
        {"1\xEF\xBC\x9A", 1},                              // U+FF1A is not a digit
        {"\xE4\xB8\x80", 0},                               // a Chinese numeral is not a digit
        {"\xEF\xBC", 0},                                   // truncated sequence
        {"\xFF" "5", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(TextToInteger(c.text), c.expected) << '"' << c.text << '"';
}

TEST(IntegerToText, Bounds_GivePlainDecimal) {
    EXPECT_EQ(IntegerToText(0), "0");
    EXPECT_EQ(IntegerToText(-5), "-5");
    EXPECT_EQ(IntegerToText(kMax), "2147483647");
    EXPECT_EQ(IntegerToText(kMin), "-2147483648");
    for (const std::int32_t value : {kMin, -1, 0, 1, 66, 16777215, kMax}) {
        EXPECT_EQ(TextToInteger(IntegerToText(value)), value);
    }
}

TEST(SplitTargetEntry, EachRule_GivesItsParts) {
    struct Case {
        std::string_view entry;
        std::vector<std::string> parts;
    };
    const Case cases[] = {
        {"", {}},
        {"title", {"title"}},
        {"title||", {"title"}},
        {"||", {""}},
        {"title||addr", {"title", "addr"}},
        {"||addr", {"", "addr"}},
        {"a||b||c", {"a", "b"}},
        {"a||||c", {"a", ""}},
        {"a|||b", {"a", "|b"}},
        {"a|b||c|d", {"a|b", "c|d"}},
        {"百度||www.baidu.com", {"百度", "www.baidu.com"}},
    };
    for (const Case& c : cases) EXPECT_EQ(SplitTargetEntry(c.entry), c.parts) << c.entry;
}

TEST(JoinTargetEntry, TitleAndAddress_JoinWithBars) {
    EXPECT_EQ(JoinTargetEntry("t", "a"), "t||a");
    EXPECT_EQ(JoinTargetEntry("t", ""), "t||");
    EXPECT_EQ(SplitTargetEntry(JoinTargetEntry("t", "")), std::vector<std::string>{"t"});
}

TEST(LegacyByteLength, MixedText_CountsOneOrTwoPerCharacter) {
    EXPECT_EQ(LegacyByteLength(""), 0u);
    EXPECT_EQ(LegacyByteLength("Arial"), 5u);
    EXPECT_EQ(LegacyByteLength("宋体"), 4u);
    EXPECT_EQ(LegacyByteLength("微软雅黑 UI"), 11u);
}

}  // namespace
}  // namespace tarvelin
