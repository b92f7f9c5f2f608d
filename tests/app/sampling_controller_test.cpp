#include "app/sampling_controller.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QtTest>
#include <map>
#include <memory>

#include "../support/sampling_doubles.h"
#include "monitor/echo_probe.h"

namespace tarvelin {

using fakes::ScriptedProbe;
using fakes::WorkerTracker;

namespace {

constexpr int kWaitMs = 10000;  // only ever reached when something is broken

QStringList RowTexts(const ResultsModel& model, int row) {
    QStringList texts;
    for (int column = 0; column < model.columnCount(); ++column) texts << model.CellText(row, column);
    return texts;
}

// The program's wiring of targets, model and controller, with the test doubles in place.
struct Rig {
    Rig() {
        controller->SetProbe(probe.AsProbe());
        controller->SetThreadStarter(workers.Starter());
        controller->SetLocalClock([] { return *DateTime::FromFields(2016, 3, 16, 9, 5, 7); });
    }
    ~Rig() {
        probe.Open();
        workers.WaitAllEnded();
    }
    TargetId Add(const QString& title, const QString& address) {
        const TargetId id = targets.AppendTarget(title.toStdString(), address.toStdString());
        model.AppendColumn(title, id);
        return id;
    }
    void Delete(int column) {
        model.DeleteColumn(column);
        targets.RemoveTarget(column);
    }

    TargetList targets;
    ResultsModel model;
    ScriptedProbe probe;
    WorkerTracker workers;
    std::unique_ptr<SamplingController> controller = std::make_unique<SamplingController>(targets, model);
};

}  // namespace

class SamplingControllerTest : public QObject {
    Q_OBJECT

  private slots:
    void SetPeriod_EachWrite_FollowsTheRules_data() {
        QTest::addColumn<int>("initial");
        QTest::addColumn<int>("written");
        QTest::addColumn<int>("period");
        QTest::addColumn<bool>("restarted");
        QTest::newRow("start") << 0 << 1000 << 1000 << true;
        QTest::newRow("same value keeps phase") << 1000 << 1000 << 1000 << false;
        QTest::newRow("pause") << 1000 << 0 << 0 << false;
        QTest::newRow("negative pauses") << 1000 << -1 << 0 << false;
        QTest::newRow("negative while paused") << 0 << -50 << 0 << false;
    }
    void SetPeriod_EachWrite_FollowsTheRules() {
        QFETCH(int, initial);
        QFETCH(int, written);
        QFETCH(int, period);
        QFETCH(bool, restarted);
        Rig rig;
        rig.controller->SetPeriod(initial);
        QTest::qWait(60);
        const int remainingBefore = rig.controller->Timer().remainingTime();
        rig.controller->SetPeriod(written);
        QCOMPARE(rig.controller->Period(), period);
        QCOMPARE(rig.controller->Timer().timerType(), Qt::PreciseTimer);
        if (period > 0) {
            const int remainingAfter = rig.controller->Timer().remainingTime();
            // A restart puts the next tick a whole period away; a kept phase cannot have moved it later.
            QVERIFY2(restarted ? remainingAfter > 950 : remainingAfter <= remainingBefore,
                     qPrintable(QString("%1 -> %2").arg(remainingBefore).arg(remainingAfter)));
        }
    }

    void ToggleSampling_Twice_PausesThenResumes() {
        Rig rig;
        rig.controller->SetPeriod(1000);
        rig.controller->ToggleSampling();
        QCOMPARE(rig.controller->Period(), 0);
        QVERIFY(!rig.controller->Timer().isActive());
        rig.controller->ToggleSampling();
        QCOMPARE(rig.controller->Period(), 1000);
    }

    void SampleTick_FakeProbe_ResultsReachTheirCells() {
        Rig rig;
        const std::map<std::string, int> replies{{"zero.example", 0}, {"typical.example", 37}, {"silent.example", -1}};
        rig.probe.SetScript([replies](const std::string& host, int) { return ScriptedProbe::Reply{replies.at(host)}; });
        rig.Add("zero", "zero.example");
        rig.Add("typical", "https://Typical.Example/x");
        rig.Add("silent", "silent.example:8080");
        rig.controller->SampleTick();
        QCOMPARE(rig.model.rowCount(), 1);
        const QStringList expected{"2016/03/16 09:05:07", "0ms", "37ms", QString::fromUtf8("≥1000ms")};
        QTRY_COMPARE_WITH_TIMEOUT(RowTexts(rig.model, 0), expected, kWaitMs);
    }

    void SampleTick_NoTargets_NoRow() {
        Rig rig;
        rig.controller->SampleTick();
        QCOMPARE(rig.model.rowCount(), 0);
    }

    void DeleteTarget_ProbeInFlight_ResultDroppedAndFormerThirdUntouched() {
        Rig rig;
        rig.probe.SetScript([](const std::string& host, int) {
            return ScriptedProbe::Reply{host == "b.example" ? 20 : 10, host == "b.example"};
        });
        rig.Add("a", "a.example");
        rig.Add("b", "b.example");
        rig.Add("c", "c.example");
        QSignalSpy delivered(rig.controller.get(), &SamplingController::ResultDelivered);
        rig.controller->SampleTick();
        QVERIFY(rig.probe.WaitForHeld(1));
        QTRY_COMPARE_WITH_TIMEOUT(delivered.count(), 2, kWaitMs);
        rig.Delete(2);
        rig.probe.Open();
        QTRY_COMPARE_WITH_TIMEOUT(delivered.count(), 3, kWaitMs);
        QCOMPARE(RowTexts(rig.model, 0), QStringList({"2016/03/16 09:05:07", "10ms", "10ms"}));
        QCOMPARE(rig.model.headerData(2, Qt::Horizontal).toString(), QString("c"));
    }

    void Pause_ProbeInFlight_ResultStillLandsInItsRowAndNoNewRows() {
        Rig rig;
        rig.probe.SetScript([](const std::string&, int) { return ScriptedProbe::Reply{450, true}; });
        rig.Add("a", "a.example");
        rig.controller->SetPeriod(1000);
        rig.controller->SampleTick();
        QVERIFY(rig.probe.WaitForHeld(1));
        rig.controller->ToggleSampling();
        rig.probe.Open();
        QTRY_COMPARE_WITH_TIMEOUT(rig.model.CellText(0, 1), QString("450ms"), kWaitMs);
        QCOMPARE(rig.model.rowCount(), 1);
        QVERIFY(!rig.controller->Timer().isActive());
    }

    void DestroyController_ResultInFlight_LateResultTouchesNothing_data() {
        QTest::addColumn<bool>("postedBeforeDestroy");
        QTest::newRow("probe ends after the controller is gone") << false;
        QTest::newRow("result queued while the controller goes") << true;
    }
    void DestroyController_ResultInFlight_LateResultTouchesNothing() {
        QFETCH(bool, postedBeforeDestroy);
        Rig rig;
        rig.probe.SetScript([=](const std::string&, int) { return ScriptedProbe::Reply{5, !postedBeforeDestroy}; });
        rig.Add("a", "a.example");
        rig.controller->SampleTick();
        if (postedBeforeDestroy) {
            QVERIFY(rig.workers.WaitAllEnded());  // its result now waits in the event queue
        } else {
            QVERIFY(rig.probe.WaitForHeld(1));
        }
        rig.controller.reset();
        rig.probe.Open();
        QVERIFY(rig.workers.WaitAllEnded());
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        QCOMPARE(rig.model.CellText(0, 1), QString());
    }

    void DestroyModelFirst_ProbeInFlight_LateResultTouchesNothing() {
        TargetList targets;  // the controller's targets outlive it, as in the program
        auto model = std::make_unique<ResultsModel>();
        ScriptedProbe probe;
        WorkerTracker workers;
        probe.SetScript([](const std::string&, int) { return ScriptedProbe::Reply{5, true}; });
        SamplingController controller(targets, *model);
        controller.SetProbe(probe.AsProbe());
        controller.SetThreadStarter(workers.Starter());
        model->AppendColumn("a", targets.AppendTarget("a", "a.example"));
        controller.SampleTick();
        QVERIFY(probe.WaitForHeld(1));
        model.reset();
        QSignalSpy delivered(&controller, &SamplingController::ResultDelivered);
        probe.Open();
        QVERIFY(workers.WaitAllEnded());
        QTRY_COMPARE_WITH_TIMEOUT(delivered.count(), 1, kWaitMs);
        controller.SampleTick();  // with the model gone a tick adds nothing anywhere
        QVERIFY(workers.WaitAllEnded());
        QTRY_COMPARE_WITH_TIMEOUT(delivered.count(), 2, kWaitMs);
    }

    void RealCycle_Loopback_RowsFillOncePerSecond() {
        TargetList targets;
        ResultsModel model;
        SamplingController controller(targets, model);
        model.AppendColumn("loopback", targets.AppendTarget("loopback", "127.0.0.1"));
        controller.SetPeriod(1000);
        // Two ticks, and the first tick's result in its own row.
        QTRY_VERIFY_WITH_TIMEOUT(model.rowCount() >= 2 && !model.CellText(model.rowCount() - 1, 1).isEmpty(), kWaitMs);
        const int oldest = model.rowCount() - 1;
        QCOMPARE(model.CellText(oldest, 0).size(), qsizetype(19));  // YYYY/MM/DD HH:mm:ss
        if (const auto reason = EchoUnavailableReason()) {
            QCOMPARE(model.CellText(oldest, 1), QString::fromUtf8("≥1000ms"));
            QSKIP(reason->c_str());
        }
        QVERIFY2(QRegularExpression("^[0-9]+ms$").match(model.CellText(oldest, 1)).hasMatch(),
                 qPrintable(model.CellText(oldest, 1)));
        // Loopback answers within the millisecond, though a busy machine may delay the odd reply.
        const auto anyZero = [&model] {
            for (int row = 0; row < model.rowCount(); ++row) {
                if (model.CellText(row, 1) == "0ms") return true;
            }
            return false;
        };
        QTRY_VERIFY_WITH_TIMEOUT(anyZero(), kWaitMs);
        controller.SetPeriod(0);
    }
};

}  // namespace tarvelin

QTEST_MAIN(tarvelin::SamplingControllerTest)
#include "sampling_controller_test.moc"
