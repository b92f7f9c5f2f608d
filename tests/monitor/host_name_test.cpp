#include "monitor/host_name.h"

#include <climits>

#include <gtest/gtest.h>

namespace tarvelin {
namespace {

// "中" is E4 B8 AD and "文" E6 96 87: the cases below use their inner bytes to show that a match never
// begins inside a character.
constexpr const char* kZhongWen = "中文";

TEST(TextPrimitivesTest, Find_PositionRules_FollowOneBasedContract) {
    struct Case {
        const char* text;
        const char* s;
        std::optional<std::int64_t> from;
        bool ignoreCase;
        std::int64_t expected;
    } const cases[] = {
        {"abcabc", "c", std::nullopt, false, 3},
        {"abcabc", "c", 3, false, 3},
        {"abcabc", "c", 4, false, 6},
        {"abcabc", "c", 6, false, 6},
        {"abcabc", "c", 7, false, -1},
        {"abcabc", "c", 0, false, 3},
        {"abcabc", "c", -5, false, 3},
        {"abcabc", "x", std::nullopt, false, -1},
        {"abcabc", "bca", 1, false, 2},
        {"abc", "abcd", std::nullopt, false, -1},
        {"abc", "", std::nullopt, false, 1},
        {"abc", "", 2, false, 2},
        {"abc", "", 3, false, 3},
        {"abc", "", 4, false, -1},
        {"", "", std::nullopt, false, -1},
        {"", "a", std::nullopt, false, -1},
        {"aBc", "b", std::nullopt, false, -1},
        {"aBc", "b", std::nullopt, true, 2},
        {"ABC", "abc", std::nullopt, true, 1},
        {kZhongWen, "文", std::nullopt, false, 4},
        {kZhongWen, "\xB8\xAD", std::nullopt, false, -1},
        {kZhongWen, "文", 2, false, 4},
        {kZhongWen, "", 2, false, 4},
        {kZhongWen, "", 5, false, -1},
        {"\xFF"
         "a",
         "a", std::nullopt, false, 2},
        {"\xE4"
         "a\xB8",
         "\xB8", std::nullopt, false, 3},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TextFind(c.text, c.s, c.from, c.ignoreCase), c.expected)
            << "find(\"" << c.text << "\", \"" << c.s << "\", " << c.from.value_or(INT_MIN) << ")";
    }
}

TEST(TextPrimitivesTest, Rfind_OccurrenceEndsBeforeFrom_FollowsOneBasedContract) {
    struct Case {
        const char* text;
        const char* s;
        std::optional<std::int64_t> from;
        std::int64_t expected;
    } const cases[] = {
        {"a.b.c", ".", std::nullopt, 4},
        {"a.b.c", ".", 5, 4},
        {"a.b.c", ".", 4, 2},
        {"a.b.c", ".", 3, 2},
        {"a.b.c", ".", 2, -1},
        {"a.b.c", ".", 1, -1},
        {"a.b.c", ".", 0, -1},
        {"a.b.c", ".", -1, -1},
        {"a.b.", ".", 4, 2},
        {"a.b.", ".", 5, 4},
        {"a.b.", ".", std::nullopt, 4},
        {"abab", "ab", 4, 1},
        {"abab", "ab", 5, 3},
        {"abc", "x", std::nullopt, -1},
        {"", ".", std::nullopt, -1},
        {"中.文", ".", std::nullopt, 4},
        {kZhongWen, "\x96\x87", std::nullopt, -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TextRfind(c.text, c.s, c.from), c.expected)
            << "rfind(\"" << c.text << "\", \"" << c.s << "\", " << c.from.value_or(INT_MIN) << ")";
    }
}

TEST(TextPrimitivesTest, LeftRightMid_CountsOutOfRange_ClampOrGiveEmpty) {
    EXPECT_EQ(TextLeft("abc", 2), "ab");
    EXPECT_EQ(TextLeft("abc", 5), "abc");
    EXPECT_EQ(TextLeft("abc", 0), "");
    EXPECT_EQ(TextLeft("abc", -1), "");
    EXPECT_EQ(TextLeft(kZhongWen, 1), "\xE4");
    EXPECT_EQ(TextRight("abc", 2), "bc");
    EXPECT_EQ(TextRight("abc", 9), "abc");
    EXPECT_EQ(TextRight("abc", 0), "");
    EXPECT_EQ(TextRight("abc", -4), "");
    struct Case {
        std::int64_t p, n;
        const char* expected;
    } const midCases[] = {{2, 3, "bcd"}, {4, 9, "de"}, {5, 1, "e"}, {1, 5, "abcde"}, {0, 2, ""},
                          {-1, 3, ""},   {6, 1, ""},   {2, 0, ""},  {2, -1, ""}};
    for (const auto& c : midCases) {
        EXPECT_EQ(TextMid("abcde", c.p, c.n), c.expected) << "mid(abcde, " << c.p << ", " << c.n << ")";
    }
}

TEST(TextPrimitivesTest, ReplaceAll_LeftToRightWithoutOverlap_ReplacesEveryOccurrence) {
    struct Case {
        const char *text, *from, *to, *expected;
    } const cases[] = {
        {"aaa", "aa", "b", "ba"},
        {"a.b.c", ".", "", "abc"},
        {"", "a", "b", ""},
        {"abc", "", "x", "abc"},
        {"中文中", "中", "x", "x文x"},
        {"\xB8\xAD中", "\xB8\xAD", "x", "x中"},
        {"http://http://x", "http://", "", "x"},
        {"ab", "abc", "x", "ab"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TextReplaceAll(c.text, c.from, c.to), c.expected) << c.text << " / " << c.from;
    }
}

TEST(TextPrimitivesTest, Split_EmptyPieces_KeptExceptTrailingOne) {
    using Pieces = std::vector<std::string>;
    struct Case {
        const char* text;
        Pieces expected;
    } const cases[] = {
        {"a.b.c", {"a", "b", "c"}},
        {"a..b", {"a", "", "b"}},
        {".a", {"", "a"}},
        {"a.", {"a"}},
        {"a.b..", {"a", "b", ""}},
        {"", {}},
        {".", {""}},
        {"..", {"", ""}},
        {"abc", {"abc"}},
    };
    for (const auto& c : cases) EXPECT_EQ(TextSplit(c.text, "."), c.expected) << c.text;
    EXPECT_EQ(TextSplit("a::b", "::"), (Pieces{"a", "b"}));
}

TEST(TextPrimitivesTest, Lower_NonAsciiBytes_StayUnchanged) {
    EXPECT_EQ(TextLower("HeLLo 中文 ÀZ@[\xFF"), "hello 中文 Àz@[\xFF");
}

TEST(TextBetweenTest, Markers_FoundInOrder_GiveTextBetweenThem) {
    struct Case {
        const char *text, *start, *end;
        std::optional<int> startPosition;
        std::optional<bool> ignoreCase;
        const char* expected;
    } const cases[] = {
        {"a[b]c", "[", "]", std::nullopt, std::nullopt, "b"},
        {"a[b]c", "(", "]", std::nullopt, std::nullopt, ""},
        {"a[b]c", "[", ")", std::nullopt, std::nullopt, ""},
        {"a[]c", "[", "]", std::nullopt, std::nullopt, ""},
        {"a]b[c", "[", "]", std::nullopt, std::nullopt, ""},
        {"abc]", "", "]", std::nullopt, std::nullopt, "abc"},
        {"abc", "a", "", std::nullopt, std::nullopt, ""},
        {"abc", "c", "", std::nullopt, std::nullopt, ""},
        {"abc", "", "", std::nullopt, std::nullopt, ""},
        {"", "", "", std::nullopt, std::nullopt, ""},
        {"say \"hi\" now", "#引号", "#引号", std::nullopt, std::nullopt, "hi"},
        {"a#引号b\"c\"", "#引号", "#引号", std::nullopt, std::nullopt, "c"},
        {"k=\"v\";", "k=#引号", "#引号;", std::nullopt, std::nullopt, "v"},
        {"[a][b]", "[", "]", std::nullopt, std::nullopt, "a"},
        {"[a][b]", "[", "]", -3, std::nullopt, "a"},
        {"[a][b]", "[", "]", 1, std::nullopt, "a"},
        {"[a][b]", "[", "]", 2, std::nullopt, "b"},
        {"[a][b]", "[", "]", 4, std::nullopt, "b"},
        {"[a][b]", "[", "]", 5, std::nullopt, ""},
        {"[a]", "[", "]", 4, std::nullopt, ""},
        {"[a]", "[", "]", INT_MAX, std::nullopt, ""},
        {"x<TAG>Body</tag>", "<tag>", "</TAG>", std::nullopt, true, "Body"},
        {"x<TAG>Body</tag>", "<tag>", "</TAG>", std::nullopt, false, ""},
        {"x<tag>Body</TAG>", "<tag>", "</TAG>", std::nullopt, false, "Body"},
        {"中[文]", "[", "]", std::nullopt, std::nullopt, "文"},
        {"中]", "", "]", 2, std::nullopt, ""},
        {"中文]", "\xB8\xAD", "]", std::nullopt, std::nullopt, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TextBetween(c.text, c.start, c.end, c.startPosition, c.ignoreCase), c.expected)
            << "between(\"" << c.text << "\", \"" << c.start << "\", \"" << c.end << "\")";
    }
}

TEST(ExtractHostNameTest, SamplingOptions_TypedAddresses_GiveHostName) {
    struct Case {
        const char *address, *expected;
    } const cases[] = {
        {"host.tld", "host.tld"},
        {"Host.TLD", "host.tld"},
        {"HTTPS://Host.tld", "host.tld"},
        {"http://host.tld/path/page", "host.tld"},
        {"https://host.tld:8443/a", "host.tld"},
        {"host.tld:8080", "host.tld"},
        {"192.168.1.1", "192.168.1.1"},
        {"", ""},
        {"http://", ""},
        {"https://", ""},
        {"w1.host.tld/?next=http://other.tld/", "other.tld"},
        {"w1.host.tld/https://other.tld", "w1.host.tld"},
        {"ftp://host/", "ftp"},
        {"user:secret@host.tld", "user"},
        {" host.tld", " host.tld"},
        {"HTTP://Host.TLD/", "host.tld"},
        {"https://a.tld/?u=http://b.tld/", "a.tld"},
        {"/", ""},
        {"主机.中国/页", "主机.中国"},
    };
    for (const auto& c : cases) EXPECT_EQ(ExtractHostName(c.address), c.expected) << "address: " << c.address;
}

TEST(ExtractHostNameTest, Options_EachMode_ShortensAndCutsAsAsked) {
    struct Case {
        const char* address;
        std::optional<bool> domainOnly, keepPort;
        std::optional<int> levels;
        const char* expected;
    } const cases[] = {
        // Scheme mode.
        {"w1.host.tld", true, std::nullopt, std::nullopt, "host.tld"},
        {"host.tld", true, std::nullopt, std::nullopt, "host.tld"},
        {"a.b.host.tld:8080", true, std::nullopt, std::nullopt, "host.tld"},
        {"a.b.host.tld:8080", true, true, std::nullopt, "host.tld:8080"},
        {"host.tld:8080", false, true, std::nullopt, "host.tld:8080"},
        {"host.tld:8080", std::nullopt, false, std::nullopt, "host.tld"},
        {"localhost", true, std::nullopt, std::nullopt, "localhost"},
        {"host.", true, std::nullopt, std::nullopt, "host."},
        {".tld", true, std::nullopt, std::nullopt, ".tld"},
        {"a..tld", true, std::nullopt, std::nullopt, ".tld"},
        {"a.b..", true, std::nullopt, std::nullopt, "b."},
        {"https://x.y.z/p", true, std::nullopt, std::nullopt, "y.z"},
        // Level mode.
        {"a.b.host.tld", std::nullopt, std::nullopt, 0, "host.tld"},
        {"b.host.tld", true, std::nullopt, 0, "tld"},
        {"a.b.host.tld", std::nullopt, std::nullopt, 1, "b.host.tld"},
        {"a.b.host.tld", true, std::nullopt, 1, "host.tld"},
        {"host.tld", std::nullopt, std::nullopt, 0, "host.tld"},
        {"host.tld", std::nullopt, std::nullopt, 1, "host.tld"},
        {"host.tld", std::nullopt, std::nullopt, 5, "host.tld"},
        {"localhost", std::nullopt, std::nullopt, 0, "localhost"},
        {"localhost", true, std::nullopt, 3, "localhost"},
        {"a.b.host.tld", std::nullopt, std::nullopt, -1, "host.tld"},
        {"a.b.host.tld", true, std::nullopt, -7, "tld"},
        {"a.b.host.tld", std::nullopt, std::nullopt, INT_MAX, "a.b.host.tld"},
        {"a.b.host.tld", true, std::nullopt, INT_MAX, "a.b.host.tld"},
        {"a.b.host.tld", std::nullopt, std::nullopt, INT_MIN, "host.tld"},
        {"http://host.tld/x?u=https://other.tld", std::nullopt, std::nullopt, 0, "host.tld"},
        {"x.https://host.tld", std::nullopt, std::nullopt, 0, "host.tld"},
        {"hthttp://tp://x.y", std::nullopt, std::nullopt, 0, "http"},
        {"host.tld.", std::nullopt, std::nullopt, 0, "host.tld."},
        {"host.tld.", true, std::nullopt, 0, "tld."},
        {"a.host.tld.", std::nullopt, std::nullopt, 0, "host.tld."},
        {"WWW.Host.TLD", std::nullopt, std::nullopt, 0, "host.tld"},
        {"www.host.tld:8080/x", std::nullopt, std::nullopt, 0, "host.tld"},
        {"www.host.tld:8080/x", std::nullopt, true, 0, "host.tld:8080"},
        {"https://a.b.tld/p", true, std::nullopt, 0, "tld"},
        {"", std::nullopt, std::nullopt, 0, ""},
        {"", true, std::nullopt, 2, ""},
        {"/path", std::nullopt, std::nullopt, 0, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExtractHostName(c.address, c.domainOnly, c.keepPort, c.levels), c.expected)
            << "address: " << c.address << " domainOnly " << c.domainOnly.value_or(false) << " keepPort "
            << c.keepPort.value_or(false) << " levels " << (c.levels ? std::to_string(*c.levels) : "absent");
    }
}

}  // namespace
}  // namespace tarvelin
