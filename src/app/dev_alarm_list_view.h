// The alarm list under the tab window: one row per device event, appended at the end until the operator
// deletes rows; it keeps the most recent kMaxRows rows. The events are also appended to alarmlog.txt,
// which keeps every line.
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

    static constexpr int kMaxRows = 10000;

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

    // Drops the oldest rows beyond kMaxRows and shows the newest row. Runs by itself once after a burst of
    // events (one layout and one scroll for the lot); callable directly.
    void FlushAlarms();

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    bool m_flushQueued = false;
};

}  // namespace nms
