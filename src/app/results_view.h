// The results grid on screen: a table view over the results model with the grid's thirteen display
// attributes (held here, apart from the menu ticks), its two background colours, F2 editing of a row's
// first cell, hot tracking, and scroll anchoring for a log that grows at the top. UI thread only.
#pragma once

#include <QFont>
#include <QTableView>
#include <QTimer>
#include <array>

#include "settings/display_options.h"

namespace tarvelin {

inline constexpr int kTimeColumnWidth = 128;
inline constexpr int kTargetColumnWidth = 66;
// How long the pointer rests on a row before hot tracking selects it; the usual desktop hover time.
inline constexpr int kHoverSelectMs = 400;

class ResultsView : public QTableView {
    Q_OBJECT
  public:
    explicit ResultsView(QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model) override;

    // Applies an attribute at once, in place: rows, widths, selection and focus stay. For kHead the
    // attribute is "header hidden". The hand cursor and the two underlines act only while kHot is on.
    void SetAttribute(DisplayOption option, bool on);
    bool Attribute(DisplayOption option) const { return m_attributes[Index(option)]; }

    // Colour values, red in the low byte. The text background is painted behind every cell; the
    // background is the grid area that holds no cell (below the last row, right of the last column).
    int TextBackgroundColour() const { return m_textBackground; }
    void SetTextBackgroundColour(int value);
    int BackgroundColour() const { return m_background; }
    void SetBackgroundColour(int value);

    QFont GridFont() const { return font(); }
    void SetGridFont(const QFont& gridFont);

    // The lowest selected row, -1 when none is selected.
    int FirstSelectedRow() const;
    // Takes the focus and starts editing the first cell of row; false (nothing happens) when row is no
    // row or editing of first cells is off.
    bool BeginRowEdit(int row);
    bool IsEditing() const { return state() == EditingState; }

    // Hot tracking: the row under the pointer (-1 for none or while hot tracking is off), and whether a
    // row's text is drawn underlined.
    int HotRow() const { return m_hotRow; }
    bool RowUnderlined(int row) const;
    // False only while the selection is to be hidden because the grid lacks the focus.
    bool SelectionShown() const;

  protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool viewportEvent(QEvent* event) override;

  private:
    static std::size_t Index(DisplayOption option) { return static_cast<std::size_t>(option); }
    void ApplyAttribute(DisplayOption option);
    void ApplyFlatScrollBars(bool flat);
    void ApplyHotTracking();
    void ApplySingleSelection(bool single);
    void SetHotRow(int row);
    void UpdateHotCursor();
    void SelectHotRow();
    void RememberScrollPosition();
    void KeepReadingPosition(int first, int last);
    void FollowPointer();

    std::array<bool, kDisplayOptions.size()> m_attributes{};
    int m_textBackground = 16777215;
    int m_background = 16777215;
    int m_hotRow = -1;
    int m_scrollBeforeInsert = 0;
    QTimer m_hoverTimer;
};

}  // namespace tarvelin
