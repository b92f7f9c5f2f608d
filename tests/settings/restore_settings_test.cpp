#include "settings/restore_settings.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "fake_window.h"
#include "temp_dir.h"

namespace tarvelin {
namespace {

using testing::FakeTarget;
using testing::FakeWindow;
using testing::TempDir;
using testing::WriteBytes;

constexpr std::string_view kHeader = "[Internet_Check_Settings_And_URL]\r\n";

FakeWindow RestoreFrom(const TempDir& dir, std::string_view keyLines) {
    WriteBytes(dir.File(), std::string(kHeader) + std::string(keyLines));
    FakeWindow window;
    RestoreSettings(dir.File(), window);
    return window;
}

std::vector<std::string> OptionCommands(const FakeWindow& window) {
    std::vector<std::string> commands;
    for (const std::string& entry : window.log) {
        if (entry.starts_with("option ")) commands.push_back(entry.substr(7));
    }
    return commands;
}

TEST(RestoreSettings, NoFile_ChangesNothing) {
    TempDir dir;
    FakeWindow window;
    RestoreSettings(dir.File(), window);
    EXPECT_TRUE(window.log.empty());
    EXPECT_TRUE(window.SameSettings(FakeWindow()));
}

struct KeyCase {
    std::string_view name;
    std::string_view lines;
    std::function<void(const FakeWindow&)> check;
};

TEST(RestoreSettings, TableOfKeys_AppliesEachAsStored) {
    const KeyCase cases[] = {
        {"Start empty pauses", "Start=\r\n", [](const FakeWindow& w) { EXPECT_EQ(w.periodMs, 0); }},
        {"Start absent runs", "", [](const FakeWindow& w) { EXPECT_EQ(w.periodMs, 1000); }},
        {"Start 0 pauses", "Start=0\r\n", [](const FakeWindow& w) { EXPECT_EQ(w.periodMs, 0); }},
        {"Start -1 pauses", "Start=-1\r\n", [](const FakeWindow& w) { EXPECT_EQ(w.periodMs, 0); }},
        {"Start abc pauses", "Start=abc\r\n", [](const FakeWindow& w) { EXPECT_EQ(w.periodMs, 0); }},
        {"Start 5 runs", "Start=5\r\n", [](const FakeWindow& w) { EXPECT_EQ(w.periodMs, 1000); }},
        {"State 2 normal", "State=2\r\n", [](const FakeWindow& w) { EXPECT_EQ(w.state, kDisplayStateNormal); }},
        {"State 1 normal", "State=1\r\n", [](const FakeWindow& w) { EXPECT_EQ(w.state, kDisplayStateNormal); }},
        {"State 3 maximized", "State=3\r\n", [](const FakeWindow& w) { EXPECT_EQ(w.state, kDisplayStateMaximized); }},
        {"State 9 maximized", "State=9\r\n", [](const FakeWindow& w) { EXPECT_EQ(w.state, kDisplayStateMaximized); }},
        {"geometry applied", "Left=10\r\nTop=20\r\nWidth=300\r\nHeight=200\r\n",
         [](const FakeWindow& w) { EXPECT_EQ(w.rect, (WindowRect{10, 20, 300, 200})); }},
        {"partial geometry keeps the rest", "Width=300\r\n",
         [](const FakeWindow& w) { EXPECT_EQ(w.rect, (WindowRect{675, 305, 300, 470})); }},
        {"off every screen centres", "Left=5000\r\nTop=-3000\r\nWidth=400\r\nHeight=300\r\n",
         [](const FakeWindow& w) { EXPECT_EQ(w.rect, (WindowRect{760, 390, 400, 300})); }},
        {"partly on screen kept", "Left=-100\r\nTop=-50\r\n",
         [](const FakeWindow& w) { EXPECT_EQ(w.rect, (WindowRect{-100, -50, 570, 470})); }},
        {"no option keys", "",
         [](const FakeWindow& w) {
             EXPECT_EQ(OptionCommands(w), (std::vector<std::string>{"Hand", "Inactivation", "Activation"}));
         }},
        {"option value 2 matches no trigger", "Line_selection=2\r\nLine=2\r\nHand=2\r\nInactivation=0\r\nActivation=0\r\n",
         [](const FakeWindow& w) {
             EXPECT_TRUE(OptionCommands(w).empty());
             EXPECT_TRUE(w.Ticked(DisplayOption::kLineSelection));
             EXPECT_FALSE(w.Ticked(DisplayOption::kLine));
         }},
        {"every trigger", "Line_selection=0\r\nHead=0\r\nLine=1\r\ndrag=0\r\nClick=0\r\nHot=1\r\nEditFrist=1\r\n"
                          "Scroll=0\r\nSingle=0\r\nShowItem=0\r\nHand=0\r\nInactivation=0\r\nActivation=0\r\n",
         [](const FakeWindow& w) {
             EXPECT_EQ(OptionCommands(w), (std::vector<std::string>{"Line_selection", "Head", "Line", "drag", "Click",
                                                                    "Hot", "EditFrist", "Scroll", "Single",
                                                                    "ShowItem"}));
         }},
        {"option key case ignored, value exact", "HOT=1\r\nline= 1 \r\nEditFrist=01\r\n",
         [](const FakeWindow& w) {
             EXPECT_EQ(OptionCommands(w),
                       (std::vector<std::string>{"Line", "Hot", "Hand", "Inactivation", "Activation"}));
         }},
        {"bold yes is not bold", "Text_Bold=yes\r\nText_Italic=1\r\nText_Underline=true\r\nText_StrikeThrough=1\r\n",
         [](const FakeWindow& w) {
             EXPECT_FALSE(w.bold);
             EXPECT_TRUE(w.italic);
             EXPECT_FALSE(w.underline);
             EXPECT_TRUE(w.strikeOut);
         }},
        {"face kept", "Text_Name=Arial\r\n", [](const FakeWindow& w) { EXPECT_EQ(w.faceName, "Arial"); }},
        {"face absent keeps current", "", [](const FakeWindow& w) { EXPECT_EQ(w.faceName, "微软雅黑"); }},
        {"face empty falls back", "Text_Name=\r\n", [](const FakeWindow& w) { EXPECT_EQ(w.faceName, "宋体"); }},
        {"face of 31 bytes kept", "Text_Name=abcdefghijklmnopqrstuvwxyz12345\r\n",
         [](const FakeWindow& w) { EXPECT_EQ(w.faceName, "abcdefghijklmnopqrstuvwxyz12345"); }},
        {"face of 32 bytes falls back", "Text_Name=abcdefghijklmnopqrstuvwxyz123456\r\n",
         [](const FakeWindow& w) { EXPECT_EQ(w.faceName, "宋体"); }},
        {"face of 16 Chinese characters falls back", "Text_Name=一二三四五六七八九十一二三四五六\r\n",
         [](const FakeWindow& w) { EXPECT_EQ(w.faceName, "宋体"); }},
        {"face of 15 Chinese characters and one letter kept", "Text_Name=一二三四五六七八九十一二三四五a\r\n",
         [](const FakeWindow& w) { EXPECT_EQ(w.faceName, "一二三四五六七八九十一二三四五a"); }},
        {"size applied", "Text_Size=12\r\n", [](const FakeWindow& w) { EXPECT_EQ(w.pointSize, 12); }},
        {"size at bound applied", "Text_Size=200\r\n", [](const FakeWindow& w) { EXPECT_EQ(w.pointSize, 200); }},
        {"size 0 kept", "Text_Size=0\r\n", [](const FakeWindow& w) { EXPECT_EQ(w.pointSize, 9); }},
        {"size negative kept", "Text_Size=-12\r\n", [](const FakeWindow& w) { EXPECT_EQ(w.pointSize, 9); }},
        {"size absurd kept", "Text_Size=99999\r\n", [](const FakeWindow& w) { EXPECT_EQ(w.pointSize, 9); }},
        {"colours absent are white", "",
         [](const FakeWindow& w) {
             EXPECT_EQ(w.textBackground, 16777215);
             EXPECT_EQ(w.background, 16777215);
         }},
        {"colours applied", "Text_BColor=255\r\nBColor=65280\r\n",
         [](const FakeWindow& w) {
             EXPECT_EQ(w.textBackground, 255);
             EXPECT_EQ(w.background, 65280);
         }},
        {"full-width digits", "Text_Size=\xEF\xBC\x91\xEF\xBC\x94\r\n",
         [](const FakeWindow& w) { EXPECT_EQ(w.pointSize, 14); }},
    };
    TempDir dir;
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.name);
        c.check(RestoreFrom(dir, c.lines));
    }
}

TEST(RestoreSettings, TableOfTargets_KeepsListsAndColumnsInStep) {
    struct Case {
        std::string_view name;
        std::string_view lines;
        std::vector<FakeTarget> expected;
    };
    const Case cases[] = {
        {"no number", "Item_1=a||b\r\n", {}},
        {"number 0", "Item_Number=0\r\nItem_1=a||b\r\n", {}},
        {"number negative", "Item_Number=-3\r\nItem_1=a||b\r\n", {}},
        {"number abc", "Item_Number=abc\r\nItem_1=a||b\r\n", {}},
        {"two with widths", "Item_Number=2\r\nItem_1=百度||www.baidu.com\r\nItem_Width_1=80\r\nItem_2=b||c\r\n",
         {{"百度", "www.baidu.com", 80}, {"b", "c", 66}}},
        {"stale keys beyond number", "Item_Number=1\r\nItem_1=a||b\r\nItem_2=x||y\r\nItem_Width_2=9\r\n",
         {{"a", "b", 66}}},
        {"width abc is 0", "Item_Number=1\r\nItem_1=a||b\r\nItem_Width_1=abc\r\n", {{"a", "b", 0}}},
        {"width negative is 0", "Item_Number=1\r\nItem_1=a||b\r\nItem_Width_1=-5\r\n", {{"a", "b", 0}}},
        {"empty address kept", "Item_Number=1\r\nItem_1=a||\r\n", {{"a", "", 66}}},
        {"no bars kept as title", "Item_Number=1\r\nItem_1=lonely\r\n", {{"lonely", "", 66}}},
        {"title with bars splits", "Item_Number=1\r\nItem_1=a||b||c\r\n", {{"a", "b", 66}}},
        {"empty title", "Item_Number=1\r\nItem_1=||b\r\n", {{"", "b", 66}}},
        {"gap ends list", "Item_Number=3\r\nItem_1=a||b\r\nItem_3=c||d\r\n", {{"a", "b", 66}}},
        {"empty entry ends list", "Item_Number=2\r\nItem_1=\r\nItem_2=c||d\r\n", {}},
        {"enormous number", "Item_Number=2147483647\r\nItem_1=a||b\r\nItem_2=c||d\r\n",
         {{"a", "b", 66}, {"c", "d", 66}}},
        {"number with blanks", "Item_Number=  1 \r\nItem_1=a||b\r\n", {{"a", "b", 66}}},
    };
    TempDir dir;
    for (const Case& c : cases) EXPECT_EQ(RestoreFrom(dir, c.lines).targets, c.expected) << c.name;
}

TEST(RestoreSettings, FullFile_AppliesInTheWindowsOrder) {
    TempDir dir;
    const FakeWindow window = RestoreFrom(dir,
        "Item_Number=1\r\nItem_1=t||a\r\nBColor=1\r\nText_BColor=2\r\nText_StrikeThrough=0\r\nText_Underline=0\r\n"
        "Text_Italic=0\r\nText_Bold=1\r\nText_Size=10\r\nText_Name=Arial\r\nHand=1\r\nHot=1\r\nStart=1\r\n"
        "State=0\r\nHeight=400\r\nWidth=500\r\nTop=30\r\nLeft=40\r\nInactivation=0\r\nActivation=0\r\n");
    const std::vector<std::string> expected = {
        "rect 40,305,570,470", "rect 40,30,570,470", "rect 40,30,500,470", "rect 40,30,500,400", "normal",
        "period 1000", "option Hot", "option Hand", "face Arial", "size 10", "bold on", "italic off",
        "underline off", "strikeout off", "text background 2", "background 1", "target t|a|66"};
    EXPECT_EQ(window.log, expected);
}

TEST(RestoreSettings, GarbageFiles_StartWithoutCrashOrHang) {
    std::string binary;
    std::uint32_t seed = 7;
    for (int i = 0; i < 1 << 20; ++i) {
        seed = seed * 1664525u + 1013904223u;
        binary += static_cast<char>(seed >> 24);
    }
    const std::string cases[] = {
        binary,
        std::string(kHeader) + binary + "\r\nItem_Number=2147483647\r\n",
        std::string(kHeader) + "Item_Number=99999999999\r\nItem_1=" + std::string(100000, '|') + "\r\n",
        std::string(kHeader) + "Left=-2147483648\r\nTop=2147483647\r\nWidth=2147483647\r\nHeight=-1\r\n",
        std::string(200000, '\n') + std::string(200000, '['),
        std::string(3, '\0') + "[Internet_Check_Settings_And_URL]\0\r\nStart=0\0\r\n",
    };
    TempDir dir;
    for (const std::string& content : cases) {
        WriteBytes(dir.File(), content);
        FakeWindow window;
        RestoreSettings(dir.File(), window);
        EXPECT_LE(window.targets.size(), 1u);
    }
    // Too big to read: the file counts as present with every key at its default.
    std::filesystem::resize_file(dir.File(), std::size_t{64} << 20);
    FakeWindow window;
    RestoreSettings(dir.File(), window);
    EXPECT_EQ(window.periodMs, 1000);
    EXPECT_EQ(OptionCommands(window), (std::vector<std::string>{"Hand", "Inactivation", "Activation"}));
}

}  // namespace
}  // namespace tarvelin
