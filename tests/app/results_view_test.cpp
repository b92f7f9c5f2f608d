// The grid view on its own over the real model: a log that grows at the top while the user reads it, the
// header that never selects a column, hot tracking, the hidden selection and the font's row height.

#include "app/results_view.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include "app/results_model.h"
#include "app_test_support.h"

using tarvelin::DisplayOption;
using tarvelin::ResultsModel;
using tarvelin::ResultsView;
using tarvelin::testing::InsertRows;

class ResultsViewTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        m_model = std::make_unique<ResultsModel>();
        m_model->AppendColumn(QStringLiteral("a"), 1);
        m_view = std::make_unique<ResultsView>();
        m_view->setModel(m_model.get());
        m_view->resize(400, 300);
        m_view->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
    }
    void cleanup() {
        m_view.reset();
        m_model.reset();
    }

    void insertTopRows_atTopOrScrolledDown_keepsWhatTheUserReads_data() {
        QTest::addColumn<int>("scrollRows");  // how far down the user has scrolled, in rows
        QTest::newRow("at the top") << 0;
        QTest::newRow("scrolled down") << 50;
        QTest::newRow("scrolled to the bottom") << 1000;
    }
    void insertTopRows_atTopOrScrolledDown_keepsWhatTheUserReads() {
        QFETCH(int, scrollRows);
        InsertRows(*m_model, 200);
        m_view->selectRow(120);
        const QString selectedLabel = m_model->CellText(120, 0);
        QScrollBar* bar = m_view->verticalScrollBar();
        bar->setValue(scrollRows * m_view->rowHeight(0));
        const QString firstShown = m_model->CellText(m_view->rowAt(0), 0);

        InsertRows(*m_model, 3, 200);
        QApplication::processEvents();

        if (scrollRows == 0) {
            QCOMPARE(bar->value(), 0);
            QCOMPARE(m_view->rowAt(0), 0);  // the newest row is in view
        } else {
            QCOMPARE(m_model->CellText(m_view->rowAt(0), 0), firstShown);
        }
        const QModelIndexList selected = m_view->selectionModel()->selectedRows();
        QCOMPARE(selected.size(), 1);
        QCOMPARE(m_model->CellText(selected[0].row(), 0), selectedLabel);
    }

    void clickHeader_itemSelection_selectsNoColumn() {
        m_view->SetAttribute(DisplayOption::kLineSelection, false);
        m_view->SetAttribute(DisplayOption::kSingle, false);
        InsertRows(*m_model, 5);
        QHeaderView* header = m_view->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(1) + 10, header->height() / 2));
        QVERIFY(!m_view->selectionModel()->hasSelection());
    }

    void clickSelectedRow_editingOn_editsOnlyItsFirstCell_data() {
        QTest::addColumn<bool>("editing");
        QTest::addColumn<int>("column");
        QTest::addColumn<bool>("edits");
        QTest::newRow("first cell") << true << 0 << true;
        QTest::newRow("another cell") << true << 1 << false;
        QTest::newRow("editing off") << false << 0 << false;
    }
    void clickSelectedRow_editingOn_editsOnlyItsFirstCell() {
        QFETCH(bool, editing);
        QFETCH(int, column);
        QFETCH(bool, edits);
        m_view->SetAttribute(DisplayOption::kEditFirst, editing);
        InsertRows(*m_model, 4);
        m_view->selectRow(1);
        m_view->setFocus();
        const QPoint cell(m_view->columnViewportPosition(column) + 5, m_view->rowViewportPosition(1) + 3);
        QTest::mouseClick(m_view->viewport(), Qt::LeftButton, {}, cell);
        // Qt waits out the double-click interval before it opens the editor.
        QTest::qWait(QApplication::doubleClickInterval() + 100);
        QCOMPARE(m_view->IsEditing(), edits);
    }

    void hoverRow_hotTrackingOn_highlightsThenSelectsIt() {
        InsertRows(*m_model, 10);
        const QPoint overRow3(20, m_view->rowViewportPosition(3) + 2);
        QTest::mouseMove(m_view->viewport(), overRow3);
        QCOMPARE(m_view->HotRow(), -1);  // hot tracking is off at start

        m_view->SetAttribute(DisplayOption::kHot, true);
        QTest::mouseMove(m_view->viewport(), overRow3 + QPoint(10, 0));
        QCOMPARE(m_view->HotRow(), 3);
        QCOMPARE(m_view->viewport()->cursor().shape(), Qt::PointingHandCursor);
        QVERIFY(!m_view->selectionModel()->isRowSelected(3, {}));
        QTRY_VERIFY(m_view->selectionModel()->isRowSelected(3, {}));

        QSignalSpy activated(m_view.get(), &QAbstractItemView::activated);
        QTest::mouseClick(m_view->viewport(), Qt::LeftButton, {}, overRow3);
        QCOMPARE(activated.size(), 1);

        m_view->SetAttribute(DisplayOption::kHand, false);
        QCOMPARE(m_view->viewport()->cursor().shape(), Qt::ArrowCursor);
        m_view->SetAttribute(DisplayOption::kHot, false);
        QCOMPARE(m_view->HotRow(), -1);
        QVERIFY(!m_view->RowUnderlined(3));
    }

    void loseFocus_showSelectionAlwaysOff_hidesSelection_data() {
        QTest::addColumn<bool>("showAlways");
        QTest::addColumn<bool>("focused");
        QTest::addColumn<bool>("shown");
        QTest::newRow("always, unfocused") << true << false << true;
        QTest::newRow("not always, focused") << false << true << true;
        QTest::newRow("not always, unfocused") << false << false << false;
    }
    void loseFocus_showSelectionAlwaysOff_hidesSelection() {
        QFETCH(bool, showAlways);
        QFETCH(bool, focused);
        QFETCH(bool, shown);
        QWidget other;
        other.show();
        m_view->SetAttribute(DisplayOption::kShowItem, showAlways);
        QWidget* focusTarget = focused ? static_cast<QWidget*>(m_view.get()) : &other;
        focusTarget->activateWindow();
        focusTarget->setFocus();
        QVERIFY(QTest::qWaitForWindowActive(focusTarget->window()));
        QCOMPARE(m_view->SelectionShown(), shown);
    }

    void setGridFont_largerFont_rowsFollow() {
        InsertRows(*m_model, 2);
        QFont big = m_view->GridFont();
        big.setPointSize(20);
        m_view->SetGridFont(big);
        QCOMPARE(m_view->rowHeight(0), QFontMetrics(big).height() + 4);
        QCOMPARE(m_view->GridFont().pointSize(), 20);
    }

  private:
    std::unique_ptr<ResultsModel> m_model;
    std::unique_ptr<ResultsView> m_view;
};

QTEST_MAIN(ResultsViewTest)
#include "results_view_test.moc"
