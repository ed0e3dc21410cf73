#include <QApplication>
#include <QMainWindow>

#include "platform/qt_prompt.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("velmora");
    nms::QtPrompt prompt;
    nms::SetPrompt(&prompt);
    QMainWindow window;
    window.setWindowTitle("Network Management Software(Version:5.21)");
    window.setGeometry(0, 0, 1024, 768);
    window.show();
    const int rc = app.exec();
    nms::SetPrompt(nullptr);
    return rc;
}
