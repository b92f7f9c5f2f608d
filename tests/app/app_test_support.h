// Helpers shared by the window tests: waiting for a modal dialog or popup that a command opens inside its
// own event loop, and filling the grid with sample rows. UI thread only.
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>

#include "app/results_model.h"
#include "timefmt/date_time.h"

namespace tarvelin::testing {

// Runs act on the first modal dialog (or, with popup, the first popup) once it is open. Call it before the
// command that opens the window; the command's own event loop then runs act. Gives up after five seconds so
// a missing window fails the test instead of hanging it.
inline void WhenOpened(std::function<void(QWidget*)> act, bool popup = false) {
    auto* poll = new QTimer(qApp);
    QElapsedTimer clock;
    clock.start();
    QObject::connect(poll, &QTimer::timeout, poll, [poll, clock, act = std::move(act), popup] {
        QWidget* opened = popup ? QApplication::activePopupWidget() : QApplication::activeModalWidget();
        if (opened == nullptr && clock.elapsed() < 5000) return;
        poll->stop();
        poll->deleteLater();
        // A window that act leaves open is closed a little later, so the test fails instead of hanging.
        if (opened != nullptr) QTimer::singleShot(3000, opened, [opened] { opened->close(); });
        act(opened);
    });
    poll->start(10);
}

// Types text into widget one character at a time as key presses carrying that text, which also covers
// characters that QTest::keyClicks cannot name (it knows ASCII only).
inline void TypeText(QWidget* widget, const QString& text) {
    for (const QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(widget, &release);
    }
}

// Inserts count rows at the top, the first one stamped 2024-05-01 12:00:00 and each later one a second on.
inline void InsertRows(ResultsModel& model, int count, int firstSecond = 0) {
    const DateTime base = *DateTime::FromFields(2024, 5, 1, 12, 0, 0);
    for (int i = 0; i < count; ++i) model.InsertTopRow(DateTime::FromWallSeconds(base.WallSeconds() + firstSecond + i));
}

}  // namespace tarvelin::testing
