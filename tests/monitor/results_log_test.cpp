#include "monitor/results_log.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace tarvelin {
namespace {

DateTime At(int hour, int minute, int second) {
    return *DateTime::FromFields(2016, 3, 16, hour, minute, second);
}

// Every cell of the log as text, row by row.
std::vector<std::vector<std::string>> Grid(const ResultsLog& log) {
    std::vector<std::vector<std::string>> grid(static_cast<std::size_t>(log.RowCount()));
    for (int row = 0; row < log.RowCount(); ++row) {
        for (int column = 0; column < log.ColumnCount(); ++column) grid[row].push_back(log.CellText(row, column));
    }
    return grid;
}

TEST(ResultsLogTest, NewLog_HasTimeColumnAloneAndNoRows) {
    const ResultsLog log;
    EXPECT_EQ(log.ColumnCount(), 1);
    EXPECT_EQ(log.RowCount(), 0);
    EXPECT_EQ(log.ColumnCaption(0), "时间");
    EXPECT_EQ(log.CellText(0, 0), "");
}

TEST(ResultsLogTest, InsertTopRow_Twice_NewestOnTopWithDefaultLabelAndEmptyCells) {
    ResultsLog log;
    log.AppendColumn("a", 7);
    const RowSerial first = log.InsertTopRow(At(9, 5, 7));
    const RowSerial second = log.InsertTopRow(At(23, 59, 59));
    EXPECT_EQ(second, first + 1);
    EXPECT_EQ(Grid(log),
              (std::vector<std::vector<std::string>>{{"2016/03/16 23:59:59", ""}, {"2016/03/16 09:05:07", ""}}));
    EXPECT_EQ(log.RowOf(first), 1);
    EXPECT_EQ(log.SerialOf(0), second);
    EXPECT_EQ(log.RowTime(1), At(9, 5, 7));
}

TEST(ResultsLogTest, SetResult_EachOutcome_ShowsItsText) {
    struct Case {
        int ms;
        std::string text;
    } const cases[] = {
        {0, "0ms"},
        {37, "37ms"},
        {-1,
         "\u2265"
         "1000ms"},
        {-7, "≥1000ms"},
        {999, "999ms"},
        {1000, "1000ms"},
        {65532, "65532ms"},
        {65533, "65533ms"},
        {65534, "65534ms"},
        {2000000000, "2000000000ms"},
    };
    for (const auto& c : cases) {
        ResultsLog log;
        log.AppendColumn("a", 1);
        const RowSerial row = log.InsertTopRow(At(0, 0, 0));
        const auto place = log.SetResult(row, 1, c.ms);
        ASSERT_TRUE(place) << c.ms;
        EXPECT_EQ(place->row, 0);
        EXPECT_EQ(place->column, 1);
        EXPECT_EQ(log.CellText(0, 1), c.text) << c.ms;
        EXPECT_EQ(ResultText(c.ms), c.text) << c.ms;
    }
}

TEST(ResultsLogTest, SetCellText_AnyText_ReadsBackExactly) {
    const std::string texts[] = {"",     "0ms",     "37ms",          "≥1000ms", "037ms", "ms",  "-1ms",
                                 "1 ms", "65533ms", "99999999999ms", "abc",     "≥",     "时间"};
    for (const std::string& text : texts) {
        ResultsLog log;
        log.AppendColumn("a", 1);
        log.InsertTopRow(At(0, 0, 0));
        ASSERT_TRUE(log.SetCellText(0, 1, "old text"));
        EXPECT_TRUE(log.SetCellText(0, 1, text)) << text;
        EXPECT_EQ(log.CellText(0, 1), text);
    }
}

TEST(ResultsLogTest, SetCellText_TimeColumn_ReplacesLabelOfThatRowOnly) {
    ResultsLog log;
    log.AppendColumn("a", 1);
    log.InsertTopRow(At(1, 0, 0));
    log.InsertTopRow(At(2, 0, 0));
    ASSERT_TRUE(log.SetCellText(1, 0, "note"));
    log.InsertTopRow(At(3, 0, 0));
    EXPECT_EQ(log.CellText(2, 0), "note");
    EXPECT_EQ(log.CellText(1, 0), "2016/03/16 02:00:00");
    EXPECT_EQ(log.CellText(0, 0), "2016/03/16 03:00:00");
}

TEST(ResultsLogTest, SetCellText_NoSuchCell_ChangesNothing) {
    ResultsLog log;
    log.AppendColumn("a", 1);
    log.InsertTopRow(At(1, 0, 0));
    const auto before = Grid(log);
    for (const auto& [row, column] : std::vector<std::pair<int, int>>{{-1, 0}, {1, 0}, {0, -1}, {0, 2}, {5, 5}}) {
        EXPECT_FALSE(log.SetCellText(row, column, "x")) << row << "," << column;
    }
    EXPECT_EQ(Grid(log), before);
}

TEST(ResultsLogTest, AppendColumn_WithRows_OlderCellsEmptyAndWritable) {
    ResultsLog log;
    log.AppendColumn("a", 1);
    const RowSerial old = log.InsertTopRow(At(1, 0, 0));
    log.SetResult(old, 1, 5);
    log.AppendColumn("b", 2);
    EXPECT_EQ(log.ColumnCount(), 3);
    EXPECT_EQ(log.ColumnCaption(2), "b");
    EXPECT_EQ(log.CellText(0, 1), "5ms");
    EXPECT_EQ(log.CellText(0, 2), "");
    const RowSerial fresh = log.InsertTopRow(At(2, 0, 0));
    log.SetResult(fresh, 2, 8);
    EXPECT_TRUE(log.SetCellText(1, 2, "12ms"));
    EXPECT_EQ(Grid(log), (std::vector<std::vector<std::string>>{{"2016/03/16 02:00:00", "", "8ms"},
                                                                {"2016/03/16 01:00:00", "5ms", "12ms"}}));
    EXPECT_TRUE(log.SetCellText(1, 2, ""));
    EXPECT_EQ(log.CellText(1, 2), "");
}

TEST(ResultsLogTest, DeleteColumn_EachIndex_OnlyThatColumnGoes) {
    struct Case {
        int column;
        bool deleted;
        std::vector<std::string> row;
    } const cases[] = {
        {0, false, {"2016/03/16 01:00:00", "1ms", "2ms", "3ms"}},
        {1, true, {"2016/03/16 01:00:00", "2ms", "3ms"}},
        {2, true, {"2016/03/16 01:00:00", "1ms", "3ms"}},
        {3, true, {"2016/03/16 01:00:00", "1ms", "2ms"}},
        {4, false, {"2016/03/16 01:00:00", "1ms", "2ms", "3ms"}},
        {-1, false, {"2016/03/16 01:00:00", "1ms", "2ms", "3ms"}},
    };
    for (const auto& c : cases) {
        ResultsLog log;
        for (TargetId id = 1; id <= 3; ++id) log.AppendColumn("t" + std::to_string(id), id);
        const RowSerial row = log.InsertTopRow(At(1, 0, 0));
        for (TargetId id = 1; id <= 3; ++id) log.SetResult(row, id, static_cast<int>(id));
        EXPECT_EQ(log.DeleteColumn(c.column), c.deleted) << c.column;
        EXPECT_EQ(Grid(log), (std::vector<std::vector<std::string>>{c.row})) << c.column;
    }
}

TEST(ResultsLogTest, SetResult_LateAfterNewerRowsAndDelete_LandsInOwnRowAndOwnColumn) {
    ResultsLog log;
    for (TargetId id = 1; id <= 3; ++id) log.AppendColumn("t", id);
    const RowSerial own = log.InsertTopRow(At(1, 0, 0));
    log.InsertTopRow(At(1, 0, 1));
    log.DeleteColumn(2);
    const auto third = log.SetResult(own, 3, 990);
    ASSERT_TRUE(third);
    EXPECT_EQ(third->row, 1);
    EXPECT_EQ(third->column, 2);
    EXPECT_EQ(log.SetResult(own, 2, 5), std::nullopt);
    EXPECT_EQ(Grid(log), (std::vector<std::vector<std::string>>{{"2016/03/16 01:00:01", "", ""},
                                                                {"2016/03/16 01:00:00", "", "990ms"}}));
}

TEST(ResultsLogTest, SetResult_RowOrTargetUnknown_Dropped) {
    ResultsLog log;
    log.AppendColumn("t", 1);
    const RowSerial row = log.InsertTopRow(At(1, 0, 0));
    EXPECT_EQ(log.SetResult(row + 1, 1, 5), std::nullopt);
    EXPECT_EQ(log.SetResult(0, 1, 5), std::nullopt);
    EXPECT_EQ(log.SetResult(row, 2, 5), std::nullopt);
    EXPECT_EQ(log.SetResult(row, 0, 5), std::nullopt);
    log.Clear();
    log.AppendColumn("t", 1);
    log.InsertTopRow(At(2, 0, 0));
    EXPECT_EQ(log.SetResult(row, 1, 5), std::nullopt);
    EXPECT_EQ(log.CellText(0, 1), "");
}

TEST(ResultsLogTest, Clear_WithRowsAndColumns_BackToTimeColumnAlone) {
    ResultsLog log;
    log.AppendColumn("t", 1);
    const RowSerial before = log.InsertTopRow(At(1, 0, 0));
    log.SetCellText(0, 0, "note");
    log.Clear();
    EXPECT_EQ(log.RowCount(), 0);
    EXPECT_EQ(log.ColumnCount(), 1);
    EXPECT_GT(log.InsertTopRow(At(2, 0, 0)), before);
    EXPECT_EQ(log.CellText(0, 0), "2016/03/16 02:00:00");
}

TEST(ResultsLogTest, ManyRows_TwentyTargets_AtMost64BytesPerRow) {
    constexpr int kRows = 100000;
    ResultsLog log;
    for (TargetId id = 1; id <= 20; ++id) log.AppendColumn("t", id);
    const DateTime when = At(0, 0, 0);
    for (int i = 0; i < kRows; ++i) {
        const RowSerial row = log.InsertTopRow(when);
        for (TargetId id = 1; id <= 20; ++id) log.SetResult(row, id, i % 1200 - 100);
    }
    EXPECT_LE(log.StorageBytes() / kRows, 64u);
    EXPECT_EQ(log.CellText(0, 20), ResultText((kRows - 1) % 1200 - 100));
    EXPECT_EQ(log.CellText(kRows - 1, 1), "≥1000ms");
}

}  // namespace
}  // namespace tarvelin
