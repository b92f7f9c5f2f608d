#include "settings/save_settings.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>
#include <string>

#include "fake_window.h"
#include "settings/profile_file.h"
#include "settings/restore_settings.h"
#include "temp_dir.h"

namespace tarvelin {
namespace {

using testing::FakeTarget;
using testing::FakeWindow;
using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

FakeWindow WindowWithTargets(std::vector<FakeTarget> targets) {
    FakeWindow window;
    window.targets = std::move(targets);
    return window;
}

TEST(SaveSettings, NoFile_CreatesKeysInOrderWithItemNumberLast) {
    TempDir dir;
    FakeWindow window = WindowWithTargets({{"百度", "www.baidu.com", 80}, {"空", "", 0}});
    window.periodMs = 0;
    window.bold = true;
    ASSERT_TRUE(SaveSettings(dir.File(), window));
    EXPECT_EQ(ReadBytes(dir.File()),
              "[Internet_Check_Settings_And_URL]\r\n"
              "Left=675\r\nTop=305\r\nWidth=570\r\nHeight=470\r\nState=0\r\nStart=0\r\n"
              "Line_selection=1\r\nHead=1\r\nLine=0\r\ndrag=1\r\nClick=1\r\nHot=0\r\nHand=0\r\n"
              "Inactivation=0\r\nActivation=0\r\nEditFrist=0\r\nScroll=1\r\nSingle=1\r\nShowItem=1\r\n"
              "Text_Name=微软雅黑\r\nText_Size=9\r\nText_Bold=1\r\nText_Italic=0\r\nText_Underline=0\r\n"
              "Text_StrikeThrough=0\r\nText_BColor=16777215\r\nBColor=16777215\r\n"
              "Item_1=百度||www.baidu.com\r\nItem_Width_1=80\r\nItem_2=空||\r\nItem_Width_2=66\r\n"
              "Item_Number=2\r\n");
}

TEST(SaveSettings, ThenRestore_GivesBackEveryValue) {
    TempDir dir;
    FakeWindow saved = WindowWithTargets({{"a", "1.2.3.4", 70}, {"b||c", "d", 100}, {"no address", "", 66}});
    saved.rect = {-8, 12, 1024, 700};
    saved.state = kDisplayStateMaximized;
    saved.periodMs = 0;
    for (std::size_t i = 0; i < saved.ticked.size(); i += 2) saved.ticked[i] = !saved.ticked[i];
    saved.faceName = "Noto Sans CJK SC";
    saved.pointSize = 14;
    saved.italic = saved.underline = saved.strikeOut = true;
    saved.textBackground = 0x00FF00;
    saved.background = 0x123456;
    ASSERT_TRUE(SaveSettings(dir.File(), saved));

    FakeWindow restored;
    RestoreSettings(dir.File(), restored);
    // The title with "||" is saved unchanged and so comes back cut at it.
    saved.targets[1] = {"b", "c", 100};
    EXPECT_TRUE(restored.SameSettings(saved));
    EXPECT_EQ(restored.targets, saved.targets);
}

TEST(SaveSettings, ExistingFile_KeepsForeignLinesAndStaleItems) {
    TempDir dir;
    WriteBytes(dir.File(), "; notes\n[Other]\nx=1\n[internet_check_settings_and_url]\nitem_number=5\nItem_5=old||x\n"
                           "Mine=keep\n\n[Tail]\ny=2\n");
    const FakeWindow window = WindowWithTargets({{"t", "a", 66}});
    ASSERT_TRUE(SaveSettings(dir.File(), window));
    const std::string after = ReadBytes(dir.File());
    EXPECT_TRUE(after.starts_with("; notes\n[Other]\nx=1\n[internet_check_settings_and_url]\nitem_number=1\n"
                                  "Item_5=old||x\nMine=keep\nLeft=675\n"));
    EXPECT_TRUE(after.ends_with("Item_1=t||a\nItem_Width_1=66\n\n[Tail]\ny=2\n"));

    FakeWindow restored;
    RestoreSettings(dir.File(), restored);
    EXPECT_EQ(restored.targets, window.targets);
    EXPECT_EQ(ReadProfileString(dir.File(), "Other", "x", ""), "1");
}

TEST(SaveSettings, LineBreakOrStrayByteInTitle_StaysOneUtf8Line) {
    TempDir dir;
    ASSERT_TRUE(SaveSettings(dir.File(), WindowWithTargets({{"two\nlines", "a\r\nb", 66}, {"标\xFF题", "x", 66}})));
    FakeWindow restored;
    RestoreSettings(dir.File(), restored);
    EXPECT_EQ(restored.targets,
              (std::vector<FakeTarget>{{"two lines", "a  b", 66}, {"标\xEF\xBF\xBD题", "x", 66}}));
}

TEST(SaveSettings, RefusedWrite_LeavesOldFileWhole) {
    TempDir dir;
    ASSERT_TRUE(SaveSettings(dir.File(), WindowWithTargets({{"old", "o", 66}})));
    const std::string before = ReadBytes(dir.File());
    std::filesystem::permissions(dir.File(), std::filesystem::perms::owner_read);
    EXPECT_FALSE(SaveSettings(dir.File(), WindowWithTargets({{"new", "n", 66}, {"new2", "n", 66}})));
    EXPECT_EQ(ReadBytes(dir.File()), before);
    EXPECT_FALSE(SaveSettings(dir.Path() / "gone" / "config.ini", FakeWindow()));
}

// Two windows whose saves differ in every target and in the geometry; the file must always be exactly
// one of the two complete saves.
FakeWindow NumberedWindow(char tag, int count) {
    FakeWindow window;
    window.rect.left = tag;
    for (int k = 1; k <= count; ++k) {
        window.targets.push_back({std::string(40, tag) + std::to_string(k), "host" + std::to_string(k), 60 + k});
    }
    return window;
}

TEST(SaveSettings, ProcessKilledDuringSaves_LeavesOneWholeVersion) {
    TempDir dir;
    const FakeWindow first = NumberedWindow('A', 300);
    const FakeWindow second = NumberedWindow('B', 200);
    // Save both once so that the stale keys each leaves are in place; from then on the file alternates
    // between exactly two contents.
    ASSERT_TRUE(SaveSettings(dir.File(), first));
    ASSERT_TRUE(SaveSettings(dir.File(), second));
    const std::string secondBytes = ReadBytes(dir.File());
    ASSERT_TRUE(SaveSettings(dir.File(), first));
    const std::string firstBytes = ReadBytes(dir.File());

    std::mt19937 random(20261211);
    int sawFirst = 0;
    int sawSecond = 0;
    for (int round = 0; round < 30; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int i = 0;; ++i) SaveSettings(dir.File(), i % 2 == 0 ? second : first);
        }
        ::usleep(std::uniform_int_distribution<useconds_t>(1000, 30000)(random));
        ASSERT_EQ(::kill(child, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status));

        const std::string bytes = ReadBytes(dir.File());
        ASSERT_TRUE(bytes == firstBytes || bytes == secondBytes) << "round " << round << ", " << bytes.size() << " bytes";
        (bytes == firstBytes ? sawFirst : sawSecond)++;
        FakeWindow restored;
        RestoreSettings(dir.File(), restored);
        EXPECT_EQ(restored.targets.size(), bytes == firstBytes ? 300u : 200u);
    }
    RecordProperty("first", sawFirst);
    RecordProperty("second", sawSecond);
}

}  // namespace
}  // namespace tarvelin
