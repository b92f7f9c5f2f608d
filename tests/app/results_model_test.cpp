#include "app/results_model.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTableView>
#include <QtTest>

namespace tarvelin {
namespace {

DateTime At(int second) {
    return *DateTime::FromFields(2016, 3, 16, 9, 5, second);
}

QStringList RowTexts(const ResultsModel& model, int row) {
    QStringList texts;
    for (int column = 0; column < model.columnCount(); ++column) texts << model.CellText(row, column);
    return texts;
}

}  // namespace

class ResultsModelTest : public QObject {
    Q_OBJECT

  private slots:
    void ModelTester_EveryOperation_NoViolations() {
        ResultsModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QTableView view;
        view.setModel(&model);
        view.show();
        model.AppendColumn("a", 1);
        model.AppendColumn("b", 2);
        for (int second = 0; second < 5; ++second) {
            const RowSerial row = model.InsertTopRow(At(second));
            model.SetResult(row, 1, second);
            model.SetResult(row, 2, -1);
        }
        QVERIFY(model.setData(model.index(2, 0), "note"));
        model.AppendColumn("c", 3);
        model.DeleteColumn(1);
        model.SetResult(1, 1, 5);
        model.Clear();
        model.AppendColumn("a", 1);
        model.InsertTopRow(At(9));
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.columnCount(), 2);
    }

    void SetResult_EachOutcome_ShowsItsText_data() {
        QTest::addColumn<int>("ms");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << 0 << "0ms";
        QTest::newRow("typical") << 37 << "37ms";
        QTest::newRow("no answer") << -1
                                   << QString::fromUtf8(
                                          "\u2265"
                                          "1000ms");
        QTest::newRow("at the timeout") << 1000 << "1000ms";
    }
    void SetResult_EachOutcome_ShowsItsText() {
        QFETCH(int, ms);
        QFETCH(QString, text);
        ResultsModel model;
        model.AppendColumn("a", 1);
        const RowSerial row = model.InsertTopRow(At(0));
        model.SetResult(row, 1, ms);
        QCOMPARE(model.data(model.index(0, 1)).toString(), text);
        QCOMPARE(model.CellText(0, 1), text);
    }

    void InsertTopRow_OneTick_RowsInsertedAtTopWithoutReset() {
        ResultsModel model;
        model.AppendColumn("a", 1);
        model.InsertTopRow(At(0));
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
        model.InsertTopRow(At(1));
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(inserted.at(0).at(1).toInt(), 0);
        QCOMPARE(inserted.at(0).at(2).toInt(), 0);
        QCOMPARE(reset.count(), 0);
        QCOMPARE(RowTexts(model, 0), QStringList({"2016/03/16 09:05:01", ""}));
        QCOMPARE(RowTexts(model, 1), QStringList({"2016/03/16 09:05:00", ""}));
    }

    void SetResult_OwnRowAfterNewerRows_DataChangedForThatCellOnly() {
        ResultsModel model;
        model.AppendColumn("a", 1);
        model.AppendColumn("b", 2);
        const RowSerial own = model.InsertTopRow(At(0));
        model.InsertTopRow(At(1));
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        model.SetResult(own, 2, 12);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toModelIndex(), model.index(1, 2));
        QCOMPARE(changed.at(0).at(1).toModelIndex(), model.index(1, 2));
        QCOMPARE(RowTexts(model, 1), QStringList({"2016/03/16 09:05:00", "", "12ms"}));
    }

    void SetResult_RowOrColumnGone_DroppedWithoutSignal() {
        ResultsModel model;
        model.AppendColumn("a", 1);
        model.AppendColumn("b", 2);
        model.AppendColumn("c", 3);
        const RowSerial row = model.InsertTopRow(At(0));
        model.DeleteColumn(2);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        model.SetResult(row, 2, 5);
        model.SetResult(row + 1, 1, 5);
        QCOMPARE(changed.count(), 0);
        model.SetResult(row, 3, 7);
        QCOMPARE(RowTexts(model, 0), QStringList({"2016/03/16 09:05:00", "", "7ms"}));
        QCOMPARE(model.ColumnTarget(2), TargetId{3});
        QCOMPARE(model.ColumnTarget(0), TargetId{0});
    }

    void DeleteColumn_EachIndex_OnlyATargetColumnGoes_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<QStringList>("headers");
        QTest::addColumn<QStringList>("cells");
        QTest::newRow("time column") << 0 << QStringList({"时间", "t1", "t2", "t3"})
                                     << QStringList({"2016/03/16 09:05:00", "1ms", "2ms", "3ms"});
        QTest::newRow("middle") << 2 << QStringList({"时间", "t1", "t3"})
                                << QStringList({"2016/03/16 09:05:00", "1ms", "3ms"});
        QTest::newRow("last") << 3 << QStringList({"时间", "t1", "t2"})
                              << QStringList({"2016/03/16 09:05:00", "1ms", "2ms"});
        QTest::newRow("past the end") << 4 << QStringList({"时间", "t1", "t2", "t3"})
                                      << QStringList({"2016/03/16 09:05:00", "1ms", "2ms", "3ms"});
    }
    void DeleteColumn_EachIndex_OnlyATargetColumnGoes() {
        QFETCH(int, column);
        QFETCH(QStringList, headers);
        QFETCH(QStringList, cells);
        ResultsModel model;
        for (TargetId id = 1; id <= 3; ++id) model.AppendColumn(QString("t%1").arg(id), id);
        const RowSerial row = model.InsertTopRow(At(0));
        for (TargetId id = 1; id <= 3; ++id) model.SetResult(row, id, static_cast<int>(id));
        model.DeleteColumn(column);
        QStringList shown;
        for (int section = 0; section < model.columnCount(); ++section) {
            shown << model.headerData(section, Qt::Horizontal).toString();
        }
        QCOMPARE(shown, headers);
        QCOMPARE(RowTexts(model, 0), cells);
    }

    void SetData_EachCellAndRole_OnlyTimeColumnEditTakes_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("role");
        QTest::addColumn<bool>("taken");
        QTest::newRow("time column, edit") << 0 << int(Qt::EditRole) << true;
        QTest::newRow("time column, display") << 0 << int(Qt::DisplayRole) << false;
        QTest::newRow("target column, edit") << 1 << int(Qt::EditRole) << false;
    }
    void SetData_EachCellAndRole_OnlyTimeColumnEditTakes() {
        QFETCH(int, column);
        QFETCH(int, role);
        QFETCH(bool, taken);
        ResultsModel model;
        model.AppendColumn("a", 1);
        model.InsertTopRow(At(0));
        const QModelIndex cell = model.index(0, column);
        const QString before = model.data(cell, Qt::EditRole).toString();
        QCOMPARE(model.setData(cell, "edited", role), taken);
        QCOMPARE(model.data(cell, Qt::EditRole).toString(), taken ? QString("edited") : before);
        QCOMPARE(model.data(cell, Qt::DisplayRole).toString(), taken ? QString("edited") : before);
        QCOMPARE(bool(model.flags(cell) & Qt::ItemIsEditable), column == 0);
    }
};

}  // namespace tarvelin

QTEST_MAIN(tarvelin::ResultsModelTest)
#include "results_model_test.moc"
