// The alarm list under the tab window: one row per device event, appended at the end until the operator
// deletes rows; it keeps the most recent kMaxRows rows. The events are also appended to alarmlog.txt,
// which keeps every line.
//
// Thousands of devices may change state in one tick, so the table is a view over a model of plain rows
// (no widget item per cell): events of a burst wait in a short list and enter the model together, with
// one insertion, one trim of the oldest rows and one scroll, once the burst has been handed over.
#pragma once

#include <QTableView>
#include <cstdint>
#include <deque>
#include <string>

#include "devices/device_events.h"

namespace nms {

class CDevAlarmListView : public QTableView {
    Q_OBJECT
public:
    // Context-menu commands.
    enum : int { ID_DELETE_ALARM = 32784, ID_EMPTY_ALL = 32785, ID_REFRESH = 32786 };

    static constexpr int kMaxRows = 10000;
    static constexpr int kColumns = 5;

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

    // Moves the events added since the last flush into the table, drops the oldest rows beyond kMaxRows
    // and shows the newest row. Runs by itself once after a burst of events; callable directly.
    void FlushAlarms();

    // The rows of the table, events not yet flushed included (they are flushed first).
    int rowCount();
    int columnCount() const { return kColumns; }
    // The screen text of a cell ("" outside the table).
    QString Text(int row, int column);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    class Model;
    // Moves the waiting events into the model; true when rows were added.
    bool CommitPending();

    Model* m_model;
    std::deque<DeviceEvent> m_pending;  // at most kMaxRows: older ones would be trimmed anyway
    bool m_flushQueued = false;
};

}  // namespace nms
