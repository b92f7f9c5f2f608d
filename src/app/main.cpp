#include <QApplication>

#include "app/main_window.h"
#include "monitor/echo_probe.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    tarvelin::MainWindow window;
    window.RunCreatedStep();
    window.show();
    if (const std::optional<std::string> reason = tarvelin::EchoUnavailableReason()) {
        window.TellEchoUnavailable(QString::fromStdString(*reason));
    }
    return app.exec();
}
