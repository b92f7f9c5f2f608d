#include "app/results_view.h"

#include <QApplication>
#include <QCursor>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include "app/colour_choice.h"

namespace tarvelin {

namespace {

// Qt has no flat scroll bars of its own; a plain style sheet on the two bars gives the same thin, frameless
// look without touching the cells.
constexpr char kFlatScrollBarStyle[] =
    "QScrollBar { background: #f0f0f0; border: none; margin: 0; }"
    "QScrollBar:vertical { width: 14px; } QScrollBar:horizontal { height: 14px; }"
    "QScrollBar::handle { background: #c1c1c1; border: none; }"
    "QScrollBar::handle:hover { background: #a8a8a8; }"
    "QScrollBar::handle:vertical { min-height: 20px; } QScrollBar::handle:horizontal { min-width: 20px; }"
    "QScrollBar::add-line, QScrollBar::sub-line { width: 0; height: 0; border: none; background: none; }"
    "QScrollBar::add-page, QScrollBar::sub-page { background: none; }";

// Paints each cell from the view's state: the text background behind every cell, the hot row's highlight
// and underlines, and no selection while it is not to be shown.
class ResultsDelegate : public QStyledItemDelegate {
  public:
    explicit ResultsDelegate(ResultsView* view) : QStyledItemDelegate(view), m_view(view) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem shown(option);
        if (!m_view->SelectionShown()) shown.state &= ~QStyle::State_Selected;
        QStyledItemDelegate::paint(painter, shown, index);
    }

  protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->backgroundBrush = ColourOf(m_view->TextBackgroundColour());
        if (m_view->RowUnderlined(index.row())) option->font.setUnderline(true);
        if (index.row() != m_view->HotRow()) return;
        QColor highlight = option->palette.color(QPalette::Highlight);
        highlight.setAlpha(48);
        option->backgroundBrush = highlight;
    }

  private:
    ResultsView* m_view;
};

}  // namespace

ResultsView::ResultsView(QWidget* parent) : QTableView(parent) {
    for (const DisplayOptionInfo& info : kDisplayOptions) m_attributes[Index(info.option)] = info.initialAttribute;
    setItemDelegate(new ResultsDelegate(this));
    setFrameShape(QFrame::NoFrame);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setVerticalScrollMode(ScrollPerPixel);
    setHorizontalScrollMode(ScrollPerPixel);
    verticalHeader()->hide();
    // Rows never change height; a fixed size keeps a log of days of rows cheap to lay out.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setDefaultSectionSize(kTargetColumnWidth);
    horizontalHeader()->setMinimumSectionSize(0);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(false);
    // A header click belongs to the window (the target's context menu); it must not select a column.
    disconnect(horizontalHeader(), &QHeaderView::sectionPressed, this, nullptr);
    disconnect(horizontalHeader(), &QHeaderView::sectionEntered, this, nullptr);

    QPalette colours = palette();
    colours.setColor(QPalette::Text, Qt::black);
    setPalette(colours);
    SetBackgroundColour(kWhite);

    m_hoverTimer.setSingleShot(true);
    m_hoverTimer.setInterval(kHoverSelectMs);
    connect(&m_hoverTimer, &QTimer::timeout, this, &ResultsView::SelectHotRow);
    for (const DisplayOptionInfo& info : kDisplayOptions) ApplyAttribute(info.option);
}

void ResultsView::setModel(QAbstractItemModel* model) {
    QTableView::setModel(model);
    if (model == nullptr) return;
    setColumnWidth(0, kTimeColumnWidth);
    // Connected after the base class and the headers, so the row count is already up to date here.
    connect(model, &QAbstractItemModel::rowsAboutToBeInserted, this, [this] { RememberScrollPosition(); });
    connect(model, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) { KeepReadingPosition(first, last); });
    ApplySingleSelection(Attribute(DisplayOption::kSingle));
}

void ResultsView::SetAttribute(DisplayOption option, bool on) {
    m_attributes[Index(option)] = on;
    ApplyAttribute(option);
}

void ResultsView::ApplyAttribute(DisplayOption option) {
    const bool on = Attribute(option);
    switch (option) {
        case DisplayOption::kLineSelection:
            setSelectionBehavior(on ? SelectRows : SelectItems);
            break;
        case DisplayOption::kHead:
            horizontalHeader()->setVisible(!on);
            break;
        case DisplayOption::kLine:
            setShowGrid(on);
            break;
        case DisplayOption::kDrag:
            horizontalHeader()->setSectionsMovable(on);
            break;
        case DisplayOption::kClick:
            horizontalHeader()->setSectionsClickable(on);
            break;
        case DisplayOption::kHot:
        case DisplayOption::kHand:
        case DisplayOption::kInactivation:
        case DisplayOption::kActivation:
            ApplyHotTracking();
            break;
        case DisplayOption::kEditFirst:
            // The usual gesture: a click on the first cell of a row that is already selected.
            setEditTriggers(on ? SelectedClicked : NoEditTriggers);
            break;
        case DisplayOption::kScroll:
            ApplyFlatScrollBars(on);
            break;
        case DisplayOption::kSingle:
            ApplySingleSelection(on);
            break;
        case DisplayOption::kShowItem:
            viewport()->update();
            break;
    }
}

void ResultsView::ApplyFlatScrollBars(bool flat) {
    const QString style = flat ? QString::fromLatin1(kFlatScrollBarStyle) : QString();
    verticalScrollBar()->setStyleSheet(style);
    horizontalScrollBar()->setStyleSheet(style);
}

void ResultsView::ApplyHotTracking() {
    const bool hot = Attribute(DisplayOption::kHot);
    viewport()->setMouseTracking(hot);
    setMouseTracking(hot);
    if (!hot) {
        m_hoverTimer.stop();
        m_hotRow = -1;
    }
    UpdateHotCursor();
    viewport()->update();
}

void ResultsView::ApplySingleSelection(bool single) {
    setSelectionMode(single ? SingleSelection : ExtendedSelection);
    if (!single || selectionModel() == nullptr || !selectionModel()->hasSelection()) return;
    // Going back to single selection keeps one selected row: the first.
    const int row = FirstSelectedRow();
    const QModelIndex keep = model()->index(row, 0);
    selectionModel()->select(keep, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void ResultsView::SetTextBackgroundColour(int value) {
    m_textBackground = value;
    viewport()->update();
}

void ResultsView::SetBackgroundColour(int value) {
    m_background = value;
    QPalette colours = palette();
    colours.setColor(QPalette::Base, ColourOf(value));
    setPalette(colours);
    viewport()->update();
}

void ResultsView::SetGridFont(const QFont& gridFont) {
    setFont(gridFont);
    const int rowHeight = QFontMetrics(gridFont).height() + 4;
    verticalHeader()->setMinimumSectionSize(rowHeight);
    verticalHeader()->setDefaultSectionSize(rowHeight);
}

int ResultsView::FirstSelectedRow() const {
    if (selectionModel() == nullptr) return -1;
    int first = -1;
    // Ranges, not indexes: a selection of a whole day of rows stays cheap to scan.
    for (const QItemSelectionRange& range : selectionModel()->selection()) {
        if (!range.isValid() || range.isEmpty()) continue;
        if (first < 0 || range.top() < first) first = range.top();
    }
    return first;
}

bool ResultsView::BeginRowEdit(int row) {
    if (model() == nullptr || row < 0 || row >= model()->rowCount()) return false;
    if (!Attribute(DisplayOption::kEditFirst)) return false;
    if (!hasFocus()) setFocus(Qt::OtherFocusReason);
    const QModelIndex first = model()->index(row, 0);
    scrollTo(first);
    return edit(first, AllEditTriggers, nullptr);
}

bool ResultsView::RowUnderlined(int row) const {
    if (!Attribute(DisplayOption::kHot)) return false;
    return Attribute(row == m_hotRow ? DisplayOption::kActivation : DisplayOption::kInactivation);
}

bool ResultsView::SelectionShown() const {
    if (Attribute(DisplayOption::kShowItem)) return true;
    const QWidget* focus = QApplication::focusWidget();
    return focus != nullptr && (focus == this || isAncestorOf(focus));
}

bool ResultsView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    // Only a row's first cell is ever edited, and only while that option is on.
    if (index.isValid() && (index.column() != 0 || !Attribute(DisplayOption::kEditFirst))) return false;
    return QTableView::edit(index, trigger, event);
}

void ResultsView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F2) {
        BeginRowEdit(FirstSelectedRow());
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void ResultsView::mouseMoveEvent(QMouseEvent* event) {
    if (Attribute(DisplayOption::kHot)) SetHotRow(rowAt(event->position().toPoint().y()));
    QTableView::mouseMoveEvent(event);
}

void ResultsView::mouseReleaseEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    QTableView::mouseReleaseEvent(event);
    // Hot tracking activates a row with one click; nothing in the program listens, but the signal is honest.
    if (Attribute(DisplayOption::kHot) && event->button() == Qt::LeftButton && index.isValid()) {
        emit activated(index);
    }
}

bool ResultsView::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::Leave) SetHotRow(-1);
    return QTableView::viewportEvent(event);
}

void ResultsView::SetHotRow(int row) {
    if (row == m_hotRow) return;
    m_hotRow = row;
    if (row >= 0) {
        m_hoverTimer.start();
    } else {
        m_hoverTimer.stop();
    }
    UpdateHotCursor();
    viewport()->update();
}

void ResultsView::UpdateHotCursor() {
    if (Attribute(DisplayOption::kHot) && m_hotRow >= 0) {
        viewport()->setCursor(Attribute(DisplayOption::kHand) ? Qt::PointingHandCursor : Qt::ArrowCursor);
    } else {
        viewport()->unsetCursor();
    }
}

void ResultsView::SelectHotRow() {
    if (model() == nullptr || m_hotRow < 0 || m_hotRow >= model()->rowCount()) return;
    const QModelIndex index = model()->index(m_hotRow, 0);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void ResultsView::RememberScrollPosition() {
    m_scrollBeforeInsert = verticalScrollBar()->value();
}

void ResultsView::KeepReadingPosition(int first, int last) {
    // At the top the newest row shows; scrolled down, the rows being read must not slide down a row a
    // second, so the scroll position moves by the height of what arrived above it.
    if (first == 0 && m_scrollBeforeInsert > 0) {
        int added = 0;
        for (int row = first; row <= last; ++row) added += rowHeight(row);
        updateGeometries();
        verticalScrollBar()->setValue(m_scrollBeforeInsert + added);
    }
    FollowPointer();
}

void ResultsView::FollowPointer() {
    if (m_hotRow < 0) return;
    // The hot row is the one under the pointer, whatever moved it there; a row that merely slides under a
    // resting pointer is not a hover, so the hover selection is not started again.
    m_hotRow = rowAt(viewport()->mapFromGlobal(QCursor::pos()).y());
    UpdateHotCursor();
    viewport()->update();
}

}  // namespace tarvelin
