// The application object: the start of the program (one instance per user, the login) and the commands
// that belong to it rather than to the main frame (the about box, the configuration operations and
// transfer of the Operate menu).
//
//     CVelmoraApp theApp;
//     if (!theApp.InitInstance()) return 0;   // a second start or a cancelled login: end silently
//     CMainFrame frame;
//     theApp.AttachMainFrame(&frame);          // command handlers, and the window a second start raises
//     frame.Start(DeviceListPath());
//     frame.show();
#pragma once

#include <QObject>
#include <QPointer>
#include <memory>

class QWidget;

namespace nms {

class CMainFrame;
class SingleInstance;

class CVelmoraApp : public QObject {
    Q_OBJECT
public:
    CVelmoraApp();
    ~CVelmoraApp() override;

    // False when the program has to end: another instance runs (it was raised) or the login was cancelled.
    bool InitInstance();
    void AttachMainFrame(CMainFrame* frame);
    // The window that a second start brings to the front (the main frame once it exists).
    void SetMainWindow(QWidget* window) { m_mainWindow = window; }

    static void OnAppAbout(QWidget* parent);

private:
    void RaiseMainWindow();

    std::unique_ptr<SingleInstance> m_instance;
    QPointer<QWidget> m_mainWindow;
};

}  // namespace nms
