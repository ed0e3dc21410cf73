#include "pages/mux/mux_pid_filter_view.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "devices/device_packet.h"
#include "devices/device_record.h"
#include "pagebase/late_reply.h"
#include "pages/mux/add_pid_dlg.h"
#include "platform/prompt.h"

namespace nms {
namespace {

// The Add PID dialog in its filter mode: one PID and, on the two-output multiplexer, its output.
bool AskFilterPid(QWidget* parent, FilterPidEntry* entry) {
    CAddPidDlg dlg(parent);
    dlg.m_fields.filterMode = 1;
    dlg.m_fields.newPid = entry->text;
    dlg.m_fields.outputMode = entry->outputChoice ? 1 : 0;
    dlg.m_fields.outputSelection = entry->outputSelection;
    if (dlg.DoModal() != 1)
        return false;
    entry->text = dlg.m_fields.newPid;
    entry->outputSelection = dlg.m_fields.outputSelection;
    return true;
}

}  // namespace

CMuxPidFilterView::CMuxPidFilterView(QWidget* parent)
    : CFormTemplateView(parent), m_logic(std::make_unique<MuxPidFilterLogic>(0)), m_askPid(AskFilterPid) {
    m_channel = new QComboBox(this);
    m_channel->addItems({"Channel-1", "Channel-2", "Channel-3", "Channel-4"});
    m_list = new QTableWidget(this);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setShowGrid(true);
    m_list->verticalHeader()->hide();
    m_title = new QLabel("PID Filter Table", this);
    MakeButtons(this, true);

    auto* left = new QVBoxLayout;
    left->addWidget(m_title);
    left->addWidget(m_channel);
    left->addWidget(m_list, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {m_add, m_delete, m_edit, m_empty})
        buttons->addWidget(b);
    buttons->addSpacing(16);
    buttons->addWidget(m_get);
    buttons->addWidget(m_set);
    buttons->addStretch();
    auto* row = new QHBoxLayout(this);
    row->addLayout(left);
    row->addLayout(buttons);
    row->addStretch(1);

    // Another channel's table is read at once.
    connect(m_channel, &QComboBox::currentIndexChanged, this, [this] { OnGet(); });
    m_channel->hide();
    BuildColumns();
}

CMuxPidFilterView::~CMuxPidFilterView() = default;

void CMuxPidFilterView::OnInitialUpdate() {
    if (m_logic->PageParam() != m_pageParam)
        m_logic = std::make_unique<MuxPidFilterLogic>(m_pageParam);
    {
        const QSignalBlocker block(m_channel);
        m_channel->setCurrentIndex(0);
    }
    m_channel->setVisible(m_logic->HasChannels());
    BuildColumns();
    ShowRows();
}

void CMuxPidFilterView::BuildColumns() {
    QStringList headers{"Index", "Filter PID"};
    if (m_logic->IsTwoOutput())
        headers << "Out ASI";
    m_list->clear();
    m_list->setColumnCount(headers.size());
    m_list->setHorizontalHeaderLabels(headers);
    const int widths[] = {50, 80, 80};
    for (int i = 0; i < headers.size(); ++i)
        m_list->setColumnWidth(i, widths[i]);
    m_list->setMinimumWidth(50 + 80 + (m_logic->IsTwoOutput() ? 80 : 0) + 24);
}

void CMuxPidFilterView::ShowRows() {
    const auto& rows = m_logic->Rows();
    m_list->clearContents();
    m_list->setRowCount(static_cast<int>(rows.size()));
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        const auto& row = rows[size_t(i)];
        SetPidRow(m_list, i, row.index, row.pid, row.pidText);
        if (m_logic->IsTwoOutput())
            m_list->setItem(i, 2, new QTableWidgetItem(row.outA ? "A" : "B"));
    }
}

int CMuxPidFilterView::SelectedRow() const {
    const auto rows = m_list->selectionModel()->selectedRows();
    int first = -1;
    for (const auto& index : rows)
        if (first < 0 || index.row() < first)
            first = index.row();
    return first;
}

void CMuxPidFilterView::OnStepRefused(const PageStep&) {
    NothingLate(*m_logic);
}

void CMuxPidFilterView::CarryAndShow(const PageStep& step) {
    Carry(step);
    ShowRows();
}

void CMuxPidFilterView::OnGet() {
    if (!DeviceOnline())
        return;
    CarryAndShow(m_logic->Get(m_channel->currentIndex()));
}

void CMuxPidFilterView::OnSet() {
    if (!DeviceOnline())
        return;
    CarryAndShow(m_logic->Set(m_channel->currentIndex()));
}

void CMuxPidFilterView::OnAddPid() {
    FilterPidEntry entry;
    entry.outputChoice = m_logic->IsTwoOutput();
    if (!m_askPid || !m_askPid(this, &entry))
        return;
    m_logic->Add(entry.text, entry.outputSelection);
    ShowRows();
}

void CMuxPidFilterView::OnEdit() {
    const int row = SelectedRow();
    if (row < 0 || row >= static_cast<int>(m_logic->Rows().size()))
        return;
    const PidFilterRow& current = m_logic->Rows()[size_t(row)];
    FilterPidEntry entry;
    entry.text = current.pidText;
    entry.outputChoice = m_logic->IsTwoOutput();
    if (entry.outputChoice)
        entry.outputSelection = current.outA ? 0 : 1;
    if (!m_askPid || !m_askPid(this, &entry))
        return;
    m_logic->Edit(row, entry.text, entry.outputSelection);
    ShowRows();
    m_list->selectRow(row);
}

void CMuxPidFilterView::OnDelete() {
    if (m_logic->Delete(SelectedRow()))
        ShowRows();
}

void CMuxPidFilterView::OnEmpty() {
    if (!Confirm("Sure to empty all PID ?"))
        return;
    m_logic->Empty();
    ShowRows();
}

void CMuxPidFilterView::OnShowWindow(bool shown) {
    if (!shown || !m_device)
        return;
    OnGet();
    BuildColumns();
    ShowRows();
}

void CMuxPidFilterView::OnDeviceReply(DeviceRecord* device, const ReplyView& reply) {
    if (device != m_device || !reply.IsValid())
        return;
    const PageStep step = ReplyStep(*m_logic, reply, IsBusy());
    // A reply that is not the page's own (another page's poll) changes nothing here, the selection included.
    if (step.IsEmpty())
        return;
    CarryAndShow(step);
}

void CMuxPidFilterView::OnTimer(int id) {
    // The wait ran out: its reply, should it still come, is shown but continues nothing.
    if (id == kWaitTimerId)
        m_logic->WaitEnded();
    CFormTemplateView::OnTimer(id);
}

}  // namespace nms
