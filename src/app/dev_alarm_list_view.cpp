#include "app/dev_alarm_list_view.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>
#include <algorithm>
#include <ctime>
#include <set>

#include "platform/codepage.h"
#include "platform/prompt.h"

namespace nms {

namespace {

QString ScreenText(const std::string& gbk) {
    return QString::fromStdString(GbkToUtf8(gbk));
}

QString DottedAddress(uint32_t address) {
    // Network order: the first dotted number is the lowest-addressed byte.
    const auto* b = reinterpret_cast<const uint8_t*>(&address);
    return QString("%1.%2.%3.%4").arg(b[0]).arg(b[1]).arg(b[2]).arg(b[3]);
}

QString LocalTimeText() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[64];
    std::snprintf(text, sizeof text, "%d-%d-%d %d:%d:%d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return QString::fromLatin1(text);
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
    const int row = rowCount();
    insertRow(row);
    const QString cells[] = {ScreenText(deviceName), DottedAddress(address), ScreenText(typeName),
                             ScreenText(text), LocalTimeText()};
    for (int c = 0; c < 5; ++c)
        setItem(row, c, new QTableWidgetItem(cells[c]));
    scrollToItem(item(row, 0));
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
    auto* menu = new QMenu(this);
    menu->addAction("Delete Alarm", this, [this] { OnCommand(ID_DELETE_ALARM); });
    menu->addAction("Empty All", this, [this] { OnCommand(ID_EMPTY_ALL); });
    menu->addSeparator();
    menu->addAction("Refresh", this, [this] { OnCommand(ID_REFRESH); });
    return menu;
}

void CDevAlarmListView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = CreateContextMenu();
    menu->exec(event->globalPos());
    delete menu;
}

}  // namespace nms
