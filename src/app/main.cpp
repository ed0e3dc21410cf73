#include <QApplication>
#include <string>

#include "app/login_registry.h"
#include "app/main_frame.h"
#include "app/velmora_app.h"
#include "platform/qt_prompt.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("velmora");
    nms::QtPrompt prompt;
    nms::SetPrompt(&prompt);
    int rc = 0;
    nms::CVelmoraApp theApp;
    if (theApp.InitInstance()) {
        nms::CMainFrame frame;
        theApp.AttachMainFrame(&frame);
        frame.Start(nms::DeviceListPath());
        frame.show();
        rc = app.exec();
    }
    nms::SetPrompt(nullptr);
    return rc;
}
