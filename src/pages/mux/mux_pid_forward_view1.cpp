#include "pages/mux/mux_pid_forward_view1.h"

#include <QTreeWidget>

#include "devices/device_record.h"
#include "pagebase/late_reply.h"
#include "pages/mux/add_pid_multi_dlg.h"

namespace nms {

CMuxPidForwardView1::CMuxPidForwardView1(QWidget* parent)
    : CPidPassthroughView(parent, true), m_logic(std::make_unique<PidSegmentLogic>(0, 0)) {}

CMuxPidForwardView1::~CMuxPidForwardView1() = default;

void CMuxPidForwardView1::OnInitialUpdate() {
    // Every binding starts with an empty list and one module; the device type decides some output counts.
    if (!m_logic->Waiting())
        m_logic = std::make_unique<PidSegmentLogic>(m_pageParam, m_device ? m_device->typeCode : 0);
    ShowLayout();
}

void CMuxPidForwardView1::ShowRows() {
    m_list->clear();
    QList<QTreeWidgetItem*> items;
    for (const auto& r : m_logic->Rows()) {
        auto* item = new QTreeWidgetItem(
            QStringList{QString::fromStdString(r.index), QString::fromStdString(r.input),
                        QString::fromStdString(r.oldPid), QString::fromStdString(r.newPid),
                        QString::fromStdString(r.output), QString()});
        item->setData(0, Qt::UserRole, r.mask);
        items << item;
    }
    m_list->addTopLevelItems(items);
}

void CMuxPidForwardView1::OnAddPid() {
    if (!HasRoom())
        return;
    CAddPidMultiDlg dlg(this);
    dlg.m_fields = m_logic->AddFields();
    if (dlg.DoModal() != 1)
        return;
    m_logic->Add(dlg.m_fields);
    ShowRows();
}

void CMuxPidForwardView1::OnEdit() {
    const int row = SelectedRow();
    CAddPidMultiDlg dlg(this);
    if (!m_logic->EditFields(row, &dlg.m_fields))
        return;
    if (dlg.DoModal() != 1 || !m_logic->Edit(row, dlg.m_fields))
        return;
    ShowRows();
    if (QTreeWidgetItem* item = m_list->topLevelItem(row))
        item->setSelected(true);
}

void CMuxPidForwardView1::OnDeviceReply(DeviceRecord* device, const ReplyView& reply) {
    if (device != m_device || !reply.IsValid())
        return;
    PageStep step = ReplyStep(*m_logic, reply, IsBusy());
    // The rows change only when the whole image has come (in time or late): the exchange then ends.
    if (step.wait == PageStep::Wait::kEnd)
        ShowRows();
    Carry(step);
}

}  // namespace nms
