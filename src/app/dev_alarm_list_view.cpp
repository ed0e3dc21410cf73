#include "app/dev_alarm_list_view.h"

#include <QAbstractTableModel>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>
#include <QScrollBar>
#include <algorithm>
#include <ctime>
#include <set>
#include <vector>

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

// The rows as the events came, oldest first; cell texts are made when the view asks for them, which is
// only for the rows on screen.
class CDevAlarmListView::Model : public QAbstractTableModel {
public:
    explicit Model(QObject* parent) : QAbstractTableModel(parent) {}

    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : int(m_rows.size());
    }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : kColumns;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole || !index.isValid() || index.row() >= int(m_rows.size()))
            return QVariant();
        return Cell(index.row(), index.column());
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        static const char* const titles[kColumns] = {"Device Name", "IP Address", "Device Type", "Alarm Info",
                                                     "Alarm Time"};
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < kColumns)
            return QString::fromLatin1(titles[section]);
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    }

    QString Cell(int row, int column) const {
        const DeviceEvent& e = m_rows[size_t(row)];
        switch (column) {
            case 0:
                return ScreenText(e.deviceName);
            case 1:
                return QString::fromStdString(DottedAddress(e.address));
            case 2:
                return ScreenText(e.typeName);
            case 3:
                return ScreenText(e.text);
            case 4:
                return QString::fromStdString(e.timeText);
            default:
                return QString();
        }
    }

    // Appends the rows and drops the oldest beyond maxRows: one removal and one insertion for the lot.
    void Append(std::deque<DeviceEvent>& rows, size_t maxRows) {
        if (rows.size() > maxRows)
            rows.erase(rows.begin(), rows.end() - std::ptrdiff_t(maxRows));
        if (rows.empty())
            return;
        const size_t keep = maxRows - rows.size();
        if (m_rows.size() > keep) {
            const int drop = int(m_rows.size() - keep);
            beginRemoveRows(QModelIndex(), 0, drop - 1);
            m_rows.erase(m_rows.begin(), m_rows.begin() + drop);
            endRemoveRows();
        }
        const int first = int(m_rows.size());
        beginInsertRows(QModelIndex(), first, first + int(rows.size()) - 1);
        for (DeviceEvent& e : rows)
            m_rows.push_back(std::move(e));
        endInsertRows();
        rows.clear();
    }

    // Removes the rows of the set, from the bottom up, one removal per run of neighbouring rows.
    void Remove(const std::set<int>& rows) {
        for (auto it = rows.rbegin(); it != rows.rend();) {
            const int last = *it;
            int first = last;
            for (++it; it != rows.rend() && *it == first - 1; ++it)
                first = *it;
            if (first < 0 || last >= int(m_rows.size()))
                continue;
            beginRemoveRows(QModelIndex(), first, last);
            m_rows.erase(m_rows.begin() + first, m_rows.begin() + last + 1);
            endRemoveRows();
        }
    }

    void Clear() {
        beginResetModel();
        m_rows.clear();
        endResetModel();
    }

private:
    std::deque<DeviceEvent> m_rows;
};

CDevAlarmListView::CDevAlarmListView(QWidget* parent) : QTableView(parent), m_model(new Model(this)) {
    setModel(m_model);
    const int widths[] = {150, 150, 150, 200, 150};
    for (int c = 0; c < kColumns; ++c)
        setColumnWidth(c, widths[c]);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->hide();
    // Every row is one line of text: a fixed height, never measured row by row.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
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
    AppendAlarmLog(event);
    m_pending.push_back(event);
    if (m_pending.size() > size_t(kMaxRows))
        m_pending.pop_front();
    // Thousands of devices may change state at once: the rows enter the table after the burst.
    if (!m_flushQueued) {
        m_flushQueued = true;
        QMetaObject::invokeMethod(this, &CDevAlarmListView::FlushAlarms, Qt::QueuedConnection);
    }
}

bool CDevAlarmListView::CommitPending() {
    if (m_pending.empty())
        return false;
    m_model->Append(m_pending, size_t(kMaxRows));
    return true;
}

void CDevAlarmListView::FlushAlarms() {
    m_flushQueued = false;
    if (CommitPending())
        scrollToBottom();
}

int CDevAlarmListView::rowCount() {
    CommitPending();
    return m_model->rowCount();
}

QString CDevAlarmListView::Text(int row, int column) {
    CommitPending();
    if (row < 0 || row >= m_model->rowCount() || column < 0 || column >= kColumns)
        return QString();
    return m_model->Cell(row, column);
}

void CDevAlarmListView::OnCommand(int id) {
    switch (id) {
        case ID_DELETE_ALARM: {
            // The selection is of rows in the table; events still waiting are not selected.
            std::set<int> rows;
            for (const QModelIndex& index : selectionModel()->selectedRows())
                rows.insert(index.row());
            m_model->Remove(rows);
            break;
        }
        case ID_EMPTY_ALL:
            if (Confirm("Sure to empty all alarm ?")) {
                m_pending.clear();
                m_model->Clear();
            }
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
