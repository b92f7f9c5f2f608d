// The add-target dialog opened by the real add command: its layout, the three ways to confirm and the ways
// to leave without adding, with the grid's columns and the target lists checked afterwards.

#include "app/add_target_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include "app/main_window.h"
#include "app/results_model.h"
#include "app/results_view.h"
#include "app_test_support.h"

using tarvelin::AddTargetDialog;
using tarvelin::MainWindow;
using tarvelin::testing::TypeText;
using tarvelin::testing::WhenOpened;

namespace {

// Runs the add command with act driving the dialog once it is open.
void RunAdd(MainWindow& window, std::function<void(AddTargetDialog&)> act) {
    WhenOpened([act = std::move(act)](QWidget* opened) {
        auto* dialog = qobject_cast<AddTargetDialog*>(opened);
        QVERIFY(dialog != nullptr);
        // Mnemonics and the default button answer only in the active window.
        dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        act(*dialog);
    });
    window.AddTargetCommand();
}

QLabel* LabelWithText(const QWidget& parent, const QString& text) {
    for (QLabel* label : parent.findChildren<QLabel*>()) {
        if (label->text() == text) return label;
    }
    return nullptr;
}

}  // namespace

class AddTargetDialogTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        m_window = std::make_unique<MainWindow>();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }
    void cleanup() { m_window.reset(); }

    void open_addCommand_showsDesignedLayoutWithFocusInTitle() {
        QRect outer;
        QRect screen;
        bool modal = false;
        bool fixed = false;
        Qt::WindowFlags flags;
        QMap<QString, QRect> places;
        QString caption;
        bool focusInTitle = false;
        bool okIsDefault = false;
        RunAdd(*m_window, [&](AddTargetDialog& dialog) {
            outer = dialog.frameGeometry();
            screen = dialog.screen()->geometry();
            modal = dialog.isModal();
            fixed = dialog.minimumSize() == dialog.maximumSize();
            flags = dialog.windowFlags();
            caption = dialog.windowTitle();
            focusInTitle = dialog.focusWidget() == dialog.TitleEdit() &&
                           QTest::qWaitFor([&] { return QApplication::focusWidget() == dialog.TitleEdit(); });
            okIsDefault = dialog.OkButton()->isDefault() && !dialog.CancelButton()->isDefault();
            places["标题:"] = LabelWithText(dialog, QStringLiteral("标题:"))->geometry();
            places["域名/网址:"] = LabelWithText(dialog, QStringLiteral("域名/网址:"))->geometry();
            places["TitleEdit"] = dialog.TitleEdit()->geometry();
            places["AddressEdit"] = dialog.AddressEdit()->geometry();
            places[dialog.OkButton()->text()] = dialog.OkButton()->geometry();
            places[dialog.CancelButton()->text()] = dialog.CancelButton()->geometry();
            dialog.reject();
        });
        QCOMPARE(caption, QStringLiteral("添加域名/网址"));
        QCOMPARE(outer.size(), QSize(380, 190));
        QCOMPARE(outer.topLeft(), QPoint((screen.width() - 380) / 2, (screen.height() - 190) / 2));
        QVERIFY(modal);
        QVERIFY(fixed);
        QVERIFY(flags & Qt::WindowMinimizeButtonHint);
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QVERIFY(focusInTitle);
        QVERIFY(okIsDefault);
        const QMap<QString, QRect> expected = {
            {"标题:", QRect(8, 8, 80, 24)},        {"域名/网址:", QRect(8, 40, 80, 24)},
            {"TitleEdit", QRect(40, 8, 320, 24)},  {"AddressEdit", QRect(8, 72, 352, 24)},
            {"确定(&O)", QRect(192, 112, 80, 32)}, {"取消(&C)", QRect(280, 112, 80, 32)},
        };
        QCOMPARE(places, expected);
    }

    void confirm_clickEnterOrAltO_addsTargetWithItsColumn_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("address");
        QTest::newRow("click OK") << "click"
                                  << "本机"
                                  << "127.0.0.1";
        QTest::newRow("Enter") << "enter"
                               << " spaced "
                               << "HTTP://127.0.0.1:80/x";
        QTest::newRow("Alt+O") << "alt"
                               << "a||b"
                               << "127.0.0.2";
        QTest::newRow("both empty") << "enter"
                                    << ""
                                    << "";
    }
    void confirm_clickEnterOrAltO_addsTargetWithItsColumn() {
        QFETCH(QString, how);
        QFETCH(QString, title);
        QFETCH(QString, address);
        MainWindow& window = *m_window;
        for (int round = 1; round <= 2; ++round) {  // the same target twice gives two targets
            RunAdd(window, [&](AddTargetDialog& dialog) {
                    TypeText(dialog.TitleEdit(), title);
                TypeText(dialog.AddressEdit(), address);
                if (how == "click") QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
                if (how == "enter") QTest::keyClick(dialog.AddressEdit(), Qt::Key_Return);
                if (how == "alt") QTest::keyClick(&dialog, Qt::Key_O, Qt::AltModifier);
            });
            QCOMPARE(window.TargetCount(), round);
            QCOMPARE(window.TargetTitle(round), title);
            QCOMPARE(window.TargetAddress(round), address);
            QCOMPARE(window.Model()->columnCount(), round + 1);
            QCOMPARE(window.Model()->headerData(round, Qt::Horizontal).toString(), title);
            QCOMPARE(window.TargetColumnWidth(round), 66);
        }
    }

    void leave_escCloseOrCancel_addsNothingAndNextOpensEmpty_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("Esc") << "esc";
        QTest::newRow("close box") << "close";
        QTest::newRow("cancel button") << "cancel";
        QTest::newRow("Alt+C") << "altc";
    }
    void leave_escCloseOrCancel_addsNothingAndNextOpensEmpty() {
        QFETCH(QString, how);
        MainWindow& window = *m_window;
        RunAdd(window, [&](AddTargetDialog& dialog) {
            QTest::keyClicks(dialog.TitleEdit(), QStringLiteral("typed"));
            QTest::keyClicks(dialog.AddressEdit(), QStringLiteral("127.0.0.1"));
            if (how == "esc") QTest::keyClick(dialog.AddressEdit(), Qt::Key_Escape);
            if (how == "close") dialog.close();
            if (how == "cancel") QTest::mouseClick(dialog.CancelButton(), Qt::LeftButton);
            if (how == "altc") QTest::keyClick(&dialog, Qt::Key_C, Qt::AltModifier);
        });
        QCOMPARE(window.TargetCount(), 0);
        QCOMPARE(window.Model()->columnCount(), 1);
        QString title = QStringLiteral("not read");
        QString address = QStringLiteral("not read");
        RunAdd(window, [&](AddTargetDialog& dialog) {
            title = dialog.TitleEdit()->text();
            address = dialog.AddressEdit()->text();
            dialog.reject();
        });
        QCOMPARE(title, QString());
        QCOMPARE(address, QString());
    }

  private:
    std::unique_ptr<MainWindow> m_window;
};

QTEST_MAIN(AddTargetDialogTest)
#include "add_target_dialog_test.moc"
