#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Quarvel");
    QMainWindow frame;
    frame.setWindowTitle("Quarvel");
    frame.show();
    return app.exec();
}
