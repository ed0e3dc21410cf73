#include "app/dev_alarm_list_view.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>
#include <algorithm>
#include <ctime>
#include <set>

#include "app/menu_xp.h"
#include "platform/codepage.h"
#include "platform/prompt.h"
#include "platform/resource_icons.h"

namespace nms {

namespace {

QString ScreenText(const std::string& gbk) {
    return QString::fromStdString(GbkToUtf8(gbk));
}

}  // namespace

CDevAlarmListView::CDevAlarmListView(QWidget* parent) : QTableWidget(0, 5, parent) {
    setHorizontalHeaderLabels({"Device Name", "IP Address", "Device Type", "Alarm Info", "Alarm Time"});
    const int widths[] = {150, 150, 150, 200, 150};
    for (int c = 0; c < 5; ++c)
        setColumnWidth(c, widths[c]);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    setShowGrid(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
}

void CDevAlarmListView::AddAlarm(const std::string& deviceName, uint32_t address, const std::string& typeName,
                                 const std::string& text) {
    DeviceEvent event;
    event.deviceName = deviceName;
    event.address = address;
    event.typeName = typeName;
    event.text = text;
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    event.timeText = FormatAlarmTime(local);
    AddAlarm(event);
}

void CDevAlarmListView::AddAlarm(const DeviceEvent& event) {
    const int row = rowCount();
    insertRow(row);
    const QString cells[] = {ScreenText(event.deviceName),
                             QString::fromStdString(DottedAddress(event.address)), ScreenText(event.typeName),
                             ScreenText(event.text), QString::fromStdString(event.timeText)};
    for (int c = 0; c < 5; ++c)
        setItem(row, c, new QTableWidgetItem(cells[c]));
    AppendAlarmLog(event);
    // Thousands of devices may change state at once: trimming and scrolling wait for the end of the burst.
    if (!m_flushQueued) {
        m_flushQueued = true;
        QMetaObject::invokeMethod(this, &CDevAlarmListView::FlushAlarms, Qt::QueuedConnection);
    }
}

void CDevAlarmListView::FlushAlarms() {
    m_flushQueued = false;
    if (rowCount() > kMaxRows)
        model()->removeRows(0, rowCount() - kMaxRows);
    if (rowCount() == 0)
        return;
    // The scroll range follows the new rows only at the next layout pass: update it first.
    updateGeometries();
    scrollToBottom();
}

void CDevAlarmListView::OnCommand(int id) {
    switch (id) {
        case ID_DELETE_ALARM: {
            std::set<int> rows;
            for (const QModelIndex& index : selectionModel()->selectedRows())
                rows.insert(index.row());
            // From the bottom up, so the row numbers still to delete stay valid.
            for (auto it = rows.rbegin(); it != rows.rend(); ++it)
                removeRow(*it);
            break;
        }
        case ID_EMPTY_ALL:
            if (Confirm("Sure to empty all alarm ?"))
                setRowCount(0);
            break;
        case ID_REFRESH:
            viewport()->update();
            break;
        default:
            break;
    }
}

QMenu* CDevAlarmListView::CreateContextMenu() {
    auto* menu = new CMenuXP(this);
    auto add = [&](const char* text, int id, int icon) {
        QAction* action =
            menu->AppendMenuItem(MF_STRING, new CMenuXPItem(uint32_t(id), IconById(icon), text));
        connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
    };
    add("Delete Alarm", ID_DELETE_ALARM, 179);
    add("Empty All", ID_EMPTY_ALL, 189);
    menu->AppendMenuItem(MF_SEPARATOR, new CMenuXPItem(16));
    add("Refresh", ID_REFRESH, 157);
    return menu;
}

void CDevAlarmListView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = CreateContextMenu();
    menu->exec(event->globalPos());
    delete menu;
}

}  // namespace nms
