// The alarm list under the tab window: one row per device event, appended at the end until the operator
// deletes rows. The events are also appended to alarmlog.txt.
#pragma once

#include <QTableWidget>
#include <cstdint>
#include <string>

#include "devices/device_events.h"

namespace nms {

class CDevAlarmListView : public QTableWidget {
    Q_OBJECT
public:
    // Context-menu commands.
    enum : int { ID_DELETE_ALARM = 32784, ID_EMPTY_ALL = 32785, ID_REFRESH = 32786 };

    explicit CDevAlarmListView(QWidget* parent = nullptr);

    // Texts are code-page bytes; address in network order.
    void AddAlarm(const std::string& deviceName, uint32_t address, const std::string& typeName,
                  const std::string& text);
    // Appends the event's row and its line in the alarm log.
    void AddAlarm(const DeviceEvent& event);

    // The context-menu commands.
    void OnCommand(int id);
    // The context menu as it would be shown (the caller owns it).
    QMenu* CreateContextMenu();

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
};

}  // namespace nms
