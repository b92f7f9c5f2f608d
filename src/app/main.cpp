#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Tarvelin"));
    window.menuBar()->addMenu(QStringLiteral("设置"));
    window.resize(570, 470);
    window.show();
    return app.exec();
}
