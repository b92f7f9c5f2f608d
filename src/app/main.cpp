#include <QApplication>

#include "app/main_window.h"
#include "app/window_settings.h"
#include "monitor/echo_probe.h"
#include "settings/settings_file.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    tarvelin::MainWindow window;
    tarvelin::BindSettingsFile(window, tarvelin::SettingsFilePath());
    window.RunCreatedStep();
    window.show();
    if (const std::optional<std::string> reason = tarvelin::EchoUnavailableReason()) {
        window.TellEchoUnavailable(QString::fromStdString(*reason));
    }
    return app.exec();
}
