// The results grid's data as a compact log that can grow for weeks: per row a time stamp (its label is
// formatted when asked for) and an optional edited first-cell text, per target column a two-byte result.
// Rows are named by serials that only ever grow, so a late result finds the row its own tick inserted.
// Not thread-safe: one thread (the UI thread) owns a log.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "monitor/targets.h"
#include "timefmt/date_time.h"

namespace tarvelin {

// 1 for the first row ever inserted, then one more per row; 0 names no row.
using RowSerial = std::int64_t;

inline constexpr std::string_view kTimeCaption = "时间";

namespace detail {

// A growing array in fixed blocks: growth never copies or moves what is stored, and never needs twice the
// memory for a moment the way a doubling vector does.
template <typename T, std::size_t kBlockSize>
class BlockArray {
  public:
    std::size_t Size() const { return m_size; }
    void PushBack(T value) {
        if (m_size % kBlockSize == 0) m_blocks.push_back(std::make_unique_for_overwrite<T[]>(kBlockSize));
        m_blocks.back()[m_size % kBlockSize] = value;
        ++m_size;
    }
    T& operator[](std::size_t index) { return m_blocks[index / kBlockSize][index % kBlockSize]; }
    const T& operator[](std::size_t index) const { return m_blocks[index / kBlockSize][index % kBlockSize]; }
    void Clear() {
        m_blocks.clear();
        m_size = 0;
    }
    std::size_t StorageBytes() const {
        return m_blocks.size() * kBlockSize * sizeof(T) + m_blocks.capacity() * sizeof(m_blocks[0]);
    }

  private:
    std::vector<std::unique_ptr<T[]>> m_blocks;
    std::size_t m_size = 0;
};

}  // namespace detail

// Where a result landed: 0-based row and column of the grid at that moment.
struct CellPlace {
    int row;
    int column;
};

class ResultsLog {
  public:
    ResultsLog();
    ~ResultsLog();
    ResultsLog(const ResultsLog&) = delete;
    ResultsLog& operator=(const ResultsLog&) = delete;

    int RowCount() const;
    int ColumnCount() const;  // the time column and one per target column

    // A new last column for target; its cells in existing rows are empty.
    void AppendColumn(std::string caption, TargetId target);
    // Removes column 1..ColumnCount()-1 with its cells, later columns shift left; false (no change) otherwise.
    bool DeleteColumn(int column);
    // A new row 0 stamped with when and empty target cells; returns its serial.
    RowSerial InsertTopRow(const DateTime& when);
    // Sets what a cell shows; column 0 takes the text in place of the row's label. False, and nothing
    // changes, when the row or column does not exist.
    bool SetCellText(int row, int column, std::string_view text);
    // Stores a probe result (ms >= 0, or -1 for no answer) in the row with that serial, in the column of
    // that target wherever it now stands. Nothing when either is gone; else where it landed.
    std::optional<CellPlace> SetResult(RowSerial row, TargetId target, int ms);
    // Removes every row and every target column, as a freshly created grid; serials keep growing.
    void Clear();

    std::string CellText(int row, int column) const;  // "" outside the grid
    std::string ColumnCaption(int column) const;      // "" outside the grid
    TargetId ColumnTarget(int column) const;          // 0 for column 0 and outside the grid
    int ColumnOf(TargetId target) const;              // -1 when it has no column
    std::optional<int> RowOf(RowSerial serial) const;
    RowSerial SerialOf(int row) const;  // 0 outside the grid
    std::optional<DateTime> RowTime(int row) const;

    // Heap bytes held by rows and cells (not captions), for measuring the cost of a row.
    std::size_t StorageBytes() const;

  private:
    struct Column;
    static constexpr std::size_t kBlockRows = 4096;

    bool HasRow(int row) const { return row >= 0 && row < RowCount(); }
    bool HasTargetColumn(int column) const { return column >= 1 && column < ColumnCount(); }
    std::string LabelText(RowSerial serial) const;

    RowSerial m_firstSerial = 1;  // serial of the oldest row still held
    RowSerial m_nextSerial = 1;
    detail::BlockArray<std::int64_t, kBlockRows> m_stamps;  // wall seconds, index serial - m_firstSerial
    std::unordered_map<RowSerial, std::string> m_editedLabels;
    std::vector<std::unique_ptr<Column>> m_columns;  // target columns 1..N at index 0..N-1
};

// The text a result cell shows for a probe outcome: "<n>ms" for n >= 0, "≥1000ms" for no answer.
std::string ResultText(int ms);
inline constexpr std::string_view kNoAnswerText =
    "\u2265"
    "1000ms";

}  // namespace tarvelin
