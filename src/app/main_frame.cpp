#include "app/main_frame.h"

#include <arpa/inet.h>

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QShowEvent>
#include <QStatusBar>

#include "app/command_ids.h"
#include "app/dev_alarm_list_view.h"
#include "app/dev_info_list_view.h"
#include "app/dev_tree_view.h"
#include "app/device_dlg.h"
#include "app/freq_node_dlg.h"
#include "app/login_registry.h"
#include "app/menu_bar.h"
#include "app/menu_xp.h"
#include "app/page_registry.h"
#include "app/tool_bar_xp.h"
#include "devices/device_events.h"
#include "devices/device_record.h"
#include "devices/device_type_catalogue.h"
#include "framework/splitter_wnd.h"
#include "framework/tab_wnd.h"
#include "framework/visual_framework.h"
#include "framework/visual_node.h"
#include "pagebase/all_config_dlg.h"
#include "pagebase/form_template_view.h"
#include "pagebase/system_setup_dlg.h"
#include "pagebase/user_setup_dlg.h"
#include "platform/keyboard_locks.h"
#include "platform/prompt.h"
#include "platform/resource_icons.h"

namespace nms {

namespace {

CMainFrame* g_mainFrame = nullptr;

}  // namespace

CMainFrame* MainFrame() {
    return g_mainFrame;
}

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent) {
    g_mainFrame = this;
    setWindowTitle(QString::asprintf("%s(%s:%d.%02d)", "Network Management Software", "Version", 5, 21));
    // At the top left corner with the screen's size, at most 1024 x 768.
    QSize size(kMaxWidth, kMaxHeight);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size());
    resize(size);
    move(0, 0);
    // The single-instance test finds the running program by this property.
    setProperty("Velmora", 1);

    RegisterBuiltPages();
    SetDeviceTypeNameResolver([](uint16_t typeCode) {
        const DeviceTypeInfo* type = FindDeviceTypeByCode(typeCode);
        return type ? std::string(type->name) : std::string();
    });
    CreateMenus();
    CreateToolBar();
    SetBandBackground();
    statusBar()->showMessage("Ready");
    // The lock indicators sit at the right end, each wide enough for its longest text.
    for (QLabel*& label : m_locks) {
        label = new QLabel(this);
        label->setAlignment(Qt::AlignCenter);
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setMinimumWidth(label->fontMetrics().horizontalAdvance("SCRL") + 8);
        statusBar()->addPermanentWidget(label);
    }
    qApp->installEventFilter(this);
    UpdateLockIndicators();
    CreateClient();
    // Device events reach the alarm list (and the alarm log) from now on.
    m_previousSink = SetDeviceEventSink([this](const DeviceEvent& event) {
        if (m_alarmList)
            m_alarmList->AddAlarm(event);
    });
}

CMainFrame::~CMainFrame() {
    qApp->removeEventFilter(this);
    SetDeviceEventSink(std::move(m_previousSink));
    HideAllPages();
    // The windows go before the frame: the device tree stops the link on its way out.
    if (m_framework)
        m_framework->Destroy();
    m_tree = nullptr;
    m_infoList = nullptr;
    m_alarmList = nullptr;
    m_tabs = nullptr;
    setProperty("Velmora", QVariant());
    if (g_mainFrame == this)
        g_mainFrame = nullptr;
}

void CMainFrame::UpdateLockIndicators() {
    const KeyboardLocks locks = ReadKeyboardLocks();
    const char* texts[3] = {CapsLockText(locks), NumLockText(locks), ScrollLockText(locks)};
    for (int i = 0; i < 3; ++i)
        if (m_locks[i] && m_locks[i]->text() != QLatin1String(texts[i]))
            m_locks[i]->setText(QLatin1String(texts[i]));
}

void CMainFrame::changeEvent(QEvent* event) {
    // The locks may have changed while another window had the keyboard.
    if (event->type() == QEvent::ActivationChange)
        UpdateLockIndicators();
    QMainWindow::changeEvent(event);
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyRelease) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_CapsLock || key == Qt::Key_NumLock || key == Qt::Key_ScrollLock)
            UpdateLockIndicators();
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::Start(const std::string& deviceListPath) {
    m_tree->OnInitialUpdate(deviceListPath);
}

QAction* CMainFrame::CommandAction(int id) const {
    auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

void CMainFrame::CreateMenus() {
    struct Item {
        const char* text;  // null: separator
        int id;
        int icon;
    };
    struct Menu {
        const char* title;
        std::vector<Item> items;
    };
    const Menu menus[] = {
        {"System(&S)",
         {{"Open(&O)", ID_FILE_OPEN, 173},
          {"Save(&S)", ID_SAVE_DEVICES, 174},
          {"Save as(&A)", ID_SAVE_DEVICES_AS, 175},
          {nullptr, 0, 0},
          {"Exit(&E)", ID_APP_EXIT, 177}}},
        {"Device(&E)",
         {{"Add Freq Node(&P)", ID_ADD_FREQ_NODE, 140},
          {"Add Device(&D)", ID_ADD_DEVICE, 141},
          {nullptr, 0, 0},
          {"Edit Device(&M)", ID_EDIT_DEVICE, 178},
          {"Delete Device(&R)", ID_DELETE_DEVICE, 179}}},
        {"Operate(&V)",
         {{"Save Config(&S)", ID_SAVE_CONFIG, 181},
          {"Restore to Factory(&F)", ID_RESTORE_FACTORY, 188},
          {"Reload Config(&L)", ID_RELOAD_CONFIG, 230},
          {nullptr, 0, 0},
          {"Import Config(&I)", ID_IMPORT_CONFIG, 187},
          {"Export Config(&O)", ID_EXPORT_CONFIG, 214}}},
        {"Setting(&C)", {{"User Setting(&M)", ID_USER_SETTING, 183}}},
        {"Help(&H)", {{"About NMS(&A)...", ID_APP_ABOUT, 184}}},
    };
    // The menus are owner-drawn items of a menu bar that sits in the tool-bar area; the frame has no
    // menu of its own.
    auto* top = new CMenuXP(this);
    for (const Menu& m : menus) {
        auto* popup = new CMenuXP(top);
        for (const Item& item : m.items) {
            if (!item.text) {
                popup->AppendMenuItem(MF_SEPARATOR, new CMenuXPItem(16));
                continue;
            }
            auto* record = new CMenuXPItem(16);
            record->m_id = uint32_t(item.id);
            record->m_icon = IconById(item.icon);
            record->SetText(QString::fromLatin1(item.text));
            QAction* action = popup->AppendMenuItem(MF_STRING, record);
            const int id = item.id;
            connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
            m_actions[id] = action;
        }
        top->AppendPopup(MF_STRING, popup, QString::fromLatin1(m.title));
    }
    m_menuBar = new CMenuBar(this);
    m_menuBar->setMovable(false);
    m_menuBar->SetMenu(top);
    addToolBar(m_menuBar);
    addToolBarBreak();
    // Commands of later parts of the program stay disabled until a handler is set.
    for (int id : {ID_SAVE_CONFIG, ID_RESTORE_FACTORY, ID_RELOAD_CONFIG, ID_IMPORT_CONFIG, ID_EXPORT_CONFIG,
                   ID_APP_ABOUT})
        m_actions[id]->setEnabled(false);
}

void CMainFrame::CreateToolBar() {
    auto* bar = m_toolBar = new CToolBarXP("Toolbar", this);
    addToolBar(bar);
    bar->setMovable(false);
    bar->setIconSize(QSize(32, 32));
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    // A smaller font for the button texts, so that all eleven buttons fit 1024 pixels.
    QFont small = bar->font();
    small.setPointSizeF(small.pointSizeF() * 0.8);
    bar->setFont(small);
    struct Button {
        int id;  // 0: separator
        const char* text;
    };
    const Button buttons[] = {
        {ID_FILE_OPEN, "Open Device"},
        {ID_SAVE_DEVICES, "Save Device"},
        {0, nullptr},
        {ID_ADD_FREQ_NODE, "Add Freq Node"},
        {ID_ADD_DEVICE, "Add Device"},
        {ID_EDIT_DEVICE, "Edit Device"},
        {ID_DELETE_DEVICE, "Del Device"},
        {0, nullptr},
        {ID_SAVE_CONFIG, "Save Config"},
        {ID_RESTORE_FACTORY, "Restore Conf."},
        {ID_RELOAD_CONFIG, "Reload Config"},
        {0, nullptr},
        {ID_IMPORT_CONFIG, "Import Config"},
        {ID_EXPORT_CONFIG, "Export Config"},
    };
    for (const Button& b : buttons) {
        if (!b.id) {
            bar->addSeparator();
            continue;
        }
        // The button shares the menu item's command but shows its own text.
        QAction* command = m_actions.at(b.id);
        auto* action = new QAction(command->icon(), QString::fromLatin1(b.text), bar);
        action->setEnabled(command->isEnabled());
        connect(action, &QAction::triggered, command, &QAction::trigger);
        connect(command, &QAction::enabledChanged, action, &QAction::setEnabled);
        bar->addAction(action);
    }
}

void CMainFrame::SetBandBackground() {
    // Both bands, the menu bar's and the tool bar's, show the same tiled bitmap behind their buttons.
    const QPixmap bitmap = PixmapById(kBandBitmap);
    for (CToolBarXP* band : {static_cast<CToolBarXP*>(m_menuBar), m_toolBar})
        if (band)
            band->SetBandBackground(bitmap);
}

void CMainFrame::CreateClient() {
    // The layout: tree over information list on the left, tab window over alarm list on the right.
    m_framework = new TVisualFramework(this);
    auto* root = new TVisualNode(1, QString(), 1, 2);
    auto* left = new TVisualNode(2, 0, 0, 2, 1);
    auto* right = new TVisualNode(3, 0, 1, 2, 1);
    auto* tree = new TVisualNode(4, 0, 0, TViewClass::Of<CDevTreeView>(), 0, 0);
    auto* info = new TVisualNode(5, 1, 0, TViewClass::Of<CDevInfoListView>(), 0, 0);
    auto* tabs = new TVisualNode(6, QString(), TViewClass::Of<TTabWnd>());
    auto* alarms = new TVisualNode(7, 1, 0, TViewClass::Of<CDevAlarmListView>(), 0, 0);
    // One tab node per single view or page of every catalogue row, ids from 8 on in catalogue order.
    int id = 8;
    std::vector<TVisualNode*> pageNodes;
    m_rowNodes.assign(DeviceTypeCount(), {});
    auto pageNode = [&](const char* title, const char* className) {
        TViewClass viewClass;
        viewClass.create = [name = std::string(className)](QWidget* parent) -> QWidget* {
            return CreatePage(name, parent);
        };
        auto* node = new TVisualNode(id++, QString::fromLatin1(title), viewClass);
        pageNodes.push_back(node);
        return node;
    };
    for (int row = 0; row < DeviceTypeCount(); ++row) {
        const DeviceTypeInfo& type = DeviceTypeAt(row);
        if (type.singleViewClass) {
            m_rowNodes[row].push_back(pageNode(type.name, type.singleViewClass));
            continue;
        }
        for (int i = 0; i < type.pageCount; ++i)
            m_rowNodes[row].push_back(pageNode(type.pages[i].caption, type.pages[i].pageClass));
    }
    m_framework->Add(root);
    m_framework->Add(root, left);
    m_framework->Add(root, right);
    m_framework->Add(left, tree);
    m_framework->Add(left, info);
    m_framework->Add(right, alarms);
    m_framework->Add(right, tabs);
    for (TVisualNode* node : pageNodes)
        m_framework->Add(tabs, node);
    // Pages are made only when a device is selected.
    m_framework->Create(this);

    m_root = qobject_cast<TSplitterWnd*>(root->GetWindow());
    m_left = qobject_cast<TSplitterWnd*>(left->GetWindow());
    m_right = qobject_cast<TSplitterWnd*>(right->GetWindow());
    m_tree = qobject_cast<CDevTreeView*>(tree->GetWindow());
    m_infoList = qobject_cast<CDevInfoListView*>(info->GetWindow());
    m_tabs = qobject_cast<TTabWnd*>(tabs->GetWindow());
    m_alarmList = qobject_cast<CDevAlarmListView*>(alarms->GetWindow());
    // The panes have no minimum sizes: the split is what the layout says, whatever the lists would like.
    for (QWidget* pane : std::initializer_list<QWidget*>{m_tree, m_infoList, m_tabs, m_alarmList})
        if (pane)
            pane->setMinimumSize(1, 1);

    // Every automatic save writes devinfo.db, so the stored start-up path must stop naming another file.
    m_tree->Model().SetAutoSavedHook([] { WriteDevicePathToRegistry(std::string()); });
    connect(m_tree, &CDevTreeView::commandPosted, this, &CMainFrame::OnCommand, Qt::QueuedConnection);
    connect(m_tree, &CDevTreeView::deviceSelected, this, [this](DeviceRecord* device) {
        m_infoList->ShowDevice(device, 1);
        ShowDeviceView(device, 1);
    });
    connect(m_tree, &CDevTreeView::versionReceived, m_infoList, &CDevInfoListView::SetVersion);
    connect(m_tree, &CDevTreeView::codeReceived, m_infoList, &CDevInfoListView::ShowCode);
    connect(m_tree, &CDevTreeView::deviceEdited, this,
            [this](DeviceRecord* device) { m_infoList->ShowDevice(device, 1); });
    connect(m_tree, &CDevTreeView::deviceRemoving, this, [this](DeviceRecord* device) {
        HideAllPages();
        m_infoList->ShowDevice(device, 0);
        ShowDeviceView(device, 0);
    });
}

void CMainFrame::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (m_laidOut || event->spontaneous() || !m_root || !m_right)
        return;
    m_laidOut = true;
    // The left column takes a fifth of the frame's client width, the tab window three quarters of its
    // client height.
    // The rest of each splitter (less its handle) goes to the second pane.
    auto split = [](QSplitter* splitter, int first) {
        const int total = splitter->orientation() == Qt::Horizontal ? splitter->width() : splitter->height();
        first = std::min(first, std::max(0, total - splitter->handleWidth()));
        splitter->setSizes({first, std::max(0, total - splitter->handleWidth() - first)});
    };
    split(m_root, width() / 5);
    split(m_right, height() * 3 / 4);
    // The information list keeps room for its seven rows.
    if (m_left && m_infoList) {
        const int rows = m_infoList->header()->sizeHint().height() +
                         CDevInfoListView::kRowCount * std::max(1, m_infoList->sizeHintForRow(0)) +
                         2 * m_infoList->frameWidth() + 2;
        split(m_left, std::max(0, m_left->height() - m_left->handleWidth() - rows));
    }
}

void CMainFrame::HideAllPages() {
    if (!m_framework)
        return;
    for (const auto& nodes : m_rowNodes)
        for (TVisualNode* node : nodes)
            m_framework->ShowNode(node, false);
}

std::vector<CFormTemplateView*> CMainFrame::ShownPages() const {
    std::vector<CFormTemplateView*> pages;
    if (!m_tabs)
        return pages;
    for (int i = 0; i < m_tabs->GetTabCount(); ++i)
        if (auto* page = qobject_cast<CFormTemplateView*>(m_tabs->GetTabWnd(i)))
            pages.push_back(page);
    return pages;
}

void CMainFrame::ShowDeviceView(DeviceRecord* device, int select) {
    HideAllPages();
    if (!select || !device || !m_framework)
        return;
    int row = -1;
    const DeviceTypeInfo* type = FindDeviceTypeByCode(device->typeCode, &row);
    if (!type || row < 0 || row >= int(m_rowNodes.size()) || m_rowNodes[row].empty())
        return;
    const std::vector<TVisualNode*>& nodes = m_rowNodes[row];
    // Each page is made anew, given its variant and the first page, then bound (which initialises it).
    CFormTemplateView* first = nullptr;
    for (size_t i = 0; i < nodes.size(); ++i) {
        m_framework->ShowNode(nodes[i], true);
        auto* view = qobject_cast<CFormTemplateView*>(nodes[i]->GetWindow());
        if (!view)
            continue;
        if (!type->singleViewClass) {
            if (i == 0)
                first = view;
            view->SetPageParam(type->pages[i].pageParam);
            view->SetFirstPage(first);
        }
        view->SetDevice(device);
    }
    // Showing the first page makes it the receiver of the device's replies.
    m_framework->ActivateTab(nodes[0]);
}

void CMainFrame::AddAlarm(const std::string& deviceName, uint32_t address, const std::string& typeName,
                          const std::string& text) {
    if (m_alarmList)
        m_alarmList->AddAlarm(deviceName, address, typeName, text);
}

void CMainFrame::SetCommandHandler(int id, std::function<void()> handler) {
    m_handlers[id] = std::move(handler);
    if (QAction* action = CommandAction(id))
        action->setEnabled(true);
}

void CMainFrame::OnCommand(int id) {
    auto custom = m_handlers.find(id);
    if (custom != m_handlers.end() && custom->second) {
        custom->second();
        return;
    }
    switch (id) {
        case ID_FILE_OPEN:
            OnFileOpen();
            break;
        case ID_SAVE_DEVICES:
            OnSaveDevices();
            break;
        case ID_SAVE_DEVICES_AS:
            OnSaveDevicesAs();
            break;
        case ID_APP_EXIT:
            close();
            break;
        case ID_ADD_FREQ_NODE:
            OnAddFreqNode();
            break;
        case ID_ADD_DEVICE:
            OnAddDevice();
            break;
        case ID_EDIT_DEVICE:
            OnEditDevice();
            break;
        case ID_DELETE_DEVICE:
            OnDeleteDevice();
            break;
        case ID_USER_SETTING: {
            CUserSetupDlg dialog(kDefaultLogin, this);
            dialog.exec();
            break;
        }
        case ID_SYSTEM_SETUP: {
            CSystemSetupDlg dialog(this);
            dialog.exec();
            break;
        }
        case ID_ALL_CONFIG: {
            CAllConfigDlg dialog(this);
            dialog.exec();
            break;
        }
        default:
            break;
    }
}

void CMainFrame::OnFileOpen() {
    if (!m_tree)
        return;
    FileRequest request;
    request.save = false;
    request.defaultExt = "db";
    request.filter = "*.db|*.db||";
    const std::string path = Prompt().ChooseFile(request);
    if (!path.empty())
        m_tree->LoadDevices(path);
}

void CMainFrame::OnSaveDevices() {
    if (!m_tree)
        return;
    // The next start loads what was just written.
    if (m_tree->SaveDevices(std::string()))
        WriteDevicePathToRegistry(std::string());
}

void CMainFrame::OnSaveDevicesAs() {
    if (!m_tree)
        return;
    FileRequest request;
    request.save = true;
    request.defaultExt = "db";
    request.filter = "*.db|*.db||";
    request.fileName = "DevInfo";
    const std::string path = Prompt().ChooseFile(request);
    if (path.empty())
        return;
    // The stored path names the file only when it holds the list.
    if (m_tree->SaveDevices(path))
        WriteDevicePathToRegistry(path);
}

void CMainFrame::OnAddFreqNode() {
    if (!m_tree)
        return;
    CFreqNodeDlg dialog(this);
    if (dialog.DoModal() == 1)
        m_tree->FindOrAddNode(dialog.m_nodeName);
}

void CMainFrame::OnAddDevice() {
    if (!m_tree || !m_tree->currentItem())
        return;
    CDeviceDlg dialog(this);
    if (dialog.DoModal() != 1)
        return;
    const DeviceTypeInfo* type = FindDeviceTypeByName(dialog.m_typeName);
    if (!type)
        return;
    m_tree->AddDevice(std::string(), dialog.m_deviceName, type->typeCode, inet_addr(dialog.m_address.c_str()),
                      uint16_t(dialog.m_port));
}

void CMainFrame::OnEditDevice() {
    if (m_tree)
        m_tree->EditSelected();
}

void CMainFrame::OnDeleteDevice() {
    if (!m_tree)
        return;
    // Only a deletion changes the list: a refusal or Cancel saves nothing and keeps the stored path.
    if (m_tree->DeleteSelected() != DeviceTreeModel::DeleteResult::Deleted)
        return;
    if (m_tree->SaveDevices(std::string()))
        WriteDevicePathToRegistry(std::string());
}

}  // namespace nms
