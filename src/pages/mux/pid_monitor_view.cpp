#include "pages/mux/pid_monitor_view.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "devices/device_packet.h"
#include "devices/device_record.h"
#include "pagebase/late_reply.h"
#include "pages/mux/pid_table_buttons.h"

namespace nms {

CpidMonitor::CpidMonitor(QWidget* parent) : CFormTemplateView(parent) {
    m_list = new QTableWidget(this);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setShowGrid(true);
    m_list->verticalHeader()->hide();
    m_list->setColumnCount(2);
    m_list->setHorizontalHeaderLabels({"Index", "PID"});
    m_list->setColumnWidth(0, 50);
    m_list->setColumnWidth(1, 80);
    m_list->setMinimumWidth(50 + 80 + 24);
    m_get = new QPushButton("Get", this);

    auto* buttons = new QVBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_get);
    buttons->addStretch();
    auto* row = new QHBoxLayout(this);
    row->addWidget(m_list);
    row->addLayout(buttons);
    row->addStretch(1);
    connect(m_get, &QPushButton::clicked, this, &CpidMonitor::OnGet);
}

void CpidMonitor::ShowRows() {
    const auto& rows = m_logic.Rows();
    m_list->clearContents();
    m_list->setRowCount(static_cast<int>(rows.size()));
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        const auto& row = rows[size_t(i)];
        SetPidRow(m_list, i, row.index, row.pid, row.pidText);
    }
}

void CpidMonitor::OnGet() {
    if (!DeviceOnline())
        return;
    const PageStep step = m_logic.Get();
    ShowRows();
    Carry(step);
}

void CpidMonitor::OnShowWindow(bool shown) {
    if (!shown || !m_device)
        return;
    OnGet();
    m_list->setColumnCount(2);
    m_list->setHorizontalHeaderLabels({"Index", "PID"});
    m_list->setColumnWidth(0, 50);
    m_list->setColumnWidth(1, 80);
    m_get->setText("Get");
}

void CpidMonitor::OnDeviceReply(DeviceRecord* device, const ReplyView& reply) {
    if (device != m_device || !reply.IsValid())
        return;
    const PageStep step = ReplyStep(m_logic, reply, IsBusy());
    if (step.IsEmpty())
        return;
    Carry(step);
    ShowRows();
}

void CpidMonitor::OnStepRefused(const PageStep&) {
    NothingLate(m_logic);
}

void CpidMonitor::OnTimer(int id) {
    if (id == kWaitTimerId)
        m_logic.WaitEnded();
    CFormTemplateView::OnTimer(id);
}

}  // namespace nms
