// The program's only top-level window: menus, tool bar and status bar around the device tree over the
// information list (left) and the tab window over the alarm list (right). It runs the menu and tool-bar
// commands, shows the pages of the selected device and forwards device events to the alarm list.
#pragma once

#include <QMainWindow>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "devices/device_events.h"

class QAction;
class QLabel;

namespace nms {

struct DeviceRecord;
class CDevTreeView;
class CDevInfoListView;
class CDevAlarmListView;
class CFormTemplateView;
class TTabWnd;
class CMenuBar;
class CToolBarXP;
class TSplitterWnd;
class TVisualFramework;
class TVisualNode;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kBandBitmap = 134;  // the background of the menu-bar and tool-bar bands
    static constexpr int kMaxWidth = 1024;
    static constexpr int kMaxHeight = 768;

    explicit CMainFrame(QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Loads the device list of the start-up path and starts the link (the device tree's initial update).
    void Start(const std::string& deviceListPath);

    // select != 0: the pages of the device's type, the first active; select == 0: no pages.
    void ShowDeviceView(DeviceRecord* device, int select);
    // Texts are code-page bytes; address in network order.
    void AddAlarm(const std::string& deviceName, uint32_t address, const std::string& typeName,
                  const std::string& text);

    // A menu, tool-bar or forwarded context-menu command.
    void OnCommand(int id);
    // Lets a later part of the program take over a command (login setup, configuration transfer); the
    // command is enabled from then on.
    void SetCommandHandler(int id, std::function<void()> handler);
    // The action of a command (menu and tool bar share it), or null.
    QAction* CommandAction(int id) const;
    CMenuBar* MenuBar() const { return m_menuBar; }
    CToolBarXP* ToolBar() const { return m_toolBar; }

    CDevTreeView* DevTree() const { return m_tree; }
    CDevInfoListView* InfoList() const { return m_infoList; }
    CDevAlarmListView* AlarmList() const { return m_alarmList; }
    TTabWnd* TabWindow() const { return m_tabs; }
    TVisualFramework* Framework() const { return m_framework; }
    // The pages shown now, in tab order.
    std::vector<CFormTemplateView*> ShownPages() const;

    // Caps, Num and Scroll Lock as the status bar shows them now ("CAP", "NUM", "SCRL" or blank).
    QLabel* LockIndicator(int index) const { return m_locks[index]; }
    void UpdateLockIndicators();

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateMenus();
    void CreateToolBar();
    void SetBandBackground();
    void CreateClient();
    void HideAllPages();

    void OnFileOpen();
    void OnSaveDevices();
    void OnSaveDevicesAs();
    void OnAddFreqNode();
    void OnAddDevice();
    void OnEditDevice();
    void OnDeleteDevice();

    std::map<int, QAction*> m_actions;  // the menu item of every command
    CMenuBar* m_menuBar = nullptr;
    CToolBarXP* m_toolBar = nullptr;
    std::map<int, std::function<void()>> m_handlers;
    TVisualFramework* m_framework = nullptr;
    // The framework nodes of every catalogue row: its single view, or its pages in tab order.
    std::vector<std::vector<TVisualNode*>> m_rowNodes;
    TSplitterWnd* m_root = nullptr;
    TSplitterWnd* m_left = nullptr;
    TSplitterWnd* m_right = nullptr;
    CDevTreeView* m_tree = nullptr;
    CDevInfoListView* m_infoList = nullptr;
    TTabWnd* m_tabs = nullptr;
    CDevAlarmListView* m_alarmList = nullptr;
    bool m_laidOut = false;
    QLabel* m_locks[3] = {};
    DeviceEventSink m_previousSink;
};

// The main frame while it exists, else null.
CMainFrame* MainFrame();

}  // namespace nms
