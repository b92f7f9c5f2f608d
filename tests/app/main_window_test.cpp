// The main window as a user meets it: the menu tree, the shortcuts with the grid focused, adding and deleting
// targets through the real dialog and the real header context menu, F2, the colour commands and Esc.

#include "app/main_window.h"

#include <QAction>
#include <QClipboard>
#include <QColorDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <optional>

#include "app/add_target_dialog.h"
#include "app/colour_choice.h"
#include "app/results_model.h"
#include "app/results_view.h"
#include "app_test_support.h"

using tarvelin::DisplayOption;
using tarvelin::MainWindow;
using tarvelin::testing::InsertRows;
using tarvelin::testing::WhenOpened;

namespace {

// One line per menu entry: level, caption, shortcut, tick ("x" ticked, "o" unticked, "-" no tick), enabled.
QStringList FlattenMenu(const QMenu* menu, int level) {
    QStringList lines;
    for (const QAction* item : menu->actions()) {
        if (item->isSeparator()) {
            lines << QStringLiteral("%1|-").arg(level);
            continue;
        }
        const QString tick = !item->isCheckable() ? QStringLiteral("-") : (item->isChecked() ? "x" : "o");
        lines << QStringLiteral("%1|%2|%3|%4|%5")
                     .arg(level)
                     .arg(item->text(), item->shortcut().toString(QKeySequence::PortableText), tick,
                          item->isEnabled() ? "e" : "d");
        if (item->menu() != nullptr) lines << FlattenMenu(item->menu(), level + 1);
    }
    return lines;
}

void ClickHeader(MainWindow& window, int column) {
    QHeaderView* header = window.View()->horizontalHeader();
    const QPoint centre(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, centre);
}

// Adds a target through the real dialog, typing into it and pressing Enter.
void AddThroughDialog(MainWindow& window, const QString& title, const QString& address) {
    WhenOpened([title, address](QWidget* opened) {
        auto* dialog = qobject_cast<tarvelin::AddTargetDialog*>(opened);
        QVERIFY(dialog != nullptr);
        QTest::keyClicks(dialog->TitleEdit(), title);
        QTest::keyClicks(dialog->AddressEdit(), address);
        QTest::keyClick(dialog->AddressEdit(), Qt::Key_Return);
    });
    window.AddTargetCommand();
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        m_window = std::make_unique<MainWindow>();
        // No test here may send a packet: the probe answers at once with a chosen time.
        m_window->Sampling().SetProbe([](std::string_view, int) { return 7; });
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }
    void cleanup() { m_window.reset(); }

    void build_created_matchesDesign() {
        MainWindow& window = *m_window;
        QCOMPARE(window.windowTitle(), QStringLiteral("Tarvelin"));
        const Qt::WindowFlags flags = window.windowFlags();
        QVERIFY(flags & Qt::WindowMinimizeButtonHint);
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QCOMPARE(window.OuterRect().size(), QSize(570, 470));
        const QRect screen = window.screen()->geometry();
        QCOMPARE(window.OuterRect().topLeft(), QPoint((screen.width() - 570) / 2, (screen.height() - 470) / 2));
        for (int size : {256, 192, 128, 96, 64, 48, 32, 24, 20, 16}) {
            QVERIFY2(window.windowIcon().availableSizes().contains(QSize(size, size)),
                     qPrintable(QString::number(size)));
        }
        QCOMPARE(window.centralWidget(), window.View());
        QCOMPARE(window.View()->geometry().size(),
                 window.centralWidget()->parentWidget()->size() - QSize(0, window.menuBar()->height()));
        QVERIFY(window.View()->verticalHeader()->isHidden());
        QCOMPARE(window.Model()->columnCount(), 1);
        QCOMPARE(window.Model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("时间"));
        QCOMPARE(window.View()->columnWidth(0), 128);
        QCOMPARE(window.GridFont().pointSize(), 9);
        QVERIFY(window.GridFont().family().contains(QStringLiteral("CJK")) ||
                window.GridFont().family() == QStringLiteral("微软雅黑"));
        QCOMPARE(window.View()->palette().color(QPalette::Text), QColor(Qt::black));
        QCOMPARE(window.TextBackgroundColour(), 16777215);
        QCOMPARE(window.BackgroundColour(), 16777215);
        QCOMPARE(window.ClickedColumn(), 0);
        QCOMPARE(window.SamplingPeriod(), 0);
        bool restored = false;
        window.SetRestoreSettings([&] { restored = window.SamplingPeriod() == 1000; });
        window.RunCreatedStep();
        QVERIFY2(restored, "the restore runs after sampling has been switched on");
        QCOMPARE(window.SamplingPeriod(), 1000);
    }

    void build_menus_matchTheTable() {
        const QList<QAction*> bar = m_window->menuBar()->actions();
        QCOMPARE(bar.size(), 1);
        QCOMPARE(bar[0]->text(), QStringLiteral("设置"));
        const QStringList expected = {
            "1|开始/暂停(&S)|F1|-|e",
            "1|-",
            "1|添加域名/网站...(&A)|Ctrl+A|-|e",
            "1|文本背景色...(&B)|Ctrl+B|-|e",
            "1|背景色...(&C)|Ctrl+C|-|e",
            "1|-",
            "1|整行选择(&I)||x|e",
            "1|表头(&U)||x|e",
            "1|表格线(&L)||o|e",
            "1|表列可拖动(&D)||x|e",
            "1|表头可单击(&K)||x|e",
            "1|热点追踪(&M)||-|e",
            "2|开启热点追踪(&M)||o|e",
            "2|手型指针(&H)||o|d",
            "2|标注非热点(&I)||o|d",
            "2|标注热点(&H)||o|d",
            "1|可编辑第一项(&E)||o|e",
            "1|平面滚动条(&S)||x|e",
            "1|单项选择(&O)||x|e",
            "1|始终显示选择项(&W)||x|e",
            "1|-",
            "1|保存设置(&S)|Ctrl+S|-|e",
        };
        QCOMPARE(FlattenMenu(bar[0]->menu(), 1), expected);
    }

    void pressShortcut_gridFocused_reachesItsCommand_data() {
        QTest::addColumn<QKeySequence>("key");
        QTest::addColumn<QString>("expected");
        QTest::newRow("F1 pauses") << QKeySequence(Qt::Key_F1) << "period 0";
        QTest::newRow("Ctrl+A opens the add dialog") << QKeySequence(Qt::CTRL | Qt::Key_A) << "dialog";
        QTest::newRow("Ctrl+B text background") << QKeySequence(Qt::CTRL | Qt::Key_B) << "colour text 0";
        QTest::newRow("Ctrl+C background, no copy") << QKeySequence(Qt::CTRL | Qt::Key_C) << "colour back 0";
        QTest::newRow("Ctrl+S saves") << QKeySequence(Qt::CTRL | Qt::Key_S) << "save";
    }
    void pressShortcut_gridFocused_reachesItsCommand() {
        QFETCH(QKeySequence, key);
        QFETCH(QString, expected);
        MainWindow& window = *m_window;
        window.SetSamplingPeriod(1000);
        QStringList log;
        window.SetColourDialogRunner([&](QWidget*) -> std::optional<QColor> {
            log << QStringLiteral("colour");
            return QColor(Qt::black);
        });
        window.SetSaveSettings([&] { log << QStringLiteral("save"); });
        InsertRows(*window.Model(), 3);
        window.View()->selectRow(1);
        window.View()->setFocus();
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        if (expected == "dialog") {
            WhenOpened([&](QWidget* opened) {
                if (qobject_cast<tarvelin::AddTargetDialog*>(opened) != nullptr) log << QStringLiteral("dialog");
                if (opened != nullptr) QTest::keyClick(opened, Qt::Key_Escape);
            });
        }
        QTest::keySequence(window.View(), key);
        if (expected == "period 0") {
            QCOMPARE(window.SamplingPeriod(), 0);
        } else if (expected == "colour text 0") {
            QCOMPARE(log, QStringList{"colour"});
            QCOMPARE(window.TextBackgroundColour(), 0);
        } else if (expected == "colour back 0") {
            QCOMPARE(log, QStringList{"colour"});
            QCOMPARE(window.BackgroundColour(), 0);
            QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
        } else {
            QCOMPARE(log, QStringList{expected});
        }
        QCOMPARE(window.TargetCount(), 0);
    }

    void deleteSecond_ofThree_keepsListsAndColumnsInStep() {
        MainWindow& window = *m_window;
        AddThroughDialog(window, QStringLiteral("one"), QStringLiteral("127.0.0.1"));
        AddThroughDialog(window, QStringLiteral("two"), QStringLiteral("127.0.0.2"));
        AddThroughDialog(window, QStringLiteral("three"), QStringLiteral("127.0.0.3"));
        QCOMPARE(window.TargetCount(), 3);
        QCOMPARE(window.View()->columnWidth(3), 66);
        window.View()->setColumnWidth(3, 90);
        InsertRows(*window.Model(), 2);
        for (int k = 1; k <= 3; ++k) window.Model()->SetResult(2, window.Targets().IdAt(k), 10 * k);

        WhenOpened(
            [](QWidget* popup) {
                QVERIFY(popup != nullptr);
                QTest::keyClick(popup, Qt::Key_D);
            },
            true);
        ClickHeader(window, 2);

        QCOMPARE(window.ClickedColumn(), -1);
        QCOMPARE(window.TargetCount(), 2);
        QCOMPARE(window.TargetTitle(1), QStringLiteral("one"));
        QCOMPARE(window.TargetTitle(2), QStringLiteral("three"));
        QCOMPARE(window.TargetAddress(2), QStringLiteral("127.0.0.3"));
        QCOMPARE(window.Model()->columnCount(), 3);
        QCOMPARE(window.Model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("three"));
        QCOMPARE(window.Model()->CellText(0, 2), QStringLiteral("30ms"));
        QCOMPARE(window.Model()->CellText(0, 1), QStringLiteral("10ms"));
        QCOMPARE(window.TargetColumnWidth(2), 90);
        QCOMPARE(window.Model()->rowCount(), 2);
    }

    void clickHeader_timeColumnOrDismissed_changesNothing_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<bool>("opensMenu");
        QTest::newRow("time column") << 0 << false;
        QTest::newRow("target column, menu dismissed") << 1 << true;
    }
    void clickHeader_timeColumnOrDismissed_changesNothing() {
        QFETCH(int, column);
        QFETCH(bool, opensMenu);
        MainWindow& window = *m_window;
        window.AppendRestoredTarget(QStringLiteral("a"), QStringLiteral("127.0.0.1"), 70);
        InsertRows(*window.Model(), 1);
        QString shown;
        QPoint offset;
        if (opensMenu)
            WhenOpened(
                [&](QWidget* popup) {
                    QVERIFY(popup != nullptr);
                    auto* menu = qobject_cast<QMenu*>(popup);
                    shown = menu->title();
                    for (QAction* item : menu->actions()) shown += QStringLiteral("/") + item->text();
                    offset = menu->pos() - QCursor::pos();
                    QTest::keyClick(popup, Qt::Key_Escape);
                },
                true);
        ClickHeader(window, column);
        if (!opensMenu) {
            QTest::qWait(100);  // long enough for a popup that should not come
            QCOMPARE(QApplication::activePopupWidget(), nullptr);
        }
        QCOMPARE(shown, opensMenu ? QStringLiteral("右键菜单/删除(&D)\tDel") : QString());
        if (opensMenu) QCOMPARE(offset, QPoint(3, 3));
        QCOMPARE(window.ClickedColumn(), column);
        QCOMPARE(window.TargetCount(), 1);
        QCOMPARE(window.Model()->columnCount(), 2);
        QCOMPARE(window.Model()->rowCount(), 1);
        QCOMPARE(window.TargetColumnWidth(1), 70);
        // Del in the window runs nothing: the context menu's key name is only shown.
        window.View()->setFocus();
        QTest::keyClick(window.View(), Qt::Key_Delete);
        QCOMPARE(window.TargetCount(), 1);
    }

    void deleteCommand_staleClickedColumn_leavesListsAlone() {
        MainWindow& window = *m_window;
        window.AppendRestoredTarget(QStringLiteral("a"), QStringLiteral("127.0.0.1"), 66);
        window.DeleteTargetCommand();  // ClickedColumn 0 at start: the time column is never deleted
        QCOMPARE(window.TargetCount(), 1);
        QCOMPARE(window.Model()->columnCount(), 2);
        QCOMPARE(window.ClickedColumn(), -1);
        window.DeleteTargetCommand();  // -1 after a delete
        QCOMPARE(window.TargetCount(), 1);
        QCOMPARE(window.Model()->columnCount(), 2);
    }

    void pressF2_variousStates_editsFirstSelectedRowOnlyWhenAllowed_data() {
        QTest::addColumn<bool>("editing");
        QTest::addColumn<bool>("single");
        QTest::addColumn<QList<int>>("selected");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("editedRow");
        QTest::newRow("no row selected") << true << true << QList<int>{} << 0 << -1;
        QTest::newRow("editing off") << false << true << QList<int>{2} << 0 << -1;
        QTest::newRow("row selected") << true << true << QList<int>{2} << 0 << 2;
        QTest::newRow("Ctrl+F2") << true << true << QList<int>{2} << int(Qt::ControlModifier) << 2;
        QTest::newRow("Shift+F2") << true << true << QList<int>{2} << int(Qt::ShiftModifier) << 2;
        QTest::newRow("several selected") << true << false << QList<int>{4, 1, 3} << 0 << 1;
    }
    void pressF2_variousStates_editsFirstSelectedRowOnlyWhenAllowed() {
        QFETCH(bool, editing);
        QFETCH(bool, single);
        QFETCH(QList<int>, selected);
        QFETCH(int, modifiers);
        QFETCH(int, editedRow);
        MainWindow& window = *m_window;
        if (editing) window.RunOptionCommand(DisplayOption::kEditFirst);
        if (!single) window.RunOptionCommand(DisplayOption::kSingle);
        InsertRows(*window.Model(), 6);
        for (int row : selected) {
            window.View()->selectionModel()->select(window.Model()->index(row, 0),
                                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
        window.View()->setFocus();
        QTest::keyClick(window.View(), Qt::Key_F2, Qt::KeyboardModifiers(modifiers));
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        if (editedRow < 0) {
            QVERIFY(editor == nullptr);
            QVERIFY(!window.View()->IsEditing());
        } else {
            QVERIFY(editor != nullptr);
            QCOMPARE(editor->text(), window.Model()->CellText(editedRow, 0));
            editor->selectAll();
            QTest::keyClicks(editor, "edited");
            QTest::keyClick(editor, Qt::Key_Return);
            // The confirmed text replaces the cell's; the view commits it from its event loop.
            QTRY_COMPARE(window.Model()->CellText(editedRow, 0), QStringLiteral("edited"));
        }
    }

    void colourCommand_dialogResult_setsOnlyAConfirmedColour_data() {
        QTest::addColumn<bool>("textBackground");
        QTest::addColumn<QColor>("chosen");  // invalid: cancelled
        QTest::addColumn<int>("expectedText");
        QTest::addColumn<int>("expectedBack");
        QTest::newRow("text, cancelled") << true << QColor() << 16777215 << 16777215;
        QTest::newRow("text, black") << true << QColor(Qt::black) << 0 << 16777215;
        QTest::newRow("text, red") << true << QColor(255, 0, 0) << 255 << 16777215;
        QTest::newRow("back, cancelled") << false << QColor() << 16777215 << 16777215;
        QTest::newRow("back, black") << false << QColor(Qt::black) << 16777215 << 0;
        QTest::newRow("back, blue") << false << QColor(0, 0, 255) << 16777215 << 0xff0000;
    }
    void colourCommand_dialogResult_setsOnlyAConfirmedColour() {
        QFETCH(bool, textBackground);
        QFETCH(QColor, chosen);
        QFETCH(int, expectedText);
        QFETCH(int, expectedBack);
        MainWindow& window = *m_window;
        window.AppendRestoredTarget(QStringLiteral("a"), QStringLiteral("127.0.0.1"), 80);
        InsertRows(*window.Model(), 4);
        window.SetColourDialogRunner([chosen](QWidget*) -> std::optional<QColor> {
            if (!chosen.isValid()) return std::nullopt;
            return chosen;
        });
        textBackground ? window.TextBackgroundCommand() : window.BackgroundCommand();
        QCOMPARE(window.TextBackgroundColour(), expectedText);
        QCOMPARE(window.BackgroundColour(), expectedBack);
        QCOMPARE(window.Model()->rowCount(), 4);
        QCOMPARE(window.TargetColumnWidth(1), 80);
    }

    void qtColourDialog_afterCustomColourSet_opensOnDefaultWithoutIt() {
        QColorDialog::setCustomColor(0, QColor(10, 20, 30));
        QColor current;
        QColor custom;
        WhenOpened([&](QWidget* opened) {
            auto* dialog = qobject_cast<QColorDialog*>(opened);
            QVERIFY(dialog != nullptr);
            current = dialog->currentColor();
            custom = QColorDialog::customColor(0);
            dialog->reject();
        });
        QCOMPARE(tarvelin::ChooseColour(m_window->View()), tarvelin::kNoColour);
        QCOMPARE(current, QColor(Qt::white));
        QCOMPARE(custom, QColor(Qt::white));
    }

    void pressEscape_editorThenWindow_cancelsEditThenCloses() {
        MainWindow& window = *m_window;
        window.RunOptionCommand(DisplayOption::kEditFirst);
        InsertRows(*window.Model(), 2);
        const QString label = window.Model()->CellText(0, 0);
        window.View()->selectRow(0);
        window.View()->setFocus();
        QTest::keyClick(window.View(), Qt::Key_F2);
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QVERIFY(editor != nullptr);
        QTest::keyClicks(editor, QStringLiteral("typed"));
        QTest::keyClick(editor, Qt::Key_Escape);
        QVERIFY(window.isVisible());
        QVERIFY(!window.View()->IsEditing());
        QCOMPARE(window.Model()->CellText(0, 0), label);

        QTest::keyClick(window.View(), Qt::Key_Escape);
        QVERIFY(!window.isVisible());
    }

    void tellEchoUnavailable_reason_showsOneNonModalNotice() {
        m_window->TellEchoUnavailable(QStringLiteral("echo requests are not allowed"));
        auto* notice = m_window->findChild<QMessageBox*>(QStringLiteral("EchoUnavailableNotice"));
        QVERIFY(notice != nullptr);
        QVERIFY(notice->isVisible());
        QVERIFY(!notice->isModal());
        QCOMPARE(notice->text(), QStringLiteral("echo requests are not allowed"));
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
    }

  private:
    std::unique_ptr<MainWindow> m_window;
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
