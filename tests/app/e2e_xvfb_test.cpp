// The real window on a real X server (its own Xvfb), driven by real keystrokes from xdotool: Ctrl+A opens
// the add dialog, a loopback target is typed in and confirmed with Enter, and its cells fill with the real
// probe's "0ms"; a real click on its header and "d" in the context menu delete it. Also keeps screenshots of the
// running window in the build directory for the docs. Skips, saying why, when Xvfb or xdotool is missing. Sends echo
// requests to 127.0.0.0/8 only.

#include <QHeaderView>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <chrono>
#include <filesystem>
#include <thread>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/main_window.h"
#include "app/results_model.h"
#include "app/results_view.h"

using tarvelin::DisplayOption;
using tarvelin::MainWindow;

namespace {

// An Xvfb of our own on a display number nobody uses; stopped when the test ends.
class XvfbServer {
  public:
    bool Start() {
        if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty()) return Fail("Xvfb is not installed");
        if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()) {
            return Fail("xdotool is not installed");
        }
        for (int display = 70 + getpid() % 50; display < 200; ++display) {
            const std::string lock = "/tmp/.X" + std::to_string(display) + "-lock";
            const std::string socket = "/tmp/.X11-unix/X" + std::to_string(display);
            if (std::filesystem::exists(lock) || std::filesystem::exists(socket)) continue;
            if (Launch(display, socket)) return true;
        }
        return Fail("no X display could be started");
    }
    void Stop() {
        if (m_pid <= 0) return;
        kill(m_pid, SIGTERM);
        waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }
    QString Display() const { return m_display; }
    QString Problem() const { return m_problem; }

  private:
    bool Launch(int display, const std::string& socket) {
        const std::string name = ":" + std::to_string(display);
        m_pid = fork();
        if (m_pid == 0) {
            execlp("Xvfb", "Xvfb", name.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-noreset",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        for (int waited = 0; waited < 100; ++waited) {
            if (std::filesystem::exists(socket)) {
                m_display = QString::fromStdString(name);
                return true;
            }
            if (waitpid(m_pid, nullptr, WNOHANG) == m_pid) break;  // it gave up (display taken meanwhile)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        Stop();
        return false;
    }
    bool Fail(const char* problem) {
        m_problem = QString::fromLatin1(problem);
        return false;
    }

    pid_t m_pid = -1;
    QString m_display;
    QString m_problem;
};

XvfbServer g_server;
bool g_serverUp = false;

// Runs xdotool commands one after another in the background, so that the program's own event loops (the
// add dialog's included) keep running while the keystrokes arrive.
void RunXdotoolScript(QProcess& process, const QStringList& commands) {
    process.start(QStringLiteral("sh"), {QStringLiteral("-c"), commands.join(QStringLiteral(" && "))});
}

QString SavePath(const char* name) {
    return QStringLiteral(TARVELIN_BINARY_DIR "/") + QString::fromLatin1(name);
}

}  // namespace

class E2eXvfbTest : public QObject {
    Q_OBJECT

  private slots:
    void addLoopbackTarget_realKeystrokes_cellsShowZeroMs() {
        if (!g_serverUp) QSKIP(qPrintable(QStringLiteral("no X server for the test: ") + g_server.Problem()));
        MainWindow window;
        window.RunCreatedStep();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QString id = QString::number(window.winId());

        QProcess keys;
        RunXdotoolScript(keys, {
                                   "xdotool windowfocus --sync " + id,
                                   QStringLiteral("xdotool key ctrl+a"),
                                   // The dialog gets the focus when it opens; typing starts in its title box.
                                   QStringLiteral("xdotool search --sync --onlyvisible --name '添加域名'"),
                                   QStringLiteral("sleep 0.3"),
                                   QStringLiteral("xdotool type --delay 30 loopback"),
                                   QStringLiteral("xdotool key Tab"),
                                   QStringLiteral("xdotool type --delay 30 127.0.0.1"),
                                   QStringLiteral("xdotool key Return"),
                               });
        QTRY_COMPARE_WITH_TIMEOUT(window.TargetCount(), 1, 15000);
        QVERIFY(keys.waitForFinished(5000));
        QCOMPARE(keys.exitCode(), 0);
        QCOMPARE(window.TargetTitle(1), QStringLiteral("loopback"));
        QCOMPARE(window.TargetAddress(1), QStringLiteral("127.0.0.1"));
        QCOMPARE(window.Model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("loopback"));

        // A few ticks: every filled cell of the loopback column reads "0ms".
        QTRY_VERIFY_WITH_TIMEOUT(window.Model()->rowCount() >= 4 && window.Model()->CellText(1, 1) == "0ms", 15000);
        for (int row = 1; row < window.Model()->rowCount(); ++row) {
            const QString cell = window.Model()->CellText(row, 1);
            QVERIFY2(cell.isEmpty() || cell == QStringLiteral("0ms"), qPrintable(cell));
        }
        QVERIFY(window.grab().save(SavePath("screenshot.png")));

        // Grid lines and hot tracking, with the pointer resting on a row.
        window.RunOptionCommand(DisplayOption::kLine);
        window.RunOptionCommand(DisplayOption::kHot);
        const QPoint overRow = window.View()->viewport()->mapTo(
            &window, QPoint(40, window.View()->rowViewportPosition(2) + window.View()->rowHeight(2) / 2));
        QProcess pointer;
        RunXdotoolScript(pointer, {"xdotool mousemove --window " + id + " " + QString::number(overRow.x()) + " " +
                                   QString::number(overRow.y())});
        QVERIFY(pointer.waitForFinished(5000));
        QTRY_VERIFY_WITH_TIMEOUT(window.View()->HotRow() >= 0, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(window.View()->selectionModel()->isRowSelected(window.View()->HotRow(), {}), 5000);
        QVERIFY(window.grab().save(SavePath("options.png")));

        // A real click on the first target's header opens its context menu; "d" deletes that target.
        // A second target by keystrokes alone: the keyboard is back in the window once the first dialog closed,
        // with no window manager to hand it back.
        QProcess moreKeys;
        RunXdotoolScript(moreKeys, {QStringLiteral("xdotool key ctrl+a"),
                                    QStringLiteral("xdotool search --sync --onlyvisible --name '添加域名'"),
                                    QStringLiteral("sleep 0.3"), QStringLiteral("xdotool type --delay 30 second"),
                                    QStringLiteral("xdotool key Tab"), QStringLiteral("xdotool type --delay 30 127.0.0.2"),
                                    QStringLiteral("xdotool key Return")});
        QTRY_COMPARE_WITH_TIMEOUT(window.TargetCount(), 2, 15000);
        QVERIFY(moreKeys.waitForFinished(5000));
        QCOMPARE(window.TargetAddress(2), QStringLiteral("127.0.0.2"));
        QHeaderView* header = window.View()->horizontalHeader();
        const QPoint overHeader =
            header->viewport()->mapTo(&window, QPoint(header->sectionViewportPosition(1) + 10, header->height() / 2));
        QProcess click;
        RunXdotoolScript(
            click, {"xdotool mousemove --window " + id + " " + QString::number(overHeader.x()) + " " +
                        QString::number(overHeader.y()),
                    QStringLiteral("xdotool click 1"), QStringLiteral("sleep 0.5"), QStringLiteral("xdotool key d")});
        QTRY_COMPARE_WITH_TIMEOUT(window.TargetCount(), 1, 10000);
        QVERIFY(click.waitForFinished(5000));
        QCOMPARE(window.TargetTitle(1), QStringLiteral("second"));
        QCOMPARE(window.Model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("second"));
        QCOMPARE(window.ClickedColumn(), -1);
    }
};

int main(int argc, char* argv[]) {
    g_serverUp = g_server.Start();
    if (g_serverUp) {
        qputenv("DISPLAY", g_server.Display().toLatin1());
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    int status = 0;
    {
        QApplication app(argc, argv);
        E2eXvfbTest test;
        status = QTest::qExec(&test, argc, argv);
    }
    g_server.Stop();
    return status;
}

#include "e2e_xvfb_test.moc"
