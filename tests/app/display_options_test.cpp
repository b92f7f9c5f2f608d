// The thirteen display options through the main window: initial ticks, enabled states and grid attributes,
// what one and two runs of each command do, that no run loses rows, widths, the selection or the focus,
// hot tracking's refinements, and the header options that keep the context menu from opening.

#include <QAction>
#include <QHeaderView>
#include <QScrollBar>
#include <QTest>

#include "app/display_options_menu.h"
#include "app/main_window.h"
#include "app/results_model.h"
#include "app/results_view.h"
#include "app_test_support.h"

using tarvelin::DisplayOption;
using tarvelin::MainWindow;
using tarvelin::ResultsView;
using tarvelin::testing::InsertRows;
using tarvelin::testing::WhenOpened;

Q_DECLARE_METATYPE(tarvelin::DisplayOption)

namespace {

// The attribute as the grid widget itself shows it, where Qt has a property for it; else the stored value.
bool Effective(const ResultsView& view, DisplayOption option) {
    switch (option) {
        case DisplayOption::kLineSelection:
            return view.selectionBehavior() == QAbstractItemView::SelectRows;
        case DisplayOption::kHead:
            return view.horizontalHeader()->isHidden();
        case DisplayOption::kLine:
            return view.showGrid();
        case DisplayOption::kDrag:
            return view.horizontalHeader()->sectionsMovable();
        case DisplayOption::kClick:
            return view.horizontalHeader()->sectionsClickable();
        case DisplayOption::kHot:
            return view.viewport()->hasMouseTracking();
        case DisplayOption::kEditFirst:
            return view.editTriggers() != QAbstractItemView::NoEditTriggers;
        case DisplayOption::kScroll:
            return !view.verticalScrollBar()->styleSheet().isEmpty();
        case DisplayOption::kSingle:
            return view.selectionMode() == QAbstractItemView::SingleSelection;
        default:
            return view.Attribute(option);
    }
}

void ClickHeader(MainWindow& window, int column) {
    QHeaderView* header = window.View()->horizontalHeader();
    const QPoint centre(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, centre);
}

}  // namespace

class DisplayOptionsTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        m_window = std::make_unique<MainWindow>();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        m_window->AppendRestoredTarget(QStringLiteral("a"), QStringLiteral("127.0.0.1"), 80);
        m_window->AppendRestoredTarget(QStringLiteral("b"), QStringLiteral("127.0.0.2"), 90);
        InsertRows(*m_window->Model(), 5);
        m_window->View()->selectRow(2);
        m_window->View()->setFocus();
    }
    void cleanup() { m_window.reset(); }

    void runTwice_eachOption_followsItsCommandAndKeepsTheGrid_data() {
        QTest::addColumn<DisplayOption>("option");
        QTest::addColumn<bool>("enabled");  // at start
        // tick and attribute at start, after one run and after two runs
        QTest::addColumn<QList<bool>>("ticks");
        QTest::addColumn<QList<bool>>("attributes");
        using O = DisplayOption;
        QTest::newRow("整行选择") << O::kLineSelection << true << QList{true, false, true} << QList{true, false, true};
        // The header's attribute is "header hidden", the inverse of its tick.
        QTest::newRow("表头") << O::kHead << true << QList{true, false, true} << QList{false, true, false};
        QTest::newRow("表格线") << O::kLine << true << QList{false, true, false} << QList{false, true, false};
        QTest::newRow("表列可拖动") << O::kDrag << true << QList{true, false, true} << QList{true, false, true};
        QTest::newRow("表头可单击") << O::kClick << true << QList{true, false, true} << QList{true, false, true};
        QTest::newRow("开启热点追踪") << O::kHot << true << QList{false, true, false} << QList{false, true, false};
        // The refinements start unticked with their attribute on: the first run ticks and leaves it on.
        QTest::newRow("手型指针") << O::kHand << false << QList{false, true, false} << QList{true, true, false};
        QTest::newRow("标注非热点") << O::kInactivation << false << QList{false, true, false}
                                    << QList{true, true, false};
        QTest::newRow("标注热点") << O::kActivation << false << QList{false, true, false} << QList{true, true, false};
        QTest::newRow("可编辑第一项") << O::kEditFirst << true << QList{false, true, false}
                                      << QList{false, true, false};
        QTest::newRow("平面滚动条") << O::kScroll << true << QList{true, false, true} << QList{true, false, true};
        QTest::newRow("单项选择") << O::kSingle << true << QList{true, false, true} << QList{true, false, true};
        QTest::newRow("始终显示选择项") << O::kShowItem << true << QList{true, false, true} << QList{true, false, true};
    }
    void runTwice_eachOption_followsItsCommandAndKeepsTheGrid() {
        QFETCH(DisplayOption, option);
        QFETCH(bool, enabled);
        QFETCH(QList<bool>, ticks);
        QFETCH(QList<bool>, attributes);
        MainWindow& window = *m_window;
        QAction* item = window.Options().Item(option);
        const QString label = window.Model()->CellText(2, 0);
        QCOMPARE(item->isEnabled(), enabled);
        for (int run = 0; run < 3; ++run) {
            if (run > 0) {
                // The menu's own path while the item is enabled; the restore's path (any state) otherwise.
                item->isEnabled() ? item->trigger() : window.RunOptionCommand(option);
            }
            QCOMPARE(window.IsOptionTicked(option), ticks[run]);
            QCOMPARE(window.View()->Attribute(option), attributes[run]);
            QCOMPARE(Effective(*window.View(), option), attributes[run]);
            QCOMPARE(window.IsOptionEnabled(option), enabled);
            // Applied in place: nothing of the grid is lost.
            QCOMPARE(window.Model()->rowCount(), 5);
            QCOMPARE(window.Model()->columnCount(), 3);
            QCOMPARE(window.View()->columnWidth(0), 128);
            QCOMPARE(window.TargetColumnWidth(1), 80);
            QCOMPARE(window.TargetColumnWidth(2), 90);
            QCOMPARE(window.View()->FirstSelectedRow(), 2);
            QCOMPARE(window.Model()->CellText(window.View()->FirstSelectedRow(), 0), label);
            QVERIFY(window.View()->hasFocus());
        }
    }

    void runHotTracking_firstTime_enablesRefinementsAndShowsThemAtOnce() {
        MainWindow& window = *m_window;
        ResultsView& view = *window.View();
        window.Options().Item(DisplayOption::kHot)->trigger();
        for (DisplayOption refinement :
             {DisplayOption::kHand, DisplayOption::kInactivation, DisplayOption::kActivation}) {
            QVERIFY(window.IsOptionEnabled(refinement));
            QVERIFY(!window.IsOptionTicked(refinement));
        }
        QTest::mouseMove(view.viewport(), QPoint(20, view.rowViewportPosition(1) + 2));
        QCOMPARE(view.HotRow(), 1);
        QCOMPARE(view.viewport()->cursor().shape(), Qt::PointingHandCursor);
        QVERIFY(view.RowUnderlined(1));  // the hot row
        QVERIFY(view.RowUnderlined(4));  // a row that is not hot

        window.Options().Item(DisplayOption::kActivation)->trigger();  // ticks, attribute stays on
        QVERIFY(view.RowUnderlined(1));
        window.Options().Item(DisplayOption::kActivation)->trigger();  // now off
        QVERIFY(!view.RowUnderlined(1));
        QVERIFY(view.RowUnderlined(4));

        window.Options().Item(DisplayOption::kHot)->trigger();  // off again; the items stay enabled
        QVERIFY(window.IsOptionEnabled(DisplayOption::kHand));
        QVERIFY(!view.RowUnderlined(4));
        QCOMPARE(view.HotRow(), -1);
    }

    void replayRefinement_hotTrackingNeverRun_ticksButStaysDisabled() {
        m_window->RunOptionCommand(DisplayOption::kHand);
        QVERIFY(m_window->IsOptionTicked(DisplayOption::kHand));
        QVERIFY(!m_window->IsOptionEnabled(DisplayOption::kHand));
        QVERIFY(!m_window->IsOptionTicked(DisplayOption::kHot));
    }

    void clickHeader_headerHiddenOrUnclickable_opensNoMenu_data() {
        QTest::addColumn<DisplayOption>("option");
        QTest::newRow("header hidden") << DisplayOption::kHead;
        QTest::newRow("header not clickable") << DisplayOption::kClick;
    }
    void clickHeader_headerHiddenOrUnclickable_opensNoMenu() {
        QFETCH(DisplayOption, option);
        MainWindow& window = *m_window;
        window.RunOptionCommand(option);
        if (option == DisplayOption::kClick) ClickHeader(window, 1);
        QVERIFY(option != DisplayOption::kHead || !window.View()->horizontalHeader()->isVisible());
        QTest::qWait(100);  // long enough for a popup that should not come
        QCOMPARE(QApplication::activePopupWidget(), nullptr);
        QCOMPARE(window.ClickedColumn(), 0);
        QCOMPARE(window.TargetCount(), 2);
    }

    void clickHeader_afterDraggingColumns_usesTheColumnsOwnIndex() {
        MainWindow& window = *m_window;
        window.View()->horizontalHeader()->moveSection(2, 1);  // "b" now shown before "a"
        WhenOpened(
            [](QWidget* popup) {
                QVERIFY(popup != nullptr);
                QTest::keyClick(popup, Qt::Key_Escape);
            },
            true);
        ClickHeader(window, 2);
        QCOMPARE(window.ClickedColumn(), 2);
    }

  private:
    std::unique_ptr<MainWindow> m_window;
};

QTEST_MAIN(DisplayOptionsTest)
#include "display_options_test.moc"
