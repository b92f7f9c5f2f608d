#include "timefmt/token_replace.h"

#include <gtest/gtest.h>

namespace tarvelin {
namespace {

TEST(ReplaceTokenTest, Occurrences_LeftToRight_NeverOverlapOrRescan) {
    struct Case {
        const char *text, *token, *replacement, *expected;
    } const cases[] = {
        {"'M'", "'M'", "3", "3"},
        {"'M'M'", "'M'", "3", "3M'"},
        {"''''", "''", "x", "xx"},
        {"'''", "''", "x", "x'"},
        {"'M''M'", "'M'", "'M'", "'M''M'"},
        {"中'M'文'M'", "'M'", "3", "中3文3"},
        {"\xE4'M'", "'M'", "3",
         "\xE4"
         "3"},
        {"中", "\xB8\xAD", "x", "中"},
        {"abc", "", "x", "abc"},
        {"'", "'M'", "3", "'"},
        {"", "'M'", "3", ""},
    };
    for (const auto& c : cases) {
        std::string text = c.text;
        ReplaceToken(text, c.token, c.replacement);
        EXPECT_EQ(text, c.expected) << "text: " << c.text << " token: " << c.token;
    }
}

}  // namespace
}  // namespace tarvelin
