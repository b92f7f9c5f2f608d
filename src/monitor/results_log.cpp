#include "monitor/results_log.h"

#include <charconv>

#include "timefmt/format_timestamp.h"

namespace tarvelin {

namespace {

// A result cell in two bytes: 0 empty, kNoAnswer the no-answer text, kOtherText a text kept beside the
// column, anything else a round-trip time of (code - 1) milliseconds.
using CellCode = std::uint16_t;
constexpr CellCode kEmpty = 0;
constexpr CellCode kNoAnswer = 0xFFFF;
constexpr CellCode kOtherText = 0xFFFE;
constexpr int kMaxCodedMs = kOtherText - 2;

std::optional<CellCode> CodeOfMs(int ms) {
    if (ms < 0) return kNoAnswer;
    if (ms > kMaxCodedMs) return std::nullopt;
    return static_cast<CellCode>(ms + 1);
}

// The code of a text exactly as ResultText would write it; nothing for any other text.
std::optional<CellCode> CodeOfText(std::string_view text) {
    if (text.empty()) return kEmpty;
    if (text == kNoAnswerText) return kNoAnswer;
    if (text.size() < 3 || !text.ends_with("ms")) return std::nullopt;
    const std::string_view digits = text.substr(0, text.size() - 2);
    // Only the digits ResultText writes: no sign, no leading zero.
    if (digits.front() < '0' || digits.front() > '9' || (digits.size() > 1 && digits.front() == '0')) {
        return std::nullopt;
    }
    int ms = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), ms);
    if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    return CodeOfMs(ms);
}

std::string DecodedText(CellCode code) {
    if (code == kEmpty) return {};
    return code == kNoAnswer ? std::string(kNoAnswerText) : ResultText(code - 1);
}

}  // namespace

struct ResultsLog::Column {
    std::string caption;
    TargetId target;
    // The column holds cells from this row on; older rows had no such column and show it empty, which
    // makes appending a column cost nothing however many rows there are.
    RowSerial firstSerial;
    detail::BlockArray<CellCode, kBlockRows> cells;  // index serial - firstSerial
    std::unordered_map<RowSerial, std::string> otherTexts;

    CellCode Code(RowSerial serial) const {
        if (serial < firstSerial) return otherTexts.contains(serial) ? kOtherText : kEmpty;
        const auto index = static_cast<std::size_t>(serial - firstSerial);
        return index < cells.Size() ? cells[index] : kEmpty;
    }
    void Set(RowSerial serial, CellCode code, std::string_view text) {
        if (serial < firstSerial) {
            // Rows older than the column have no cells of it; the rare text written there is kept aside.
            SetOlder(serial, code, text);
            return;
        }
        cells[static_cast<std::size_t>(serial - firstSerial)] = code;
        if (code == kOtherText) {
            otherTexts[serial] = std::string(text);
        } else if (!otherTexts.empty()) {
            otherTexts.erase(serial);
        }
    }
    void SetOlder(RowSerial serial, CellCode code, std::string_view text) {
        if (code == kEmpty) {
            otherTexts.erase(serial);
        } else {
            otherTexts[serial] = code == kOtherText ? std::string(text) : DecodedText(code);
        }
    }
};

std::string ResultText(int ms) {
    if (ms < 0) return std::string(kNoAnswerText);
    return std::to_string(ms) + "ms";
}

ResultsLog::ResultsLog() = default;
ResultsLog::~ResultsLog() = default;

int ResultsLog::RowCount() const {
    return static_cast<int>(m_nextSerial - m_firstSerial);
}

int ResultsLog::ColumnCount() const {
    return static_cast<int>(m_columns.size()) + 1;
}

void ResultsLog::AppendColumn(std::string caption, TargetId target) {
    auto column = std::make_unique<Column>();
    column->caption = std::move(caption);
    column->target = target;
    column->firstSerial = m_nextSerial;
    m_columns.push_back(std::move(column));
}

bool ResultsLog::DeleteColumn(int column) {
    if (!HasTargetColumn(column)) return false;
    m_columns.erase(m_columns.begin() + (column - 1));
    return true;
}

RowSerial ResultsLog::InsertTopRow(const DateTime& when) {
    m_stamps.PushBack(when.WallSeconds());
    for (auto& column : m_columns) column->cells.PushBack(kEmpty);
    return m_nextSerial++;
}

bool ResultsLog::SetCellText(int row, int column, std::string_view text) {
    if (!HasRow(row) || column < 0 || column >= ColumnCount()) return false;
    const RowSerial serial = SerialOf(row);
    if (column == 0) {
        m_editedLabels[serial] = std::string(text);
        return true;
    }
    Column& target = *m_columns[static_cast<std::size_t>(column - 1)];
    target.Set(serial, CodeOfText(text).value_or(kOtherText), text);
    return true;
}

std::optional<CellPlace> ResultsLog::SetResult(RowSerial row, TargetId target, int ms) {
    const std::optional<int> rowIndex = RowOf(row);
    const int columnIndex = ColumnOf(target);
    if (!rowIndex || columnIndex < 0) return std::nullopt;
    Column& column = *m_columns[static_cast<std::size_t>(columnIndex - 1)];
    const std::optional<CellCode> code = CodeOfMs(ms);
    const std::string text = code ? std::string() : ResultText(ms);
    column.Set(row, code.value_or(kOtherText), text);
    return CellPlace{*rowIndex, columnIndex};
}

void ResultsLog::Clear() {
    m_firstSerial = m_nextSerial;
    m_stamps.Clear();
    m_editedLabels.clear();
    m_columns.clear();
}

std::string ResultsLog::CellText(int row, int column) const {
    if (!HasRow(row) || column < 0 || column >= ColumnCount()) return {};
    const RowSerial serial = SerialOf(row);
    if (column == 0) return LabelText(serial);
    const Column& target = *m_columns[static_cast<std::size_t>(column - 1)];
    const CellCode code = target.Code(serial);
    return code == kOtherText ? target.otherTexts.at(serial) : DecodedText(code);
}

std::string ResultsLog::ColumnCaption(int column) const {
    if (column == 0) return std::string(kTimeCaption);
    return HasTargetColumn(column) ? m_columns[static_cast<std::size_t>(column - 1)]->caption : std::string();
}

TargetId ResultsLog::ColumnTarget(int column) const {
    return HasTargetColumn(column) ? m_columns[static_cast<std::size_t>(column - 1)]->target : 0;
}

int ResultsLog::ColumnOf(TargetId target) const {
    if (target == 0) return -1;
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
        if (m_columns[i]->target == target) return static_cast<int>(i) + 1;
    }
    return -1;
}

std::optional<int> ResultsLog::RowOf(RowSerial serial) const {
    if (serial < m_firstSerial || serial >= m_nextSerial) return std::nullopt;
    return static_cast<int>(m_nextSerial - 1 - serial);
}

RowSerial ResultsLog::SerialOf(int row) const {
    return HasRow(row) ? m_nextSerial - 1 - row : 0;
}

std::optional<DateTime> ResultsLog::RowTime(int row) const {
    if (!HasRow(row)) return std::nullopt;
    return DateTime::FromWallSeconds(m_stamps[static_cast<std::size_t>(SerialOf(row) - m_firstSerial)]);
}

std::size_t ResultsLog::StorageBytes() const {
    std::size_t bytes = m_stamps.StorageBytes();
    for (const auto& column : m_columns) bytes += column->cells.StorageBytes();
    return bytes;
}

std::string ResultsLog::LabelText(RowSerial serial) const {
    if (const auto edited = m_editedLabels.find(serial); edited != m_editedLabels.end()) return edited->second;
    // Formatted when shown rather than stored: the default template gives the same text at any later
    // moment, and a row then costs eight bytes instead of a string.
    const DateTime when = DateTime::FromWallSeconds(m_stamps[static_cast<std::size_t>(serial - m_firstSerial)]);
    return FormatTimestamp(when);
}

}  // namespace tarvelin
