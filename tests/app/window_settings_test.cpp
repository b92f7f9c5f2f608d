// config.ini through the real window: what one window saves, a new window restores at its created step,
// and a stored file with odd values still gives a usable window.

#include <QFont>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>
#include <memory>

#include "app/main_window.h"
#include "app/window_settings.h"
#include "settings/profile_file.h"

using tarvelin::DisplayOption;
using tarvelin::MainWindow;

namespace {

std::unique_ptr<MainWindow> StartWindow(const std::filesystem::path& file) {
    auto window = std::make_unique<MainWindow>();
    window->Sampling().SetProbe([](std::string_view, int) { return 5; });
    tarvelin::BindSettingsFile(*window, file);
    window->RunCreatedStep();
    return window;
}

std::filesystem::path FileIn(const QTemporaryDir& dir) {
    return std::filesystem::path(dir.path().toStdString()) / "config.ini";
}

}  // namespace

class WindowSettingsTest : public QObject {
    Q_OBJECT

private slots:
    void SaveThenRestart_ComesBackAsItWas() {
        QTemporaryDir dir;
        const auto file = FileIn(dir);
        auto first = StartWindow(file);
        first->SetOuterRect(QRect(40, 30, 700, 500));
        first->AppendRestoredTarget(QStringLiteral("本机"), QStringLiteral("127.0.0.1"), 90);
        first->AppendRestoredTarget(QStringLiteral("a||b"), QString(), 0);
        first->AppendRestoredTarget(QStringLiteral("web"), QStringLiteral("https://Host.tld:8443/x"), 66);
        first->RunOptionCommand(DisplayOption::kLine);
        first->RunOptionCommand(DisplayOption::kHot);
        first->RunOptionCommand(DisplayOption::kHand);
        first->RunOptionCommand(DisplayOption::kSingle);
        first->SetTextBackgroundColour(0x00FF00);
        first->SetBackgroundColour(0);
        QFont font = first->GridFont();
        font.setPointSize(13);
        font.setBold(true);
        font.setItalic(true);
        first->SetGridFont(font);
        first->ToggleSampling();
        first->SaveSettingsCommand();

        auto second = StartWindow(file);
        QCOMPARE(second->OuterRect(), first->OuterRect());
        QCOMPARE(second->SamplingPeriod(), 0);
        for (const auto& info : tarvelin::kDisplayOptions) {
            QCOMPARE(second->IsOptionTicked(info.option), first->IsOptionTicked(info.option));
        }
        QCOMPARE(second->TextBackgroundColour(), 0x00FF00);
        QCOMPARE(second->BackgroundColour(), 0);
        QCOMPARE(second->GridFont().pointSize(), 13);
        QVERIFY(second->GridFont().bold());
        QVERIFY(second->GridFont().italic());
        QVERIFY(!second->GridFont().underline());
        QCOMPARE(second->GridFont().family(), first->GridFont().family());
        QCOMPARE(second->TargetCount(), 3);
        // The title holding "||" comes back cut at it, and its empty address stays a target.
        const QStringList titles = {QStringLiteral("本机"), QStringLiteral("a"), QStringLiteral("web")};
        const QStringList addresses = {QStringLiteral("127.0.0.1"), QStringLiteral("b"),
                                       QStringLiteral("https://Host.tld:8443/x")};
        const int widths[] = {90, 66, 66};
        for (int k = 1; k <= 3; ++k) {
            QCOMPARE(second->TargetTitle(k), titles[k - 1]);
            QCOMPARE(second->TargetAddress(k), addresses[k - 1]);
            QCOMPARE(second->TargetColumnWidth(k), widths[k - 1]);
        }
    }

    void NoFile_StartsWithBuiltInsAndSampling() {
        QTemporaryDir dir;
        auto window = StartWindow(FileIn(dir));
        QCOMPARE(window->SamplingPeriod(), 1000);
        QCOMPARE(window->TargetCount(), 0);
        QCOMPARE(window->TextBackgroundColour(), 16777215);
        QVERIFY(!std::filesystem::exists(FileIn(dir)));
    }

    void OddFile_GivesAUsableWindow() {
        QTemporaryDir dir;
        const auto file = FileIn(dir);
        {
            std::ofstream out(file, std::ios::binary);
            out << "[Internet_Check_Settings_And_URL]\nLeft=-99999\nTop=-99999\nWidth=300\nHeight=200\n"
                   "Start=\nText_Size=0\nItem_Number=2147483647\nItem_1=x||127.0.0.1\nItem_Width_1=-5\n"
                   "Item_3=never||reached\n";
        }
        auto window = StartWindow(file);
        QCOMPARE(window->SamplingPeriod(), 0);
        QVERIFY(window->GridFont().pointSize() > 0);
        QCOMPARE(window->TargetCount(), 1);
        QCOMPARE(window->TargetColumnWidth(1), 0);
        // The stored place lies off every screen, so the window is centred instead of lost.
        QVERIFY(window->screen()->geometry().intersects(window->OuterRect()));
    }
};

QTEST_MAIN(WindowSettingsTest)
#include "window_settings_test.moc"
