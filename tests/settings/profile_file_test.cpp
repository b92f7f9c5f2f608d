#include "settings/profile_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "temp_dir.h"

namespace tarvelin {
namespace {

using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

struct ReadCase {
    std::string_view name;
    std::string_view content;
    std::string_view section;
    std::string_view key;
    std::string_view defaultValue;
    std::string_view expected;
};

TEST(ReadProfileString, TableOfFiles_ReadsAsThePlatformFunctions) {
    const ReadCase cases[] = {
        {"plain", "[S]\r\nk=v\r\n", "S", "k", "d", "v"},
        {"missing key", "[S]\r\nk=v\r\n", "S", "x", "d", "d"},
        {"missing section", "[S]\r\nk=v\r\n", "T", "k", "d", "d"},
        {"empty value is not the default", "[S]\r\nk=\r\n", "S", "k", "d", ""},
        {"default loses trailing spaces", "[S]\r\n", "S", "k", " 0  ", " 0"},
        {"blanks around everything", "  [S]  \n \t k \t=  v v \t \n", "S", "k", "", "v v"},
        {"first equals splits", "[S]\nk = a=b = c\n", "S", "k", "", "a=b = c"},
        {"double quotes", "[S]\nk=\"abc\"\n", "S", "k", "", "abc"},
        {"single quotes", "[S]\nk='abc'\n", "S", "k", "", "abc"},
        {"only the outer pair", "[S]\nk=\"a\"b\"\n", "S", "k", "", "a\"b"},
        {"quoted blanks stay", "[S]\nk=\" a \"\n", "S", "k", "", " a "},
        {"empty quotes", "[S]\nk=\"\"\n", "S", "k", "d", ""},
        {"lone quote", "[S]\nk=\"\n", "S", "k", "", "\""},
        {"unmatched quotes", "[S]\nk=\"abc'\n", "S", "k", "", "\"abc'"},
        {"leading quote only", "[S]\nk=\"abc\n", "S", "k", "", "\"abc"},
        {"section case", "[Sec]\nk=v\n", "sEC", "k", "", "v"},
        {"key case", "[S]\nKey=v\n", "S", "kEY", "", "v"},
        {"first duplicate key", "[S]\nk=1\nK=2\n", "S", "k", "", "1"},
        {"first duplicate section", "[S]\nk=1\n[s]\nk=2\nj=3\n", "S", "j", "d", "d"},
        {"before any section", "k=v\n[S]\n", "S", "k", "d", "d"},
        {"no comments", "[S]\n;k=v\n", "S", ";k", "", "v"},
        {"hash is no comment", "[S]\nk=v ;x #y\n", "S", "k", "", "v ;x #y"},
        {"key without equals", "[S]\nflag\n", "S", "flag", "d", ""},
        {"empty key name", "[S]\n=v\n", "S", "", "d", "v"},
        {"CR line ends", "[S]\rk=v\rj=w", "S", "j", "", "w"},
        {"mixed line ends", "[A]\r\na=1\n[B]\rb=2\r\n", "B", "b", "", "2"},
        {"no final line end", "[S]\nk=v", "S", "k", "", "v"},
        {"text after header", "[S] trailing\nk=v\n", "S", "k", "", "v"},
        {"brackets inside name", "[[a]b]\nk=v\n", "[a]b", "k", "", "v"},
        {"header without close", "[S]\n[T\nk=v\n", "S", "k", "", "v"},
        {"blanks inside brackets kept", "[ S ]\nk=v\n", " S ", "k", "", "v"},
        {"key argument trimmed", "[S]\nk=v\n", "S", " k ", "", "v"},
        {"next section ends section", "[A]\n[B]\nk=v\n", "A", "k", "d", "d"},
        {"utf-8 text", "[S]\n标题=百度||www.baidu.com\n", "S", "标题", "", "百度||www.baidu.com"},
        {"byte order mark", "\xEF\xBB\xBF[S]\nk=v\n", "S", "k", "", "v"},
        {"empty file", "", "S", "k", "d", "d"},
    };
    TempDir dir;
    for (const ReadCase& c : cases) {
        WriteBytes(dir.File(), c.content);
        EXPECT_EQ(ReadProfileString(dir.File(), c.section, c.key, c.defaultValue), c.expected) << c.name;
    }
}

TEST(ReadProfileString, MissingFile_GivesDefault) {
    TempDir dir;
    EXPECT_EQ(ReadProfileString(dir.File(), "S", "k", "d"), "d");
    EXPECT_EQ(ReadProfileString(dir.Path() / "no" / "such.ini", "S", "k", ""), "");
}

TEST(ReadProfileString, LongValue_IsCutAtCharacterBoundary) {
    TempDir dir;
    struct Case {
        std::string value;
        std::size_t expectedBytes;
    };
    const Case cases[] = {
        {std::string(10239, 'a'), 10239},
        {std::string(10240, 'a'), 10239},
        {std::string(50000, 'a'), 10239},
        // 3413 three-byte characters fill 10,239 bytes exactly; one more does not fit.
        {[] { std::string s; for (int i = 0; i < 3414; ++i) s += "中"; return s; }(), 10239},
        {"a" + [] { std::string s; for (int i = 0; i < 3414; ++i) s += "中"; return s; }(), 10237},
    };
    for (const Case& c : cases) {
        WriteBytes(dir.File(), "[S]\nk=" + c.value + "\n");
        const std::string read = ReadProfileString(dir.File(), "S", "k", "");
        EXPECT_EQ(read.size(), c.expectedBytes);
        EXPECT_EQ(read, c.value.substr(0, c.expectedBytes));
    }
}

TEST(ReadProfileString, LegacyGbkFile_ReadsChineseAsUtf8) {
    TempDir dir;
    const std::filesystem::path utf8 = dir.File("utf8.ini");
    WriteBytes(utf8, "[Internet_Check_Settings_And_URL]\r\nItem_1=百度||www.baidu.com\r\nText_Name=微软雅黑\r\n");
    const std::string command = "iconv -f UTF-8 -t GBK " + utf8.string() + " > " + dir.File().string();
    ASSERT_EQ(std::system(command.c_str()), 0);
    ASSERT_NE(ReadBytes(dir.File()), ReadBytes(utf8));  // really re-encoded

    EXPECT_EQ(ReadProfileString(dir.File(), "Internet_Check_Settings_And_URL", "Item_1", ""), "百度||www.baidu.com");
    EXPECT_EQ(ReadProfileString(dir.File(), "Internet_Check_Settings_And_URL", "Text_Name", ""), "微软雅黑");
}

TEST(ReadProfileString, GbkSecondByteIsBracketOrBar_DoesNotSplitCharacter) {
    // GBK 0xB7 0x5D is U+7A44, whose second byte is ']'; 0xD8 0x7C is U+8C84, whose second byte is '|'.
    TempDir dir;
    WriteBytes(dir.File(), "[S\xB7\x5D]\nk=a\xD8\x7C|b\n");
    EXPECT_EQ(ReadProfileString(dir.File(), "S\xE7\xA9\x84", "k", "miss"), "a\xE8\xB2\x84|b");
}

TEST(ReadProfileString, NotARegularFile_GivesDefaultWithoutBlocking) {
    TempDir dir;
    ASSERT_EQ(::mkfifo(dir.File().c_str(), 0600), 0);
    EXPECT_EQ(ReadProfileString(dir.File(), "S", "k", "d"), "d");
    EXPECT_FALSE(WriteProfileString(dir.File(), "S", "k", "v"));
    std::filesystem::remove(dir.File());
    std::filesystem::create_directory(dir.File());
    EXPECT_EQ(ReadProfileString(dir.File(), "S", "k", "d"), "d");
    EXPECT_FALSE(WriteProfileString(dir.File(), "S", "k", "v"));
}

struct WriteCase {
    std::string_view name;
    std::optional<std::string_view> before;  // nothing: no file
    std::string_view section;
    std::string_view key;
    std::string_view value;
    std::string_view after;
};

TEST(WriteProfileString, TableOfEdits_ChangesOnlyWhatItMust) {
    const WriteCase cases[] = {
        {"creates file", std::nullopt, "S", "k", "v", "[S]\r\nk=v\r\n"},
        {"replaces in place", "[S]\r\na=1\r\nk=old\r\nb=2\r\n", "S", "k", "new", "[S]\r\na=1\r\nk=new\r\nb=2\r\n"},
        {"keeps stored key spelling", "[S]\r\nKey=old\r\n", "S", "kEY", "new", "[S]\r\nKey=new\r\n"},
        {"replaces first duplicate", "[S]\nk=1\nk=2\n", "S", "k", "3", "[S]\nk=3\nk=2\n"},
        {"replace drops blanks and quotes", "[S]\n  k  =  \"old\"  \n", "S", "k", "v", "[S]\nk=v\n"},
        {"key without equals gets one", "[S]\nflag\n", "S", "flag", "1", "[S]\nflag=1\n"},
        {"adds after last line of section", "[A]\r\na=1\r\n\r\n[B]\r\nb=2\r\n", "A", "k", "v",
         "[A]\r\na=1\r\nk=v\r\n\r\n[B]\r\nb=2\r\n"},
        {"adds to last section", "[A]\na=1\n[B]\nb=2\n", "B", "k", "v", "[A]\na=1\n[B]\nb=2\nk=v\n"},
        {"adds to empty section", "[A]\n[B]\n", "A", "k", "v", "[A]\nk=v\n[B]\n"},
        {"appends section", "[A]\r\na=1\r\n", "B", "k", "v", "[A]\r\na=1\r\n[B]\r\nk=v\r\n"},
        {"appends section after missing line end", "[A]\na=1", "B", "k", "v", "[A]\na=1\n[B]\nk=v\n"},
        {"adds key after missing line end", "[A]\na=1", "A", "k", "v", "[A]\na=1\nk=v\n"},
        {"new lines follow LF file", "[A]\na=1\n", "A", "k", "v", "[A]\na=1\nk=v\n"},
        {"new lines follow CR file", "[A]\ra=1\r", "A", "k", "v", "[A]\ra=1\rk=v\r"},
        {"other line ends untouched", "x\n[A]\r\na=1\rb=2\n", "A", "a", "9", "x\n[A]\r\na=9\rb=2\n"},
        {"preamble kept", "junk line\r\n[A]\r\n", "A", "k", "v", "junk line\r\n[A]\r\nk=v\r\n"},
        {"preamble only", "junk", "A", "k", "v", "junk\r\n[A]\r\nk=v\r\n"},
        {"empty file", "", "A", "k", "v", "[A]\r\nk=v\r\n"},
        {"empty value", "[A]\na=1\n", "A", "a", "", "[A]\na=\n"},
        {"section case kept", "[Sec]\n", "SEC", "k", "v", "[Sec]\nk=v\n"},
        {"byte order mark kept", "\xEF\xBB\xBF[A]\n", "A", "k", "v", "\xEF\xBB\xBF[A]\nk=v\n"},
        {"whitespace lines kept", "[A]\n  \na=1\n \t \n", "A", "k", "v", "[A]\n  \na=1\nk=v\n \t \n"},
        {"value with equals and quotes", "[A]\n", "A", "k", "\"a=b\"", "[A]\nk=\"a=b\"\n"},
    };
    TempDir dir;
    for (const WriteCase& c : cases) {
        std::filesystem::remove(dir.File());
        if (c.before) WriteBytes(dir.File(), *c.before);
        EXPECT_TRUE(WriteProfileString(dir.File(), c.section, c.key, c.value)) << c.name;
        EXPECT_EQ(ReadBytes(dir.File()), c.after) << c.name;
        EXPECT_EQ(ReadProfileString(dir.File(), c.section, c.key, "default"), c.value.starts_with('"') ? "a=b" : c.value)
            << c.name;
    }
}

TEST(WriteProfileString, UnstorableParts_AreRefusedAndFileUntouched) {
    struct Case {
        std::string_view section;
        std::string_view key;
        std::string_view value;
    };
    const Case cases[] = {
        {"S", "k", "two\nlines"}, {"S", "k", "cr\r"}, {"S\n", "k", "v"}, {"S", "k\rx", "v"},
        {"S", "a=b", "v"},        {"S", "[k]", "v"},      {"S", "k", "bad \xFF byte"}, {"S\xC0", "k", "v"},
    };
    TempDir dir;
    const std::string before = "[S]\r\nk=v\r\n";
    for (const Case& c : cases) {
        WriteBytes(dir.File(), before);
        EXPECT_FALSE(WriteProfileString(dir.File(), c.section, c.key, c.value)) << c.key << c.value;
        EXPECT_EQ(ReadBytes(dir.File()), before);
    }
}

TEST(WriteProfileString, LegacyGbkFile_BecomesUtf8AndKeepsItsText) {
    TempDir dir;
    const std::filesystem::path utf8 = dir.File("utf8.ini");
    WriteBytes(utf8, "[Internet_Check_Settings_And_URL]\r\nItem_1=百度||www.baidu.com\r\n");
    ASSERT_EQ(std::system(("iconv -f UTF-8 -t GBK " + utf8.string() + " > " + dir.File().string()).c_str()), 0);

    ASSERT_TRUE(WriteProfileString(dir.File(), "Internet_Check_Settings_And_URL", "Item_2", "新浪||sina.com.cn"));
    EXPECT_EQ(ReadBytes(dir.File()),
              "[Internet_Check_Settings_And_URL]\r\nItem_1=百度||www.baidu.com\r\nItem_2=新浪||sina.com.cn\r\n");
}

TEST(WriteProfileString, Utf16File_ReadsAndBecomesUtf8) {
    TempDir dir;
    const std::filesystem::path utf8 = dir.File("utf8.ini");
    WriteBytes(utf8, "[S]\r\nk=百度 😀\r\n");
    ASSERT_EQ(std::system(("iconv -f UTF-8 -t UTF-16LE " + utf8.string() + " > " + dir.File("body").string()).c_str()), 0);
    WriteBytes(dir.File(), "\xFF\xFE" + ReadBytes(dir.File("body")));

    EXPECT_EQ(ReadProfileString(dir.File(), "S", "k", ""), "百度 😀");
    ASSERT_TRUE(WriteProfileString(dir.File(), "S", "j", "新"));
    EXPECT_EQ(ReadBytes(dir.File()), "[S]\r\nk=百度 😀\r\nj=新\r\n");
}

TEST(WriteProfileString, RefusedWrite_LeavesFileAndNoTempFiles) {
    TempDir dir;
    const std::string before = "[S]\r\nk=v\r\n";
    WriteBytes(dir.File(), before);
    std::filesystem::permissions(dir.File(), std::filesystem::perms::owner_read);
    EXPECT_FALSE(WriteProfileString(dir.File(), "S", "k", "new"));
    EXPECT_EQ(ReadBytes(dir.File()), before);
    std::filesystem::permissions(dir.File(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

    EXPECT_FALSE(WriteProfileString(dir.Path() / "missing" / "config.ini", "S", "k", "v"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);

    if (::geteuid() == 0) return;  // root may create files in a read-only directory
    std::filesystem::permissions(dir.Path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    EXPECT_FALSE(WriteProfileString(dir.File(), "S", "k", "new"));
    EXPECT_EQ(ReadBytes(dir.File()), before);
}

TEST(WriteProfileString, ExistingFile_KeepsModeAndSymlink) {
    TempDir dir;
    const std::filesystem::path real = dir.File("real.ini");
    WriteBytes(real, "[S]\n");
    std::filesystem::permissions(real, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                                           std::filesystem::perms::group_read);
    std::filesystem::create_symlink(real, dir.File());

    ASSERT_TRUE(WriteProfileString(dir.File(), "S", "k", "v"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File()));
    EXPECT_EQ(ReadBytes(real), "[S]\nk=v\n");
    EXPECT_EQ(std::filesystem::status(real).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                  std::filesystem::perms::group_read);
}

TEST(ProfileFile, HugeOrBinaryFile_ReadsDefaultsWithoutCrash) {
    TempDir dir;
    std::string binary;
    std::uint32_t seed = 12345;
    for (int i = 0; i < 1 << 20; ++i) {
        seed = seed * 1664525u + 1013904223u;
        binary += static_cast<char>(seed >> 24);
    }
    WriteBytes(dir.File(), binary + "\n[S]\nk=v\n");
    EXPECT_EQ(ReadProfileString(dir.File(), "S", "k", "d"), "v");
    EXPECT_TRUE(WriteProfileString(dir.File(), "S", "j", "w"));
    EXPECT_EQ(ReadProfileString(dir.File(), "S", "j", "d"), "w");

    // Over the size limit: not read, and not replaced either.
    std::filesystem::resize_file(dir.File(), kMaxProfileFileBytes + 1);
    EXPECT_EQ(ReadProfileString(dir.File(), "S", "k", "d"), "d");
    EXPECT_FALSE(WriteProfileString(dir.File(), "S", "k", "v"));
    EXPECT_EQ(std::filesystem::file_size(dir.File()), kMaxProfileFileBytes + 1);
}

}  // namespace
}  // namespace tarvelin
