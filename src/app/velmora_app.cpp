#include "app/velmora_app.h"

#include <QApplication>
#include <QWidget>

#include "app/about_dlg.h"
#include "app/command_ids.h"
#include "app/dev_tree_view.h"
#include "app/login_dlg.h"
#include "app/main_frame.h"
#include "devices/config_operation.h"
#include "platform/single_instance.h"

namespace nms {

CVelmoraApp::CVelmoraApp() = default;
CVelmoraApp::~CVelmoraApp() = default;

bool CVelmoraApp::InitInstance() {
    m_instance = std::make_unique<SingleInstance>(SingleInstance::DefaultLockPath());
    if (!m_instance->Acquire())
        return false;
    connect(m_instance.get(), &SingleInstance::activationRequested, this, &CVelmoraApp::RaiseMainWindow);

    CLoginDlg login;
    m_mainWindow = &login;
    const bool loggedIn = login.DoModal() == 1;
    m_mainWindow = nullptr;
    return loggedIn;
}

void CVelmoraApp::AttachMainFrame(CMainFrame* frame) {
    m_mainWindow = frame;
    frame->SetCommandHandler(ID_APP_ABOUT, [frame] { OnAppAbout(frame); });
    CDevTreeView* tree = frame->DevTree();
    if (!tree)
        return;
    frame->SetCommandHandler(ID_SAVE_CONFIG, [tree] { tree->ConfigOperation(kConfigSave); });
    frame->SetCommandHandler(ID_RELOAD_CONFIG, [tree] { tree->ConfigOperation(kConfigReload); });
    frame->SetCommandHandler(ID_RESTORE_FACTORY, [tree] { tree->ConfigOperation(kConfigFactory); });
    frame->SetCommandHandler(ID_IMPORT_CONFIG, [tree] { tree->ImportConfig(std::string()); });
    frame->SetCommandHandler(ID_EXPORT_CONFIG, [tree] { tree->ExportConfig(std::string()); });
}

void CVelmoraApp::OnAppAbout(QWidget* parent) {
    CAboutDlg dlg(parent);
    dlg.exec();
}

void CVelmoraApp::RaiseMainWindow() {
    QWidget* window = m_mainWindow;
    if (!window)
        window = QApplication::activeModalWidget();
    if (!window)
        return;
    if (window->isMinimized())
        window->showNormal();
    window->raise();
    window->activateWindow();
}

}  // namespace nms
